#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>

#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/errori.hpp"
#include "decompila/decompila.hpp"
#include "formato/decodifica.hpp"
#include "formato/file_binari.hpp"
#include "support/supporto.hpp"
#include "utils/comune/scenari.hpp"

namespace scenario {
namespace {

// The three files a pair compiles to; nothing when the compile writes none.
struct compilati {
  std::string linea, scenario, percorso;
  bool con_linea = true;
  int32_t stato = 0;  // the status the compile ended with
};

std::optional<compilati> compila(const std::string& linea, const std::string& treno, bool con_linea) {
  prova::sorgenti_memoria s;
  s.linea = linea;
  s.treno = treno;
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "1";
  try {
    if (!memorizza_percorso(m, con_linea ? 1 : 0, s)) return std::nullopt;
  } catch (const errore_fatale&) {
    return std::nullopt;
  }
  return compilati{con_linea ? serializza_linea(m) : std::string(), serializza_scenario(m), serializza_percorso(m),
                   con_linea, m.codice_errore};
}

enum class esito { identico, rifiutato, sbagliato };

// Decoded, decompiled and compiled again: the same bytes, or a refusal.
// How the round trips of a corpus went: pairs that end at a refused entry,
// pairs that needed the search for speed-reduction points, passes it ran.
struct conti {
  int rifiutate = 0, cercate = 0, passate = 0;
  std::string testo() const {
    return std::to_string(rifiutate) + " end at a refused entry, " + std::to_string(cercate) +
           " needed the search (" + std::to_string(passate) + " finishing passes)";
  }
};

esito giro(const compilati& c, const std::string& quale = "", conti* k = nullptr) {
  file_compilati f{std::nullopt, c.scenario, c.percorso};
  if (c.con_linea) f.linea = c.linea;
  const modello m = decodifica(f);
  descrizioni d;
  try {
    d = decompila(m);
    if (k) {
      k->rifiutate += d.fine != fine_compilazione::file || d.stazione_in_fondo ? 1 : 0;
      k->cercate += d.punti_cercati > 0 ? 1 : 0;
      k->passate += d.prove;
    }
  } catch (const errore_decompila& e) {
    std::cout << "refused" << quale << " (status " << c.stato << "): " << e.what() << '\n';
    return esito::rifiutato;
  }
  const std::optional<compilati> di_nuovo = compila(d.linea, d.treno, d.con_tracciato);
  if (!di_nuovo) return esito::sbagliato;
  const bool uguali = di_nuovo->scenario == c.scenario && di_nuovo->percorso == c.percorso && di_nuovo->linea == c.linea;
  return uguali ? esito::identico : esito::sbagliato;
}

esito giro_coppia(const std::string& linea, const std::string& treno, bool con_linea = true) {
  const std::optional<compilati> c = compila(linea, treno, con_linea);
  if (!c) return esito::rifiutato;
  return giro(*c);
}

TEST(Decompila, TheProgramsOwnScenarioComesBackByteForByte) {
  const banco::coppia p = banco::scenario_del_programma();
  EXPECT_EQ(giro_coppia(p.linea, p.treno), esito::identico);
  EXPECT_EQ(giro_coppia(p.linea, p.treno, false), esito::identico);
}

TEST(Decompila, TheExampleComesBackByteForByte) {
  const std::filesystem::path cartella = std::filesystem::path(SCENARIO_SORGENTI) / "examples" / "borgo_lanzi";
  const std::string linea = prova::leggi_file(cartella / "Borgo_Lanzi_linea.txt");
  const std::string treno = prova::leggi_file(cartella / "Borgo_Lanzi_8127-.txt");
  EXPECT_EQ(giro_coppia(linea, treno), esito::identico);
}

TEST(Decompila, GeneratedRoutesComeBackByteForByte) {
  for (const int32_t lunghezza : {20000, 51000, 101000, 250000}) {
    const banco::coppia p = banco::scenario_sintetico(lunghezza);
    EXPECT_EQ(giro_coppia(p.linea, p.treno), esito::identico) << lunghezza;
  }
}

// Random pairs of every feature, overlapping and refused as they fall: each
// one that writes files must come back. A raw generator keeps the cases the
// same on every standard library.
class generatore {
 public:
  explicit generatore(uint32_t seme) : g_(seme) {}
  int64_t tra(int64_t a, int64_t b) { return a + static_cast<int64_t>(g_() % static_cast<uint64_t>(b - a + 1)); }
  int64_t metri(int64_t a, int64_t b) { return tra(a / 50, b / 50) * 50; }
  std::string campi(std::initializer_list<int64_t> v) {
    std::string r;
    for (const int64_t x : v) r += ", " + std::to_string(x);
    return r + "\r\n";
  }

