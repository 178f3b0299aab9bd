#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/placement/posa_linea.hpp"

namespace scenario {
namespace {

// A route of length L with its cells, track plan and fresh placement state.
modello percorso(int32_t lunghezza, int32_t scrivi = 1) {
  modello m;
  m.scrivi_linea = scrivi;
  m.estensione = lunghezza + 7000;
  m.ultima_cella = static_cast<int32_t>(std::nearbyint(m.estensione / 50.0));
  m.crea_celle(m.ultima_cella);
  if (scrivi != 0) m.tracciato.crea(m.estensione);
  avvia_posa(m);
  return m;
}

void montagna(modello& m, int32_t inizio, int32_t fine, int32_t tipo) { memo_montagna(m, inizio, fine, tipo); }

void indicatori(modello& m, int32_t posizione, int32_t a, int32_t b, int32_t c, int32_t strisce,
                int32_t strisce2 = 0, int32_t d = 0) {
  int32_t zero = 0;
  int32_t d2 = d;
  memo_indicatori_v_max(m, posizione, a, b, c, strisce, d, d2, zero, strisce2);
}

TEST(PosaPendenze, EachLineFillsTheCellsOfTheLineBefore) {
  modello m = percorso(101000);
  posa_pendenza(m, 0, 0);
  EXPECT_EQ(m.posa.cursore_pendenza, 0);
  posa_pendenza(m, 550, 6);
  posa_pendenza(m, 2500, 18);
  for (int c = 0; c <= 10; ++c) EXPECT_EQ(m.cel(c).pendenza, 100) << c;
  for (int c = 11; c <= 49; ++c) EXPECT_EQ(m.cel(c).pendenza, 106) << c;
  EXPECT_EQ(m.cel(50).pendenza, 0);
  EXPECT_EQ(m.posa.ultima_pendenza, 18);
}

TEST(PosaPendenze, ALineOnTheSameCellFillsOnlyTheCellAtTheCursor) {
  modello m = percorso(2000);
  posa_pendenza(m, 500, 4);
  posa_pendenza(m, 510, 7);
  EXPECT_EQ(m.cel(10).pendenza, 104);
  EXPECT_EQ(m.cel(11).pendenza, 0);
  EXPECT_EQ(m.posa.cursore_pendenza, 11);
}

TEST(PosaPendenze, TheWholeByteRangeIsUsedAndNoMore) {
  modello m = percorso(2000);
  posa_pendenza(m, 0, -100);
  posa_pendenza(m, 100, 155);
  posa_pendenza(m, 200, 0);
  EXPECT_EQ(m.cel(0).pendenza, 0);
  EXPECT_EQ(m.cel(2).pendenza, 255);
  EXPECT_EQ(m.codice_errore, 0);

  posa_pendenza(m, 300, 156);
  EXPECT_EQ(m.codice_errore, codice::pendenza_fuori_campo);
  EXPECT_EQ(m.posizione_errore, 300);
  EXPECT_EQ(m.posa.ultima_pendenza, 0);
  EXPECT_EQ(m.cel(4).pendenza, 0);
}

TEST(PosaPendenze, CompletionStopsThreeCellsFromTheEnd) {
  modello m = percorso(2000);  // cells 0 to 180
  posa_pendenza(m, 8000, -4);
  completa_pendenze(m);
  EXPECT_EQ(m.cel(159).pendenza, 100);
  for (int c = 160; c <= 177; ++c) EXPECT_EQ(m.cel(c).pendenza, 96) << c;
  for (int c = 178; c <= 180; ++c) EXPECT_EQ(m.cel(c).pendenza, 0) << c;
}

TEST(PosaPendenze, TheCursorNeverLeavesTheCells) {
  modello m = percorso(2000);
  posa_pendenza(m, 8900, 1);
  for (int i = 0; i < 3; ++i) posa_pendenza(m, 50, 2);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cel(180).pendenza, 102);
  posa_pendenza(m, 50, 3);
  EXPECT_EQ(m.codice_errore, codice::pendenze_oltre_percorso);
  EXPECT_EQ(m.posizione_errore, 50);
  EXPECT_EQ(m.posa.cursore_pendenza, 181);
  completa_pendenze(m);  // nothing left to fill, nothing written past the end
  EXPECT_EQ(m.cel(180).pendenza, 102);
}

TEST(PosaCurve, FirstOrderStepsFromTheSeeds) {
  modello m = percorso(101000);
  EXPECT_EQ(m.tracciato.tipo(0), tipo_elemento::intero);
  EXPECT_EQ(m.tracciato.x(1), 0.0);
  EXPECT_EQ(m.tracciato.y(1), 1.0);
  posa_curva(m, 650, 550, 0.002);
  EXPECT_EQ(m.posa.cursore_geometria, 1201);
  EXPECT_EQ(m.tracciato.x(650), 0.0);
  EXPECT_EQ(m.tracciato.y(650), 650.0);
  EXPECT_DOUBLE_EQ(m.tracciato.x(651), 0.002);
  EXPECT_DOUBLE_EQ(m.tracciato.x(652), 0.006);
  EXPECT_DOUBLE_EQ(m.tracciato.y(652), 651.999996);
  EXPECT_NEAR(m.tracciato.x(1200), 273.84, 0.005);
  EXPECT_NEAR(m.tracciato.y(1200), 1095.55, 0.005);
  EXPECT_EQ(m.tracciato.tipo(1201), tipo_elemento::vuoto);
}

TEST(PosaCurve, ACurveStartingBeforeTheCursorTurnsFromTheCursor) {
  modello m = percorso(2000);
  posa_curva(m, 100, 100, 0.001);
  posa_curva(m, 150, 100, -0.001);
  EXPECT_EQ(m.posa.cursore_geometria, 251);
  // 100 rows turning right, then only the 50 rows from the cursor turning back
  const double dx200 = m.tracciato.x(200) - m.tracciato.x(199);
  const double dx250 = m.tracciato.x(250) - m.tracciato.x(249);
  EXPECT_NEAR(dx200, 0.1, 1e-3);
  EXPECT_NEAR(dx250, 0.05, 1e-3);
}

TEST(PosaCurve, TheTrackPlanEndsAtItsLastRowsAndAtOneMillionMetres) {
  modello m = percorso(2000);  // rows 0 to 9000
  posa_curva(m, 8800, 201, 0.001);
  EXPECT_EQ(m.codice_errore, codice::curva_oltre_tracciato);
  EXPECT_EQ(m.posizione_errore, 8800);
  EXPECT_EQ(m.posa.cursore_geometria, 2);
  EXPECT_EQ(m.tracciato.tipo(2), tipo_elemento::vuoto);

  modello n = percorso(2000);
  posa_curva(n, 8800, 200, 0.001);  // reaches the very last row
  EXPECT_EQ(n.codice_errore, 0);
  EXPECT_EQ(n.tracciato.tipo(9000), tipo_elemento::doppio);

  modello lungo = percorso(1000000, 1);
  posa_curva(lungo, 999990, 100, 0.0001);
  EXPECT_EQ(lungo.codice_errore, codice::curva_non_valida);
  EXPECT_EQ(lungo.posa.cursore_geometria, 1000001);
  EXPECT_EQ(lungo.tracciato.tipo(1000000), tipo_elemento::doppio);
  EXPECT_EQ(lungo.tracciato.tipo(1000001), tipo_elemento::vuoto);

  // the limit holds on the straight run up to a curve's start as well
  modello dritto = percorso(1000000, 1);
  posa_curva(dritto, 1000500, 10, 0.0001);
  EXPECT_EQ(dritto.codice_errore, codice::curva_non_valida);
  EXPECT_EQ(dritto.posa.cursore_geometria, 1000001);
  EXPECT_EQ(dritto.tracciato.tipo(1000001), tipo_elemento::vuoto);
}

TEST(PosaCurve, CompletionRunsStraightToTwoRowsFromTheEnd) {
  modello m = percorso(2000);
  posa_curva(m, 100, 50, 0.003);
  completa_geometria(m);
  const tracciato_piano& t = m.tracciato;
  EXPECT_EQ(t.tipo(8998), tipo_elemento::doppio);
  EXPECT_EQ(t.tipo(8999), tipo_elemento::vuoto);
  EXPECT_NEAR(t.x(8998) - t.x(8997), t.x(151) - t.x(150), 1e-9);
}

TEST(PosaMontagne, StretchTypesCellsAndMarkers) {
  modello m = percorso(101000);
  int32_t inizio = 2350, fine = 2400, tipo = 2;
  memo_montagna(m, inizio, fine, tipo);
  EXPECT_EQ(tipo, 2);
  EXPECT_EQ(m.cel(47).tipo_montagna, 2);
  EXPECT_EQ(m.cel(47).tipo, tipo_cella::libera);

  inizio = 4250, fine = 4600, tipo = 12;
  memo_montagna(m, inizio, fine, tipo);
  EXPECT_EQ(tipo, 2);  // the caller sees the type without its marker flag
  for (int c = 85; c <= 91; ++c) EXPECT_EQ(m.cel(c).tipo_montagna, 2) << c;
  EXPECT_EQ(m.cel(84).tipo_montagna, 0);
  EXPECT_EQ(m.cel(92).tipo_montagna, 0);
  EXPECT_EQ(m.cel(88).tipo, tipo_cella::marcatore_montagna);
  EXPECT_EQ(m.cel(87).tipo, tipo_cella::libera);

  montagna(m, 15900, 19500, 11);
  int marcatori = 0;
  for (int c = 318; c <= 389; ++c) {
    EXPECT_EQ(m.cel(c).tipo_montagna, 1);
    if (m.cel(c).tipo == tipo_cella::marcatore_montagna) ++marcatori;
  }
  EXPECT_EQ(marcatori, 18);
  EXPECT_EQ(m.cel(321).tipo, tipo_cella::marcatore_montagna);

  montagna(m, 40950, 41300, 11);
  inizio = 41350, fine = 41400, tipo = 12;
  memo_montagna(m, inizio, fine, tipo);
  EXPECT_EQ(tipo, 3);  // 50 m after the previous stretch
  EXPECT_EQ(m.cel(827).tipo_montagna, 3);
  EXPECT_EQ(m.cel(827).tipo, tipo_cella::libera);
  EXPECT_EQ(m.n_montagne, 5);
  EXPECT_EQ(m.montagna_inizio[5], 41350);
  EXPECT_EQ(m.montagna_fine[5], 41400);
}

TEST(PosaMontagne, AGapOf150MetresStillJoinsTheStretches) {
  modello m = percorso(10000);
  montagna(m, 1000, 1500, 1);
  int32_t inizio = 1650, fine = 2000, tipo = 1;
  memo_montagna(m, inizio, fine, tipo);
  EXPECT_EQ(tipo, 3);
  inizio = 2151, fine = 2500, tipo = 1;
  memo_montagna(m, inizio, fine, tipo);
  EXPECT_EQ(tipo, 1);
}

TEST(PosaMontagne, MarkersOnlyOnEmptyCellsAndBoardsReplaceThem) {
  modello m = percorso(10000);
  posa_cartello(m, 100, "(A)");  // cell 3
  montagna(m, 0, 1000, 11);       // cells 0 to 19, markers at 3, 7, 11...
  EXPECT_EQ(m.cel(3).tipo, tipo_cella::cartello);
  EXPECT_EQ(m.cel(7).tipo, tipo_cella::marcatore_montagna);
  posa_cartello(m, 300, "(B)");  // cell 7
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cel(7).tipo, tipo_cella::cartello);
  indicatori(m, 500, 60, 60, 60, 0);  // cell 11
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cel(11).tipo, tipo_cella::indicatori_v_max);
}

