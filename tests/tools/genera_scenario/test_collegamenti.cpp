// A hostile folder: a link planted at any name a run may create must never let
// the run write outside the folder; and two runs in one folder must leave one
// whole set.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "tools/genera_scenario/form_load.hpp"
#include "io/nomi_file.hpp"
#include "support/esegui.hpp"
#include "support/piattaforma_finta.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

namespace fs = std::filesystem;

// What a clean run leaves, by name.
std::map<std::string, std::string> uscite_pulite() {
  static const std::map<std::string, std::string> uscite = [] {
    prova::cartella_temporanea c;
    prova::piattaforma_finta p;
    p.cartella = c.percorso();
    sistema_file_disco disco;
    EXPECT_EQ(form_load(p, disco), uscita::riuscita);
    std::map<std::string, std::string> r;
    for (const auto& voce : fs::directory_iterator(c.percorso())) {
      r[voce.path().filename().string()] = prova::leggi_file(voce.path());
    }
    return r;
  }();
  return uscite;
}

// Same names, same bytes; a failure names the files that differ.
::testing::AssertionResult come_pulite(const std::map<std::string, std::string>& trovati) {
  const auto& attesi = uscite_pulite();
  std::string diversi;
  for (const auto& [nome, contenuto] : trovati) {
    if (!attesi.count(nome) || attesi.at(nome) != contenuto) diversi += " " + nome;
  }
  for (const auto& [nome, contenuto] : attesi) {
    if (!trovati.count(nome)) diversi += " missing:" + nome;
  }
  if (diversi.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "not a clean run's files:" << diversi;
}

// The disk, whose first temporary name is the one the test planted.
class disco_prevedibile final : public sistema_file_disco {
 public:
  std::string piantato;
  std::string nome_temporaneo() override {
    if (piantato.empty()) return sistema_file_disco::nome_temporaneo();
    return std::exchange(piantato, std::string());
  }
};

const std::string temporaneo_piantato = ".scenario-00000000deadbeef.tmp";

enum class tipo_link { simbolico, fisico };

struct caso_link {
  std::string nome;  // where the link is planted
  tipo_link tipo;
};

std::string PrintToString(const caso_link& c) {
  return (c.tipo == tipo_link::simbolico ? "symlink at " : "hard link at ") + c.nome;
}

class LinkPiantato : public ::testing::TestWithParam<caso_link> {};

TEST_P(LinkPiantato, TheVictimOutsideTheFolderStaysByteIdentical) {
  const auto& [nome, tipo] = GetParam();
  prova::cartella_temporanea radice;
  const fs::path cartella = radice.percorso() / "programma";
  fs::create_directories(cartella);
  fs::create_directories(radice.percorso() / "altrove");
  const fs::path vittima = radice.percorso() / "altrove" / "vittima";
  const std::string intatta = "victim bytes\r\n";
  prova::scrivi_file(vittima, intatta);
  std::error_code ec;
  if (tipo == tipo_link::simbolico) {
    fs::create_symlink(vittima, cartella / nome, ec);
  } else {
    fs::create_hard_link(vittima, cartella / nome, ec);
  }
  if (ec) GTEST_SKIP() << "links cannot be made here: " << ec.message();

  prova::piattaforma_finta p;
  p.cartella = cartella;
  disco_prevedibile disco;
  if (nome == temporaneo_piantato) disco.piantato = nome;
  EXPECT_EQ(form_load(p, disco), uscita::riuscita) << (p.guasti.empty() ? "" : p.guasti.front());

  EXPECT_EQ(prova::leggi_file(vittima), intatta);
  std::map<std::string, std::string> trovati;
  for (const auto& voce : fs::directory_iterator(cartella)) {
    if (voce.path().filename() == temporaneo_piantato) continue;  // a planted link is not ours to remove
    EXPECT_FALSE(fs::is_symlink(voce.symlink_status())) << voce.path();
    trovati[voce.path().filename().string()] = prova::leggi_file(voce.path());
  }
  EXPECT_TRUE(come_pulite(trovati));
}

std::vector<caso_link> casi_link() {
  const nomi_file n = costruisci_nomi("", "Valdora_Tarvea", "5293");
  std::vector<caso_link> casi;
  for (const fs::path& f : {n.descrizione_linea, n.descrizione_treno, n.note, n.rallentamenti, n.scheda_treno,
                            n.file_linea, n.file_scenario, n.file_percorso, fs::path(temporaneo_piantato)}) {
    for (const tipo_link t : {tipo_link::simbolico, tipo_link::fisico}) casi.push_back({f.filename().string(), t});
  }
#ifdef _WIN32
  for (const tipo_link t : {tipo_link::simbolico, tipo_link::fisico}) casi.push_back({".scenario.lock", t});
#endif
  return casi;
}

INSTANTIATE_TEST_SUITE_P(OgniNome, LinkPiantato, ::testing::ValuesIn(casi_link()),
                         [](const auto& info) {
                           std::string n = info.param.tipo == tipo_link::simbolico ? "simbolico_" : "fisico_";
                           for (char x : info.param.nome) n += std::isalnum(static_cast<unsigned char>(x)) ? x : '_';
                           return n;
                         });

// Two processes in one folder, again and again: both succeed, one after the
// other, and the folder holds the six files of a clean run and nothing else.
TEST(DueProcessi, OneFolderAlwaysHoldsOneWholeSet_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "starts both runs at once through a POSIX shell";
#else
  prova::cartella_temporanea c;
  fs::copy_file(GENERA_SCENARIO_EXE, c.percorso() / "genera_scenario");
  for (int giro = 0; giro < 8; ++giro) {
    SCOPED_TRACE("round " + std::to_string(giro));
    const auto e = prova::esegui(
        "{ { ./genera_scenario >/dev/null; echo $?; } & { ./genera_scenario >/dev/null; echo $?; } & wait; }",
        c.percorso());
    EXPECT_EQ(e.uscita, "0\n0\n") << e.errori;
    std::map<std::string, std::string> trovati;
    for (const auto& voce : fs::directory_iterator(c.percorso())) {
      if (voce.path().filename() != "genera_scenario") {
        trovati[voce.path().filename().string()] = prova::leggi_file(voce.path());
      }
    }
    EXPECT_TRUE(come_pulite(trovati));
  }
#endif
}

}  // namespace
}  // namespace scenario
