// Train reader: layout, header values, speed and adhesion fills, stations.
#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "test_lettore_treno_prova.hpp"

namespace scenario::prova {
namespace {

using LettoreTrenoCampi = LettoreTreno;
using LettoreTrenoStazioni = LettoreTreno;

TEST_F(LettoreTrenoCampi, HeaderValuesGoToTheirRecords) {
  leggi({"numero vetture,    5", "percentuale massa frenata,    120", "sabbia,    300",
         "orologio,    12              8             0 "});
  EXPECT_EQ(m.voce(84).inizio, 120);
  EXPECT_EQ(m.voce(84).posizione, 5);
  EXPECT_EQ(m.voce(86).campo_7, 300);
  EXPECT_EQ(m.voce(86).campo_10, 12);
  EXPECT_EQ(m.voce(86).campo_11, 8);
  EXPECT_EQ(m.voce(86).campo_12, 0);
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoCampi, SampleSpeedsFillUpToThreeCellsBeforeTheLast) {
  percorso(200);
  leggi({"velocita,   0,    30", "velocita,     700,    65"});
  for (int c = 0; c <= 13; ++c) EXPECT_EQ(m.cel(c).vel_limite, 6) << c;
  EXPECT_EQ(m.cel(14).vel_limite, 13);
  EXPECT_EQ(m.cel(197).vel_limite, 13);
  EXPECT_EQ(m.cel(198).vel_limite, 0);
  EXPECT_EQ(m.cel(199).vel_limite, 0);
  EXPECT_EQ(m.cel(200).vel_limite, 0);
}

TEST_F(LettoreTrenoCampi, FillsWriteAtLeastTheCursorCell) {
  percorso(200);
  leggi({"VELOCITA,   0,    30", "velocita,    9900,    65", "aderenza,    9900,    80"});
  EXPECT_EQ(m.cel(197).vel_limite, 6);
  EXPECT_EQ(m.cel(198).vel_limite, 13);  // the cursor stood there
  EXPECT_EQ(m.cel(199).vel_limite, 0);
  EXPECT_EQ(m.cel(198).aderenza, 80);
  EXPECT_EQ(m.cel(199).aderenza, 0);
}

TEST_F(LettoreTrenoCampi, OutOfOrderEntriesStillAdvanceOneCell) {
  percorso(200);
  leggi({"velocita,   0,    30", "velocita,     700,    65", "velocita,     300,    80"});
  EXPECT_EQ(m.cel(13).vel_limite, 6);
  EXPECT_EQ(m.cel(14).vel_limite, 13);
  EXPECT_EQ(m.cel(15).vel_limite, 16);
}

TEST_F(LettoreTrenoCampi, RepeatedEntriesNearTheEndStopAtTheLastCell) {
  percorso(200);
  leggi({"aderenza,    9900,    80", "aderenza,    9900,    80", "aderenza,    9900,    80",
         "aderenza,    9900,    80", "aderenza,    9900,    80", "velocita,    9900,    80",
         "velocita,    9900,    80", "velocita,    9900,    80", "velocita,    9900,    80"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.cel(200).aderenza, 80);
  EXPECT_EQ(m.cel(200).vel_limite, 16);
}

TEST_F(LettoreTrenoCampi, AdhesionTakesTheLowByte) {
  percorso(200);
  leggi({"aderenza,   0,   100", "aderenza,     700,   300"});
  EXPECT_EQ(m.cel(13).aderenza, 100);
  EXPECT_EQ(m.cel(14).aderenza, 44);
  EXPECT_EQ(m.cel(197).aderenza, 44);
  EXPECT_EQ(m.cel(198).aderenza, 0);
}

TEST_F(LettoreTrenoCampi, ValuesBeforeTheFirstEntryAreZero) {
  percorso(200);
  leggi({"velocita,    1000,    65"});
  EXPECT_EQ(m.cel(0).vel_limite, 0);
  EXPECT_EQ(m.cel(19).vel_limite, 0);
  EXPECT_EQ(m.cel(20).vel_limite, 13);
}

TEST_F(LettoreTrenoCampi, SpeedBeyondTheRouteStopsButStillFills) {
  percorso(200);
  leggi({"velocita,   0,    30", "velocita,    9900,    65", "velocita,    9901,    80", "velocita,   0,   100"});
  EXPECT_EQ(m.codice_errore, codice::oltre_percorso);
  EXPECT_EQ(m.posizione_errore, 9901);
  EXPECT_EQ(m.cel(198).vel_limite, 13);  // filled with the last speed read before
  EXPECT_TRUE(s.treno_eliminato);
  ASSERT_FALSE(r.tutti.empty());
  EXPECT_EQ(r.tutti.back().dove.regione.inizio.riga, 4);
}

TEST_F(LettoreTrenoCampi, SpeedStepAbove255IsARunTimeFailure) {
  percorso(200);
  EXPECT_NO_THROW(leggi({"velocita,   0,  1277", "velocita,     700,    65"}));
  EXPECT_EQ(m.cel(0).vel_limite, 255);
  percorso(200);
  EXPECT_THROW(leggi({"velocita,   0,  1278", "velocita,     700,    65"}), errore_esecuzione);
}

TEST_F(LettoreTrenoCampi, NumbersThatDoNotFitOrAreNotNumbersFail) {
  EXPECT_THROW(leggi({"velocita,     7OO,    65"}), errore_esecuzione);
  EXPECT_THROW(leggi({"sabbia,    40000"}), errore_esecuzione);
  EXPECT_THROW(leggi({"numero vetture,    2147483648"}), errore_esecuzione);
  s.treno.reset();
  EXPECT_THROW(leggi_descrizione_treno(m, s), errore_esecuzione);
}

TEST_F(LettoreTrenoCampi, CommentFieldsSkipAtMostTwo) {
  percorso(200);
  leggi({"velocita,   0,    30", "- uno", "- due", "- velocita,     700,    65"});
  EXPECT_EQ(m.cel(13).vel_limite, 6);
  EXPECT_EQ(m.cel(14).vel_limite, 13);

  percorso(200);
  leggi({"velocita,   0,    30", "- uno", "- velocita,     700,    65"});
  EXPECT_EQ(m.cel(14).vel_limite, 6);
}

TEST_F(LettoreTrenoCampi, AnEntryAfterACommentIsIgnoredWhenItIsTheLastField) {
  percorso(200);
  leggi_testo("[generale]\r\nvelocita,   0,    30\r\n- nota, sabbia");
  EXPECT_EQ(m.voce(86).campo_7, 0);
  EXPECT_EQ(m.cel(197).vel_limite, 6);  // the end-of-file steps still ran
  EXPECT_TRUE(s.treno_eliminato);

  percorso(200);
  leggi_testo("[generale]\r\n- uno, - due, sabbia");
  EXPECT_EQ(m.voce(86).campo_7, 0);
  EXPECT_EQ(m.codice_errore, 0);
}

TEST_F(LettoreTrenoCampi, SectionHeadersAreNotEntries) {
  leggi({"[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]", "[segnali]", "[codici]"});
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(celle_scritte(m).empty());
}

TEST_F(LettoreTrenoCampi, NothingIsReadBeforeTheStartMarker) {
  percorso(200);
  m.voce(81).inizio = 25;
  leggi_testo(righe({"velocita,   0,    30", "velocita,     700,    65", "[fine]"}));
  EXPECT_TRUE(celle_scritte(m).empty());
  EXPECT_EQ(m.codice_errore, codice::progressive_non_multiple);
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoCampi, AKeywordAsTheLastFieldIsIgnored) {
  percorso(200);
  EXPECT_NO_THROW(leggi_testo(righe({"[generale]", "velocita,   0,    30", "velocita"})));
  EXPECT_EQ(m.cel(197).vel_limite, 6);
  EXPECT_THROW(leggi_testo(""), errore_esecuzione);
}

TEST_F(LettoreTrenoStazioni, Type12At8550) {
  leggi({"stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, FIESOLE CALDINE"});
  const voce_tabella& r = m.voce(1);
  EXPECT_EQ(std::make_tuple(r.tipo, r.inizio, r.fine, r.posizione),
            std::make_tuple(uint8_t{12}, 8400, 8700, 8550));
  EXPECT_EQ(std::make_tuple(r.campo_4, r.campo_7, r.campo_8, r.campo_9, r.campo_10, r.campo_11, r.campo_12),
            std::make_tuple(uint8_t{1}, int16_t{4}, int16_t{1}, uint8_t{1}, int16_t{2}, int16_t{1}, int16_t{1}));
  EXPECT_EQ(r.sosta, 60);
  EXPECT_EQ(r.orario, 12 * 3600 + 4 * 60);
  EXPECT_EQ(r.nome, "FIESOLE CALDINE");
  EXPECT_EQ(m.cel(173).tipo, tipo_cella::stazione);
  EXPECT_EQ(m.cel(173).valore, 1);
  EXPECT_EQ(m.cel(172).avvicinamento, 81);
  EXPECT_EQ(m.cel(169).avvicinamento, 84);
  EXPECT_EQ(celle_scritte(m), (std::vector<int>{169, 170, 171, 172, 173}));
  EXPECT_EQ(m.codice_errore, 0);
}

TEST_F(LettoreTrenoStazioni, FirstStationLosesFields5And6AfterItsStretch) {
  leggi({"stazione,    8550, 12,  600,  1, 1, 1,  4,1,1,  2,1,1,   60,  12, 4, 0, FIESOLE CALDINE"});
  EXPECT_EQ(m.voce(1).fine, 8900);
  EXPECT_EQ(m.voce(1).campo_5, 0);
  EXPECT_EQ(m.voce(1).campo_6, 0);
}

TEST_F(LettoreTrenoStazioni, EndExtensionMovesTheMarksOneCell) {
  leggi({"stazione,       0,  8,  500,  0, 0, 0,  1,1,0,  5,1,1,    1,  11,48, 0, VALDORA S.M.N.",
         "stazione,    8550, 12,  300,  1, 1, 1,  4,1,1,  2,1,1,   60,  12, 4, 0, FIESOLE CALDINE"});
  EXPECT_EQ(m.voce(2).campo_5, 0);  // shorter than 600 m
  EXPECT_EQ(m.voce(2).campo_6, 1);
  EXPECT_EQ(m.voce(2).fine, 8750);
  EXPECT_EQ(m.cel(174).tipo, tipo_cella::stazione);
  EXPECT_EQ(m.cel(173).avvicinamento, 81);
  EXPECT_EQ(m.cel(170).avvicinamento, 84);
  EXPECT_EQ(m.cel(169).avvicinamento, 0);
}

TEST_F(LettoreTrenoStazioni, StretchRulesByType) {
  leggi({"stazione,    8550,  5,  300,  1, 0, 1,  4,1,1,  2,1,1,   60,  12, 4, 0, A"});
  EXPECT_EQ(m.voce(1).inizio, 8250);
  EXPECT_EQ(m.voce(1).fine, 8700);
  EXPECT_EQ(celle_scritte(m), (std::vector<int>{173}));  // no approach marks

  percorso(2160);
  leggi({"stazione,       0, 27,  500,  0, 0, 0,  1,1,0,  5,1,1,    1,  11,48, 0, A",
         "stazione,    8550,  7,  300,  1, 0, 1,  4,1,1,  2,1,1,   60,  12, 4, 0, B"});
  EXPECT_EQ(m.voce(2).inizio, 8250);
  EXPECT_EQ(m.voce(2).fine, 8850);
  EXPECT_EQ(m.voce(2).campo_6, 0);
  EXPECT_EQ(celle_scritte(m), (std::vector<int>{172, 173, 174, 175, 176}));

  percorso(2160);
  leggi({"stazione,    8550, 27,  300,  1, 0, 1,  4,1,1,  2,1,1,   60,  12, 4, 0, C"});
  EXPECT_EQ(m.voce(1).inizio, 8400);
  EXPECT_EQ(m.voce(1).fine, 8750);
  EXPECT_TRUE(celle_scritte(m).empty());
}

TEST_F(LettoreTrenoStazioni, FirstStationOfTheProgramFile) {
  leggi({"stazione,       0,  8,  500,  0, 0, 0,  1,1,0,  5,1,1,    1,  11,48, 0, VALDORA S.M.N."});
  const voce_tabella& r = m.voce(1);
  EXPECT_EQ(r.inizio, -500);
  EXPECT_EQ(r.fine, 500);
  EXPECT_EQ(r.campo_5, 0);
  EXPECT_EQ(r.campo_6, 0);
  EXPECT_EQ(r.orario, 42480);
  EXPECT_EQ(r.nome, "VALDORA S.M.N.");
  EXPECT_EQ(m.cel(9).tipo, tipo_cella::stazione);
  EXPECT_EQ(m.cel(9).valore, 1);
  EXPECT_EQ(m.cel(8).avvicinamento, 81);
  EXPECT_EQ(m.cel(5).avvicinamento, 84);
}

TEST_F(LettoreTrenoStazioni, PositionAndLengthMustBeRound) {
  leggi({"velocita,   0,    30", "stazione,    8525, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, A",
         "sabbia,    300"});
  EXPECT_EQ(m.codice_errore, codice::stazione_posizione);
  EXPECT_EQ(m.posizione_errore, 8525);
  EXPECT_EQ(m.voce(1).tipo, 0);  // read no further
  EXPECT_EQ(m.voce(86).campo_7, 0);
  EXPECT_EQ(m.cel(0).vel_limite, 0);  // no fills
  EXPECT_TRUE(s.treno_eliminato);

  percorso(2160);
  m.voce(1) = {};
  leggi({"stazione,    8550, 12,  250,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, A"});
  EXPECT_EQ(m.codice_errore, codice::stazione_lunghezza);
  EXPECT_EQ(m.posizione_errore, 8550);
  EXPECT_EQ(m.voce(1).tipo, 12);
  EXPECT_EQ(m.voce(1).campo_4, 0);
}

TEST_F(LettoreTrenoStazioni, StationsNeed350MetresBetweenThem) {
  leggi({"stazione,    2950, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, S.MARCO VECCHIO",
         "stazione,    3500, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, P.C. IL CIONFO"});
  EXPECT_EQ(m.codice_errore, 0);

  percorso(2160);
  m.codice_errore = 0;
  leggi({"stazione,    2950, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, S.MARCO VECCHIO",
         "stazione,    3450, 12,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, P.C. IL CIONFO"});
  EXPECT_EQ(m.codice_errore, codice::stazioni_vicine);
  EXPECT_EQ(m.posizione_errore, 3450);
  EXPECT_EQ(m.cel(70).tipo, tipo_cella::stazione);  // the marks come before the test
}

TEST_F(LettoreTrenoStazioni, StationMarkAtCellOneOrBelow) {
  m.posizione_errore = 777;
  leggi({"stazione,       0, 12,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, A"});
  EXPECT_EQ(m.codice_errore, codice::stazione_inizio_linea);
  EXPECT_EQ(m.posizione_errore, 777);
  EXPECT_TRUE(celle_scritte(m).empty());
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoStazioni, StationsStayBelowTheSignTexts) {
  m.posa.indice_cartelli = 3;
  leggi({"stazione,    2950, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, A",
         "stazione,    3500, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, B",
         "stazione,    4100, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, C"});
  EXPECT_EQ(m.codice_errore, codice::troppe_stazioni);
  EXPECT_EQ(m.voce(2).nome, "B");  // stored before the test
  EXPECT_EQ(m.voce(3).nome, "");
  EXPECT_EQ(m.posizione_errore, 0);
}

TEST_F(LettoreTrenoStazioni, AStationNeverOverwritesASignText) {
  m.posa.indice_cartelli = 0;  // sign texts fill records 1 to 80
  m.voce(1).nome = "(SALVIATI)";
  leggi({"stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, A"});
  EXPECT_EQ(m.codice_errore, codice::troppe_stazioni);
  EXPECT_EQ(m.voce(1).nome, "(SALVIATI)");
  EXPECT_EQ(m.voce(1).posizione, 0);
  EXPECT_TRUE(celle_scritte(m).empty());

  percorso(2160);
  m.posa.indice_cartelli = 1;  // record 1 is still free
  m.voce(1) = {};
  leggi({"stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, A"});
  EXPECT_EQ(m.codice_errore, codice::troppe_stazioni);
  EXPECT_EQ(m.voce(1).nome, "A");
}

TEST_F(LettoreTrenoStazioni, StationBeyondTheRouteStillFillsAndChecks) {
  percorso(200);
  m.voce(82).fine = 201;
  leggi({"velocita,   0,    30", "stazione,    9200, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, A",
         "stazione,    9250, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, B"});
  EXPECT_EQ(m.codice_errore, codice::progressive_non_multiple);  // replaces the 15
  EXPECT_EQ(m.posizione_errore, 9250);
  ASSERT_GE(r.tutti.size(), 2u);
  EXPECT_EQ(r.tutti[r.tutti.size() - 2].codice, codice::oltre_percorso);
  EXPECT_EQ(m.cel(0).vel_limite, 6);
  EXPECT_EQ(m.voce(1).nome, "A");
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoStazioni, MarksBeyondTheLastCellAreRefused) {
  percorso(200);
  leggi({"stazione,    1000, 12,  100000,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, A"});
  EXPECT_EQ(m.codice_errore, codice::stazione_fuori);
  EXPECT_EQ(m.posizione_errore, 1000);
  EXPECT_TRUE(celle_scritte(m).empty());
  EXPECT_TRUE(s.treno_eliminato);
}

TEST_F(LettoreTrenoStazioni, SumsThatDoNotFitALongFail) {
  EXPECT_THROW(leggi({"stazione,    1000,  7,  2147483600,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, A"}),
               errore_esecuzione);
  EXPECT_THROW(leggi({"stazione,    1000, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   1000000, 0, 0, A"}),
               errore_esecuzione);
  EXPECT_THROW(leggi({"stazione,    1000, 256,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, A"}),
               errore_esecuzione);
}

}  // namespace
}  // namespace scenario::prova
