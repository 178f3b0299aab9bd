#include <gtest/gtest.h>

#include <random>

#include "compiler/finishing/finitura.hpp"
#include "compiler/model/codici.hpp"
#include "aiuto_finitura.hpp"

namespace scenario {
namespace {

using prova::metti;
using prova::percorso_vuoto;
using prova::punti;
using prova::rallentamento;
using V = std::vector<int32_t>;
namespace t = tipo_cella;

TEST(Minimo, ReturnsTheSmallerAndXOnATie) {
  EXPECT_EQ(minimo(180, 200), 180);
  EXPECT_EQ(minimo(180, 150), 150);
  EXPECT_EQ(minimo(180, 180), 180);
  EXPECT_EQ(minimo(180, -5), -5);
}

// Signals before a warning point.
TEST(RegolaA, EverySignalWithinTwentyCellsGetsAPointJustBeforeIt) {
  modello m = percorso_vuoto(200);
  metti(m, 40, t::avviso_rallentamento, 60);
  metti(m, 35, t::segnale);
  metti(m, 28, t::segnale);
  metti(m, 20, t::segnale);  // 20 cells back: still reached
  metti(m, 19, t::marcatore_montagna);  // counts as free
  metti(m, 18, t::segnale);  // 22 cells back: out of reach
  m.cel(34).pendenza = 107;
  raccolta_diagnostici r;
  m.diagnostici = &r;
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{19, 27, 34}));
  EXPECT_EQ(m.cel(34).valore, 180);
  EXPECT_EQ(m.cel(27).valore, 180);
  EXPECT_EQ(m.cel(34).pendenza, 107);  // attribute bytes stay
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(r.tutti.empty());
}

TEST(RegolaA, SecondPointGoesTwoCellsBeforeWhenTheFirstAlreadyHoldsOne) {
  modello m = percorso_vuoto(200);
  metti(m, 40, t::avviso_rallentamento);
  metti(m, 39, t::segnale);
  metti(m, 38, t::abbattimento, 200);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{37, 38}));
  EXPECT_EQ(m.cel(38).valore, 200);
  EXPECT_EQ(m.cel(37).valore, 180);
}

TEST(RegolaA, ExistingPointIsLoweredTo180ButNeverRaised) {
  for (const int16_t prima : {int16_t{200}, int16_t{150}}) {
    modello m = percorso_vuoto(200);
    metti(m, 40, t::avviso_rallentamento);
    metti(m, 35, t::segnale);
    metti(m, 34, t::abbattimento, prima);
    metti(m, 33, t::indicatori_v_max, 7);
    passo_finitura(m);
    EXPECT_EQ(m.cel(34).valore, prima == 200 ? 180 : 150);
    EXPECT_EQ(m.cel(33).tipo, t::indicatori_v_max);
    EXPECT_EQ(m.cel(33).valore, 7);
  }
  // p occupied by something else: the point two cells back is lowered instead
  modello m = percorso_vuoto(200);
  metti(m, 40, t::avviso_rallentamento);
  metti(m, 35, t::segnale);
  metti(m, 34, t::stazione, 3);
  metti(m, 33, t::abbattimento, 250);
  passo_finitura(m);
  EXPECT_EQ(m.cel(34).valore, 3);
  EXPECT_EQ(m.cel(33).valore, 180);
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(RegolaA, NoFreeCellGivesCode11AtTheSignal) {
  modello m = percorso_vuoto(200);
  metti(m, 40, t::avviso_rallentamento);
  metti(m, 35, t::segnale);
  metti(m, 34, t::stazione);
  metti(m, 33, t::cartello);
  passo_finitura(m);
  EXPECT_TRUE(punti(m).empty());
  EXPECT_EQ(m.codice_errore, 11);
  EXPECT_EQ(m.posizione_errore, 1750);
}

TEST(RegolaA, NearTheRouteStartOnlySignalsFromCell3AreExamined) {
  modello m = percorso_vuoto(100);
  metti(m, 5, t::avviso_rallentamento);
  metti(m, 4, t::segnale);
  metti(m, 2, t::segnale);  // k = 3 gives cell 2: not examined
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{3}));

  // signal at 3 with cell 2 taken: the point lands on cell 1
  modello n = percorso_vuoto(100);
  metti(n, 5, t::avviso_rallentamento);
  metti(n, 3, t::segnale);
  metti(n, 2, t::stazione);
  passo_finitura(n);
  EXPECT_EQ(punti(n), (V{1}));
  EXPECT_EQ(n.cel(0).tipo, 0);
}

