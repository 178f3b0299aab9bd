// compila_scenario's output set: a refusal that can be known before the first
// rename leaves the old set exactly as it was, and a report page written beside
// compiles in one folder never loses its temporary to their cleanup.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

#include "support/esegui.hpp"
#include "tests/tools/aiuto_compila.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;

const char* const uscite[] = {"Prova_linea.dat", "Prova_77.sim", "Prova_77.dat"};

enum class collegamento { fisico, simbolico };

struct caso_collegata {
  const char* nome;
  const char* uscita;       // the output standing as a link
  const char* descrizione;  // the description file it links to
  collegamento tipo;
  bool senza_linea;
  bool rifiutato;
};

void PrintTo(const caso_collegata& c, std::ostream* os) { *os << c.nome; }

std::map<std::string, std::string> contenuto_cartella(const fsys::path& c) {
  std::map<std::string, std::string> r;
  for (const auto& voce : fsys::directory_iterator(c)) r[voce.path().filename().string()] = leggi_file(voce.path());
  return r;
}

class UscitaCollegata : public ::testing::TestWithParam<caso_collegata> {};

TEST_P(UscitaCollegata, ARefusalComesBeforeAnyFileOfTheSetIsReplaced) {
  const caso_collegata& c = GetParam();
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  const fsys::path& dir = cartella.percorso();
  for (const char* u : uscite) {
    if (std::string(u) != c.uscita) scrivi_file(dir / u, std::string("old ") + u);
  }
  std::error_code ec;
  if (c.tipo == collegamento::fisico) {
    fsys::create_hard_link(dir / c.descrizione, dir / c.uscita, ec);
  } else {
    fsys::create_symlink(c.descrizione, dir / c.uscita, ec);
  }
  if (ec) GTEST_SKIP() << "links cannot be made here: " << ec.message();
  const auto prima = contenuto_cartella(dir);

  std::vector<std::string> argomenti{"--linea", nome_linea_prova, "--treno", numero_treno_prova, "--dir", dir.string()};
  if (c.senza_linea) argomenti.push_back("--senza-linea");
  const uscita_processo r = lancia(argomenti);

  // the link itself is never replaced, nor what it names changed
  EXPECT_EQ(fsys::is_symlink(fsys::symlink_status(dir / c.uscita)), c.tipo == collegamento::simbolico);
  EXPECT_TRUE(fsys::equivalent(dir / c.uscita, dir / c.descrizione));
  const auto dopo = contenuto_cartella(dir);
  if (c.rifiutato) {
    EXPECT_EQ(r.stato, uscita_compila::guasto_io) << r.err;
    EXPECT_NE(r.err.find(std::string(c.uscita) + ": is a description file: left untouched"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "no compiled file written\n");
    EXPECT_EQ(dopo, prima) << "a file of the old set replaced, or a temporary left";
    return;
  }
  EXPECT_EQ(r.stato, uscita_compila::riuscita) << r.err;
  EXPECT_EQ(dopo.size(), prima.size());
  for (const auto& [nome, vecchio] : prima) {
    const bool nuovo = nome == "Prova_77.sim" || nome == "Prova_77.dat";
    EXPECT_EQ(dopo.at(nome) != vecchio, nuovo) << nome;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Collegamenti, UscitaCollegata,
    ::testing::Values(
        // the scenario file is renamed second: before, the line file was already new
        caso_collegata{"scenario_fisico", "Prova_77.sim", file_treno_prova, collegamento::fisico, false, true},
        caso_collegata{"percorso_fisico", "Prova_77.dat", file_linea_prova, collegamento::fisico, false, true},
        caso_collegata{"linea_fisico", "Prova_linea.dat", file_treno_prova, collegamento::fisico, false, true},
        caso_collegata{"scenario_simbolico", "Prova_77.sim", file_treno_prova, collegamento::simbolico, false, true},
        caso_collegata{"percorso_simbolico", "Prova_77.dat", file_linea_prova, collegamento::simbolico, false, true},
        // a line file not written is no reason to refuse
        caso_collegata{"linea_non_scritta", "Prova_linea.dat", file_treno_prova, collegamento::fisico, true, false}),
    [](const auto& info) { return std::string(info.param.nome); });

// Compiles into one folder for three seconds while another compile writes its
// report page there again and again, taking no lock on that folder: the
// compiles' cleanup must never remove the page's live temporary.
TEST(DueProcessi, AReportPageBesideCompilesInItsFolderIsAlwaysWritten_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "starts both programs at once through a POSIX shell";
#else
  const cartella_compila qui(testo_di(linea_base()), testo_di(treno_base()));
  const cartella_compila altrove(testo_di(linea_base()), testo_di(treno_base()));
  const std::string compila = tra_apici(COMPILA_SCENARIO_EXE) + " --linea Prova --treno 77 --dir ";
  const std::string comando =
      "{ fine=$(($(date +%s) + 3)); "
      "{ while [ $(date +%s) -lt $fine ]; do " + compila + ". >/dev/null 2>&1 || echo compile failed; done; } & "
      "n=0; while [ $(date +%s) -lt $fine ]; do " + compila + tra_apici(altrove.percorso().string()) +
      " --html pagina.html >/dev/null 2>&1 || echo report failed; n=$((n+1)); done; wait; echo $n reports; }";
  const esito_processo e = esegui(comando, qui.percorso());
  EXPECT_EQ(e.uscita.find("failed"), std::string::npos) << e.uscita;
  EXPECT_GE(std::stoi(e.uscita.substr(e.uscita.find_last_of('\n', e.uscita.size() - 2) + 1)), 3) << e.uscita;
  const auto trovati = contenuto_cartella(qui.percorso());
  EXPECT_EQ(trovati.size(), 6u) << "two descriptions, three compiled files and the page; no temporary";
  EXPECT_TRUE(trovati.count("pagina.html"));
#endif
}

}  // namespace
}  // namespace scenario::prova
