#include "compiler/model/misure.hpp"
#include "compiler/placement/posa_linea.hpp"

#include <algorithm>

#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/model/numeri.hpp"

namespace scenario {

namespace {

// Boards sit one cell further on than the position.
int64_t cella_tabellone(int32_t p) { return cella_di(metri(p), 1.0).valore(); }

int64_t ultima_cella_esistente(const modello& m) { return static_cast<int64_t>(m.celle.size()) - 1; }

void richiedi_celle(const modello& m) {
  if (!m.ha_celle()) throw errore_esecuzione("the route cells do not exist");
}

void richiedi_tracciato(const modello& m) {
  if (!m.tracciato.esiste()) throw errore_esecuzione("the track plan does not exist");
}

std::string n(int64_t v) { return std::to_string(v); }

// Rows r - 2 and r - 1, kept while a run of rows is computed: each row is
// then read from the track plan once, when the run starts.
struct due_righe {
  double x1, y1;  // row r - 1
  double x2, y2;  // row r - 2
};

due_righe righe_prima(const tracciato_piano& t, int32_t r) { return {t.x(r - 1), t.y(r - 1), t.x(r - 2), t.y(r - 2)}; }

void poni_riga(tracciato_piano& t, int32_t r, due_righe& d, double x, double y) {
  t.imposta_doppi(r, x, y);
  d = {x, y, d.x1, d.y1};
}

// The heading of the two rows before goes on unchanged.
void riga_dritta(tracciato_piano& t, int32_t r, due_righe& d) {
  const double dx = d.x1 - d.x2;
  const double dy = d.y1 - d.y2;
  poni_riga(t, r, d, d.x1 + dx, d.y1 + dy);
}

// First-order turn: the step is not renormalised.
void riga_in_curva(tracciato_piano& t, int32_t r, double k, due_righe& d) {
  const double dx = d.x1 - d.x2;
  const double dy = d.y1 - d.y2;
  poni_riga(t, r, d, d.x1 + dx + k * dy, d.y1 + dy - k * dx);
}

}  // namespace

void avvia_posa(modello& m) {
  m.posa = stato_posa{};
  m.n_montagne = 0;
  if (m.scrivi_linea) {
    m.tracciato.imposta_interi(0, 0, 0);
    m.tracciato.imposta_interi(1, 0, 1);
  }
}

void posa_pendenza(modello& m, int32_t a, int32_t g) {
  richiedi_celle(m);
  if (g < -100 || g > 155) {
    segna_errore(m, codice::pendenza_fuori_campo, a, "gradient " + n(g) + " does not fit -100 to 155");
    return;
  }
  stato_posa& s = m.posa;
  const int64_t fino = cella_di(metri(a)).valore();
  if (fino > 0) {
    // each line fills at least the cell at the cursor, even when out of order
    const int64_t ultima_scritta = std::max<int64_t>(s.cursore_pendenza, fino - 1);
    if (ultima_scritta > ultima_cella_esistente(m)) {
      segna_errore(m, codice::pendenze_oltre_percorso, a,
                   "gradient lines out of order: cell " + n(ultima_scritta) + " is past the last cell " +
                       n(ultima_cella_esistente(m)));
      return;
    }
    const uint8_t valore = basso8(int64_t{s.ultima_pendenza} + 100);
    do {
      m.cel(s.cursore_pendenza).pendenza = valore;
      ++s.cursore_pendenza;
    } while (s.cursore_pendenza < fino);
  }
  s.ultima_pendenza = g;
}

void completa_pendenze(modello& m) {
  richiedi_celle(m);
  stato_posa& s = m.posa;
  const uint8_t valore = basso8(int64_t{s.ultima_pendenza} + 100);
  do {
    // lines out of order may already have filled the very last cell
    if (s.cursore_pendenza > ultima_cella_esistente(m)) break;
    m.cel(s.cursore_pendenza).pendenza = valore;
    ++s.cursore_pendenza;
  } while (s.cursore_pendenza < int64_t{m.ultima_cella} - 2);
}

void posa_curva(modello& m, int32_t s, int32_t n_metri, double k) {
  richiedi_tracciato(m);
  tracciato_piano& t = m.tracciato;
  int32_t& r = m.posa.cursore_geometria;
  const int64_t fine = int64_t{s} + n_metri;
  const int64_t ultima_scritta = std::max<int64_t>(s, fine);
  if (ultima_scritta >= r && ultima_scritta > t.ultima_riga()) {
    segna_errore(m, codice::curva_oltre_tracciato, s,
                 "the curve reaches row " + n(ultima_scritta) + ", past the last row " + n(t.ultima_riga()));
    return;
  }
  const auto oltre_limite = [&] {
    if (r <= limite_tracciato) return false;
    segna_errore(m, codice::curva_non_valida, "the track plan passes " + n(limite_tracciato) + " m");
    return true;
  };
  if (r > s && r > fine) return;
  due_righe d = righe_prima(t, r);
  while (r <= s) {
    riga_dritta(t, r, d);
    ++r;
    if (oltre_limite()) return;
  }
  while (r <= fine) {
    riga_in_curva(t, r, k, d);
    ++r;
    if (oltre_limite()) return;
  }
}

void completa_geometria(modello& m) {
  richiedi_tracciato(m);
  int32_t& r = m.posa.cursore_geometria;
  if (r > int64_t{m.estensione} - 2) return;
  due_righe d = righe_prima(m.tracciato, r);
  while (r <= int64_t{m.estensione} - 2) {
    riga_dritta(m.tracciato, r, d);
    ++r;
  }
}

void memo_montagna(modello& m, int32_t& inizio, int32_t& fine, int32_t& tipo) {
  richiedi_celle(m);
  if (m.n_montagne >= numero_montagne) {
    segna_errore(m, codice::troppe_montagne, inizio,
                 "mountain stretch " + n(int64_t{m.n_montagne} + 1) + " does not fit: at most " +
                     n(numero_montagne));
    return;
  }
  const int64_t prima = cella_di(metri(inizio)).valore();
  const int64_t ultima = cella_di(metri(fine), -1.0).valore();
  if (prima <= ultima && prima < 0) {
    segna_errore(m, codice::posizione_negativa, inizio, "the stretch starts before cell 0");
    return;
  }
  if (prima <= ultima && ultima > ultima_cella_esistente(m)) {
    segna_errore(m, codice::montagna_oltre_percorso, inizio,
                 "the stretch reaches cell " + n(ultima) + ", past the last cell " + n(ultima_cella_esistente(m)));
    return;
  }
  const int32_t k = m.n_montagne + 1;
  bool ravvicinata = false;
  if (k > 1) {
    const auto distacco = converti<int32_t>(int64_t{inizio} - m.montagna_fine[static_cast<std::size_t>(k - 1)],
                                            "gap between mountain stretches");
    ravvicinata = distacco <= 150;
  }

  bool marcatori = false;
  if (tipo > 10) {
    tipo -= 10;
    marcatori = true;
  }
  m.n_montagne = k;
  m.montagna_inizio[static_cast<std::size_t>(k)] = inizio;
  m.montagna_fine[static_cast<std::size_t>(k)] = fine;
  if (ravvicinata) tipo = 3;

  int64_t j = 1;
  for (int64_t c = prima; c <= ultima; ++c, ++j) {
    cella& cel = m.cel(c);
    cel.tipo_montagna = basso8(tipo);
    // a marker every 200 m, only where the cell holds nothing
    if (marcatori && j % 4 == 0 && cel.tipo == tipo_cella::libera) cel.tipo = tipo_cella::marcatore_montagna;
  }
}

void memo_indicatori_v_max(modello& m, int32_t posizione, int32_t& vas, int32_t& vbs, int32_t& vcs,
                           int32_t& strisces, int32_t& vad, int32_t& vbd, int32_t& vcd, int32_t& strisced) {
  richiedi_celle(m);
  const int64_t i = cella_tabellone(posizione);
  if (i < 0) {
    segna_errore(m, codice::posizione_negativa, posizione, "the boards would fall in cell " + n(i));
    return;
  }
  cella& c = m.cel(i);
  if (!libera(c)) {
    segna_errore(m, codice::indicatori_occupato, "cell " + n(i) + " is already taken");
    return;
  }
  // all values first, so that a speed that does not fit leaves the cell alone
  const auto v1 = arrotonda_a<int16_t>(vad / 5.0 + vas * 20.0, "encoded speed");
  const auto v2 = arrotonda_a<int16_t>(vbd / 5.0 + vbs * 20.0, "encoded speed");
  const auto v3 = arrotonda_a<int16_t>(vcd / 5.0 + vcs * 20.0, "encoded speed");
  const int16_t strisce = basso16(int64_t{basso16(strisces)} * 10 + basso16(strisced));
  c.tipo = tipo_cella::indicatori_v_max;
  c.valore = v1;
  c.valore2 = v2;
  c.valore3 = v3;
  c.valore4 = strisce;
}

void posa_cartello(modello& m, int32_t p, const std::string& testo) {
  richiedi_celle(m);
  const int64_t i = cella_tabellone(p);
  if (i < 0) {
    segna_errore(m, codice::posizione_negativa, p, "the sign board would fall in cell " + n(i));
    return;
  }
  cella& c = m.cel(i);
  if (!libera(c)) {
    segna_errore(m, codice::cartello_occupato, "cell " + n(i) + " is already taken");
    return;
  }
  int32_t& t = m.posa.indice_cartelli;
  if (t < 0) {
    segna_errore(m, codice::troppi_cartelli, p,
                 "no record left for the text of sign board " + n(voci::primo_cartello + 1 - int64_t{t}));
    return;
  }
  assegna_nome(m.voce(t), testo);
  c.tipo = tipo_cella::cartello;
  c.valore = static_cast<int16_t>(t);
  --t;
}

}  // namespace scenario
