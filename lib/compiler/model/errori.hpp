#pragma once
// Failures that cross module boundaries.
#include <stdexcept>
#include <string>

namespace scenario {

// A run-time failure while compiling (bad number, index out of range, read
// past the end...). Inside memorizza_dati it becomes status 25.
class errore_esecuzione : public std::runtime_error {
 public:
  explicit errore_esecuzione(const std::string& cosa) : std::runtime_error(cosa) {}
};

// Raised by errore(): the run ends with " Errore n. " + codice.
class errore_fatale : public std::runtime_error {
 public:
  explicit errore_fatale(std::string codice)
      : std::runtime_error(" Errore n. " + codice), codice_(std::move(codice)) {}
  const std::string& codice() const { return codice_; }

 private:
  std::string codice_;
};

}  // namespace scenario
