#pragma once
#include "compiler/model/modello.hpp"

namespace scenario {

// Adds the speed-reduction points around slowdowns and before signals.
void passo_finitura(modello& m);

}  // namespace scenario
