#pragma once
#include "compiler/model/modello.hpp"
#include "compiler/readers/sorgenti.hpp"

namespace scenario {

// Reads the line description, then the train description, into the model.
// Any run-time failure inside ends here: both files deleted, status 25.
// A file that cannot be read or deleted (errore_io) is not data: it leaves here.
void memorizza_dati(modello& m, sorgenti_descrizione& sorgenti);

}  // namespace scenario
