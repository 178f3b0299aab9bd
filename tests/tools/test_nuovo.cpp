// compila_scenario --nuovo: the starting pair, and never a file written over;
// the names --linea and --treno take, and the note on a missing description.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>

#include "tests/tools/aiuto_compila.hpp"
#include "tools/compila_scenario/vicini.hpp"
#include "tools/mostra_scenario/mostra.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;

const fsys::path esempio = fsys::path(SCENARIO_SORGENTI) / "examples" / "borgo_lanzi";

std::set<std::string> contenuto(const fsys::path& cartella) {
  std::set<std::string> r;
  for (const auto& f : fsys::directory_iterator(cartella)) r.insert(f.path().filename().string());
  return r;
}

std::vector<std::string> con_dir(std::vector<std::string> a, const fsys::path& cartella) {
  a.insert(a.end(), {"--dir", cartella.string()});
  return a;
}

// The pair is the example byte for byte, under the new names, and compiles cleanly.
TEST(nuovo, scrive_l_esempio_che_si_compila_pulito) {
  const cartella_temporanea c;
  const uscita_processo u = lancia(con_dir({"--nuovo", "Monte_Rosa", "401"}, c.percorso()));
  EXPECT_EQ(u.stato, uscita_compila::riuscita) << u.err;
  EXPECT_EQ(contenuto(c.percorso()), (std::set<std::string>{"Monte_Rosa_linea.txt", "Monte_Rosa_401-.txt"}));
  EXPECT_EQ(leggi_file(c.percorso() / "Monte_Rosa_linea.txt"), leggi_file(esempio / "Borgo_Lanzi_linea.txt"));
  EXPECT_EQ(leggi_file(c.percorso() / "Monte_Rosa_401-.txt"), leggi_file(esempio / "Borgo_Lanzi_8127-.txt"));
  EXPECT_NE(u.out.find("Monte_Rosa_linea.txt, "), std::string::npos) << u.out;
  EXPECT_NE(u.out.find("Monte_Rosa_401-.txt"), std::string::npos) << u.out;

  const uscita_processo dopo = lancia(con_dir({"--linea", "Monte_Rosa", "--treno", "401", "--rigoroso"}, c.percorso()));
  EXPECT_EQ(dopo.stato, uscita_compila::riuscita) << dopo.err;
  EXPECT_EQ(dopo.err, "");
}

// Either name taken (by a file or anything else): nothing written, exit 64, the file named.
TEST(nuovo, non_scrive_mai_sopra_un_file) {
  const struct {
    const char* presente;
    bool cartella;
  } casi[] = {{"A_linea.txt", false}, {"A_1-.txt", false}, {"A_1-.txt", true}};
  for (const auto& k : casi) {
    const cartella_temporanea c;
    if (k.cartella) {
      fsys::create_directory(c.percorso() / k.presente);
    } else {
      scrivi_file(c.percorso() / k.presente, "mio");
    }
    const uscita_processo u = lancia(con_dir({"--nuovo", "A", "1"}, c.percorso()));
    EXPECT_EQ(u.stato, uscita_compila::uso_errato) << k.presente;
    EXPECT_NE(u.err.find(k.presente), std::string::npos) << u.err;
    EXPECT_NE(u.err.find("nothing was written"), std::string::npos) << u.err;
    EXPECT_EQ(contenuto(c.percorso()), std::set<std::string>{k.presente});
    if (!k.cartella) {
      EXPECT_EQ(leggi_file(c.percorso() / k.presente), "mio");
    }
  }
}

TEST(nuovo, in_json) {
  const cartella_temporanea c;
  const uscita_processo u = lancia(con_dir({"--nuovo", "A", "1", "--json"}, c.percorso()));
  const nlohmann::json j = nlohmann::json::parse(u.out);
  EXPECT_EQ(j["exit"], 0);
  EXPECT_EQ(j["written"].size(), 2u);
  EXPECT_TRUE(j["messages"].empty());
  const nlohmann::json rifiuto = nlohmann::json::parse(lancia(con_dir({"--nuovo", "A", "1", "--json"}, c.percorso())).out);
  EXPECT_EQ(rifiuto["exit"], uscita_compila::uso_errato);
  EXPECT_TRUE(rifiuto["written"].empty());
  EXPECT_EQ(rifiuto["messages"].size(), 1u);
}

