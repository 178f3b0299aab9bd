#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/readers/lettore_linea.hpp"
#include "compiler/readers/memorizza_dati.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

// A line of 2000 m: cells 0 to 180, track plan rows 0 to 9000.
std::string linea(std::initializer_list<std::string_view> caratteristiche,
                  std::string_view lunghezza = "lunghezza percorso,    2000") {
  std::string testo = prova::righe({"[generale]", lunghezza, "[curve]"});
  for (std::string_view r : caratteristiche) {
    testo.append(r);
    testo.append("\r\n");
  }
  return testo + "[fine]\r\n";
}

class LetturaLinea : public ::testing::Test {
 protected:
  bool leggi(std::string testo, int32_t scrivi = 1) {
    prepara(std::move(testo), scrivi);
    return leggi_descrizione_linea(m, s);
  }
  // Through the failure trap, with a train description beside it.
  void memorizza(std::string testo, int32_t scrivi = 1) {
    prepara(std::move(testo), scrivi);
    s.treno = "[generale]\r\n";
    memorizza_dati(m, s);
  }
  void prepara(std::string testo, int32_t scrivi) {
    m.nome_linea = "Valdora_Tarvea";
    m.numero_treno = "5293";
    m.scrivi_linea = scrivi;
    s.linea = std::move(testo);
  }
  // The reader refused the file: status set, file deleted, train not to be read.
  void rifiutata(bool prosegue, int32_t codice) {
    EXPECT_FALSE(prosegue);
    EXPECT_EQ(m.codice_errore, codice);
    EXPECT_TRUE(s.linea_eliminata);
  }

  raccolta_diagnostici r;
  modello m = con_raccolta(r);
  prova::sorgenti_memoria s;
};

TEST_F(LetturaLinea, AMissingFileIsCode101AndDeletesNothing) {
  m.nome_linea = "Valdora_Tarvea";
  m.numero_treno = "5293";
  EXPECT_FALSE(leggi_descrizione_linea(m, s));
  EXPECT_EQ(m.codice_errore, codice::linea_mancante);
  EXPECT_FALSE(s.linea_eliminata);
  EXPECT_FALSE(m.ha_celle());
  // the header names come first, whatever follows
  EXPECT_EQ(m.voce(85).nome, "Valdora_Tarvea");
  EXPECT_EQ(m.voce(86).nome, "5293");
}

TEST_F(LetturaLinea, TheGeneralSectionMustStartBeforeTheLastField) {
  rifiutata(leggi(prova::righe({"lunghezza percorso, 5000", "[generale]"})), codice::generale_mancante);
  EXPECT_FALSE(m.ha_celle());
}

TEST_F(LetturaLinea, AnEmptyFileIsAReadPastTheEnd) {
  memorizza("");
  EXPECT_EQ(m.codice_errore, codice::errore_lettura);
  EXPECT_TRUE(s.linea_eliminata);
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LetturaLinea, FieldsBeforeTheGeneralHeadAreSkippedInAnyCase) {
  EXPECT_TRUE(leggi(prova::righe({"lunghezza percorso, 5000", "[GeNeRaLe]", "lunghezza percorso,  2000", "[fine]"})));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.voce(84).fine, 2000);
  EXPECT_EQ(m.ultima_cella, 180);
  EXPECT_TRUE(s.linea_eliminata);
}

TEST_F(LetturaLinea, RouteLengthSizesCellsAndTrackPlan) {
  EXPECT_TRUE(leggi(linea({}, "lunghezza percorso,  1025")));
  EXPECT_EQ(m.estensione, 8025);
  EXPECT_EQ(m.ultima_cella, 160);  // 160.5 goes to the even neighbour
  EXPECT_EQ(m.celle.size(), 161u);
  EXPECT_EQ(m.tracciato.ultima_riga(), 8025);

  modello altro;
  prova::sorgenti_memoria s2;
  s2.linea = linea({}, "lunghezza percorso,  1075");
  EXPECT_TRUE(leggi_descrizione_linea(altro, s2));
  EXPECT_EQ(altro.ultima_cella, 162);
  EXPECT_FALSE(altro.tracciato.esiste());  // no track plan without the flag
}

