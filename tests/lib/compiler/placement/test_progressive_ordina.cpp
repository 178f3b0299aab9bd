#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "compiler/model/errori.hpp"
#include "compiler/placement/progressive_ordina.hpp"

namespace scenario {
namespace {

using terna = std::array<int32_t, 3>;  // inizio, fine, posizione

struct riferimenti {
  terna r81, r82, r83;
};

riferimenti ordina(const terna& a, const terna& b, const terna& c) {
  modello m;
  const terna* prima[] = {&a, &b, &c};
  for (int j = 0; j < 3; ++j) {
    voce_tabella& v = m.voce(81 + j);
    std::tie(v.inizio, v.fine, v.posizione) = std::tuple((*prima[j])[0], (*prima[j])[1], (*prima[j])[2]);
  }
  progressive_ordina(m);
  const auto leggi = [&](int r) { return terna{m.voce(r).inizio, m.voce(r).fine, m.voce(r).posizione}; };
  return {leggi(81), leggi(82), leggi(83)};
}

void atteso(const riferimenti& r, const terna& a, const terna& b, const terna& c) {
  EXPECT_EQ(r.r81, a);
  EXPECT_EQ(r.r82, b);
  EXPECT_EQ(r.r83, c);
}

TEST(ProgressiveOrdina, TheWritersReferences) {
  // "tre" in 81, "due" in 82, "uno" in 83, as the reader stores them
  atteso(ordina({0, 0, 0}, {2450, 200, 0}, {0, 314050, 1}), {2450, 200, 0}, {0, 314150, 1}, {0, 0, 0});
}

TEST(ProgressiveOrdina, LatestStartFirst) {
  atteso(ordina({100, 1, 0}, {300, 2, 0}, {200, 3, 0}), {300, 2, 0}, {200, 3, 0}, {100, 1, 0});
  atteso(ordina({300, 1, 0}, {100, 2, 0}, {200, 3, 1}), {300, 1, 0}, {200, 103, 1}, {100, 2, 0});
  atteso(ordina({-50, 1, 0}, {0, 2, 0}, {-100, 3, 0}), {0, 2, 0}, {-50, 1, 0}, {-100, 3, 0});
}

TEST(ProgressiveOrdina, TiesBetweenTheTwoEarlierStartsFollowTheTable) {
  atteso(ordina({500, 1, 0}, {0, 2, 0}, {0, 3, 0}), {500, 1, 0}, {0, 3, 0}, {0, 2, 0});
  atteso(ordina({0, 1, 0}, {500, 2, 0}, {0, 3, 0}), {500, 2, 0}, {0, 3, 0}, {0, 1, 0});
  atteso(ordina({0, 1, 0}, {0, 2, 0}, {500, 3, 0}), {500, 3, 0}, {0, 2, 0}, {0, 1, 0});
}

TEST(ProgressiveOrdina, ASharedLatestStartEmptiesAllThree) {
  atteso(ordina({2450, 1, 1}, {2450, 2, 0}, {0, 3, 1}), {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
  atteso(ordina({50, 1, 1}, {50, 2, 1}, {50, 3, 1}), {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
}

TEST(ProgressiveOrdina, AllStartingAtZeroTheOffsetsDecide) {
  atteso(ordina({0, 5, 0}, {0, 7, 0}, {0, 314050, 1}), {0, 314150, 1}, {0, 7, 0}, {0, 5, 0});
  atteso(ordina({0, 5, 0}, {0, 7, 1}, {0, 0, 0}), {0, 107, 1}, {0, 5, 0}, {0, 0, 0});
  atteso(ordina({0, 5, 1}, {0, -7, 0}, {0, 0, 0}), {0, 105, 1}, {0, -7, 0}, {0, 0, 0});
  atteso(ordina({0, -5, 1}, {0, 0, 1}, {0, -1, 1}), {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
  // starts that cancel out count as all at zero
  atteso(ordina({-50, 5, 0}, {50, 7, 0}, {0, 0, 0}), {50, 7, 0}, {-50, 5, 0}, {0, 0, 0});
}

TEST(ProgressiveOrdina, LargeNumbersDoNotOverflowTheSum) {
  atteso(ordina({2147483647, 1, 0}, {2147483600, 2, 0}, {100, 3, 0}), {2147483647, 1, 0}, {2147483600, 2, 0},
         {100, 3, 0});
}

TEST(ProgressiveOrdina, AnOffsetThatCannotTakeTheHundredMetresIsARunTimeFailure) {
  EXPECT_THROW(ordina({0, 0, 0}, {0, 0, 0}, {0, 2147483600, 1}), errore_esecuzione);
}

}  // namespace
}  // namespace scenario
