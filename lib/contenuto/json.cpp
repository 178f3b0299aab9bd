#include "contenuto/json.hpp"

#include <algorithm>
#include <span>

#include "io/testo_1252.hpp"
#include "contenuto/campi_contenuto.hpp"

namespace scenario {

namespace {

using oj = nlohmann::ordered_json;

oj forse(const std::optional<int32_t>& v) { return v ? oj(*v) : oj(nullptr); }

oj tratti(const std::vector<tratto>& v) {
  oj r = oj::array();
  for (const tratto& t : v) r.push_back({{"from", t.da}, {"to", t.a}, {"value", t.valore}});
  return r;
}

template <class C, class R>
oj valore_json(const campo_contenuto<C, R>& f, const C& x) {
  if (const auto* t = std::get_if<std::string C::*>(&f.membro)) return utf8_leggibile(x.*(*t));
  if (const auto* b = std::get_if<bool C::*>(&f.membro)) return x.*(*b);
  const std::optional<int64_t> v = numero_di(f.membro, x);
  return v ? oj(*v) : oj(nullptr);
}

// A feature's fields under their keys in the order given; fields sharing a key make an array.
template <class C, class R, std::size_t N>
oj campi_json(const std::array<campo_contenuto<C, R>, N>& campi, const C& x, std::span<const std::string_view> chiavi) {
  oj r = oj::object();
  for (std::string_view k : chiavi) {
    oj valori = oj::array();
    for (const auto& f : campi) {
      if (f.json == k) valori.push_back(valore_json(f, x));
    }
    if (valori.size() == 1) {
      r[std::string(k)] = valori[0];
    } else if (!valori.empty()) {
      r[std::string(k)] = std::move(valori);
    }
  }
  return r;
}

// The keys in the table's own order; a field of no key is not in JSON.
template <class C, class R, std::size_t N>
std::vector<std::string_view> chiavi_di(const std::array<campo_contenuto<C, R>, N>& campi) {
  std::vector<std::string_view> r;
  for (const auto& f : campi) {
    if (!f.json.empty() && std::find(r.begin(), r.end(), f.json) == r.end()) r.push_back(f.json);
  }
  return r;
}

// Every one of a feature under the key of its list.
template <class C, class R, std::size_t N, class V>
void lista_json(oj& j, const caratteristica<C, R, N>& k, const V& elenco,
                std::span<const std::string_view> chiavi) {
  oj& l = j[std::string(k.json)] = oj::array();
  for (const C& x : elenco) l.push_back(campi_json(k.campi, x, chiavi));
}

template <class C, class R, std::size_t N, class V>
void lista_json(oj& j, const caratteristica<C, R, N>& k, const V& elenco) {
  lista_json(j, k, elenco, chiavi_di(k.campi));
}

// The headers, the length and the codes: what the scenario is.
void intestazione(oj& j, const contenuto_scenario& c) {
  j["line"] = {{"name", utf8_leggibile(c.linea.nome)}, {"scenery", c.linea.sfondi}};
  j["train"] = {{"number", utf8_leggibile(c.treno.numero)},
                {"braked_mass", c.treno.massa_frenata},
                {"cars", c.treno.vetture},
                {"sand", c.treno.sabbia},
                {"clock", c.treno.orologio},
                {"signal_repetition", {c.treno.ripetizione_inizio, c.treno.ripetizione_fine}},
                {"signal_repetition_codes", c.treno.ripetizione_codici}};
  j["length"] = c.lunghezza;
  j["cells"] = c.celle;
  j["track_plan_rows"] = forse(c.righe_tracciato);
  const codici_scenario& k = c.codici;
  j["codes"] = {{"format_scenario", k.formato_scenario}, {"format_route", k.formato_percorso},
                {"formats_right", k.formati_giusti},    {"og", k.og},
                {"og_expected", k.og_atteso},           {"og_verifies", k.og_giusto},
                {"st", k.st},                           {"st_expected", k.st_atteso},
                {"st_verifies", k.st_giusto}};
}

}  // namespace

nlohmann::ordered_json in_json(const contenuto_scenario& c) {
  oj j;
  intestazione(j, c);
  lista_json(j, le_progressive, c.progressive);
  lista_json(j, le_stazioni, c.stazioni, chiavi_json_stazione);
  lista_json(j, i_segnali, c.segnali);
  lista_json(j, i_rallentamenti, c.rallentamenti);
  lista_json(j, gli_abbattimenti, c.abbattimenti);
  lista_json(j, gli_indicatori, c.indicatori_velocita);
  lista_json(j, i_cartelli, c.cartelli);
  j["speed_limits"] = tratti(c.velocita_limite);
  j["gradients"] = tratti(c.pendenze);
  j["adhesion"] = tratti(c.aderenze);
  j["mountain_stretches"] = tratti(c.montagne);
  j["mountain_markers"] = c.marcatori_montagna;
  lista_json(j, gli_avvicinamenti, c.avvicinamenti);
  j["unknown_cells"] = c.celle_sconosciute;
  return j;
}

nlohmann::ordered_json in_json(const confronto& c) {
  oj j;
  j["equal"] = c.uguali();
  oj& d = j["differences"] = oj::array();
  for (const differenza& x : c.differenze) {
    const auto parte = [&x](std::string campo_diverso::*p) { return x.campo ? oj((*x.campo).*p) : oj(nullptr); };
    d.push_back({{"file", parte(&campo_diverso::file)},
                 {"record", parte(&campo_diverso::record)},
                 {"field", parte(&campo_diverso::campo)},
                 {"old", parte(&campo_diverso::prima)},
                 {"new", parte(&campo_diverso::dopo)},
                 {"meaning", x.significato ? oj(*x.significato) : oj(nullptr)}});
  }
  return j;
}

}  // namespace scenario