TEST_F(LetturaLinea, EveryRouteLengthLineMakesTheCellsAnew) {
  // cells left by an earlier compile in the same model are cleared too
  m.crea_celle(300);
  m.cel(5).tipo = tipo_cella::segnale;
  m.cel(250).pendenza = 7;
  EXPECT_TRUE(leggi(prova::righe({"[generale]", "lunghezza percorso, 8000", "sfondo uno, 3", "lunghezza percorso, 2000",
                                  "lunghezza percorso, 3000", "[curve]", "pendenza, 0, 5", "[fine]"})));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.ultima_cella, 200);
  ASSERT_EQ(m.celle.size(), 201u);
  EXPECT_EQ(m.tracciato.ultima_riga(), 10000);
  for (int32_t c = 0; c <= 200; ++c) {
    EXPECT_EQ(m.cel(c).tipo, tipo_cella::libera) << c;
    EXPECT_EQ(m.cel(c).pendenza, c <= 197 ? 105 : 0) << c;
  }

  // a later negative length still fails when the cells are made
  modello altro;
  prova::sorgenti_memoria s2;
  s2.linea = prova::righe({"[generale]", "lunghezza percorso, 2000", "lunghezza percorso, -9000", "[curve]", "[fine]"});
  s2.treno = "x";
  memorizza_dati(altro, s2);
  EXPECT_EQ(altro.codice_errore, codice::errore_lettura);
}

TEST_F(LetturaLinea, RouteLengthLimitIsOneMillionMetres) {
  EXPECT_TRUE(leggi(linea({}, "lunghezza percorso,  1000000"), 0));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.ultima_cella, 20140);

  modello altro;
  prova::sorgenti_memoria s2;
  s2.linea = linea({}, "lunghezza percorso,  1000001");
  EXPECT_FALSE(leggi_descrizione_linea(altro, s2));
  EXPECT_EQ(altro.codice_errore, codice::lunghezza_eccessiva);
  EXPECT_EQ(altro.voce(84).fine, 1000001);
  EXPECT_FALSE(altro.ha_celle());
  EXPECT_TRUE(s2.linea_eliminata);
}

TEST_F(LetturaLinea, KeywordCaseFollowsEachKeyword) {
  EXPECT_TRUE(leggi(prova::righe({"[generale]", "Lunghezza Percorso,  2000", "Sfondo uno,  65650",
                                  "Progressiva chilometrica uno,  0,  314050,  1", "sfondo due,  1",
                                  "sfondo tre,  41050", "[curve]", "[fine]"})));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.ultima_cella, 180);
  EXPECT_EQ(m.voce(85).inizio, 0);
  EXPECT_EQ(m.voce(85).posizione, 1);
  EXPECT_EQ(m.voce(85).fine, 41050);
  EXPECT_EQ(m.voce(81).fine + m.voce(82).fine + m.voce(83).fine, 0);
}

TEST_F(LetturaLinea, SignalRepetition) {
  struct caso {
    const char* riga;
    int32_t codice;
    int32_t posizione;
  };
  const std::vector<caso> casi = {
      {"ripetizione segnali 4 9 codici,  100,  200", 0, 4},
      {"ripetizione segnali 9 codici,  100,  200", 0, 9},
      {"ripetizione segnali 9 codici,  100,  0", 0, 0},
      {"ripetizione segnali 4 codici,  75,  200", codice::ripetizione_inizio, 0},
      {"ripetizione segnali 4 codici,  100,  30", codice::ripetizione_fine, 0},
      {"ripetizione segnali codici,  100,  200", codice::ripetizione_codici, 0},
      {"Ripetizione segnali 4 codici,  75,  30", 0, 0},  // exact case: not recognised
  };
  for (const caso& c : casi) {
    modello mm;
    prova::sorgenti_memoria ss;
    ss.linea = prova::righe({"[generale]", "lunghezza percorso,  2000", c.riga, "[curve]", "[fine]"});
    EXPECT_EQ(leggi_descrizione_linea(mm, ss), c.codice == 0) << c.riga;
    EXPECT_EQ(mm.codice_errore, c.codice) << c.riga;
    EXPECT_EQ(mm.voce(86).posizione, c.posizione) << c.riga;
    EXPECT_TRUE(ss.linea_eliminata);
  }
}

