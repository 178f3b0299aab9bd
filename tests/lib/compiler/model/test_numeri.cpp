#include <gtest/gtest.h>

#include "compiler/model/numeri.hpp"

namespace scenario {
namespace {

TEST(Numeri, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(arrotonda(0.5), 0.0);
  EXPECT_EQ(arrotonda(1.5), 2.0);
  EXPECT_EQ(arrotonda(2.5), 2.0);
  EXPECT_EQ(arrotonda(-2.5), -2.0);
  EXPECT_EQ(arrotonda(160.5), 160.0);
  EXPECT_EQ(arrotonda(161.5), 162.0);
}

TEST(Numeri, ValuesThatDoNotFitAreRunTimeFailures) {
  EXPECT_EQ(arrotonda_a<int16_t>(32767.4), 32767);
  EXPECT_THROW(arrotonda_a<int16_t>(32767.6), errore_esecuzione);
  EXPECT_THROW(arrotonda_a<uint8_t>(-0.6), errore_esecuzione);
  EXPECT_EQ(arrotonda_a<uint8_t>(-0.5), 0);
  EXPECT_THROW(converti<int16_t>(-32769), errore_esecuzione);
}

TEST(Numeri, LowBitsWrap) {
  EXPECT_EQ(basso8(256 + 81), 81);
  EXPECT_EQ(basso8(-1), 255);
  EXPECT_EQ(basso16(32768), -32768);
  EXPECT_EQ(basso16(65536 + 5), 5);
}

}  // namespace
}  // namespace scenario
