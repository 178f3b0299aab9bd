#include "tools/mostra_scenario/descrizione.hpp"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>

#include "compiler/output/campi_record.hpp"
#include "io/testo_1252.hpp"

namespace scenario {

namespace {

using campi_t = std::vector<std::pair<std::string, std::string>>;

std::string testo(std::string_view t) { return utf8_leggibile(t); }

std::string n(int64_t v) { return std::to_string(v); }
std::string metri(int64_t v) { return n(v) + " m"; }
std::string ora(int32_t secondi) {
  if (secondi == 0) return "none";
  char b[32];
  std::snprintf(b, sizeof b, "%02d:%02d:%02d", secondi / 3600, secondi / 60 % 60, secondi % 60);
  return b;
}
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
};

constexpr nome_tratti elenco_tratti[] = {
    {"speed limits", "speed limit", " km/h", &contenuto_scenario::velocita_limite, false},
    {"gradients", "gradient", "", &contenuto_scenario::pendenze, false},
    {"adhesion", "adhesion", "", &contenuto_scenario::aderenze, false},
    {"mountain stretches", "mountain stretch", "", &contenuto_scenario::montagne, true},
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
        "station " + n(x.record), "station " + n(x.record) + " " + testo(x.nome),
        {{"name", testo(x.nome)},
         {"position", metri(x.posizione)},
         {"stretch", n(x.inizio) + "-" + metri(x.fine)},
         {"type", n(x.tipo)},
         {"time", ora(x.orario)},
         {"stop", n(x.sosta) + " s"},
         {"mark", x.cella_segno ? "cell " + n(*x.cella_segno) : "none"},
         {"fields 4-12", n(x.campo_4) + " " + n(x.campo_5) + " " + n(x.campo_6) + " " + n(x.campo_7) + " " +
                             n(x.campo_8) + " " + n(x.campo_9) + " " + n(x.campo_10) + " " + n(x.campo_11) + " " +
                             n(x.campo_12)}}));
  }
  s.push_back(std::move(st));

  sezione_mostrata se{"signals", {}};
  for (const segnale& x : c.segnali) {
    se.oggetti.push_back(oggetto("signal at " + metri(x.metri), "signal at " + metri(x.metri),
                                 {{"cell", n(x.cella)},
                                  {"valore", n(x.valori[0])},
                                  {"valore2", n(x.valori[1])},
                                  {"valore3", n(x.valori[2])},
                                  {"valore4", n(x.valori[3])},
                                  {"tempo", n(x.tempo)}}));
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

std::vector<std::string> differenze(const contenuto_scenario& a, const modello& ma, const contenuto_scenario& b,
                                    const modello& mb) {
  std::vector<std::string> r;
  const std::vector<sezione_mostrata> sa = sezioni(a);
  const std::vector<sezione_mostrata> sb = sezioni(b);
  // sections come in the same order; the last one exists only with unknown cells
  std::map<std::string, const oggetto_mostrato*> in_b;
  for (const sezione_mostrata& s : sb) {
    for (const oggetto_mostrato& x : s.oggetti) in_b[x.id] = &x;
  }
  std::map<std::string, bool> visti;
  for (const sezione_mostrata& s : sa) {
    for (const oggetto_mostrato& x : s.oggetti) {
      visti[x.id] = true;
      const auto it = in_b.find(x.id);
      if (it == in_b.end()) {
        r.push_back(x.etichetta + ": only in the first");
        continue;
      }
      const oggetto_mostrato& y = *it->second;
      for (std::size_t i = 0; i < x.campi.size() && i < y.campi.size(); ++i) {
        if (x.campi[i].second != y.campi[i].second) {
          r.push_back(x.etichetta + ": " + x.campi[i].first + " " + x.campi[i].second + " -> " + y.campi[i].second);
        }
      }
    }
  }
  for (const sezione_mostrata& s : sb) {
    for (const oggetto_mostrato& y : s.oggetti) {
      if (!visti.contains(y.id)) r.push_back(y.etichetta + ": only in the second");
    }
  }

  for (const nome_tratti& t : elenco_tratti) {
    const auto va = per_cella(a, a.*(t.tratti), t.salta_zeri);
    const auto vb = per_cella(b, b.*(t.tratti), t.salta_zeri);
    const std::size_t celle = std::max(va.size(), vb.size());
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
        r.push_back(std::string(t.nome) + " " + n(static_cast<int64_t>(k) * 50) + "-" +
                    n(static_cast<int64_t>(j) * 50) + " m: " + valore_o_niente(x) + " -> " + valore_o_niente(y));
      }
      k = j;
    }
  }

  // the track plan row by row: the first row that differs, and how many do
  const tracciato_piano& ta = ma.tracciato;
  const tracciato_piano& tb = mb.tracciato;
  if (ta.esiste() && tb.esiste()) {
    const int32_t righe = std::min(ta.ultima_riga(), tb.ultima_riga()) + 1;
    int32_t prima = -1;
    int32_t diverse = 0;
    for (int32_t i = 0; i < righe; ++i) {
      const auto bit = [](double v) { return std::bit_cast<uint64_t>(v); };
      const bool uguale =
          ta.tipo(i) == tb.tipo(i) && bit(ta.x(i)) == bit(tb.x(i)) && bit(ta.y(i)) == bit(tb.y(i));
      if (!uguale) {
        if (prima < 0) prima = i;
        ++diverse;
      }
    }
    if (diverse > 0) {
      char b[160];
      std::snprintf(b, sizeof b, "track plan: %d rows differ, the first at %d m: (%.3f, %.3f) -> (%.3f, %.3f)", diverse,
                    prima, ta.x(prima), ta.y(prima), tb.x(prima), tb.y(prima));
      r.push_back(b);
    }
  }
  return r;
}

}  // namespace scenario