TEST_F(LetturaLinea, TenCommentFieldsAreSkippedInTheGeneralSection) {
  std::string testo = "[generale]\r\n";
  for (int i = 0; i < 10; ++i) testo += "- nota\r\n";
  EXPECT_TRUE(leggi(testo + "- lunghezza percorso,  2000\r\n[curve]\r\n[fine]\r\n"));
  EXPECT_EQ(m.ultima_cella, 180);  // the eleventh is a keyword field, dash or not

  // one more comment: the route length is then skipped and the cells never exist
  modello altro;
  prova::sorgenti_memoria s2;
  s2.linea = "[generale]\r\n- nota\r\n" + testo.substr(12) + "- lunghezza percorso,  2000\r\n[curve]\r\n[fine]\r\n";
  s2.treno = "x";
  memorizza_dati(altro, s2);
  EXPECT_EQ(altro.codice_errore, codice::errore_lettura);
  EXPECT_FALSE(altro.ha_celle());
  EXPECT_TRUE(s2.linea_eliminata);
  EXPECT_TRUE(s2.treno_eliminato);
}

TEST_F(LetturaLinea, TwoCommentFieldsAreSkippedInTheFeatureSection) {
  EXPECT_TRUE(leggi(linea({"- a, - b, - pendenza,  500,   6", "pendenza,  1000,   0"})));
  EXPECT_EQ(m.cel(9).pendenza, 100);
  EXPECT_EQ(m.cel(10).pendenza, 106);

  modello altro;
  prova::sorgenti_memoria s2;
  s2.linea = linea({"- a, - b, - c, - pendenza,  500,   6", "pendenza,  1000,   0"});
  EXPECT_TRUE(leggi_descrizione_linea(altro, s2));
  EXPECT_EQ(altro.cel(10).pendenza, 100);  // the gradient line was read as comments and numbers
}

TEST_F(LetturaLinea, TheLastFieldOfTheFileIsNeverAKeyword) {
  memorizza(prova::righe({"[generale]", "lunghezza percorso"}));
  EXPECT_EQ(m.codice_errore, codice::errore_lettura);

  modello altro;
  prova::sorgenti_memoria s2;
  s2.linea = prova::righe({"[generale]", "lunghezza percorso,  2000"});
  EXPECT_TRUE(leggi_descrizione_linea(altro, s2));
  EXPECT_EQ(altro.ultima_cella, 180);
}

TEST_F(LetturaLinea, WithoutARouteLengthTheTrapEndsTheReading) {
  for (int32_t scrivi : {0, 1}) {
    modello mm;
    prova::sorgenti_memoria ss;
    mm.scrivi_linea = scrivi;
    ss.linea = prova::righe({"[generale]", "sfondo uno,  5", "[curve]", "pendenza,  0,  5", "[fine]"});
    ss.treno = "x";
    memorizza_dati(mm, ss);
    EXPECT_EQ(mm.codice_errore, codice::errore_lettura);
    EXPECT_TRUE(ss.linea_eliminata);
    EXPECT_TRUE(ss.treno_eliminato);
  }
}

TEST_F(LetturaLinea, ANumberFieldThatHoldsNoNumberIsARunTimeFailure) {
  memorizza(linea({"pendenza,  5x0,   6"}));
  EXPECT_EQ(m.codice_errore, codice::errore_lettura);
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LetturaLinea, FeatureKindsMixAnywhereAfterTheGeneralSection) {
  EXPECT_TRUE(leggi(linea({"[indicazioni]", "cartello_indicatore,  2400,   (  BIVIO   )(PELLEGRINO)", "[pendenze]",
                           "pendenza,  0,   2", "montagna,   2350,  2400,  2", "pendenza,  550,   6"})));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cel(49).tipo, tipo_cella::cartello);
  EXPECT_EQ(m.voce(80).nome, "(  BIVIO   )(PELLEGRINO)");
  EXPECT_EQ(m.cel(47).tipo_montagna, 2);
  EXPECT_EQ(m.cel(10).pendenza, 102);
  EXPECT_EQ(m.cel(11).pendenza, 106);
  EXPECT_EQ(m.cel(177).pendenza, 106);
  EXPECT_EQ(m.cel(178).pendenza, 0);
  EXPECT_EQ(m.riga, "[fine]");
}

TEST_F(LetturaLinea, CurvesAreIgnoredWithoutTheLineFlag) {
  EXPECT_TRUE(leggi(linea({"curvad5,  650,  550", "curvad7,  100,  50", "pendenza,  550,  6"}), 0));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_FALSE(m.tracciato.esiste());
  EXPECT_EQ(m.cel(11).pendenza, 106);
}

