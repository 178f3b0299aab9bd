// Both programs' JSON against the keys docs/json.md lists, in its order, with
// its types and only the nulls it allows: the page and the output cannot drift apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "tests/tools/aiuto_compila.hpp"
#include "tools/mostra_scenario/mostra.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;
using json = nlohmann::ordered_json;

struct chiave_documentata {
  std::string nome;
  std::string tipo;
  bool mai_null = false;
};

// The rows "| `key` | type | null when |" of the table under "## titolo".
std::vector<chiave_documentata> tabella(const std::string& titolo) {
  std::ifstream f(fsys::path(SCENARIO_SORGENTI) / "docs" / "json.md", std::ios::binary);
  std::vector<chiave_documentata> r;
  bool dentro = false;
  for (std::string riga; std::getline(f, riga);) {
    if (riga.starts_with("## ")) dentro = riga == "## " + titolo;
    if (!dentro || !riga.starts_with("| `")) continue;
    std::vector<std::string> celle;
    std::istringstream s(riga.substr(1));
    for (std::string c; std::getline(s, c, '|');) {
      const std::size_t inizio = c.find_first_not_of(" `");
      const std::size_t fine = c.find_last_not_of(" `");
      celle.push_back(inizio == std::string::npos ? "" : c.substr(inizio, fine - inizio + 1));
    }
    if (celle.size() < 3) continue;
    r.push_back({celle.at(0), celle.at(1), celle.at(2).starts_with("never")});
  }
  return r;
}

bool del_tipo(const json& v, const std::string& tipo) {
  const auto tutti = [&v](bool (json::*prova)() const noexcept) {
    return v.is_array() && std::all_of(v.begin(), v.end(), [&](const json& x) { return (x.*prova)(); });
  };
  if (tipo == "number") return v.is_number_integer();
  if (tipo == "string") return v.is_string();
  if (tipo == "array of strings") return tutti(&json::is_string);
  if (tipo == "array of messages" || tipo == "array of places") return tutti(&json::is_object);
  return false;
}

// Whether each key was seen null and seen with a value, over every case.
using visti = std::map<std::string, std::pair<bool, bool>>;

void controlla(const json& j, const std::string& titolo, const std::string& dove, visti& v) {
  const std::vector<chiave_documentata> chiavi = tabella(titolo);
  ASSERT_TRUE(j.is_object()) << dove;
  std::vector<std::string> nomi;
  for (const auto& [k, x] : j.items()) nomi.push_back(k);
  std::vector<std::string> documentati;
  for (const chiave_documentata& c : chiavi) documentati.push_back(c.nome);
  EXPECT_EQ(nomi, documentati) << dove;
  for (const chiave_documentata& c : chiavi) {
    if (!j.contains(c.nome)) continue;
    const json& x = j.at(c.nome);
    (x.is_null() ? v[titolo + ": " + c.nome].first : v[titolo + ": " + c.nome].second) = true;
    if (x.is_null()) {
      EXPECT_FALSE(c.mai_null) << dove << ": " << c.nome << " is null";
    } else {
      EXPECT_TRUE(del_tipo(x, c.tipo)) << dove << ": " << c.nome << " is not " << c.tipo << ": " << x.dump();
    }
  }
}

// One line, one object; its exit status the program's.
void controlla_riga(const uscita_processo& u, const std::string& dove, visti& v) {
  ASSERT_TRUE(u.out.ends_with("}\n")) << dove << ": " << u.out;
  EXPECT_EQ(u.out.find('\n'), u.out.size() - 1) << dove;
  const json j = json::parse(u.out);
  EXPECT_EQ(j.at("exit"), u.stato) << dove;
  controlla(j, "The summary", dove, v);
  for (const json& m : j.at("messages")) controlla(m, "A message", dove + ", a message", v);
}

// A disk that refuses every new file with an error no layer expects.
class disco_in_fiamme final : public sistema_file_disco {
 public:
  bool crea_nuovo(const fsys::path&, std::string_view, const fsys::path&, bool) override {
    throw std::runtime_error("the disk caught fire");
  }
};

uscita_processo lancia_su(sistema_file& fs, std::vector<std::string> a, bool mostra = false) {
  std::ostringstream out, err;
  const int stato = mostra ? esegui_mostra(a, fs, out, err) : esegui_compila(a, fs, out, err);
  return {stato, out.str(), err.str()};
}

TEST(schema_json, ogni_uscita_json_ha_le_chiavi_documentate) {
  ASSERT_EQ(tabella("The summary").size(), 8u);
  ASSERT_EQ(tabella("A message").size(), 12u);
  const cartella_compila pulita(testo_di(linea_base()), testo_di(treno_base()));
  const std::string segnale_doppio = "segnale,    2150,   1, 5, 6,  0, 0,    0,  0,0,0, 0";
  const cartella_compila errata(testo_di(linea_base()), testo_di(inserisci(treno_base(), 18, segnale_doppio)));
  const auto in = [](const cartella_compila& c, std::vector<std::string> altri) {
    std::vector<std::string> a{"--linea", "Prova", "--treno", "77", "--dir", c.percorso().string(), "--json"};
    a.insert(a.end(), altri.begin(), altri.end());
    return a;
  };
  sistema_file_disco disco;
  disco_in_fiamme in_fiamme;
  const cartella_temporanea vuota;
  struct caso {
    std::string nome;
    int uscita;
    uscita_processo u;
  };
  const std::string manca = (vuota.percorso() / "no").string();
  const std::vector<caso> casi = {
      {"clean compile", 0, lancia(in(pulita, {}))},
      {"compile with errors", 1, lancia(in(errata, {}))},
      {"bad usage", 64, lancia({"--json", "--linea", "x"})},
      {"no such folder", 3, lancia({"--json", "--linea", "A", "--treno", "1", "--dir", manca})},
      {"unexpected failure", 3, lancia_su(in_fiamme, in(pulita, {"--html", (vuota.percorso() / "r.html").string()}))},
      {"mostra_scenario, bad usage", 64, lancia_su(disco, {"--linea", "Prova", "--treno", "--json"}, true)},
      {"mostra_scenario, no files", 2, lancia_su(disco, {"--linea", "P", "--treno", "1", "--dir", manca, "--json"}, true)},
  };
  visti v;
  for (const caso& c : casi) {
    EXPECT_EQ(c.u.stato, c.uscita) << c.nome << ": " << c.u.out << c.u.err;
    controlla_riga(c.u, c.nome, v);
  }
  // every key that may be null was seen both ways: none is always left out
  for (const char* titolo : {"The summary", "A message"}) {
    for (const chiave_documentata& c : tabella(titolo)) {
      const std::pair<bool, bool> visto = v[std::string(titolo) + ": " + c.nome];
      EXPECT_TRUE(visto.second) << titolo << ": " << c.nome << " never had a value";
      if (!c.mai_null) {
        EXPECT_TRUE(visto.first) << titolo << ": " << c.nome << " was never null";
      }
    }
  }
}

}  // namespace
}  // namespace scenario::prova
