// mostra_scenario --confronta: every byte of the three files that differs is
// told, by meaning or field by field, and never twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>

#include "formato/decodifica.hpp"
#include "formato/file_binari.hpp"
#include "support/supporto.hpp"
#include "tools/compila_scenario/compila.hpp"
#include "contenuto/descrizione.hpp"
#include "contenuto/json.hpp"
#include "tools/mostra_scenario/mostra.hpp"

namespace scenario {
namespace {

constexpr const char* linea_esempio = "Borgo_Lanzi";
constexpr const char* treno_esempio = "8127";

// The example scenario compiled in memory: its three files.
struct file_esempio {
  std::string linea, scenario, percorso;
};

const file_esempio& esempio() {
  static const file_esempio f = [] {
    const std::filesystem::path sorgente = std::filesystem::path(SCENARIO_SORGENTI) / "examples" / "borgo_lanzi";
    prova::sistema_file_memoria fs;
    for (const char* nome : {"Borgo_Lanzi_linea.txt", "Borgo_Lanzi_8127-.txt"}) {
      fs.scrivi(std::filesystem::path("es") / nome, prova::leggi_file(sorgente / nome));
    }
    opzioni_compila o;
    o.linea = linea_esempio;
    o.treno = treno_esempio;
    o.cartella = "es";
    EXPECT_EQ(compila(o, fs).uscita, uscita_compila::riuscita);
    const nomi_file n = costruisci_nomi("es", linea_esempio, treno_esempio);
    return file_esempio{fs.leggi(n.file_linea), fs.leggi(n.file_scenario), fs.leggi(n.file_percorso)};
  }();
  return f;
}

struct letto {
  modello m;
  contenuto_scenario c;
};

letto decodificato(std::string_view scenario, std::string_view percorso, std::optional<std::string_view> linea = {}) {
  file_compilati f{linea, scenario, percorso};
  letto r{decodifica(f), {}};
  r.c = estrai_contenuto(r.m);
  return r;
}

const nomi_confrontati nomi = nomi_confrontati_di(linea_esempio, treno_esempio);

confronto confronta_letti(const letto& a, const letto& b) { return confronta(a.m, a.c, b.m, b.c, nomi); }

// Every field that differs is told: by a sentence that is printed, or by its own line.
void ogni_campo_detto(const confronto& c, const std::string& dove) {
  const std::vector<std::string> righe = righe_confronto(c);
  for (const differenza& d : c.differenze) {
    ASSERT_TRUE(d.campo || d.significato) << dove;
    const std::string atteso = d.significato ? *d.significato
                                             : d.campo->file + ", " + d.campo->record + ", " + d.campo->campo + ", " +
                                                   d.campo->prima + " -> " + d.campo->dopo;
    ASSERT_NE(std::find(righe.begin(), righe.end(), atteso), righe.end()) << dove << ": " << atteso;
  }
}

// The whole program on two in-memory folders, the second holding `scenario` and `percorso`.
int stato_programma(const std::string& scenario, const std::string& percorso) {
  prova::sistema_file_memoria fs;
  const nomi_file a = costruisci_nomi("a", linea_esempio, treno_esempio);
  const nomi_file b = costruisci_nomi("b", linea_esempio, treno_esempio);
  fs.scrivi(a.file_scenario, esempio().scenario);
  fs.scrivi(a.file_percorso, esempio().percorso);
  fs.scrivi(b.file_scenario, scenario);
  fs.scrivi(b.file_percorso, percorso);
  const std::vector<std::string> argomenti = {"--linea", linea_esempio, "--treno", treno_esempio, "--dir", "a",
                                              "--confronta", "b", "--senza-linea"};
  std::ostringstream out, err;
  return esegui_mostra(argomenti, fs, out, err);
}

// Each bit of one file flipped in turn: a flip that decodes differs, one that
// does not is a broken file (exit 2), never "no differences".
struct esito_flip {
  int decodificati = 0;
  int guasti = 0;
};

// Every bit, or every n-th where SCENARIO_PASSO_BIT says so: the sanitizer run,
// ten times slower, takes a seventh, and a stride prime to 8 still reaches
// every bit position of a byte.
std::size_t passo_bit() {
  const char* passo = std::getenv("SCENARIO_PASSO_BIT");
  const long n = passo ? std::strtol(passo, nullptr, 10) : 1;
  return n > 1 ? static_cast<std::size_t>(n) : 1;
}

esito_flip ogni_bit(bool del_percorso) {
  const letto originale = decodificato(esempio().scenario, esempio().percorso);
  std::string dati = del_percorso ? esempio().percorso : esempio().scenario;
  esito_flip e;
  std::ostringstream scarto;
  for (std::size_t bit = 0; bit < 8 * dati.size(); bit += passo_bit()) {
    {  // one flip
      const std::size_t byte = bit / 8;
      const int b = static_cast<int>(bit % 8);
      dati[byte] = static_cast<char>(dati[byte] ^ (1 << b));
      const std::string dove = (del_percorso ? "route" : "scenario") + std::string(" byte ") + std::to_string(byte) +
                               " bit " + std::to_string(b);
      try {
        const letto l = del_percorso ? decodificato(esempio().scenario, dati) : decodificato(dati, esempio().percorso);
        const confronto c = confronta_letti(originale, l);
        ++e.decodificati;
        EXPECT_FALSE(mostra_confronto(c, false, scarto)) << dove;
        EXPECT_FALSE(righe_confronto(c).empty()) << dove;
        ogni_campo_detto(c, dove);
        if (del_percorso) {
          const std::string cella = "cell " + std::to_string(byte / 15);
          EXPECT_TRUE(std::any_of(c.differenze.begin(), c.differenze.end(),
                                  [&](const differenza& d) { return d.campo && d.campo->record == cella; }))
              << dove;
        }
      } catch (const errore_decodifica&) {
        ++e.guasti;
        // one in eight through the whole program, which must call the file broken
        if (e.guasti % 8 == 1) {
          EXPECT_EQ(del_percorso ? stato_programma(esempio().scenario, dati) : stato_programma(dati, esempio().percorso),
                    uscita_mostra::file_guasto)
              << dove;
        }
      }
      dati[byte] = static_cast<char>(dati[byte] ^ (1 << b));
      scarto.str({});
    }
  }
  return e;
}

TEST(Confronta, EveryBitFlipIsToldOrBroken) {
  for (const bool del_percorso : {false, true}) {
    const esito_flip e = ogni_bit(del_percorso);
    const std::size_t bit = 8 * (del_percorso ? esempio().percorso.size() : esempio().scenario.size());
    EXPECT_EQ(static_cast<std::size_t>(e.decodificati + e.guasti), (bit + passo_bit() - 1) / passo_bit());
    // most flips still decode: the test would prove nothing otherwise
    EXPECT_GT(e.decodificati, e.guasti) << (del_percorso ? "route" : "scenario");
  }
  EXPECT_EQ(stato_programma(esempio().scenario, esempio().percorso), uscita_mostra::riuscita);
}

// A short line file of every element shape, every bit flipped: the track plan
// is compared row by row, so no flip that decodes may compare equal.
TEST(Confronta, EveryBitOfALineFile) {
  letto a = decodificato(esempio().scenario, esempio().percorso);
  a.m.tracciato.crea(23);
  for (int32_t r = 0; r <= 23; ++r) {
    if (r % 3 == 0) a.m.tracciato.imposta_interi(r, static_cast<int16_t>(r), static_cast<int16_t>(-r));
    if (r % 3 == 1) a.m.tracciato.imposta_doppi(r, r * 1.5, r / 7.0);
  }
  a.m.scrivi_linea = 1;
  a.c = estrai_contenuto(a.m);
  std::string dati = serializza_linea(a.m);
  int decodificati = 0;
  for (std::size_t byte = 0; byte < dati.size(); ++byte) {
    for (int b = 0; b < 8; ++b) {
      dati[byte] = static_cast<char>(dati[byte] ^ (1 << b));
      const std::string dove = "line byte " + std::to_string(byte) + " bit " + std::to_string(b);
      letto l{a.m, {}};
      bool decodifica_riuscita = true;
      try {
        decodifica_linea(dati, nomi.linea, l.m);
      } catch (const errore_decodifica&) {
        decodifica_riuscita = false;
      }
      if (decodifica_riuscita) {
        ++decodificati;
        l.c = estrai_contenuto(l.m);
        const confronto c = confronta_letti(a, l);
        EXPECT_FALSE(c.uguali()) << dove;
        EXPECT_FALSE(righe_confronto(c).empty()) << dove;
        ogni_campo_detto(c, dove);
      }
      dati[byte] = static_cast<char>(dati[byte] ^ (1 << b));
    }
  }
  EXPECT_GT(decodificati, static_cast<int>(4 * dati.size()));
}

// One change made to the decoded example, and what the comparison must say.
struct caso_confronto {
  const char* nome;
  std::function<void(modello&)> cambia;
  std::vector<std::string> righe;     // exactly these lines, in this order
  std::vector<const char*> json;      // the "meaning" of each JSON object; "" for null
};

std::vector<caso_confronto> casi() {
  return {
      {"FreeCellValue", [](modello& m) { m.cel(50).valore = 4; }, {"Borgo_Lanzi_8127.dat, cell 50, valore, 0 -> 4"}, {""}},
      {"SignalValueByMeaningOnly", [](modello& m) { m.cel(26).valore2 = 11; },
       {"signal at 1250 m: valore2 10 -> 11"}, {"signal at 1250 m: valore2 10 -> 11"}},
      {"RecordNobodyShows", [](modello& m) { m.voce(0).campo_9 = 7; },
       {"Borgo_Lanzi_8127.sim, record 0, campo_9, 0 -> 7"}, {""}},
      {"SlowdownStartUnshownField", [](modello& m) { m.cel(151).tempo = 9; },
       {"Borgo_Lanzi_8127.dat, cell 151, tempo, 0 -> 9"}, {""}},
      {"NewSignalByItsType", [](modello& m) { m.cel(60).tipo = tipo_cella::segnale; },
       {"signal at 2950 m: only in the second"}, {"signal at 2950 m: only in the second"}},
      {"LoneWarningCellType", [](modello& m) { m.cel(60).tipo = tipo_cella::prima_avviso; },
       {"Borgo_Lanzi_8127.dat, cell 60, tipo, 0 -> 5"}, {""}},
      {"StationNameText", [](modello& m) { m.voce(2).nome = "VALLE\x01ORSA"; },
       {"station 2 VALLE ORSA: name VALLE ORSA -> VALLE\\x01ORSA"}, {"station 2 VALLE ORSA: name VALLE ORSA -> VALLE\\x01ORSA"}},
      // the new value of a new approach mark is in no sentence: its field is told too
      {"NewApproachMark", [](modello& m) { m.cel(40).avvicinamento = 84; },
       {"approach mark in cell 40: only in the second", "Borgo_Lanzi_8127.dat, cell 40, avvicinamento, 0 -> 84"},
       {"approach mark in cell 40: only in the second"}},
      // a new slowdown start takes the earlier slowdown's end: that sentence no field carries
      {"EndTakenByNewStart", [](modello& m) { m.cel(155).tipo = tipo_cella::inizio_rallentamento; },
       {"slowdown at 7500 m: end 7900 m -> none", "slowdown at 7700 m: only in the second"},
       {"slowdown at 7700 m: only in the second", "slowdown at 7500 m: end 7900 m -> none"}},
  };
}

TEST(Confronta, FieldsAndSentences) {
  const letto a = decodificato(esempio().scenario, esempio().percorso);
  for (const caso_confronto& k : casi()) {
    letto b{a.m, {}};
    k.cambia(b.m);
    b.c = estrai_contenuto(b.m);
    const confronto c = confronta_letti(a, b);
    EXPECT_EQ(righe_confronto(c), k.righe) << k.nome;
    const nlohmann::json j = nlohmann::json::parse(in_json(c).dump());
    EXPECT_EQ(j["equal"], false) << k.nome;
    ASSERT_EQ(j["differences"].size(), k.json.size()) << k.nome << "\n" << j.dump(2);
    for (std::size_t i = 0; i < k.json.size(); ++i) {
      const nlohmann::json& d = j["differences"][i];
      const std::string atteso = k.json[i];
      EXPECT_EQ(d["meaning"], atteso.empty() ? nlohmann::json(nullptr) : nlohmann::json(atteso)) << k.nome;
      for (const char* chiave : {"file", "record", "field", "old", "new"}) EXPECT_TRUE(d.contains(chiave)) << k.nome;
    }
  }
}

TEST(Confronta, JsonObjectOfAField) {
  const letto a = decodificato(esempio().scenario, esempio().percorso);
  letto b{a.m, {}};
  b.m.cel(50).valore = 4;
  b.m.cel(26).valore2 = 11;
  b.c = estrai_contenuto(b.m);
  const nlohmann::json j = nlohmann::json::parse(in_json(confronta_letti(a, b)).dump());
  const nlohmann::json atteso = nlohmann::json::parse(R"({"equal": false, "differences": [
      {"file": "Borgo_Lanzi_8127.dat", "record": "cell 26", "field": "valore2", "old": "10", "new": "11",
       "meaning": "signal at 1250 m: valore2 10 -> 11"},
      {"file": "Borgo_Lanzi_8127.dat", "record": "cell 50", "field": "valore", "old": "0", "new": "4",
       "meaning": null}]})");
  EXPECT_EQ(j, atteso);
  const nlohmann::json uguali = nlohmann::json::parse(in_json(confronta_letti(a, a)).dump());
  EXPECT_EQ(uguali, nlohmann::json::parse(R"({"equal": true, "differences": []})"));
}

