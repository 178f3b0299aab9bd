#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/placement/posa_treno.hpp"

namespace scenario {
namespace {

auto campi(const cella& c) {
  return std::tie(c.tipo, c.valore, c.valore2, c.valore3, c.valore4, c.tempo, c.avvicinamento, c.tipo_montagna,
                  c.vel_limite, c.pendenza, c.aderenza);
}

// Indexes of the cells that differ between two routes.
std::vector<int> diverse(const std::vector<cella>& a, const std::vector<cella>& b) {
  std::vector<int> r;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (campi(a[i]) != campi(b[i])) r.push_back(static_cast<int>(i));
  }
  return r;
}

class PosaTreno : public ::testing::Test {
 protected:
  void SetUp() override { percorso(2160); }
  void percorso(int32_t p) {
    m.crea_celle(p);
    m.ultima_cella = p;
  }
  bool segnale(int32_t pos, int32_t sx, int32_t s1, int32_t s2, int32_t s3, int32_t rapp, int32_t dx, int32_t d1,
               int32_t d2, int32_t d3, int32_t tempo) {
    valori_segnale s{sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo};
    return memo_segnale(m, pos, s);
  }
  bool rallentamento(int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta, int32_t d_v) {
    return memo_rallentamento(m, x, v, l, f_tt, f_ta, d_v);
  }
  modello m;
};

TEST_F(PosaTreno, SampleSignalsPackTheirValues) {
  EXPECT_FALSE(segnale(1250, 2, 3, 1, 0, 0, 2, 1, 0, 0, 0));
  const cella& a = m.cel(26);
  EXPECT_EQ(a.tipo, tipo_cella::segnale);
  EXPECT_EQ(std::make_tuple(a.valore, a.valore2, a.valore3, a.valore4, a.tempo),
            std::make_tuple(int16_t{31}, int16_t{10}, int16_t{0}, int16_t{8}, uint8_t{0}));
  EXPECT_EQ(m.cel(24).avvicinamento, 81);
  EXPECT_EQ(m.cel(22).avvicinamento, 82);
  EXPECT_EQ(m.cel(20).avvicinamento, 83);
  EXPECT_EQ(m.cel(18).avvicinamento, 84);
  EXPECT_EQ(m.cel(25).avvicinamento, 0);

  EXPECT_FALSE(segnale(2150, 2, 2, 4, 1, 1, 2, 1, 1, 0, 135));
  const cella& b = m.cel(44);
  EXPECT_EQ(std::make_tuple(b.valore, b.valore2, b.valore3, b.valore4, b.tempo),
            std::make_tuple(int16_t{21}, int16_t{41}, int16_t{10}, int16_t{18}, uint8_t{135}));

  EXPECT_FALSE(segnale(6900, 1, 5, 6, 0, 0, 0, 0, 0, 0, 0));
  const cella& c = m.cel(139);
  EXPECT_EQ(std::make_tuple(c.valore, c.valore2, c.valore3, c.valore4, c.tempo),
            std::make_tuple(int16_t{50}, int16_t{60}, int16_t{0}, int16_t{3}, uint8_t{0}));
  EXPECT_EQ(m.cel(137).avvicinamento, 31);
  EXPECT_EQ(m.cel(131).avvicinamento, 34);
  EXPECT_EQ(m.codice_errore, 0);
}

TEST_F(PosaTreno, TempoIsRaisedTo101AndKeptOnlyForSx2) {
  valori_segnale s;
  s.sx = 2;
  s.tempo = 50;
  EXPECT_FALSE(memo_segnale(m, 1000, s));
  EXPECT_EQ(s.tempo, 101);  // the caller sees the raised value
  EXPECT_EQ(m.cel(21).tempo, 101);

  s.sx = 1;
  s.tempo = 50;
  EXPECT_FALSE(memo_segnale(m, 2000, s));
  EXPECT_EQ(s.tempo, 101);
  EXPECT_EQ(m.cel(41).tempo, 0);

  EXPECT_FALSE(segnale(3000, 2, 0, 0, 0, 0, 0, 0, 0, 0, 100));
  EXPECT_EQ(m.cel(61).tempo, 101);
  EXPECT_FALSE(segnale(4000, 2, 0, 0, 0, 0, 0, 0, 0, 0, -5));
  EXPECT_EQ(m.cel(81).tempo, 251);  // low 8 bits of -5
  EXPECT_FALSE(segnale(5000, 2, 0, 0, 0, 0, 0, 0, 0, 0, 300));
  EXPECT_EQ(m.cel(101).tempo, 44);
}

TEST_F(PosaTreno, PackedValuesWrapIn16And8Bits) {
  EXPECT_FALSE(segnale(1000, 10, 3277, 0, 0, 3300, 0, 0, 0, 0, 0));
  const cella& c = m.cel(21);
  EXPECT_EQ(c.valore, -32766);             // 32770 wraps
  EXPECT_EQ(c.valore4, int16_t(33030 - 65536));
  EXPECT_EQ(m.cel(19).avvicinamento, 45);  // 301 wraps to 45
  EXPECT_EQ(m.cel(13).avvicinamento, 48);
}

TEST_F(PosaTreno, SignalNeedsAFreeCell) {
  m.cel(21).tipo = tipo_cella::marcatore_montagna;
  EXPECT_FALSE(segnale(1000, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(m.cel(21).tipo, tipo_cella::segnale);

  m.cel(41).tipo = tipo_cella::stazione;
  const auto prima = m.celle;
  EXPECT_TRUE(segnale(2000, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(m.codice_errore, codice::segnale_occupato);
  EXPECT_TRUE(diverse(prima, m.celle).empty());
}

TEST_F(PosaTreno, LaterSignalsOverwriteApproachMarksButNotSignals) {
  EXPECT_FALSE(segnale(1000, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0));  // cell 21, marks 19..13
  EXPECT_FALSE(segnale(1100, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0));  // cell 23, marks 21..15
  EXPECT_EQ(m.cel(21).avvicinamento, 61);
  EXPECT_EQ(m.cel(19).avvicinamento, 62);
  EXPECT_EQ(m.cel(13).avvicinamento, 34);
  EXPECT_TRUE(segnale(1000, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(m.codice_errore, codice::segnale_occupato);
}

TEST_F(PosaTreno, SignalTooNearTheStartIsRefusedUntouched) {
  const auto prima = m.celle;
  EXPECT_TRUE(segnale(300, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0));  // cell 7: last mark would be cell -1
  EXPECT_EQ(m.codice_errore, codice::avvicinamento_prima_inizio);
  EXPECT_TRUE(segnale(-5000, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_TRUE(diverse(prima, m.celle).empty());
  EXPECT_EQ(m.posizione_errore, 0);

  EXPECT_FALSE(segnale(350, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(m.cel(0).avvicinamento, 34);
}

TEST_F(PosaTreno, SignalBeyondTheLastCellIsARunTimeFailure) {
  // the reader's bound test keeps signals off this path; alone it must still not write
  percorso(200);
  const auto prima = m.celle;
  EXPECT_THROW(segnale(10000, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0), errore_esecuzione);
  EXPECT_TRUE(diverse(prima, m.celle).empty());
}

TEST_F(PosaTreno, WorkedSlowdownAt5500) {
  EXPECT_FALSE(rallentamento(5500, 50, 500, 0, 0, 0));
  EXPECT_EQ(m.cel(87).tipo, tipo_cella::avviso_rallentamento);
  EXPECT_EQ(m.cel(87).valore, 50);
  EXPECT_EQ(m.cel(111).tipo, tipo_cella::inizio_rallentamento);
  EXPECT_EQ(m.cel(111).valore, 50);
  EXPECT_EQ(m.cel(121).tipo, tipo_cella::fine_rallentamento);
  EXPECT_EQ(m.cel(121).valore, 50);
  EXPECT_EQ(diverse(std::vector<cella>(m.celle.size()), m.celle), (std::vector<int>{87, 111, 121}));
}

TEST_F(PosaTreno, WorkedSlowdownWithTheCellsBeforeTheWarning) {
  m.cel(86).valore2 = 99;
  m.cel(111).valore4 = 7;
  EXPECT_FALSE(rallentamento(5500, 50, 500, 4, 1, 0));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(m.cel(86 - i).tipo, tipo_cella::prima_avviso);
    EXPECT_EQ(m.cel(86 - i).valore, i + 1);
  }
  EXPECT_EQ(m.cel(86).valore2, 99);  // d_v 0 leaves it
  EXPECT_EQ(m.cel(111).valore3, 4);
  EXPECT_EQ(m.cel(121).valore3, 4);
  EXPECT_EQ(m.cel(87).valore3, 0);
  EXPECT_EQ(m.cel(111).valore4, 7);
  EXPECT_EQ(diverse(std::vector<cella>(m.celle.size()), m.celle),
            (std::vector<int>{83, 84, 85, 86, 87, 111, 121}));
}

TEST_F(PosaTreno, DvGoesToEveryMarkedCell) {
  EXPECT_FALSE(rallentamento(5500, 50, 500, 0, 1, 9));
  EXPECT_EQ(m.cel(87).valore2, 9);
  EXPECT_EQ(m.cel(111).valore2, 9);
  EXPECT_EQ(m.cel(121).valore2, 9);
  EXPECT_EQ(m.cel(86).valore2, 1);
  EXPECT_EQ(m.cel(83).valore2, 4);
}

TEST_F(PosaTreno, WarningPointOnlyPast1500) {
  EXPECT_FALSE(rallentamento(1500, 30, 100, 0, 1, 0));  // no warning, f_ta ignored
  EXPECT_EQ(diverse(std::vector<cella>(m.celle.size()), m.celle), (std::vector<int>{31, 33}));

  modello n;
  n.crea_celle(2160);
  n.ultima_cella = 2160;
  int32_t v = 30, l = 100, f_tt = 0, d_v = 0;
  EXPECT_FALSE(memo_rallentamento(n, 1550, v, l, f_tt, 1, d_v));
  EXPECT_EQ(n.cel(8).tipo, tipo_cella::avviso_rallentamento);
  EXPECT_EQ(diverse(std::vector<cella>(n.celle.size()), n.celle), (std::vector<int>{4, 5, 6, 7, 8, 32, 34}));
  EXPECT_EQ(n.cel(7).valore, 1);
  EXPECT_EQ(n.cel(4).valore, 4);
}

TEST_F(PosaTreno, HalfCellsRoundToEven) {
  // 5525 m: start round(111.5) = 112, warning round(87.5) = 88, pre-warning from round(86.5) = 86
  EXPECT_FALSE(rallentamento(5525, 50, 500, 0, 1, 0));
  EXPECT_EQ(m.cel(112).tipo, tipo_cella::inizio_rallentamento);
  EXPECT_EQ(m.cel(122).tipo, tipo_cella::fine_rallentamento);
  EXPECT_EQ(m.cel(88).tipo, tipo_cella::avviso_rallentamento);
  EXPECT_EQ(m.cel(87).tipo, 0);
  EXPECT_EQ(m.cel(86).tipo, tipo_cella::prima_avviso);
  EXPECT_EQ(m.cel(83).tipo, tipo_cella::prima_avviso);
}

TEST_F(PosaTreno, ShortSlowdownLeavesAStart) {
  EXPECT_FALSE(rallentamento(5500, 50, 20, 0, 0, 0));
  EXPECT_EQ(m.cel(111).tipo, tipo_cella::inizio_rallentamento);
}

TEST_F(PosaTreno, TakenWarningStartOrEndChangesNothing) {
  const struct {
    int cella;
    int32_t codice;
  } casi[] = {{87, codice::avviso_occupato}, {111, codice::inizio_occupato}, {121, codice::fine_occupato}};
  for (const auto& caso : casi) {
    modello n;
    n.crea_celle(2160);
    n.ultima_cella = 2160;
    n.cel(caso.cella).tipo = tipo_cella::segnale;
    const auto prima = n.celle;
    int32_t v = 50, l = 500, f_tt = 0, d_v = 3;
    EXPECT_TRUE(memo_rallentamento(n, 5500, v, l, f_tt, 1, d_v));
    EXPECT_EQ(n.codice_errore, caso.codice);
    EXPECT_TRUE(diverse(prima, n.celle).empty()) << caso.cella;
    EXPECT_EQ(n.posizione_errore, 0);
  }
}

TEST_F(PosaTreno, TakenPreWarningCellKeepsTheMainCells) {
  m.cel(84).tipo = tipo_cella::segnale;
  EXPECT_TRUE(rallentamento(5500, 50, 500, 0, 1, 0));
  EXPECT_EQ(m.codice_errore, codice::prima_avviso_occupato);
  EXPECT_EQ(diverse(std::vector<cella>(m.celle.size()), m.celle), (std::vector<int>{84, 87, 111, 121}));
  EXPECT_EQ(m.cel(86).tipo, 0);
  EXPECT_EQ(m.cel(83).tipo, 0);
}

TEST_F(PosaTreno, SlowdownOutsideTheRouteIsRefusedUntouched) {
  percorso(200);
  const auto prima = m.celle;
  EXPECT_TRUE(rallentamento(9800, 50, 1000, 0, 0, 0));  // end cell 217
  EXPECT_EQ(m.codice_errore, codice::rallentamento_fuori);
  m.codice_errore = 0;
  EXPECT_TRUE(rallentamento(-500, 50, 100, 0, 0, 0));
  EXPECT_EQ(m.codice_errore, codice::rallentamento_fuori);
  m.codice_errore = 0;
  EXPECT_TRUE(rallentamento(2000, 50, -3000, 0, 0, 0));
  EXPECT_EQ(m.codice_errore, codice::rallentamento_fuori);
  m.codice_errore = 0;
  EXPECT_TRUE(rallentamento(2000, 50, 2147483647, 0, 0, 0));  // no 32-bit wrap of x + l
  EXPECT_EQ(m.codice_errore, codice::rallentamento_fuori);
  EXPECT_TRUE(diverse(prima, m.celle).empty());
}

}  // namespace
}  // namespace scenario
