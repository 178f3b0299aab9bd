// Warnings: one planted slip per case, with the warning's file, line, column
// and words; the compiled bytes and the status stay those of the same files
// without the warning, and --rigoroso turns any warning into exit 1.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/tools/aiuto_compila.hpp"

namespace scenario::prova {
namespace {

struct caso_avviso {
  const char* nome;
  righe_file linea;
  righe_file treno;
  bool nella_linea;
  int32_t riga;
  int32_t colonna;
  const char* testo;  // a piece of the warning
};

void PrintTo(const caso_avviso& c, std::ostream* os) { *os << c.nome; }

std::vector<caso_avviso> casi() {
  const righe_file L = linea_base();
  const righe_file T = treno_base();
  righe_file senza_fine = T;
  senza_fine.pop_back();
  righe_file tagliato = T;
  tagliato.resize(7);
  tagliato.back() = "aderenza,    5950,";
  return {
      {"parola_sbagliata", L, cambia(T, 17, "segnal,    2150,   2, 2, 4,  1, 1,    2,  1,1,0, 135"), false, 17, 1,
       "'segnal' matches no keyword: this line is not read (did you mean segnale?)"},
      {"virgola_decimale", L, cambia(T, 10, "velocita,     700,    65,5"), false, 10, 26,
       "velocita takes 2 fields; the line goes on with '5', which is not part of it (a decimal comma?"},
      {"lunghezza_decimale", cambia(L, 2, "lunghezza percorso,    10000,5"), T, true, 2, 30,
       "lunghezza percorso takes 1 field; the line goes on with '5'"},
      {"campi_in_meno", L, inserisci(T, 10, "velocita,     300"), false, 10, 1,
       "velocita takes 2 fields, but its line holds 1 field: the speed (km/h)"},
      {"campo_vuoto", L, cambia(T, 7, "aderenza,    0,    "), false, 7, 20,
       "empty field where the adhesion value is expected: read as 0"},
      {"senza_marcatore_di_fine", L, senza_fine, false, 17, 1, "the file ends without the end marker [fine]"},
      {"tagliato_dentro_una_voce", L, tagliato, false, 7, 1, "the file ends inside this aderenza entry"},
      {"maiuscola_nella_sezione_generale", cambia(L, 6, "Sfondo uno,    65650"), T, true, 6, 1,
       "(letter case matters here: write sfondo uno)"},
  };
}

class avvisi : public ::testing::TestWithParam<caso_avviso> {};

TEST_P(avvisi, dove_e_che_cosa) {
  const caso_avviso& c = GetParam();
  const cartella_compila cartella(testo_di(c.linea), testo_di(c.treno));
  const esito_compila e = cartella.compila_qui();
  SCOPED_TRACE(tutti(e));
  const std::vector<messaggio> visti = messaggi_di(e);
  const messaggio* a = nullptr;
  for (const messaggio& m : visti) {
    if (m.avviso && a == nullptr && m.testo.find(c.testo) != std::string::npos) a = &m;
  }
  ASSERT_TRUE(a);
  EXPECT_EQ(a->file, (cartella.percorso() / (c.nella_linea ? file_linea_prova : file_treno_prova)).string());
  EXPECT_EQ(a->riga, c.riga);
  EXPECT_EQ(a->colonna, c.colonna);
  EXPECT_NE(a->testo.find(c.testo), std::string::npos) << a->testo;
  EXPECT_FALSE(a->codice.has_value());
  EXPECT_NE(a->stampato.find(":" + std::to_string(c.colonna) + ": warning: "), std::string::npos);

  opzioni_compila o = cartella.opzioni();
  o.rigoroso = true;
  sistema_file_disco fs;
  EXPECT_EQ(compila(o, fs).uscita, uscita_compila::errori_dati);
}

INSTANTIATE_TEST_SUITE_P(tutti, avvisi, ::testing::ValuesIn(casi()),
                         [](const ::testing::TestParamInfo<caso_avviso>& i) { return std::string(i.param.nome); });

// Each warning's limits: the case just inside gives the warning (or its hint),
// the case just outside gives the other one, or none.
struct caso_limite {
  const char* nome;
  righe_file linea;
  righe_file treno;
  bool nella_linea;
  int32_t riga;
  int32_t colonna;
  const char* testo;    // a piece of the warning
  const char* escluso;  // a piece no warning holds; nullptr: no such check
};

void PrintTo(const caso_limite& c, std::ostream* os) { *os << c.nome; }

std::vector<caso_limite> casi_limite() {
  const righe_file L = linea_base();
  const righe_file T = treno_base();
  righe_file senza_fine = T;
  senza_fine.pop_back();
  const righe_file spezzata = inserisci(cambia(T, 10, "velocita,     700"), 11, "65,  9");
  return {
      // an entry already read across two lines is not blamed again for the rest of the second
      {"voce_spezzata_poi_altri_campi", L, spezzata, false, 10, 1,
       "velocita takes 2 fields, but its line holds 1 field: the speed (km/h) and what follows are read from line 11",
       "the line goes on"},
      // the decimal-comma hint needs the digits right after the comma, after a number
      {"virgola_e_spazio", L, cambia(T, 10, "velocita,     700,    65, 5"), false, 10, 27,
       "velocita takes 2 fields; the line goes on with '5', which is not part of it", "decimal comma"},
      {"virgola_poi_lettera", L, cambia(T, 10, "velocita,     700,    65,x5"), false, 10, 26,
       "velocita takes 2 fields; the line goes on with 'x5', which is not part of it", "decimal comma"},
      {"testo_poi_cifre", cambia(L, 19, "cartello_indicatore,  1500,   (SALVIATI)( 366 m. ),5"), T, true, 19, 52,
       "cartello_indicatore takes 2 fields; the line goes on with '5'", "decimal comma"},
      // a suggestion up to a quarter of the keyword's letters away, not one more
      {"suggerimento_al_limite", L, cambia(T, 15, "ralentamen,    5500,    50,  500, 0,  0,  0"), false, 15, 1,
       "'ralentamen' matches no keyword: this line is not read (did you mean rallentamento?)", nullptr},
      {"oltre_il_limite", L, cambia(T, 15, "ralentame,    5500,    50,  500, 0,  0,  0"), false, 15, 1,
       "'ralentame' matches no keyword: this line is not read", "did you mean"},
      // the end without [fine]: after a stray word, after an entry cut across lines
      {"ultimo_campo_mai_letto", L, cambia(T, 18, "fine"), false, 18, 1,
       "the file ends without the end marker [fine]: its last field 'fine' is never read", nullptr},
      {"voce_spezzata_alla_fine", L,
       inserisci(cambia(senza_fine, 17, "segnale,    2150,   2, 2, 4,  1, 1,    2,  1,1,0"), 18, "135"), false, 17, 1,
       "the file ends inside this segnale entry, without the end marker [fine]: cut short?", nullptr},
  };
}

class avvisi_limite : public ::testing::TestWithParam<caso_limite> {};

TEST_P(avvisi_limite, dentro_e_fuori) {
  const caso_limite& c = GetParam();
  const cartella_compila cartella(testo_di(c.linea), testo_di(c.treno));
  const esito_compila e = cartella.compila_qui();
  SCOPED_TRACE(tutti(e));
  const std::vector<messaggio> visti = messaggi_di(e);
  const messaggio* a = nullptr;
  for (const messaggio& m : visti) {
    if (m.avviso && a == nullptr && m.testo.find(c.testo) != std::string::npos) a = &m;
    if (c.escluso != nullptr) {
      EXPECT_EQ(m.testo.find(c.escluso), std::string::npos) << m.testo;
    }
  }
  ASSERT_TRUE(a);
  EXPECT_EQ(a->file, (cartella.percorso() / (c.nella_linea ? file_linea_prova : file_treno_prova)).string());
  EXPECT_EQ(a->riga, c.riga);
  EXPECT_EQ(a->colonna, c.colonna);
}

INSTANTIATE_TEST_SUITE_P(tutti, avvisi_limite, ::testing::ValuesIn(casi_limite()),
                         [](const ::testing::TestParamInfo<caso_limite>& i) { return std::string(i.param.nome); });

// A warning alone: exit 0 and the same bytes as the file without the slip.
TEST(avvisi_soli, non_cambiano_ne_byte_ne_stato) {
  const cartella_compila pulita(testo_di(linea_base()), testo_di(treno_base()));
  const cartella_compila con_avviso(testo_di(linea_base()),
                                    testo_di(inserisci(treno_base(), 17, "segnal,    2150,   2, 2, 4,  1, 1")));
  const esito_compila a = pulita.compila_qui();
  const esito_compila b = con_avviso.compila_qui();
  EXPECT_EQ(a.uscita, uscita_compila::riuscita) << tutti(a);
  EXPECT_TRUE(a.messaggi.empty()) << tutti(a);
  EXPECT_EQ(b.uscita, uscita_compila::riuscita) << tutti(b);
  EXPECT_EQ(b.stato, a.stato);
  for (const char* f : {"Prova_linea.dat", "Prova_77.sim", "Prova_77.dat"}) {
    EXPECT_TRUE(leggi_file(pulita.percorso() / f) == leggi_file(con_avviso.percorso() / f)) << f;
  }
}

// Without a track plan the curve lines go unread, as they should: no warning.
TEST(avvisi_soli, curve_senza_tracciato_attese) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  opzioni_compila o = cartella.opzioni();
  o.senza_linea = true;
  o.rigoroso = true;
  sistema_file_disco fs;
  const esito_compila e = compila(o, fs);
  EXPECT_EQ(e.uscita, uscita_compila::riuscita) << tutti(e);
}

// CR alone ends a line too: same bytes, right line numbers.
TEST(fine_riga, solo_cr) {
  const auto con_cr = [](const righe_file& r) {
    std::string t;
    for (const std::string& x : r) t += x + "\r";
    return t;
  };
  const cartella_compila crlf(testo_di(linea_base()), testo_di(inserisci(treno_base(), 18, "segnale,    2150,   1")));
  const cartella_compila cr(con_cr(linea_base()), con_cr(inserisci(treno_base(), 18, "segnale,    2150,   1")));
  const esito_compila a = crlf.compila_qui();
  const esito_compila b = cr.compila_qui();
  const std::vector<messaggio> va = messaggi_di(a);
  const std::vector<messaggio> vb = messaggi_di(b);
  ASSERT_EQ(va.size(), vb.size()) << tutti(a) << tutti(b);
  for (std::size_t i = 0; i < va.size(); ++i) {
    EXPECT_EQ(vb[i].riga, va[i].riga) << tutti(b);
    EXPECT_EQ(vb[i].colonna, va[i].colonna) << tutti(b);
    EXPECT_EQ(vb[i].testo, va[i].testo);
  }
  EXPECT_EQ(b.uscita, a.uscita);
  for (const char* f : {"Prova_linea.dat", "Prova_77.sim", "Prova_77.dat"}) {
    EXPECT_TRUE(leggi_file(crlf.percorso() / f) == leggi_file(cr.percorso() / f)) << f;
  }
}

}  // namespace
}  // namespace scenario::prova
