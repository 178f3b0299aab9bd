#pragma once
// A feature's fields as the listing shows them, walking its table: shared by
// the listing, the comparison and the report's hover texts. Texts are UTF-8.
#include <string>
#include <utility>
#include <vector>

#include "contenuto/campi_contenuto.hpp"
#include "contenuto/descrizione.hpp"
#include "io/orario.hpp"
#include "io/testo_1252.hpp"

namespace scenario {

using campi_t = std::vector<std::pair<std::string, std::string>>;

// One value of the unit u.
inline std::string valore_unita(unita_campo u, const std::optional<int64_t>& v) {
  const std::string n = std::to_string(v.value_or(0));
  switch (u) {
    case unita_campo::ora: return v.value_or(0) == 0 ? "none" : ora_del_giorno(v.value_or(0), forma_ore::due_cifre);
    case unita_campo::secondi: return n + " s";
    case unita_campo::cella: return v ? "cell " + n : "none";
    case unita_campo::metri: return v ? n + " m" : "none";
    case unita_campo::velocita: return n + " km/h";
    case unita_campo::velocita_o_niente: return v.value_or(0) > 0 ? n + " km/h" : "none";
    case unita_campo::si_no: return v.value_or(0) != 0 ? "yes" : "no";
    default: return n;
  }
}

// Fields i to j (one label) of a feature as the listing shows them: a run of
// metres as a stretch, from-to; of numbers, a blank-separated list.
template <class C, class R, std::size_t N>
std::string valore_mostrato(const std::array<campo_contenuto<C, R>, N>& campi, std::size_t i, std::size_t j,
                            const C& x) {
  if (i >= N) return {};
  const campo_contenuto<C, R>& f = campi[i];
  if (f.unita == unita_campo::testo) return utf8_leggibile(x.*std::get<std::string C::*>(f.membro));
  if (j <= i + 1) return valore_unita(f.unita, numero_di(f.membro, x));
  const bool tratto = f.unita == unita_campo::metri;
  std::string t;
  for (std::size_t k = i; k < j && k < N; ++k) {
    if (k > i) t += tratto ? "-" : " ";
    t += std::to_string(numero_di(campi[k].membro, x).value_or(0));
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

// What names one of a feature: its name and its first field ("signal at 2150 m").
template <class C, class R, std::size_t N>
std::string id_di(const caratteristica<C, R, N>& k, const C& x) {
  return std::string(k.nome) + valore_mostrato(k.campi, 0, 1, x);
}

// One of a feature as the listing shows it; a field labelled "name" joins its label.
template <class C, class R, std::size_t N>
oggetto_mostrato oggetto_di(const caratteristica<C, R, N>& k, const C& x) {
  oggetto_mostrato o{id_di(k, x), id_di(k, x), campi_mostrati(k.campi, x)};
  for (const auto& [nome, valore] : o.campi) {
    if (nome == "name") o.etichetta += " " + valore;
  }
  return o;
}

// Every one of a feature, as a section of the listing.
template <class C, class R, std::size_t N, class V>
sezione_mostrata sezione_di(const caratteristica<C, R, N>& k, const V& elenco) {
  sezione_mostrata s{std::string(k.sezione), {}};
  for (const C& x : elenco) s.oggetti.push_back(oggetto_di(k, x));
  return s;
}

// The runs of cells sharing one value, as the listing and the comparison name them.
struct nome_tratti {
  const char* titolo;   // section of the listing
  const char* nome;     // one run, in a difference
  const char* unita;
  const std::vector<tratto> contenuto_scenario::*tratti;
  bool salta_zeri;
  std::string_view campo_cella;  // the cell field the run is made of
};

inline constexpr nome_tratti elenco_tratti[] = {
    {"speed limits", "speed limit", " km/h", &contenuto_scenario::velocita_limite, false, "vel_limite"},
    {"gradients", "gradient", "", &contenuto_scenario::pendenze, false, "pendenza"},
    {"adhesion", "adhesion", "", &contenuto_scenario::aderenze, false, "aderenza"},
    {"mountain stretches", "mountain stretch", "", &contenuto_scenario::montagne, true, "tipo_montagna"},
};

}  // namespace scenario
