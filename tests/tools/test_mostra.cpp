#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "io/nomi_file.hpp"
#include "tests/tools/aiuto_compila.hpp"
#include "tools/mostra_scenario/mostra.hpp"

namespace scenario {
namespace {

using prova::cambia;
using prova::cartella_compila;
using prova::linea_base;
using prova::testo_di;
using prova::treno_base;

struct uscita {
  int stato;
  std::string out, err;
};

uscita mostra(std::vector<std::string> argomenti) {
  argomenti.insert(argomenti.begin(), {"--linea", "Prova", "--treno", "77"});
  sistema_file_disco fs;
  std::ostringstream out, err;
  const int stato = esegui_mostra(argomenti, fs, out, err);
  return {stato, out.str(), err.str()};
}

// A folder with the base scenario, or one changed, compiled.
struct compilata : cartella_compila {
  compilata(const prova::righe_file& linea, const prova::righe_file& treno)
      : cartella_compila(testo_di(linea), testo_di(treno)) {
    EXPECT_EQ(compila_qui().uscita, uscita_compila::riuscita);
  }
};

TEST(MostraScenario, ComparesByMeaning) {
  const compilata a(linea_base(), treno_base());
  const compilata b(
      cambia(linea_base(), 14, "pendenza,  550,   8"),
      cambia(cambia(cambia(treno_base(), 17, "segnale,    2150,   2, 3, 4,  1, 1,    2,  1,1,0, 135"), 13,
                    "stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   45,  12, 4, 0, FIESOLE CALDINE"),
             15, "rallentamento,    5500,    40,  500, 0,  0,  0"));
  const uscita u = mostra({"--dir", a.percorso().string(), "--confronta", b.percorso().string()});
  EXPECT_EQ(u.stato, uscita_mostra::differenti) << u.err;
  for (const char* attesa : {"signal at 2150 m: valore 21 -> 31", "station 2 FIESOLE CALDINE: stop 60 s -> 45 s",
                             "gradient 550-16900 m: 6 -> 8",
                             "slowdown at 5500 m: speed 50 km/h -> 40 km/h"}) {
    EXPECT_NE(u.out.find(attesa), std::string::npos) << attesa << "\n" << u.out;
  }
  const uscita uguale = mostra({"--dir", a.percorso().string(), "--confronta", a.percorso().string()});
  EXPECT_EQ(uguale.stato, uscita_mostra::riuscita);
  EXPECT_EQ(uguale.out, "no differences\n");
}

TEST(MostraScenario, JsonListingAndBrokenFiles) {
  const compilata a(linea_base(), treno_base());
  const uscita j = mostra({"--dir", a.percorso().string(), "--json"});
  ASSERT_EQ(j.stato, uscita_mostra::riuscita) << j.err;
  const nlohmann::json d = nlohmann::json::parse(j.out);
  EXPECT_EQ(d["stations"][1]["name"], "FIESOLE CALDINE");
  EXPECT_EQ(d["codes"]["og_verifies"], true);
  EXPECT_EQ(d["track_plan_rows"], 17001);

  const uscita s = mostra({"--dir", a.percorso().string(), "--senza-linea"});
  EXPECT_EQ(s.stato, uscita_mostra::riuscita);
  EXPECT_NE(s.out.find("track plan none"), std::string::npos);

  const std::filesystem::path dat = a.percorso() / "Prova_77.dat";
  prova::scrivi_file(dat, prova::leggi_file(dat).substr(0, 40));
  const uscita r = mostra({"--dir", a.percorso().string()});
  EXPECT_EQ(r.stato, uscita_mostra::file_guasto);
  EXPECT_NE(r.err.find("Prova_77.dat: byte 40: cell 2 avvicinamento"), std::string::npos) << r.err;
  EXPECT_EQ(mostra({"--dir", (a.percorso() / "nessuna").string()}).stato, uscita_mostra::file_guasto);
  EXPECT_EQ(mostra({"--bah"}).stato, uscita_mostra::uso_errato);
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// Decompiled, the pair compiles back to the same three files; a second run
// refuses to write over the first one's descriptions and names the file.
TEST(MostraScenario, DecompiledPairCompilesBackAndIsNeverWrittenOver) {
  const compilata a(linea_base(), treno_base());
  const prova::cartella_temporanea radice;
  // a folder that is not there yet is made, with those above it
  const std::filesystem::path uscita_dec = radice.percorso() / "nuova" / "coppia";
  const uscita u = mostra({"--dir", a.percorso().string(), "--decompila", uscita_dec.string()});
  ASSERT_EQ(u.stato, uscita_mostra::riuscita) << u.err;
  const cartella_compila b(prova::leggi_file(uscita_dec / prova::file_linea_prova),
                           prova::leggi_file(uscita_dec / prova::file_treno_prova));
  ASSERT_EQ(b.compila_qui().uscita, uscita_compila::riuscita);
  const nomi_file na = costruisci_nomi(a.percorso(), "Prova", "77");
  const nomi_file nb = costruisci_nomi(b.percorso(), "Prova", "77");
  for (const auto& [x, y] : {std::pair{na.file_linea, nb.file_linea}, std::pair{na.file_scenario, nb.file_scenario},
                             std::pair{na.file_percorso, nb.file_percorso}}) {
    EXPECT_EQ(prova::leggi_file(x), prova::leggi_file(y)) << x;
  }

  const std::string prima = prova::leggi_file(uscita_dec / prova::file_linea_prova);
  const uscita di_nuovo = mostra({"--dir", a.percorso().string(), "--decompila", uscita_dec.string()});
  EXPECT_EQ(di_nuovo.stato, uscita_mostra::uso_errato);
  EXPECT_NE(di_nuovo.err.find(prova::file_linea_prova), std::string::npos) << di_nuovo.err;
  EXPECT_EQ(prova::leggi_file(uscita_dec / prova::file_linea_prova), prima);
}

// Another program writes the train file between the check and the write.
class treno_conteso final : public sistema_file_disco {
 public:
  bool crea_nuovo(const std::filesystem::path& file, std::string_view contenuto, const std::filesystem::path& temp,
                  bool durevole) override {
    if (file.filename() == prova::file_treno_prova) sistema_file_disco::crea_nuovo(file, "altrui", temp, durevole);
    return sistema_file_disco::crea_nuovo(file, contenuto, temp, durevole);
  }
};

TEST(MostraScenario, ADecompileThatLosesTheRaceLeavesNoHalfPair) {
  const compilata a(linea_base(), treno_base());
  const prova::cartella_temporanea uscita_dec;
  treno_conteso fs;
  std::ostringstream out, err;
  const std::vector<std::string> argomenti{"--linea", "Prova", "--treno", "77", "--dir", a.percorso().string(),
                                           "--decompila", uscita_dec.percorso().string()};
  EXPECT_EQ(esegui_mostra(argomenti, fs, out, err), uscita_mostra::uso_errato);
  EXPECT_FALSE(std::filesystem::exists(uscita_dec.percorso() / prova::file_linea_prova));
  EXPECT_EQ(prova::leggi_file(uscita_dec.percorso() / prova::file_treno_prova), "altrui");
}

}  // namespace
}  // namespace scenario
