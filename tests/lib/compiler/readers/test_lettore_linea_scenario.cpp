#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>
#include <iterator>
#include <string>
#include <string_view>

#include "compiler/model/codici.hpp"
#include "formato/file_binari.hpp"
#include "compiler/readers/lettore_linea.hpp"
#include "io/nomi_file.hpp"
#include "support/supporto.hpp"
#include "writers/scrittori.hpp"

namespace scenario {
namespace {

class LetturaScenario : public ::testing::Test {
 protected:
  // The program's own line description, as its writer prints it.
  void SetUp() override {
    dati_linea(fs, nomi);
    testo = fs.leggi(nomi.descrizione_linea);
    m.nome_linea = "Valdora_Tarvea";
    m.numero_treno = "5293";
    m.scrivi_linea = 1;
    prosegue = leggi_descrizione_linea(m, sorgenti);
  }
  prova::sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("cartella", "Valdora_Tarvea", "5293");
  sorgenti_su_file sorgenti{fs, nomi.descrizione_linea, nomi.descrizione_treno, true};
  std::string testo;
  raccolta_diagnostici r;
  modello m = con_raccolta(r);
  bool prosegue = false;
};

TEST_F(LetturaScenario, EveryLineIsAccepted) {
  EXPECT_TRUE(prosegue);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(r.tutti.empty());
  EXPECT_FALSE(fs.esiste(nomi.descrizione_linea));
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
  // each gradient row holds from its own cell up to the next row's cell
  std::vector<std::pair<int, int>> righe_pendenza;
  std::istringstream in(testo);
  for (std::string riga; std::getline(in, riga);) {
    int posizione = 0;
    int pendenza = 0;
    if (std::sscanf(riga.c_str(), "pendenza, %d, %d", &posizione, &pendenza) == 2) {
      righe_pendenza.emplace_back(posizione / 50, pendenza);
    }
  }
  ASSERT_EQ(righe_pendenza.size(), 86u);
  righe_pendenza.emplace_back(2158, 0);
  for (std::size_t k = 0; k + 1 < righe_pendenza.size(); ++k) {
    for (int c = righe_pendenza[k].first; c < righe_pendenza[k + 1].first; ++c) {
      ASSERT_EQ(m.cel(c).pendenza, righe_pendenza[k].second + 100) << "cell " << c;
    }
  }
  for (int c = 2158; c <= 2160; ++c) EXPECT_EQ(m.cel(c).pendenza, 0) << "cell " << c;
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

}  // namespace
}  // namespace scenario
