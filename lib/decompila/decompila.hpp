#pragma once
// A compiled scenario back to its two descriptions: texts that compile to the
// same three files byte for byte. Every result is checked by compiling it in
// memory; what cannot be reproduced is refused, never written wrong.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "compiler/model/modello.hpp"

namespace scenario {

struct descrizioni {
  std::string linea;  // NOME_linea.txt
  std::string treno;  // NOME_NUMERO-.txt
  bool con_tracciato = true;  // false: the pair compiles with the plan left out
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
