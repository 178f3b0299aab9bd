#pragma once
// compila_scenario --nuovo NOME NUMERO: a starting pair for an author, the
// example pair under the author's names, never written over a file.
#include <iosfwd>
#include <string_view>

#include "io/sistema_file.hpp"
#include "tools/compila_scenario/compila.hpp"

namespace scenario {

// The example pair's bytes, built into the program from examples/ (see
// cmake/incorpora_esempio.cmake): the program never reads the source tree.
std::string_view esempio_linea();
std::string_view esempio_treno();

// Writes NOME_linea.txt and NOME_NUMERO-.txt (o.linea, o.treno) into
// o.cartella: both or neither, and neither over anything already there.
// Prints what it wrote or why not (one JSON line with --json); returns the
// exit status.
int esegui_nuovo(const opzioni_compila& o, sistema_file& fs, std::ostream& out, std::ostream& err);

}  // namespace scenario