TEST(PosaMontagne, StretchesThatDoNotFitAreRefusedBeforeAnythingIsWritten) {
  modello m = percorso(2000);  // cells 0 to 180
  for (int i = 0; i < 80; ++i) montagna(m, 100 * i, 100 * i + 50, 2);
  EXPECT_EQ(m.codice_errore, 0);
  montagna(m, 8000, 8050, 2);
  EXPECT_EQ(m.codice_errore, codice::troppe_montagne);
  EXPECT_EQ(m.n_montagne, 80);
  EXPECT_EQ(m.cel(160).tipo_montagna, 0);

  modello n = percorso(2000);
  int32_t inizio = 8800, fine = 9100, tipo = 12;
  memo_montagna(n, inizio, fine, tipo);
  EXPECT_EQ(n.codice_errore, codice::montagna_oltre_percorso);
  EXPECT_EQ(tipo, 12);
  EXPECT_EQ(n.n_montagne, 0);
  EXPECT_EQ(n.cel(176).tipo_montagna, 0);
  n.codice_errore = 0;
  montagna(n, 8800, 9050, 2);  // its last cell is the route's last
  EXPECT_EQ(n.codice_errore, 0);
  EXPECT_EQ(n.cel(180).tipo_montagna, 2);

  modello o = percorso(2000);
  montagna(o, -100, 100, 2);
  EXPECT_EQ(o.codice_errore, codice::posizione_negativa);
  EXPECT_EQ(o.cel(0).tipo_montagna, 0);
  o.codice_errore = 0;
  montagna(o, -500, -500, 2);  // covers no cell at all
  EXPECT_EQ(o.codice_errore, 0);
  EXPECT_EQ(o.n_montagne, 1);
}

