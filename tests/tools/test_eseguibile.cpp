// The compila_scenario program itself, beside genera_scenario.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "io/nomi_file.hpp"
#include "support/esegui.hpp"
#include "support/supporto.hpp"
#include "writers/scrittori.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;

const char* const binari[] = {"Valdora_Tarvea_linea.dat", "Valdora_Tarvea_5293.sim", "Valdora_Tarvea_5293.dat"};

std::string compila_scenario(const std::string& argomenti) { return tra_apici(COMPILA_SCENARIO_EXE) + " " + argomenti; }

// The program's own description files, as its writers print them.
void scrivi_descrizioni(const fsys::path& cartella) {
  sistema_file_disco fs;
  const nomi_file nomi = costruisci_nomi(cartella, "Valdora_Tarvea", "5293");
  dati_linea(fs, nomi);
  dati_treno(fs, nomi);
}

TEST(compila_scenario_programma, stessi_byte_di_genera_scenario) {
  cartella_temporanea generatore;
  const fsys::path programma = generatore.percorso() / nome_programma("genera_scenario");
  fsys::copy_file(GENERA_SCENARIO_EXE, programma);
  ASSERT_EQ(esegui(tra_apici(programma.string()), generatore.percorso()).stato, 0);

  cartella_temporanea autore;
  scrivi_descrizioni(autore.percorso());
  const std::string linea = leggi_file(autore.percorso() / "Valdora_Tarvea_linea.txt");
  const std::string treno = leggi_file(autore.percorso() / "Valdora_Tarvea_5293-.txt");
  ASSERT_FALSE(linea.empty());
  ASSERT_FALSE(treno.empty());

  // not even a warning on the program's own files, with or without the track plan
  const esito_processo senza = esegui(compila_scenario("--linea Valdora_Tarvea --treno 5293 --senza-linea --rigoroso"),
                                      autore.percorso());
  EXPECT_EQ(senza.stato, 0) << senza.errori;
  EXPECT_EQ(senza.errori, "");
  const esito_processo r =
      esegui(compila_scenario("--linea Valdora_Tarvea --treno 5293 --rigoroso"), autore.percorso());
  EXPECT_EQ(r.stato, 0) << r.errori;
  EXPECT_EQ(r.errori, "");
  EXPECT_EQ(r.uscita, "written: Valdora_Tarvea_linea.dat, Valdora_Tarvea_5293.sim, Valdora_Tarvea_5293.dat\n");
  for (const char* f : binari) {
    ASSERT_TRUE(fsys::exists(generatore.percorso() / f)) << f;
    ASSERT_TRUE(fsys::exists(autore.percorso() / f)) << f;
    EXPECT_TRUE(leggi_file(autore.percorso() / f) == leggi_file(generatore.percorso() / f)) << f << " differs";
  }
  EXPECT_EQ(leggi_file(autore.percorso() / "Valdora_Tarvea_linea.txt"), linea);
  EXPECT_EQ(leggi_file(autore.percorso() / "Valdora_Tarvea_5293-.txt"), treno);
}

// The program's own train file with its signal at 2150 m given twice.
TEST(compila_scenario_programma, messaggio_sul_file_del_programma) {
  cartella_temporanea autore;
  scrivi_descrizioni(autore.percorso());
  const fsys::path treno = autore.percorso() / "Valdora_Tarvea_5293-.txt";
  const std::string testo = leggi_file(treno);
  const std::size_t inizio = testo.find("segnale,    2150,");
  ASSERT_NE(inizio, std::string::npos);
  const std::size_t fine = testo.find("\r\n", inizio) + 2;
  const int riga =
      static_cast<int>(std::count(testo.begin(), testo.begin() + static_cast<std::ptrdiff_t>(fine), '\n')) + 1;
  scrivi_file(treno, testo.substr(0, fine) + testo.substr(inizio, fine - inizio) + testo.substr(fine));

  const esito_processo r = esegui(compila_scenario("--linea Valdora_Tarvea --treno 5293"), autore.percorso());
  EXPECT_EQ(r.stato, 1);
  const std::string atteso = "Valdora_Tarvea_5293-.txt:" + std::to_string(riga) + ":1: segnale at 2150 m: ";
  EXPECT_EQ(r.errori.rfind(atteso, 0), 0u) << r.errori;
  EXPECT_NE(r.errori.find("44"), std::string::npos) << r.errori;
  EXPECT_NE(r.errori.find(" (status 16)\n"), std::string::npos) << r.errori;
}

TEST(compila_scenario_programma, stati_di_uscita) {
  cartella_temporanea vuota;
  esito_processo r = esegui(compila_scenario("--help"), vuota.percorso());
  EXPECT_EQ(r.stato, 0);
  EXPECT_EQ(r.uscita.rfind("usage: compila_scenario --linea NOME --treno NUMERO", 0), 0u);
  EXPECT_NE(r.uscita.find("Exit status"), std::string::npos);

  r = esegui(compila_scenario(""), vuota.percorso());
  EXPECT_EQ(r.stato, 64);
  EXPECT_NE(r.errori.find("--linea NOME is missing"), std::string::npos) << r.errori;

  r = esegui(compila_scenario("--linea A --treno 1 --bogus"), vuota.percorso());
  EXPECT_EQ(r.stato, 64);
  EXPECT_NE(r.errori.find("unknown option '--bogus'"), std::string::npos) << r.errori;

  r = esegui(compila_scenario("--linea A --treno 1 --dir manca"), vuota.percorso());
  EXPECT_EQ(r.stato, 3);
  EXPECT_EQ(r.errori, "manca: no such folder\n");

  // nothing to read: status 101, nothing written
  r = esegui(compila_scenario("--linea A --treno 1"), vuota.percorso());
  EXPECT_EQ(r.stato, 1);
  EXPECT_EQ(r.errori.rfind("A_linea.txt: ", 0), 0u) << r.errori;
  EXPECT_NE(r.errori.find("(status 101)"), std::string::npos) << r.errori;
  EXPECT_TRUE(fsys::is_empty(vuota.percorso()));

  r = esegui(compila_scenario("--linea A --treno 1 --json"), vuota.percorso());
  EXPECT_EQ(r.stato, 1);
  EXPECT_EQ(r.uscita.rfind("{\"exit\":1,\"status\":101,\"position\":null,\"file\":\"A_linea.txt\",", 0), 0u)
      << r.uscita;
}

}  // namespace
}  // namespace scenario::prova
