#include <gtest/gtest.h>

#include "compiler/finishing/codici_gara.hpp"

namespace scenario {
namespace {

struct codici {
  int16_t og;
  int32_t st;
  bool operator==(const codici&) const = default;
};

codici calcola(const std::string& treno, const std::string& linea, modello* fuori = nullptr) {
  modello m;
  m.voce(86).nome = treno;
  m.voce(85).nome = linea;
  m.riga = "a field left by a reader";
  codici c{0, codice_gara_st(m)};
  c.og = codice_gara_og(m);
  if (fuori != nullptr) *fuori = m;
  return c;
}

TEST(CodiciGara, KnownIdentifiersGiveKnownCodesAndLeaveTheStringInRiga) {
  modello m;
  EXPECT_EQ(calcola("1234567890", "ABCDEFGHIJKLMNOP", &m), (codici{2085, 31285}));
  EXPECT_EQ(m.riga, "1234567890abcdefghijklmnopqqttppzzrrvvkkuuyyssxxwwjj");
}

TEST(CodiciGara, CaseDoesNotMatter) {
  const codici base = calcola("1234567890", "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(calcola("1234567890", "abcdefghijklmnop"), base);
  EXPECT_EQ(calcola("1234567890", "AbCdEfGhIjKlMnOp"), base);
  EXPECT_EQ(calcola("Valdora", "5293"), calcola("vALDORA", "5293"));
}

TEST(CodiciGara, OnlyTheFirst25CharactersCount) {
  // the 26th character is ignored, the 25th counts
  EXPECT_EQ(calcola("5293", "Valdora_Tarvea_e_ancoX"), calcola("5293", "Valdora_Tarvea_e_ancoY"));
  EXPECT_NE(calcola("5293", "Valdora_Tarvea_e_ancX"), calcola("5293", "Valdora_Tarvea_e_ancY"));
}

TEST(CodiciGara, SameCharactersInAnotherOrderKeepOgButChangeSt) {
  const codici a = calcola("5293", "Valdora_Tarvea");
  const codici b = calcola("3925", "Valdora_Tarvea");
  EXPECT_EQ(a.og, b.og);
  EXPECT_NE(a.st, b.st);
}

TEST(CodiciGara, EmptyIdentifiersUseTheFillerAlone) {
  modello m;
  EXPECT_EQ(calcola("", "", &m), (codici{2894, 37732}));
  EXPECT_EQ(m.riga, "qqttppzzrrvvkkuuyyssxxwwjj");
  calcola("52", "Ab", &m);
  EXPECT_EQ(m.riga, "52abqqttppzzrrvvkkuuyyssxxwwjj");
}

TEST(CodiciGara, HighBytesCountUnsignedAndWindows1252CapitalsAsTheirLowerCase) {
  EXPECT_EQ(calcola("\xFF", ""), (codici{3043, 38125}));
  EXPECT_EQ(calcola("\xC0", "X"), calcola("\xE0", "x"));
  EXPECT_EQ(calcola("\x8A\x8C\x8E\x9F", ""), calcola("\x9A\x9C\x9E\xFF", ""));
  EXPECT_EQ(calcola("\xDE", ""), calcola("\xFE", ""));
  // the multiplication sign and the sharp s are not letters to lower
  EXPECT_NE(calcola("\xD7", ""), calcola("\xF7", ""));
  EXPECT_EQ(minuscola_1252(0xDF), 0xDF);
  EXPECT_EQ(minuscola_1252(0xD7), 0xD7);
  EXPECT_EQ(minuscola_1252('@'), '@');
  EXPECT_EQ(minuscola_1252('['), '[');
}

TEST(CodiciGara, LargestCodesFitTheirWidths) {
  const std::string pieno(25, '\xFF');
  EXPECT_EQ(calcola(pieno, ""), (codici{6375, 82875}));
}

}  // namespace
}  // namespace scenario