TEST(Confronta, TrackPlanSummarisedAtItsFirstElement) {
  const letto a = decodificato(esempio().scenario, esempio().percorso, esempio().linea);
  letto b{a.m, {}};
  const int32_t righe = a.m.tracciato.ultima_riga() + 1;
  b.m.tracciato.imposta_doppi(700, a.m.tracciato.x(700), a.m.tracciato.y(700) + 0.5);
  b.m.tracciato.imposta_doppi(900, a.m.tracciato.x(900), a.m.tracciato.y(900) + 0.5);
  b.c = estrai_contenuto(b.m);
  const confronto c = confronta_letti(a, b);
  ASSERT_EQ(c.differenze.size(), 1u);
  const differenza& d = c.differenze[0];
  ASSERT_TRUE(d.campo && d.significato);
  EXPECT_EQ(d.campo->file, "Borgo_Lanzi_linea.dat");
  EXPECT_EQ(d.campo->record, "element " + std::to_string(righe + 700));
  EXPECT_EQ(d.campo->campo, "value");
  EXPECT_EQ(d.significato->rfind("track plan: 2 rows differ, the first at 700 m", 0), 0u) << *d.significato;
  EXPECT_EQ(righe_confronto(c).size(), 1u);

  // a line file only one side has: its element count
  const letto senza = decodificato(esempio().scenario, esempio().percorso);
  const confronto s = confronta_letti(a, senza);
  EXPECT_EQ(righe_confronto(s), (std::vector<std::string>{"route: track plan 19001 rows -> none"}));
  ASSERT_EQ(s.differenze.size(), 1u);
  EXPECT_EQ(s.differenze[0].campo->prima, std::to_string(2 * righe));
  EXPECT_EQ(s.differenze[0].campo->dopo, "none");
}

