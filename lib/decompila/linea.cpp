#include <algorithm>
#include <array>
#include <bit>
#include <map>

#include "decompila/decompila.hpp"
#include "decompila/parti.hpp"

namespace scenario::decompila_parti {

namespace {

bool identici(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

// The turn of each curve class, as the keyword's digit selects it.
constexpr std::array<double, 6> svolte{0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// Which of the thirteen steps made row r from the two before: 0 straight,
// else the class (1 to 6), negative for a left-hand curve; nothing when none.
std::optional<int> passo(const tracciato_piano& t, int32_t r) {
  const double x1 = t.x(r - 1), y1 = t.y(r - 1);
  const double dx = x1 - t.x(r - 2), dy = y1 - t.y(r - 2);
  const double x = t.x(r), y = t.y(r);
  if (identici(x, x1 + dx) && identici(y, y1 + dy)) return 0;
  for (std::size_t c = 0; c < svolte.size(); ++c) {
    for (const double k : {svolte[c], -svolte[c]}) {
      // as the compile computes it, term by term
      const double cx = x1 + dx + k * dy;
      const double cy = y1 + dy - k * dx;
      if (identici(x, cx) && identici(y, cy)) return k > 0 ? static_cast<int>(c) + 1 : -static_cast<int>(c) - 1;
    }
  }
  return std::nullopt;
}

std::string curva(int classe, int64_t prima, int64_t ultima) {
  const std::string parola = std::string("curva") + (classe < 0 ? "s" : "d") + n(classe < 0 ? -classe : classe);
  return voce(parola, {prima - 1, ultima - prima + 1});
}

}  // namespace

std::string curve(const modello& m, fine_compilazione f) {
  std::string t = "[curve]\r\n";
  if (!m.tracciato.esiste()) return t;
  const tracciato_piano& p = m.tracciato;
  int corrente = 0;
  int64_t inizio = 0;
  int32_t r = 2;
  for (; r <= p.ultima_riga() && p.tipo(r) == tipo_elemento::doppio; ++r) {
    const std::optional<int> c = passo(p, r);
    if (!c) throw errore_decompila("the track plan: row " + n(r) + " follows from no curve class");
    if (*c == corrente) continue;
    if (corrente != 0) riga(t, curva(corrente, inizio, r - 1));
    corrente = *c;
    inizio = r;
  }
  if (corrente != 0) riga(t, curva(corrente, inizio, r - 1));
  // a refused line leaves its plan unfinished: the straight rows after the last
  // curve come from a curve of no length
  const bool finita = f == fine_compilazione::file || f == fine_compilazione::treno_rifiutato;
  if (!finita && corrente == 0 && r - 1 >= std::max<int64_t>(inizio, 2)) riga(t, voce("curvad1", {r - 1, 0}));
  return t;
}

namespace {

struct tratto {
  int64_t prima = 0;
  int64_t ultima = 0;
  uint8_t tipo = 0;
  bool marcatori = false;
};

bool marcatore(const modello& m, int64_t c) { return m.cel(c).tipo == tipo_cella::marcatore_montagna; }

// A stretch with markers from s on: its markers fall every fourth cell from
// s + 3, as far as each of those cells holds a marker or a feature that may hide one.
int64_t fine_catena(const modello& m, int64_t s, int64_t b) {
  int64_t ultimo = s + 3;
  while (ultimo + 4 <= b && m.cel(ultimo + 4).tipo != tipo_cella::libera) ultimo += 4;
  return std::min(b, ultimo + 3);
}

// A stretch that starts before its run (a later stretch overwrote its start)
// is followed by the codes of the cells it covered there, without markers.
void ripristina(const modello& m, int64_t s, int64_t a, std::vector<tratto>& r) {
  for (int64_t c = s; c < a;) {
    int64_t b = c;
    while (b + 1 < a && m.cel(b + 1).tipo_montagna == m.cel(c).tipo_montagna) ++b;
    r.push_back({c, b, m.cel(c).tipo_montagna, false});
    c = b + 1;
  }
}

// One run of a mountain code: a stretch with markers for each chain of markers
// in step (stretches overlap where chains of another step interleave), then
// stretches without markers over the cells no chain covers.
void tratti_del_tratto(const modello& m, int64_t a, int64_t b, std::vector<tratto>& r) {
  const uint8_t t = m.cel(a).tipo_montagna;
  const auto k = [a](int64_t c) { return static_cast<std::size_t>(c - a); };
  std::vector<bool> coperta(k(b) + 1, false), in_catena(k(b) + 1, false);
  for (int64_t c = a; c <= b; ++c) {
    if (!marcatore(m, c) || in_catena[k(c)]) continue;
    const int64_t s = c - 3;
    if (s < 0) throw errore_decompila("mountain markers: cell " + n(c) + " is out of step with its stretch");
    const int64_t e = fine_catena(m, s, b);
    for (int64_t x = c; x <= e; x += 4) in_catena[k(x)] = true;
    for (int64_t x = std::max(s, a); x <= e; ++x) coperta[k(x)] = true;
    r.push_back({s, e, t, true});
    ripristina(m, s, a, r);
  }
  for (int64_t c = a; c <= b;) {
    int64_t e = c;
    while (e + 1 <= b && coperta[k(e + 1)] == coperta[k(c)]) ++e;
    if (!coperta[k(c)]) r.push_back({c, e, t, false});
    c = e + 1;
  }
}

std::vector<tratto> tratti(const modello& m) {
  std::vector<tratto> r;
  const int64_t ultima = m.ultima_cella;
  for (int64_t c = 0; c <= ultima;) {
    const uint8_t t = m.cel(c).tipo_montagna;
    int64_t b = c;
    while (b + 1 <= ultima && m.cel(b + 1).tipo_montagna == t) ++b;
    if (t != 0) tratti_del_tratto(m, c, b, r);
    c = b + 1;
  }
  return r;
}

}  // namespace

// Stretches written in order; a stretch within 150 m of the one before gets
// type 3, so an empty stretch far back goes between when the code is another.
std::string montagne(const modello& m) {
  std::string t = "[montagne]\r\n";
  int64_t fine_prima = 0;
  bool prima = true;
  for (const tratto& x : tratti(m)) {
    const int64_t inizio = x.prima * 50;
    if (!prima && inizio - fine_prima <= 150 && x.tipo != 3) {
      riga(t, voce("montagna", {-1000000, -1000000, 0}));
    }
    int64_t tipo = x.tipo;
    if (x.marcatori) tipo += 10;
    else if (tipo > 10) tipo -= 256;  // the low byte is kept, and no markers
    fine_prima = (x.ultima + 1) * 50;
    riga(t, voce("montagna", {inizio, fine_prima, tipo}));
    prima = false;
  }
  return t;
}

namespace {

std::string velocita_tabellone(int64_t v) {
  // speed x 20 + second speed / 5; the second is left empty when 0
  const int64_t secondo = (v % 20) * 5;
  return n(v / 20) + "|" + (secondo == 0 ? std::string() : n(secondo));
}

std::string tabellone(const cella& c, int64_t i) {
  std::string a[3], b[3];
  const int64_t v[3] = {c.valore, c.valore2, c.valore3};
  for (int j = 0; j < 3; ++j) {
    const std::string s = velocita_tabellone(v[j]);
    a[j] = s.substr(0, s.find('|'));
    b[j] = s.substr(s.find('|') + 1);
  }
  return "indicatori_vmax, " + n((i - 1) * 50) + ", " + a[0] + ", " + a[1] + ", " + a[2] + ", " +
         n(c.valore4 / 10) + ", " + b[0] + ", " + b[1] + ", " + b[2] + ", " + n(c.valore4 % 10);
}

bool testo_scrivibile(const std::string& s) {
  if (!s.empty() && (s.front() == ' ' || s.front() == '\t')) return false;
  return s.find_first_of(",\r\n") == std::string::npos;
}

bool solo_nome(const voce_tabella& v) {
  return !v.nome.empty() && v.tipo == 0 && v.inizio == 0 && v.fine == 0 && v.posizione == 0 && v.campo_4 == 0 &&
         v.campo_7 == 0 && v.campo_8 == 0 && v.campo_10 == 0 && v.campo_11 == 0 && v.campo_12 == 0 &&
         v.campo_9 == 0 && v.sosta == 0 && v.campo_6 == 0 && v.campo_5 == 0 && v.orario == 0;
}

}  // namespace

int32_t ultimo_record_cartelli(const modello& m) {
  int32_t r = voci::primo_cartello + 1;
  for (const cella& c : m.celle) {
    if (c.tipo == tipo_cella::cartello) r = std::min<int32_t>(r, c.valore);
  }
  for (int32_t k = 1; k <= voci::primo_cartello; ++k) {
    if (solo_nome(m.voce(k))) return std::min(r, k);
  }
  return r;
}

// Signs in the order of their records. A text whose board a station mark
// covers goes under one of the marks: the station writes over it.
std::string cartelli(const modello& m) {
  std::string t = "[cartelli]\r\n";
  std::map<int64_t, int64_t> segni;  // record -> cell
  std::vector<int64_t> segni_stazione;
  for (int64_t i = 0; i <= m.ultima_cella; ++i) {
    const cella& c = m.cel(i);
    if (c.tipo == tipo_cella::indicatori_v_max) riga(t, tabellone(c, i));
    if (c.tipo == tipo_cella::cartello) segni[c.valore] = i;
    if (c.tipo != tipo_cella::stazione) continue;
    // a station mark keeps the second to fourth values of a speed board it covered
    if (c.valore2 != 0 || c.valore3 != 0 || c.valore4 != 0) {
      cella sotto = c;
      sotto.valore = 0;
      riga(t, tabellone(sotto, i));
    } else {
      segni_stazione.push_back(i);
    }
  }
  riga(t, "[indicazioni]");
  std::size_t coperti = 0;
  for (int64_t record = voci::primo_cartello; record >= ultimo_record_cartelli(m); --record) {
    int64_t i = 0;
    if (const auto s = segni.find(record); s != segni.end()) {
      i = s->second;
    } else if (coperti < segni_stazione.size()) {
      i = segni_stazione[coperti++];
    } else {
      throw errore_decompila("sign boards: the text of record " + n(record) + " has no board");
    }
    const std::string& testo = m.voce(record).nome;
    if (!testo_scrivibile(testo)) throw errore_decompila("sign board at cell " + n(i) + ": its text cannot be written");
    riga(t, "cartello_indicatore, " + n((i - 1) * 50) + ", " + testo);
  }
  return t;
}

}  // namespace scenario::decompila_parti
