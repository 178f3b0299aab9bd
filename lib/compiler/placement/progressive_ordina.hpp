#pragma once
#include "compiler/model/modello.hpp"

namespace scenario {

// Puts the three kilometric references (records 81 to 83) in order, latest
// start first, and adds 100 m to the offset of a reference whose chainage
// falls along the route. Only inizio, fine and posizione move.
void progressive_ordina(modello& m);

}  // namespace scenario
