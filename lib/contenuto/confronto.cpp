// The comparison of two compiled scenarios, by meaning and field by field.
#include "contenuto/descrizione.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <variant>

#include "compiler/model/misure.hpp"
#include "contenuto/campi_mostrati.hpp"
#include "contenuto/json.hpp"
#include "formato/campi_record.hpp"
#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"
#include "io/testo_1252.hpp"

namespace scenario {

namespace {

std::string n(int64_t v) { return std::to_string(v); }
std::string in_metri(int64_t v) { return n(v) + " m"; }
int64_t inizio_cella(int64_t k) { return metri_di(indice_cella(k)).valore(); }

// Cell by cell, for comparing runs; a cell a scenario lacks holds nothing.
std::vector<std::optional<int32_t>> per_cella(const contenuto_scenario& c, const std::vector<tratto>& t, bool zeri) {
  std::vector<std::optional<int32_t>> v(static_cast<std::size_t>(std::max(c.celle, 0)));
  if (zeri) std::fill(v.begin(), v.end(), 0);
  for (const tratto& x : t) {
    const int64_t fine = std::min<int64_t>(cella_di(metri(x.a)).valore(), c.celle);
    for (int64_t k = cella_di(metri(x.da)).valore(); k < fine; ++k) {
      if (k >= 0) v[static_cast<std::size_t>(k)] = x.valore;
    }
  }
  return v;
}

std::string valore_o_niente(const std::optional<int32_t>& v) { return v ? n(*v) : "none"; }


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
            f.aggiungi(std::string(t.nome) + " " + n(inizio_cella(static_cast<int64_t>(k))) + "-" +
                       n(inizio_cella(static_cast<int64_t>(j))) + " m: " + valore_o_niente(x) + " -> " + valore_o_niente(y));
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
      f.aggiungi("track plan: " + n(diverse) + " rows differ, the first at " + in_metri(prima) + ": (" +
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
posto cerca(std::span<const campo_mostrato> t, std::string_view campo, const std::string& proprio) {
  for (const campo_mostrato& c : t) {
    if (c.grezzo == campo) return mostrato_in(*c.oggetto != '\0' ? c.oggetto : proprio, c.campo);
  }
  return {};
}

// The listing's field that shows the record field so named, in a feature's
// table; `dove` names the item after the feature's name.
template <class C, class R, std::size_t N>
posto cerca_campo(const caratteristica<C, R, N>& k, std::string_view campo, const std::string& dove) {
  for (const campo_contenuto<C, R>& c : k.campi) {
    if (c.elenco.empty()) continue;
    const bool uguale = [&] {
      if constexpr (std::is_same_v<R, cella>) return nome_nel_record(c, campi_cella) == campo;
      else return nome_nel_record(c, campi_voce) == campo;
    }();
    if (uguale) return mostrato_in(std::string(k.nome) + dove, std::string(c.elenco));
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
    if (s.cella_segno) l.ruoli[*s.cella_segno] = mostrato_in(id_di(le_stazioni, s), "mark", true);
  }
  for (const rallentamento& r : c.rallentamenti) {
    const std::string id = id_di(i_rallentamenti, r);
    if (r.cella_fine) l.ruoli[*r.cella_fine] = mostrato_in(id, "end", true);
    if (r.avviso) l.ruoli[r.cella_inizio - celle_avviso] = mostrato_in(id, "warning", true);
    if (r.preavviso) {
      l.ruoli[r.cella_inizio - celle_preavviso_vicina] = mostrato_in(id, "pre-warning cells", true);
      l.ruoli[r.cella_inizio - celle_preavviso_lontana] = mostrato_in(id, "pre-warning cells", true);
    }
  }
  // cell 1 holds the codes, never a record number
  for (const cartello& k : c.cartelli) {
    if (k.cella != 1 && k.record >= 0 && k.record < numero_voci) l.testi.emplace(k.record, id_di(i_cartelli, k));
  }
  return l;
}

posto posto_voce(const lato& l, int32_t r, std::string_view campo) {
  if (r == voci::linea) return cerca(campi_linea, campo, "");
  if (r == voci::treno) return cerca(campi_treno, campo, "");
  if (r == voci::percorso) return cerca(campi_percorso, campo, "");
  if (r >= voci::progressiva_tre && r <= voci::progressiva_uno) return cerca_campo(le_progressive, campo, n(r));
  if (l.stazioni.contains(r)) return cerca_campo(le_stazioni, campo, n(r));
  const auto t = l.testi.find(r);
  if (t != l.testi.end() && campo == "nome") return mostrato_in(t->second, "text");
  return {};
}

posto ruolo(const lato& l, int32_t i) {
  const auto it = l.ruoli.find(i);
  return it == l.ruoli.end() ? posto{} : it->second;
}

posto posto_tipo(const lato& l, int32_t i, uint8_t tipo) {
  const std::string qui = in_metri(metri_di(i, tipo));
  const auto di = [&qui](std::string_view nome) { return mostrato_in(std::string(nome) + qui, "", true); };
  switch (tipo) {
    case tipo_cella::libera: return {stato_posto::neutro, {}, {}, false};
    case tipo_cella::segnale: return di(i_segnali.nome);
    case tipo_cella::inizio_rallentamento: return di(i_rallentamenti.nome);
    case tipo_cella::indicatori_v_max: return di(gli_indicatori.nome);
    case tipo_cella::marcatore_montagna: return di("mountain marker at ");
    case tipo_cella::abbattimento:
    case tipo_cella::abbattimento_nullo: return di(gli_abbattimenti.nome);
    case tipo_cella::cartello: return di(i_cartelli.nome);
    default: return ruolo(l, i);  // a station mark, a slowdown's end or warning cells
  }
}

// The field of the cell's own feature that shows a cell field; an entry of no value shows none.
posto posto_valore(const cella& x, int32_t i, std::string_view campo) {
  const std::string qui = in_metri(metri_di(i, x.tipo));
  switch (x.tipo) {
    case tipo_cella::segnale: return cerca_campo(i_segnali, campo, qui);
    case tipo_cella::inizio_rallentamento: return cerca_campo(i_rallentamenti, campo, qui);
    case tipo_cella::indicatori_v_max: return cerca_campo(gli_indicatori, campo, qui);
    case tipo_cella::abbattimento: return cerca_campo(gli_abbattimenti, campo, qui);
    case tipo_cella::cartello: return cerca_campo(i_cartelli, campo, qui);
    default: return {};
  }
}

posto posto_cella(const lato& l, int32_t i, std::string_view campo) {
  const cella& x = l.m.cel(i);
  for (const nome_tratti& t : elenco_tratti) {
    if (campo == t.campo_cella) return mostrato_in(t.nome, n(i));
  }
  if (campo == "avvicinamento") {
    return x.avvicinamento == 0 ? posto{stato_posto::neutro, {}, {}, false} : cerca_campo(gli_avvicinamenti, campo, n(i));
  }
  // cell 1 holds the format number and og code in place of any values
  if (i == 1 && campo == "valore") return mostrato_in("codes", "format numbers");
  if (i == 1 && campo == "valore2") return mostrato_in("codes", "og");
  if (campo == "tipo") return posto_tipo(l, i, x.tipo);
  if (x.tipo == tipo_cella::stazione && campo == "valore") return ruolo(l, i);
  return posto_valore(x, i, campo);
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
