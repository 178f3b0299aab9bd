// The authors' documentation cannot rot: every example scenario and every
// description snippet in docs/ compiles with no status and no warning, and
// the status table in docs/ is the registry's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "compiler/model/codici.hpp"
#include "compiler/readers/parole_chiave.hpp"
#include "tests/tools/aiuto_compila.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;

const fsys::path sorgenti = SCENARIO_SORGENTI;

std::vector<std::string> righe_di(const fsys::path& file) {
  std::ifstream f(file, std::ios::binary);
  std::vector<std::string> r;
  for (std::string riga; std::getline(f, riga);) {
    if (!riga.empty() && riga.back() == '\r') riga.pop_back();
    r.push_back(riga);
  }
  return r;
}

std::vector<fsys::path> documenti() {
  std::vector<fsys::path> d;
  for (const auto& v : fsys::directory_iterator(sorgenti / "docs")) {
    if (v.path().extension() == ".md") d.push_back(v.path());
  }
  std::sort(d.begin(), d.end());
  return d;
}

std::string con_crlf(const std::vector<std::string>& righe) {
  std::string t;
  for (const std::string& r : righe) t += r + "\r\n";
  return t;
}

// Compiles one pair with --rigoroso into a scratch folder: no message at all.
void compila_pulito(const std::string& linea, const std::string& treno, const std::string& dove) {
  const cartella_compila c(linea, treno);
  opzioni_compila o = c.opzioni();
  o.rigoroso = true;
  sistema_file_disco fs;
  const esito_compila e = compila(o, fs);
  EXPECT_EQ(e.uscita, uscita_compila::riuscita) << dove << "\n" << tutti(e);
  EXPECT_TRUE(e.messaggi.empty()) << dove << "\n" << tutti(e);
}

// A snippet that shows a slip: it compiles, with at least one warning and no error.
void compila_con_avviso(const std::string& linea, const std::string& treno, const std::string& dove) {
  const cartella_compila c(linea, treno);
  const esito_compila e = c.compila_qui();
  EXPECT_EQ(e.uscita, uscita_compila::riuscita) << dove << "\n" << tutti(e);
  EXPECT_TRUE(std::any_of(e.messaggi.begin(), e.messaggi.end(), [](const diagnostico& d) {
    return d.tipo == gravita::avviso;
  })) << dove << ": no warning";
}

// A snippet that is not a whole file goes into the smallest file around it:
// a line snippet after a 20 km route length, a train snippet after the start marker.
TEST(documentazione, ogni_frammento_si_compila_pulito) {
  const std::string linea_minima = con_crlf({"[generale]", "lunghezza percorso,    20000", "[fine]"});
  const std::string treno_minimo = con_crlf({"[generale]", "[fine]"});
  int frammenti = 0;
  for (const fsys::path& doc : documenti()) {
    const std::vector<std::string> righe = righe_di(doc);
    for (std::size_t i = 0; i < righe.size(); ++i) {
      const bool avviso = righe[i].ends_with(" avviso");
      const std::string tipo = avviso ? righe[i].substr(0, righe[i].size() - 7) : righe[i];
      const bool linea = tipo == "```linea";
      if (!linea && tipo != "```treno") continue;
      std::vector<std::string> corpo;
      std::size_t j = i + 1;
      for (; j < righe.size() && righe[j] != "```"; ++j) corpo.push_back(righe[j]);
      const std::string dove = doc.filename().string() + ":" + std::to_string(i + 1);
      ASSERT_LT(j, righe.size()) << dove << ": the block never ends";
      const bool intero = std::any_of(corpo.begin(), corpo.end(), [](const std::string& r) {
        return r.find("[generale]") != std::string::npos;
      });
      if (!intero) {
        if (linea) corpo.insert(corpo.begin(), {"[generale]", "lunghezza percorso,    20000"});
        if (!linea) corpo.insert(corpo.begin(), "[generale]");
        corpo.push_back("[fine]");
      }
      (avviso ? compila_con_avviso : compila_pulito)(linea ? con_crlf(corpo) : linea_minima,
                                                     linea ? treno_minimo : con_crlf(corpo), dove);
      ++frammenti;
      i = j;
    }
  }
  EXPECT_GE(frammenti, 15);
}

