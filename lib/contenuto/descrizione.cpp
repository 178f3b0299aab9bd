#include "contenuto/descrizione.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <sstream>
#include <variant>

#include "formato/campi_record.hpp"
#include "contenuto/campi_contenuto.hpp"
#include "io/nomi_file.hpp"
#include "io/orario.hpp"
#include "io/sistema_file.hpp"
#include "io/testo_1252.hpp"
#include "contenuto/json.hpp"

namespace scenario {

namespace {

using campi_t = std::vector<std::pair<std::string, std::string>>;

std::string testo(std::string_view t) { return utf8_leggibile(t); }

std::string n(int64_t v) { return std::to_string(v); }
std::string metri(int64_t v) { return n(v) + " m"; }
std::string ora(int32_t secondi) { return secondi == 0 ? "none" : ora_del_giorno(secondi, forma_ore::due_cifre); }
std::string forse_metri(const std::optional<int32_t>& v) { return v ? metri(*v) : "none"; }

oggetto_mostrato oggetto(std::string id, std::string etichetta, campi_t campi) {
  return {std::move(id), std::move(etichetta), std::move(campi)};
}

struct nome_tratti {
  const char* titolo;   // section of the listing
  const char* nome;     // one run, in a difference
  const char* unita;
  const std::vector<tratto> contenuto_scenario::*tratti;
  bool salta_zeri;
  std::string_view campo_cella;  // the cell field the run is made of
};

constexpr nome_tratti elenco_tratti[] = {
    {"speed limits", "speed limit", " km/h", &contenuto_scenario::velocita_limite, false, "vel_limite"},
    {"gradients", "gradient", "", &contenuto_scenario::pendenze, false, "pendenza"},
    {"adhesion", "adhesion", "", &contenuto_scenario::aderenze, false, "aderenza"},
    {"mountain stretches", "mountain stretch", "", &contenuto_scenario::montagne, true, "tipo_montagna"},
};

// Cell by cell, for comparing runs; a cell a scenario lacks holds nothing.
std::vector<std::optional<int32_t>> per_cella(const contenuto_scenario& c, const std::vector<tratto>& t, bool zeri) {
  std::vector<std::optional<int32_t>> v(static_cast<std::size_t>(std::max(c.celle, 0)));
  if (zeri) std::fill(v.begin(), v.end(), 0);
  for (const tratto& x : t) {
    for (int32_t k = x.da / 50; k < x.a / 50 && k < c.celle; ++k) v[static_cast<std::size_t>(k)] = x.valore;
  }
  return v;
}

std::string valore_o_niente(const std::optional<int32_t>& v) { return v ? n(*v) : "none"; }

// Fields i to j (one label) of a feature as the listing shows them.
template <class C, class R, std::size_t N>
std::string valore_mostrato(const std::array<campo_contenuto<C, R>, N>& campi, std::size_t i, std::size_t j,
                            const C& x) {
  const campo_contenuto<C, R>& f = campi[i];
  if (f.unita == unita_campo::testo) return testo(x.*std::get<std::string C::*>(f.membro));
  const std::optional<int64_t> v = numero_di(f.membro, x);
  switch (f.unita) {
    case unita_campo::ora: return ora(static_cast<int32_t>(v.value_or(0)));
    case unita_campo::secondi: return n(v.value_or(0)) + " s";
    case unita_campo::cella: return v ? "cell " + n(*v) : "none";
    default: break;
  }
  // a run of metres is a stretch, from-to; of numbers, a blank-separated list
  const bool tratto = f.unita == unita_campo::metri;
  std::string t;
  for (std::size_t k = i; k < j && k < N; ++k) {
    if (k > i) t += tratto ? "-" : " ";
    t += n(numero_di(campi[k].membro, x).value_or(0));
  }
  return tratto ? t + " m" : t;
}

// A feature's fields as the listing shows them, one label each.
template <class C, class R, std::size_t N>
campi_t campi_mostrati(const std::array<campo_contenuto<C, R>, N>& campi, const C& x) {
  campi_t r;
  std::size_t i = 0;
  while (i < N) {
    std::size_t j = i + 1;
    while (j < N && campi[j].elenco == campi[i].elenco) ++j;
    if (!campi[i].elenco.empty()) r.emplace_back(std::string(campi[i].elenco), valore_mostrato(campi, i, j, x));
    i = j;
  }
  return r;
}

}  // namespace

std::vector<sezione_mostrata> sezioni(const contenuto_scenario& c) {
  std::vector<sezione_mostrata> s;
  const codici_scenario& k = c.codici;
  s.push_back({"scenario",
               {oggetto("line", "line", {{"name", testo(c.linea.nome)},
                                         {"scenery", n(c.linea.sfondi[0]) + " " + n(c.linea.sfondi[1]) + " " +
                                                         n(c.linea.sfondi[2])}}),
                oggetto("train", "train",
                        {{"number", testo(c.treno.numero)},
                         {"braked mass", n(c.treno.massa_frenata) + " %"},
                         {"cars", n(c.treno.vetture)},
                         {"sand", n(c.treno.sabbia)},
                         {"clock", n(c.treno.orologio[0]) + " " + n(c.treno.orologio[1]) + " " + n(c.treno.orologio[2])},
                         {"signal repetition", n(c.treno.ripetizione_inizio) + " " + n(c.treno.ripetizione_fine) +
                                                   " codes " + n(c.treno.ripetizione_codici)}}),
                oggetto("route", "route",
                        {{"length", metri(c.lunghezza)},
                         {"cells", n(c.celle)},
                         {"track plan", c.righe_tracciato ? n(*c.righe_tracciato) + " rows" : "none"}}),
                oggetto("codes", "codes",
                        {{"format numbers", n(k.formato_scenario) + " " + n(k.formato_percorso) +
                                                (k.formati_giusti ? " (right)" : " (WRONG: 610 5121 expected)")},
                         {"og", n(k.og) + (k.og_giusto ? " (verifies)" : " (WRONG: " + n(k.og_atteso) + " expected)")},
                         {"st", n(k.st) + (k.st_giusto ? " (verifies)" : " (WRONG: " + n(k.st_atteso) + " expected)")}})}});

  sezione_mostrata prog{"kilometric references", {}};
  for (const progressiva& p : c.progressive) {
    prog.oggetti.push_back(oggetto("record " + n(p.record), "record " + n(p.record),
                                   {{"start", metri(p.inizio)}, {"offset", n(p.scostamento)}, {"direction", n(p.verso)}}));
  }
  s.push_back(std::move(prog));

  sezione_mostrata st{"stations", {}};
  for (const stazione& x : c.stazioni) {
    st.oggetti.push_back(oggetto(
        "station " + n(x.record), "station " + n(x.record) + " " + testo(x.nome), campi_mostrati(campi_stazione, x)));
  }
  s.push_back(std::move(st));

  sezione_mostrata se{"signals", {}};
  for (const segnale& x : c.segnali) {
    se.oggetti.push_back(oggetto("signal at " + metri(x.metri), "signal at " + metri(x.metri),
                                 campi_mostrati(campi_segnale, x)));
  }
  s.push_back(std::move(se));

  sezione_mostrata ra{"slowdowns", {}};
  for (const rallentamento& x : c.rallentamenti) {
    ra.oggetti.push_back(oggetto("slowdown at " + metri(x.inizio), "slowdown at " + metri(x.inizio),
                                 {{"end", forse_metri(x.fine)},
                                  {"warning", forse_metri(x.avviso)},
                                  {"pre-warning cells", x.preavviso ? "yes" : "no"},
                                  {"speed", n(x.velocita) + " km/h"},
                                  {"valore2", n(x.valore2)},
                                  {"valore3", n(x.valore3)}}));
  }
  s.push_back(std::move(ra));

  sezione_mostrata ab{"speed-reduction points", {}};
  for (const punto_abbattimento& x : c.abbattimenti) {
    ab.oggetti.push_back(oggetto("speed-reduction point at " + metri(x.metri), "speed-reduction point at " + metri(x.metri),
                                 {{"cell", n(x.cella)}, {"speed", x.velocita > 0 ? n(x.velocita) + " km/h" : "none"}}));
  }
  s.push_back(std::move(ab));

  sezione_mostrata in{"speed boards", {}};
  for (const indicatori& x : c.indicatori_velocita) {
    in.oggetti.push_back(oggetto("speed boards at " + metri(x.metri), "speed boards at " + metri(x.metri),
                                 {{"cell", n(x.cella)},
                                  {"valore", n(x.velocita[0])},
                                  {"valore2", n(x.velocita[1])},
                                  {"valore3", n(x.velocita[2])},
                                  {"stripes", n(x.strisce)}}));
  }
  s.push_back(std::move(in));

  sezione_mostrata ca{"sign boards", {}};
  for (const cartello& x : c.cartelli) {
    ca.oggetti.push_back(oggetto("sign board at " + metri(x.metri), "sign board at " + metri(x.metri),
                                 {{"cell", n(x.cella)}, {"record", n(x.record)}, {"text", testo(x.testo)}}));
  }
  s.push_back(std::move(ca));

  sezione_mostrata mm{"mountain markers", {}};
  for (int32_t x : c.marcatori_montagna) mm.oggetti.push_back(oggetto("mountain marker at " + metri(x), "mountain marker at " + metri(x), {}));
  s.push_back(std::move(mm));

  sezione_mostrata av{"approach marks", {}};
  for (const segno_avvicinamento& x : c.avvicinamenti) {
    av.oggetti.push_back(oggetto("approach mark in cell " + n(x.cella), "approach mark in cell " + n(x.cella),
                                 {{"value", n(x.valore)}}));
  }
  s.push_back(std::move(av));

  if (!c.celle_sconosciute.empty()) {
    sezione_mostrata sc{"cells of an unknown type", {}};
    for (int32_t x : c.celle_sconosciute) sc.oggetti.push_back(oggetto("cell " + n(x), "cell " + n(x), {}));
    s.push_back(std::move(sc));
  }
  return s;
}

std::string elenco(const contenuto_scenario& c) {
  std::ostringstream o;
  for (const sezione_mostrata& s : sezioni(c)) {
    o << s.titolo;
    if (s.titolo != "scenario") o << " (" << s.oggetti.size() << ")";
    o << '\n';
    for (const oggetto_mostrato& x : s.oggetti) {
      o << "  " << x.etichetta;
      const char* separa = ": ";
      for (const auto& [nome, valore] : x.campi) {
        if (nome == "name") continue;  // already in the label; kept for the differences
        o << separa << nome << ' ' << valore;
        separa = ", ";
      }
      o << '\n';
    }
  }
  for (const nome_tratti& t : elenco_tratti) {
    const std::vector<tratto>& v = c.*(t.tratti);
    o << t.titolo << " (" << v.size() << ")\n";
    for (const tratto& x : v) o << "  " << x.da << "-" << x.a << " m: " << x.valore << t.unita << '\n';
  }
  return o.str();
}

std::string elenco_grezzo(const modello& m) {
  std::string r;
  for (int32_t i = 0; i < numero_voci; ++i) {
    r += "record " + n(i) + ": " + descrivi_record(campi_voce, m.voce(i)) + "\n";
  }
  const cella vuota{};
  for (std::size_t i = 0; i < m.celle.size(); ++i) {
    const cella& c = m.celle[i];
    if (descrivi_record(campi_cella, c) == descrivi_record(campi_cella, vuota)) continue;
    r += "cell " + n(static_cast<int64_t>(i)) + ": " + descrivi_record(campi_cella, c) + "\n";
  }
  return r;
}

namespace {

// The sentences by meaning, and what each one tells about, so that a field of
// a file whose change a sentence already tells is not told again.
struct frasi_significato {
  std::vector<std::string> testi;
  std::map<std::pair<std::string, std::string>, std::size_t> per_campo;  // (object, field); runs: (run, cell)
  std::map<std::string, std::size_t> solo_prima;                         // by object
  std::map<std::string, std::size_t> solo_seconda;
  std::size_t aggiungi(std::string t) {
    testi.push_back(std::move(t));
    return testi.size() - 1;
  }
};

// Two objects of one id, field by field.
void campi_diversi(const oggetto_mostrato& x, const oggetto_mostrato& y, frasi_significato& f) {
  for (std::size_t i = 0; i < x.campi.size() && i < y.campi.size(); ++i) {
    if (x.campi[i].second == y.campi[i].second) continue;
    f.per_campo.emplace(std::pair{x.id, x.campi[i].first},
                        f.aggiungi(x.etichetta + ": " + x.campi[i].first + " " + x.campi[i].second + " -> " +
                                   y.campi[i].second));
  }
}

// Whether both list the same objects in the same order, as they mostly do: then they pair up in turn.
bool stessi_oggetti(const std::vector<sezione_mostrata>& sa, const std::vector<sezione_mostrata>& sb) {
  return std::equal(sa.begin(), sa.end(), sb.begin(), sb.end(), [](const sezione_mostrata& x, const sezione_mostrata& y) {
    return std::equal(x.oggetti.begin(), x.oggetti.end(), y.oggetti.begin(), y.oggetti.end(),
                      [](const oggetto_mostrato& p, const oggetto_mostrato& q) { return p.id == q.id; });
  });
}

void oggetti_diversi(const contenuto_scenario& a, const contenuto_scenario& b, frasi_significato& f) {
  const std::vector<sezione_mostrata> sa = sezioni(a);
  const std::vector<sezione_mostrata> sb = sezioni(b);
  if (stessi_oggetti(sa, sb)) {
    for (std::size_t k = 0; k < sa.size(); ++k) {
      for (std::size_t i = 0; i < sa[k].oggetti.size(); ++i) campi_diversi(sa[k].oggetti[i], sb[k].oggetti[i], f);
    }
    return;
  }
  std::map<std::string, const oggetto_mostrato*> in_b;
  for (const sezione_mostrata& s : sb) {
    for (const oggetto_mostrato& x : s.oggetti) in_b[x.id] = &x;
  }
  std::set<std::string> visti;
  for (const sezione_mostrata& s : sa) {
    for (const oggetto_mostrato& x : s.oggetti) {
      visti.insert(x.id);
      const auto it = in_b.find(x.id);
      if (it == in_b.end()) {
        f.solo_prima.emplace(x.id, f.aggiungi(x.etichetta + ": only in the first"));
        continue;
      }
      campi_diversi(x, *it->second, f);
    }
  }
  for (const sezione_mostrata& s : sb) {
    for (const oggetto_mostrato& y : s.oggetti) {
      if (!visti.contains(y.id)) f.solo_seconda.emplace(y.id, f.aggiungi(y.etichetta + ": only in the second"));
    }
  }
}

bool stessi_tratti(const std::vector<tratto>& x, const std::vector<tratto>& y) {
  return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                    [](const tratto& p, const tratto& q) { return p.da == q.da && p.a == q.a && p.valore == q.valore; });
}

void tratti_diversi(const contenuto_scenario& a, const contenuto_scenario& b, frasi_significato& f) {
  for (const nome_tratti& t : elenco_tratti) {
    if (a.celle == b.celle && stessi_tratti(a.*(t.tratti), b.*(t.tratti))) continue;
    const auto va = per_cella(a, a.*(t.tratti), t.salta_zeri);
    const auto vb = per_cella(b, b.*(t.tratti), t.salta_zeri);
    const std::size_t celle = std::max(va.size(), vb.size());
    const std::size_t comuni = std::min(va.size(), vb.size());
    const auto di = [](const std::vector<std::optional<int32_t>>& v, std::size_t k) {
      return k < v.size() ? v[k] : std::nullopt;
    };
    std::size_t k = 0;
    while (k < celle) {
      const auto x = di(va, k);
      const auto y = di(vb, k);
      std::size_t j = k + 1;
      while (j < celle && di(va, j) == x && di(vb, j) == y) ++j;
      if (x != y) {
        const std::size_t frase =
            f.aggiungi(std::string(t.nome) + " " + n(static_cast<int64_t>(k) * 50) + "-" +
                       n(static_cast<int64_t>(j) * 50) + " m: " + valore_o_niente(x) + " -> " + valore_o_niente(y));
        // only cells both files hold are compared field by field
        for (std::size_t c = k; c < j && c < comuni; ++c) {
          f.per_campo.emplace(std::pair{std::string(t.nome), n(static_cast<int64_t>(c))}, frase);
        }
      }
      k = j;
    }
  }
}

std::string forma_testo(tipo_elemento t) {
  const forma_elemento* f = forma_di(static_cast<int32_t>(t));
  return f == nullptr ? n(static_cast<int64_t>(t)) : std::string(f->nome);
}

// The shortest text that reads back as the same double: a change in the last bit shows.
std::string doppio(double v) {
  char b[40];
  const auto r = std::to_chars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}

std::string valore_elemento(tipo_elemento t, double v) {
  if (t == tipo_elemento::vuoto) return "none";
  if (t == tipo_elemento::intero) return n(static_cast<int64_t>(v));
  return doppio(v);
}

uint64_t bit(double v) { return std::bit_cast<uint64_t>(v); }

// The first element of the line file that differs, numbered as in the first file.
campo_diverso primo_elemento_diverso(const tracciato_piano& ta, const tracciato_piano& tb, const std::string& file) {
  const int32_t righe = std::min(ta.ultima_riga(), tb.ultima_riga()) + 1;
  for (int32_t componente = 0; componente < 2; ++componente) {
    for (int32_t i = 0; i < righe; ++i) {
      const double va = componente == 0 ? ta.x(i) : ta.y(i);
      const double vb = componente == 0 ? tb.x(i) : tb.y(i);
      if (ta.tipo(i) == tb.tipo(i) && bit(va) == bit(vb)) continue;
      const std::string elemento = "element " + n(int64_t{componente} * (int64_t{ta.ultima_riga()} + 1) + i);
      if (ta.tipo(i) != tb.tipo(i)) return {file, elemento, "tag", forma_testo(ta.tipo(i)), forma_testo(tb.tipo(i))};
      return {file, elemento, "value", valore_elemento(ta.tipo(i), va), valore_elemento(tb.tipo(i), vb)};
    }
  }
  return {file, "elements", "", "", ""};  // not reached: some row differs
}

// The track plan row by row: how many rows differ and the first, in one
// sentence, which the first differing element carries.
std::optional<std::pair<campo_diverso, std::size_t>> tracciato_diverso(const modello& ma, const modello& mb,
                                                                        const std::string& file,
                                                                        frasi_significato& f) {
  const tracciato_piano& ta = ma.tracciato;
  const tracciato_piano& tb = mb.tracciato;
  if (!ta.esiste() || !tb.esiste()) return std::nullopt;
  const int32_t righe = std::min(ta.ultima_riga(), tb.ultima_riga()) + 1;
  int32_t prima = -1;
  int32_t diverse = 0;
  for (int32_t i = 0; i < righe; ++i) {
    const bool uguale = ta.tipo(i) == tb.tipo(i) && bit(ta.x(i)) == bit(tb.x(i)) && bit(ta.y(i)) == bit(tb.y(i));
    if (!uguale) {
      if (prima < 0) prima = i;
      ++diverse;
    }
  }
  if (diverse == 0) return std::nullopt;
  const std::size_t frase =
      f.aggiungi("track plan: " + n(diverse) + " rows differ, the first at " + metri(prima) + ": (" +
                 doppio(ta.x(prima)) + ", " + doppio(ta.y(prima)) + ") -> (" + doppio(tb.x(prima)) + ", " +
                 doppio(tb.y(prima)) + ")");
  return std::pair{primo_elemento_diverso(ta, tb, file), frase};
}

// What a field's value is in the listing.
enum class stato_posto : uint8_t {
  neutro,    // nothing: a free cell's type, no approach mark
  mostrato,  // a field of an object (or the object itself, for its type)
  nascosto,  // not shown: only the field-by-field form tells its change
};

struct posto {
  stato_posto stato = stato_posto::nascosto;
  std::string id;     // the object, as sezioni names it; a run's name
  std::string campo;  // its field; empty: the object itself; a run: the cell
  bool identita = false;  // the field says what the object is (a cell's type, a mark's station)
};

posto mostrato_in(std::string id, std::string campo, bool identita = false) {
  return {stato_posto::mostrato, std::move(id), std::move(campo), identita};
}

// A record field and where the listing shows it; an empty object: the record's own.
struct campo_mostrato {
  std::string_view grezzo;
  const char* oggetto;
  const char* campo;
};

constexpr campo_mostrato campi_linea[] = {{"nome", "line", "name"},          {"inizio", "line", "scenery"},
                                          {"posizione", "line", "scenery"},  {"fine", "line", "scenery"},
                                          {"campo_7", "codes", "format numbers"}, {"orario", "codes", "st"}};
constexpr campo_mostrato campi_treno[] = {
    {"nome", "train", "number"},   {"campo_7", "train", "sand"},  {"campo_10", "train", "clock"},
    {"campo_11", "train", "clock"}, {"campo_12", "train", "clock"}, {"inizio", "train", "signal repetition"},
    {"fine", "train", "signal repetition"}, {"posizione", "train", "signal repetition"}};
constexpr campo_mostrato campi_percorso[] = {
    {"inizio", "train", "braked mass"}, {"posizione", "train", "cars"}, {"fine", "route", "length"}};
constexpr campo_mostrato campi_progressiva[] = {{"inizio", "", "start"}, {"fine", "", "offset"}, {"posizione", "", "direction"}};
posto cerca(std::span<const campo_mostrato> t, std::string_view campo, const std::string& proprio) {
  for (const campo_mostrato& c : t) {
    if (c.grezzo == campo) return mostrato_in(*c.oggetto != '\0' ? c.oggetto : proprio, c.campo);
  }
  return {};
}

// The listing's field that shows the record field so named, in a feature's table.
template <class C, class R, std::size_t N, std::size_t M>
posto cerca_campo(const std::array<campo_contenuto<C, R>, N>& campi, const std::array<campo_record<R>, M>& record,
                  std::string_view campo, const std::string& id) {
  for (const campo_contenuto<C, R>& c : campi) {
    if (!c.elenco.empty() && nome_nel_record(c, record) == campo) return mostrato_in(id, std::string(c.elenco));
  }
  return {};
}

// One side of the comparison, with the cells and records its listing shows
// through another object.
struct lato {
  const modello& m;
  std::map<int32_t, posto> ruoli;        // cells marking a station or shaping a slowdown
  std::map<int32_t, std::string> testi;  // record: the sign board showing its text
  std::set<int32_t> stazioni;            // records listed as stations
};

lato crea_lato(const modello& m, const contenuto_scenario& c) {
  lato l{m, {}, {}, {}};
  for (const stazione& s : c.stazioni) {
    l.stazioni.insert(s.record);
    if (s.cella_segno) l.ruoli[*s.cella_segno] = mostrato_in("station " + n(s.record), "mark", true);
  }
  for (const rallentamento& r : c.rallentamenti) {
    const std::string id = "slowdown at " + metri(r.inizio);
    if (r.cella_fine) l.ruoli[*r.cella_fine] = mostrato_in(id, "end", true);
    if (r.avviso) l.ruoli[r.cella_inizio - 24] = mostrato_in(id, "warning", true);
    if (r.preavviso) {
      l.ruoli[r.cella_inizio - 25] = mostrato_in(id, "pre-warning cells", true);
      l.ruoli[r.cella_inizio - 28] = mostrato_in(id, "pre-warning cells", true);
    }
  }
  // cell 1 holds the codes, never a record number
  for (const cartello& k : c.cartelli) {
    if (k.cella != 1 && k.record >= 0 && k.record < numero_voci) l.testi.emplace(k.record, "sign board at " + metri(k.metri));
  }
  return l;
}

posto posto_voce(const lato& l, int32_t r, std::string_view campo) {
  if (r == voci::linea) return cerca(campi_linea, campo, "");
  if (r == voci::treno) return cerca(campi_treno, campo, "");
  if (r == voci::percorso) return cerca(campi_percorso, campo, "");
  if (r >= voci::progressiva_tre && r <= voci::progressiva_uno) return cerca(campi_progressiva, campo, "record " + n(r));
  if (l.stazioni.contains(r)) return cerca_campo(campi_stazione, campi_voce, campo, "station " + n(r));
  const auto t = l.testi.find(r);
  if (t != l.testi.end() && campo == "nome") return mostrato_in(t->second, "text");
  return {};
}

posto ruolo(const lato& l, int32_t i) {
  const auto it = l.ruoli.find(i);
  return it == l.ruoli.end() ? posto{} : it->second;
}

posto posto_tipo(const lato& l, int32_t i, uint8_t tipo) {
  const std::string qui = metri(metri_di(i, tipo));
  switch (tipo) {
    case tipo_cella::libera: return {stato_posto::neutro, {}, {}, false};
    case tipo_cella::segnale: return mostrato_in("signal at " + qui, "", true);
    case tipo_cella::inizio_rallentamento: return mostrato_in("slowdown at " + qui, "", true);
    case tipo_cella::indicatori_v_max: return mostrato_in("speed boards at " + qui, "", true);
    case tipo_cella::marcatore_montagna: return mostrato_in("mountain marker at " + qui, "", true);
    case tipo_cella::abbattimento:
    case tipo_cella::abbattimento_nullo: return mostrato_in("speed-reduction point at " + qui, "", true);
    case tipo_cella::cartello: return mostrato_in("sign board at " + qui, "", true);
    default: return ruolo(l, i);  // a station mark, a slowdown's end or warning cells
  }
}

// A cell field and the field of the cell's object that shows it.
struct campo_cella_mostrato {
  uint8_t tipo;
  std::string_view grezzo;
  const char* oggetto;
  const char* campo;
};

constexpr campo_cella_mostrato campi_celle[] = {
    {tipo_cella::inizio_rallentamento, "valore", "slowdown at ", "speed"},
    {tipo_cella::inizio_rallentamento, "valore2", "slowdown at ", "valore2"},
    {tipo_cella::inizio_rallentamento, "valore3", "slowdown at ", "valore3"},
    {tipo_cella::indicatori_v_max, "valore", "speed boards at ", "valore"},
    {tipo_cella::indicatori_v_max, "valore2", "speed boards at ", "valore2"},
    {tipo_cella::indicatori_v_max, "valore3", "speed boards at ", "valore3"},
    {tipo_cella::indicatori_v_max, "valore4", "speed boards at ", "stripes"},
    {tipo_cella::abbattimento, "valore", "speed-reduction point at ", "speed"},
    {tipo_cella::cartello, "valore", "sign board at ", "record"},
};

posto posto_cella(const lato& l, int32_t i, std::string_view campo) {
  const cella& x = l.m.cel(i);
  for (const nome_tratti& t : elenco_tratti) {
    if (campo == t.campo_cella) return mostrato_in(t.nome, n(i));
  }
  if (campo == "avvicinamento") {
    return x.avvicinamento == 0 ? posto{stato_posto::neutro, {}, {}, false}
                                : mostrato_in("approach mark in cell " + n(i), "value");
  }
  // cell 1 holds the format number and og code in place of any values
  if (i == 1 && campo == "valore") return mostrato_in("codes", "format numbers");
  if (i == 1 && campo == "valore2") return mostrato_in("codes", "og");
  if (campo == "tipo") return posto_tipo(l, i, x.tipo);
  if (x.tipo == tipo_cella::stazione && campo == "valore") return ruolo(l, i);
  if (x.tipo == tipo_cella::segnale) return cerca_campo(campi_segnale, campi_cella, campo, "signal at " + metri(metri_di(i, x.tipo)));
  for (const campo_cella_mostrato& c : campi_celle) {
    if (c.tipo == x.tipo && c.grezzo == campo) return mostrato_in(c.oggetto + metri(metri_di(i, x.tipo)), c.campo);
  }
  return {};
}

template <class K>
std::optional<std::size_t> trova(const std::map<K, std::size_t>& m, const K& k) {
  const auto it = m.find(k);
  return it == m.end() ? std::nullopt : std::optional<std::size_t>(it->second);
}

// What the sentences say of a field's change.
struct detto {
  std::optional<std::size_t> frase;  // the sentence about the field, if any
  bool tutto = false;                // it tells the whole change: the field needs no line of its own
};

// The sentence about one side's place: its field's, or else its object's, when only that side has it.
std::optional<std::size_t> frase_di(const frasi_significato& f, const posto& p,
                                    const std::map<std::string, std::size_t>& solo) {
  if (p.stato != stato_posto::mostrato) return std::nullopt;
  if (!p.campo.empty()) {
    if (const auto x = trova(f.per_campo, std::pair{p.id, p.campo})) return x;
  }
  return trova(solo, p.id);
}

detto frase_del_campo(const frasi_significato& f, const posto& pa, const posto& pb) {
  using enum stato_posto;
  const auto prima = frase_di(f, pa, f.solo_prima);
  const auto dopo = frase_di(f, pb, f.solo_seconda);
  detto d{prima ? prima : dopo, false};
  if (pa.stato == nascosto || pb.stato == nascosto) return d;
  if (pa.stato == mostrato && pb.stato == mostrato && pa.id == pb.id && pa.campo == pb.campo) {
    // one object either way: its field tells; a type changed within one kind: nothing does
    d.tutto = !pa.campo.empty() && prima.has_value();
    return d;
  }
  // the value moved from one object to another: each end must say what it now is
  const auto detta = [](const posto& p, const std::optional<std::size_t>& x) {
    return p.stato != mostrato || (p.identita && x.has_value());
  };
  d.tutto = d.frase.has_value() && detta(pa, prima) && detta(pb, dopo);
  return d;
}

// A field's value as text: numbers in decimal, texts quoted in their readable form.
template <class R>
std::string valore_campo(const campo_record<R>& c, const R& r) {
  switch (c.membro.index()) {
    case 0: return n(r.*std::get<0>(c.membro));
    case 1: return n(r.*std::get<1>(c.membro));
    case 2: return n(r.*std::get<2>(c.membro));
    default: return '"' + utf8_leggibile(r.*std::get<3>(c.membro)) + '"';
  }
}

// The field-by-field differences, each with the sentence that tells it.
struct raccolta {
  const frasi_significato& frasi;
  const lato& a;
  const lato& b;
  std::vector<differenza> differenze;
  std::vector<bool> portate;  // sentences some field carries

