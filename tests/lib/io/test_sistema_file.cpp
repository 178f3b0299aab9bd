#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <stdexcept>

#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"
#include "support/sistema_file_guasto.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using prova::cartella_temporanea;
using prova::leggi_file;
using prova::scrivi_file;

std::set<std::string> nomi_in(const fs::path& cartella) {
  std::set<std::string> nomi;
  for (const auto& voce : fs::directory_iterator(cartella)) nomi.insert(voce.path().filename().string());
  return nomi;
}

// The temporary vanishes before its rename: the message names it, not the target.
class disco_senza_temporaneo final : public sistema_file_disco {
 public:
  void rinomina(const fs::path& da, const fs::path& a, bool d) override {
    // deleted through the disk, which also closes it: a file still open is
    // only marked for deletion on Windows
    sistema_file_disco::elimina(da);
    sistema_file_disco::rinomina(da, a, d);
  }
};

TEST(SostituisciFile, AVanishedTemporaryIsTheFileNamed) {
  cartella_temporanea c;
  scrivi_file(c.percorso() / "a.dat", "vecchio");
  disco_senza_temporaneo disco;
  try {
    sostituisci_file(disco, c.percorso() / "a.dat", "nuovo");
    FAIL() << "the replacement should fail";
  } catch (const errore_io& e) {
    EXPECT_TRUE(e_temporaneo(fs::path(e.file()).filename().string())) << e.file();
    EXPECT_NE(e.motivo().find("a.dat"), std::string::npos) << e.motivo();
  }
  EXPECT_EQ(leggi_file(c.percorso() / "a.dat"), "vecchio");
}

TEST(SostituisciFile, AVeryLongLegalNameIsReplaced) {
  cartella_temporanea c;
  sistema_file_disco disco;
  const fs::path lungo = c.percorso() / (std::string(251, 'n') + ".dat");
  sostituisci_file(disco, lungo, "nuovo");
  EXPECT_EQ(leggi_file(lungo), "nuovo");
}

TEST(SostituisciFile, AReplacedFileKeepsItsPermissionBits_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permission bits: Windows files keep no mode to carry over";
#else
  cartella_temporanea c;
  sistema_file_disco disco;
  for (const fs::perms modo : {fs::perms::owner_read | fs::perms::owner_write,
                               fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read}) {
    const fs::path f = c.percorso() / "a.dat";
    scrivi_file(f, "vecchio");
    fs::permissions(f, modo);
    sostituisci_file(disco, f, "nuovo");
    EXPECT_EQ(fs::status(f).permissions(), modo);
    EXPECT_EQ(leggi_file(f), "nuovo");
  }
#endif
}

TEST(BloccoCartella, ASecondWriterWaitsThenStopsWithAClearMessage) {
  cartella_temporanea c;
  sistema_file_disco disco;
  {
    const auto primo = disco.blocca(c.percorso(), std::chrono::milliseconds(0));
    try {
      disco.blocca(c.percorso(), std::chrono::milliseconds(60));
      FAIL() << "the folder is already locked";
    } catch (const errore_io& e) {
      EXPECT_NE(e.motivo().find("another run is writing into this folder"), std::string::npos) << e.motivo();
    }
  }
  EXPECT_NE(disco.blocca(c.percorso(), std::chrono::milliseconds(0)), nullptr);  // released
  EXPECT_TRUE(nomi_in(c.percorso()).empty());  // no lock file left behind
}

