#pragma once
// Rounding and width conversions shared by the whole compiler.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "compiler/model/errori.hpp"

namespace scenario {

// Nearest whole number, halves to the even neighbour (default FP rounding mode).
inline double arrotonda(double x) { return std::nearbyint(x); }

// Rounded and converted to T; a value that does not fit is a run-time failure.
template <typename T>
T arrotonda_a(double x, const char* cosa = "value") {
  const double r = std::nearbyint(x);
  if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
        r <= static_cast<double>(std::numeric_limits<T>::max()))) {
    throw errore_esecuzione(std::string(cosa) + " out of range");
  }
  return static_cast<T>(r);
}

// Whole number converted to T; a value that does not fit is a run-time failure.
template <typename T>
T converti(int64_t v, const char* cosa = "value") {
  if (v < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
      v > static_cast<int64_t>(std::numeric_limits<T>::max())) {
    throw errore_esecuzione(std::string(cosa) + " out of range");
  }
  return static_cast<T>(v);
}

// Low bits, for the places where a value wraps on purpose.
inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu); }
inline int16_t basso16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}

}  // namespace scenario
