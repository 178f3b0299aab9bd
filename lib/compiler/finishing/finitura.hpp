#pragma once
#include <cstdint>

#include "compiler/model/modello.hpp"

namespace scenario {

// Adds the speed-reduction points around slowdowns and before signals.
// Never reads or writes past the route's last cell: a walk or search that
// would do so stops there with status 401.
void passo_finitura(modello& m);

// The smaller of the two; on a tie, x.
constexpr int16_t minimo(int16_t x, int16_t y) { return x > y ? y : x; }

}  // namespace scenario
