// compila_scenario's output set: names that would collide are refused, a
// report that cannot be delivered is a failure, and two runs into one folder
// leave one run's whole set.
#include <gtest/gtest.h>

#include <map>
#include <streambuf>

#include "support/esegui.hpp"
#include "tests/tools/aiuto_compila.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;

struct caso_nomi {
  std::vector<std::string> argomenti;
  bool rifiutato;
  std::string nomi;  // both names the message must hold
};

void PrintTo(const caso_nomi& c, std::ostream* os) {
  for (const std::string& a : c.argomenti) *os << a << ' ';
}

class NomiInConflitto : public ::testing::TestWithParam<caso_nomi> {};

TEST_P(NomiInConflitto, RefusedWithBothNames) {
  const caso_nomi& c = GetParam();
  cartella_temporanea vuota;
  std::vector<std::string> argomenti = c.argomenti;
  argomenti.insert(argomenti.end(), {"--dir", vuota.percorso().string()});
  const uscita_processo r = lancia(argomenti);
  if (!c.rifiutato) {
    EXPECT_NE(r.stato, uscita_compila::uso_errato) << r.err;
    return;
  }
  EXPECT_EQ(r.stato, uscita_compila::uso_errato);
  EXPECT_NE(r.err.find("the line file"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("the route file"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(c.nomi), std::string::npos) << r.err;
  EXPECT_TRUE(fsys::is_empty(vuota.percorso()));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, NomiInConflitto,
    ::testing::Values(caso_nomi{{"--linea", "L", "--treno", "linea"}, true, "L_linea.dat"},
                      // without the line file nothing collides
                      caso_nomi{{"--linea", "L", "--treno", "linea", "--senza-linea"}, false, ""},
#ifdef _WIN32
                      caso_nomi{{"--linea", "L", "--treno", "LINEA"}, true, "L_LINEA.dat"},
#else
                      caso_nomi{{"--linea", "L", "--treno", "LINEA"}, false, ""},
#endif
                      caso_nomi{{"--linea", "L", "--treno", "lineA2"}, false, ""}),
    [](const auto& info) { return "caso" + std::to_string(info.index); });

// A stream whose every write fails, as a full disk behind standard output.
class buffer_pieno final : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(ReportPerso, AListingThatCannotBeWrittenIsAnIoFailure) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  for (const bool json : {false, true}) {
    buffer_pieno pieno;
    std::ostream out(&pieno);
    std::ostringstream err;
    std::vector<std::string> argomenti{"--linea", nome_linea_prova, "--treno", numero_treno_prova, "--dir",
                                       cartella.percorso().string()};
    if (json) argomenti.push_back("--json");
    sistema_file_disco fs;
    EXPECT_EQ(esegui_compila(argomenti, fs, out, err), uscita_compila::guasto_io) << json;
    EXPECT_NE(err.str().find("standard output"), std::string::npos) << err.str();
  }
}

#ifndef _WIN32
std::string compila_scenario(const std::string& argomenti) { return tra_apici(COMPILA_SCENARIO_EXE) + " " + argomenti; }
#endif

TEST(ReportPerso, JsonIntoAFullDeviceExitsThree_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "needs /dev/full and a POSIX shell";
#else
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  const auto r = esegui("{ " + compila_scenario("--linea Prova --treno 77 --json") + " >/dev/full; echo $?; }",
                        cartella.percorso());
  EXPECT_EQ(r.uscita, "3\n") << r.errori;
#endif
}

#ifndef _WIN32
std::map<std::string, std::string> leggi_cartella(const fsys::path& c) {
  std::map<std::string, std::string> r;
  for (const auto& voce : fsys::directory_iterator(c)) r[voce.path().filename().string()] = leggi_file(voce.path());
  return r;
}

// Two runs with different descriptions into one --out folder, again and
// again: both succeed and the folder holds the whole set of one of them.
#endif

TEST(DueProcessi, OneOutputFolderAlwaysHoldsOneRunsWholeSet_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "starts both runs at once through a POSIX shell";
#else
  const cartella_compila a(testo_di(linea_base()), testo_di(treno_base()));
  const cartella_compila b(testo_di(cambia(linea_base(), 2, "lunghezza percorso,    12000")),
                           testo_di(cambia(treno_base(), 3, "numero vetture,    7")));
  cartella_temporanea uscita_a, uscita_b, comune;
  const auto comando = [&](const cartella_compila& c, const fsys::path& out) {
    return compila_scenario("--linea Prova --treno 77 --dir " + tra_apici(c.percorso().string()) + " --out " +
                            tra_apici(out.string())) +
           " >/dev/null 2>&1";
  };
  ASSERT_EQ(esegui(comando(a, uscita_a.percorso()), a.percorso()).stato, 0);
  ASSERT_EQ(esegui(comando(b, uscita_b.percorso()), b.percorso()).stato, 0);
  const auto set_a = leggi_cartella(uscita_a.percorso());
  const auto set_b = leggi_cartella(uscita_b.percorso());
  ASSERT_EQ(set_a.size(), 3u);
  for (const auto& [nome, contenuto] : set_a) ASSERT_NE(contenuto, set_b.at(nome)) << nome;

  for (int giro = 0; giro < 8; ++giro) {
    SCOPED_TRACE("round " + std::to_string(giro));
    const auto e = esegui("{ { " + comando(a, comune.percorso()) + "; echo $?; } & { " +
                              comando(b, comune.percorso()) + "; echo $?; } & wait; }",
                          comune.percorso());
    EXPECT_EQ(e.uscita, "0\n0\n");
    const auto trovati = leggi_cartella(comune.percorso());
    EXPECT_TRUE(trovati == set_a || trovati == set_b) << "a mix of two runs, or a file too many or too few";
  }
#endif
}

}  // namespace
}  // namespace scenario::prova
