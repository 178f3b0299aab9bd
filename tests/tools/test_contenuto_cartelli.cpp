#include <gtest/gtest.h>

#include "contenuto/contenuto.hpp"

namespace scenario {
namespace {

TEST(ContenutoCartelli, ASignTextWhoseBoardAStationCoveredIsNoStation) {
  modello m;
  m.crea_celle(40);
  voce_tabella& stazione = m.voce(1);
  stazione.nome = "VALDORA";
  stazione.tipo = 12;
  stazione.posizione = 500;
  m.voce(voci::primo_cartello).nome = "(GALLERIA)( 300 m. )";  // its board was at cell 11
  m.voce(voci::primo_cartello - 1).nome = "(PONTE)";
  m.cel(11).tipo = tipo_cella::stazione;
  m.cel(11).valore = 1;
  m.cel(20).tipo = tipo_cella::cartello;
  m.cel(20).valore = static_cast<int16_t>(voci::primo_cartello - 1);
  const contenuto_scenario c = estrai_contenuto(m);
  ASSERT_EQ(c.stazioni.size(), 1u);
  EXPECT_EQ(c.stazioni[0].nome, "VALDORA");
  ASSERT_EQ(c.cartelli.size(), 1u);
  EXPECT_EQ(c.cartelli[0].testo, "(PONTE)");
}

}  // namespace
}  // namespace scenario
