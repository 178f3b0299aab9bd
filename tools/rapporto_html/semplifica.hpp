#pragma once
// Ramer-Douglas-Peucker: the fewest points of a polyline such that no dropped
// point lies farther than a bound from the kept line.
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
