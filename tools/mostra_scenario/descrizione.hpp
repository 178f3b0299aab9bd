#pragma once
// A compiled scenario in words: the readable listing, and the differences
// between two scenarios by meaning ("signal at 2150 m: valore 3 -> 4").
#include <string>
#include <utility>
#include <vector>

#include "compiler/model/modello.hpp"
#include "tools/mostra_scenario/contenuto.hpp"

namespace scenario {

// One thing the scenario holds: what identifies it, how it is named, its fields.
struct oggetto_mostrato {
  std::string id;         // matches the same thing in another scenario
  std::string etichetta;  // "station 5 FONTEBUONA"
  std::vector<std::pair<std::string, std::string>> campi;
};

struct sezione_mostrata {
  std::string titolo;
  std::vector<oggetto_mostrato> oggetti;
};

// Everything but the runs, section by section. Texts are UTF-8.
std::vector<sezione_mostrata> sezioni(const contenuto_scenario& c);

// The whole listing, UTF-8, one item a line.
std::string elenco(const contenuto_scenario& c);

// Every record and every cell that is not all zero, field by field as the
// files lay them out (names as bytes, not converted).
std::string elenco_grezzo(const modello& m);

// The differences, one a line; empty when the two mean the same. The models
// give the track plan, which the content does not hold row by row.
std::vector<std::string> differenze(const contenuto_scenario& a, const modello& ma, const contenuto_scenario& b,
                                    const modello& mb);

}  // namespace scenario
