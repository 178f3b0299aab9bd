#pragma once
#include <cstdint>

#include "compiler/model/modello.hpp"

namespace scenario {

// Check numbers from the train number (record 86) and line identifier (record 85).
int16_t codice_gara_og(modello& m);
int32_t codice_gara_st(modello& m);

}  // namespace scenario
