#pragma once
// Diagnostics for people: one readable line each, and the JSON form. Both
// format the one diagnostic value the compiler and the tools hand on.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/diagnostico.hpp"

namespace scenario {

// The two description files as shown in messages.
struct file_mostrati {
  std::string linea;
  std::string treno;
};

// A diagnostic as it is shown: the file named, the keyword trimmed, the parts
// that do not apply cleared (a line without a file, a column without a line).
struct diagnostico_mostrato {
  std::string file;  // empty: about no one file
  punto_testo inizio;
  punto_testo fine;
  std::string parola;
  std::string testo;
};
diagnostico_mostrato mostra(const diagnostico& d, const file_mostrati& file);
// The same for a related location.
diagnostico_mostrato mostra(const correlato& c, const file_mostrati& file);

// "file:line:column: keyword at N m: what (status N)", with "warning: " or
// "note: " before the keyword; the parts that are missing are left out.
std::string formatta_messaggio(const diagnostico& d, const file_mostrati& file);
// One line per related place: "file:line:column: note: what it is".
std::vector<std::string> formatta_correlati(const diagnostico& d, const file_mostrati& file);
// The same without the file and place, for a table that shows them apart.
std::string corpo_messaggio(const diagnostico& d, const file_mostrati& file);

// The summary line (docs/json.md): final status and where it points, every
// message, the files written. One line of UTF-8; texts are taken as Windows-1252.
struct riassunto_json {
  int uscita = 0;
  std::optional<int32_t> stato;
  const diagnostico* principale = nullptr;  // the diagnostic behind the status
  const std::vector<diagnostico>* diagnostici = nullptr;
  const std::vector<std::string>* scritti = nullptr;
  file_mostrati file;
};
std::string componi_json(const riassunto_json& r);

// A diagnostic of the tools' own: no status code, about one file or none.
diagnostico diagnostico_di(std::string testo, sorgente file = sorgente::nessuna, std::string nome = {});

}  // namespace scenario
