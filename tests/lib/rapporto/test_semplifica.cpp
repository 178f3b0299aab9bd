#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "prova_rapporto.hpp"
#include "rapporto/semplifica.hpp"

namespace scenario::rapporto {
namespace {

using aiuti::avanti_indietro;
using aiuti::misura_tenuti;
using aiuti::scostamento;
using aiuti::spirale;
using aiuti::zigzag;

std::vector<punto_piano> retta(int metri, double direzione) {
  std::vector<punto_piano> r;
  for (int i = 0; i <= metri; ++i) r.push_back({i * std::cos(direzione) + 7, i * std::sin(direzione) - 3});
  return r;
}

// An arc so gentle that a kilometre of it bows less than the bound, but the
// whole bows far more.
std::vector<punto_piano> arco(int metri, double raggio) {
  std::vector<punto_piano> r;
  for (int i = 0; i <= metri; ++i) r.push_back({raggio * std::sin(i / raggio), raggio * (1 - std::cos(i / raggio))});
  return r;
}

struct caso_forma {
  std::string nome;
  std::vector<punto_piano> punti;
  std::size_t tenuti_massimi;
};

TEST(Semplifica, KeepsTheBoundInOrderOnEveryShape) {
  const caso_forma casi[] = {
      {"zigzag of 10 km, 3 m teeth", zigzag(10000, 10, 3), 1010},
      {"zigzag just inside the bound", zigzag(10000, 10, 0.95), 5},
      {"zigzag just outside the bound", zigzag(10000, 10, 2.05), 1010},
      {"doubles back within 0.3 m", avanti_indietro(1000, 200, 3000, 0.3), 6},
      {"doubles back within 0.9 m", avanti_indietro(5000, 2500, 5000, 0.9), 8},
      {"spiral", spirale(20000), 700},
      {"straight line", retta(20000, 0.7), 6},
      {"gentle arc over many pieces", arco(30000, 150000), 35},
  };
  for (const caso_forma& c : casi) {
    const std::vector<std::size_t> tenuti = semplifica(c.punti, 1.0);
    const scostamento s = misura_tenuti(c.punti, tenuti);
    EXPECT_TRUE(s.vertici_dai_punti) << c.nome;
    EXPECT_LE(s.distanza, 1.0) << c.nome;
    EXPECT_LE(s.in_ordine, 1.0) << c.nome;
    EXPECT_LE(tenuti.size(), c.tenuti_massimi) << c.nome;
  }
}

struct caso_tenuti {
  const char* nome;
  std::vector<punto_piano> punti;
  std::vector<std::size_t> atteso;
};

TEST(Semplifica, ARouteThatTurnsBackKeepsItsTurnAndNothingElse) {
  std::vector<punto_piano> oltre_la_fine = avanti_indietro(1000, 500, 0, 0.3);
  std::vector<punto_piano> dietro_l_inizio;
  for (int i = 0; i <= 300; ++i) dietro_l_inizio.push_back({-static_cast<double>(i), 0});
  for (int i = 1; i <= 1300; ++i) dietro_l_inizio.push_back({i - 300.0, 0.4});
  const caso_tenuti casi[] = {
      {"past the end of its chord", oltre_la_fine, {0, 1000, 1500}},
      {"beside itself, within the bound of one chord", avanti_indietro(1000, 200, 2000, 0.3), {0, 1000, 1200, 3200}},
      {"behind the start of its chord", dietro_l_inizio, {0, 300, 1600}},
      {"no points", {}, {}},
      {"one point", {{5, 5}}, {0}},
      {"two points", {{5, 5}, {9, 9}}, {0, 1}},
      {"all in one place", std::vector<punto_piano>(5, {2, 2}), {0, 4}},
  };
  for (const caso_tenuti& c : casi) EXPECT_EQ(semplifica(c.punti, 1.0), c.atteso) << c.nome;
}

TEST(Semplifica, ShapesThatDefeatTheSearchStillEndWithinTheBound) {
  // a zigzag that grows at every metre: every split would peel one point off
  // an end, until the splits go near the middle
  std::vector<punto_piano> crescente;
  for (int i = 0; i <= 200000; ++i) crescente.push_back({static_cast<double>(i), (i % 2 == 0 ? 1.0 : -1.0) * (i % 4096)});
  EXPECT_EQ(semplifica(crescente, 1.0).size(), crescente.size());
  // three metres on, two back, over and over: only the budget of work ends the
  // search, and what it leaves unsearched is kept
  std::vector<punto_piano> a_ritroso;
  for (int i = 0; i <= 20000; ++i) a_ritroso.push_back({(i / 2) + (i % 2) * 3.0, 0});
  EXPECT_EQ(semplifica(a_ritroso, 1.0).size(), a_ritroso.size());
  // a point that is not a number is kept
  std::vector<punto_piano> guasto = retta(3000, 0);
  guasto[1500] = {NAN, 0};
  const std::vector<std::size_t> con_guasto = semplifica(guasto, 1.0);
  EXPECT_NE(std::find(con_guasto.begin(), con_guasto.end(), std::size_t{1500}), con_guasto.end());
}

}  // namespace
}  // namespace scenario::rapporto