TEST(PosaMontagne, AGapBeyond32BitsIsAnOverflow) {
  modello m = percorso(2000);
  montagna(m, 0, -2147483647 - 1, 2);
  EXPECT_THROW(montagna(m, 100, 150, 2), errore_esecuzione);
  EXPECT_EQ(m.n_montagne, 1);
}

TEST(PosaTabelloni, SpeedEncodingAndStripes) {
  modello m = percorso(101000);
  indicatori(m, 700, 65, 70, 75, 0);
  const cella& c = m.cel(15);
  EXPECT_EQ(c.tipo, tipo_cella::indicatori_v_max);
  EXPECT_EQ(c.valore, 1300);
  EXPECT_EQ(c.valore2, 1400);
  EXPECT_EQ(c.valore3, 1500);
  EXPECT_EQ(c.valore4, 0);

  indicatori(m, 26900, 90, 95, 100, 2);
  EXPECT_EQ(m.cel(539).valore, 1800);
  EXPECT_EQ(m.cel(539).valore3, 2000);
  EXPECT_EQ(m.cel(539).valore4, 20);

  indicatori(m, 1000, 60, 0, 0, 3, 4, 85);  // second set: 85 / 5 = 17
  EXPECT_EQ(m.cel(21).valore, 1217);
  EXPECT_EQ(m.cel(21).valore2, 17);
  EXPECT_EQ(m.cel(21).valore4, 34);

  indicatori(m, 1100, 0, 0, 0, 65536 + 3276, 65536 + 8);  // low 16 bits, wrapping
  EXPECT_EQ(m.cel(23).valore4, static_cast<int16_t>(32768));
  indicatori(m, 1200, 0, 0, 0, 0, 0, 13);  // 2.6 is rounded, not cut
  EXPECT_EQ(m.cel(25).valore, 3);
}

