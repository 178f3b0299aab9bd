#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>
#include <string_view>

#include "compiler/model/codici.hpp"
#include "compiler/output/file_binari.hpp"
#include "compiler/readers/lettore_linea.hpp"
#include "io/nomi_file.hpp"
#include "support/supporto.hpp"
#include "writers/scrittori.hpp"

namespace scenario {
namespace {

// The program's own line description: its general section, mountains, boards
// and signs as written, with a few curve and gradient rows of its kind.
constexpr std::string_view righe_scenario[] = {
    "[generale]",
    "lunghezza percorso,    101000",
    "progressiva chilometrica uno,    0,    314050,    1",
    "progressiva chilometrica due,    2450,    200,    0",
    "progressiva chilometrica tre,    0,    0,    0",
    "sfondo uno,    65650",
    "sfondo due,    1",
    "sfondo tre,    41050",
    "ripetizione segnali 4 codici,    0    ,0",
    "[curve]",
    "curvad5,  650,  550",
    "curvad4,  2350,  100",
    "curvas5,  2450,  400",
    "curvad5,  40150,  1250",
    "curvad3,  92050,  450",
    "curvas3,  95400,  500",
    "curvad5,  99350,  700",
    "[pendenze]",
    "- Altitudine iniziale Valdora S.M.N. = 46 m.",
    "pendenza,  0,   0",
    "pendenza,  550,   6",
    "pendenza,  2500,   18",
    "pendenza,  4600,   26",
    "pendenza,  19750,   -15",
    "pendenza,  61950,   -26",
    "pendenza,  98400,   -4",
    "pendenza,  99900,   0",
    "[montagne]",
    "montagna,   2350,  2400,  2",
    "montagna,   4250,  4600,  12",
    "montagna,   5250,  5450,  12",
    "montagna,   6100,  6500,  11",
    "montagna,   9900,  11100,  11",
    "montagna,   12200,  12550,  11",
    "montagna,   13050,  13150,  12",
    "montagna,   13400,  13900,  11",
    "montagna,   14500,  14950,  12",
    "montagna,   15900,  19500,  11",
    "montagna,   21350,  21450,  12",
    "montagna,   23650,  23750,  12",
    "montagna,   25350,  25400,  12",
    "montagna,   40950,  41300,  11",
    "montagna,   41350,  41400,  12",
    "montagna,   43900,  44300,  11",
    "montagna,   44400,  46650,  11",
    "montagna,   46700,  47500,  11",
    "montagna,   47600,  47800,  12",
    "montagna,   47950,  48050,  12",
    "montagna,   48300,  48500,  11",
    "montagna,   48850,  49050,  12",
    "montagna,   49850,  50100,  11",
    "montagna,   50300,  54100,  11",
    "montagna,   54400,  54500,  11",
    "montagna,   54800,  54950,  11",
    "montagna,   55600,  55800,  11",
    "montagna,   56550,  56750,  11",
    "montagna,   56900,  57350,  11",
    "montagna,   57450,  58750,  11",
    "montagna,   59050,  59450,  11",
    "montagna,   59550,  60750,  11",
    "montagna,   61650,  61800,  11",
    "montagna,   62000,  62100,  11",
    "montagna,   62200,  62350,  12",
    "montagna,   62400,  62450,  12",
    "montagna,   62500,  63000,  11",
    "montagna,   63200,  63650,  11",
    "montagna,   63750,  63900,  12",
    "montagna,   64300,  64700,  11",
    "montagna,   64750,  64850,  12",
    "montagna,   65150,  65500,  11",
    "montagna,   65550,  65900,  11",
    "montagna,   67850,  67950,  12",
    "montagna,   74050,  74100,  12",
    "montagna,   76100,  76450,  11",
    "montagna,   78100,  78450,  11",
    "montagna,   78950,  79050,  12",
    "montagna,   96000,  96150,  12",
    "[cartelli]",
    "indicatori_vmax,  700,  65,  70,  75,  0,  ,  ,  ,  0",
    "indicatori_vmax,  1300,  80,  85,  90,  0,  ,  ,  ,  0",
    "indicatori_vmax,  2500,  65,  70,  75,  0,  ,  ,  ,  0",
    "indicatori_vmax,  4800,  90,  95,  100,  0,  ,  ,  ,  0",
    "indicatori_vmax,  14350,  100,  105,  110,  0,  ,  ,  ,  0",
    "indicatori_vmax,  19900,  90,  95,  100,  0,  ,  ,  ,  0",
    "indicatori_vmax,  23550,  120,  125,  130,  0,  ,  ,  ,  0",
    "indicatori_vmax,  26900,  90,  95,  100,  2,  ,  ,  ,  0",
    "indicatori_vmax,  27100,  90,  95,  100,  1,  ,  ,  ,  0",
    "indicatori_vmax,  27300,  90,  95,  100,  0,  ,  ,  ,  0",
    "indicatori_vmax,  29850,  120,  130,  135,  0,  ,  ,  ,  0",
    "indicatori_vmax,  32700,  75,  80,  80,  2,  ,  ,  ,  0",
    "indicatori_vmax,  32900,  75,  80,  80,  1,  ,  ,  ,  0",
    "indicatori_vmax,  33100,  75,  80,  80,  0,  ,  ,  ,  0",
    "indicatori_vmax,  34650,  75,  80,  80,  0,  ,  ,  ,  0",
    "indicatori_vmax,  63650,  30,  80,  80,  2,  ,  ,  ,  0",
    "indicatori_vmax,  63900,  30,  80,  80,  1,  ,  ,  ,  0",
    "indicatori_vmax,  64150,  30,  80,  80,  0,  ,  ,  ,  0",
    "indicatori_vmax,  65050,  75,  80,  80,  0,  ,  ,  ,  0",
    "indicatori_vmax,  66600,  90,  95,  100,  0,  ,  ,  ,  0",
    "indicatori_vmax,  70900,  95,  100,  105,  0,  ,  ,  ,  0",
    "indicatori_vmax,  72850,  90,  95,  100,  0,  ,  ,  ,  0",
    "indicatori_vmax,  75450,  95,  100,  105,  0,  ,  ,  ,  0",
    "indicatori_vmax,  82850,  90,  95,  100,  0,  ,  ,  ,  0",
    "indicatori_vmax,  89450,  135,  140,  140,  0,  ,  ,  ,  0",
    "indicatori_vmax,  94850,  105,  110,  110,  2,  ,  ,  ,  0",
    "indicatori_vmax,  95050,  105,  110,  110,  1,  ,  ,  ,  0",
    "indicatori_vmax,  95250,  105,  110,  110,  0,  ,  ,  ,  0",
    "indicatori_vmax,  98200,  85,  90,  90,  0,  ,  ,  ,  0",
    "[indicazioni]",
    "cartello_indicatore,  2400,   (  BIVIO   )(PELLEGRINO)",
    "cartello_indicatore,  4200,   (SALVIATI)( 366 m. )",
    "cartello_indicatore,  5200,   (MONTERINALDI)( 210 m.     )",
    "cartello_indicatore,  6050,   (SPICCARELLO)( 414 m.    )",
    "cartello_indicatore,  9850,   (S.A.SVEGLIA)( 1192 m.   )",
    "cartello_indicatore,  12150,   (BASCIANO)( 362 m. )",
    "cartello_indicatore,  13000,   (LASTRUCCI)( 118 m.  )",
    "cartello_indicatore,  13350,   (S.BARTOLO)( 480 m.  )",
    "cartello_indicatore,  14450,   (PARETAIO)( 456 m. )",
    "cartello_indicatore,  15850,   (PRATOLINO)( 3606 m. )",
    "cartello_indicatore,  21300,   (CARZOLA)( 121 m.)",
    "cartello_indicatore,  23600,   (PRATALE)( 74 m. )",
    "cartello_indicatore,  25300,   (TAGLIAFERRO)( 42 m.     )",
    "cartello_indicatore,  40900,   ( SELVE )( 313 m.)",
    "cartello_indicatore,  41300,   (PONTICINO)( 50 m.   )",
    "cartello_indicatore,  43850,   (CERRETO)( 423 m.)",
    "cartello_indicatore,  44350,   (MONZAGNANO)( 2053 m.  )",
    "cartello_indicatore,  46650,   ( TOMBA )( 782 m.)",
    "cartello_indicatore,  47550,   (COLOMBINO)( 186 m.  )",
    "cartello_indicatore,  47900,   (POGGIO PRETI)( 117 m.     )",
    "cartello_indicatore,  48250,   ( RAZZO )( 195 m.)",
    "cartello_indicatore,  48800,   (FICCAPRA)( 215 m. )",
    "cartello_indicatore,  49800,   (RACCOZZAMUCCIONE)(  242 m.        )",
    "cartello_indicatore,  50250,   (APPENNINO)( 3778 m. )",
    "cartello_indicatore,  54350,   (VALCAVA)( 89 m. )",
    "cartello_indicatore,  54750,   (LA LOGORA)( 162 m.  )",
    "cartello_indicatore,  55550,   (CRESPINO)( 194 m. )",
    "cartello_indicatore,  56500,   (VALBURA)( 221 m.)",
    "cartello_indicatore,  56850,   (CANALI )( 449 m.)",
    "cartello_indicatore,  57400,   (   SALTO   )(DEL CAVALLO)( 1294 m.   )",
    "cartello_indicatore,  59000,   (LOZZOLE)( 401 m.)",
    "cartello_indicatore,  59500,   (FANTINO )( 1155 m.)",
    "cartello_indicatore,  61600,   (CASALECCHIO)( 167 m.    )",
    "cartello_indicatore,  61950,   (CASTAGNO)( 101 m. )",
    "cartello_indicatore,  62150,   (TERMINI)( 142 m.)",
    "cartello_indicatore,  62450,   (CAMURRANO)( 478 m.  )",
    "cartello_indicatore,  63150,   (CASTELLO)( 430 m. )",
    "cartello_indicatore,  63700,   (BIFORCO)( 172 m.)",
    "cartello_indicatore,  64250,   (ANNUNZIATA)( 405 m.   )",
    "cartello_indicatore,  64700,   (VINCO )( 89 m.)",
    "cartello_indicatore,  64850,   (Viadotto sul)(FIUME LAMONE)",
    "cartello_indicatore,  65100,   (ARCHIROLI)( 373 m.  )",
    "cartello_indicatore,  65500,   (COLOMBAIA)( 340 m.  )",
    "cartello_indicatore,  67800,   (FILETTA)( 99 m. )",
    "cartello_indicatore,  74000,   (CELSERATO)( 68 m.   )",
    "cartello_indicatore,  76050,   (S.CASSIANO)( 353 m.   )",
    "cartello_indicatore,  78050,   (S.EUFEMIA)( 346 m.  )",
    "cartello_indicatore,  78900,   (  CO  )( 84 m.)",
    "cartello_indicatore,  95950,   (PERSOLINO)( 170 m.  )",
    "[fine]",
    fine_tabella,
};

class LetturaScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    m.nome_linea = "Valdora_Tarvea";
    m.numero_treno = "5293";
    m.scrivi_linea = 1;
    s.linea = componi_testo(righe_scenario);
    prosegue = leggi_descrizione_linea(m, s);
  }
  modello m;
  prova::sorgenti_memoria s;
  bool prosegue = false;
};