// Groups before a slowdown.
TEST(RegolaB, GroupsApplyOnlyFromTheirThresholds) {
  struct caso {
    int32_t inizio;
    V attesi;
  };
  const caso casi[] = {{7, {}}, {8, {3}}, {13, {8}}, {14, {3, 9}}, {20, {9, 15}}, {21, {3, 10, 16}}};
  for (const caso& c : casi) {
    modello m = percorso_vuoto(200);
    rallentamento(m, c.inizio, c.inizio + 2, 120);
    passo_finitura(m);
    EXPECT_EQ(punti(m), c.attesi) << "start at " << c.inizio;
    EXPECT_EQ(m.codice_errore, 0);
  }
}

TEST(RegolaB, GroupCellsAreTriedNearestFirst) {
  modello m = percorso_vuoto(200);
  rallentamento(m, 8, 10, 120);
  metti(m, 3, t::segnale);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{2}));

  modello n = percorso_vuoto(200);
  rallentamento(n, 8, 10, 120);
  metti(n, 3, t::segnale);
  metti(n, 2, t::segnale);
  passo_finitura(n);
  EXPECT_EQ(punti(n), (V{1}));
}

TEST(RegolaB, FullGroupGivesCode12AndTheNextGroupsAreStillTried) {
  modello m = percorso_vuoto(200);
  rallentamento(m, 100, 102, 120);
  for (int32_t c = 93; c <= 95; ++c) metti(m, c, t::segnale);
  metti(m, 89, t::cartello);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{82, 88}));
  EXPECT_EQ(m.codice_errore, 12);
  EXPECT_EQ(m.posizione_errore, 5000);
}

TEST(RegolaB, Speed60SlowdownGetsPointsBeforeInsideAndBeforeTheNextSignal) {
  modello m = percorso_vuoto(300);
  rallentamento(m, 100, 130, 60);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{82, 89, 95, 108, 116, 124}));

  metti(m, 137, t::segnale);
  for (int32_t c : punti(m)) metti(m, c, t::libera);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{82, 89, 95, 108, 116, 124, 136}));
  for (int32_t c : punti(m)) EXPECT_EQ(m.cel(c).valore, 180) << c;
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(RegolaB, FastSlowdownHasNoInnerPointsButStillItsSignalPoint) {
  modello m = percorso_vuoto(300);
  rallentamento(m, 100, 130, 110);
  metti(m, 140, t::segnale);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{82, 89, 95, 139}));

  modello lento = percorso_vuoto(300);
  rallentamento(lento, 100, 130, 109);
  passo_finitura(lento);
  EXPECT_EQ(punti(lento), (V{82, 89, 95, 108, 116, 124}));
}

TEST(RegolaB, WalkFallsBackToThe7thThenThe9thCellAndCountsFromThePoint) {
  modello m = percorso_vuoto(300);
  rallentamento(m, 100, 130, 60);
  metti(m, 108, t::segnale);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{82, 89, 95, 107, 115, 123}));

  modello n = percorso_vuoto(300);
  rallentamento(n, 100, 130, 60);
  metti(n, 108, t::segnale);
  metti(n, 107, t::segnale);
  passo_finitura(n);
  EXPECT_EQ(punti(n), (V{82, 89, 95, 109, 117, 125}));
}

TEST(RegolaB, WalkWithNoFreeCellGives13AndPlacesNoMorePointsInside) {
  modello m = percorso_vuoto(300);
  rallentamento(m, 100, 140, 60);
  for (int32_t c = 107; c <= 109; ++c) metti(m, c, t::segnale);
  metti(m, 145, t::segnale);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{82, 89, 95, 144}));
  EXPECT_EQ(m.codice_errore, 13);
  EXPECT_EQ(m.posizione_errore, 5400);
}

TEST(RegolaB, WalkMayPutAPointJustAfterTheEndCell) {
  modello m = percorso_vuoto(300);
  rallentamento(m, 100, 108, 60);
  metti(m, 107, t::segnale);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{82, 89, 95, 109}));
}