 private:
  std::mt19937 g_;
};

std::string linea_casuale(generatore& g, int64_t l) {
  std::string t = "[generale]\r\nlunghezza percorso" + g.campi({l});
  for (const char* p : {"uno", "due", "tre"}) {
    if (g.tra(0, 2) == 0) continue;
    t += std::string("progressiva chilometrica ") + p + g.campi({g.metri(0, l), g.metri(0, 90000), g.tra(0, 1)});
  }
  t += "sfondo uno" + g.campi({g.tra(0, 9)}) + "ripetizione segnali " + (g.tra(0, 1) ? "4" : "9") + " codici" +
       g.campi({g.metri(0, 2000), g.metri(0, 2000)}) + "[curve]\r\n";
  for (int64_t s = g.metri(0, 2000); s + 500 < l; s += g.metri(100, 3000)) {
    t += std::string(g.tra(0, 1) ? "curvad" : "curvas") + std::to_string(g.tra(1, 6)) + g.campi({s, g.tra(1, 400)});
  }
  t += "[pendenze]\r\n";
  for (int64_t a = 0; a < l; a += g.metri(50, 4000)) t += "pendenza" + g.campi({a, g.tra(-40, 40)});
  t += "[montagne]\r\n";
  for (int64_t k = g.tra(0, 12), a = 0; k > 0; --k) {
    a = std::max<int64_t>(0, a + g.metri(-500, 3000));
    const int64_t tipi[] = {1, 2, 3, 4, 11, 12, 13};
    t += "montagna" + g.campi({a, a + g.metri(50, 2000), tipi[g.tra(0, 6)]});
  }
  t += "[cartelli]\r\n";
  for (int64_t k = g.tra(0, 6); k > 0; --k) {
    const int64_t p = g.metri(500, l - 500);
    std::string v = g.campi({p, g.tra(2, 30) * 5, g.tra(2, 30) * 5, g.tra(2, 30) * 5, g.tra(0, 3)});
    v.resize(v.size() - 2);  // the second speeds, empty or not, and the second stripes follow
    t += "indicatori_vmax" + v + (g.tra(0, 1) ? ", 40, 45, , 3\r\n" : ", , , , 0\r\n");
  }
  t += "[indicazioni]\r\n";
  for (int64_t k = g.tra(0, 6); k > 0; --k) {
    t += "cartello_indicatore, " + std::to_string(g.metri(500, l - 500)) + ", (PONTE)\r\n";
  }
  return t + "[fine]\r\n";
}

std::string treno_casuale(generatore& g, int64_t l) {
  std::string t = "[generale]\r\nnumero vetture" + g.campi({g.tra(1, 12)}) + "orologio" + g.campi({g.tra(0, 23), 0, 0});
  for (int64_t p = 0; p < l - 200; p += g.metri(50, 5000)) t += "aderenza" + g.campi({p, g.tra(50, 100)});
  for (int64_t p = 0; p < l - 200; p += g.metri(50, 5000)) t += "velocita" + g.campi({p, g.tra(4, 30) * 5});
  t += "[stazioni]\r\n";
  for (int64_t p = g.metri(0, 3000); p + 1000 < l; p += g.metri(800, 9000)) {
    const int64_t tipi[] = {5, 7, 12, 12, 25};
    const int64_t tipo = tipi[g.tra(0, 4)], lunghezza = g.tra(1, 8) * 100, coda = g.tra(0, 1);
    t += "stazione" + g.campi({p, tipo, lunghezza, 1, 0, coda, 4, 1, 1, 2, 1, 1, 30, g.tra(6, 20), 0, 0});
    t.insert(t.size() - 2, ", S");
  }
  t += "[rallentamenti]\r\n";
  for (int64_t k = g.tra(0, 4); k > 0; --k) {
    t += "rallentamento" + g.campi({g.metri(1000, l - 1000), g.tra(2, 16) * 5, g.metri(0, 2000), 0, g.tra(0, 1), 0});
  }
  t += "[segnali]\r\n";
  for (int64_t p = g.metri(400, 2000); p + 300 < l; p += g.metri(50, 2500)) {
    const int64_t sx = g.tra(0, 2), s1 = g.tra(0, 6), s2 = g.tra(0, 6), rapp = g.tra(0, 3), dx = g.tra(0, 2);
    t += "segnale" + g.campi({p, sx, s1, s2, 0, rapp, dx, 0, 0, 0, g.tra(0, 4) * 40});
  }
  t += "[abbattimenti]\r\n";
  for (int64_t k = g.tra(0, 4); k > 0; --k) t += "abbattimento" + g.campi({g.metri(100, l - 200), g.tra(0, 200)});
  return t + "[fine]\r\n";
}

TEST(Decompila, RandomPairsThatWriteFilesRoundTrip) {
  int scritti = 0;
  conti k;
  for (uint32_t seme = 1; seme <= 500; ++seme) {
    generatore g(seme);
    const int64_t l = g.metri(3000, 40000);
    const std::string linea = linea_casuale(g, l);
    const std::optional<compilati> c = compila(linea, treno_casuale(g, l), seme % 5 != 0);
    if (!c) continue;
    ++scritti;
    EXPECT_EQ(giro(*c, " seed " + std::to_string(seme), &k), esito::identico) << "seed " << seme;
  }
  std::cout << "random pairs that write files: " << scritti << " of 500; " << k.testo() << '\n';
  EXPECT_GE(scritti, 400);
}

// Every seed that writes files round-trips, however broken its pair.
TEST(Decompila, EveryFuzzSeedThatWritesFilesRoundTrips) {
  const std::filesystem::path cartella = std::filesystem::path(SCENARIO_SORGENTI) / "utils" / "fuzz" / "corpus" / "compila";
  int identici = 0, rifiutati = 0, scritti = 0;
  conti k;
  for (const auto& voce : std::filesystem::directory_iterator(cartella)) {
    const std::string tutto = prova::leggi_file(voce.path());
    const std::size_t taglio = tutto.find('\0');
    if (taglio == std::string::npos) continue;
    const std::optional<compilati> c = compila(tutto.substr(0, taglio), tutto.substr(taglio + 1), true);
    if (!c) continue;
    ++scritti;
    const esito e = giro(*c, " " + voce.path().filename().string(), &k);
    EXPECT_NE(e, esito::sbagliato) << voce.path();
    identici += e == esito::identico ? 1 : 0;
    rifiutati += e == esito::rifiutato ? 1 : 0;
  }
  std::cout << "fuzz seeds: " << identici << " of " << scritti << " round-trip, " << rifiutati << " refused; "
            << k.testo() << '\n';
  EXPECT_EQ(identici, scritti);
}

// A small line and train; each case adds the entries of one class.
std::string linea_con(const std::string& generale, const std::string& voci) {
  return "[generale]\r\nlunghezza percorso, 12000\r\n" + generale +
         "progressiva chilometrica uno, 0, 52000, 1\r\nripetizione segnali 4 codici, 0, 0\r\n[curve]\r\n"
         "curvad5, 1300, 600\r\npendenza, 0, 3\r\n" + voci + "[fine]\r\n";
}

std::string treno_con(const std::string& voci) {
  return "[generale]\r\nnumero vetture, 4\r\naderenza, 0, 85\r\nvelocita, 0, 30\r\nvelocita, 600, 80\r\n" + voci +
         "[fine]\r\n";
}

struct caso {
  const char* nome;
  std::string generale, linea, treno;
  int32_t stato = 0;  // the status the compile ends with
};

TEST(Decompila, EachCollapsedOrOrderedClassComesBack) {
  const std::string stazione = "stazione, 4800, 12, 300, 1, 0, 0, 4, 1, 1, 2, 1, 1, 60, 9, 36, 0, VALLE ORSA\r\n";
  const caso casi[] = {
      {"first station's end extension", "", "", "stazione, 0, 12, 400, 1, 0, 1, 4, 1, 1, 2, 1, 1, 60, 9, 30, 0, A\r\n"},
      {"kilometric references reordered", "progressiva chilometrica due, 2450, 200, 0\r\n"
                                          "progressiva chilometrica tre, 900, 1000, 1\r\n", "", ""},
      {"signal times 1 to 100 and above 255", "", "",
       "segnale, 1250, 2, 3, 1, 0, 0, 2, 1, 0, 0, 50\r\nsegnale, 3250, 2, 3, 1, 0, 0, 2, 1, 0, 0, 300\r\n"
       "segnale, 5250, 1, 3, 1, 0, 7, 2, 1, 0, 0, 40\r\n"},
      {"boards with second speeds", "", "indicatori_vmax, 600, 80, 85, 90, 2, 40, 45, , 3\r\n", ""},
      {"mountain stretches close and overlapping", "",
       "montagna, 1000, 2000, 11\r\nmontagna, 2100, 3000, 2\r\nmontagna, 5000, 6000, 12\r\n"
       "montagna, 5500, 7000, 1\r\nmontagna, 8000, 8400, 4\r\nmontagna, 8450, 9000, 13\r\n", ""},
      {"gradient on the last filled cell", "", "pendenza, 6000, -7\r\npendenza, 18900, -7\r\n", ""},
      {"a hand point the finishing pass works around", "", "",
       "rallentamento, 5000, 50, 2000, 0, 0, 0\r\nabbattimento, 5450, 180\r\nabbattimento, 8000, 0\r\n"},
      {"a station's approach marks over a signal's", "", "", "segnale, 5100, 1, 3, 1, 0, 0, 2, 1, 0, 0, 0\r\n" + stazione},
      {"a sign board under a station mark", "", "cartello_indicatore, 4850, (X)\r\n", stazione},
      {"a speed board under a station mark", "", "indicatori_vmax, 4850, 80, 85, 90, 2, 40, 45, , 3\r\n", stazione},
      {"signals whose marks a wrapped aspect would mimic", "", "",
       "segnale, 1050, 1, 0, 1, 0, 0, 2, 0, 0, 0, 40\r\nsegnale, 1150, 1, 4, 5, 0, 0, 0, 0, 0, 0, 0\r\n"
       "segnale, 1250, 2, 1, 2, 0, 0, 0, 0, 0, 0, 0\r\n"},
      {"mountain markers in two steps", "", "montagna, 1000, 4000, 11\r\nmontagna, 1100, 4000, 11\r\n", ""},
      {"signals in adjacent cells", "", "",
       "segnale, 5900, 1, 5, 6, 0, 0, 0, 0, 0, 0, 0\r\nsegnale, 5950, 1, 5, 6, 0, 0, 0, 0, 0, 0, 0\r\n"
       "segnale, 6000, 1, 5, 6, 0, 0, 0, 0, 0, 0, 0\r\nsegnale, 6050, 1, 5, 6, 0, 0, 0, 0, 0, 0, 0\r\n"},
      {"a slowdown of no length before another", "", "",
       "rallentamento, 3000, 50, 0, 0, 0, 0\r\nrallentamento, 6000, 60, 500, 0, 0, 0\r\n"},
      // compiles refused part way still write their files
      {"the general section refused", "progressiva chilometrica due, 2450, 200, 0\r\nripetizione segnali codici, 100, 50\r\n",
       "", stazione, 5},
      {"the line refused after a curve", "", "montagna, 1000, 2000, 11\r\npendenza, 3000, 999\r\ncurvas2, 5000, 300\r\n",
       stazione, 204},
      {"the train refused at a station too close to the one before", "", "",
       stazione + "stazione, 5400, 12, 300, 1, 0, 0, 4, 1, 1, 2, 1, 1, 60, 9, 40, 0, MONTE\r\n", 22},
      {"the train refused at a station cut short", "", "", stazione + "stazione, 7000, 12, 250\r\n", 9},
  };
  for (const caso& c : casi) {
    const std::string linea = linea_con(c.generale, c.linea);
    const std::string treno = treno_con(c.treno);
    const std::optional<compilati> scritti = compila(linea, treno, true);
    ASSERT_TRUE(scritti.has_value()) << c.nome;
    EXPECT_EQ(scritti->stato, c.stato) << c.nome;
    EXPECT_EQ(giro_coppia(linea, treno), esito::identico) << c.nome;
  }
}

}  // namespace
}  // namespace scenario
