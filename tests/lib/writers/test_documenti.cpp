#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "support/testo_scritto.hpp"
#include "writers/scrittori.hpp"

namespace scenario::prova {
namespace {

bool solo_ascii(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::vector<std::string> campi(const std::string& riga) {
  std::vector<std::string> c;
  std::size_t inizio = 0;
  for (;;) {
    const std::size_t virgola = riga.find(',', inizio);
    c.push_back(riga.substr(inizio, virgola - inizio));
    if (virgola == std::string::npos) return c;
    inizio = virgola + 1;
  }
}

void verifica_righe(const testo_scritto& t, const std::map<std::size_t, std::string>& attese) {
  for (const auto& [n, testo] : attese) EXPECT_EQ(t.riga(n), testo) << "line " << n;
}

TEST(DatiTreno, FileShapeAndQuotedLines) {
  const testo_scritto t = scrivi_in_memoria(dati_treno, &nomi_file::descrizione_treno);
  ASSERT_EQ(t.righe.size(), 126u);
  EXPECT_EQ(t.contenuto.size(), 6091u);
  EXPECT_TRUE(solo_ascii(t.contenuto));
  EXPECT_EQ(t.contenuto.find(fine_tabella), std::string::npos);
  verifica_righe(t, {
                        {1, "[generale]"},
                        {5, "orologio,    12              8             0 "},
                        {6, "[aderenze]"},
                        {7, "aderenza,   0,   100"},
                        {8, "aderenza,    9900,    80"},
                        {26, "velocita,   0,    30"},
                        {45, "velocita,   89450,   135"},
                        {49, "stazione,       0,  8,  500,  0, 0, 0,  1,1,0,  5,1,1,    1,  11,48, 0, VALDORA S.M.N."},
                        {77, "stazione,  100750,  2,  700,  1, 0, 0,  1,1,0,  2,1,1,    0,  14, 2, 0, TARVEA"},
                        {79, "rallentamento,    5500,    50,  500, 0,  0,  0"},
                        {81, "rallentamento,   95900,    50,  300, 0,  1,  0"},
                        {84, "segnale,    2150,   2, 2, 4,  1, 1,    2,  1,1,0, 135"},
                        {124, "segnale,   99800,   2, 2, 3,  0, 0,    0,  0,0,0, 0"},
                        {125, "[codici]"},
                        {126, "[fine]"},
                    });
  EXPECT_EQ(t.contenuto.substr(t.contenuto.size() - 18), "[codici]\r\n[fine]\r\n");
}

TEST(DatiTreno, ColumnsStayAligned) {
  const testo_scritto t = scrivi_in_memoria(dati_treno, &nomi_file::descrizione_treno);
  ASSERT_EQ(t.righe.size(), 126u);
  for (std::size_t prima : {std::size_t{7}, std::size_t{26}}) {
    for (std::size_t n = prima; n <= prima + 17 + (prima == 26 ? 4 : 0); ++n) {
      const std::vector<std::string> c = campi(t.riga(n));
      ASSERT_EQ(c.size(), 3u) << t.riga(n);
      EXPECT_EQ(c[1].size(), n == prima ? 4u : 8u) << t.riga(n);
      EXPECT_EQ(c[2].size(), 6u) << t.riga(n);
    }
  }
  for (std::size_t n = 49; n <= 77; ++n) {
    ASSERT_EQ(campi(t.riga(n)).size(), 18u) << t.riga(n);
    EXPECT_EQ(t.riga(n).rfind(','), 70u) << "station names begin in one column: " << t.riga(n);
  }
  for (std::size_t n = 79; n <= 81; ++n) EXPECT_EQ(campi(t.riga(n)).size(), 7u) << t.riga(n);
  std::vector<std::size_t> con_valore;
  for (std::size_t n = 83; n <= 124; ++n) {
    const std::vector<std::string> c = campi(t.riga(n));
    ASSERT_EQ(c.size(), 12u) << t.riga(n);
    if (c.back() != " 0") con_valore.push_back(n);
  }
  EXPECT_EQ(con_valore, (std::vector<std::size_t>{84, 98, 120}));
}

TEST(DatiScheda, FileShapeAndQuotedLines) {
  const testo_scritto t = scrivi_in_memoria(dati_scheda, &nomi_file::scheda_treno);
  ASSERT_EQ(t.righe.size(), 63u);
  EXPECT_EQ(t.contenuto.size(), 5039u);
  EXPECT_TRUE(solo_ascii(t.contenuto));
  EXPECT_EQ(t.contenuto.find(fine_tabella), std::string::npos);
  verifica_righe(t, {
                        {1, "  ___________________                                               ______________"},
                        {3, " |   TRENO n. 5293   |                 da: VALDORA S.M.N.          |    V140 A    |"},
                        {7, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
                        {10, ""},
                        {15, " |  30 |  30 |  314.050 |     | VALDORA S.M.N.             |           11.48 |     |"},
                        {23, " |     |     |    6.900 |     | PIAN DI MUGNONE            | 11.56+    11.57 | 0,5 |"},
                        {28, " |     |     |   15.900 |     | CERCINA                    |      12.11+     |     | "},
                        {48, " |     |     |   72.082 |     | S. MARTINO IN GATTARA      | 13.27+    13.28 |     | "},
                        {59, " |     |     |  100.949 |     | TARVEA                     | 14.02           |     |"},
                        {61, ""},
                        {62, ""},
                        {63, "Nota: Nella colonna Orario il simbolo '+' indica 'mezzo minuto'."},
                    });
  EXPECT_EQ(t.riga(60), t.riga(14));
  EXPECT_EQ(t.contenuto.find("\r\n\r\n\r\nNota:"), t.contenuto.size() - 6 - t.riga(63).size() - 2);
}

TEST(DatiScheda, TimetableFollowsItsColumns) {
  const testo_scritto t = scrivi_in_memoria(dati_scheda, &nomi_file::scheda_treno);
  ASSERT_EQ(t.righe.size(), 63u);
  const std::vector<std::size_t> larghezze = {5, 5, 10, 5, 28, 17, 5};
  for (std::size_t n = 12; n <= 60; ++n) {
    const std::string& r = t.riga(n);
    const std::size_t coda = (n == 28 || n == 48) ? 1 : 0;
    ASSERT_EQ(r.size(), 84 + coda) << "line " << n;
    EXPECT_EQ(r.substr(84), std::string(coda, ' ')) << "line " << n;
    std::size_t barra = 1;
    for (std::size_t larghezza : larghezze) {
      EXPECT_EQ(r[barra], '|') << "line " << n;
      barra += larghezza + 1;
    }
    EXPECT_EQ(r[83], '|') << "line " << n;
  }
  const std::regex velocita(R"(     | {1,3}\d{2,3} )");
  const std::regex km(R"( {1,5}\d{1,3}\.\d{3} )");
  const std::regex localita(R"( \S.{26})");
  const std::regex recupero(R"(     | 0,5 |  1  | 1,5 )");
  const std::regex transito(R"( {6}\d\d\.\d\d[+ ] {5})");
  const std::regex fermata(R"( \d\d\.\d\d[+ ] {4}\d\d\.\d\d )");
  std::map<std::string, int> forme;
  for (std::size_t n = 15; n <= 59; ++n) {
    const std::string& r = t.riga(n);
    auto cella = [&](std::size_t i) {
      std::size_t inizio = 2;
      for (std::size_t j = 0; j < i; ++j) inizio += larghezze[j] + 1;
      return r.substr(inizio, larghezze[i]);
    };
    EXPECT_TRUE(std::regex_match(cella(0), velocita)) << "line " << n;
    EXPECT_TRUE(std::regex_match(cella(1), velocita)) << "line " << n;
    EXPECT_TRUE(std::regex_match(cella(2), km)) << "line " << n;
    EXPECT_EQ(cella(3), "     ") << "line " << n;
    EXPECT_TRUE(std::regex_match(cella(4), localita)) << "line " << n;
    EXPECT_TRUE(std::regex_match(cella(6), recupero)) << "line " << n;
    const std::string orario = cella(5);
    if (std::regex_match(orario, transito)) {
      ++forme["transito"];
    } else if (std::regex_match(orario, fermata)) {
      ++forme["fermata"];
      EXPECT_NE(orario[15], '+') << "departures carry no '+': line " << n;
    } else if (orario == "           11.48 ") {
      ++forme["origine"];
      EXPECT_EQ(n, 15u);
    } else if (orario == " 14.02           ") {
      ++forme["destinazione"];
      EXPECT_EQ(n, 59u);
    } else {
      ADD_FAILURE() << "time cell of line " << n << ": '" << orario << "'";
    }
  }
  EXPECT_EQ(forme, (std::map<std::string, int>{{"transito", 25}, {"fermata", 18}, {"origine", 1}, {"destinazione", 1}}));
}

TEST(DatiRallentamenti, FileShapeAndTable) {
  const testo_scritto t = scrivi_in_memoria(dati_rallentamenti, &nomi_file::rallentamenti);
  ASSERT_EQ(t.righe.size(), 41u);
  EXPECT_EQ(t.contenuto.size(), 2871u);
  EXPECT_TRUE(solo_ascii(t.contenuto));
  EXPECT_EQ(t.contenuto.find(fine_tabella), std::string::npos);
  EXPECT_EQ(t.contenuto.substr(0, 2), "\r\n");
  verifica_righe(t, {
                        {2, "                               Modulo M. 3"},
                        {7, "  Si ordina al macchinista del treno 5293 di effettuare i seguenti rallentamenti"},
                        {11, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
                        {13, " |   |                            |            |          |         |            |"},
                        {14, " | 1 | Salviati - Pian di Mugnone |     5      |    50    |   500   |   ---      |"},
                        {16, " | 2 | Ronta - Crespino del L.    |     50     |    30    |   100   |   ---      |"},
                        {18, " | 3 | Brisighella - Tarvea       |     96     |    50    |   300   |   ---      |"},
                        {35, ""},
                        {39, " D - Rallentamento N. ... e N. ...  sono contigui"},
                        {41, "     i giorni esclusi i seguenti:........."},
                    });
  for (std::size_t n : {1u, 6u, 35u}) EXPECT_EQ(t.riga(n), "") << "line " << n;
  for (std::size_t n = 19; n <= 33; ++n) EXPECT_EQ(t.riga(n), t.riga(13)) << "line " << n;
  EXPECT_EQ(t.riga(15), t.riga(13));
  EXPECT_EQ(t.riga(17), t.riga(13));
  for (std::size_t n = 9; n <= 34; ++n) {
    const std::string& r = t.riga(n);
    ASSERT_EQ(r.size(), 82u) << "line " << n;
    std::size_t barra = 1;
    for (std::size_t larghezza : {3, 28, 12, 10, 9, 12}) {
      EXPECT_EQ(r[barra], '|') << "line " << n;
      barra += larghezza + 1;
    }
    EXPECT_EQ(r[81], '|') << "line " << n;
  }
}

TEST(DatiNote, WindowsBytesAndShape) {
  const testo_scritto t = scrivi_in_memoria(dati_note, &nomi_file::note);
  ASSERT_EQ(t.righe.size(), 15u);
  // the thirteen fixed lines; the signature lines are free text
  EXPECT_EQ(t.contenuto.size() - t.riga(14).size() - t.riga(15).size(), 616u);
  EXPECT_EQ(t.contenuto.find(fine_tabella), std::string::npos);
  EXPECT_EQ(t.riga(1), "                  Treno 5293 sul percorso Valdora - Tarvea");
  EXPECT_EQ(t.riga(6), " avverse, ritardo iniziale di 20 minuti, rallentamenti e segnali a via impedita.");
  EXPECT_EQ(t.riga(5), " Valgono le stesse note del treno 5297, in pi\xF9 questo scenario presenta diverse situazioni");
  EXPECT_EQ(t.riga(7),
            " Inoltre il treno, per aumentare la difficolt\xE0, \xE8 simulato in rango A con 5 vetture (nella");
  EXPECT_EQ(t.riga(11),
            " Come per il 5297, la partenza in realt\xE0 \xE8 da Valdora C. Marte alle 11.50, qu\xEC \xE8 simulato il");
  EXPECT_NE(t.contenuto.find(std::string("pi\xF9 ", 4)), std::string::npos);
  for (std::size_t n : {2u, 4u, 10u, 13u}) EXPECT_EQ(t.riga(n), "") << "line " << n;
  std::map<unsigned char, int> alti;
  for (char c : t.contenuto) {
    if (static_cast<unsigned char>(c) >= 0x80) ++alti[static_cast<unsigned char>(c)];
  }
  // one ù, four à, three è, one ì, and nothing else outside ASCII
  EXPECT_EQ(alti, (std::map<unsigned char, int>{{0xE0, 4}, {0xE8, 3}, {0xEC, 1}, {0xF9, 1}}));
  for (std::size_t n : {14u, 15u}) {
    EXPECT_GT(t.riga(n).size(), 1u);
    EXPECT_EQ(t.riga(n)[0], ' ');
    EXPECT_NE(t.riga(n)[1], ' ');
    EXPECT_TRUE(solo_ascii(t.riga(n)));
  }
  EXPECT_EQ(t.contenuto.substr(t.contenuto.size() - 2 - t.riga(15).size()), t.riga(15) + "\r\n");
}

}  // namespace
}  // namespace scenario::prova
