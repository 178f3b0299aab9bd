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

// The cells a slowdown writes: warning point, start, end, and the last of the
// four before the warning point.
struct celle_rallentamento {
  bool con_avviso = false;
  bool con_prima_avviso = false;
  int64_t avviso = 0;
  int64_t inizio = 0;
  int64_t fine = 0;
  int64_t prima_avviso = 0;
};

// Every cell the entry may write must exist before anything is tested or written.
bool fuori_percorso(modello& m, const celle_rallentamento& c) {
  const auto fuori = [&](int64_t cella, const char* cosa) {
    segna_errore(m, codice::rallentamento_fuori, std::string(cosa) + " cell " + std::to_string(cella) +
                                                     " outside 0.." + std::to_string(m.ultima_cella));
    return true;
  };
  if (c.con_avviso && !dentro(m, c.avviso)) return fuori(c.avviso, "warning");
  if (!dentro(m, c.inizio)) return fuori(c.inizio, "start");
  if (!dentro(m, c.fine)) return fuori(c.fine, "end");
  const int64_t h = c.prima_avviso;
  if (c.con_prima_avviso && (!dentro(m, h) || !dentro(m, h - 3))) return fuori(h - 3, "pre-warning");
  return false;
}

bool occupate(modello& m, const celle_rallentamento& c) {
  if (c.con_avviso && !libera(m.cel(c.avviso))) {
    segna_occupata(m, codice::avviso_occupato, std::nullopt, "warning ", c.avviso);
    return true;
  }
  if (!libera(m.cel(c.inizio))) {
    segna_occupata(m, codice::inizio_occupato, std::nullopt, "start ", c.inizio);
    return true;
  }
  if (!libera(m.cel(c.fine))) {
    segna_occupata(m, codice::fine_occupato, std::nullopt, "end ", c.fine);
    return true;
  }
  return false;
}

void scrivi_rallentamento(modello& m, const celle_rallentamento& c, int32_t v, int32_t f_tt, int32_t d_v) {
  // The end goes first: a start and end in one cell leave a start.
  cella& fine = m.cel(c.fine);
  fine.tipo = tipo_cella::fine_rallentamento;
  if (d_v != 0) fine.valore2 = basso16(d_v);
  cella& inizio = m.cel(c.inizio);
  inizio.tipo = tipo_cella::inizio_rallentamento;
  if (d_v != 0) inizio.valore2 = basso16(d_v);
  if (c.con_avviso) {
    cella& a = m.cel(c.avviso);
    a.tipo = tipo_cella::avviso_rallentamento;
    if (d_v != 0) a.valore2 = basso16(d_v);
    a.valore = basso16(v);
  }
  fine.valore = basso16(v);
  inizio.valore = basso16(v);
  fine.valore3 = basso16(f_tt);
  inizio.valore3 = basso16(f_tt);
}

// The four cells before the warning point, from h back; true: refused.
bool scrivi_prima_avviso(modello& m, int64_t h, int32_t d_v) {
  for (int64_t i = 0; i < 4; ++i) {
    if (!libera(m.cel(h - i))) {
      segna_occupata(m, codice::prima_avviso_occupato, std::nullopt, "pre-warning ", h - i);
      return true;
    }
  }
  for (int64_t i = 0; i < 4; ++i) {
    cella& c = m.cel(h - i);
    c.tipo = tipo_cella::prima_avviso;
    c.valore = static_cast<int16_t>(i + 1);
    if (d_v != 0) c.valore2 = static_cast<int16_t>(i + 1);
  }
  return false;
}

}  // namespace

bool memo_rallentamento(modello& m, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                        int32_t& d_v) {
  celle_rallentamento c;
  c.con_avviso = x > 1500;
  c.con_prima_avviso = c.con_avviso && f_ta != 0;
  c.avviso = cella_punto(int64_t{x} - 1200);
  c.inizio = cella_punto(x);
  c.fine = cella_punto(int64_t{x} + l);
  c.prima_avviso = cella_di(metri(int64_t{x} - 1200)).valore();
  if (fuori_percorso(m, c) || occupate(m, c)) return true;
  scrivi_rallentamento(m, c, v, f_tt, d_v);
  return c.con_prima_avviso && scrivi_prima_avviso(m, c.prima_avviso, d_v);
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
    segna_occupata(m, codice::segnale_occupato, std::nullopt, "signal ", i);
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
