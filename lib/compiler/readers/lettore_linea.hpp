#pragma once
#include "compiler/model/modello.hpp"
#include "compiler/readers/sorgenti.hpp"

namespace scenario {

// The line reader, first half of memorizza_dati. Returns false when
// memorizza_dati must return at once (the train description is not read).
bool leggi_descrizione_linea(modello& m, sorgenti_descrizione& sorgenti);

}  // namespace scenario
