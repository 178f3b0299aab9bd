#include <gtest/gtest.h>

#include "compiler/finishing/codici_gara.hpp"
#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/errori.hpp"
#include "formato/file_binari.hpp"
#include "tests/lib/compiler/finishing/aiuto_finitura.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

using prova::metti;
using prova::percorso_vuoto;

modello percorso_con_nomi() {
  modello m = percorso_vuoto(160);
  m.voce(85).nome = "Valdora_Tarvea";
  m.voce(86).nome = "5293";
  return m;
}

class Completamento : public ::testing::Test {
 protected:
  prova::sistema_file_memoria fs;
  nomi_file nomi = costruisci_nomi("cartella", "Valdora_Tarvea", "5293");

  // The code the run ends with, or 0 when it did not end.
  int32_t codice_fatale(modello& m) {
    try {
      completa_percorso(m);
      scrivi_file_binari(m, fs, nomi);
    } catch (const errore_fatale& e) {
      EXPECT_EQ(std::string(e.what()), " Errore n. " + std::to_string(e.codice()));
      return e.codice();
    }
    return 0;
  }
};

TEST_F(Completamento, StampsFormatNumbersAndCodesThenWritesTheFiles) {
  modello m = percorso_con_nomi();
  metti(m, 40, tipo_cella::inizio_rallentamento, 120);
  metti(m, 42, tipo_cella::fine_rallentamento, 120);
  EXPECT_EQ(codice_fatale(m), 0);

  modello atteso = percorso_con_nomi();
  EXPECT_EQ(m.cel(1).valore, formato_percorso);
  EXPECT_EQ(m.cel(1).valore2, codice_gara_og(atteso));
  EXPECT_EQ(m.voce(voci::linea).campo_7, formato_scenario);
  EXPECT_EQ(m.voce(85).orario, codice_gara_st(atteso));
  EXPECT_EQ(m.cel(35).tipo, tipo_cella::abbattimento);  // the pass ran

  const std::string percorso = fs.leggi(nomi.file_percorso);
  ASSERT_EQ(percorso.size(), 161u * 15u);
  EXPECT_EQ(static_cast<unsigned char>(percorso[16]), 0x01);
  EXPECT_EQ(static_cast<unsigned char>(percorso[17]), 0x14);
  EXPECT_TRUE(fs.esiste(nomi.file_scenario));
  EXPECT_FALSE(fs.esiste(nomi.file_linea));  // scrivi_linea is 0
}

TEST_F(Completamento, FeatureInCell1EndsTheRunWith1250BeforeAnyFile) {
  modello m = percorso_con_nomi();
  metti(m, 1, tipo_cella::segnale, 3);
  EXPECT_EQ(codice_fatale(m), 1250);
  EXPECT_TRUE(fs.file.empty());
  EXPECT_EQ(m.voce(85).campo_7, 0);

  modello n = percorso_con_nomi();
  n.voce(85).campo_7 = 1;
  EXPECT_EQ(codice_fatale(n), 1250);
  EXPECT_TRUE(fs.file.empty());
}

TEST_F(Completamento, UsedCodeSlotEndsTheRunWith1251BeforeAnyFile) {
  modello m = percorso_con_nomi();
  m.cel(1).valore2 = -1;
  EXPECT_EQ(codice_fatale(m), 1251);
  EXPECT_TRUE(fs.file.empty());

  modello n = percorso_con_nomi();
  n.voce(85).orario = 7;
  EXPECT_EQ(codice_fatale(n), 1251);
  EXPECT_TRUE(fs.file.empty());
}

TEST_F(Completamento, PointThePassPutsOnCell1AlsoEndsTheRunWith1250) {
  // a slowdown starting at cell 8 whose near cells 3 and 2 are taken
  modello m = percorso_con_nomi();
  metti(m, 8, tipo_cella::inizio_rallentamento, 120);
  metti(m, 10, tipo_cella::fine_rallentamento, 120);
  metti(m, 3, tipo_cella::segnale);
  metti(m, 2, tipo_cella::segnale);
  EXPECT_EQ(codice_fatale(m), 1250);
  EXPECT_TRUE(fs.file.empty());
}

TEST(MemorizzaPercorso, ClearsTheTableAndAsksForNoFileWithoutARoute) {
  modello m;
  m.codice_errore = 9;
  m.voce(5).nome = "vecchio";
  m.voce(85).campo_7 = 610;
  prova::sorgenti_memoria sorgenti;
  EXPECT_FALSE(memorizza_percorso(m, 1, sorgenti));
  EXPECT_EQ(m.scrivi_linea, 1);
  EXPECT_TRUE(m.voce(5).nome.empty());
  EXPECT_EQ(m.voce(85).campo_7, 0);
  EXPECT_NE(m.codice_errore, 9);
}

TEST(MemorizzaPercorso, ARouteWithoutCell1IsRefusedAndAsksForNoFile) {
  for (const char* lunghezza : {"-7000", "-6975"}) {
    modello m;
    prova::sorgenti_memoria sorgenti;
    sorgenti.linea = prova::righe({"[generale]", std::string("lunghezza percorso, ") + lunghezza, "[fine]", "[fine]"});
    sorgenti.treno = prova::righe({"[generale]", "[fine]"});
    EXPECT_FALSE(memorizza_percorso(m, 0, sorgenti)) << lunghezza;
    EXPECT_EQ(m.celle.size(), 1u) << lunghezza;
    EXPECT_EQ(m.codice_errore, 402) << lunghezza;
  }
}

}  // namespace
}  // namespace scenario
