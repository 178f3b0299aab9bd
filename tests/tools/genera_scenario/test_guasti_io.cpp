// A failure injected at every single create, rename, delete and folder flush
// of a full run, one at a time: the run must end with a clear error and a
// non-zero status, leave no temporary and no description file, and every
// earlier output file must be either intact or wholly replaced, never
// truncated; the three binary files change only as far as they were renamed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tools/genera_scenario/form_load.hpp"
#include "io/nomi_file.hpp"
#include "support/piattaforma_finta.hpp"
#include "support/sistema_file_guasto.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> leggi_cartella(const fs::path& cartella) {
  std::map<std::string, std::string> file;
  for (const auto& voce : fs::directory_iterator(cartella)) {
    file[voce.path().filename().string()] = prova::leggi_file(voce.path());
  }
  return file;
}

std::vector<fs::path> uscite(const nomi_file& n) {
  return {n.note, n.rallentamenti, n.scheda_treno, n.file_linea, n.file_scenario, n.file_percorso};
}

class GuastiIo : public ::testing::TestWithParam<bool> {};

TEST_P(GuastiIo, EveryFailurePointKeepsTheFolderConsistent) {
  const bool file_precedenti = GetParam();

  // The content of a clean run, to tell a whole new file from a damaged one.
  prova::cartella_temporanea pulita;
  {
    prova::piattaforma_finta p;
    p.cartella = pulita.percorso();
    sistema_file_disco disco;
    ASSERT_EQ(form_load(p, disco), uscita::riuscita);
  }
  const auto nuovi = leggi_cartella(pulita.percorso());

  int punti = 0;
  for (int guasto_al = 1;; ++guasto_al) {
    prova::cartella_temporanea c;
    const nomi_file n = costruisci_nomi(c.percorso(), "Valdora_Tarvea", "5293");
    std::map<std::string, std::string> vecchi;
    if (file_precedenti) {
      for (const fs::path& f : uscite(n)) {
        vecchi[f.filename().string()] = "vecchio " + f.filename().string();
        prova::scrivi_file(f, vecchi[f.filename().string()]);
      }
    }
    prova::piattaforma_finta p;
    p.cartella = c.percorso();
    sistema_file_disco disco;
    prova::sistema_file_guasto guasto(disco, guasto_al);
    const int stato = form_load(p, guasto);
    if (!guasto.guastato()) {
      EXPECT_EQ(stato, uscita::riuscita);
      break;
    }
    ++punti;
    SCOPED_TRACE("failure at operation " + std::to_string(guasto_al));
    EXPECT_NE(stato, uscita::riuscita);
    ASSERT_EQ(p.guasti.size(), 1u);
    EXPECT_FALSE(p.guasti[0].empty());
    const auto trovati = leggi_cartella(c.percorso());
    for (const auto& [nome, contenuto] : trovati) {
      EXPECT_FALSE(e_temporaneo(nome)) << nome;
      const bool nuovo = nuovi.count(nome) != 0 && nuovi.at(nome) == contenuto;
      const bool vecchio = vecchi.count(nome) != 0 && vecchi.at(nome) == contenuto;
      EXPECT_TRUE(nuovo || vecchio) << nome << " is neither the old nor the new content";
    }
    // the set: a binary file is new exactly when it was renamed, and renames go in order
    const fs::path insieme[] = {n.file_linea, n.file_scenario, n.file_percorso};
    bool precedente_rinominato = true;
    for (const fs::path& f : insieme) {
      const std::string nome = f.filename().string();
      const auto& r = guasto.rinominati();
      const bool rinominato = std::find(r.begin(), r.end(), f) != r.end();
      EXPECT_TRUE(precedente_rinominato || !rinominato) << nome << " renamed before the one ahead of it";
      precedente_rinominato = rinominato;
      // no binary file renamed before all of the set's temporaries were written
      if (rinominato) {
        for (const fs::path& g : insieme) {
          EXPECT_NE(std::find(guasto.preparati().begin(), guasto.preparati().end(), g), guasto.preparati().end())
              << nome << " renamed before the temporary of " << g.filename();
        }
      }
      if (rinominato) {
        EXPECT_EQ(trovati.count(nome) ? trovati.at(nome) : "", nuovi.at(nome)) << nome;
      } else if (vecchi.count(nome)) {
        EXPECT_EQ(trovati.count(nome) ? trovati.at(nome) : "", vecchi.at(nome)) << nome;
      } else {
        EXPECT_EQ(trovati.count(nome), 0u) << nome;
      }
    }
    for (const auto& [nome, contenuto] : vecchi) {
      EXPECT_TRUE(fs::exists(c.percorso() / nome)) << nome << " was lost";
    }
  }
  // five text files and three binary files, each written and renamed, two
  // deletions and the folder flush
  EXPECT_GE(punti, 19);
}

INSTANTIATE_TEST_SUITE_P(Cartelle, GuastiIo, ::testing::Values(false, true));

}  // namespace
}  // namespace scenario
