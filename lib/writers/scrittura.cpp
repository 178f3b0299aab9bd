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

void dati_documenti(sistema_file& fs, const nomi_file& nomi) {
  const std::string note = componi_testo(tabella_note());
  const std::string rallentamenti = componi_testo(tabella_rallentamenti());
  const std::string scheda = componi_testo(tabella_scheda());
  const file_nuovo insieme[] = {{nomi.note, note}, {nomi.rallentamenti, rallentamenti}, {nomi.scheda_treno, scheda}};
  sostituisci_insieme(fs, insieme, durata::cartella_dopo);
}

}  // namespace scenario
