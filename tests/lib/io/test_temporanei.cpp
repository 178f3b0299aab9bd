// Temporaries: their names, how far each kind of replacement flushes, and the
// cleanup that removes only the temporaries of dead writers.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "io/sistema_file.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::cartella_temporanea;

std::set<std::string> nomi_in(const fs::path& cartella) {
  std::set<std::string> nomi;
  for (const auto& voce : fs::directory_iterator(cartella)) nomi.insert(voce.path().filename().string());
  return nomi;
}

// --- the pattern ------------------------------------------------------------

struct caso_nome {
  const char* nome;
  bool temporaneo;
};

void PrintTo(const caso_nome& c, std::ostream* os) { *os << '"' << c.nome << '"'; }

class PatternTemporaneo : public ::testing::TestWithParam<caso_nome> {};

TEST_P(PatternTemporaneo, OnlyTheExactPatternIsOurs) {
  EXPECT_EQ(e_temporaneo(GetParam().nome), GetParam().temporaneo) << GetParam().nome;
}

INSTANTIATE_TEST_SUITE_P(
    Nomi, PatternTemporaneo,
    ::testing::Values(caso_nome{".scenario-0123456789abcdef.tmp", true},
                      caso_nome{".scenario-0123456789abcdef0.tmp", false},      // 17 digits
                      caso_nome{".scenario-0123456789abcdef00.tmp", false},     // 18 digits
                      caso_nome{".scenario-0123456789abcdef.tmp.tmp", false},   // the pattern, then more
                      caso_nome{".scenario-0123456789abcdef-.tmp", false},
                      caso_nome{".scenario-0123456789abcde.tmp", false},        // 15 digits
                      caso_nome{".scenario-0123456789ABCDEF.tmp", false},       // never written in capitals
                      caso_nome{".scenario-0123456789abcdeg.tmp", false},
                      caso_nome{"xscenario-0123456789abcdef.tmp", false},
                      caso_nome{".scenario-0123456789abcdef.tmq", false},
                      caso_nome{"", false}),
    [](const auto& info) { return "caso" + std::to_string(info.index); });

TEST(NomeTemporaneo, EveryDrawnNameIsThirtyBytesOfThePatternAndFresh) {
  sistema_file_disco disco;
  std::set<std::string> visti;
  for (int i = 0; i < 1000; ++i) {
    const std::string nome = disco.nome_temporaneo();
    EXPECT_EQ(nome.size(), 30u) << nome;
    EXPECT_TRUE(e_temporaneo(nome)) << nome;
    EXPECT_TRUE(visti.insert(nome).second) << "drawn twice: " << nome;
  }
}

// --- how far each replacement is flushed -------------------------------------

// Records, in order, what a replacement asks of the file system.
class sistema_registrato final : public prova::sistema_file_memoria {
 public:
  bool crea_nuovo(const fs::path& f, std::string_view c, const fs::path& p, bool d) override {
    passi.push_back("crea " + p.generic_string() + (d ? " durevole" : ""));
    return sistema_file_memoria::crea_nuovo(f, c, p, d);
  }
  void rinomina(const fs::path& da, const fs::path& a, bool d) override {
    passi.push_back("rinomina " + a.generic_string() + (d ? " durevole" : ""));
    sistema_file_memoria::rinomina(da, a, d);
  }
  void sincronizza_cartella(const fs::path& c) override { passi.push_back("cartella " + c.generic_string()); }
  std::vector<std::string> passi;
};

struct caso_durata {
  const char* nome;
  durata d;
  std::vector<std::string> destinazioni;
  std::vector<std::string> passi;
};

void PrintTo(const caso_durata& c, std::ostream* os) { *os << c.nome; }

class DurataSostituzione : public ::testing::TestWithParam<caso_durata> {};

TEST_P(DurataSostituzione, FlushesEachContentBeforeTheRenamesAndTheFolderAfterThemOnlyWhenDurable) {
  const caso_durata& c = GetParam();
  sistema_registrato registro;
  std::vector<file_nuovo> insieme;
  for (const std::string& d : c.destinazioni) insieme.push_back({d, "contenuto"});
  sostituisci_insieme(registro, insieme, c.d);
  EXPECT_EQ(registro.passi, c.passi);
}

INSTANTIATE_TEST_SUITE_P(
    Durate, DurataSostituzione,
    ::testing::Values(
        caso_durata{"durevole",
                    durata::durevole,
                    {"d/a", "d/b"},
                    {"crea d/a durevole", "crea d/b durevole", "rinomina d/a durevole", "rinomina d/b durevole",
                     "cartella d"}},
        caso_durata{"cartella_dopo",
                    durata::cartella_dopo,
                    {"d/a", "d/b"},
                    {"crea d/a durevole", "crea d/b durevole", "rinomina d/a durevole", "rinomina d/b durevole"}},
        caso_durata{"transitoria", durata::transitoria, {"d/a"}, {"crea d/a", "rinomina d/a"}},
        caso_durata{"due_cartelle",
                    durata::durevole,
                    {"d/a", "e/b", "d/c"},
                    {"crea d/a durevole", "crea e/b durevole", "crea d/c durevole", "rinomina d/a durevole",
                     "rinomina e/b durevole", "rinomina d/c durevole", "cartella d", "cartella e"}},
        caso_durata{"cartella_corrente", durata::durevole, {"a"}, {"crea a durevole", "rinomina a durevole", "cartella ."}}),
    [](const auto& info) { return std::string(info.param.nome); });