  void aggiungi(campo_diverso c, const detto& d) {
    differenza x{std::move(c), std::nullopt, d.tutto};
    if (d.frase && *d.frase < frasi.testi.size()) {
      x.significato = frasi.testi[*d.frase];
      portate[*d.frase] = true;
    } else {
      x.tutto_detto = false;
    }
    differenze.push_back(std::move(x));
  }

  // Every field of record (or cell) `indice` that differs; `posto_di` says where a side shows it.
  template <class R, std::size_t N, class P>
  void confronta_record(const std::array<campo_record<R>, N>& campi, const R& x, const R& y, const std::string& file,
                        const char* record, int32_t indice, P&& posto_di) {
    for (const auto& c : campi) {
      const bool uguale = std::visit([&](auto membro) { return x.*membro == y.*membro; }, c.membro);
      if (uguale) continue;
      aggiungi({file, record + n(indice), std::string(c.nome), valore_campo(c, x), valore_campo(c, y)},
               frase_del_campo(frasi, posto_di(a, c.nome), posto_di(b, c.nome)));
    }
  }
};

std::string elementi_di(const modello& m) {
  if (m.scrivi_linea == 0) return "none";
  return m.tracciato.esiste() ? n(2 * (int64_t{m.tracciato.ultima_riga()} + 1)) : "0";
}

void confronta_file(raccolta& r, const modello& ma, const modello& mb, const nomi_confrontati& nomi) {
  for (int32_t i = 0; i < numero_voci; ++i) {
    r.confronta_record(campi_voce, ma.voce(i), mb.voce(i), nomi.scenario, "record ", i,
                       [i](const lato& l, std::string_view c) { return posto_voce(l, i, c); });
  }
  // cells both files hold, field by field; the others only by their count
  const std::size_t comuni = std::min(ma.celle.size(), mb.celle.size());
  for (std::size_t k = 0; k < comuni; ++k) {
    const auto i = static_cast<int32_t>(k);
    r.confronta_record(campi_cella, ma.cel(i), mb.cel(i), nomi.percorso, "cell ", i,
                       [i](const lato& l, std::string_view c) { return posto_cella(l, i, c); });
  }
  const posto celle = mostrato_in("route", "cells");
  if (ma.celle.size() != mb.celle.size()) {
    r.aggiungi({nomi.percorso, "cells", "count", n(static_cast<int64_t>(ma.celle.size())),
                n(static_cast<int64_t>(mb.celle.size()))},
               frase_del_campo(r.frasi, celle, celle));
  }
  const posto tracciato = mostrato_in("route", "track plan");
  if (elementi_di(ma) != elementi_di(mb)) {
    r.aggiungi({nomi.linea, "elements", "count", elementi_di(ma), elementi_di(mb)},
               frase_del_campo(r.frasi, tracciato, tracciato));
  }
}

}  // namespace

