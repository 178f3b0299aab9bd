#include <gtest/gtest.h>

#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::cartella_temporanea;
using prova::leggi_file;
using prova::scrivi_file;

TEST(SostituisciFile, CreatesTheFileInAnEmptyFolder) {
  cartella_temporanea c;
  sistema_file_disco disco;
  sostituisci_file(disco, c.percorso() / "a.dat", std::string("\x00\x01\r\n", 4));
  EXPECT_EQ(leggi_file(c.percorso() / "a.dat"), std::string("\x00\x01\r\n", 4));
  EXPECT_EQ(std::distance(fs::directory_iterator(c.percorso()), fs::directory_iterator()), 1);
}

TEST(SostituisciFile, AStaleLongerFileLeavesNoByteBehind) {
  cartella_temporanea c;
  sistema_file_disco disco;
  scrivi_file(c.percorso() / "a.dat", std::string(10000, 'x'));
  sostituisci_file(disco, c.percorso() / "a.dat", "nuovo");
  EXPECT_EQ(leggi_file(c.percorso() / "a.dat"), "nuovo");
  EXPECT_FALSE(fs::exists(nome_temporaneo(c.percorso() / "a.dat")));
}

TEST(SostituisciFile, AFailedReplacementKeepsTheOldFileAndRemovesTheTemporary) {
  cartella_temporanea c;
  sistema_file_disco disco;
  // a folder in the target's place: the rename fails after the temporary is written
  fs::create_directory(c.percorso() / "a.dat");
  scrivi_file(c.percorso() / "a.dat" / "dentro", "vecchio");
  try {
    sostituisci_file(disco, c.percorso() / "a.dat", "nuovo");
    FAIL() << "the replacement should fail";
  } catch (const errore_io& e) {
    EXPECT_NE(e.file().find("a.dat"), std::string::npos);
    EXPECT_FALSE(e.motivo().empty());
  }
  EXPECT_EQ(leggi_file(c.percorso() / "a.dat" / "dentro"), "vecchio");
  EXPECT_FALSE(fs::exists(nome_temporaneo(c.percorso() / "a.dat")));
}

TEST(SostituisciFile, AMissingFolderIsAClearError) {
  cartella_temporanea c;
  sistema_file_disco disco;
  try {
    sostituisci_file(disco, c.percorso() / "manca" / "a.dat", "x");
    FAIL() << "the replacement should fail";
  } catch (const errore_io& e) {
    EXPECT_NE(e.file().find("a.dat"), std::string::npos);
    EXPECT_NE(e.motivo().find("No such file"), std::string::npos);
  }
}

TEST(SistemaFileDisco, ReadsWritesAndDeletesWholeFiles) {
  cartella_temporanea c;
  sistema_file_disco disco;
  const fs::path f = c.percorso() / "b.txt";
  EXPECT_FALSE(disco.esiste(f));
  EXPECT_THROW(disco.leggi(f), errore_io);
  EXPECT_THROW(disco.elimina(f), errore_io);
  std::string grande(300000, 'a');
  grande[123456] = '\0';
  disco.scrivi(f, grande);
  EXPECT_TRUE(disco.esiste(f));
  EXPECT_EQ(disco.leggi(f), grande);
  disco.elimina(f);
  EXPECT_FALSE(disco.esiste(f));
  EXPECT_FALSE(disco.esiste(c.percorso()));  // a folder is not a file
}

TEST(NomiFile, EveryNameJoinsTheFolderAndTheIdentity) {
  const nomi_file n = costruisci_nomi("cartella", "Valdora_Tarvea", "5293");
  EXPECT_EQ(n.descrizione_linea, fs::path("cartella") / "Valdora_Tarvea_linea.txt");
  EXPECT_EQ(n.descrizione_treno, fs::path("cartella") / "Valdora_Tarvea_5293-.txt");
  EXPECT_EQ(n.note, fs::path("cartella") / "Valdora_Tarvea_5293_note.txt");
  EXPECT_EQ(n.rallentamenti, fs::path("cartella") / "Valdora_Tarvea_5293_rallentamenti.txt");
  EXPECT_EQ(n.scheda_treno, fs::path("cartella") / "Valdora_Tarvea_5293_scheda_treno.txt");
  EXPECT_EQ(n.file_linea, fs::path("cartella") / "Valdora_Tarvea_linea.dat");
  EXPECT_EQ(n.file_scenario, fs::path("cartella") / "Valdora_Tarvea_5293.sim");
  EXPECT_EQ(n.file_percorso, fs::path("cartella") / "Valdora_Tarvea_5293.dat");
}

}  // namespace
}  // namespace scenario
