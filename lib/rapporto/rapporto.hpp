#pragma once
// The route report: one self-contained UTF-8 HTML page (inline SVG, CSS and a
// little script) with the header, the plan view, the altitude and speed
// profiles and the tables of a compiled route.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compiler/model/modello.hpp"
#include "contenuto/contenuto.hpp"
#include "diagnostica/messaggi.hpp"

namespace scenario::rapporto {

// The greatest distance between the drawn track and the track plan, metres.
inline constexpr double tolleranza_pianta = 1.0;

// What a compile said, when the report is made right after one.
struct esito_rapporto {
  int uscita = 0;
  std::string significato_uscita;
  std::optional<int32_t> stato;
  std::vector<diagnostico> messaggi;
  std::optional<std::size_t> principale;  // the message behind the status
  file_mostrati file;                     // the description files as messages name them
  // entries of each kind the descriptions hold, when the compile stopped before reading them all
  std::map<std::string, int> voci_scritte;
};

struct origine_rapporto {
  std::string programma;  // who made the report
  std::vector<std::string> file;  // the compiled files it shows
  bool senza_linea = false;  // no line file: no plan view
  std::optional<esito_rapporto> esito;
};

// m gives the track plan; everything else comes from its content c.
std::string componi_rapporto(const modello& m, const contenuto_scenario& c, const origine_rapporto& o);
// The page of a compile that left no route: its header and messages only.
std::string componi_rapporto_senza_percorso(const origine_rapporto& o);

}  // namespace scenario::rapporto