// --- the cleanup leaves live writers' temporaries ----------------------------

// What the writer of a temporary did before another run took the folder's lock.
enum class scrittore { vivo, rinominato_e_riportato, eliminato, finito };

struct caso_scrittore {
  const char* nome;
  scrittore fatto;
  bool resta;  // the temporary is still there after the other run's cleanup
};

void PrintTo(const caso_scrittore& c, std::ostream* os) { *os << c.nome; }

class TemporaneoDiUnoScrittore : public ::testing::TestWithParam<caso_scrittore> {};

TEST_P(TemporaneoDiUnoScrittore, TheCleanupRemovesItOnlyOnceItsWriterLetItGo) {
  const caso_scrittore& c = GetParam();
  cartella_temporanea cartella;
  const fs::path temporaneo = cartella.percorso() / ".scenario-00000000000000aa.tmp";
  const fs::path finale = cartella.percorso() / "a.dat";
  auto disco = std::make_unique<sistema_file_disco>();
  ASSERT_TRUE(disco->crea_nuovo(temporaneo, "nuovo", finale, true));
  if (c.fatto == scrittore::rinominato_e_riportato) {
    disco->rinomina(temporaneo, finale, true);
    fs::rename(finale, temporaneo);  // the lock must have gone with the rename
  } else if (c.fatto == scrittore::eliminato) {
    disco->elimina(temporaneo);
  } else if (c.fatto == scrittore::finito) {
    disco.reset();
  }
  // older than any lock: only the writer's own lock can keep it
  std::error_code ec;
  fs::last_write_time(temporaneo, fs::file_time_type::clock::now() - std::chrono::hours(1), ec);

  sistema_file_disco altro;
  altro.blocca(cartella.percorso(), std::chrono::milliseconds(0));
  EXPECT_EQ(fs::exists(temporaneo), c.resta);
  if (c.fatto != scrittore::vivo) return;
  // the live writer completes its replacement as if nothing happened
  disco->rinomina(temporaneo, finale, true);
  EXPECT_EQ(prova::leggi_file(finale), "nuovo");
  EXPECT_EQ(nomi_in(cartella.percorso()), std::set<std::string>{"a.dat"});
}

INSTANTIATE_TEST_SUITE_P(Scrittori, TemporaneoDiUnoScrittore,
                         ::testing::Values(caso_scrittore{"vivo", scrittore::vivo, true},
                                           caso_scrittore{"rinominato_e_riportato",
                                                          scrittore::rinominato_e_riportato, false},
                                           caso_scrittore{"eliminato", scrittore::eliminato, false},
                                           caso_scrittore{"finito", scrittore::finito, false}),
                         [](const auto& info) { return std::string(info.param.nome); });

// The disk, with another run taking the folder's lock (and cleaning it) right
// after each temporary is created, the temporary made older than that lock.
class disco_con_pulizia final : public sistema_file_disco {
 public:
  explicit disco_con_pulizia(fs::path cartella) : cartella_(std::move(cartella)) {}
  bool crea_nuovo(const fs::path& f, std::string_view c, const fs::path& p, bool d) override {
    const bool creato = sistema_file_disco::crea_nuovo(f, c, p, d);
    std::error_code ec;
    fs::last_write_time(f, fs::file_time_type::clock::now() - std::chrono::hours(1), ec);
    sistema_file_disco altro;
    altro.blocca(cartella_, std::chrono::milliseconds(0));
    return creato;
  }

 private:
  fs::path cartella_;
};

// A writer that takes no folder lock (a report page) or one whose set is
// written while another run cleans the folder: nothing of it is removed.
TEST(TemporaneoDiUnoScrittore, ASetWrittenBesideAnotherRunsCleanupIsWhole) {
  cartella_temporanea cartella;
  disco_con_pulizia disco(cartella.percorso());
  const std::vector<file_nuovo> insieme{{cartella.percorso() / "a.dat", "uno"},
                                        {cartella.percorso() / "b.sim", "due"},
                                        {cartella.percorso() / "m.html", "tre"}};
  ASSERT_NO_THROW(sostituisci_insieme(disco, insieme));
  for (const file_nuovo& f : insieme) EXPECT_EQ(prova::leggi_file(f.destinazione), f.contenuto);
  EXPECT_EQ(nomi_in(cartella.percorso()), (std::set<std::string>{"a.dat", "b.sim", "m.html"}));
}

}  // namespace
}  // namespace scenario
