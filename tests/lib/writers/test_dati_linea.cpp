#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/testo_scritto.hpp"
#include "writers/scrittori.hpp"

namespace scenario::prova {
namespace {

const testo_scritto& linea() {
  static const testo_scritto t = scrivi_in_memoria(dati_linea, &nomi_file::descrizione_linea);
  return t;
}

TEST(DatiLinea, FileShape) {
  const testo_scritto& t = linea();
  ASSERT_EQ(t.righe.size(), 353u);
  EXPECT_EQ(t.contenuto.size(), 11218u);
  EXPECT_EQ(t.contenuto.find(fine_tabella), std::string::npos);
  EXPECT_TRUE(std::all_of(t.contenuto.begin(), t.contenuto.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  }));
  EXPECT_EQ(t.contenuto.substr(t.contenuto.size() - 8), "[fine]\r\n");
  const std::map<std::size_t, std::string> sezioni = {{1, "[generale]"},   {10, "[curve]"},    {135, "[pendenze]"},
                                                      {223, "[montagne]"},  {273, "[cartelli]"}, {303, "[indicazioni]"},
                                                      {353, "[fine]"}};
  for (const auto& [n, testo] : sezioni) EXPECT_EQ(t.riga(n), testo) << "line " << n;
}

TEST(DatiLinea, QuotedLinesComeOutByteForByte) {
  const std::map<std::size_t, std::string> attese = {
      {2, "lunghezza percorso,    101000"},
      {3, "progressiva chilometrica uno,    0,    314050,    1"},
      {8, "sfondo tre,    41050"},
      {9, "ripetizione segnali 4 codici,    0    ,0"},
      {11, "curvad5,  650,  550"},
      {12, "curvad4,  2350,  100"},
      {13, "curvas5,  2450,  400"},
      {58, "curvad5,  40150,  1250"},
      {130, "curvad3,  92050,  450"},
      {131, "curvas3,  95400,  500"},
      {134, "curvad5,  99350,  700"},
      {136, "- Altitudine iniziale Valdora S.M.N. = 46 m."},
      {137, "pendenza,  0,   0"},
      {138, "pendenza,  550,   6"},
      {139, "pendenza,  2500,   18"},
      {142, "pendenza,  4600,   26"},
      {159, "pendenza,  19750,   -15"},
      {193, "pendenza,  61950,   -26"},
      {221, "pendenza,  98400,   -4"},
      {222, "pendenza,  99900,   0"},
      {224, "montagna,   2350,  2400,  2"},
      {247, "montagna,   50300,  54100,  11"},
      {272, "montagna,   96000,  96150,  12"},
      {274, "indicatori_vmax,  700,  65,  70,  75,  0,  ,  ,  ,  0"},
      {281, "indicatori_vmax,  26900,  90,  95,  100,  2,  ,  ,  ,  0"},
      {302, "indicatori_vmax,  98200,  85,  90,  90,  0,  ,  ,  ,  0"},
      {304, "cartello_indicatore,  2400,   (  BIVIO   )(PELLEGRINO)"},
      {326, "cartello_indicatore,  49800,   (RACCOZZAMUCCIONE)(  242 m.        )"},
      {333, "cartello_indicatore,  57400,   (   SALTO   )(DEL CAVALLO)( 1294 m.   )"},
      {344, "cartello_indicatore,  64850,   (Viadotto sul)(FIUME LAMONE)"},
      {352, "cartello_indicatore,  95950,   (PERSOLINO)( 170 m.  )"},
  };
  const testo_scritto& t = linea();
  ASSERT_EQ(t.righe.size(), 353u);
  for (const auto& [n, testo] : attese) EXPECT_EQ(t.riga(n), testo) << "line " << n;
}

TEST(DatiLinea, MountainBoardAndSignRows) {
  const testo_scritto& t = linea();
  ASSERT_EQ(t.righe.size(), 353u);
  const std::regex montagna(R"(montagna,   (\d+),  (\d+),  (\d+))");
  std::map<int, int> per_tipo;
  std::set<long> inizi;
  long fine_prima = -1;
  for (std::size_t n = 224; n <= 272; ++n) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(t.riga(n), m, montagna)) << t.riga(n);
    const long inizio = std::stol(m[1]), fine = std::stol(m[2]);
    EXPECT_GT(inizio, fine_prima) << t.riga(n);
    EXPECT_GT(fine, inizio) << t.riga(n);
    EXPECT_EQ(inizio % 50, 0);
    EXPECT_EQ(fine % 50, 0);
    ++per_tipo[std::stoi(m[3])];
    inizi.insert(inizio);
    fine_prima = fine;
  }
  EXPECT_EQ(per_tipo, (std::map<int, int>{{2, 1}, {11, 29}, {12, 19}}));

  const std::regex cartelli(R"(indicatori_vmax,  \d+,  \d+,  \d+,  \d+,  [012],  ,  ,  ,  0)");
  for (std::size_t n = 274; n <= 302; ++n) EXPECT_TRUE(std::regex_match(t.riga(n), cartelli)) << t.riga(n);

  // signs 50 m before a stretch carry its length; the other two name a junction and a viaduct
  const std::regex indicazione(R"(cartello_indicatore,  (\d+),   ((\([^()]*\)){2,3}))");
  int prima_di_galleria = 0;
  for (std::size_t n = 304; n <= 352; ++n) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(t.riga(n), m, indicazione)) << t.riga(n);
    const bool tre_righe = std::count(t.riga(n).begin(), t.riga(n).end(), '(') == 3;
    EXPECT_EQ(tre_righe, n == 333) << t.riga(n);
    if (inizi.count(std::stol(m[1]) + 50) != 0) {
      ++prima_di_galleria;
      const std::string testo = m[2];
      EXPECT_NE(testo.substr(testo.rfind('(')).find(" m."), std::string::npos) << t.riga(n);
    } else {
      EXPECT_TRUE(n == 304 || n == 344) << t.riga(n);
    }
  }
  EXPECT_EQ(prima_di_galleria, 47);
}

