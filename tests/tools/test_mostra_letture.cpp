// mostra_scenario's reading of the compiled files: a set that is not whole,
// anything but a regular file where the line file belongs, and a file larger
// than any compile writes are refused; every set a compile writes is listed.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "formato/decodifica.hpp"
#include "tests/tools/aiuto_compila.hpp"
#include "tools/mostra_scenario/mostra.hpp"

namespace scenario {
namespace {

namespace fsys = std::filesystem;
using prova::inserisci;
using prova::cambia;
using prova::linea_base;
using prova::testo_di;
using prova::treno_base;

// The disk, remembering the most bytes any read handed over.
class disco_misurato final : public sistema_file {
 public:
  bool esiste(const fsys::path& f) override { return vero_.esiste(f); }
  bool presente(const fsys::path& f) override { return vero_.presente(f); }
  std::string leggi(const fsys::path& f) override { return tieni(vero_.leggi(f)); }
  std::optional<std::string> leggi_entro(const fsys::path& f, std::uintmax_t limite) override {
    std::optional<std::string> r = vero_.leggi_entro(f, limite);
    if (r) massimo = std::max(massimo, r->size());
    return r;
  }
  bool crea_nuovo(const fsys::path& f, std::string_view c, const fsys::path& p, bool d) override {
    return vero_.crea_nuovo(f, c, p, d);
  }
  void rinomina(const fsys::path& da, const fsys::path& a, bool d) override { vero_.rinomina(da, a, d); }
  void elimina(const fsys::path& f) override { vero_.elimina(f); }
  void sincronizza_cartella(const fsys::path& c) override { vero_.sincronizza_cartella(c); }
  std::unique_ptr<blocco_cartella> blocca(const fsys::path& c, std::chrono::milliseconds a) override {
    return vero_.blocca(c, a);
  }

  std::size_t massimo = 0;

