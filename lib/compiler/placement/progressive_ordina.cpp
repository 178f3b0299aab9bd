#include "compiler/placement/progressive_ordina.hpp"

#include <array>

#include "compiler/model/numeri.hpp"

namespace scenario {

namespace {

struct progressiva {
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
};

}  // namespace

void progressive_ordina(modello& m) {
  std::array<progressiva, 3> vecchie;
  for (int j = 0; j < 3; ++j) {
    const voce_tabella& v = m.voce(voci::progressiva_tre + j);
    vecchie[static_cast<std::size_t>(j)] = {v.inizio, v.fine, v.posizione};
  }
  const auto inizio = [&](int j) { return vecchie[static_cast<std::size_t>(j)].inizio; };
  const auto vecchia = [&](int j) { return vecchie[static_cast<std::size_t>(j)]; };

  std::array<progressiva, 3> nuove{};  // contradictory or unused references stay empty
  if (int64_t{inizio(0)} + inizio(1) + inizio(2) != 0) {
    for (int g = 0; g < 3; ++g) {
      const int a = (g + 1) % 3;
      const int b = (g + 2) % 3;
      if (inizio(g) <= inizio(a) || inizio(g) <= inizio(b)) continue;
      nuove[0] = vecchia(g);
      // of two equal starts, the record with the higher number comes first
      const bool prima_a = inizio(a) > inizio(b) || (inizio(a) == inizio(b) && a > b);
      nuove[1] = vecchia(prima_a ? a : b);
      nuove[2] = vecchia(prima_a ? b : a);
    }
  } else if (vecchia(2).fine > 0) {
    nuove = {vecchia(2), vecchia(1), vecchia(0)};
  } else if (vecchia(1).fine > 0) {
    nuove = {vecchia(1), vecchia(0), vecchia(2)};
  } else if (vecchia(0).fine > 0) {
    nuove = vecchie;
  }

  for (progressiva& p : nuove) {
    if (p.posizione == 1) p.fine = converti<int32_t>(int64_t{p.fine} + 100, "kilometric offset");
  }
  for (int j = 0; j < 3; ++j) {
    voce_tabella& v = m.voce(voci::progressiva_tre + j);
    const progressiva& p = nuove[static_cast<std::size_t>(j)];
    v.inizio = p.inizio;
    v.fine = p.fine;
    v.posizione = p.posizione;
  }
}

}  // namespace scenario
