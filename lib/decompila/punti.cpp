#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <queue>
#include <set>

#include "compiler/model/numeri.hpp"
#include "decompila/decompila.hpp"
#include "decompila/parti.hpp"

namespace scenario::decompila_parti {

namespace {

// An entry that writes approach marks: where and what, and its line.
struct scrittore {
  bool stazione = false;
  int64_t chiave = 0;  // the order it takes when nothing forces another
  std::string testo;
  std::vector<std::pair<int64_t, uint8_t>> segni;
};

bool voce_vuota(const voce_tabella& v) {
  return v.tipo == 0 && v.inizio == 0 && v.fine == 0 && v.posizione == 0 && v.campo_4 == 0 && v.nome.empty() &&
         v.campo_7 == 0 && v.campo_8 == 0 && v.campo_10 == 0 && v.campo_11 == 0 && v.campo_12 == 0 &&
         v.campo_9 == 0 && v.sosta == 0 && v.campo_6 == 0 && v.campo_5 == 0 && v.orario == 0;
}

// The stretch's length and end extension as written, from the stored start and end.
std::pair<int64_t, int64_t> lunghezza_e_coda(const voce_tabella& r, int32_t k) {
  const int64_t pos = r.posizione;
  if (r.tipo >= 5 && r.tipo <= 8) return {pos - r.inizio, 0};
  const int64_t l = 2 * (pos - r.inizio);
  // the first station drops field 6 after it has added its 50 m
  const int64_t coda = k == 1 ? (int64_t{r.fine} - pos - l / 2 == 50 ? 1 : 0) : r.campo_6;
  return {l, coda};
}

std::string riga_stazione(const voce_tabella& r, int32_t k) {
  if (r.nome.find_first_of(",\r\n") != std::string::npos || (!r.nome.empty() && (r.nome[0] == ' ' || r.nome[0] == '\t'))) {
    throw errore_decompila("station " + n(k) + ": its name cannot be written");
  }
  const auto [l, coda] = lunghezza_e_coda(r, k);
  const int64_t o = r.orario;
  return voce("stazione", {r.posizione, r.tipo, l, r.campo_4, r.campo_5, coda, r.campo_7, r.campo_8, r.campo_9,
                           r.campo_10, r.campo_11, r.campo_12, r.sosta, o / 3600, o % 3600 / 60, o % 60}) +
         ", " + r.nome;
}

scrittore stazione(const voce_tabella& r, int32_t k) {
  scrittore s{true, k, riga_stazione(r, k), {}};
  if (r.tipo < 25 && r.tipo != 5 && r.tipo != 6) {
    const double fine_celle = static_cast<double>(r.fine) / 50.0;
    for (int j = 1; j <= 4; ++j) {
      const double x = fine_celle - j - 1;
      if (x > 1) s.segni.emplace_back(static_cast<int64_t>(arrotonda(x)), static_cast<uint8_t>(80 + j));
    }
  }
  return s;
}

// rapp x 10 + aspect is the stored fourth value: the aspect is the fourth
// value's last digit, give or take tens.
bool stessa_cifra(int64_t valore4, int64_t aspetto) { return (valore4 - aspetto) % 10 == 0; }

// The digit aspect of the signal in cell s, if there is one.
std::optional<int64_t> aspetto_di_cifra(const modello& m, int64_t s) {
  if (s > m.ultima_cella || m.cel(s).tipo != tipo_cella::segnale) return std::nullopt;
  return ((m.cel(s).valore4 % 10) + 10) % 10;
}

// Whether a later signal with its digit aspect would leave mark v in cell c.
bool segno_di_un_vicino(const modello& m, int64_t c, uint8_t v) {
  for (int64_t j = 1; j <= 4; ++j) {
    const std::optional<int64_t> a = aspetto_di_cifra(m, c + 2 * j);
    if (a && basso8(*a * 10 + j) == v) return true;
  }
  return false;
}

// The aspect whose approach marks most of the four cells before still show,
// of those the fourth value allows. It is the fourth value's last digit unless
// another aspect shows more marks no neighbour's digit explains: marks of a
// wrapped aspect can mimic a neighbour's.
int64_t aspetto_visibile(const modello& m, int64_t i) {
  const auto conta = [&](int64_t a, bool cifra) {
    int r = 0;
    for (int64_t h = 1; h <= 4; ++h) {
      const uint8_t v = m.cel(i - 2 * h).avvicinamento;
      r += v == basso8(a * 10 + h) && (cifra || !segno_di_un_vicino(m, i - 2 * h, v)) ? 1 : 0;
    }
    return r;
  };
  int64_t migliore = *aspetto_di_cifra(m, i);
  int trovati = conta(migliore, true);
  for (int64_t j = 1; j <= 4; ++j) {
    const int64_t segno = m.cel(i - 2 * j).avvicinamento;
    if ((segno - j) % 2 != 0) continue;
    int64_t a = ((segno - j) / 2 * 77) % 128;  // 77 is the inverse of 5 modulo 128
    if (a < 0) a += 128;
    if (a >= 64) a -= 128;
    if (const int c = conta(a, false); c > trovati && stessa_cifra(m.cel(i).valore4, a)) {
      trovati = c;
      migliore = a;
    }
  }
  return migliore;
}

// rapp x 10 + aspect, wrapped to 16 bits, is the stored fourth value.
int64_t rapporto(int64_t valore4, int64_t aspetto, int64_t i) {
  for (int64_t giri = 0; giri < 10; ++giri) {
    const int64_t d = valore4 - aspetto + giri * 65536;
    if (d % 10 == 0) return d / 10;
  }
  throw errore_decompila("signal at cell " + n(i) + ": its fourth value does not fit its approach marks");
}

scrittore segnale(const modello& m, int64_t i) {
  if (i < 8) throw errore_decompila("signal at cell " + n(i) + ": no room for its approach marks");
  const cella& c = m.cel(i);
  const int64_t a = aspetto_visibile(m, i);
  const int64_t rapp = rapporto(c.valore4, a, i);
  int64_t sx = a >= 0 ? a / 3 : 0;
  int64_t tempo = 0;
  if (c.tempo != 0) {
    sx = 2;
    // 1 to 100 would be stored as 101: the low byte is what is kept
    tempo = c.tempo <= 100 ? c.tempo + 256 : c.tempo;
  }
  const int64_t dx = a - 3 * sx;
  scrittore s{false, i, voce("segnale", {(i - 1) * 50, sx, c.valore / 10, c.valore2 / 10, c.valore3 / 10, rapp, dx,
                                         c.valore % 10, c.valore2 % 10, c.valore3 % 10, tempo}), {}};
  for (int64_t j = 1; j <= 4; ++j) s.segni.emplace_back(i - 2 * j, basso8(a * 10 + j));
  return s;
}

std::vector<scrittore> scrittori(const modello& m, int32_t in_fondo) {
  std::vector<scrittore> r;
  const int32_t ultimo_segno = ultimo_record_cartelli(m);
  for (int32_t k = 1; k < ultimo_segno && !voce_vuota(m.voce(k)); ++k) {
    if (k != in_fondo) r.push_back(stazione(m.voce(k), k));
  }
  for (int64_t i = 0; i <= m.ultima_cella; ++i) {
    if (m.cel(i).tipo == tipo_cella::segnale) r.push_back(segnale(m, i));
  }
  return r;
}

}  // namespace

namespace {

// Each approach mark belongs to the last entry that writes it: entries that
// write another value there go before one that writes the stored value.
std::vector<std::vector<std::size_t>> precedenze(const modello& m, const std::vector<scrittore>& w,
                                                 const std::set<int64_t>& coperte) {
  std::vector<std::vector<std::size_t>> dopo(w.size());
  std::map<int64_t, std::vector<std::pair<std::size_t, uint8_t>>> per_cella;
  for (std::size_t k = 0; k < w.size(); ++k) {
    for (const auto& [c, v] : w[k].segni) per_cella[c].emplace_back(k, v);
    if (k + 1 < w.size() && w[k].stazione && w[k + 1].stazione) dopo[k].push_back(k + 1);
  }
  for (const auto& [c, chi] : per_cella) {
    if (coperte.count(c) != 0) continue;  // the entry written last decides
    const uint8_t atteso = m.cel(c).avvicinamento;
    std::optional<std::size_t> padrone;
    for (const auto& [k, v] : chi) {
      if (v == atteso) padrone = k;
    }
    if (!padrone) throw errore_decompila("approach mark at cell " + n(c) + ": no entry writes " + n(atteso));
    for (const auto& [k, v] : chi) {
      if (v != atteso) dopo[k].push_back(*padrone);
    }
  }
  for (int64_t c = 0; c <= m.ultima_cella; ++c) {
    if (m.cel(c).avvicinamento != 0 && per_cella.count(c) == 0 && coperte.count(c) == 0) {
      throw errore_decompila("approach mark at cell " + n(c) + ": no station or signal writes it");
    }
  }
  return dopo;
}

// Stations first, signals by position, unless a mark says otherwise.
std::vector<std::size_t> ordina(const modello& m, const std::vector<scrittore>& w, const std::set<int64_t>& coperte) {
  const std::vector<std::vector<std::size_t>> dopo = precedenze(m, w, coperte);
  std::vector<int> entranti(w.size(), 0);
  for (const auto& d : dopo) {
    for (const std::size_t k : d) ++entranti[k];
  }
  using nodo = std::pair<std::pair<bool, int64_t>, std::size_t>;
  std::priority_queue<nodo, std::vector<nodo>, std::greater<>> pronti;
  for (std::size_t k = 0; k < w.size(); ++k) {
    if (entranti[k] == 0) pronti.push({{!w[k].stazione, w[k].chiave}, k});
  }
  std::vector<std::size_t> r;
  while (!pronti.empty()) {
    const std::size_t k = pronti.top().second;
    pronti.pop();
    r.push_back(k);
    for (const std::size_t d : dopo[k]) {
      if (--entranti[d] == 0) pronti.push({{!w[d].stazione, w[d].chiave}, d});
    }
  }
  if (r.size() != w.size()) throw errore_decompila("approach marks: no order of stations and signals leaves them all");
  return r;
}

std::string rallentamenti(const modello& m) {
  std::string t = "[rallentamenti]\r\n";
  std::set<int64_t> fini;
  for (int64_t i = 0; i <= m.ultima_cella; ++i) {
    if (m.cel(i).tipo == tipo_cella::fine_rallentamento) fini.insert(i);
  }
  for (int64_t i = 0; i <= m.ultima_cella; ++i) {
    const cella& c = m.cel(i);
    if (c.tipo != tipo_cella::inizio_rallentamento) continue;
    // an end holds its slowdown's values: the first such end after the start
    // is its own; a start and its end in one cell leave a start only
    int64_t e = i;
    for (auto f = fini.upper_bound(i); f != fini.end(); ++f) {
      const cella& x = m.cel(*f);
      if (x.valore == c.valore && x.valore2 == c.valore2 && x.valore3 == c.valore3) {
        e = *f;
        fini.erase(f);
        break;
      }
    }
    const int64_t x = (i - 1) * 50;
    const int64_t h = i - 25;
    const bool f_ta = x > 1500 && h >= 0 && m.cel(h).tipo == tipo_cella::prima_avviso && m.cel(h).valore == 1;
    riga(t, voce("rallentamento", {x, c.valore, (e - i) * 50, c.valore3, f_ta ? 1 : 0, c.valore2}));
  }
  return t;
}

// A record that holds a position and no extent: its entry was refused after
// its position (or type) was read.
bool stazione_troncata(const voce_tabella& r) {
  return r.inizio == 0 && r.fine == 0 && r.nome.empty() && r.orario == 0 && r.campo_4 == 0;
}

// The approach marks the station written last leaves, in the cells there are.
std::set<int64_t> segni_in_fondo(const modello& m, int32_t k) {
  std::set<int64_t> r;
  if (k == 0) return r;
  for (const auto& [c, v] : stazione(m.voce(k), k).segni) {
    if (c > m.ultima_cella) return {};  // refused before it marked anything
    r.insert(c);
  }
  return r;
}

}  // namespace

int32_t ultima_stazione(const modello& m) {
  const int32_t ultimo_segno = ultimo_record_cartelli(m);
  int32_t k = 1;
  while (k < ultimo_segno && !voce_vuota(m.voce(k))) ++k;
  return k - 1;
}

// Refused again where it was: a record cut short gets a length no station may have.
std::string stazione_in_fondo(const modello& m, int32_t k) {
  const voce_tabella& r = m.voce(k);
  if (stazione_troncata(r)) return voce("stazione", {r.posizione, r.tipo, 1}) + "\r\n";
  return riga_stazione(r, k) + "\r\n";
}

std::string voci_posate(const modello& m, int32_t in_fondo) {
  const std::vector<scrittore> w = scrittori(m, in_fondo);
  const std::vector<std::size_t> ordine = ordina(m, w, segni_in_fondo(m, in_fondo));
  // stations before signals as usual: the slowdowns go between them
  bool separati = true;
  for (std::size_t j = 1; j < ordine.size(); ++j) {
    separati = separati && !(w[ordine[j]].stazione && !w[ordine[j - 1]].stazione);
  }
  std::string t = "[stazioni]\r\n";
  bool segnali = false;
  for (const std::size_t k : ordine) {
    if (separati && !w[k].stazione && !segnali) t += rallentamenti(m);
    if (!w[k].stazione && !segnali) riga(t, "[segnali]");
    if (w[k].stazione && segnali) riga(t, "[stazioni]");
    segnali = !w[k].stazione;
    riga(t, w[k].testo);
  }
  if (!separati || !segnali) t += rallentamenti(m);
  return t;
}

bool punto_di_finitura(const cella& c) { return c.tipo == tipo_cella::abbattimento && c.valore == 180; }

std::string abbattimenti(const modello& m, const std::set<int64_t>& punti) {
  std::string t;
  for (int64_t i = 0; i <= m.ultima_cella; ++i) {
    const cella& c = m.cel(i);
    if (c.tipo == tipo_cella::abbattimento_nullo) riga(t, voce("abbattimento", {i * 50, 0}));
    if (c.tipo != tipo_cella::abbattimento) continue;
    if (!punto_di_finitura(c) || punti.count(i) != 0) riga(t, voce("abbattimento", {i * 50, c.valore}));
  }
  return t.empty() ? t : "[abbattimenti]\r\n" + t;
}

}  // namespace scenario::decompila_parti
