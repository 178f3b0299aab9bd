#pragma once
// Ramer-Douglas-Peucker: few points of a polyline such that the kept line
// follows the dropped points in their order within a bound: each lies within
// the bound of the kept segment it was dropped from, and walking that segment
// meets them in order (a route that doubles back keeps its turn).
#include <cstddef>
#include <vector>

namespace scenario::rapporto {

struct punto_piano {
  double x = 0;
  double y = 0;
};

// Indices of the points kept, in order; the first and last are always kept.
// Iterative, so a million points need no deep recursion.
std::vector<std::size_t> semplifica(const std::vector<punto_piano>& punti, double tolleranza);

}  // namespace scenario::rapporto