struct curva {
  std::string parola;
  long inizio;
  long lunghezza;
};

TEST(DatiLinea, CurvesKeepTheirRules) {
  const testo_scritto& t = linea();
  ASSERT_EQ(t.righe.size(), 353u);
  const std::regex forma(R"((curva[ds][1-6]),  (\d+),  (\d+))");
  std::vector<curva> curve;
  for (std::size_t n = 11; n <= 134; ++n) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(t.riga(n), m, forma)) << "line " << n << ": " << t.riga(n);
    curve.push_back({m[1], std::stol(m[2]), std::stol(m[3])});
  }
  std::map<std::string, int> per_parola;
  for (const curva& c : curve) ++per_parola[c.parola];
  EXPECT_EQ(per_parola, (std::map<std::string, int>{{"curvad5", 52},
                                                    {"curvas5", 48},
                                                    {"curvas4", 8},
                                                    {"curvas6", 8},
                                                    {"curvad4", 6},
                                                    {"curvad3", 1},
                                                    {"curvas3", 1}}));
  EXPECT_EQ(curve.front().inizio, 650);
  EXPECT_EQ(curve.back().inizio, 99350);
  EXPECT_EQ(curve.back().inizio + curve.back().lunghezza, 100050);
  long minima = 100000, massima = 0;
  int contigue = 0, piu_lunghe = 0;
  for (std::size_t i = 0; i < curve.size(); ++i) {
    const curva& c = curve[i];
    EXPECT_EQ(c.inizio % 50, 0) << "line " << i + 11;
    EXPECT_EQ(c.lunghezza % 50, 0) << "line " << i + 11;
    minima = std::min(minima, c.lunghezza);
    massima = std::max(massima, c.lunghezza);
    if (c.lunghezza == 1250) ++piu_lunghe;
    if (i > 0) {
      const long fine_prima = curve[i - 1].inizio + curve[i - 1].lunghezza;
      EXPECT_GE(c.inizio, fine_prima) << "line " << i + 11 << " starts inside the curve before it";
      if (c.inizio == fine_prima) ++contigue;
    }
  }
  EXPECT_EQ(minima, 50);
  EXPECT_EQ(massima, 1250);
  EXPECT_EQ(piu_lunghe, 1) << "the curve of line 58 is the longest";
  EXPECT_EQ(contigue, 4);
}

TEST(DatiLinea, GradientsKeepTheirRules) {
  const testo_scritto& t = linea();
  ASSERT_EQ(t.righe.size(), 353u);
  const std::regex forma(R"(pendenza,  (0|[1-9]\d*),   (0|-?[1-9]\d*))");
  long posizione_prima = -1;
  int positive = 0, nulle = 0, negative = 0;
  std::size_t prima_negativa = 0;
  std::vector<long> piu_ripide_discese, piu_ripide_salite;
  for (std::size_t n = 137; n <= 222; ++n) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(t.riga(n), m, forma)) << "line " << n << ": " << t.riga(n);
    const long posizione = std::stol(m[1]);
    const int valore = std::stoi(m[2]);
    EXPECT_GT(posizione, posizione_prima) << "line " << n;
    EXPECT_EQ(posizione % 50, 0) << "line " << n;
    EXPECT_GE(valore, -26) << "line " << n;
    EXPECT_LE(valore, 26) << "line " << n;
    if (valore > 0) ++positive;
    if (valore == 0) ++nulle;
    if (valore < 0) {
      ++negative;
      if (prima_negativa == 0) prima_negativa = n;
    }
    if (valore == -26) piu_ripide_discese.push_back(posizione);
    if (valore == 26) piu_ripide_salite.push_back(posizione);
    posizione_prima = posizione;
  }
  EXPECT_EQ(positive, 30);
  EXPECT_EQ(nulle, 16);
  EXPECT_EQ(negative, 40);
  EXPECT_EQ(prima_negativa, 159u);
  EXPECT_EQ(piu_ripide_discese, (std::vector<long>{61950, 63200}));
  EXPECT_EQ(piu_ripide_salite, (std::vector<long>{4600}));
  EXPECT_EQ(posizione_prima, 99900);
}

TEST(DatiLinea, NoCurveRunsThroughAStation) {
  const testo_scritto& t = linea();
  const testo_scritto treno = scrivi_in_memoria(dati_treno, &nomi_file::descrizione_treno);
  ASSERT_EQ(t.righe.size(), 353u);
  ASSERT_EQ(treno.righe.size(), 126u);
  const std::regex stazione(R"(stazione, +(\d+),.*)");
  const std::regex forma(R"(curva..,  (\d+),  (\d+))");
  for (std::size_t s = 49; s <= 77; ++s) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(treno.riga(s), m, stazione)) << treno.riga(s);
    const long posizione = std::stol(m[1]);
    for (std::size_t n = 11; n <= 134; ++n) {
      ASSERT_TRUE(std::regex_match(t.riga(n), m, forma)) << t.riga(n);
      const long inizio = std::stol(m[1]);
      EXPECT_FALSE(inizio <= posizione && posizione <= inizio + std::stol(m[2]))
          << t.riga(n) << " runs through " << treno.riga(s);
    }
  }
}

}  // namespace
}  // namespace scenario::prova
