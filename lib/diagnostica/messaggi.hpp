#pragma once
// Diagnostics of compila_scenario: one readable line each, and the JSON form.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/modello.hpp"

namespace scenario {

struct messaggio {
  std::optional<int32_t> codice;     // status code; none for the tool's own findings
  std::optional<int32_t> posizione;  // metres
  std::string file;                  // as shown to the user; empty: not about one file
  int32_t riga = 0;                  // 1-based; 0: no line
  std::string parola;                // the entry's keyword field
  std::string testo;                 // what went wrong
  int32_t colonna = 0;               // 1-based byte column on the line; 0: none
  bool avviso = false;               // a warning: the compile itself is not at fault
};

// The two description files as shown in messages.
struct file_mostrati {
  std::string linea;
  std::string treno;
};

// "file:line:column: keyword at N m: what (status N)", with "warning: " before the
// keyword for a warning; the parts that are missing are left out.
std::string formatta_messaggio(const messaggio& m);

// A diagnostic the compiler recorded, with its file named.
messaggio da_segnalazione(const segnalazione& s, const file_mostrati& file);
messaggio da_avviso(const avviso& a, const file_mostrati& file);

// The summary line (docs/json.md): final status and where it points, every
// message, the files written. One line of UTF-8; texts are taken as Windows-1252.
struct riassunto_json {
  int uscita = 0;
  std::optional<int32_t> stato;
  const messaggio* principale = nullptr;  // the diagnostic behind the status
  const std::vector<messaggio>* messaggi = nullptr;
  const std::vector<std::string>* scritti = nullptr;
};
std::string componi_json(const riassunto_json& r);

}  // namespace scenario
