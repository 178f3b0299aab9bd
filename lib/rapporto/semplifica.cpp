#include "rapporto/semplifica.hpp"

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
  // the foot of the perpendicular, held to the segment: past an end the end is nearest
  const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
  const double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
  return ex * ex + ey * ey;
}

// The stretch of the line through a and b (as parameters, 0 at a and 1 at b)
// within r of p, for a point already known to lie within r of the segment:
// so the stretch meets the segment, and primo never passes 1.
struct tratto_vicino {
  double primo;
  double ultimo;
};

tratto_vicino vicino(const punto_piano& p, const punto_piano& a, const punto_piano& b, double r) {
  const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
  if (!(l2 > 0)) return {0, 1};  // a segment that is a point: any order will do
  const double px = p.x - a.x, py = p.y - a.y;
  const double t = (px * dx + py * dy) / l2;
  const double ex = px - t * dx, ey = py - t * dy;
  const double mezza = std::sqrt(std::max(0.0, r * r - (ex * ex + ey * ey)) / l2);
  return {t - mezza, t + mezza};
}

// Where the segment a-b fails to stand for the points between; b when it will
// do. First a point beyond the bound: the farthest, or with `equilibrato` the
// farthest of the middle half when one there is beyond it too (a zigzag,
// split always near an end, would make the search quadratic). Then, when the
// points go back on themselves so that no walk along the segment meets them
// in order within the bound, the point that went farthest before turning.
std::size_t dove_dividere(const std::vector<punto_piano>& punti, std::size_t a, std::size_t b, double r,
                          bool equilibrato) {
  const std::size_t quarto = (b - a) / 4;
  double massima = -1, massima_centro = -1;
  std::size_t lontano = b, lontano_centro = b;
  for (std::size_t i = a + 1; i < b; ++i) {
    double d = distanza2(punti[i], punti[a], punti[b]);
    if (std::isnan(d)) d = INFINITY;  // a point that is not a number is kept too
    if (d > massima) {
      massima = d;
      lontano = i;
    }
    if (i >= a + quarto && i <= b - quarto && d > massima_centro) {
      massima_centro = d;
      lontano_centro = i;
    }
  }
  if (massima > r * r) return equilibrato && massima_centro > r * r ? lontano_centro : lontano;
  double avanzato = 0;  // how far along the segment the walk has come
  std::size_t chi = a;
  for (std::size_t i = a + 1; i < b; ++i) {
    const tratto_vicino v = vicino(punti[i], punti[a], punti[b], r);
    if (v.primo > avanzato) {
      avanzato = v.primo;
      chi = i;
    }
    if (avanzato > v.ultimo) return chi > a ? chi : i;
  }
  return b;
}

// Simplifies punti[a..b], whose ends are kept, within a budget of work: past
// a share of it the splits go near the middle, and past the whole of it what
// is left unsearched is kept whole, which keeps the bound whatever the shape.
void semplifica_pezzo(const std::vector<punto_piano>& punti, std::size_t a, std::size_t b, double r,
                      std::vector<bool>& tieni) {
  const std::size_t bilancio = 64 * (b - a), equilibrio = 16 * (b - a);
  std::size_t lavoro = 0;
  std::vector<std::pair<std::size_t, std::size_t>> pila{{a, b}};
  while (!pila.empty()) {
    const auto [da, fino] = pila.back();
    pila.pop_back();
    if (lavoro > bilancio) {
      for (std::size_t i = da + 1; i < fino; ++i) tieni[i] = true;
      continue;
    }
    lavoro += 2 * (fino - da);
    const std::size_t dove = dove_dividere(punti, da, fino, r, lavoro > equilibrio);
    if (dove <= da || dove >= fino) continue;
    tieni[dove] = true;
    pila.emplace_back(da, dove);
    pila.emplace_back(dove, fino);
  }
}

}  // namespace

std::vector<std::size_t> semplifica(const std::vector<punto_piano>& punti, double tolleranza) {
  std::vector<std::size_t> tenuti;
  if (punti.empty()) return tenuti;
  std::vector<bool> tieni(punti.size(), false);
  tieni.front() = true;  // and every piece's end, the last point among them
  // Pieces of a few kilometres, their ends kept: the search stays linear in
  // the route's length, and the bound holds in each piece.
  constexpr std::size_t pezzo = 4096;
  for (std::size_t a = 0; a + 1 < punti.size(); a += pezzo) {
    const std::size_t b = std::min(a + pezzo, punti.size() - 1);
    tieni[b] = true;
    semplifica_pezzo(punti, a, b, tolleranza, tieni);
  }
  for (std::size_t i = 0; i < punti.size(); ++i) {
    if (tieni[i]) tenuti.push_back(i);
  }
  return tenuti;
}

}  // namespace scenario::rapporto
