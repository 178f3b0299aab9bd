#include <unistd.h>

#include <iostream>
#include <system_error>
#include <vector>

#include "tools/genera_scenario/piattaforma.hpp"

namespace scenario {

namespace {

class piattaforma_posix final : public piattaforma {
 public:
  std::filesystem::path cartella_programma() override {
    std::vector<char> buffer(4096);
    for (;;) {
      const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
      if (n < 0) throw std::system_error(errno, std::generic_category(), "cannot find the program's folder");
      if (static_cast<std::size_t>(n) < buffer.size()) {
        return std::filesystem::path(std::string(buffer.data(), static_cast<std::size_t>(n))).parent_path();
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  void mostra_attesa() override { std::cout << "Attendere" << std::endl; }

  void mostra_errore(const std::string& testo) override { std::cerr << testo << std::endl; }

  void segnala_guasto(const std::string& testo) override { std::cerr << testo << std::endl; }
};

}  // namespace

std::unique_ptr<piattaforma> crea_piattaforma() { return std::make_unique<piattaforma_posix>(); }

}  // namespace scenario
