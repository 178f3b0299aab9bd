#pragma once
// What a reader took from a description, field by field, for whoever wants
// to show an author what each field became (the editor's hover and hints).
// Only a watcher is told; the compile itself never looks at it.
#include <cstdint>
#include <optional>
#include <string>

#include "compiler/model/diagnostico.hpp"

namespace scenario {

struct campo_letto {
  regione_sorgente voce;           // the entry's keyword field
  std::string nome_voce;           // the reader's name of the entry; empty: the keyword matched none
  int indice = 0;                  // 1-based field of the entry; 0: the keyword field itself
  regione_sorgente dove;           // the field, blanks around it left out
  std::optional<int64_t> numero;   // the number the reader took; none for a text
};

class destinatario_campi {
 public:
  virtual void ricevi(const campo_letto& c) = 0;

 protected:
  destinatario_campi() = default;
  destinatario_campi(const destinatario_campi&) = default;
  destinatario_campi& operator=(const destinatario_campi&) = default;
  ~destinatario_campi() = default;
};

}  // namespace scenario