TEST_F(LetturaScenario, EveryLineIsAccepted) {
  EXPECT_TRUE(prosegue);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(m.segnalazioni.empty());
  EXPECT_TRUE(s.linea_eliminata);
  EXPECT_EQ(m.estensione, 108000);
  EXPECT_EQ(m.ultima_cella, 2160);
  EXPECT_EQ(m.celle.size(), 2161u);
}

TEST_F(LetturaScenario, GeneralSettingsAndOrderedChainages) {
  EXPECT_EQ(m.voce(84).fine, 101000);
  const voce_tabella& sfondo = m.voce(85);
  EXPECT_EQ(sfondo.inizio, 65650);
  EXPECT_EQ(sfondo.posizione, 1);
  EXPECT_EQ(sfondo.fine, 41050);
  EXPECT_EQ(sfondo.nome, "Valdora_Tarvea");
  const voce_tabella& ripetizione = m.voce(86);
  EXPECT_EQ(ripetizione.inizio, 0);
  EXPECT_EQ(ripetizione.fine, 0);
  EXPECT_EQ(ripetizione.posizione, 0);
  EXPECT_EQ(ripetizione.nome, "5293");
  EXPECT_EQ(m.voce(81).inizio, 2450);
  EXPECT_EQ(m.voce(81).fine, 200);
  EXPECT_EQ(m.voce(82).fine, 314150);
  EXPECT_EQ(m.voce(82).posizione, 1);
  EXPECT_EQ(m.voce(83).fine, 0);
}

