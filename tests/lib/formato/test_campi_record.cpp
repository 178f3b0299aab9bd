// The text dump of a record (--grezzo): every field as name=value, texts in
// quotes so that a text holding blanks or '=' cannot be read as more fields.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "formato/campi_record.hpp"

namespace scenario {
namespace {

struct caso_testo {
  const char* nome;
  std::string byte;    // the name as the record holds it, Windows-1252
  std::string atteso;  // from the name's field to the one after it
};

void PrintTo(const caso_testo& c, std::ostream* os) { *os << c.nome; }

class testi_nel_grezzo : public ::testing::TestWithParam<caso_testo> {};

TEST_P(testi_nel_grezzo, tra_virgolette_e_leggibili) {
  const caso_testo& c = GetParam();
  voce_tabella v;
  v.nome = c.byte;
  const std::string t = descrivi_record(campi_voce, v);
  EXPECT_NE(t.find(" " + c.atteso + " "), std::string::npos) << t;
}

INSTANTIATE_TEST_SUITE_P(
    tutti, testi_nel_grezzo,
    ::testing::Values(caso_testo{"vuoto", "", "campo_4=0 nome=\"\" campo_7=0"},
                      caso_testo{"semplice", "VALDORA", "campo_4=0 nome=\"VALDORA\" campo_7=0"},
                      caso_testo{"con_spazi", "FIESOLE CALDINE", "campo_4=0 nome=\"FIESOLE CALDINE\" campo_7=0"},
                      caso_testo{"simile_a_un_campo", "x campo_7=5", "campo_4=0 nome=\"x campo_7=5\" campo_7=0"},
                      caso_testo{"accentato", "CITT\xC0", "campo_4=0 nome=\"CITT\xC3\x80\" campo_7=0"},
                      caso_testo{"byte_di_controllo", std::string("A\x01", 2) + "B",
                                 "campo_4=0 nome=\"A\\x01B\" campo_7=0"}),
    [](const ::testing::TestParamInfo<caso_testo>& i) { return std::string(i.param.nome); });

TEST(grezzo, un_record_intero_nell_ordine_del_file) {
  voce_tabella v;
  v.tipo = 8;
  v.inizio = -250;
  v.posizione = 500;
  v.nome = "VALDORA";
  v.campo_11 = 1;
  v.orario = 43440;
  EXPECT_EQ(descrivi_record(campi_voce, v),
            "tipo=8 inizio=-250 fine=0 posizione=500 campo_4=0 nome=\"VALDORA\" campo_7=0 campo_8=0 campo_10=0 "
            "campo_11=1 campo_12=0 campo_9=0 sosta=0 campo_6=0 campo_5=0 orario=43440");
}

TEST(grezzo, una_cella_non_ha_testi_ne_virgolette) {
  cella c;
  c.tipo = 5;
  c.valore = -3;
  const std::string t = descrivi_record(campi_cella, c);
  EXPECT_EQ(t.rfind("tipo=5 valore=-3 valore2=0 ", 0), 0U) << t;
  EXPECT_EQ(t.find('"'), std::string::npos) << t;
}

}  // namespace
}  // namespace scenario