// A name that cannot be one refuses the run with the names meant, and nothing is written.
TEST(nomi, uso_errato_senza_scrivere_nulla) {
  const std::pair<std::vector<std::string>, std::string> casi[] = {
      {{"--nuovo", "A"}, "--nuovo needs NOME and NUMERO"},
      {{"--nuovo", "A", "--json"}, "--nuovo needs NOME and NUMERO"},
      {{"--nuovo", "A", "1", "--nuovo", "B", "2"}, "--nuovo given twice"},
      {{"--nuovo", "A", "1", "--rigoroso"}, "--rigoroso does not go with --nuovo"},
      {{"--nuovo", "A", "1", "--linea", "B"}, "--linea does not go with --nuovo"},
      {{"--nuovo", "A_linea.txt", "1"}, "--nuovo takes a name and a number, not file names or paths: give --nuovo A 1"},
      {{"--nuovo", "A", "d/A_1-.txt"},
       "--nuovo takes a name and a number, not file names or paths: give --nuovo A 1 --dir d"},
      {{"--nuovo", "A", ""}, "--nuovo NUMERO needs a non-empty name"},
      {{"--linea", "Prova", "--treno", "NOME_4713-.txt"},
       "--treno is a name, not a file name: for NOME_4713-.txt give --linea NOME --treno 4713"},
      {{"--linea", "Valdora_Tarvea_linea.txt", "--treno", "5293"},
       "--linea is a name, not a file name: for Valdora_Tarvea_linea.txt give --linea Valdora_Tarvea"},
  };
  for (const auto& [argomenti, errore] : casi) {
    EXPECT_EQ(leggi_argomenti(argomenti).errore, errore) << testing::PrintToString(argomenti);
    const cartella_compila c(testo_di(linea_base()), testo_di(treno_base()));
    const uscita_processo u = lancia(con_dir(argomenti, c.percorso()));
    EXPECT_EQ(u.stato, uscita_compila::uso_errato) << u.err;
    EXPECT_EQ(contenuto(c.percorso()), (std::set<std::string>{file_linea_prova, file_treno_prova})) << errore;
  }
  // mostra_scenario takes the same names
  sistema_file_disco fs;
  std::ostringstream out, err;
  EXPECT_EQ(esegui_mostra(std::vector<std::string>{"--linea", "Prova", "--treno", "Prova_77.sim"}, fs, out, err),
            uscita_mostra::uso_errato);
  EXPECT_NE(err.str().find("give --linea Prova --treno 77"), std::string::npos) << err.str();
}

TEST(nomi, vicini) {
  const std::vector<std::string> cartella{"Prova_linea.txt", "Prva_linea.txt", "Lontana_linea.txt", "Prova_78-.txt",
                                          "Prova_5293-.txt", "Altra_77-.txt",   "Prova_77.dat",      "prova_77-.txt"};
  EXPECT_EQ(nomi_vicini(cartella, "Provo_linea.txt", "_linea.txt"),
            (std::vector<std::string>{"Prova_linea.txt", "Prva_linea.txt"}));
  // a train of the same line is near whatever its number; letter case is a difference too
  EXPECT_EQ(nomi_vicini(cartella, "Prova_77-.txt", "-.txt", "Prova_"),
            (std::vector<std::string>{"prova_77-.txt", "Prova_78-.txt", "Prova_5293-.txt"}));
  EXPECT_EQ(nomi_vicini(cartella, "Zeta_1-.txt", "-.txt", "Zeta_"), std::vector<std::string>{});
}

// A missing description: its status as the reading rules give it, and one
// note of the same shape for either file, with the near names.
TEST(nomi, file_mancante_con_nota) {
  const struct {
    bool linea;
    bool treno;
    const char* nome_linea;
    const char* nome_treno;
    int32_t stato;
    std::vector<std::string> note;
  } casi[] = {
      {true, true, "Prova", "78", 25,
       {"Prova_78-.txt, the train description named by --linea Prova --treno 78, is not in "
        "the folder; did you mean Prova_77-.txt (--treno 77)?"}},
      {true, true, "Prva", "77", 101,
       {"Prva_linea.txt, the line description named by --linea Prva, is not in the folder; did you mean "
        "Prova_linea.txt (--linea Prova)?",
        "Prva_77-.txt, the train description named by --linea Prva --treno 77, is not in the folder; did you mean "
        "Prova_77-.txt (--linea Prova --treno 77)?"}},
      {false, true, "Prova", "77", 101,
       {"Prova_linea.txt, the line description named by --linea Prova, is not in the folder"}},
  };
  for (const auto& k : casi) {
    cartella_compila c(k.linea ? std::optional(testo_di(linea_base())) : std::nullopt,
                       k.treno ? std::optional(testo_di(treno_base())) : std::nullopt);
    opzioni_compila o = c.opzioni();
    o.linea = k.nome_linea;
    o.treno = k.nome_treno;
    sistema_file_disco fs;
    esito_compila e = compila(o, fs);
    const esito_compila prima = e;
    nota_file_mancanti(e, o, fs);
    EXPECT_EQ(e.stato, k.stato);
    std::vector<std::string> note;
    for (const diagnostico& d : e.messaggi) {
      if (d.tipo != gravita::nota) continue;
      std::string t = d.testo;
      t.replace(t.find(o.cartella), o.cartella.size(), "the folder");
      note.push_back(t);
    }
    EXPECT_EQ(note, k.note);
    // each note stands after the message about its file; the status points where it did
    ASSERT_TRUE(e.principale);
    EXPECT_EQ(e.messaggi.at(*e.principale).codice, k.stato);
    EXPECT_EQ(e.messaggi.at(*e.principale + 1).tipo, gravita::nota);
    EXPECT_EQ(e.messaggi.size(), prima.messaggi.size() + k.note.size());
  }
}

// README's run command builds every program its next commands call.
TEST(nomi, il_primo_comando_costruisce_ogni_programma) {
  std::ifstream f(fsys::path(SCENARIO_SORGENTI) / "CMakePresets.json");
  const nlohmann::json p = nlohmann::json::parse(f);
  std::string costruzione;
  for (const auto& w : p["workflowPresets"]) {
    if (w["name"] != "run") continue;
    for (const auto& passo : w["steps"]) {
      if (passo["type"] == "build") costruzione = passo["name"];
    }
  }
  std::set<std::string> bersagli;
  for (const auto& b : p["buildPresets"]) {
    if (b["name"] == costruzione) bersagli = b["targets"].get<std::set<std::string>>();
  }
  for (const char* programma : {"compila_scenario", "mostra_scenario", "esegui"}) {
    EXPECT_TRUE(bersagli.count(programma)) << programma;  // esegui builds and runs genera_scenario
  }
}

}  // namespace
}  // namespace scenario::prova
