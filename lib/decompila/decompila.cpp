#include "decompila/decompila.hpp"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/readers/memorizza_dati.hpp"
#include "decompila/parti.hpp"
#include "formato/file_binari.hpp"

namespace scenario {

namespace {

using namespace decompila_parti;

// The two texts as the compile reads them; nothing is ever deleted.
class sorgenti_testi final : public sorgenti_descrizione {
 public:
  sorgenti_testi(const std::string& linea, const std::string& treno) : linea_(linea), treno_(treno) {}
  std::optional<std::string> leggi_linea() override { return linea_; }
  std::string leggi_treno() override { return treno_; }
  void elimina_linea() override {}
  void elimina_treno() override {}
  std::string nome_linea() const override { return "linea"; }
  std::string nome_treno() const override { return "treno"; }

 private:
  const std::string& linea_;
  const std::string& treno_;
};

modello nuovo_modello(const modello& b) {
  modello m;
  m.nome_linea = b.nome_linea;
  m.numero_treno = b.numero_treno;
  return m;
}

// The compile up to just before its finishing pass.
modello prima_della_finitura(const modello& b, const descrizioni& d) {
  modello m = nuovo_modello(b);
  m.scrivi_linea = d.con_tracciato;
  m.codice_errore = 0;
  sorgenti_testi s(d.linea, d.treno);
  memorizza_dati(m, s);
  return m;
}

bool celle_uguali(const cella& a, const cella& b) {
  return a.tipo == b.tipo && a.valore == b.valore && a.valore2 == b.valore2 && a.valore3 == b.valore3 &&
         a.valore4 == b.valore4 && a.tempo == b.tempo && a.avvicinamento == b.avvicinamento &&
         a.tipo_montagna == b.tipo_montagna && a.vel_limite == b.vel_limite && a.pendenza == b.pendenza &&
         a.aderenza == b.aderenza;
}

// The first cell where the finished cells differ from the target; -1: none.
int64_t prima_differenza(const std::vector<cella>& a, const std::vector<cella>& b) {
  if (a.size() != b.size()) return 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!celle_uguali(a[i], b[i])) return static_cast<int64_t>(i);
  }
  return -1;
}

// The finishing pass on the cells read, with entries at `punti`.
int64_t prova_punti(const modello& prima, const modello& b, const std::set<int64_t>& punti) {
  modello m;
  m.nome_linea = prima.nome_linea;
  m.numero_treno = prima.numero_treno;
  m.ultima_cella = prima.ultima_cella;
  m.celle = prima.celle;
  m.tabella = prima.tabella;
  for (const int64_t c : punti) {
    m.cel(c).tipo = tipo_cella::abbattimento;
    m.cel(c).valore = 180;
  }
  try {
    completa_percorso(m);
  } catch (const errore_fatale&) {
    return 0;
  }
  return prima_differenza(m.celle, b.celle);
}

// Speed-reduction points of 180 the pass placed look like ones an entry wrote:
// from the first cell that differs, one nearby point becomes an entry, the one
// that pushes the first difference furthest, until nothing differs.
std::set<int64_t> cerca_punti(const modello& prima, const modello& b, descrizioni& d) {
  std::set<int64_t> punti;
  const auto prova = [&](const std::set<int64_t>& p) {
    ++d.prove;
    const int64_t r = prova_punti(prima, b, p);
    return r < 0 ? INT64_MAX : r;
  };
  int64_t diff = prova(punti);
  while (diff != INT64_MAX) {
    int64_t meglio = diff;
    std::optional<int64_t> scelto;
    const int64_t ultima = static_cast<int64_t>(b.celle.size()) - 1;
    for (int64_t c = std::max<int64_t>(0, diff - 24); c <= std::min(ultima, diff + 8); ++c) {
      if (!punto_di_finitura(b.cel(c)) || punti.count(c) != 0 || !libera(prima.cel(c))) continue;
      punti.insert(c);
      const int64_t r = prova(punti);
      punti.erase(c);
      if (r > meglio) {
        meglio = r;
        scelto = c;
      }
    }
    if (!scelto) throw errore_decompila("cell " + n(diff) + " comes out different after compiling");
    punti.insert(*scelto);
    diff = meglio;
  }
  return punti;
}

std::string primo_byte_diverso(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return n(static_cast<int64_t>(i));
}

// The two line files piece by piece, never whole in memory: where they first
// differ, or nothing. Pieces end where an element ends, so the two streams are
// compared through what is left over of each.
std::optional<int64_t> primo_scarto_linea(const tracciato_piano& a, const tracciato_piano& b) {
  pezzi_linea pa(a), pb(b);
  std::vector<char> blocco(std::size_t{1} << 16);
  std::string ra, rb;
  int64_t confrontati = 0;
  bool fine_a = false, fine_b = false;
  const auto leggi = [&blocco](pezzi_linea& p, std::string& resto, bool& fine) {
    if (fine || resto.size() >= blocco.size()) return;
    const std::size_t n = p.prossimi(blocco);
    fine = n == 0;
    resto.append(blocco.data(), n);
  };
  for (;;) {
    leggi(pa, ra, fine_a);
    leggi(pb, rb, fine_b);
    const std::size_t k = std::min(ra.size(), rb.size());
    const auto scarto = std::mismatch(ra.begin(), ra.begin() + static_cast<std::ptrdiff_t>(k), rb.begin());
    if (scarto.first != ra.begin() + static_cast<std::ptrdiff_t>(k)) return confrontati + (scarto.first - ra.begin());
    ra.erase(0, k);
    rb.erase(0, k);
    confrontati += static_cast<int64_t>(k);
    if ((fine_a && ra.empty()) || (fine_b && rb.empty())) {
      if (ra.empty() && rb.empty() && fine_a && fine_b) return std::nullopt;
      if (!ra.empty() || !rb.empty()) return confrontati;
    }
  }
}

