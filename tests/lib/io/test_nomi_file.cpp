#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "io/nomi_file.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::cartella_temporanea;
using prova::scrivi_file;

TEST(NomiFile, BareNamesAreSpeltOnceAndTheFullOnesBuiltFromThem) {
  const nomi_brevi b = nomi_senza_cartella("Valdora_Tarvea", "5293");
  const nomi_file n = costruisci_nomi("c", "Valdora_Tarvea", "5293");
  const struct {
    const std::string& breve;
    const fs::path& intero;
    const char* atteso;
  } casi[] = {
      {b.descrizione_linea, n.descrizione_linea, "Valdora_Tarvea_linea.txt"},
      {b.descrizione_treno, n.descrizione_treno, "Valdora_Tarvea_5293-.txt"},
      {b.note, n.note, "Valdora_Tarvea_5293_note.txt"},
      {b.rallentamenti, n.rallentamenti, "Valdora_Tarvea_5293_rallentamenti.txt"},
      {b.scheda_treno, n.scheda_treno, "Valdora_Tarvea_5293_scheda_treno.txt"},
      {b.file_linea, n.file_linea, "Valdora_Tarvea_linea.dat"},
      {b.file_scenario, n.file_scenario, "Valdora_Tarvea_5293.sim"},
      {b.file_percorso, n.file_percorso, "Valdora_Tarvea_5293.dat"},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(c.breve, c.atteso);
    EXPECT_EQ(c.intero, fs::path("c") / c.atteso);
  }
  EXPECT_TRUE(b.file_linea.ends_with(fine_nome_file_linea));
  EXPECT_FALSE(b.file_percorso.ends_with(fine_nome_file_linea));
}

// A file, a second file, and the links to them that the platform allows.
struct cartella_con_link {
  cartella_temporanea cartella;
  fs::path d = cartella.percorso() / "d";
  fs::path f = d / "f.sim";
  fs::path altro = d / "g.sim";
  fs::path fisico = d / "fisico.sim";
  fs::path simbolico = d / "simbolico.sim";
  fs::path cartella_simbolica = cartella.percorso() / "e";
  bool simbolici = true;  // false where the platform refuses symbolic links

  cartella_con_link() {
    fs::create_directory(d);
    scrivi_file(f, "uno");
    scrivi_file(altro, "uno");
    fs::create_hard_link(f, fisico);
    std::error_code ec;
    fs::create_symlink(f, simbolico, ec);
    if (!ec) fs::create_directory_symlink(d, cartella_simbolica, ec);
    simbolici = !ec;
  }
};

TEST(NomiFile, SameFileWhateverTheSpellingOrTheLink) {
  const cartella_con_link c;
  const fs::path base = c.cartella.percorso();
  const struct {
    const char* come;
    fs::path a;
    fs::path b;
    bool stesso;
    bool serve_simbolico;
  } casi[] = {
      {"the same path", c.f, c.f, true, false},
      {"a dot in between", c.f, c.d / "." / "f.sim", true, false},
      {"a step up and back", c.f, c.d / "x" / ".." / "f.sim", true, false},
      {"a hard link", c.f, c.fisico, true, false},
      {"a symbolic link", c.simbolico, c.f, true, true},
      {"through a linked folder", c.cartella_simbolica / "f.sim", c.f, true, true},
      {"the same folder spelt two ways", c.d, base / "d" / ".", true, false},
      {"a folder and its link", c.cartella_simbolica, c.d, true, true},
      {"another file with the same bytes", c.f, c.altro, false, false},
      {"a file and its folder", c.f, c.d, false, false},
      {"two missing files", c.d / "no1", c.d / "no2", false, false},
      {"one missing file spelt two ways", c.d / "no1", c.d / "." / "no1", true, false},
      {"a missing file beside an existing one", c.d / "no1", c.f, false, false},
  };
  for (const auto& caso : casi) {
    if (caso.serve_simbolico && !c.simbolici) continue;
    EXPECT_EQ(stesso_file(caso.a, caso.b), caso.stesso) << caso.come;
    EXPECT_EQ(stesso_file(caso.b, caso.a), caso.stesso) << caso.come << " (swapped)";
  }
}