TEST(RegolaB, SignalSearchCoversTwelveCellsAfterTheEnd) {
  for (const int32_t segnale : {132, 142, 143}) {
    modello m = percorso_vuoto(300);
    rallentamento(m, 100, 130, 60);
    metti(m, segnale, t::segnale);
    passo_finitura(m);
    const auto p = punti(m);
    EXPECT_EQ(p.back(), segnale == 143 ? 124 : segnale - 1) << segnale;
  }
}

TEST(RegolaB, SignalPointFallsBackOneCellThenGives13AtTheEndCell) {
  modello m = percorso_vuoto(300);
  rallentamento(m, 100, 130, 60);
  metti(m, 137, t::segnale);
  metti(m, 136, t::cartello);
  passo_finitura(m);
  EXPECT_EQ(punti(m).back(), 135);

  modello n = percorso_vuoto(300);
  rallentamento(n, 100, 130, 60);
  metti(n, 137, t::segnale);
  metti(n, 136, t::cartello);
  metti(n, 135, t::cartello);
  passo_finitura(n);
  EXPECT_EQ(punti(n).back(), 124);
  EXPECT_EQ(n.codice_errore, 13);
  EXPECT_EQ(n.posizione_errore, 6500);
}

TEST(Finitura, CodesOverwriteEachOtherButEveryOneIsRecorded) {
  modello m = percorso_vuoto(400);
  m.codice_errore = 2;  // a reader's code is overwritten as well
  // 11 at cell 35 (warning at 40)
  metti(m, 40, t::avviso_rallentamento);
  metti(m, 35, t::segnale);
  metti(m, 34, t::stazione);
  metti(m, 33, t::stazione);
  // 12 before the slowdown starting at 100
  rallentamento(m, 100, 104, 60);
  for (int32_t c = 93; c <= 95; ++c) metti(m, c, t::stazione);
  // 13 before the signal after the slowdown ending at 104
  metti(m, 110, t::segnale);
  metti(m, 109, t::stazione);
  metti(m, 108, t::stazione);
  raccolta_diagnostici r;
  m.diagnostici = &r;
  passo_finitura(m);

  EXPECT_EQ(m.codice_errore, 13);
  EXPECT_EQ(m.posizione_errore, 5200);
  ASSERT_EQ(r.tutti.size(), 3u);
  const int32_t codici[] = {11, 12, 13};
  const int32_t posizioni[] = {1750, 5000, 5200};
  const char* testi[] = {"before the signal at cell 35", "before the slowdown starting at cell 100",
                         "slowdown ending at cell 104"};
  for (std::size_t k = 0; k < 3; ++k) {
    const diagnostico& s = r.tutti[k];
    EXPECT_EQ(s.codice, codici[k]);
    EXPECT_EQ(s.posizione, posizioni[k]);
    EXPECT_EQ(s.dove.regione.file, sorgente::finitura);
    EXPECT_EQ(s.dove.regione.inizio.riga, 0);
    EXPECT_NE(s.testo.find(testi[k]), std::string::npos) << s.testo;
  }
}

// Models that break the limits: the pass stops at the last cell.
TEST(OltrePercorso, SlowdownWithoutEndStopsAtTheLastCell) {
  for (const int16_t velocita : {int16_t{60}, int16_t{120}}) {
    modello m = percorso_vuoto(50);
    metti(m, 40, t::inizio_rallentamento, velocita);
    metti(m, 50, t::segnale);
    raccolta_diagnostici r;
    m.diagnostici = &r;
    EXPECT_NO_THROW(passo_finitura(m));
    EXPECT_EQ(punti(m), velocita < 110 ? (V{22, 29, 35, 48}) : (V{22, 29, 35}));
    EXPECT_EQ(m.codice_errore, codice::finitura_oltre_percorso);
    EXPECT_EQ(m.posizione_errore, 2500);
    ASSERT_EQ(r.tutti.size(), 1u);
    EXPECT_EQ(m.celle.size(), 51u);
  }
}

TEST(OltrePercorso, SignalSearchStopsAtTheLastCell) {
  modello m = percorso_vuoto(50);
  rallentamento(m, 30, 45, 120);
  passo_finitura(m);
  EXPECT_EQ(m.codice_errore, codice::finitura_oltre_percorso);
  EXPECT_EQ(m.posizione_errore, 2500);

  // a signal found before the last cell: nothing to report
  modello n = percorso_vuoto(50);
  rallentamento(n, 30, 45, 120);
  metti(n, 50, t::segnale);
  passo_finitura(n);
  EXPECT_EQ(punti(n).back(), 49);
  EXPECT_EQ(n.codice_errore, 0);
}