TEST(PosaTabelloni, AnEncodedSpeedBeyond16BitsLeavesTheCellAlone) {
  modello m = percorso(2000);
  EXPECT_THROW(indicatori(m, 700, 1638, 1640, 0, 0), errore_esecuzione);
  EXPECT_EQ(m.cel(15).tipo, tipo_cella::libera);
  EXPECT_EQ(m.cel(15).valore, 0);
  indicatori(m, 700, 1638, 0, 0, 0, 0, 35);  // 32760 + 7 fits
  EXPECT_EQ(m.cel(15).valore, 32767);
}

TEST(PosaTabelloni, BoardsSitOneCellOnWithTiesToEven) {
  modello m = percorso(2000);
  posa_cartello(m, 25, "(A)");
  EXPECT_EQ(m.cel(2).tipo, tipo_cella::cartello);
  posa_cartello(m, 75, "(B)");
  EXPECT_EQ(m.codice_errore, codice::cartello_occupato);
  EXPECT_EQ(m.posa.indice_cartelli, 79);
  EXPECT_EQ(m.voce(79).nome, "");
  m.codice_errore = 0;
  posa_cartello(m, 125, "(C)");
  EXPECT_EQ(m.cel(4).tipo, tipo_cella::cartello);
  EXPECT_EQ(m.cel(4).valore, 79);
  EXPECT_EQ(m.voce(79).nome, "(C)");
  indicatori(m, 75, 1, 1, 1, 0);
  EXPECT_EQ(m.codice_errore, codice::indicatori_occupato);
  EXPECT_EQ(m.cel(2).tipo, tipo_cella::cartello);
  EXPECT_EQ(m.cel(2).valore, 80);
}

