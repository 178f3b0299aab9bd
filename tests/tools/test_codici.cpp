// One planted fault per reader and per placement rule: the message must name
// the file, the line and column of the entry (or of its field at fault), its
// keyword, its position and what was written.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/tools/aiuto_compila.hpp"

namespace scenario::prova {
namespace {

enum class quale { linea, treno, nessuno };

struct caso {
  const char* nome;
  std::optional<righe_file> linea;
  std::optional<righe_file> treno;
  int32_t codice;
  quale file;
  int32_t riga;                       // 0: not checked
  const char* parola;                 // nullptr: not checked
  std::optional<int32_t> posizione;   // checked when set
  const char* nel_testo = nullptr;    // a piece of the detail, when set
  int32_t colonna = 0;                // 0: not checked
};

// Test names show the case, not its bytes.
void PrintTo(const caso& c, std::ostream* os) { *os << c.nome; }

std::vector<caso> casi() {
  const righe_file L = linea_base();
  const righe_file T = treno_base();
  std::vector<caso> c;
  // line reader
  c.push_back({"linea_mancante", std::nullopt, T, 101, quale::linea, 0, nullptr, std::nullopt});
  c.push_back({"generale_mancante", righe_file{"lunghezza percorso, 10000", "[fine]"}, T, 102, quale::linea, 0,
               nullptr, std::nullopt});
  c.push_back({"lunghezza", cambia(L, 2, "lunghezza percorso,    1000001"), T, 1, quale::linea, 2,
               "lunghezza percorso", std::nullopt});
  c.push_back({"ripetizione_codici", cambia(L, 9, "ripetizione segnali codici,    0    ,0"), T, 5, quale::linea, 9,
               "ripetizione segnali codici", std::nullopt});
  c.push_back({"curva", cambia(L, 11, "curvad7,  650,  550"), T, 103, quale::linea, 11, "curvad7", std::nullopt});
  c.push_back({"oltre_percorso_linea", cambia(L, 14, "pendenza,  20000,   6"), T, 15, quale::linea, 14, "pendenza",
               20000});
  c.push_back({"numero_40_cifre", cambia(L, 2, "lunghezza percorso, 1234567890123456789012345678901234567890"), T,
               25, quale::linea, 2, "lunghezza percorso", std::nullopt,
               "the route length (m): 1234567890123456789012345678901234567890 is out of range (accepted: whole "
               "numbers from -2147483648 to 2147483647)",
               21});
  c.push_back({"lunghezza_negativa", cambia(L, 2, "lunghezza percorso, -101000"), T, 25, quale::linea, 2,
               "lunghezza percorso", std::nullopt, "route length -101000 m is negative (accepted: 0 to 1000000 m)"});
  c.push_back({"senza_lunghezza", cambia(L, 2, "sfondo uno,    65650"), T, 25, quale::linea, 1, "[generale]",
               std::nullopt, "no 'lunghezza percorso' entry", 1});
  c.push_back({"nul_nel_testo", cambia(L, 2, std::string("lunghezza percorso, 10\0" "00", 25)), T, 25, quale::linea, 2,
               "lunghezza percorso", std::nullopt, "'10\\x0000' is not a whole number", 21});
  // line feature placement
  c.push_back({"cartello_occupato", inserisci(L, 19, "cartello_indicatore,  700,   (DOPPIO)"), T, 6, quale::linea, 19,
               "cartello_indicatore", 700});
  c.push_back({"indicatori_occupati", inserisci(L, 18, "cartello_indicatore,  700,   (PRIMA)"), T, 21, quale::linea,
               19, "indicatori_vmax", 700});
  // train reader
  c.push_back({"stazione_posizione", L,
               cambia(T, 13, "stazione,    8525, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, FIESOLE"), 8,
               quale::treno, 13, "stazione", 8525});
  c.push_back({"stazione_lunghezza", L,
               cambia(T, 13, "stazione,    8550, 12,  250,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, FIESOLE"), 9,
               quale::treno, 13, "stazione", 8550});
  c.push_back({"stazioni_vicine", L,
               cambia(T, 13, "stazione,    700, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, VICINA"), 22,
               quale::treno, 13, "stazione", 700});
  c.push_back({"stazione_inizio_linea", L,
               cambia(T, 12, "stazione,    0, 12,  100,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, VALDORA"), 24,
               quale::treno, 12, "stazione", std::nullopt});
  c.push_back({"abbattimento_occupato", L, inserisci(T, 18, "abbattimento,  2200,  180"), 7, quale::treno, 18,
               "abbattimento", 2200});
  c.push_back({"oltre_percorso_treno", L, cambia(T, 10, "velocita,     16950,    65"), 15, quale::treno, 10,
               "velocita", 16950, nullptr, 1});
  c.push_back({"numero_non_valido", L, cambia(T, 9, "velocita,   abc,    30"), 25, quale::treno, 9, "velocita",
               std::nullopt, "the position (m): 'abc' is not a whole number", 13});
  c.push_back({"velocita_enorme", L, cambia(T, 10, "velocita,     700,    1280"), 25, quale::treno, 10, "velocita",
               std::nullopt, "the speed 1280 km/h does not fit a cell (accepted: 0 to 1275 km/h", 23});
  c.push_back({"campo_mancante", L, cambia(T, 10, "velocita,     700"), 25, quale::treno, 11, "velocita",
               std::nullopt, "the speed (km/h): '[stazioni]' is not a whole number", 1});
  // slowdown and signal placement
  c.push_back({"segnale_occupato", L, inserisci(T, 18, "segnale,    2150,   1, 5, 6,  0, 0,    0,  0,0,0, 0"), 16,
               quale::treno, 18, "segnale", 2150});
  c.push_back({"avviso_occupato", L, inserisci(T, 18, "rallentamento,    3350,    50,  300, 0,  0,  0"), 17,
               quale::treno, 18, "rallentamento", 3350});
  c.push_back({"inizio_occupato", L, inserisci(T, 18, "rallentamento,    2150,    50,  300, 0,  0,  0"), 18,
               quale::treno, 18, "rallentamento", 2150});
  c.push_back({"fine_occupata", L, inserisci(T, 15, "segnale,    6000,   1, 5, 6,  0, 0,    0,  0,0,0, 0"), 19,
               quale::treno, 16, "rallentamento", 5500});
  c.push_back({"prima_avviso_occupato", L, inserisci(T, 18, "rallentamento,    3450,    50,  300, 0,  1,  0"), 20,
               quale::treno, 18, "rallentamento", 3450});
  // after the train file
  c.push_back({"progressive", cambia(L, 4, "progressiva chilometrica due,    2455,    200,    0"), T, 2, quale::linea,
               4, "progressiva chilometrica due", std::nullopt, "the start 2455 m", 1});
  // finishing pass: the near group before the slowdown start (cell 111) is full of signals
  righe_file gruppo = T;
  gruppo = inserisci(gruppo, 18, "segnale,    5150,   1, 5, 6,  0, 0,    0,  0,0,0, 0");
  gruppo = inserisci(gruppo, 18, "segnale,    5200,   1, 5, 6,  0, 0,    0,  0,0,0, 0");
  gruppo = inserisci(gruppo, 18, "segnale,    5250,   1, 5, 6,  0, 0,    0,  0,0,0, 0");
  c.push_back({"finitura_gruppo", L, gruppo, 12, quale::treno, 15, "rallentamento", 5550,
               "finishing pass: no free cell", 1});
  return c;
}

class codici_compila : public ::testing::TestWithParam<caso> {};

TEST_P(codici_compila, il_messaggio_indica_file_riga_parola_e_posizione) {
  const caso& c = GetParam();
  const cartella_compila cartella(c.linea ? std::optional(testo_di(*c.linea)) : std::nullopt,
                                  c.treno ? std::optional(testo_di(*c.treno)) : std::nullopt);
  const esito_compila e = cartella.compila_qui();
  SCOPED_TRACE(tutti(e));
  EXPECT_EQ(e.uscita, uscita_compila::errori_dati);
  const std::optional<messaggio> m = con_codice(e, c.codice);
  ASSERT_TRUE(m);

  std::string file;
  if (c.file == quale::linea) file = (cartella.percorso() / file_linea_prova).string();
  if (c.file == quale::treno) file = (cartella.percorso() / file_treno_prova).string();
  EXPECT_EQ(m->file, file);
  if (c.riga > 0) {
    EXPECT_EQ(m->riga, c.riga);
  }
  if (c.parola) {
    EXPECT_EQ(m->parola, c.parola);
  }
  if (c.posizione) {
    EXPECT_EQ(m->posizione, c.posizione);
  }
  if (c.nel_testo) {
    EXPECT_NE(m->testo.find(c.nel_testo), std::string::npos) << m->testo;
  }
  if (c.colonna > 0) {
    EXPECT_EQ(m->colonna, c.colonna);
  }
  EXPECT_FALSE(m->testo.empty());

  // the readable line puts them together in this order
  std::string atteso = file;
  if (m->riga > 0) atteso += ":" + std::to_string(m->riga);
  if (m->riga > 0 && m->colonna > 0) atteso += ":" + std::to_string(m->colonna);
  if (!file.empty()) atteso += ": ";
  std::string soggetto = m->parola;
  if (m->posizione) soggetto += (soggetto.empty() ? "at " : " at ") + std::to_string(*m->posizione) + " m";
  if (!soggetto.empty()) atteso += soggetto + ": ";
  const std::string riga = m->stampato;
  EXPECT_EQ(riga.rfind(atteso, 0), 0u) << riga;
  EXPECT_TRUE(riga.ends_with(" (status " + std::to_string(c.codice) + ")")) << riga;
  if (c.codice == 25) {
    EXPECT_NE(riga.find("run-time failure: "), std::string::npos) << riga;
  }
}

INSTANTIATE_TEST_SUITE_P(tutti, codici_compila, ::testing::ValuesIn(casi()),
                         [](const ::testing::TestParamInfo<caso>& i) { return std::string(i.param.nome); });

TEST(codici_compila_base, i_file_di_base_sono_puliti) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  const esito_compila e = cartella.compila_qui();
  EXPECT_EQ(e.uscita, uscita_compila::riuscita) << tutti(e);
  EXPECT_EQ(e.stato, 0);
  EXPECT_TRUE(e.messaggi.empty()) << tutti(e);
  EXPECT_EQ(e.scritti.size(), 3u);
}

// Too many stations: with one sign board the stations may use records 1 to 77.
TEST(codici_compila_base, troppe_stazioni_nomina_il_file_del_treno) {
  righe_file treno = {"[generale]", "velocita,   0,    30", "aderenza,    0,    80"};
  for (int i = 0; i < 80; ++i) {
    treno.push_back("stazione, " + std::to_string(1000 + 500 * i) +
                    ", 27, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, S" + std::to_string(i));
  }
  treno.push_back("[fine]");
  const cartella_compila cartella(testo_di(cambia(linea_base(), 2, "lunghezza percorso,    50000")), testo_di(treno));
  const esito_compila e = cartella.compila_qui();
  const std::optional<messaggio> m = con_codice(e, 10);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->file, (cartella.percorso() / file_treno_prova).string());
  EXPECT_TRUE(m->stampato.ends_with("(status 10)"));
}

