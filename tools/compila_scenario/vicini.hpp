#pragma once
// A description file that is not there: the same note for either file, with
// the name the options gave and the names near it that the folder holds.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/sistema_file.hpp"
#include "tools/compila_scenario/compila.hpp"

namespace scenario {

// The names among `nella_cartella` that end in `fine` ("_linea.txt", "-.txt")
// and are near `atteso` (a few letters apart before that ending, or, with
// `stesso_inizio` not empty, starting with it): nearest first, at most three.
std::vector<std::string> nomi_vicini(std::span<const std::string> nella_cartella, std::string_view atteso,
                                     std::string_view fine, std::string_view stesso_inizio = {});

// After the messages about each description file that is missing, a note:
// the name the options give and, when the folder holds near names, "did you
// mean". Notes change neither the status nor the exit status.
void nota_file_mancanti(esito_compila& e, const opzioni_compila& o, sistema_file& fs);

}  // namespace scenario