 private:
  std::string tieni(std::string s) {
    massimo = std::max(massimo, s.size());
    return s;
  }
  sistema_file_disco vero_;
};

struct uscita {
  int stato;
  std::string out, err;
};

uscita mostra(const fsys::path& cartella, std::vector<std::string> altri = {}, sistema_file* fs = nullptr) {
  std::vector<std::string> argomenti{"--linea", "Prova", "--treno", "77", "--dir", cartella.string()};
  argomenti.insert(argomenti.end(), altri.begin(), altri.end());
  sistema_file_disco disco;
  std::ostringstream out, err;
  const int stato = esegui_mostra(argomenti, fs != nullptr ? *fs : disco, out, err);
  return {stato, out.str(), err.str()};
}

// A folder with a pair of descriptions compiled in it.
struct compilata : prova::cartella_compila {
  explicit compilata(const prova::righe_file& linea, const prova::righe_file& treno = treno_base(),
                     bool senza_linea = false)
      : cartella_compila(testo_di(linea), testo_di(treno)) {
    opzioni_compila o = opzioni();
    o.senza_linea = senza_linea;
    sistema_file_disco fs;
    esito = compila(o, fs);
  }
  fsys::path file(const char* nome) const { return percorso() / nome; }
  esito_compila esito;
};

constexpr const char* linea_dat = "Prova_linea.dat";
constexpr const char* percorso_dat = "Prova_77.dat";
constexpr const char* scenario_sim = "Prova_77.sim";

std::string prime_celle(const compilata& c, std::size_t celle) {
  return prova::leggi_file(c.file(percorso_dat)).substr(0, 15 * celle);
}

// The base line is 10000 m: 341 cells, 17001 track plan rows.
TEST(MostraLetture, ASetThatIsNotWholeIsRefused) {
  const compilata altra(cambia(linea_base(), 2, "lunghezza percorso,    12000"));
  const std::string lunghezza = "the scenario file's route length of 10000 m gives ";
  struct caso {
    const char* cosa;
    std::function<void(const compilata&)> guasta;
    std::vector<std::string> opzioni;
    int stato;
    std::string atteso;  // in the error, or with exit 0 in the listing
  };
  const caso casi[] = {
      {"whole", [](const compilata&) {}, {}, 0, "cells 341, track plan 17001 rows"},
      {"route a cell short", [](const compilata& c) { prova::scrivi_file(c.file(percorso_dat), prime_celle(c, 340)); },
       {}, 2, "Prova_77.dat: byte 5100: cell 340: " + lunghezza + "341 cells (5115 bytes); the file holds 340"},
      {"route with 1000 zero cells more",
       [](const compilata& c) {
         prova::scrivi_file(c.file(percorso_dat), prime_celle(c, 341) + std::string(15 * 1000, '\0'));
       },
       {}, 2, "Prova_77.dat: byte 5115: cell 341: " + lunghezza + "341 cells (5115 bytes); the file holds 1341"},
      {"route of 2 of its 341 cells", [](const compilata& c) { prova::scrivi_file(c.file(percorso_dat), prime_celle(c, 2)); },
       {}, 2, "Prova_77.dat: byte 30: cell 2: " + lunghezza + "341 cells"},
      {"route a cell short, without the line file",
       [](const compilata& c) { prova::scrivi_file(c.file(percorso_dat), prime_celle(c, 340)); }, {"--senza-linea"}, 2,
       "Prova_77.dat: byte 5100: cell 340: "},
      {"empty line file", [](const compilata& c) { prova::scrivi_file(c.file(linea_dat), ""); }, {}, 2,
       "Prova_linea.dat: byte 0: element 0: " + lunghezza + "17001 rows, 34002 elements; the file is empty"},
      {"no line file", [](const compilata& c) { fsys::remove(c.file(linea_dat)); }, {}, 0,
       "cells 341, track plan none"},
      {"line file of a 12000 m compile",
       [&](const compilata& c) { prova::scrivi_file(c.file(linea_dat), prova::leggi_file(altra.file(linea_dat))); },
       {}, 2, "Prova_linea.dat: byte 169998: element 17001: " + lunghezza +
                  "17001 rows, 34002 elements; the file holds 19001 rows, 38002 elements "
                  "(left by another compile? --senza-linea reads without it)"},
      {"line file of a 12000 m compile, not read",
       [&](const compilata& c) { prova::scrivi_file(c.file(linea_dat), prova::leggi_file(altra.file(linea_dat))); },
       {"--senza-linea"}, 0, "cells 341, track plan none"},
  };
  for (const caso& k : casi) {
    const compilata c(linea_base());
    ASSERT_EQ(c.esito.uscita, uscita_compila::riuscita) << k.cosa;
    k.guasta(c);
    const uscita u = mostra(c.percorso(), k.opzioni);
    EXPECT_EQ(u.stato, k.stato) << k.cosa << "\n" << u.err;
    EXPECT_NE((k.stato == 0 ? u.out : u.err).find(k.atteso), std::string::npos) << k.cosa << "\n" << u.err << u.out;
  }
}

TEST(MostraLetture, OnlyARegularFileStandsForTheLineFile_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "needs FIFOs, links and /dev/zero";
#else
  struct caso {
    const char* cosa;
    std::function<void(const fsys::path&)> metti;
    int stato;
    std::string atteso;
  };
  const caso casi[] = {
      {"a folder", [](const fsys::path& p) { fsys::create_directory(p); }, 2, "Prova_linea.dat: is a folder, not a file"},
      {"a FIFO", [](const fsys::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, 2,
       "Prova_linea.dat: is a FIFO (named pipe), not a file"},
      {"a link to /dev/zero", [](const fsys::path& p) { fsys::create_symlink("/dev/zero", p); }, 2,
       "Prova_linea.dat: is a device, not a file"},
      {"a link to nothing", [](const fsys::path& p) { fsys::create_symlink("nessuno.dat", p); }, 2,
       "Prova_linea.dat: is a link to nothing: what it names does not exist"},
      {"a link to the line file", [](const fsys::path& p) { fsys::create_symlink("vera_linea.dat", p); }, 0,
       "track plan 17001 rows"},
  };
  for (const caso& k : casi) {
    const compilata c(linea_base());
    fsys::rename(c.file(linea_dat), c.file("vera_linea.dat"));
    k.metti(c.file(linea_dat));
    const uscita u = mostra(c.percorso());
    EXPECT_EQ(u.stato, k.stato) << k.cosa << "\n" << u.err;
    EXPECT_NE((k.stato == 0 ? u.out : u.err).find(k.atteso), std::string::npos) << k.cosa << "\n" << u.err;
  }
#endif
}

// 1 GiB sparse files: refused from their size, never read into memory.
TEST(MostraLetture, AFileLargerThanAnyCompileWritesIsRefusedUnread) {
  struct caso {
    const char* file;
    std::uintmax_t dimensione;
    std::string atteso;
  };
  const std::string gib = " (the file is 1073741824 bytes; not read)";
  const caso casi[] = {
      {percorso_dat, 1u << 30, "Prova_77.dat: byte 302115: cell 20141: more cells than the longest route holds" + gib},
      {linea_dat, 1u << 30, "Prova_linea.dat: byte 20140020: end of file: more bytes than the longest route's track plan"},
      {scenario_sim, 1u << 30, "Prova_77.sim: byte 5704503: end of file: more bytes than the 87 records take"},
      // at the limit the file is read, and its cells do not fit the route length
      {percorso_dat, 302115, "Prova_77.dat: byte 5115: cell 341: the scenario file's route length of 10000 m gives 341 "
                             "cells (5115 bytes); the file holds 20141 (302115 bytes)"},
  };
  for (const caso& k : casi) {
    const compilata c(linea_base());
    fsys::resize_file(c.file(k.file), k.dimensione);
    disco_misurato fs;
    const uscita u = mostra(c.percorso(), {}, &fs);
    EXPECT_EQ(u.stato, uscita_mostra::file_guasto) << k.file;
    EXPECT_NE(u.err.find(k.atteso), std::string::npos) << k.file << "\n" << u.err;
    EXPECT_LE(fs.massimo, byte_massimi(file_compilato::linea)) << k.file;
  }
}

// The bounded read itself, on the disk and on a file system that has only leggi.
TEST(MostraLetture, TheBoundedReadRefusesFromTheSize) {
  const prova::cartella_temporanea t;
  prova::scrivi_file(t.percorso() / "dieci", "0123456789");
  fsys::create_directory(t.percorso() / "cartella");
  prova::sistema_file_memoria memoria;
  memoria.scrivi(t.percorso() / "dieci", "0123456789");
  struct caso {
    const char* nome;
    std::uintmax_t limite;
    std::optional<std::string> letto;  // nothing: refused
    bool troppo_grande;
  };
  const caso casi[] = {
      {"dieci", 10, "0123456789", false},
      {"dieci", 100, "0123456789", false},
      {"dieci", 9, std::nullopt, true},
      {"assente", 10, std::nullopt, false},
  };
  sistema_file_disco disco;
  for (sistema_file* fs : {static_cast<sistema_file*>(&disco), static_cast<sistema_file*>(&memoria)}) {
    for (const caso& k : casi) {
      const fsys::path f = t.percorso() / k.nome;
      try {
        EXPECT_EQ(fs->leggi_entro(f, k.limite), k.letto) << k.nome << " " << k.limite;
        EXPECT_FALSE(k.troppo_grande) << k.nome;
      } catch (const errore_troppo_grande& e) {
        EXPECT_TRUE(k.troppo_grande) << k.nome;
        EXPECT_EQ(e.dimensione(), 10u);
        EXPECT_EQ(e.limite(), k.limite);
        EXPECT_EQ(e.motivo(), "is 10 bytes, over the limit of 9 bytes: not read");
      }
    }
  }
  EXPECT_THROW((void)disco.leggi_entro(t.percorso() / "cartella", 10), errore_io);
}

// Compiles that stop on a status code still write files; every set written is listed.
TEST(MostraLetture, EverySetACompileWritesIsListed) {
  struct caso {
    const char* cosa;
    prova::righe_file linea;
    bool senza_linea;
    std::string atteso;
  };
  const caso casi[] = {
      {"clean", linea_base(), false, "route: length 10000 m, cells 341, track plan 17001 rows"},
      {"without the track plan", linea_base(), true, "route: length 10000 m, cells 341, track plan none"},
      {"a second length above the limit", inserisci(linea_base(), 3, "lunghezza percorso, 2000000"), false,
       "route: length 2000000 m, cells 341, track plan 17001 rows"},
      {"a second length, negative", inserisci(linea_base(), 3, "lunghezza percorso, -20000"), false,
       "route: length -20000 m, cells 341, track plan 17001 rows"},
      {"length -6974 m", cambia(linea_base(), 2, "lunghezza percorso, -6974"), false,
       "route: length -6974 m, cells 2, track plan 27 rows"},
      {"length -6950 m", cambia(linea_base(), 2, "lunghezza percorso, -6950"), false,
       "route: length -6950 m, cells 2, track plan 51 rows"},
      {"a curve past 1000000 m", cambia(cambia(linea_base(), 2, "lunghezza percorso, 1000000"), 11, "curvad5, 999000, 5000"),
       false, "route: length 1000000 m, cells 20141, track plan 1007001 rows"},
  };
  for (const caso& k : casi) {
    const compilata c(k.linea, treno_base(), k.senza_linea);
    ASSERT_TRUE(fsys::exists(c.file(percorso_dat))) << k.cosa << "\n" << prova::tutti(c.esito);
    const uscita u = mostra(c.percorso(), k.senza_linea ? std::vector<std::string>{"--senza-linea"} : std::vector<std::string>{});
    EXPECT_EQ(u.stato, uscita_mostra::riuscita) << k.cosa << "\n" << u.err;
    EXPECT_NE(u.out.find(k.atteso), std::string::npos) << k.cosa << "\n" << u.out.substr(0, 400);
  }
}

}  // namespace
}  // namespace scenario
