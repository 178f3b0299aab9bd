#include "compiler/model/misure.hpp"
#include "compiler/finishing/finitura.hpp"

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "compiler/model/codici.hpp"
#include "compiler/model/numeri.hpp"

namespace scenario {

namespace {

// Every point the pass adds carries this speed.
constexpr int16_t valore_punto = 180;
// Slowdowns this fast get no points inside them.
constexpr int16_t velocita_senza_punti = 110;
// Rule A looks this many cells back from a warning point.
constexpr int32_t sguardo_avviso = 20;
// Inside a slow slowdown a point every this many cells (400 m).
constexpr int32_t passo_punti = 8;
// After a slowdown's end a signal is searched this many cells ahead.
constexpr int32_t sguardo_segnale = 12;

std::string cella_n(int64_t c) { return "cell " + std::to_string(c); }

class finitura {
 public:
  explicit finitura(modello& m) : m_(m), ultimo_(converti<int32_t>(static_cast<int64_t>(m.celle.size()) - 1)) {}

  void esegui() {
    trova_fini();
    for (int32_t i = 1; i <= ultimo_ - 2; ++i) {
      if (tipo(i) == tipo_cella::avviso_rallentamento) regola_a(i);
      if (tipo(i) == tipo_cella::inizio_rallentamento) regola_b(i);
    }
  }

 private:
  uint8_t tipo(int32_t c) const { return m_.cel(c).tipo; }
  bool libera_(int32_t c) const { return libera(m_.cel(c)); }

  void poni_punto(int32_t c) {
    cella& x = m_.cel(c);
    x.tipo = tipo_cella::abbattimento;
    x.valore = valore_punto;
  }

  static int32_t metri_della(int64_t c) { return converti<int32_t>(metri_di(indice_cella(c)).valore(), "position of a cell"); }

  void oltre_percorso(std::string dettaglio) {
    segnala(codice::finitura_oltre_percorso, metri_della(ultimo_), std::move(dettaglio), inizio_corrente_);
  }

  // A problem of the pass, shown at the description entry that marked cell c
  // when there is one, else about the route.
  void segnala(int32_t codice, int32_t posizione, std::string dettaglio, int64_t c) {
    diagnostico d;
    d.codice = codice;
    d.posizione = posizione;
    d.dove.regione.file = sorgente::finitura;
    for (auto o = m_.origini_treno.rbegin(); o != m_.origini_treno.rend(); ++o) {
      if (o->cella == c) {
        d.dove = o->dove;
        break;
      }
    }
    d.testo = std::move(dettaglio);
    segna_errore(m_, std::move(d));
  }

  // Signals shortly before a warning point get a point in one of their two previous cells.
  void regola_a(int32_t i) {
    for (int32_t k = 1; k <= sguardo_avviso; ++k) {
      const int32_t s = i - k;
      // keeps both cells before the signal at index 1 or above
      if (s < 3) return;
      if (tipo(s) != tipo_cella::segnale) continue;
      const int32_t p = s - 1;
      const int32_t q = s - 2;
      if (libera_(p)) {
        poni_punto(p);
      } else if (libera_(q)) {
        poni_punto(q);
      } else if (tipo(p) == tipo_cella::abbattimento) {
        m_.cel(p).valore = minimo(valore_punto, m_.cel(p).valore);
      } else if (tipo(q) == tipo_cella::abbattimento) {
        m_.cel(q).valore = minimo(valore_punto, m_.cel(q).valore);
      } else {
        segnala(codice::finitura_segnale, metri_della(s),
                     "no free cell for a speed-reduction point before the signal at " + cella_n(s) +
                         " (warning point at " + cella_n(i) + ")", s);
      }
    }
  }

  void regola_b(int32_t i) {
    const int16_t v = m_.cel(i).valore;
    inizio_corrente_ = i;
    gruppi_prima(i);
    const bool con_punti = v < velocita_senza_punti;
    if (const std::optional<int32_t> fine = cammina(i, con_punti)) punto_dopo_fine(*fine);
  }

