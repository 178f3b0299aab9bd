#pragma once
// The one failure the file layer raises.
#include <stdexcept>
#include <string>

namespace scenario {

// A file that cannot be created, written, renamed, read or deleted.
class errore_io : public std::runtime_error {
 public:
  errore_io(std::string file, std::string motivo)
      : std::runtime_error(file + ": " + motivo), file_(std::move(file)), motivo_(std::move(motivo)) {}
  const std::string& file() const { return file_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string file_;
  std::string motivo_;
};

}  // namespace scenario
