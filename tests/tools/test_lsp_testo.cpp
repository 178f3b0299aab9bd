// The language server's text: UTF-8 from the editor to Windows-1252 bytes,
// byte columns to UTF-16 units, editor positions to byte offsets, file URIs.
#include <gtest/gtest.h>

#include <string>

#include "tools/compila_scenario/lsp/percorsi.hpp"
#include "tools/compila_scenario/lsp/testo_lsp.hpp"

namespace scenario::lsp {
namespace {

struct caso_1252 {
  const char* nome;
  std::string utf8;
  std::string atteso;
};

TEST(TestoLsp, DaUtf8A1252) {
  const caso_1252 casi[] = {
      {"ascii", "stazione, 0", "stazione, 0"},
      {"a_grave", "Citt\xC3\xA0", "Citt\xE0"},
      {"e_grave_maiuscola", "\xC3\x88 qui", "\xC8 qui"},
      {"euro", "\xE2\x82\xAC" "5", "\x80" "5"},
      {"c1_non_assegnato", "x\xC2\x81y", "x\x81y"},
      {"fuori_dal_bmp", "a\xF0\x9F\x98\x80" "b", "a?b"},
      {"fuori_dalla_tabella", "\xE2\x86\x92", "?"},
      {"utf8_rotto", "a\xC3", "a?"},
      {"sovralungo", "\xC0\xAF", "??"},
  };
  for (const caso_1252& c : casi) EXPECT_EQ(in_1252(c.utf8), c.atteso) << c.nome;
}

struct caso_colonna {
  const char* nome;
  std::string riga;
  int32_t colonna_byte;
  uint32_t attesa;
};

TEST(TestoLsp, ColonneUtf16) {
  const caso_colonna casi[] = {
      {"prima_colonna", "abc", 1, 0},
      {"nessuna_colonna", "abc", 0, 0},
      {"ascii", "abc", 3, 2},
      {"dopo_a_grave", "\xC3\xA0" "bc", 2, 1},
      {"dopo_e_grave_ed_euro", "\xC3\x88\xE2\x82\xAC" "x", 3, 2},
      {"dopo_c1", "\xC2\x81x", 2, 1},
      {"dopo_un_carattere_fuori_dal_bmp", "\xF0\x9F\x98\x80x", 2, 2},
      {"oltre_la_fine", "ab", 40, 2},
      {"colonna_negativa", "ab", -3, 0},
  };
  for (const caso_colonna& c : casi) EXPECT_EQ(colonna_utf16(c.riga, c.colonna_byte), c.attesa) << c.nome;
}

struct caso_scostamento {
  const char* nome;
  std::string testo;
  uint32_t riga;
  uint32_t carattere;
  std::size_t atteso;
};

TEST(TestoLsp, PosizioniDellEditor) {
  const caso_scostamento casi[] = {
      {"inizio", "ab\ncd", 0, 0, 0},
      {"seconda_riga", "ab\ncd", 1, 1, 4},
      {"crlf", "ab\r\ncd", 1, 0, 4},
      {"cr_solo", "ab\rcd", 1, 2, 5},
      {"oltre_la_riga", "ab\ncd", 0, 9, 2},
      {"oltre_il_testo", "ab\ncd", 7, 0, 5},
      {"dopo_euro", "\xE2\x82\xAC" "x", 0, 1, 3},
      {"dopo_una_coppia", "\xF0\x9F\x98\x80x", 0, 2, 4},
      {"dentro_una_coppia", "\xF0\x9F\x98\x80x", 0, 1, 0},
  };
  for (const caso_scostamento& c : casi) EXPECT_EQ(scostamento(c.testo, c.riga, c.carattere), c.atteso) << c.nome;
}

TEST(TestoLsp, Righe) {
  EXPECT_EQ(riga_di("a\r\nb\rc\nd", 0), "a");
  EXPECT_EQ(riga_di("a\r\nb\rc\nd", 1), "b");
  EXPECT_EQ(riga_di("a\r\nb\rc\nd", 2), "c");
  EXPECT_EQ(riga_di("a\r\nb\rc\nd", 3), "d");
  EXPECT_EQ(riga_di("a\r\nb\rc\nd", 4), "");
}

TEST(TestoLsp, Uri) {
  EXPECT_EQ(percorso_da_uri("file:///d/Citt%C3%A0_linea.txt"), "/d/Citt\xC3\xA0_linea.txt");
  EXPECT_EQ(percorso_da_uri("file://host/d/x"), "/d/x");
  EXPECT_FALSE(percorso_da_uri("untitled:Untitled-1"));
  EXPECT_FALSE(percorso_da_uri("file:///d/%C"));
  EXPECT_FALSE(percorso_da_uri("file:///d/%ZZ"));
  EXPECT_EQ(uri_accanto("file:///d/Citt%C3%A0_7-.txt", "Citt\xC3\xA0_linea.txt"), "file:///d/Citt%C3%A0_linea.txt");
  EXPECT_EQ(cartella_di("/d/x.txt"), "/d");
  EXPECT_EQ(nome_di("/d/x.txt"), "x.txt");
  EXPECT_EQ(nome_di("x.txt"), "x.txt");
}

}  // namespace
}  // namespace scenario::lsp