TEST(documentazione, ogni_esempio_si_compila_pulito) {
  int esempi = 0;
  for (const auto& cartella : fsys::directory_iterator(sorgenti / "examples")) {
    if (!cartella.is_directory()) continue;
    for (const auto& f : fsys::directory_iterator(cartella.path())) {
      const std::string nome = f.path().filename().string();
      if (!nome.ends_with("-.txt")) continue;
      // NOME_NUMERO-.txt beside NOME_linea.txt
      const std::string senza = nome.substr(0, nome.size() - 5);
      const std::string linea = senza.substr(0, senza.rfind('_'));
      const std::string treno = senza.substr(senza.rfind('_') + 1);
      opzioni_compila o;
      o.linea = linea;
      o.treno = treno;
      o.cartella = cartella.path().string();
      cartella_temporanea uscita;
      o.uscita = uscita.percorso().string();
      o.rigoroso = true;
      sistema_file_disco fs;
      const esito_compila e = compila(o, fs);
      EXPECT_EQ(e.uscita, uscita_compila::riuscita) << nome << "\n" << tutti(e);
      EXPECT_TRUE(e.messaggi.empty()) << nome << "\n" << tutti(e);
      EXPECT_EQ(e.scritti.size(), 3u) << nome;
      ++esempi;
    }
  }
  EXPECT_GE(esempi, 1);
}

// The table under "## Status codes" in docs/ holds the registry's rows, in its order.
TEST(documentazione, tabella_dei_codici_dal_registro) {
  std::vector<std::string> trovate;
  for (const fsys::path& doc : documenti()) {
    const std::vector<std::string> righe = righe_tabella_codici(doc);
    trovate.insert(trovate.end(), righe.begin(), righe.end());
  }
  const std::vector<std::string> attese = righe_attese_codici();
  std::ostringstream testo;
  for (const std::string& r : attese) testo << r << '\n';
  EXPECT_EQ(trovate, attese) << "the rows docs/ should hold:\n" << testo.str();
}


// The largest field number of the "| field |" table under the heading whose
// first code span starts with `voce`; 0 when no heading names it.
int campi_documentati(const std::vector<std::string>& righe, std::string_view voce) {
  bool sotto = false;
  bool tabella = false;
  int massimo = 0;
  for (const std::string& r : righe) {
    if (r.starts_with("#")) {
      const std::size_t apre = r.find('`');
      sotto = apre != std::string::npos && std::string_view(r).substr(apre + 1).starts_with(voce);
      tabella = false;
      continue;
    }
    if (!sotto) continue;
    if (r.starts_with("| field |")) tabella = true;
    if (!tabella || !r.starts_with("| ")) continue;
    // "| 14, 15, 16 | ...": the last number of the first cell
    const std::string primo = r.substr(2, r.find('|', 2) - 2);
    const std::size_t ultima_cifra = primo.find_last_of("0123456789");
    if (ultima_cifra == std::string::npos) continue;
    const std::size_t inizio = primo.find_last_not_of("0123456789", ultima_cifra);
    massimo = std::max(massimo, std::stoi(primo.substr(inizio == std::string::npos ? 0 : inizio + 1)));
  }
  return massimo;
}

// The keyword table and the pages authors read say the same: every written
// form appears in its file's page, and a keyword's field table has its fields.
TEST(documentazione, parole_chiave_dalla_tabella) {
  const std::vector<std::string> linea = righe_di(sorgenti / "docs" / "linea.md");
  const std::vector<std::string> treno = righe_di(sorgenti / "docs" / "treno.md");
  int confrontate = 0;
  for (const parola_chiave& p : parole_chiave()) {
    const std::vector<std::string>& pagina = file_del_gruppo(p.gruppo) == sorgente::treno ? treno : linea;
    for (const std::string_view s : p.scritte) {
      const bool citata = std::any_of(pagina.begin(), pagina.end(), [&](const std::string& r) { return r.find(s) != std::string::npos; });
      EXPECT_TRUE(citata) << s << " is in the keyword table but not in its page of docs/";
    }
    const int documentati = campi_documentati(pagina, p.voce);
    if (documentati == 0) continue;
    ++confrontate;
    EXPECT_EQ(documentati, static_cast<int>(p.campi.size())) << p.voce;
  }
  EXPECT_GE(confrontate, 12);
}

}  // namespace
}  // namespace scenario::prova