  void gruppi_prima(int32_t i) {
    struct gruppo {
      int32_t primo;  // nearest cell tried, counted back from the start
      const char* distanza;
    };
    static constexpr gruppo gruppi[] = {{5, "250 to 350 m"}, {11, "550 to 650 m"}, {18, "900 to 1000 m"}};
    for (const gruppo& g : gruppi) {
      // the group's farthest cell must be 1 or above
      if (i <= g.primo + 2) continue;
      bool posto = false;
      for (int32_t d = 0; d < 3 && !posto; ++d) {
        const int32_t c = i - g.primo - d;
        if (libera_(c)) {
          poni_punto(c);
          posto = true;
        }
      }
      if (!posto) {
        segnala(codice::finitura_gruppo, metri_della(i),
                     std::string("no free cell for a speed-reduction point ") + g.distanza +
                         " before the slowdown starting at " + cella_n(i), i);
      }
    }
  }

  // Walks from the start to the slowdown's end cell, with con_punti placing a
  // point every 8 cells counted from the last one placed. Nothing when the end
  // cannot be reached inside the route. Walks of overlapping slowdowns cover the
  // same cells, so the walk jumps from one point to the next: its cost is the
  // number of points it tries, not the cells it crosses.
  std::optional<int32_t> cammina(int32_t i, bool con_punti) {
    int32_t n = 0;
    int32_t j = i;
    for (;;) {
      const int32_t fine = fine_da(j + 1);
      const int64_t punto = con_punti && n < passo_punti ? int64_t{j} + (passo_punti - n) : nessun_punto;
      if (fine <= ultimo_ && fine < punto) return fine;
      if (punto > ultimo_) {
        oltre_percorso("the slowdown starting at " + cella_n(i) + " has no end cell up to the route's last " +
                       cella_n(ultimo_));
        return std::nullopt;
      }
      j = static_cast<int32_t>(punto);
      if (libera_(j)) {
        poni_punto(j);
        n = 0;
      } else if (libera_(j - 1)) {
        poni_punto(j - 1);
        n = 1;
      } else if (j + 1 > ultimo_) {
        oltre_percorso("the cell after " + cella_n(j) + ", tried for a speed-reduction point in the slowdown " +
                       "starting at " + cella_n(i) + ", lies beyond the route's last cell");
        return std::nullopt;
      } else if (libera_(j + 1)) {
        poni_punto(j + 1);
        n = -1;
      } else {
        // no further point in this slowdown
        n = passo_punti;
        segnala(codice::finitura_percorso, metri_della(j),
                     "no free cell for a speed-reduction point around " + cella_n(j) +
                         " in the slowdown starting at " + cella_n(i), i);
      }
      if (tipo(j) == tipo_cella::fine_rallentamento) return j;
    }
  }

  // The first end cell at c or after it; ultimo_ + 1 when there is none. The
  // pass only puts points on free cells, so the end cells never change.
  int32_t fine_da(int32_t c) const { return fine_dopo_.at(static_cast<std::size_t>(c)); }

  void trova_fini() {
    fine_dopo_.assign(static_cast<std::size_t>(ultimo_) + 2, ultimo_ + 1);
    for (int32_t c = ultimo_; c >= 0; --c) {
      fine_dopo_.at(static_cast<std::size_t>(c)) =
          tipo(c) == tipo_cella::fine_rallentamento ? c : fine_dopo_.at(static_cast<std::size_t>(c) + 1);
    }
  }

  // A signal within 12 cells after the end cell j gets a point just before it.
  void punto_dopo_fine(int32_t j) {
    int32_t n = 0;
    const int32_t limite = j + sguardo_segnale;
    for (int32_t r = j; r <= limite; ++r) {
      if (r > ultimo_) {
        oltre_percorso("the search for a signal after the slowdown ending at " + cella_n(j) +
                       " reached the route's last " + cella_n(ultimo_));
        return;
      }
      if (tipo(r) == tipo_cella::segnale) {
        n = r - 1;
        break;
      }
    }
    if (n <= 0) return;
    if (libera_(n)) {
      poni_punto(n);
    } else if (libera_(n - 1)) {
      poni_punto(n - 1);
    } else {
      segnala(codice::finitura_percorso, metri_della(j),
                   "no free cell for a speed-reduction point before the signal at " + cella_n(n + 1) +
                       " after the slowdown ending at " + cella_n(j), inizio_corrente_);
    }
  }

  static constexpr int64_t nessun_punto = std::numeric_limits<int64_t>::max();

  modello& m_;
  const int32_t ultimo_;
  std::vector<int32_t> fine_dopo_;
  int32_t inizio_corrente_ = -1;  // start cell of the slowdown being finished
};

}  // namespace

void passo_finitura(modello& m) {
  finitura(m).esegui();
}

}  // namespace scenario
