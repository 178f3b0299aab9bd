#include "compiler/readers/sviste.hpp"

#include <algorithm>
#include <cmath>

#include "compiler/model/misure.hpp"
#include "io/orario.hpp"

namespace scenario {

namespace {

std::string n(int64_t v) { return std::to_string(v); }

std::string orario_di(int32_t secondi) { return ora_del_giorno(secondi, forma_ore::due_cifre); }

}  // namespace

void svista_ordine(modello& m, const luogo& voce, const char* nome, int32_t posizione, std::optional<int32_t> prima,
                   const luogo& dove_prima) {
  if (!prima || posizione >= *prima) return;
  segna_avviso(m, voce,
               std::string(nome) + " entries must be in position order: this one at " + n(posizione) +
                   " m comes after one at " + n(*prima) + " m, so it does not apply from " + n(posizione) + " m",
               {{dove_prima, "the entry at " + n(*prima) + " m"}});
}

void sviste_treno::in_ordine(lista& l, const luogo& voce, int32_t posizione, const char* senza) {
  if (!l.ultima && cella_di(metri(posizione)).valore() > 0) {
    segna_avviso(m_, voce,
                 "the first " + std::string(l.nome) + " entry is at " + n(posizione) + " m: the cells before it get " +
                     senza + " (start the list at 0)");
  }
  svista_ordine(m_, voce, l.nome, posizione, l.ultima, l.dove_ultima);
  l.ultima = std::max(posizione, l.ultima.value_or(posizione));
  if (l.ultima == posizione) l.dove_ultima = voce;
}

void sviste_treno::velocita(const luogo& voce, const luogo& valore, int32_t posizione, int32_t kmh) {
  in_ordine(velocita_, voce, posizione, "speed 0");
  if (kmh % 5 != 0 && kmh >= 0 && kmh <= 1275) {
    const auto tenuta = static_cast<int32_t>(std::nearbyint(kmh / 5.0)) * 5;
    segna_avviso(m_, valore,
                 "speed " + n(kmh) + " is stored as " + n(tenuta) + ": speeds are kept in steps of 5 km/h");
  }
}

void sviste_treno::aderenza(const luogo& voce, int32_t posizione) {
  in_ordine(aderenza_, voce, posizione, "adhesion 0");
}

void sviste_treno::rallentamento(const luogo& voce, int32_t inizio, int32_t kmh, int32_t lunghezza) {
  rallentamenti_.push_back({voce, inizio, kmh, lunghezza});
}

void sviste_treno::stazione(const luogo& voce, int32_t posizione, int32_t orario, const std::string& nome) {
  const int32_t fine_linea = m_.voce(voci::percorso).fine;
  if (posizione > fine_linea) {
    segna_avviso(m_, voce,
                 "station at " + n(posizione) + " m lies past the line's end at " + n(fine_linea) +
                     " m, on the run-out the route adds after it");
  }
  stazioni_.push_back({voce, posizione, orario, nome});
}

// The highest speed limit on cells da..a, km/h; 0 when none is set.
int32_t sviste_treno::limite_massimo(int64_t da, int64_t a) const {
  int32_t r = 0;
  const int64_t ultima = static_cast<int64_t>(m_.celle.size()) - 1;
  for (int64_t c = std::max<int64_t>(da, 0); c <= std::min(a, ultima); ++c) r = std::max(r, m_.cel(c).vel_limite * 5);
  return r;
}

void sviste_treno::fine() {
  if (!m_.ha_celle()) return;
  controlla_rallentamenti();
  controlla_orario();
}

void sviste_treno::controlla_rallentamenti() {
  std::vector<const rallentamento_letto*> ordinati;
  for (const rallentamento_letto& r : rallentamenti_) ordinati.push_back(&r);
  std::stable_sort(ordinati.begin(), ordinati.end(), [](auto* a, auto* b) { return a->inizio < b->inizio; });
  for (std::size_t i = 0; i < ordinati.size(); ++i) {
    const rallentamento_letto& r = *ordinati[i];
    const int64_t fine = int64_t{r.inizio} + r.lunghezza;
    if (i + 1 < ordinati.size() && ordinati[i + 1]->inizio < fine) {
      const rallentamento_letto& dopo = *ordinati[i + 1];
      segna_avviso(m_, r.dove,
                   "this slowdown (" + n(r.inizio) + " to " + n(fine) + " m) overlaps the one starting at " +
                       n(dopo.inizio) + " m: it loses its end",
                   {{dopo.dove, "the slowdown starting at " + n(dopo.inizio) + " m"}}, r.inizio);
    }
    const int32_t limite = limite_massimo(cella_di(metri(r.inizio)).valore(), cella_di(metri(fine)).valore());
    if (limite > 0 && r.kmh > limite) {
      segna_avviso(m_, r.dove,
                   "slowdown speed " + n(r.kmh) + " km/h is above the line's limit of " + n(limite) + " km/h there", {},
                   r.inizio);
    }
  }
}

void sviste_treno::controlla_orario() {
  // a time of 00:00:00 is a station without a time: the train passes
  std::vector<const stazione_letta*> con_orario;
  for (const stazione_letta& s : stazioni_) {
    if (s.orario != 0) con_orario.push_back(&s);
  }
  for (std::size_t i = 1; i < con_orario.size(); ++i) {
    const stazione_letta& a = *con_orario[i - 1];
    const stazione_letta& b = *con_orario[i];
    const correlato prima{a.dove, "the station before, " + a.nome + " at " + orario_di(a.orario)};
    if (b.orario < a.orario) {
      segna_avviso(m_, b.dove, "the time " + orario_di(b.orario) + " comes before the previous station's " +
                                   orario_di(a.orario) + ": the timetable goes backwards", {prima}, b.posizione);
      continue;
    }
    const int64_t metri_corsa = std::abs(int64_t{b.posizione} - a.posizione);
    const int32_t secondi = b.orario - a.orario;
    const int32_t limite = limite_massimo(cella_di(metri(std::min(a.posizione, b.posizione))).valore(),
                                          cella_di(metri(std::max(a.posizione, b.posizione))).valore());
    if (secondi <= 0 || limite <= 0) continue;
    const double kmh = static_cast<double>(metri_corsa) / secondi * 3.6;
    if (kmh > limite) {
      segna_avviso(m_, b.dove,
                   "the run from " + a.nome + " takes " + n(secondi) + " s for " + n(metri_corsa) + " m: " +
                       n(static_cast<int64_t>(std::ceil(kmh))) + " km/h on average, above the line's highest limit of " +
                       n(limite) + " km/h there",
                   {prima}, b.posizione);
    }
  }
}

}  // namespace scenario