// The whole compile of the pair, every byte against the target's.
void confronta_byte(const modello& b, const descrizioni& d) {
  modello m = nuovo_modello(b);
  sorgenti_testi s(d.linea, d.treno);
  try {
    if (!memorizza_percorso(m, d.con_tracciato ? 1 : 0, s)) throw errore_decompila("the pair compiles to no route");
  } catch (const errore_fatale& e) {
    throw errore_decompila(std::string("the pair ends the compile with ") + e.what());
  }
  const std::pair<std::string, std::string> file[] = {
      {serializza_scenario(m), serializza_scenario(b)}, {serializza_percorso(m), serializza_percorso(b)}};
  const char* nomi[] = {"scenario file", "route file"};
  for (std::size_t k = 0; k < 2; ++k) {
    if (file[k].first != file[k].second) {
      throw errore_decompila(std::string("the ") + nomi[k] + " comes out different from byte " +
                             primo_byte_diverso(file[k].first, file[k].second));
    }
  }
  if (!d.con_tracciato) return;
  if (const std::optional<int64_t> scarto = primo_scarto_linea(m.tracciato, b.tracciato)) {
    throw errore_decompila("the line file comes out different from byte " + n(*scarto));
  }
}

// How the pair ends, and whether the last station record is the entry that ended it.
struct forma {
  fine_compilazione fine = fine_compilazione::file;
  bool stazione_in_fondo = false;
};

std::string testo_linea(const modello& b, fine_compilazione f) {
  if (f == fine_compilazione::generale_rifiutata) return generale_linea(b, f) + "[fine]\r\n";
  std::string t = generale_linea(b, f) + curve(b, f) + pendenze(b, f) + montagne(b) + cartelli(b);
  // a gradient no cell holds refuses the line here, leaving nothing changed
  if (f == fine_compilazione::linea_rifiutata) t += "pendenza, 0, 999\r\n";
  return t + "[fine]\r\n";
}

std::string testo_treno(const modello& b, const forma& f, const std::set<int64_t>& punti) {
  const bool riempita = f.fine != fine_compilazione::treno_rifiutato;
  const int32_t in_fondo = f.stazione_in_fondo ? ultima_stazione(b) : 0;
  std::string t = generale_treno(b) + "[aderenze]\r\n" + colonna(b, &cella::aderenza, "aderenza", 1, 0, riempita) +
                  "[vel_limite]\r\n" + colonna(b, &cella::vel_limite, "velocita", 5, 0, riempita) +
                  voci_posate(b, in_fondo) + abbattimenti(b, punti);
  if (in_fondo != 0) {
    t += "[stazioni]\r\n" + stazione_in_fondo(b, in_fondo);
  } else if (f.fine == fine_compilazione::treno_rifiutato) {
    // a point before the first cell refuses the file here, leaving nothing changed
    t += "abbattimento, -100, 0\r\n";
  }
  return t + "[fine]\r\n";
}

descrizioni prova_forma(const modello& b, const forma& f) {
  descrizioni d;
  d.con_tracciato = b.tracciato.esiste();
  d.fine = f.fine;
  d.stazione_in_fondo = f.stazione_in_fondo;
  d.linea = testo_linea(b, f.fine);
  d.treno = testo_treno(b, f, {});
  const modello prima = prima_della_finitura(b, d);
  if (prima.celle.size() < 2) throw errore_decompila("the pair written leaves no route to compile");
  const std::set<int64_t> punti = cerca_punti(prima, b, d);
  d.punti_cercati = static_cast<int32_t>(punti.size());
  d.treno = testo_treno(b, f, punti);
  confronta_byte(b, d);
  return d;
}

}  // namespace

// The usual pair first; then the ways a compile that was refused part way
// still wrote its files. The first that gives the same bytes is the one.
descrizioni decompila(const modello& b) {
  if (b.celle.size() < 2) throw errore_decompila("the route has fewer than two cells");
  using enum fine_compilazione;
  std::vector<forma> forme{{file, false}, {treno_rifiutato, false}, {linea_rifiutata, false},
                           {generale_rifiutata, false}};
  if (ultima_stazione(b) != 0) {
    forme.insert(forme.begin() + 1, {file, true});
    forme.insert(forme.begin() + 3, {treno_rifiutato, true});
  }
  std::optional<std::string> primo_motivo;
  for (const forma& f : forme) {
    try {
      return prova_forma(b, f);
    } catch (const errore_decompila& e) {
      if (!primo_motivo) primo_motivo = e.what();
    }
  }
  throw errore_decompila(*primo_motivo);
}

}  // namespace scenario