TEST(PosaTabelloni, SignTextsRunDownToRecordZero) {
  modello m = percorso(10000);
  for (int i = 0; i < 81; ++i) {
    std::string testo = "(";  // appended, not prefixed: GCC 12 warns falsely (-Wrestrict) on "(" + s
    testo += std::to_string(i);
    posa_cartello(m, 100 * i, testo + ")");
  }
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.voce(80).nome, "(0)");
  EXPECT_EQ(m.voce(0).nome, "(80)");
  EXPECT_EQ(m.posa.indice_cartelli, -1);
  posa_cartello(m, 8100, "(81)");
  EXPECT_EQ(m.codice_errore, codice::troppi_cartelli);
  EXPECT_EQ(m.posizione_errore, 8100);
  EXPECT_EQ(m.cel(163).tipo, tipo_cella::libera);
  EXPECT_EQ(m.posa.indice_cartelli, -1);
}

TEST(PosaTabelloni, BoardsBeforeCellZeroAreRefused) {
  modello m = percorso(2000);
  posa_cartello(m, -75, "(A)");
  EXPECT_EQ(m.cel(0).tipo, tipo_cella::cartello);
  posa_cartello(m, -76, "(B)");
  EXPECT_EQ(m.codice_errore, codice::posizione_negativa);
  EXPECT_EQ(m.posizione_errore, -76);
  EXPECT_EQ(m.posa.indice_cartelli, 79);
  m.codice_errore = 0;
  indicatori(m, -2147483647 - 1, 1, 1, 1, 0);
  EXPECT_EQ(m.codice_errore, codice::posizione_negativa);
}

TEST(PosaTabelloni, WithoutCellsEveryOperationIsARunTimeFailure) {
  modello m;
  int32_t a = 0, b = 0, c = 0;
  EXPECT_THROW(posa_pendenza(m, -100, 500), errore_esecuzione);
  EXPECT_THROW(memo_montagna(m, a, b, c), errore_esecuzione);
  EXPECT_THROW(posa_cartello(m, -1000, "x"), errore_esecuzione);
  EXPECT_THROW(completa_pendenze(m), errore_esecuzione);
  m.scrivi_linea = 1;
  EXPECT_THROW(avvia_posa(m), errore_esecuzione);
  EXPECT_THROW(posa_curva(m, 0, 10, 0.001), errore_esecuzione);
}

}  // namespace
}  // namespace scenario