// The finishing pass overwrites its own codes in the model; every one is reported.
TEST(codici_compila_base, la_finitura_riporta_ogni_codice) {
  righe_file treno = treno_base();
  // cells 78 to 80, before the warning point 87: no room for the point of the signal in 80
  for (const char* p : {"3850", "3900", "3950"}) {
    treno = inserisci(treno, 18, std::string("segnale,    ") + p + ",   1, 5, 6,  0, 0,    0,  0,0,0, 0");
  }
  // cells 104 to 106: the near group of the start 111
  for (const char* p : {"5150", "5200", "5250"}) {
    treno = inserisci(treno, 18, std::string("segnale,    ") + p + ",   1, 5, 6,  0, 0,    0,  0,0,0, 0");
  }
  // cells 118 to 120: the walk's eighth cell and both neighbours
  for (const char* p : {"5850", "5900", "5950"}) {
    treno = inserisci(treno, 18, std::string("segnale,    ") + p + ",   1, 5, 6,  0, 0,    0,  0,0,0, 0");
  }
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno));
  const esito_compila e = cartella.compila_qui();
  SCOPED_TRACE(tutti(e));
  EXPECT_EQ(e.uscita, uscita_compila::errori_dati);
  const std::optional<messaggio> a = con_codice(e, 11);
  const std::optional<messaggio> b = con_codice(e, 12);
  const std::optional<messaggio> c = con_codice(e, 13);
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(a->posizione, 4000);
  EXPECT_EQ(b->posizione, 5550);
  EXPECT_EQ(c->posizione, 5950);
  // shown at the slowdown entry behind it
  EXPECT_NE(b->stampato.find(":15:1: rallentamento at 5550 m: finishing pass: "), std::string::npos);
  // the model keeps only the last one, and the summary points at it
  EXPECT_EQ(e.stato, 13);
  ASSERT_TRUE(e.principale);
  EXPECT_EQ(&e.messaggi.at(*e.principale), c->d);
  EXPECT_EQ(e.scritti.size(), 3u);
}

}  // namespace
}  // namespace scenario::prova
