#pragma once
// Lengths along the route and the cells that cut it: two kinds of number that
// never mix by accident, and the one cell length that turns one into the other.
#include <compare>
#include <cstdint>

#include "compiler/model/numeri.hpp"

namespace scenario {

// A whole number of one kind: only the same kind adds to it or compares with it.
template <class Etichetta>
class grandezza {
 public:
  constexpr grandezza() = default;
  constexpr explicit grandezza(int64_t v) : v_(v) {}
  constexpr int64_t valore() const { return v_; }
  constexpr auto operator<=>(const grandezza&) const = default;
  constexpr grandezza operator+(grandezza o) const { return grandezza(v_ + o.v_); }
  constexpr grandezza operator-(grandezza o) const { return grandezza(v_ - o.v_); }

 private:
  int64_t v_ = 0;
};

using metri = grandezza<struct etichetta_metri>;
using indice_cella = grandezza<struct etichetta_cella>;

// Every cell is 50 m of route.
inline constexpr metri lunghezza_cella{50};

// A position counted in cells, not yet rounded: p / 50.
constexpr double in_celle(metri p) {
  return static_cast<double>(p.valore()) / static_cast<double>(lunghezza_cella.valore());
}

// The cell of a position: round(p / 50 + scarto), halves to even. Each kind of
// feature has its own scarto (boards, signals and slowdown marks sit one cell on).
inline indice_cella cella_di(metri p, double scarto = 0.0) {
  return indice_cella(static_cast<int64_t>(arrotonda(in_celle(p) + scarto)));
}

// Where a cell lies along the route: its index times 50 m.
constexpr metri metri_di(indice_cella c) { return metri(c.valore() * lunghezza_cella.valore()); }

// Whether a length is a whole number of cells.
constexpr bool multiplo_di_cella(metri p) { return p.valore() % lunghezza_cella.valore() == 0; }

}  // namespace scenario
