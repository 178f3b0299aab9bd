#include "compiler/model/misure.hpp"
#include "compiler/placement/posa_treno.hpp"

#include <string>

#include "compiler/model/codici.hpp"
#include "compiler/model/numeri.hpp"

namespace scenario {

namespace {

// Cell of a signal, slowdown start or end: one cell on from the position.
int64_t cella_punto(int64_t q) { return cella_di(metri(q), 1.0).valore(); }

bool dentro(const modello& m, int64_t c) { return c >= 0 && c <= m.ultima_cella; }

std::string occupata(const modello& m, int64_t c) {
  return "cell " + std::to_string(c) + " is already taken (type " + std::to_string(m.cel(c).tipo) + ")";
}

}  // namespace

bool memo_rallentamento(modello& m, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                        int32_t& d_v) {
  const bool avviso = x > 1500;
  if (!avviso) f_ta = 0;
  const int64_t w = cella_punto(int64_t{x} - 1200);
  const int64_t s = cella_punto(x);
  const int64_t e = cella_punto(int64_t{x} + l);
  const int64_t h = cella_di(metri(int64_t{x} - 1200)).valore();

  // Every cell the entry may write must exist before anything is tested or written.
  const auto fuori = [&](int64_t c, const char* cosa) {
    segna_errore(m, codice::rallentamento_fuori,
                 std::string(cosa) + " cell " + std::to_string(c) + " outside 0.." + std::to_string(m.ultima_cella));
    return true;
  };
  if (avviso && !dentro(m, w)) return fuori(w, "warning");
  if (!dentro(m, s)) return fuori(s, "start");
  if (!dentro(m, e)) return fuori(e, "end");
  if (f_ta != 0 && (!dentro(m, h) || !dentro(m, h - 3))) return fuori(h - 3, "pre-warning");

  if (avviso && !libera(m.cel(w))) {
    segna_errore(m, codice::avviso_occupato, "warning " + occupata(m, w));
    return true;
  }
  if (!libera(m.cel(s))) {
    segna_errore(m, codice::inizio_occupato, "start " + occupata(m, s));
    return true;
  }
  if (!libera(m.cel(e))) {
    segna_errore(m, codice::fine_occupato, "end " + occupata(m, e));
    return true;
  }

  // The end goes first: a start and end in one cell leave a start.
  cella& fine = m.cel(e);
  fine.tipo = tipo_cella::fine_rallentamento;
  if (d_v != 0) fine.valore2 = basso16(d_v);
  cella& inizio = m.cel(s);
  inizio.tipo = tipo_cella::inizio_rallentamento;
  if (d_v != 0) inizio.valore2 = basso16(d_v);
  if (avviso) {
    cella& c = m.cel(w);
    c.tipo = tipo_cella::avviso_rallentamento;
    if (d_v != 0) c.valore2 = basso16(d_v);
    c.valore = basso16(v);
  }
  fine.valore = basso16(v);
  inizio.valore = basso16(v);
  fine.valore3 = basso16(f_tt);
  inizio.valore3 = basso16(f_tt);

  if (f_ta != 0) {
    for (int64_t i = 0; i < 4; ++i) {
      if (!libera(m.cel(h - i))) {
        segna_errore(m, codice::prima_avviso_occupato, "pre-warning " + occupata(m, h - i));
        return true;
      }
    }
    for (int64_t i = 0; i < 4; ++i) {
      cella& c = m.cel(h - i);
      c.tipo = tipo_cella::prima_avviso;
      c.valore = static_cast<int16_t>(i + 1);
      if (d_v != 0) c.valore2 = static_cast<int16_t>(i + 1);
    }
  }
  return false;
}

bool memo_segnale(modello& m, int32_t posizione, valori_segnale& s) {
  const int64_t i = cella_punto(posizione);
  // the farthest approach mark is 8 cells back
  if (i - 8 < 0) {
    segna_errore(m, codice::avvicinamento_prima_inizio,
                 "signal cell " + std::to_string(i) + " leaves no room for its approach marks");
    return true;
  }
  if (!libera(m.cel(i))) {
    segna_errore(m, codice::segnale_occupato, "signal " + occupata(m, i));
    return true;
  }

  // Packed in 16-bit arithmetic that wraps, as the route file keeps them.
  cella& c = m.cel(i);
  c.tipo = tipo_cella::segnale;
  c.valore4 = basso16(int64_t{s.rapp} * 10 + int64_t{s.sx} * 3 + s.dx);
  c.valore = basso16(int64_t{s.s1} * 10 + s.d1);
  c.valore2 = basso16(int64_t{s.s2} * 10 + s.d2);
  c.valore3 = basso16(int64_t{s.s3} * 10 + s.d3);
  if (s.tempo >= 1 && s.tempo <= 100) s.tempo = 101;
  c.tempo = s.sx == 2 ? basso8(s.tempo) : uint8_t{0};

  const int64_t aspetto = int64_t{s.sx} * 3 + s.dx;
  for (int64_t j = 1; j <= 4; ++j) m.cel(i - 2 * j).avvicinamento = basso8(aspetto * 10 + j);
  return false;
}

}  // namespace scenario
