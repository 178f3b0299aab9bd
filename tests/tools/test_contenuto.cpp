#include <gtest/gtest.h>

#include "compiler/memorizza_percorso.hpp"
#include "tests/tools/aiuto_compila.hpp"
#include "contenuto/contenuto.hpp"

namespace scenario {
namespace {

modello compila_base() {
  modello m;
  m.nome_linea = prova::nome_linea_prova;
  m.numero_treno = prova::numero_treno_prova;
  prova::sorgenti_memoria s;
  s.linea = prova::testo_di(prova::linea_base());
  s.treno = prova::testo_di(prova::treno_base());
  EXPECT_TRUE(memorizza_percorso(m, 1, s));
  EXPECT_EQ(m.codice_errore, 0);
  return m;
}

TEST(Contenuto, ReadsTheFeaturesBackAsTheAuthorWroteThem) {
  const contenuto_scenario c = estrai_contenuto(compila_base());
  EXPECT_EQ(c.linea.nome, "Prova");
  EXPECT_EQ(c.treno.numero, "77");
  EXPECT_EQ(c.lunghezza, 10000);
  EXPECT_TRUE(c.codici.formati_giusti && c.codici.og_giusto && c.codici.st_giusto);

  ASSERT_EQ(c.segnali.size(), 1u);
  EXPECT_EQ(c.segnali[0].metri, 2150);
  EXPECT_EQ((std::array<int16_t, 4>{c.segnali[0].valore, c.segnali[0].valore2, c.segnali[0].valore3, c.segnali[0].valore4}),
            (std::array<int16_t, 4>{21, 41, 10, 18}));
  EXPECT_EQ(c.segnali[0].tempo, 135);

  ASSERT_EQ(c.stazioni.size(), 2u);
  EXPECT_EQ(c.stazioni[1].nome, "FIESOLE CALDINE");
  EXPECT_EQ(c.stazioni[1].posizione, 8550);
  EXPECT_EQ(c.stazioni[1].sosta, 60);
  EXPECT_EQ(c.stazioni[1].orario, 12 * 3600 + 4 * 60);
  EXPECT_TRUE(c.stazioni[1].cella_segno.has_value());

  ASSERT_EQ(c.rallentamenti.size(), 1u);
  EXPECT_EQ(c.rallentamenti[0].inizio, 5500);
  EXPECT_EQ(c.rallentamenti[0].fine, 6000);
  EXPECT_EQ(c.rallentamenti[0].avviso, 4300);
  EXPECT_EQ(c.rallentamenti[0].velocita, 50);

  ASSERT_EQ(c.cartelli.size(), 1u);
  EXPECT_EQ(c.cartelli[0].metri, 1500);
  EXPECT_EQ(c.cartelli[0].testo, "(SALVIATI)( 366 m. )");
  ASSERT_EQ(c.indicatori_velocita.size(), 1u);
  EXPECT_EQ(c.indicatori_velocita[0].metri, 700);

  ASSERT_GE(c.velocita_limite.size(), 2u);
  EXPECT_EQ(c.velocita_limite[0].valore, 30);
  EXPECT_EQ(c.velocita_limite[1].da, 700);
  EXPECT_EQ(c.velocita_limite[1].valore, 65);
  ASSERT_GE(c.pendenze.size(), 2u);
  EXPECT_EQ(c.pendenze[1].da, 550);
  EXPECT_EQ(c.pendenze[1].valore, 6);
  ASSERT_EQ(c.montagne.size(), 1u);
  EXPECT_EQ(c.montagne[0].da, 1000);
  EXPECT_EQ(c.montagne[0].a, 1300);
  EXPECT_FALSE(c.abbattimenti.empty());  // the finishing pass's points around the slowdown
}

}  // namespace
}  // namespace scenario