TEST_F(LetturaScenario, GradientsCoverTheRouteUpToThreeCellsFromItsEnd) {
  struct tratto {
    int primo, ultimo, pendenza;
  };
  for (const tratto& t : {tratto{0, 10, 100}, tratto{11, 49, 106}, tratto{50, 91, 118}, tratto{92, 394, 126},
                          tratto{395, 1238, 85}, tratto{1239, 1967, 74}, tratto{1968, 1997, 96},
                          tratto{1998, 2157, 100}, tratto{2158, 2160, 0}}) {
    for (int c = t.primo; c <= t.ultimo; ++c) ASSERT_EQ(m.cel(c).pendenza, t.pendenza) << "cell " << c;
  }
}

TEST_F(LetturaScenario, MountainStretches) {
  EXPECT_EQ(m.n_montagne, 49);
  EXPECT_EQ(m.montagna_inizio[49], 96000);
  EXPECT_EQ(m.montagna_fine[49], 96150);
  EXPECT_EQ(m.cel(47).tipo_montagna, 2);
  for (int c = 85; c <= 91; ++c) EXPECT_EQ(m.cel(c).tipo_montagna, 2) << c;
  EXPECT_EQ(m.cel(88).tipo, tipo_cella::marcatore_montagna);
  EXPECT_EQ(m.cel(827).tipo_montagna, 3);
  EXPECT_EQ(m.cel(827).tipo, tipo_cella::cartello);  // the sign at 41300 m, placed later
  int marcatori = 0;
  for (int c = 318; c <= 389; ++c) {
    EXPECT_EQ(m.cel(c).tipo_montagna, 1) << c;
    if (m.cel(c).tipo == tipo_cella::marcatore_montagna) ++marcatori;
  }
  EXPECT_EQ(marcatori, 18);
  EXPECT_EQ(m.cel(389).tipo, tipo_cella::marcatore_montagna);
}

