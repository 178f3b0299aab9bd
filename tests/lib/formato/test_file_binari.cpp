#include <gtest/gtest.h>

#include <cstring>

#include "formato/file_binari.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

uint16_t u16(const std::string& b, std::size_t o) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b.at(o)) | static_cast<uint8_t>(b.at(o + 1)) << 8);
}

uint32_t u32(const std::string& b, std::size_t o) {
  return static_cast<uint32_t>(u16(b, o)) | static_cast<uint32_t>(u16(b, o + 2)) << 16;
}

std::string byte_esadecimali(std::initializer_list<int> v) {
  std::string s;
  for (int x : v) s.push_back(static_cast<char>(x));
  return s;
}

TEST(FilePercorso, ACellIsFifteenLittleEndianBytesInDeclarationOrder) {
  modello m;
  m.crea_celle(2);
  cella& c = m.cel(1);
  c.tipo = 1;
  c.valore = 5121;
  c.valore2 = -2;
  c.valore3 = 0x1234;
  c.valore4 = -32768;
  c.tempo = 135;
  c.avvicinamento = 84;
  c.tipo_montagna = 2;
  c.vel_limite = 13;
  c.pendenza = 255;
  c.aderenza = 100;
  const std::string b = serializza_percorso(m);
  ASSERT_EQ(b.size(), 3u * 15u);
  EXPECT_EQ(b.substr(0, 15), std::string(15, '\0'));
  EXPECT_EQ(b.substr(15, 15), byte_esadecimali({1, 0x01, 0x14, 0xFE, 0xFF, 0x34, 0x12, 0x00, 0x80, 135, 84, 2, 13,
                                               255, 100}));
  EXPECT_EQ(b.substr(30), std::string(15, '\0'));
}

TEST(FileScenario, ARecordTakes34BytesPlusItsName) {
  modello m;
  const std::string vuoto = serializza_scenario(m);
  EXPECT_EQ(vuoto.size(), 87u * 34u);

  voce_tabella& v = m.voce(85);
  v.tipo = 7;
  v.inizio = 65650;
  v.fine = -1;
  v.posizione = 1;
  v.campo_4 = 9;
  v.nome = "Valdora_Tarvea";
  v.campo_7 = 610;
  v.campo_8 = -1;
  v.campo_10 = 10;
  v.campo_11 = 11;
  v.campo_12 = 12;
  v.campo_9 = 0x99;
  v.sosta = 60;
  v.campo_6 = 6;
  v.campo_5 = 5;
  v.orario = 31285;
  const std::string b = serializza_scenario(m);
  ASSERT_EQ(b.size(), 87u * 34u + 14u);
  const std::size_t o = 85u * 34u;
  EXPECT_EQ(static_cast<uint8_t>(b[o]), 7);
  EXPECT_EQ(u32(b, o + 1), 65650u);
  EXPECT_EQ(u32(b, o + 5), 0xFFFFFFFFu);
  EXPECT_EQ(u32(b, o + 9), 1u);
  EXPECT_EQ(static_cast<uint8_t>(b[o + 13]), 9);
  EXPECT_EQ(u16(b, o + 14), 14u);
  EXPECT_EQ(b.substr(o + 16, 14), "Valdora_Tarvea");
  const std::size_t dopo = o + 30;
  EXPECT_EQ(u16(b, dopo), 610u);
  EXPECT_EQ(u16(b, dopo + 2), 0xFFFFu);
  EXPECT_EQ(u16(b, dopo + 4), 10u);
  EXPECT_EQ(u16(b, dopo + 6), 11u);
  EXPECT_EQ(u16(b, dopo + 8), 12u);
  EXPECT_EQ(static_cast<uint8_t>(b[dopo + 10]), 0x99);
  EXPECT_EQ(static_cast<uint8_t>(b[dopo + 11]), 60);
  EXPECT_EQ(static_cast<uint8_t>(b[dopo + 12]), 6);
  EXPECT_EQ(static_cast<uint8_t>(b[dopo + 13]), 5);
  EXPECT_EQ(u32(b, dopo + 14), 31285u);
  // record 86 follows straight after, with nothing between
  EXPECT_EQ(b.size(), dopo + 18 + 34);
}

TEST(FileScenario, NamesAreWrittenAsTheirBytes) {
  modello m;
  m.voce(1).nome = "CAF\xC8";
  const std::string b = serializza_scenario(m);
  EXPECT_EQ(u16(b, 34 + 14), 4u);
  EXPECT_EQ(b.substr(34 + 16, 4), "CAF\xC8");
}

TEST(FileLinea, TaggedElementsTakeFourTenAndTwoBytes) {
  modello m;
  m.tracciato.crea(4);
  m.tracciato.imposta_interi(0, 0, 0);
  m.tracciato.imposta_interi(1, 0, 1);
  m.tracciato.imposta_doppi(2, 0.5, 2.0);
  const std::string b = serializza_linea(m);
  // per component: two integers, one double, two empty
  ASSERT_EQ(b.size(), 2u * (4 + 4 + 10 + 2 + 2));
  EXPECT_EQ(u16(b, 0), 2u);
  EXPECT_EQ(u16(b, 2), 0u);
  EXPECT_EQ(u16(b, 8), 5u);
  double x = 0;
  std::memcpy(&x, b.data() + 10, 8);  // the test machine is little-endian
  EXPECT_EQ(x, 0.5);
  EXPECT_EQ(u16(b, 18), 0u);
  EXPECT_EQ(u16(b, 20), 0u);
  // component 1 follows all of component 0: metre 1 holds the integer 1
  EXPECT_EQ(u16(b, 22 + 4), 2u);
  EXPECT_EQ(u16(b, 22 + 6), 1u);
  EXPECT_EQ(u16(b, 22 + 8), 5u);
}

TEST(FileLinea, AComputedLineOfLengthLTakes20LPlus139964Bytes) {
  for (int32_t lunghezza : {0, 1025, 101000}) {
    modello m;
    const int32_t e = lunghezza + 7000;
    m.tracciato.crea(e);
    m.tracciato.imposta_interi(0, 0, 0);
    m.tracciato.imposta_interi(1, 0, 1);
    for (int32_t r = 2; r <= e - 2; ++r) m.tracciato.imposta_doppi(r, 0.0, r);
    EXPECT_EQ(serializza_linea(m).size(), 20u * static_cast<std::size_t>(lunghezza) + 139964u) << lunghezza;
  }
}

TEST(FileBinari, TheLineFileIsWrittenOnlyWithTheFlag) {
  prova::sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("c", "L", "7");
  fs.file[nomi.file_linea.generic_string()] = "vecchio";
  modello m;
  m.crea_celle(3);
  m.tracciato.crea(10);
  scrivi_file_binari(m, fs, nomi);
  EXPECT_EQ(fs.file.at(nomi.file_linea.generic_string()), "vecchio");
  EXPECT_EQ(fs.file.at(nomi.file_percorso.generic_string()).size(), 4u * 15u);
  EXPECT_EQ(fs.file.at(nomi.file_scenario.generic_string()).size(), 87u * 34u);
  m.scrivi_linea = 1;
  scrivi_file_binari(m, fs, nomi);
  EXPECT_EQ(fs.file.at(nomi.file_linea.generic_string()).size(), 2u * 11u * 2u);
  EXPECT_EQ(fs.file.size(), 3u);  // no temporary left
}

}  // namespace
}  // namespace scenario