TEST(BloccoCartella, StaleTemporariesGoLinksAndOtherFilesStay) {
  cartella_temporanea c;
  sistema_file_disco disco;
  const std::string vecchio = ".scenario-0123456789abcdef.tmp";
  const std::string collegamento = ".scenario-fedcba9876543210.tmp";
  const std::string altro = ".scenario-0123456789abcdeg.tmp";  // not our pattern
  for (const std::string& n : {vecchio, altro, std::string("vittima")}) scrivi_file(c.percorso() / n, n);
  std::error_code ec;
  fs::create_symlink(c.percorso() / "vittima", c.percorso() / collegamento, ec);
  const auto un_ora_fa = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(c.percorso() / vecchio, un_ora_fa);
  disco.blocca(c.percorso(), std::chrono::milliseconds(0));
  std::set<std::string> attesi{altro, "vittima"};
  if (!ec) attesi.insert(collegamento);
  EXPECT_EQ(nomi_in(c.percorso()), attesi);
  EXPECT_EQ(leggi_file(c.percorso() / "vittima"), "vittima");
}

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
  EXPECT_EQ(nomi_in(c.percorso()), std::set<std::string>{"a.dat"});
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
  EXPECT_EQ(nomi_in(c.percorso()), std::set<std::string>{"a.dat"});
}

// Megabytes of pieces, then a failure, as a serialisation stopped half-way:
// past the point where the disk starts writing back what came before.
class pezzi_che_cedono final : public contenuto_a_pezzi {
 public:
  void ricomincia() override { dati_ = 0; }
  std::size_t prossimi(std::span<char> spazio) override {
    if (dati_ >= (std::size_t{6} << 20)) throw std::runtime_error("stopped half-way");
    std::fill(spazio.begin(), spazio.end(), 'n');
    dati_ += spazio.size();
    return spazio.size();
  }

 private:
  std::size_t dati_ = 0;
};

TEST(SostituisciInsieme, AContentInPiecesThatFailsMidWayLeavesTheOldSet) {
  cartella_temporanea c;
  const fs::path sim = c.percorso() / "a.sim", dat = c.percorso() / "a.dat";
  sistema_file_disco disco;
  // straight to the disk, and through a wrapper that only passes crea_nuovo on
  prova::sistema_file_guasto avvolto(disco, 0);
  for (sistema_file* fs : {static_cast<sistema_file*>(&disco), static_cast<sistema_file*>(&avvolto)}) {
    scrivi_file(sim, "vecchio sim");
    scrivi_file(dat, "vecchio dat");
    pezzi_che_cedono pezzi;
    // the first file is written, its flush waiting, when the second fails
    const file_nuovo insieme[] = {{sim, "nuovo sim"}, {dat, {}, &pezzi}};
    EXPECT_THROW(sostituisci_insieme(*fs, insieme), std::runtime_error);
    EXPECT_EQ(leggi_file(sim), "vecchio sim");
    EXPECT_EQ(leggi_file(dat), "vecchio dat");
    EXPECT_EQ(nomi_in(c.percorso()), (std::set<std::string>{"a.dat", "a.sim"}));
    // nothing left waiting or locked: the next set goes through whole
    const file_nuovo dopo[] = {{sim, "nuovo sim"}, {dat, "nuovo dat"}};
    sostituisci_insieme(*fs, dopo);
    EXPECT_EQ(leggi_file(sim), "nuovo sim");
    EXPECT_EQ(leggi_file(dat), "nuovo dat");
  }
}

TEST(SostituisciFile, AMissingFolderIsAClearError) {
  cartella_temporanea c;
  sistema_file_disco disco;
  try {
    sostituisci_file(disco, c.percorso() / "manca" / "a.dat", "x");
    FAIL() << "the replacement should fail";
  } catch (const errore_io& e) {
    EXPECT_NE(e.file().find("a.dat"), std::string::npos);
#ifdef _WIN32
    // the system's words: "Path not found" (Wine), "cannot find the path" (Windows)
    EXPECT_NE(e.motivo().find("ath"), std::string::npos) << e.motivo();
#else
    EXPECT_NE(e.motivo().find("No such file"), std::string::npos);
#endif
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
  EXPECT_TRUE(disco.crea_nuovo(f, grande, f, true));
  EXPECT_FALSE(disco.crea_nuovo(f, "altro", f, true));  // never opens a name already taken
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
