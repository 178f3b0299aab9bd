#include "utils/comune/scenari.hpp"

#include <initializer_list>
#include <set>

#include "utils/comune/memoria.hpp"
#include "io/nomi_file.hpp"
#include "writers/scrittori.hpp"

namespace scenario::banco {

coppia scenario_del_programma() {
  fuzz::sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("b", "Valdora_Tarvea", "5293");
  dati_linea(fs, nomi);
  dati_treno(fs, nomi);
  return {fs.leggi(nomi.descrizione_linea), fs.leggi(nomi.descrizione_treno)};
}

namespace {
void riga(std::string& t, const std::string& s) {
  t += s;
  t += "\r\n";
}
std::string n(int64_t v) { return std::to_string(v); }
}  // namespace

namespace {

// Point features keep off each other's cells, as a real line's do.
struct celle_occupate {
  std::set<int64_t> celle;
  bool prendi(std::initializer_list<int64_t> nuove) {
    for (int64_t cella : nuove) {
      if (celle.count(cella) != 0) return false;
    }
    celle.insert(nuove);
    return true;
  }
};

std::string linea_sintetica(int32_t lunghezza, celle_occupate& occupate) {
  std::string l;
  riga(l, "[generale]");
  riga(l, "lunghezza percorso,    " + n(lunghezza));
  riga(l, "progressiva chilometrica uno,    0,    314050,    1");
  riga(l, "ripetizione segnali 4 codici,    0    ,0");
  riga(l, "[curve]");
  // a curve every 800 m, alternating sides
  for (int64_t s = 650; s + 400 < lunghezza; s += 800) {
    riga(l, std::string((s / 800) % 2 ? "curvad5" : "curvas4") + ",  " + n(s) + ",  300");
  }
  riga(l, "[pendenze]");
  for (int64_t a = 0, k = 0; a < lunghezza; a += 1150, ++k) riga(l, "pendenza,  " + n(a) + ",   " + n(k % 53 - 26));
  riga(l, "[montagne]");
  // the tables hold 80 stretches and 81 sign boards whatever the length
  const int64_t passo_montagne = lunghezza / 81 / 50 * 50;
  for (int64_t k = 1; k <= 80; ++k) {
    riga(l, "montagna,   " + n(k * passo_montagne) + ",  " + n(k * passo_montagne + 300) + ",  11");
  }
  std::string cartelli;
  for (int64_t k = 1; k <= 49; ++k) {
    const int64_t p = k * passo_montagne - 50;
    if (occupate.prendi({p / 50 + 1})) riga(cartelli, "cartello_indicatore,  " + n(p) + ",   (GALLERIA)( 300 m. )");
  }
  riga(l, "[cartelli]");
  for (int64_t p = 700; p + 1000 < lunghezza; p += 5000) {
    if (occupate.prendi({p / 50 + 1})) riga(l, "indicatori_vmax,  " + n(p) + ",  65,  70,  75,  0,  ,  ,  ,  0");
  }
  riga(l, "[indicazioni]");
  l += cartelli;
  riga(l, "[fine]");
  return l;
}

std::string treno_sintetico(int32_t lunghezza, celle_occupate& occupate) {
  std::string t;
  riga(t, "[generale]");
  riga(t, "numero vetture,    5");
  riga(t, "percentuale massa frenata,    120");
  riga(t, "sabbia,    300");
  riga(t, "orologio,    12              8             0 ");
  riga(t, "[aderenze]");
  for (int64_t p = 0, k = 0; p < lunghezza; p += 3000, ++k) riga(t, "aderenza,   " + n(p) + ",   " + n(70 + k % 4 * 10));
  riga(t, "[vel_limite]");
  for (int64_t p = 0, k = 0; p < lunghezza; p += 2500, ++k) riga(t, "velocita,   " + n(p) + ",   " + n(60 + k % 6 * 10));
  riga(t, "[stazioni]");
  // 29 stations fit below the 49 sign texts; station marks overwrite, so they come first
  const int64_t passo_stazioni = lunghezza / 30 / 50 * 50;
  for (int64_t k = 0; k < 29; ++k) {
    const int64_t p = k * passo_stazioni + 1000;
    occupate.celle.insert((p + 150) / 50 - 1);
    riga(t, "stazione,    " + n(p) + ", 12,  300,  0, 0, 0,  1,1,0,  5,1,1,   30,  12, 0, 0, STAZIONE " + n(k));
  }
  riga(t, "[rallentamenti]");
  for (int64_t x = 5500; x + 2000 < lunghezza; x += 33300) {
    if (occupate.prendi({(x - 1200) / 50 + 1, x / 50 + 1, (x + 500) / 50 + 1})) {
      riga(t, "rallentamento,    " + n(x) + ",    50,  500, 0,  0,  0");
    }
  }
  riga(t, "[segnali]");
  for (int64_t p = 1450; p + 1000 < lunghezza; p += 1900) {
    if (occupate.prendi({p / 50 + 1})) riga(t, "segnale,    " + n(p) + ",   1, 4, 1,  0, 0,    0,  0,0,0, 0");
  }
  riga(t, "[fine]");
  return t;
}

}  // namespace

coppia scenario_sintetico(int32_t lunghezza) {
  celle_occupate occupate;
  // the line's boards take their cells before the train's features
  std::string linea = linea_sintetica(lunghezza, occupate);
  return {std::move(linea), treno_sintetico(lunghezza, occupate)};
}

}  // namespace scenario::banco
