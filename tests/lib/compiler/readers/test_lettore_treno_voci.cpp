// Train reader: signals, slowdowns, abbattimento entries and the program's own file.
#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "support/testo_scritto.hpp"
#include "test_lettore_treno_prova.hpp"
#include "writers/scrittori.hpp"

namespace scenario::prova {
namespace {

using LettoreTrenoVoci = LettoreTreno;

TEST_F(LettoreTrenoVoci, SignalValuesReachThePlacementInFileOrder) {
  leggi({"segnale,    2150,   2, 2, 4,  1, 1,    2,  1,1,0, 135",
         "segnale,   12050,   2, 4, 1,  0, 0,    0,  0,0,0, 50"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cel(44).tipo, tipo_cella::segnale);
  EXPECT_EQ(std::make_tuple(m.cel(44).valore, m.cel(44).valore2, m.cel(44).valore3, m.cel(44).valore4),
            std::make_tuple(int16_t{21}, int16_t{41}, int16_t{10}, int16_t{18}));
  EXPECT_EQ(m.cel(44).tempo, 135);
  EXPECT_EQ(m.cel(42).avvicinamento, 81);
  EXPECT_EQ(m.cel(242).tempo, 101);
}

TEST_F(LettoreTrenoVoci, SignalOnAStationMarkStopsTheReading) {
  leggi({"stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, FIESOLE CALDINE",
         "segnale,    8600,   1, 5, 6,  0, 0,    0,  0,0,0, 0", "sabbia,    300",
         "segnale,    9600,   1, 5, 6,  0, 0,    0,  0,0,0, 0"});
  EXPECT_EQ(m.codice_errore, codice::segnale_occupato);
  EXPECT_EQ(m.posizione_errore, 8600);
  EXPECT_EQ(m.voce(86).campo_7, 0);
  EXPECT_EQ(m.cel(193).tipo, 0);
  EXPECT_TRUE(s.treno_eliminato);
  ASSERT_FALSE(r.tutti.empty());
  EXPECT_EQ(r.tutti.back().posizione, 8600);
  EXPECT_EQ(r.tutti.back().dove.regione.inizio.riga, 3);
}

TEST_F(LettoreTrenoVoci, SignalBoundTest) {
  leggi({"segnale,  107900,   1, 5, 6,  0, 0,    0,  0,0,0, 0"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cel(2159).tipo, tipo_cella::segnale);
  leggi({"segnale,  107901,   1, 5, 6,  0, 0,    0,  0,0,0, 0"});
  EXPECT_EQ(m.codice_errore, codice::oltre_percorso);
  EXPECT_EQ(m.posizione_errore, 107901);
}

TEST_F(LettoreTrenoVoci, SignalTooNearTheStart) {
  leggi({"velocita,   0,    30", "segnale,     300,   1, 5, 6,  0, 0,    0,  0,0,0, 0"});
  EXPECT_EQ(m.codice_errore, codice::avvicinamento_prima_inizio);
  EXPECT_EQ(m.posizione_errore, 300);
  EXPECT_TRUE(celle_scritte(m).empty());
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoVoci, Slowdowns) {
  leggi({"rallentamento,    5500,    50,  500, 0,  0,  0", "rallentamento,    1500,    30,  100, 0,  1,  0",
         "rallentamento,   95900,    50,  300, 0,  1,  0"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(celle_scritte(m), (std::vector<int>{31, 33, 87, 111, 121, 1891, 1892, 1893, 1894, 1895, 1919, 1925}));
  EXPECT_EQ(m.cel(1894).valore, 1);
  EXPECT_EQ(m.cel(1895).tipo, tipo_cella::avviso_rallentamento);
}

TEST_F(LettoreTrenoVoci, SlowdownRefusalsRecordThePosition) {
  leggi({"rallentamento,    5500,    50,  500, 0,  0,  0", "rallentamento,    4900,    50,  600, 0,  1,  0",
         "sabbia,    300"});
  EXPECT_EQ(m.codice_errore, codice::fine_occupato);  // its end is the first one's start
  EXPECT_EQ(m.posizione_errore, 4900);
  EXPECT_EQ(celle_scritte(m), (std::vector<int>{87, 111, 121}));
  EXPECT_EQ(m.voce(86).campo_7, 0);
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoVoci, SlowdownOutsideTheRoute) {
  percorso(200);
  leggi({"rallentamento,    9800,    50, 1000, 0,  0,  0"});
  EXPECT_EQ(m.codice_errore, codice::rallentamento_fuori);
  EXPECT_EQ(m.posizione_errore, 9800);
  EXPECT_TRUE(celle_scritte(m).empty());
}

TEST_F(LettoreTrenoVoci, Abbattimento) {
  m.cel(22).tipo = tipo_cella::marcatore_montagna;
  m.cel(20).valore = 7;
  leggi({"abbattimento,    1025,     0", "abbattimento,    1075,   180", "abbattimento,    1200,    70000"});
  EXPECT_EQ(m.cel(20).tipo, tipo_cella::abbattimento_nullo);  // round(20.5) = 20
  EXPECT_EQ(m.cel(20).valore, 7);
  EXPECT_EQ(m.cel(22).tipo, tipo_cella::abbattimento);  // round(21.5) = 22
  EXPECT_EQ(m.cel(22).valore, 180);
  EXPECT_EQ(m.cel(24).valore, int16_t(70000 - 65536));
  EXPECT_EQ(m.codice_errore, 0);
}

TEST_F(LettoreTrenoVoci, AbbattimentoOnATakenCell) {
  leggi({"velocita,   0,    30", "segnale,    1250,   2, 3, 1,  0, 0,    2,  1,0,0, 0",
         "abbattimento,    1300,   180"});
  EXPECT_EQ(m.codice_errore, codice::abbattimento_occupato);
  EXPECT_EQ(m.posizione_errore, 1300);
  EXPECT_EQ(m.cel(26).tipo, tipo_cella::segnale);
  EXPECT_EQ(m.cel(0).vel_limite, 0);
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoVoci, AbbattimentoBeforeTheFirstCell) {
  leggi({"abbattimento,    -500,   180"});
  EXPECT_EQ(m.codice_errore, codice::abbattimento_fuori);
  EXPECT_EQ(m.posizione_errore, -500);
  EXPECT_TRUE(celle_scritte(m).empty());
}

TEST_F(LettoreTrenoVoci, ALineReaderCode15DoesNotStopTheTrainReader) {
  m.codice_errore = codice::oltre_percorso;
  m.posizione_errore = 107901;
  leggi({"velocita,   0,    30", "segnale,    1250,   2, 3, 1,  0, 0,    2,  1,0,0, 0",
         "rallentamento,    5500,    50,  500, 0,  0,  0", "segnale,    2150,   2, 2, 4,  1, 1,    2,  1,1,0, 135",
         "sabbia,    300"});
  EXPECT_EQ(m.codice_errore, codice::oltre_percorso);
  EXPECT_EQ(m.posizione_errore, 107901);
  EXPECT_EQ(m.cel(44).tipo, tipo_cella::segnale);
  EXPECT_EQ(m.cel(111).tipo, tipo_cella::inizio_rallentamento);
  EXPECT_EQ(m.voce(86).campo_7, 300);
  EXPECT_EQ(m.cel(2157).vel_limite, 6);
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoVoci, TheProgramsOwnFileReadsCleanly) {
  // chainage records as the line reader leaves them for the program's line
  m.voce(81).inizio = 2450;
  m.voce(81).fine = 200;
  m.voce(82).fine = 314150;
  m.voce(82).posizione = 1;
  m.voce(84).fine = 101000;  // the route length, as the line gives it
  // the program's own train description, as its writer prints it
  leggi_testo(scrivi_in_memoria(dati_treno, &nomi_file::descrizione_treno).contenuto);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(r.tutti.empty());
  EXPECT_TRUE(s.treno_eliminato);

  EXPECT_EQ(m.voce(84).inizio, 120);
  EXPECT_EQ(m.voce(84).posizione, 5);
  EXPECT_EQ(m.voce(86).campo_7, 300);
  EXPECT_EQ(m.voce(86).campo_10, 12);
  EXPECT_EQ(m.voce(1).nome, "VALDORA S.M.N.");
  EXPECT_EQ(m.voce(6).nome, "FIESOLE CALDINE");
  EXPECT_EQ(m.voce(29).nome, "TARVEA");
  EXPECT_EQ(m.voce(29).fine, 101100);
  EXPECT_EQ(m.voce(29).orario, 14 * 3600 + 2 * 60);
  EXPECT_EQ(m.voce(30).nome, "");
  EXPECT_EQ(m.cel(9).valore, 1);
  EXPECT_EQ(m.cel(173).valore, 6);
  EXPECT_EQ(m.cel(2021).tipo, tipo_cella::stazione);
  EXPECT_EQ(m.cel(2021).valore, 29);

  EXPECT_EQ(m.cel(87).tipo, tipo_cella::avviso_rallentamento);
  EXPECT_EQ(m.cel(1003).tipo, tipo_cella::inizio_rallentamento);  // 50100 m
  EXPECT_EQ(m.cel(1891).tipo, tipo_cella::prima_avviso);
  EXPECT_EQ(m.cel(44).tempo, 135);
  EXPECT_EQ(m.cel(582).tempo, 215);  // 29050 m
  EXPECT_EQ(m.cel(1746).tempo, 220);  // 87250 m
  EXPECT_EQ(m.cel(1997).tipo, tipo_cella::segnale);  // 99800 m, the last one

  EXPECT_EQ(m.cel(0).vel_limite, 6);
  EXPECT_EQ(m.cel(14).vel_limite, 13);
  EXPECT_EQ(m.cel(2157).vel_limite, 17);
  EXPECT_EQ(m.cel(2158).vel_limite, 0);
  EXPECT_EQ(m.cel(0).aderenza, 100);
  EXPECT_EQ(m.cel(198).aderenza, 80);
  EXPECT_EQ(m.cel(887).aderenza, 80);
  EXPECT_EQ(m.cel(888).aderenza, 70);  // from 44400 m
  EXPECT_EQ(m.cel(2157).aderenza, 100);
}

}  // namespace
}  // namespace scenario::prova
