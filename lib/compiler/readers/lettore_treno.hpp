#pragma once
#include "compiler/model/modello.hpp"
#include "compiler/readers/sorgenti.hpp"

namespace scenario {

// The train reader, second half of memorizza_dati.
void leggi_descrizione_treno(modello& m, sorgenti_descrizione& sorgenti);

}  // namespace scenario