TEST(OltrePercorso, WalkNeverTriesTheCellAfterTheLast) {
  modello m = percorso_vuoto(48);
  rallentamento(m, 40, 48, 60);
  metti(m, 47, t::segnale);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{22, 29, 35}));
  EXPECT_EQ(m.codice_errore, codice::finitura_oltre_percorso);
  EXPECT_EQ(m.posizione_errore, 2400);
}

TEST(OltrePercorso, LoopStopsTwoCellsBeforeTheLast) {
  modello m = percorso_vuoto(50);
  rallentamento(m, 49, 50, 60);
  metti(m, 48, t::avviso_rallentamento);
  metti(m, 46, t::segnale);
  passo_finitura(m);
  EXPECT_EQ(punti(m), (V{45}));
  EXPECT_EQ(m.codice_errore, 0);
}

// Whatever the cells hold, the pass stays inside the route and only adds
// points or lowers existing ones.
TEST(RegolaB, NestedSlowdownsEachWalkToTheFirstEndCell) {
  modello m = percorso_vuoto(100);
  metti(m, 10, t::inizio_rallentamento, 60);
  metti(m, 13, t::inizio_rallentamento, 60);
  metti(m, 26, t::segnale);
  metti(m, 40, t::fine_rallentamento, 60);
  passo_finitura(m);
  // 5 and 8: the groups before each start; 18, 25, 33 and 21, 29, 37: the two walks
  EXPECT_EQ(punti(m), (V{5, 8, 18, 21, 25, 29, 33, 37}));
  EXPECT_EQ(m.codice_errore, 0);
}

TEST(RegolaB, WalksThatShareTheirCellsCostTheirPointsNotTheirLength) {
  // 50000 slowdowns whose walks all run to one far end cell: cell by cell
  // that would be 10^10 steps
  constexpr int32_t ultima = 400000;
  modello m = percorso_vuoto(ultima);
  for (int32_t c = 24; c < ultima - 20; c += 8) metti(m, c, t::inizio_rallentamento, 150);
  metti(m, ultima - 20, t::fine_rallentamento, 150);
  raccolta_diagnostici r;
  m.diagnostici = &r;
  passo_finitura(m);
  // every walk found the end cell: none stopped at the route's last cell
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(r.tutti.empty());
}

TEST(OltrePercorso, RandomRoutesStayInsideAndOnlyAddOrLowerPoints) {
  modello vuoto;
  EXPECT_NO_THROW(passo_finitura(vuoto));
  std::mt19937 caso(5293);
  const uint8_t tipi[] = {0, 0, 0, 0, 1, 2, 3, 4, 6, 10, 11, 12};
  for (int prova = 0; prova < 3000; ++prova) {
    const auto ultima = static_cast<int32_t>(caso() % 60);
    modello m = percorso_vuoto(ultima);
    for (int32_t c = 0; c <= ultima; ++c) {
      metti(m, c, tipi[caso() % std::size(tipi)], static_cast<int16_t>(static_cast<int32_t>(caso() % 300) - 20));
      m.cel(c).aderenza = static_cast<uint8_t>(c);
    }
    const std::vector<cella> prima = m.celle;
    ASSERT_NO_THROW(passo_finitura(m)) << "trial " << prova;
    ASSERT_EQ(m.celle.size(), prima.size());
    for (std::size_t c = 0; c < prima.size(); ++c) {
      const cella& a = prima[c];
      const cella& b = m.celle[c];
      ASSERT_EQ(b.aderenza, a.aderenza);
      ASSERT_EQ(b.valore2, a.valore2);
      if (b.tipo == a.tipo && b.valore == a.valore) continue;
      ASSERT_EQ(b.tipo, t::abbattimento) << "trial " << prova << " cell " << c;
      if (a.tipo == t::abbattimento) {
        ASSERT_EQ(b.valore, 180);
        ASSERT_GT(a.valore, 180);
      } else {
        ASSERT_TRUE(libera(a));
        ASSERT_EQ(b.valore, 180);
      }
    }
  }
}

}  // namespace
}  // namespace scenario
