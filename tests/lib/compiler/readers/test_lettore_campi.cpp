#include <gtest/gtest.h>

#include "compiler/model/errori.hpp"
#include "compiler/readers/lettore_campi.hpp"

namespace scenario {
namespace {

TEST(LettoreCampi, TextFieldsEndAtCommasAndLineEndsAfterLeadingBlanks) {
  lettore_campi l("  alfa beta ,  gamma\r\n\r\ndelta\nepsilon,");
  EXPECT_EQ(l.leggi_testo(), "alfa beta ");
  EXPECT_EQ(l.riga(), 1);
  EXPECT_EQ(l.leggi_testo(), "gamma");
  EXPECT_EQ(l.leggi_testo(), "");  // the empty line is one empty field
  EXPECT_EQ(l.riga(), 2);
  EXPECT_EQ(l.leggi_testo(), "delta");
  EXPECT_EQ(l.riga(), 3);
  EXPECT_EQ(l.leggi_testo(), "epsilon");
  EXPECT_EQ(l.riga(), 4);
  EXPECT_TRUE(l.fine());
  EXPECT_THROW(l.leggi_testo(), errore_esecuzione);
}

TEST(LettoreCampi, TheLastFieldOfAFileLeavesTheCursorAtTheEnd) {
  lettore_campi con_a_capo("[fine]\r\n");
  EXPECT_FALSE(con_a_capo.fine());
  EXPECT_EQ(con_a_capo.leggi_testo(), "[fine]");
  EXPECT_TRUE(con_a_capo.fine());

  lettore_campi senza_a_capo("1,  2");
  EXPECT_EQ(senza_a_capo.leggi_long(), 1);
  EXPECT_FALSE(senza_a_capo.fine());
  EXPECT_EQ(senza_a_capo.leggi_long(), 2);
  EXPECT_TRUE(senza_a_capo.fine());
}

TEST(LettoreCampi, NumbersEndAtBlanksAndBlankFieldsReadAsZero) {
  lettore_campi l("  700,  65,  ,  ,  0\r\n    0    ,0\r\n5 6,  -15\r\n");
  EXPECT_EQ(l.leggi_long(), 700);
  EXPECT_EQ(l.leggi_long(), 65);
  EXPECT_EQ(l.leggi_long(), 0);
  EXPECT_EQ(l.leggi_long(), 0);
  EXPECT_EQ(l.leggi_long(), 0);
  EXPECT_EQ(l.leggi_long(), 0);  // blanks after a number, then the comma
  EXPECT_EQ(l.leggi_long(), 0);
  EXPECT_EQ(l.leggi_long(), 5);  // numbers apart by blanks alone are two fields
  EXPECT_EQ(l.leggi_long(), 6);
  EXPECT_EQ(l.leggi_long(), -15);
  EXPECT_TRUE(l.fine());
}

TEST(LettoreCampi, AFieldThatIsNotOneWholeNumberIsARunTimeFailure) {
  for (const char* testo : {"12a,", "-,", "+\r\n", "1.5,", "x"}) {
    lettore_campi l(testo);
    EXPECT_THROW(l.leggi_long(), errore_esecuzione) << testo;
  }
}

TEST(LettoreCampi, ANumberMustFitItsDestination) {
  lettore_campi l("2147483647,-2147483648,2147483648,-2147483649,99999999999999999999999999");
  EXPECT_EQ(l.leggi_long(), 2147483647);
  EXPECT_EQ(l.leggi_long(), -2147483647 - 1);
  EXPECT_THROW(l.leggi_long(), errore_esecuzione);
  EXPECT_THROW(l.leggi_long(), errore_esecuzione);
  EXPECT_THROW(l.leggi_long(), errore_esecuzione);

  lettore_campi piccoli("32767,32768,-32769,255,256,-1");
  EXPECT_EQ(piccoli.leggi_integer(), 32767);
  EXPECT_THROW(piccoli.leggi_integer(), errore_esecuzione);
  EXPECT_THROW(piccoli.leggi_integer(), errore_esecuzione);
  EXPECT_EQ(piccoli.leggi_byte(), 255);
  EXPECT_THROW(piccoli.leggi_byte(), errore_esecuzione);
  EXPECT_THROW(piccoli.leggi_byte(), errore_esecuzione);
}

TEST(LettoreCampi, KeywordTestsAreSubstringTests) {
  EXPECT_TRUE(contiene("progressiva chilometrica tre", "tre"));
  EXPECT_FALSE(contiene("Sfondo uno", "sfondo"));
  EXPECT_TRUE(contiene_nc("Lunghezza PERCORSO", "percorso"));
  EXPECT_TRUE(contiene_nc("[GENERALE]", "[generale]"));
  EXPECT_FALSE(contiene_nc("[pendenze]", "pendenza"));
  EXPECT_FALSE(contiene_nc("curv", "curva"));
  EXPECT_TRUE(contiene_nc("", ""));
}

}  // namespace
}  // namespace scenario