// The example with its route cut short or made longer, as a compile of another length writes it.
letto di_celle(const letto& a, std::size_t celle) {
  letto b{a.m, {}};
  b.m.celle.resize(celle);
  b.m.voce(voci::percorso).fine = static_cast<int32_t>(celle - 1) * 50 - 7000;
  b.m.ultima_cella = static_cast<int32_t>(celle - 1);
  b.c = estrai_contenuto(b.m);
  return b;
}

TEST(Confronta, RoutesOfOtherLengths) {
  const letto a = decodificato(esempio().scenario, esempio().percorso);
  for (const std::size_t celle : {std::size_t{200}, std::size_t{431}}) {
    const letto b = di_celle(a, celle);
    for (const bool rovescio : {false, true}) {
      const confronto c = rovescio ? confronta_letti(b, a) : confronta_letti(a, b);
      const std::string dove = std::to_string(celle) + (rovescio ? " first" : " second");
      EXPECT_FALSE(c.uguali()) << dove;
      ogni_campo_detto(c, dove);
      const auto conta = std::find_if(c.differenze.begin(), c.differenze.end(),
                                      [](const differenza& d) { return d.campo && d.campo->record == "cells"; });
      ASSERT_NE(conta, c.differenze.end()) << dove;
      EXPECT_EQ(conta->significato.value_or(""), "route: cells " + conta->campo->prima + " -> " + conta->campo->dopo);
      EXPECT_EQ(conta->campo->file, "Borgo_Lanzi_8127.dat");
    }
    // the program, on the files such a route has
    EXPECT_EQ(stato_programma(serializza_scenario(b.m), serializza_percorso(b.m)), uscita_mostra::differenti) << celle;
  }
}

}  // namespace
}  // namespace scenario
