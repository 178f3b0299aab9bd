#pragma once
// Scenarios for the benchmarks: the program's own, and synthetic lines of any
// length with features in proportion.
#include <cstdint>
#include <string>

namespace scenario::banco {

struct coppia {
  std::string linea;
  std::string treno;
};

coppia scenario_del_programma();
coppia scenario_sintetico(int32_t lunghezza);

}  // namespace scenario::banco
