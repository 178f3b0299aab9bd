#include "compiler/readers/lettore_treno.hpp"

namespace scenario {
// Placeholder until the train reader lands.
void leggi_descrizione_treno(modello&, sorgenti_descrizione&) {}
}  // namespace scenario
