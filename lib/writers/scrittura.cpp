#include <stdexcept>

#include "writers/scrittori.hpp"

namespace scenario {

std::string componi_testo(std::span<const std::string_view> tabella) {
  std::string testo;
  for (std::size_t i = 0; i < tabella.size() && i < capacita_tabella; ++i) {
    if (tabella[i] == fine_tabella) return testo;
    testo.append(tabella[i]);
    testo.append("\r\n");
  }
  // a table without its end marker is a programming error, caught by the tests
  throw std::logic_error("line table without end marker");
}

void scrivi_tabella(sistema_file& fs, const std::filesystem::path& file, std::span<const std::string_view> tabella,
                    durata d) {
  sostituisci_file(fs, file, componi_testo(tabella), d);
}

}  // namespace scenario
