#include "compiler/finishing/codici_gara.hpp"

namespace scenario {
// Placeholders until the scenario codes land.
int16_t codice_gara_og(modello&) { return 0; }
int32_t codice_gara_st(modello&) { return 0; }
}  // namespace scenario