TEST_F(LetturaScenario, SpeedBoards) {
  const cella& primo = m.cel(15);
  EXPECT_EQ(primo.tipo, tipo_cella::indicatori_v_max);
  EXPECT_EQ(primo.valore, 1300);
  EXPECT_EQ(primo.valore2, 1400);
  EXPECT_EQ(primo.valore3, 1500);
  EXPECT_EQ(primo.valore4, 0);
  EXPECT_EQ(m.cel(539).valore, 1800);
  EXPECT_EQ(m.cel(539).valore3, 2000);
  EXPECT_EQ(m.cel(539).valore4, 20);
  EXPECT_EQ(m.cel(543).valore4, 10);
}

TEST_F(LetturaScenario, SignBoards) {
  EXPECT_EQ(m.cel(49).tipo, tipo_cella::cartello);
  EXPECT_EQ(m.cel(49).valore, 80);
  EXPECT_EQ(m.voce(80).nome, "(  BIVIO   )(PELLEGRINO)");
  EXPECT_EQ(m.posa.indice_cartelli, 31);
  EXPECT_EQ(m.cel(1920).valore, 32);
  EXPECT_EQ(m.voce(32).nome, "(PERSOLINO)( 170 m.  )");
  EXPECT_EQ(m.voce(31).nome, "");
}

TEST_F(LetturaScenario, TrackPlanRows) {
  const tracciato_piano& t = m.tracciato;
  EXPECT_EQ(t.tipo(0), tipo_elemento::intero);
  EXPECT_EQ(t.tipo(1), tipo_elemento::intero);
  EXPECT_EQ(t.y(1), 1.0);
  for (int r : {2, 650}) {
    EXPECT_EQ(t.x(r), 0.0);
    EXPECT_EQ(t.y(r), r);
  }
  EXPECT_DOUBLE_EQ(t.x(651), 0.002);
  EXPECT_DOUBLE_EQ(t.y(651), 651.0);
  EXPECT_DOUBLE_EQ(t.x(652), 0.006);
  EXPECT_DOUBLE_EQ(t.y(652), 651.999996);
  EXPECT_NEAR(t.x(1200), 273.84, 0.005);
  EXPECT_NEAR(t.y(1200), 1095.55, 0.005);
  // the turn is first order, so the step grows a little on each turning row
  EXPECT_GT(std::hypot(t.x(1200) - t.x(1199), t.y(1200) - t.y(1199)), 1.0);
  EXPECT_EQ(t.tipo(107998), tipo_elemento::doppio);
  EXPECT_EQ(t.tipo(107999), tipo_elemento::vuoto);
  EXPECT_EQ(t.tipo(108000), tipo_elemento::vuoto);
  EXPECT_EQ(serializza_linea(m).size(), 20u * 101000 + 139964);
}

// The line description as the program's writer prints it, read from its file.
TEST(LetturaScenarioScritto, TheWritersFileIsReadWholeAndDeleted) {
  prova::sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("cartella", "Valdora_Tarvea", "5293");
  dati_linea(fs, nomi);
  ASSERT_TRUE(fs.esiste(nomi.descrizione_linea));
  sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
  modello m;
  m.nome_linea = "Valdora_Tarvea";
  m.numero_treno = "5293";
  m.scrivi_linea = 1;
  EXPECT_TRUE(leggi_descrizione_linea(m, sorgenti));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_FALSE(fs.esiste(nomi.descrizione_linea));
  EXPECT_EQ(m.ultima_cella, 2160);
  EXPECT_EQ(m.n_montagne, 49);
  EXPECT_EQ(m.posa.indice_cartelli, 31);
  EXPECT_DOUBLE_EQ(m.tracciato.x(652), 0.006);
  EXPECT_EQ(serializza_linea(m).size(), 20u * 101000 + 139964);
}

}  // namespace
}  // namespace scenario
