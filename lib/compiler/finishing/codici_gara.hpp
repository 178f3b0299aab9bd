#pragma once
#include <cstdint>
#include <string>

#include "compiler/model/modello.hpp"

namespace scenario {

// Check numbers from the train number (record 86) and line identifier (record 85).
// Both leave the code string in m.riga.
int16_t codice_gara_og(modello& m);
int32_t codice_gara_st(modello& m);

// Windows-1252 lower case of one byte and of a byte string.
uint8_t minuscola_1252(uint8_t c);
std::string minuscolo_1252(std::string testo);

}  // namespace scenario
