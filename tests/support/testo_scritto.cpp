#include "support/testo_scritto.hpp"

#include <gtest/gtest.h>

#include "support/supporto.hpp"

namespace scenario::prova {

std::vector<std::string> dividi_righe(const std::string& contenuto) {
  std::vector<std::string> righe;
  std::size_t inizio = 0;
  while (inizio < contenuto.size()) {
    const std::size_t cr = contenuto.find("\r\n", inizio);
    if (cr == std::string::npos) {
      ADD_FAILURE() << "last line has no CR LF";
      break;
    }
    std::string riga = contenuto.substr(inizio, cr - inizio);
    if (riga.find_first_of("\r\n") != std::string::npos) ADD_FAILURE() << "bare CR or LF in line " << righe.size() + 1;
    righe.push_back(std::move(riga));
    inizio = cr + 2;
  }
  return righe;
}

testo_scritto scrivi_in_memoria(scrittore scrivi, std::filesystem::path nomi_file::*membro) {
  sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("cartella", "Valdora_Tarvea", "5293");
  scrivi(fs, nomi);
  EXPECT_EQ(fs.file.size(), 1u) << "a writer leaves exactly its own file";
  testo_scritto t;
  t.contenuto = fs.leggi(nomi.*membro);
  t.righe = dividi_righe(t.contenuto);
  return t;
}

}  // namespace scenario::prova