TEST(NomiFile, SameNameFollowsThePlatformsLetterCase) {
  EXPECT_TRUE(stesso_nome("L_1.sim", "L_1.sim"));
  EXPECT_FALSE(stesso_nome("L_1.sim", "L_1.dat"));
  EXPECT_FALSE(stesso_nome("L_1.sim", "L_1.sim "));
#ifdef _WIN32
  EXPECT_TRUE(stesso_nome("L_1.sim", "l_1.SIM"));
#else
  EXPECT_FALSE(stesso_nome("L_1.sim", "l_1.SIM"));
#endif
}

// A file name where a name goes is told with the options that give that file.
TEST(NomiFile, AFileNameOrAPathIsRefusedWithTheOptionsMeant) {
  const struct {
    const char* nome;
    const char* opzione;
    std::optional<std::string> atteso;
  } casi[] = {
      {"Valdora_Tarvea", "--linea", std::nullopt},
      {"77-", "--treno", std::nullopt},
      {"Prova_linea", "--linea", std::nullopt},
      {"Valdora_Tarvea_linea.txt", "--linea",
       "--linea is a name, not a file name: for Valdora_Tarvea_linea.txt give --linea Valdora_Tarvea"},
      {"NOME_4713-.txt", "--treno", "--treno is a name, not a file name: for NOME_4713-.txt give --linea NOME --treno 4713"},
      {"4713-.TXT", "--treno", "--treno is a name, not a file name: for 4713-.TXT give --treno 4713"},
      {"4713.txt", "--treno", "--treno is a name, not a file name: for 4713.txt give --treno 4713"},
      {"Valdora_Tarvea_linea.txt", "--treno",
       "--treno is a name, not a file name: for Valdora_Tarvea_linea.txt give --linea Valdora_Tarvea"},
      {"Prova_77.sim", "--treno", "--treno is a name, not a file name: for Prova_77.sim give --linea Prova --treno 77"},
      {"Prova_linea.dat", "--linea", "--linea is a name, not a file name: for Prova_linea.dat give --linea Prova"},
      {"d/e/Prova_77-.txt", "--treno",
       "--treno is a name, not a path: use --dir for the folder (for d/e/Prova_77-.txt give --dir d/e --linea Prova --treno 77)"},
      {"/Prova", "--linea", "--linea is a name, not a path: use --dir for the folder (for /Prova give --dir / --linea Prova)"},
      {"d/", "--linea", "--linea is a name, not a path: use --dir for the folder"},
#ifndef _WIN32
      // not a separator here, but refused so that the name works on Windows too
      {"d\\Prova", "--linea", "--linea is a name, not a path: use --dir for the folder"},
#else
      {"C:Prova", "--linea", "--linea is a name, not a path: use --dir for the folder (for C:Prova give --dir C: --linea Prova)"},
      {"C:\\d\\Prova", "--linea", "--linea is a name, not a path: use --dir for the folder (for C:\\d\\Prova give --dir C:\\d --linea Prova)"},
      {"C:\\Prova", "--linea", "--linea is a name, not a path: use --dir for the folder (for C:\\Prova give --dir C:\\ --linea Prova)"},
#endif
  };
  for (const auto& c : casi) {
    EXPECT_EQ(problema_identificativo(c.nome, c.opzione), c.atteso) << c.nome;
  }
}

TEST(NomiFile, TheNamesBehindEveryFileOfAScenario) {
  const nomi_brevi b = nomi_senza_cartella("Valdora_Tarvea", "5293");
  for (const std::string* f : {&b.descrizione_treno, &b.file_scenario, &b.file_percorso}) {
    const std::optional<nomi_attesi> n = nomi_da_file(*f);
    ASSERT_TRUE(n) << *f;
    EXPECT_EQ(n->linea, "Valdora_Tarvea") << *f;
    EXPECT_EQ(n->treno, "5293") << *f;
  }
  for (const std::string* f : {&b.descrizione_linea, &b.file_linea}) {
    const std::optional<nomi_attesi> n = nomi_da_file(*f);
    ASSERT_TRUE(n) << *f;
    EXPECT_EQ(n->linea, "Valdora_Tarvea") << *f;
    EXPECT_EQ(n->treno, "") << *f;
  }
  for (const char* f : {"Valdora", "x.txt", "_linea.txt", "_5293-.txt", "Valdora_-.txt", "-.txt", "a.sim.bak"}) {
    EXPECT_FALSE(nomi_da_file(f)) << f;
  }
}

}  // namespace
}  // namespace scenario
