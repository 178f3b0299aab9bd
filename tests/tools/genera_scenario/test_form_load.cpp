#include <gtest/gtest.h>

#include <set>

#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/errori.hpp"
#include "tools/genera_scenario/form_load.hpp"
#include "io/nomi_file.hpp"
#include "support/esegui.hpp"
#include "support/piattaforma_finta.hpp"
#include "support/sha256.hpp"
#include "support/sistema_file_guasto.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

namespace fs = std::filesystem;

using prova::piattaforma_finta;

// Refuses any file operation before the waiting window is up.
struct sistema_file_sorvegliato : prova::sistema_file_memoria {
  const piattaforma_finta* p = nullptr;
  void controlla() const { ASSERT_TRUE(p->attesa) << "a file was touched before \"Attendere\" was shown"; }
  bool esiste(const fs::path& f) override { controlla(); return sistema_file_memoria::esiste(f); }
  bool crea_nuovo(const fs::path& f, std::string_view c, const fs::path& p, bool d) override {
    controlla();
    return sistema_file_memoria::crea_nuovo(f, c, p, d);
  }
};

const std::set<std::string> file_finali = {
    "Valdora_Tarvea_5293_note.txt", "Valdora_Tarvea_5293_rallentamenti.txt", "Valdora_Tarvea_5293_scheda_treno.txt",
    "Valdora_Tarvea_linea.dat",     "Valdora_Tarvea_5293.sim",              "Valdora_Tarvea_5293.dat"};

TEST(FormLoad, ShowsTheWaitBeforeAnyFileAndLeavesTheSixFiles) {
  piattaforma_finta p;
  sistema_file_sorvegliato memoria;
  memoria.p = &p;
  EXPECT_EQ(form_load(p, memoria), uscita::riuscita) << (p.guasti.empty() ? "" : p.guasti.front());
  std::set<std::string> nomi;
  for (const auto& [nome, contenuto] : memoria.file) nomi.insert(fs::path(nome).filename().string());
  EXPECT_EQ(nomi, file_finali);
  EXPECT_TRUE(p.errori.empty());
  EXPECT_TRUE(p.guasti.empty());
}

// The simulator reads these bytes: any change to them must be deliberate.
TEST(FormLoad, TheThreeBinaryFilesKeepTheirPinnedDigests) {
  EXPECT_EQ(prova::sha256(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(prova::sha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  piattaforma_finta p;
  prova::sistema_file_memoria memoria;
  ASSERT_EQ(form_load(p, memoria), uscita::riuscita);
  const std::pair<const char*, const char*> attesi[] = {
      {"prog/Valdora_Tarvea_linea.dat", "ee069974dfe25ec428991ded4b27515ed10bb707f872d62827c854a1a10e3cee"},
      {"prog/Valdora_Tarvea_5293.sim", "bb08a43791613a0ddcac786bc1cc7884c2b3e388ca601a465b89ca9d72abe87a"},
      {"prog/Valdora_Tarvea_5293.dat", "9708488434495e7f0356abde796b288d6be6d9c5c51232b359d6a41d347695b0"}};
  for (const auto& [nome, digest] : attesi) {
    ASSERT_TRUE(memoria.file.contains(nome)) << nome;
    EXPECT_EQ(prova::sha256(memoria.file.at(nome)), digest) << nome;
  }
}

TEST(FormLoad, AFailedWriteEndsTheRunWithOneClearLine) {
  piattaforma_finta p;
  prova::sistema_file_memoria memoria;
  prova::sistema_file_guasto guasto(memoria, 1);
  EXPECT_EQ(form_load(p, guasto), uscita::guasto);
  ASSERT_EQ(p.guasti.size(), 1u);
  EXPECT_NE(p.guasti[0].find("Valdora_Tarvea_linea.txt"), std::string::npos) << p.guasti[0];
  EXPECT_NE(p.guasti[0].find("No space left on device"), std::string::npos) << p.guasti[0];
  EXPECT_TRUE(memoria.file.empty());
}

TEST(Errore, TheReportCarriesTheLeadingBlankAndNothingAfterTheCode) {
  try {
    errore(1250);
    FAIL();
  } catch (const errore_fatale& e) {
    EXPECT_EQ(std::string(e.what()), " Errore n. 1250");
    EXPECT_EQ(e.codice(), 1250);
  }
}

// The real program, run from a temporary folder of its own. On Windows
// "Attendere" and the error are windows, not text (checked under Wine on Xvfb).
#ifdef _WIN32
const std::string attesa;
#else
const std::string attesa = "Attendere\n";
#endif

class Eseguibile : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(GENERA_SCENARIO_EXE, programma());
  }
  fs::path programma() const { return cartella.percorso() / prova::nome_programma("genera_scenario"); }
  prova::esito_processo esegui() const { return prova::esegui(prova::tra_apici(programma().string()), cartella.percorso()); }
  std::set<std::string> contenuto() const {
    std::set<std::string> nomi;
    for (const auto& voce : fs::directory_iterator(cartella.percorso())) nomi.insert(voce.path().filename().string());
    nomi.erase(prova::nome_programma("genera_scenario"));
    return nomi;
  }
  prova::cartella_temporanea cartella;
};

TEST_F(Eseguibile, RunsInAnEmptyFolder) {
  const auto e = esegui();
  EXPECT_EQ(e.uscita, attesa);
  EXPECT_EQ(e.errori, "");
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(contenuto(), file_finali);
}

TEST_F(Eseguibile, ReplacesStaleCopiesOfAllEightFiles) {
  const nomi_file n = costruisci_nomi(cartella.percorso(), "Valdora_Tarvea", "5293");
  const std::string vecchio(3'000'000, 'v');
  for (const fs::path& f : {n.descrizione_linea, n.descrizione_treno, n.note, n.rallentamenti, n.scheda_treno,
                            n.file_linea, n.file_scenario, n.file_percorso}) {
    prova::scrivi_file(f, vecchio);
  }
  const auto e = esegui();
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(contenuto(), file_finali);
  for (const fs::path& f : {n.note, n.rallentamenti, n.scheda_treno, n.file_linea, n.file_scenario, n.file_percorso}) {
    EXPECT_EQ(prova::leggi_file(f).find("vvvv"), std::string::npos) << f;
  }
  EXPECT_EQ(fs::file_size(n.file_percorso), 2161u * 15u);
  EXPECT_EQ(fs::file_size(n.file_linea), 20u * 101000u + 139964u);
}

TEST_F(Eseguibile, AnUnwritableTargetIsReportedAndKeepsTheEarlierFile) {
  // a folder where the notes go: the run cannot replace it
  const nomi_file n = costruisci_nomi(cartella.percorso(), "Valdora_Tarvea", "5293");
  fs::create_directory(n.note);
  const auto e = esegui();
  EXPECT_EQ(e.uscita, attesa);
  EXPECT_EQ(e.stato, uscita::guasto);
#ifndef _WIN32
  EXPECT_NE(e.errori.find("Valdora_Tarvea_5293_note.txt"), std::string::npos) << e.errori;
  EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
#endif
  EXPECT_TRUE(fs::is_directory(n.note));
  for (const auto& nome : contenuto()) EXPECT_EQ(nome.find(".tmp"), std::string::npos) << nome;
}

}  // namespace
}  // namespace scenario
