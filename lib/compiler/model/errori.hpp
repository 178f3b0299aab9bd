#pragma once
// Failures that cross module boundaries.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "compiler/model/diagnostico.hpp"

namespace scenario {

// A run-time failure while compiling (bad number, index out of range, read
// past the end...). Inside memorizza_dati it becomes status 25, at the entry
// the failure carries (the reader that was reading adds it on the way out).
class errore_esecuzione : public std::runtime_error {
 public:
  explicit errore_esecuzione(const std::string& cosa) : std::runtime_error(cosa) {}
  errore_esecuzione(const std::string& cosa, luogo dove) : std::runtime_error(cosa), dove_(std::move(dove)) {}
  const std::optional<luogo>& dove() const { return dove_; }

 private:
  std::optional<luogo> dove_;
};

// Raised by errore(): the run ends with " Errore n. " and the code.
class errore_fatale : public std::runtime_error {
 public:
  explicit errore_fatale(int32_t codice)
      : std::runtime_error(" Errore n. " + std::to_string(codice)), codice_(codice) {}
  int32_t codice() const { return codice_; }

 private:
  int32_t codice_;
};

}  // namespace scenario
