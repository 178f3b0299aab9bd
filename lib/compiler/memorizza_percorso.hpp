#pragma once
// The compiler entry: from the two description files to a finished, stamped
// model. Nothing is written here; scrivi_file_binari is the step after.
#include <cstdint>
#include <string>

#include "compiler/model/modello.hpp"
#include "compiler/readers/sorgenti.hpp"

namespace scenario {

// Reads both description files, runs the finishing pass, stamps the format
// numbers and scenario codes. flag nonzero: build the track plan too.
// Returns true when the model is whole and its binary files are due; false
// when reading stopped before there was a route (the status says why).
// A used format or code slot ends the run through errore (errore_fatale).
[[nodiscard]] bool memorizza_percorso(modello& m, int32_t flag, sorgenti_descrizione& sorgenti);

// The part after the readers: finishing pass, format numbers and codes.
void completa_percorso(modello& m);

// The error report: never returns; the driver shows " Errore n. " + codice and ends the run.
[[noreturn]] void errore(int32_t codice);

}  // namespace scenario
