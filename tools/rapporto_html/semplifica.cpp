#include "tools/rapporto_html/semplifica.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace scenario::rapporto {

namespace {

// Squared distance of p from the segment a-b (from a when the segment is a point).
double distanza2(const punto_piano& p, const punto_piano& a, const punto_piano& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double l2 = dx * dx + dy * dy;
  double t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  const double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
  return ex * ex + ey * ey;
}

}  // namespace

std::vector<std::size_t> semplifica(const std::vector<punto_piano>& punti, double tolleranza) {
  std::vector<std::size_t> tenuti;
  if (punti.empty()) return tenuti;
  if (punti.size() < 3) {
    for (std::size_t i = 0; i < punti.size(); ++i) tenuti.push_back(i);
    return tenuti;
  }
  std::vector<bool> tieni(punti.size(), false);
  tieni.front() = tieni.back() = true;
  // Pieces of a few kilometres, their ends kept: a winding route cannot make
  // the search quadratic in the whole length, and the bound holds in each piece.
  constexpr std::size_t pezzo = 4096;
  std::vector<std::pair<std::size_t, std::size_t>> pila;
  for (std::size_t a = 0; a + 1 < punti.size(); a += pezzo) {
    const std::size_t b = std::min(a + pezzo, punti.size() - 1);
    tieni[a] = tieni[b] = true;
    pila.emplace_back(a, b);
  }
  while (!pila.empty()) {
    const auto [a, b] = pila.back();
    pila.pop_back();
    double massima = -1;
    std::size_t dove = a;
    for (std::size_t i = a + 1; i < b; ++i) {
      const double d = distanza2(punti[i], punti[a], punti[b]);
      if (d > massima) {
        massima = d;
        dove = i;
      }
    }
    if (massima > tolleranza * tolleranza) {
      tieni[dove] = true;
      pila.emplace_back(a, dove);
      pila.emplace_back(dove, b);
    }
  }
  for (std::size_t i = 0; i < punti.size(); ++i) {
    if (tieni[i]) tenuti.push_back(i);
  }
  return tenuti;
}

}  // namespace scenario::rapporto