TEST_F(LetturaLinea, CurveKeywordGivesSideAndClass) {
  EXPECT_TRUE(leggi(linea({"curvaS4,  100,  50", "curvad6 curvad5,  300,  10"})));
  EXPECT_DOUBLE_EQ(m.tracciato.x(101), -0.001);
  EXPECT_DOUBLE_EQ(m.tracciato.y(101), 101.0);
  const double dx = m.tracciato.x(300) - m.tracciato.x(299);
  const double dy = m.tracciato.y(300) - m.tracciato.y(299);
  EXPECT_NEAR(m.tracciato.x(301) - m.tracciato.x(300), dx + 0.002 * dy, 1e-9);  // "5" comes before "6"
}

TEST_F(LetturaLinea, ACurveWithoutClassDigitIsCode103AfterTheBoundTest) {
  EXPECT_TRUE(leggi(linea({"curvad7,  8901,  50"})));
  EXPECT_EQ(m.codice_errore, codice::oltre_percorso);

  modello altro;
  prova::sorgenti_memoria s2;
  altro.scrivi_linea = 1;
  s2.linea = linea({"curvad7,  650,  50"});
  EXPECT_FALSE(leggi_descrizione_linea(altro, s2));
  EXPECT_EQ(altro.codice_errore, codice::curva_non_valida);
  EXPECT_TRUE(s2.linea_eliminata);
}

TEST_F(LetturaLinea, APositionBeyondTheRouteEndsTheFileButNotTheRun) {
  EXPECT_TRUE(leggi(linea({"pendenza,  8900,   5", "pendenza,  8901,   7", "pendenza,  0,   9"})));
  EXPECT_EQ(m.codice_errore, codice::oltre_percorso);
  EXPECT_EQ(m.posizione_errore, 8901);
  EXPECT_TRUE(s.linea_eliminata);
  // both completions ran, with the gradient of the last line accepted
  EXPECT_EQ(m.posa.ultima_pendenza, 5);
  EXPECT_EQ(m.cel(178).pendenza, 105);
  EXPECT_EQ(m.tracciato.tipo(8998), tipo_elemento::doppio);
  EXPECT_EQ(m.tracciato.tipo(8999), tipo_elemento::vuoto);
}

TEST_F(LetturaLinea, BoardsOnTakenCellsAreRefused) {
  rifiutata(leggi(linea({"cartello_indicatore,  2400,   (A)", "cartello_indicatore,  2399,   (B)"})),
            codice::cartello_occupato);
  EXPECT_EQ(m.posizione_errore, 2399);
  EXPECT_EQ(m.posa.indice_cartelli, 79);
  EXPECT_EQ(m.voce(79).nome, "");
  ASSERT_FALSE(r.tutti.empty());
  EXPECT_EQ(r.tutti.back().dove.regione.inizio.riga, 5);
  EXPECT_EQ(r.tutti.back().dove.parola, "cartello_indicatore");
  EXPECT_EQ(r.tutti.back().posizione, 2399);

  modello altro;
  prova::sorgenti_memoria s2;
  s2.linea = linea({"cartello_indicatore,  2400,   (A)", "indicatori_vmax,  2400,  65,  70,  75,  0,  ,  ,  ,  0"});
  EXPECT_FALSE(leggi_descrizione_linea(altro, s2));
  EXPECT_EQ(altro.codice_errore, codice::indicatori_occupato);
  EXPECT_EQ(altro.posizione_errore, 2400);
  EXPECT_EQ(altro.cel(49).tipo, tipo_cella::cartello);
  EXPECT_EQ(altro.cel(49).valore, 80);
}

TEST_F(LetturaLinea, AnEncodedSpeedBeyond16BitsIsARunTimeFailure) {
  memorizza(linea({"indicatori_vmax,  700,  2000,  70,  75,  0,  ,  ,  ,  0"}));
  EXPECT_EQ(m.codice_errore, codice::errore_lettura);
  EXPECT_EQ(m.cel(15).tipo, tipo_cella::libera);
}

TEST_F(LetturaLinea, TheMountainTableHolds80Stretches) {
  std::string righe_montagne;
  for (int i = 0; i <= 80; ++i) {
    righe_montagne += "montagna,  " + std::to_string(100 * i) + ",  " + std::to_string(100 * i + 50) + ",  2\r\n";
  }
  rifiutata(leggi(linea({righe_montagne})), codice::troppe_montagne);
  EXPECT_EQ(m.posizione_errore, 8000);
  EXPECT_EQ(m.n_montagne, 80);
  EXPECT_EQ(m.cel(158).tipo_montagna, 3);
  EXPECT_EQ(m.cel(160).tipo_montagna, 0);
}

