#pragma once
// Hand-built routes for the finishing pass tests.
#include <cstdint>
#include <vector>

#include "compiler/model/modello.hpp"

namespace scenario::prova {

inline modello percorso_vuoto(int32_t ultima) {
  modello m;
  m.crea_celle(ultima);
  m.ultima_cella = ultima;
  return m;
}

inline void metti(modello& m, int32_t c, uint8_t tipo, int16_t valore = 0) {
  m.cel(c).tipo = tipo;
  m.cel(c).valore = valore;
}

// A slowdown as the placement leaves it: start and end cells with the speed.
inline void rallentamento(modello& m, int32_t inizio, int32_t fine, int16_t velocita) {
  metti(m, inizio, tipo_cella::inizio_rallentamento, velocita);
  metti(m, fine, tipo_cella::fine_rallentamento, velocita);
}

// Cells holding a speed-reduction point, in increasing order.
inline std::vector<int32_t> punti(const modello& m) {
  std::vector<int32_t> r;
  for (int32_t c = 0; c < static_cast<int32_t>(m.celle.size()); ++c) {
    if (m.cel(c).tipo == tipo_cella::abbattimento) r.push_back(c);
  }
  return r;
}

}  // namespace scenario::prova
