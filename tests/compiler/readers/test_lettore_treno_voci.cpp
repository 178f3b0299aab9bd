// Train reader: signals, slowdowns, abbattimento entries and the program's own file.
#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "test_lettore_treno_prova.hpp"

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
  ASSERT_FALSE(m.segnalazioni.empty());
  EXPECT_EQ(m.segnalazioni.back().posizione, 8600);
  EXPECT_EQ(m.segnalazioni.back().dove.riga, 3);
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

// The program's own train description, as its writer prints it.
std::string file_del_programma() {
  return righe({
      "[generale]",  // line 1
      "numero vetture,    5",
      "percentuale massa frenata,    120",
      "sabbia,    300",
      "orologio,    12              8             0 ",  // line 5 keeps its trailing blank
      "[aderenze]",
      "aderenza,   0,   100",
      "aderenza,    9900,    80",
      "aderenza,   11050,    90",
      "aderenza,   15900,    80",
      "aderenza,   19450,   100",
      "aderenza,   34850,    90",
      "aderenza,   40050,    80",
      "aderenza,   44400,    70",
      "aderenza,   47450,    85",
      "aderenza,   50300,    70",
      "aderenza,   54050,    85",
      "aderenza,   57450,    70",
      "aderenza,   58700,    85",
      "aderenza,   59550,    70",
      "aderenza,   60700,    85",
      "aderenza,   65850,   100",
      "aderenza,   76100,    80",
      "aderenza,   76400,   100",
      "[vel_limite]",
      "velocita,   0,    30",
      "velocita,     700,    65",
      "velocita,    1300,    80",
      "velocita,    2300,    60",
      "velocita,    2950,    65",
      "velocita,    4800,    90",
      "velocita,   14350,   100",
      "velocita,   20950,    90",
      "velocita,   23550,   120",
      "velocita,   28500,    90",
      "velocita,   29850,   120",
      "velocita,   34200,    75",
      "velocita,   64900,    30",
      "velocita,   65050,    75",
      "velocita,   66600,    90",
      "velocita,   70900,    95",
      "velocita,   73900,    90",
      "velocita,   75450,    95",
      "velocita,   83750,    90",
      "velocita,   89450,   135",
      "velocita,   96050,   105",
      "velocita,   98850,    85",
      "[stazioni]",
      "stazione,       0,  8,  500,  0, 0, 0,  1,1,0,  5,1,1,    1,  11,48, 0, VALDORA S.M.N.",
      "stazione,    2950, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, S.MARCO VECCHIO",
      "stazione,    3500, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, P.C. IL CIONFO",
      "stazione,    4100, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, SALVIATI",
      "stazione,    6700, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,  11,57, 0, PIAN DI MUGNONE",
      "stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, FIESOLE CALDINE",
      "stazione,   11500, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,  12, 8, 0, MIMMOLE",
      "stazione,   14200, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, MONTORSOLI",
      "stazione,   15700, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, CERCINA",
      "stazione,   19600, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, FONTEBUONA",
      "stazione,   22500, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   60,  12,19, 0, VAGLIA",
      "stazione,   26400, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,  12,24, 0, CAMPOMIGLIAIO",
      "stazione,   29650, 12,  300,  0, 0, 0,  1,1,0,  4,1,1,   60,  12,29, 0, S.PIERO A SIEVE",
      "stazione,   34400,  4,  500,  0, 0, 0,  1,1,0,  4,1,1,   60,  12,41, 0, BORGO S.LORENZO",
      "stazione,   37900, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, PANICAGLIA",
      "stazione,   43250, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   60,  12,52, 0, RONTA",
      "stazione,   49550, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, FORNELLO",
      "stazione,   56150, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   60,  13, 5, 0, CRESPINO DEL LAMONE",
      "stazione,   61300, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, FANTINO",
      "stazione,   64200, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,  13,13, 0, BIFORCO",
      "stazione,   66400,  4,  400,  1, 0, 0,  3,1,1,  2,1,1,   60,  13,20, 0, MARRADI P.S.SENIO",
      "stazione,   68400, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,  13,24, 0, POPOLANO",
      "stazione,   71900, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,  13,28, 0, S.MARTINO IN GATTARA",
      "stazione,   75750, 22,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,  13,32, 0, S.CASSIANO",
      "stazione,   78850, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,  13,36, 0, S.EUFEMIA",
      "stazione,   80450, 28,  200,  0, 0, 0,  0,0,0,  0,0,0,   30,  13,39, 0, STRADA CASALE",
      "stazione,   83750, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,  13,43, 0, FOGNANO",
      "stazione,   87750, 12,  400,  1, 0, 0,  4,1,1,  2,1,1,   60,  13,53, 0, BRISIGHELLA",
      "stazione,  100750,  2,  700,  1, 0, 0,  1,1,0,  2,1,1,    0,  14, 2, 0, TARVEA",
      "[rallentamenti]",
      "rallentamento,    5500,    50,  500, 0,  0,  0",
      "rallentamento,   50100,    30,  100, 0,  0,  0",
      "rallentamento,   95900,    50,  300, 0,  1,  0",
      "[segnali]",
      "segnale,    1250,   2, 3, 1,  0, 0,    2,  1,0,0, 0",
      "segnale,    2150,   2, 2, 4,  1, 1,    2,  1,1,0, 135",
      "segnale,    3000,   2, 4, 0,  0, 0,    2,  2,1,0, 0",
      "segnale,    3800,   2, 4, 0,  0, 0,    2,  2,1,0, 0",
      "segnale,    6900,   1, 5, 6,  0, 0,    0,  0,0,0, 0",
      "segnale,    7950,   2, 2, 3,  0, 1,    0,  0,0,0, 0",
      "segnale,   12050,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   13300,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   17850,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   19050,   2, 4, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   20900,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   21900,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   24600,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   25800,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   27850,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   29050,   2, 3, 1,  0, 0,    0,  0,0,0, 215",
      "segnale,   32600,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   33800,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   37500,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   38250,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   41600,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   42350,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   54300,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   55500,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   64100,   1, 5, 6,  0, 0,    0,  0,0,0, 0",
      "segnale,   65250,   2, 2, 3,  0, 1,    0,  0,0,0, 0",
      "segnale,   71000,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   72150,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   73850,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   75200,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   77800,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   78750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   82050,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   83050,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   84700,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   85800,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   86250,   1, 3, 1,  0, 0,    0,  0,0,0, 0",
      "segnale,   87250,   2, 2, 3,  0, 1,    0,  0,0,0, 220",
      "segnale,   90000,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   91000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
      "segnale,   98800,   1, 3, 4,  0, 0,    0,  0,0,0, 0",
      "segnale,   99800,   2, 2, 3,  0, 0,    0,  0,0,0, 0",
      "[codici]",
      "[fine]",  // 126, the last line
  });
}

TEST_F(LettoreTrenoVoci, TheProgramsOwnFileReadsCleanly) {
  // chainage records as the line reader leaves them for the program's line
  m.voce(81).inizio = 2450;
  m.voce(81).fine = 200;
  m.voce(82).fine = 314150;
  m.voce(82).posizione = 1;
  leggi_testo(file_del_programma());
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(m.segnalazioni.empty());
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