TEST_F(LetturaLinea, TheRecordTableHolds81SignTexts) {
  std::string righe_cartelli;
  for (int i = 0; i <= 81; ++i) {
    righe_cartelli += "cartello_indicatore,  " + std::to_string(100 * i) + ",  (" + std::to_string(i) + ")\r\n";
  }
  rifiutata(leggi(linea({righe_cartelli})), codice::troppi_cartelli);
  EXPECT_EQ(m.posizione_errore, 8100);
  EXPECT_EQ(m.posa.indice_cartelli, -1);
  EXPECT_EQ(m.voce(0).nome, "(80)");
  EXPECT_EQ(m.cel(161).valore, 0);
  EXPECT_EQ(m.cel(163).tipo, tipo_cella::libera);
}

TEST_F(LetturaLinea, LinesThatWouldReachOutsideTheModelAreRefused) {
  struct caso {
    std::vector<std::string_view> righe;
    int32_t codice;
    int32_t posizione;
  };
  const std::vector<caso> casi = {
      {{"curvad5,  8800,  300"}, codice::curva_oltre_tracciato, 8800},
      {{"pendenza,  500,   156"}, codice::pendenza_fuori_campo, 500},
      {{"pendenza,  500,   -101"}, codice::pendenza_fuori_campo, 500},
      {{"pendenza,  8900,   1", "pendenza,  50,   2", "pendenza,  50,   3", "pendenza,  50,   4",
        "pendenza,  50,   5"},
       codice::pendenze_oltre_percorso, 50},
      {{"cartello_indicatore,  -100,   (A)"}, codice::posizione_negativa, -100},
      {{"indicatori_vmax,  -80,  65,  70,  75,  0,  ,  ,  ,  0"}, codice::posizione_negativa, -80},
      {{"montagna,  -100,  100,  2"}, codice::posizione_negativa, -100},
      {{"montagna,  8800,  9100,  12"}, codice::montagna_oltre_percorso, 8800},
  };
  for (const caso& c : casi) {
    modello mm;
    prova::sorgenti_memoria ss;
    mm.scrivi_linea = 1;
    std::string testo = prova::righe({"[generale]", "lunghezza percorso,  2000", "[curve]"});
    for (std::string_view r : c.righe) testo += std::string(r) + "\r\n";
    ss.linea = testo + "[fine]\r\n";
    EXPECT_FALSE(leggi_descrizione_linea(mm, ss)) << c.righe.back();
    EXPECT_EQ(mm.codice_errore, c.codice) << c.righe.back();
    EXPECT_EQ(mm.posizione_errore, c.posizione) << c.righe.back();
    EXPECT_TRUE(ss.linea_eliminata);
    // the refused line wrote nothing
    EXPECT_EQ(mm.n_montagne, 0);
    EXPECT_EQ(mm.posa.cursore_geometria, 2);
    EXPECT_EQ(mm.cel(0).tipo, tipo_cella::libera);
    EXPECT_EQ(mm.cel(180).tipo_montagna, 0);
    EXPECT_EQ(mm.posa.indice_cartelli, 80);
  }
}

TEST_F(LetturaLinea, GradientLinesOutOfOrderMayFillTheLastCell) {
  EXPECT_TRUE(leggi(linea({"pendenza,  8900,   1", "pendenza,  50,   2", "pendenza,  50,   3", "pendenza,  50,   4"})));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cel(178).pendenza, 101);
  EXPECT_EQ(m.cel(180).pendenza, 103);  // completion has nothing left to fill
}

TEST_F(LetturaLinea, ASignTextLongerThanItsRecordCanHoldIsARunTimeFailure) {
  memorizza(linea({"cartello_indicatore,  2400,   (" + std::string(65535, 'A') + ")"}));
  EXPECT_EQ(m.codice_errore, codice::errore_lettura);
  EXPECT_EQ(m.cel(49).tipo, tipo_cella::libera);
  EXPECT_EQ(m.posa.indice_cartelli, 80);
}

TEST_F(LetturaLinea, ASignBoardJustBeforeTheStartLandsInCellZero) {
  EXPECT_TRUE(leggi(linea({"cartello_indicatore,  -75,   (A)"})));
  EXPECT_EQ(m.cel(0).tipo, tipo_cella::cartello);
}

}  // namespace
}  // namespace scenario
