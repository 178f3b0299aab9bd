#pragma once
// Times of day as text, the same in every output whatever the locale.
#include <cstdint>
#include <string>

namespace scenario {

// How the hours are written: the listing pads them, the report's prose does not.
enum class forma_ore {
  libere,     // "7:05:00"
  due_cifre,  // "07:05:00"
};

// Seconds after midnight as h:mm:ss; past a day the hours go on counting, and a
// negative count shows as "-" before the time of its size.
std::string ora_del_giorno(int64_t secondi, forma_ore forma);

}  // namespace scenario
