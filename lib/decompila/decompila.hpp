#pragma once
// A compiled scenario back to its two descriptions: texts that compile to the
// same three files byte for byte. Every result is checked by compiling it in
// memory; what cannot be reproduced is refused, never written wrong.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "compiler/model/modello.hpp"

namespace scenario {

// How the compile the pair reproduces ended: at the end of both files (the
// fills done), or at a refusal. A refused line leaves the train file unread and
// its own fills undone; a refused general section leaves the kilometric
// references as written; a refused train file leaves its fills undone.
enum class fine_compilazione { file, generale_rifiutata, linea_rifiutata, treno_rifiutato };

struct descrizioni {
  std::string linea;  // NOME_linea.txt
  std::string treno;  // NOME_NUMERO-.txt
  bool con_tracciato = true;  // false: the pair compiles with the plan left out
  fine_compilazione fine = fine_compilazione::file;  // where the pair's compile stops
  bool stazione_in_fondo = false;  // the last entry is a station the compile stops at
  int32_t punti_cercati = 0;  // speed-reduction points the search made entries of
  int32_t prove = 0;          // finishing passes the search ran
};

// A scenario these descriptions cannot yet reproduce; the text says which part.
class errore_decompila : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// From a decoded model (formato/decodifica) to a pair that compiles back to it.
descrizioni decompila(const modello& bersaglio);

}  // namespace scenario
