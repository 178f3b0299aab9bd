#pragma once
// compila_scenario --html: the report page of what a compile produced, with
// its exit status and every message.
#include <string>

#include "compiler/model/modello.hpp"
#include "io/sistema_file.hpp"
#include "tools/compila_scenario/compila.hpp"

namespace scenario {

// The page itself: the drawings of the route compiled, when there is one.
std::string componi_rapporto_compila(const opzioni_compila& o, const modello& m, const esito_compila& e);

// Writes the page to `file` (replaced safely). A page that cannot be written,
// or a name that is one of the scenario's own files, makes the run an I/O
// failure with a message; the compiled files stay as they are.
void scrivi_rapporto_compila(const std::string& file, const opzioni_compila& o, const modello& m, esito_compila& e,
                             sistema_file& fs);

}  // namespace scenario
