#pragma once
// The three binary files the simulator loads: line, scenario and route file.
#include <string>

#include "compiler/model/modello.hpp"
#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"

namespace scenario {

// Plan geometry: component 0 of every metre, then component 1, each tagged.
std::string serializza_linea(const modello& m);
// The 87 records of tabella.
std::string serializza_scenario(const modello& m);
// The cells, 15 bytes each.
std::string serializza_percorso(const modello& m);

// Replaces the line file (only when scrivi_linea is nonzero), the scenario
// file and the route file as one set.
void scrivi_file_binari(const modello& m, sistema_file& fs, const nomi_file& nomi);

}  // namespace scenario