nomi_confrontati nomi_confrontati_di(const std::string& linea, const std::string& treno) {
  const nomi_file nomi = costruisci_nomi({}, linea, treno);
  return {testo_percorso(nomi.file_linea), testo_percorso(nomi.file_scenario), testo_percorso(nomi.file_percorso)};
}

confronto confronta(const modello& ma, const contenuto_scenario& a, const modello& mb, const contenuto_scenario& b,
                    const nomi_confrontati& nomi) {
  frasi_significato f;
  oggetti_diversi(a, b, f);
  tratti_diversi(a, b, f);
  const auto elemento = tracciato_diverso(ma, mb, nomi.linea, f);
  const lato la = crea_lato(ma, a);
  const lato lb = crea_lato(mb, b);
  raccolta r{f, la, lb, {}, std::vector<bool>(f.testi.size())};
  confronta_file(r, ma, mb, nomi);
  if (elemento) r.aggiungi(elemento->first, {elemento->second, true});
  // sentences that follow from fields told elsewhere (a slowdown's end moved by a new start)
  for (std::size_t i = 0; i < f.testi.size(); ++i) {
    if (!r.portate[i]) r.differenze.push_back({std::nullopt, f.testi[i], true});
  }
  return {std::move(f.testi), std::move(r.differenze)};
}

std::string riga_grezza(const campo_diverso& c) {
  return c.file + ", " + c.record + ", " + c.campo + ", " + c.prima + " -> " + c.dopo;
}

std::vector<std::string> righe_confronto(const confronto& c) {
  std::vector<std::string> r = c.frasi;
  for (const differenza& d : c.differenze) {
    if (d.campo && !d.tutto_detto) r.push_back(riga_grezza(*d.campo));
  }
  return r;
}

bool mostra_confronto(const confronto& c, bool json, std::ostream& out) {
  if (json) {
    out << in_json(c).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  } else if (c.uguali()) {
    out << "no differences\n";
  } else {
    for (const std::string& x : righe_confronto(c)) out << x << '\n';
  }
  return c.uguali();
}

}  // namespace scenario
