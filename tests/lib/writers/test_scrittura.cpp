#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/supporto.hpp"
#include "support/testo_scritto.hpp"
#include "writers/scrittori.hpp"

namespace scenario::prova {
namespace {

struct scrittore_e_file {
  const char* nome;
  scrittore scrivi;
  std::filesystem::path nomi_file::*membro;
};

const std::array<scrittore_e_file, 5> scrittori = {{
    {"dati_linea", dati_linea, &nomi_file::descrizione_linea},
    {"dati_treno", dati_treno, &nomi_file::descrizione_treno},
    {"dati_note", dati_note, &nomi_file::note},
    {"dati_rallentamenti", dati_rallentamenti, &nomi_file::rallentamenti},
    {"dati_scheda", dati_scheda, &nomi_file::scheda_treno},
}};

TEST(ComponiTesto, WritesUpToTheEndMarker) {
  const std::vector<std::string_view> tabella = {"a", "", " b ", fine_tabella, "never"};
  EXPECT_EQ(componi_testo(tabella), "a\r\n\r\n b \r\n");
  const std::vector<std::string_view> solo_fine = {fine_tabella};
  EXPECT_EQ(componi_testo(solo_fine), "");
}

TEST(ComponiTesto, MarkerMustMatchWhole) {
  const std::vector<std::string_view> tabella = {"Riferimento fine del file", "riferimento fine del file ", fine_tabella};
  EXPECT_EQ(componi_testo(tabella), "Riferimento fine del file\r\nriferimento fine del file \r\n");
}

TEST(ComponiTesto, TableWithoutMarkerIsRefused) {
  const std::vector<std::string_view> senza = {"a", "b"};
  EXPECT_THROW(componi_testo(senza), std::logic_error);
  // the marker past the last slot is never reached
  std::vector<std::string_view> lunga(capacita_tabella, "x");
  lunga.push_back(fine_tabella);
  EXPECT_THROW(componi_testo(lunga), std::logic_error);
  lunga.erase(lunga.begin());
  EXPECT_EQ(componi_testo(lunga).size(), 3 * (capacita_tabella - 1));
}

TEST(ComponiTesto, WellFormedTables) {
  const std::vector<std::string_view> buona = {"a", fine_tabella};
  const std::vector<std::string_view> doppia = {fine_tabella, "a", fine_tabella};
  const std::vector<std::string_view> senza = {"a"};
  const std::vector<std::string_view> lunga(capacita_tabella + 1, fine_tabella);
  EXPECT_TRUE(tabella_ben_formata(buona));
  EXPECT_FALSE(tabella_ben_formata(doppia));
  EXPECT_FALSE(tabella_ben_formata(senza));
  EXPECT_FALSE(tabella_ben_formata({}));
  EXPECT_FALSE(tabella_ben_formata(lunga));
}

TEST(Scrittori, IdentityChangesOnlyTheFileName) {
  for (const scrittore_e_file& s : scrittori) {
    sistema_file_memoria uno, due;
    const nomi_file nomi_uno = costruisci_nomi("c", "Valdora_Tarvea", "5293");
    const nomi_file nomi_due = costruisci_nomi("c", "Altra_Linea", "7001");
    s.scrivi(uno, nomi_uno);
    s.scrivi(due, nomi_due);
    ASSERT_EQ(uno.file.size(), 1u) << s.nome;
    ASSERT_EQ(due.file.size(), 1u) << s.nome;
    EXPECT_EQ(uno.file.begin()->first, (nomi_uno.*s.membro).generic_string()) << s.nome;
    EXPECT_EQ(due.file.begin()->first, (nomi_due.*s.membro).generic_string()) << s.nome;
    EXPECT_EQ(uno.file.begin()->second, due.file.begin()->second) << s.nome;
  }
}

TEST(Scrittori, LongerFileIsReplacedWhole) {
  for (const scrittore_e_file& s : scrittori) {
    const testo_scritto atteso = scrivi_in_memoria(s.scrivi, s.membro);
    sistema_file_memoria fs;
    const nomi_file nomi = costruisci_nomi("cartella", "Valdora_Tarvea", "5293");
    fs.scrivi(nomi.*s.membro, atteso.contenuto + std::string(5000, 'z'));
    s.scrivi(fs, nomi);
    EXPECT_EQ(fs.leggi(nomi.*s.membro), atteso.contenuto) << s.nome;
    EXPECT_EQ(fs.file.size(), 1u) << s.nome << ": no temporary file is left";
  }
}

TEST(Scrittori, DiskFolderWithStaleCopies) {
  cartella_temporanea cartella;
  sistema_file_disco disco;
  const nomi_file nomi = costruisci_nomi(cartella.percorso(), "Valdora_Tarvea", "5293");
  for (const scrittore_e_file& s : scrittori) scrivi_file(nomi.*s.membro, std::string(20000, '#') + "\r\n");
  for (int volta = 0; volta < 2; ++volta) {
    for (const scrittore_e_file& s : scrittori) {
      s.scrivi(disco, nomi);
      EXPECT_EQ(leggi_file(nomi.*s.membro), scrivi_in_memoria(s.scrivi, s.membro).contenuto) << s.nome;
    }
  }
  std::size_t quanti = 0;
  for ([[maybe_unused]] const auto& voce : std::filesystem::directory_iterator(cartella.percorso())) ++quanti;
  EXPECT_EQ(quanti, scrittori.size());
}

TEST(Scrittori, EmptyFolderGetsEveryFile) {
  cartella_temporanea cartella;
  sistema_file_disco disco;
  const nomi_file nomi = costruisci_nomi(cartella.percorso(), "Valdora_Tarvea", "5293");
  for (const scrittore_e_file& s : scrittori) {
    s.scrivi(disco, nomi);
    EXPECT_TRUE(std::filesystem::is_regular_file(nomi.*s.membro)) << s.nome;
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(cartella.percorso() / "Valdora_Tarvea_5293_scheda_treno.txt"));
  EXPECT_TRUE(std::filesystem::is_regular_file(cartella.percorso() / "Valdora_Tarvea_5293-.txt"));
}

}  // namespace
}  // namespace scenario::prova
