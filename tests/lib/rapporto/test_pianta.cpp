#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "prova_rapporto.hpp"
#include "contenuto/contenuto.hpp"
#include "rapporto/rapporto.hpp"
#include "rapporto/testo_html.hpp"

namespace scenario::rapporto {
namespace {

using namespace aiuti;

origine_rapporto origine_prova() {
  return {"prova", {"cartella/Prova_linea.dat", "cartella/Prova_77.sim", "cartella/Prova_77.dat"}, false, {}};
}

// The program's scenario with this track plan, as a page.
std::string pagina_con_pianta(const std::vector<punto_piano>& punti) {
  modello m = scenario_del_programma(1);
  sostituisci_pianta(m, punti);
  return componi_rapporto(m, estrai_contenuto(m), origine_prova());
}

std::vector<punto_piano> spostati(std::vector<punto_piano> punti, double dx, double dy) {
  for (punto_piano& p : punti) p = {p.x + dx, p.y + dy};
  return punti;
}

struct caso_pianta {
  std::string nome;
  std::vector<punto_piano> punti;
};

TEST(PiantaNellaPagina, TheDrawnTrackKeepsItsBoundAfterTheRoundingThePageWrites) {
  std::vector<punto_piano> retta;
  for (int i = 0; i <= 30000; ++i) retta.push_back({0.6 * i, -0.8 * i});
  // a bend just inside the bound near the end of a chord whose far end the
  // page rounds away from it, by half a centimetre
  std::vector<punto_piano> piega;
  for (int i = 0; i <= 1000; ++i) piega.push_back({i * 1.0, 0.0049 * i / 1000 + 0.998 * std::max(0.0, 1 - std::abs(i - 990) / 10.0)});
  const caso_pianta casi[] = {
      {"zigzag of 10 km", zigzag(10000, 10, 3)},
      {"zigzag just inside the bound", zigzag(10000, 10, 0.98)},
      {"doubles back within 0.3 m", avanti_indietro(1000, 200, 3000, 0.3)},
      {"spiral", spirale(20000)},
      {"straight line of 30 km", retta},
      {"bend just inside the bound", piega},
      {"spiral a million km out", spostati(spirale(20000), 1e12, -1e12)},
  };
  for (const caso_pianta& c : casi) {
    const std::string pagina = pagina_con_pianta(c.punti);
    const std::vector<punto_piano> disegno = punti_percorso(attributo(pagina, "<path class=\"binario\"", "d"));
    // the page writes metres from the first row, to the centimetre
    const std::vector<punto_piano> punti = spostati(c.punti, -c.punti[0].x, -c.punti[0].y);
    const scostamento s = misura(punti, disegno, 0.0075);
    EXPECT_TRUE(s.vertici_dai_punti) << c.nome;
    EXPECT_LE(s.distanza, tolleranza_pianta) << c.nome;
    EXPECT_LE(s.in_ordine, tolleranza_pianta) << c.nome;
    EXPECT_LT(disegno.size(), c.punti.size() / 5) << c.nome;

    // and the path's own transform puts it inside the frame
    double a = 0, b = 0, cc = 0, d = 0, e = 0, f = 0;
    const std::string matrice = attributo(pagina, "<path class=\"binario\"", "transform");
    ASSERT_EQ(std::sscanf(matrice.c_str(), "matrix(%lf %lf %lf %lf %lf %lf)", &a, &b, &cc, &d, &e, &f), 6) << c.nome;
    EXPECT_TRUE(a > 0 && d == -a && b == 0 && cc == 0) << c.nome << ": " << matrice;  // north up, to scale
    const double fx = std::stod(attributo(pagina, "<rect class=\"cornice\"", "x"));
    const double fy = std::stod(attributo(pagina, "<rect class=\"cornice\"", "y"));
    const double fw = std::stod(attributo(pagina, "<rect class=\"cornice\"", "width"));
    const double fh = std::stod(attributo(pagina, "<rect class=\"cornice\"", "height"));
    for (const punto_piano& p : disegno) {
      const double x = a * p.x + e, y = d * p.y + f;
      ASSERT_TRUE(x >= fx && x <= fx + fw && y >= fy && y <= fy + fh) << c.nome << " at " << p.x << " " << p.y;
    }
  }
}

struct caso_ostile {
  std::string nome;
  std::vector<punto_piano> punti;
  std::string atteso;  // in the page: the axis of a drawn plan, or the note that refuses it
};

std::vector<caso_ostile> casi_ostili() {
  const std::vector<punto_piano> base = spirale(3000);
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const auto con = [&base](std::size_t riga, punto_piano p) {
    std::vector<punto_piano> r = base;
    r.at(riga) = p;
    return r;
  };
  std::vector<punto_piano> estremi = base;
  for (std::size_t i = 0; i < estremi.size(); ++i) estremi[i].x = i % 2 == 0 ? 1.7e308 : -1.7e308;
  const std::string nota = "The track plan cannot be drawn: cartella/Prova_linea.dat: element ";
  return {
      {"offset 1e19", spostati(base, 1e19, 1e19), "east, km from 1e+19 m"},
      {"offset 1e20", spostati(base, 1e20, 0), "east, km from 1e+20 m"},
      {"offset -1e25", spostati(base, -1e25, -1e25), "north, km from -1e+25 m"},
      {"offset 1e300", spostati(base, 1e300, 1e300), "east, km from 1e+300 m"},
      {"offset near the largest double", spostati(base, -1.7e308, 1.7e308), "east, km from -1.7e+308 m"},
      {"not a number east", con(5, {nan, 0}), nota + "5 (row 5, east) is not a number"},
      {"infinite north", con(7, {0, inf}), nota + std::to_string(base.size() + 7) + " (row 7, north) is infinite"},
      {"minus infinity on the first row", con(0, {-inf, -inf}), nota + "0 (row 0, east) is infinite"},
      {"one point far out", con(9, {1e300, 0}), nota + "9 (row 9, east) lies more than 1000000 km from the first row of the plan"},
      {"first point far out", con(0, {0, -2e9}),
       nota + std::to_string(base.size() + 1) + " (row 1, north) lies more than 1000000 km from the first row of the plan"},
      {"a span no double holds", estremi, nota + "1 (row 1, east) lies more than 1000000 km from the first row of the plan"},
  };
}

TEST(PiantaNellaPagina, AnyCoordinatesGiveAPageOfBoundedSizeOrANoteNamingTheElement) {
  for (const caso_ostile& c : casi_ostili()) {
    const std::string pagina = pagina_con_pianta(c.punti);
    EXPECT_NE(pagina.find(c.atteso), std::string::npos) << c.nome;
    EXPECT_LT(pagina.size(), 1'000'000u) << c.nome;
    EXPECT_LE(conta(pagina, "class=\"griglia\""), 120u) << c.nome;
    const bool disegnata = c.atteso.starts_with("east") || c.atteso.starts_with("north");
    EXPECT_EQ(conta(pagina, "<path class=\"binario\""), disegnata ? 1u : 0u) << c.nome;
    EXPECT_NE(pagina.find("id=\"altimetria\""), std::string::npos) << c.nome << ": the rest of the page is drawn";
  }
}

TEST(PiantaNellaPagina, ProfilesDrawAPageOfGridLinesWhateverTheValues) {
  const modello m = scenario_del_programma(1);
  struct caso {
    const char* nome;
    void (*cambia)(contenuto_scenario&);
  };
  const caso casi[] = {
      {"line speed of 200000 km/h", [](contenuto_scenario& s) { s.velocita_limite.at(0).valore = 200000; }},
      {"largest line speed", [](contenuto_scenario& s) { s.velocita_limite.at(0).valore = 2147483647; }},
      {"slowdown at the largest speed", [](contenuto_scenario& s) { s.rallentamenti.at(0).velocita = 32767; }},
      {"steepest gradients", [](contenuto_scenario& s) {
         for (tratto& t : s.pendenze) t.valore = t.valore % 2 == 0 ? 2147483647 : -2147483647;
       }},
      {"longest route", [](contenuto_scenario& s) { s.lunghezza = 2147483647; }},
  };
  for (const caso& c : casi) {
    contenuto_scenario s = estrai_contenuto(m);
    c.cambia(s);
    const std::string pagina = componi_rapporto(m, s, origine_prova());
    EXPECT_LE(conta(pagina, "class=\"griglia\""), 150u) << c.nome;
    EXPECT_LT(pagina.size(), 2'000'000u) << c.nome;
  }
}

TEST(PiantaNellaPagina, LongNamesAreCutWhereTheyShowAndWholeInTheirTooltips) {
  const modello m = scenario_del_programma(1);
  contenuto_scenario s = estrai_contenuto(m);
  ASSERT_GE(s.stazioni.size(), 2u);
  ASSERT_FALSE(s.cartelli.empty());
  const std::string lungo = std::string(9000, 'S') + "<&\x81\"";
  for (stazione& v : s.stazioni) v.nome = lungo;
  s.linea.nome = std::string(9000, 'L');
  s.treno.numero = std::string(9000, '7');
  s.cartelli.front().testo = std::string(9000, 'T');
  const std::string pagina = componi_rapporto(m, s, origine_prova());
  EXPECT_LE(parola_piu_lunga(testo_visibile(pagina)), 60u);
  EXPECT_NE(pagina.find(html(lungo)), std::string::npos) << "the whole name in a tooltip";
  EXPECT_EQ(pagina.find(std::string(40, 'S') + "<"), std::string::npos);
  EXPECT_NE(pagina.find("S\xE2\x80\xA6</text>"), std::string::npos) << "cut with an ellipsis on the drawings";
  EXPECT_NE(pagina.find("S\xE2\x80\xA6</span>"), std::string::npos) << "and in the timetable";
}

TEST(PiantaNellaPagina, NamesShowControlAndUnassignedBytesAsHex) {
  const modello m = scenario_del_programma(1);
  contenuto_scenario s = estrai_contenuto(m);
  s.stazioni.at(0).nome = "A\x01" "B\x81\xED\xA0\x80";
  const std::string pagina = componi_rapporto(m, s, origine_prova());
  EXPECT_NE(pagina.find("<td>A\\x01B\\x81\xC3\xAD\xC2\xA0\xE2\x82\xAC</td>"), std::string::npos);
  EXPECT_EQ(pagina.find("\xED\xA0\x80"), std::string::npos);
}

}  // namespace
}  // namespace scenario::rapporto
