// docs/formato_file.md, the byte-level reference of the compiled files, says
// what the record tables say: every row's offset, width, name and type, in order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "formato/campi_record.hpp"
#include "formato/flusso_le.hpp"

namespace scenario::prova {
namespace {

const std::filesystem::path documento = std::filesystem::path(SCENARIO_SORGENTI) / "docs" / "formato_file.md";

using riga_t = std::vector<std::string>;

std::string senza_spazi(std::string t) {
  const auto a = t.find_first_not_of(' ');
  const auto b = t.find_last_not_of(' ');
  return a == std::string::npos ? std::string() : t.substr(a, b - a + 1);
}

// The cells of one table row "| a | b |".
riga_t celle(const std::string& riga) {
  riga_t r;
  std::stringstream s(riga.substr(1));
  for (std::string c; std::getline(s, c, '|');) r.push_back(senza_spazi(c));
  return r;
}

// The body rows of the table after the marker line, header and rule left out.
std::vector<riga_t> tabella(const std::string& testo, const std::string& segno) {
  std::vector<riga_t> r;
  std::stringstream s(testo);
  std::string riga;
  while (std::getline(s, riga) && riga != segno) {
  }
  int32_t intestazione = 2;
  while (std::getline(s, riga) && !riga.empty() && riga.front() == '|') {
    if (intestazione-- > 0) continue;
    r.push_back(celle(riga));
  }
  return r;
}

std::string testo_di(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The rows a record table says the document must have: offset, width, name, type.
template <class R, std::size_t N>
std::vector<riga_t> righe_attese(const std::array<campo_record<R>, N>& campi) {
  constexpr const char* tipi[] = {"u8", "i16", "i32", "text"};
  std::vector<riga_t> r;
  std::size_t posto = 0;
  bool dopo_testo = false;
  for (const auto& c : campi) {
    const bool testo = c.membro.index() == 3;
    const std::string larghezza = std::to_string(larghezza_fissa(c)) + (testo ? "+L" : "");
    r.push_back({std::to_string(posto) + (dopo_testo ? "+L" : ""), larghezza, std::string(c.nome),
                 tipi[c.membro.index()]});
    posto += larghezza_fissa(c);
    dopo_testo = dopo_testo || testo;
  }
  return r;
}

template <class R, std::size_t N>
void confronta_tabella(const std::string& testo, const std::string& nome, const std::array<campo_record<R>, N>& campi) {
  const std::vector<riga_t> nel_documento = tabella(testo, "<!-- record: " + nome + " -->");
  const std::vector<riga_t> attese = righe_attese(campi);
  ASSERT_EQ(nel_documento.size(), attese.size()) << nome;
  for (std::size_t i = 0; i < attese.size(); ++i) {
    ASSERT_GE(nel_documento[i].size(), 5u) << nome << " row " << i;
    const riga_t quattro(nel_documento[i].begin(), nel_documento[i].begin() + 4);
    EXPECT_EQ(quattro, attese[i]) << nome << " row " << i;
    EXPECT_FALSE(nel_documento[i][4].empty()) << nome << " row " << i << " says nothing of the field";
  }
}

TEST(formato_file, ogni_record_come_la_sua_tabella) {
  const std::string testo = testo_di(documento);
  ASSERT_FALSE(testo.empty()) << documento;
  confronta_tabella(testo, "campi_voce", campi_voce);
  confronta_tabella(testo, "campi_cella", campi_cella);
}

TEST(formato_file, ogni_elemento_come_la_sua_forma) {
  const std::vector<riga_t> righe = tabella(testo_di(documento), "<!-- elements: forme_elemento -->");
  ASSERT_EQ(righe.size(), forme_elemento.size());
  for (std::size_t i = 0; i < righe.size(); ++i) {
    const forma_elemento& f = forme_elemento[i];
    ASSERT_GE(righe[i].size(), 3u);
    EXPECT_EQ(righe[i][0], std::to_string(static_cast<int32_t>(f.tipo)));
    EXPECT_EQ(righe[i][1], f.nome);
    EXPECT_EQ(righe[i][2], std::to_string(f.larghezza_valore));
  }
}

// The sizes the document states are the tables' own.
TEST(formato_file, dimensioni_dichiarate) {
  const std::string testo = testo_di(documento);
  const std::string record = "Each record is " + std::to_string(dimensione_fissa(campi_voce)) + " bytes";
  const std::string cella = "one " + std::to_string(dimensione_fissa(campi_cella)) + "-byte cell";
  const std::string record_totali = std::to_string(numero_voci) + " records, numbered 0 to " + std::to_string(numero_voci - 1);
  for (const std::string& frase : {record, cella, record_totali}) {
    EXPECT_NE(testo.find(frase), std::string::npos) << frase;
  }
}

// A row's offset and width, read with a name of two bytes, find the field's bytes in a written record.
template <class R, std::size_t N>
void byte_al_loro_posto(const std::string& testo, const std::string& nome, const std::array<campo_record<R>, N>& campi) {
  const std::vector<riga_t> righe = tabella(testo, "<!-- record: " + nome + " -->");
  ASSERT_EQ(righe.size(), N);
  const auto con_l = [](std::string t) {
    const auto p = t.find("+L");
    return p == std::string::npos ? std::stoul(t) : std::stoul(t.substr(0, p)) + 2;
  };
  for (std::size_t k = 0; k < N; ++k) {
    R r{};
    for (const auto& c : campi) {
      if (const auto* t = std::get_if<std::string R::*>(&c.membro)) r.**t = "AB";  // every row reads L as 2
    }
    uint64_t atteso = 0;
    std::visit(
        [&](auto membro) {
          using T = std::remove_reference_t<decltype(r.*membro)>;
          if constexpr (std::is_same_v<T, std::string>) {
            r.*membro = "AB";
            atteso = 2 | (uint64_t{'A'} << 16) | (uint64_t{'B'} << 24);
          } else {
            r.*membro = static_cast<T>(0x71 + k);
            atteso = 0x71 + k;
          }
        },
        campi[k].membro);
    flusso_le f(dimensione_record(campi, r));
    scrivi_record(f, campi, r);
    const std::string b = f.prendi();
    const std::size_t posto = con_l(righe[k][0]);
    const std::size_t larghezza = con_l(righe[k][1]);
    ASSERT_LE(posto + larghezza, b.size()) << nome << " " << righe[k][2];
    uint64_t letto = 0;
    for (std::size_t i = 0; i < larghezza; ++i) letto |= uint64_t{static_cast<uint8_t>(b[posto + i])} << (8 * i);
    EXPECT_EQ(letto, atteso) << nome << " " << righe[k][2];
  }
}

TEST(formato_file, ogni_campo_dove_il_documento_lo_dice) {
  const std::string testo = testo_di(documento);
  byte_al_loro_posto(testo, "campi_voce", campi_voce);
  byte_al_loro_posto(testo, "campi_cella", campi_cella);
}

// The parser itself: a row moved or a width wrong is seen.
TEST(formato_file, una_tabella_sbagliata_si_vede) {
  const std::string buona = "<!-- record: x -->\n| a | b |\n|---|---|\n| 0 | 1 | tipo | u8 | t |\n| 1 | 2 | valore | i16 | v |\n\n";
  const std::vector<riga_t> r = tabella(buona, "<!-- record: x -->");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1], (riga_t{"1", "2", "valore", "i16", "v"}));
  const std::vector<riga_t> attese = righe_attese(campi_cella);
  EXPECT_EQ(riga_t(r[0].begin(), r[0].begin() + 4), attese[0]);
  EXPECT_NE(riga_t(r[1].begin(), r[1].begin() + 4), attese[2]);
  EXPECT_EQ(righe_attese(campi_voce)[6], (riga_t{"16+L", "2", "campo_7", "i16"}));
}

}  // namespace
}  // namespace scenario::prova
