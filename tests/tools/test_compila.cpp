// compila_scenario in-process: files written and left alone, exit statuses,
// bad input of every kind.
#include <gtest/gtest.h>

#include <ostream>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>

#include "io/errore_io.hpp"
#include "io/testo_1252.hpp"
#include "support/sistema_file_guasto.hpp"
#include "diagnostica/messaggi.hpp"
#include "tests/tools/aiuto_compila.hpp"

namespace scenario::prova {
namespace {

namespace fsys = std::filesystem;

const std::string segnale_doppio = "segnale,    2150,   1, 5, 6,  0, 0,    0,  0,0,0, 0";

std::vector<std::string> argomenti_per(const cartella_compila& c, std::vector<std::string> altri = {}) {
  std::vector<std::string> a = {"--linea", nome_linea_prova, "--treno", numero_treno_prova};
  a.insert(a.end(), {"--dir", c.percorso().string()});
  a.insert(a.end(), altri.begin(), altri.end());
  return a;
}

std::vector<std::string> nomi_in(const fsys::path& cartella) {
  std::vector<std::string> n;
  for (const auto& voce : fsys::directory_iterator(cartella)) n.push_back(voce.path().filename().string());
  std::sort(n.begin(), n.end());
  return n;
}

// --- the description files stay as they were -------------------------------

struct ingresso {
  const char* nome;
  std::optional<std::string> linea;
  std::optional<std::string> treno;
};

// Test names show the case, not its bytes.
void PrintTo(const ingresso& c, std::ostream* os) { *os << c.nome; }

class file_intatti : public ::testing::TestWithParam<ingresso> {};

TEST_P(file_intatti, dopo_la_compilazione) {
  const ingresso& i = GetParam();
  const cartella_compila cartella(i.linea, i.treno);
  const fsys::path linea = cartella.percorso() / file_linea_prova;
  const fsys::path treno = cartella.percorso() / file_treno_prova;
  std::optional<fsys::file_time_type> ora_linea;
  std::optional<fsys::file_time_type> ora_treno;
  if (i.linea) ora_linea = fsys::last_write_time(linea);
  if (i.treno) ora_treno = fsys::last_write_time(treno);

  const esito_compila e = cartella.compila_qui();
  (void)e;
  ASSERT_EQ(fsys::exists(linea), i.linea.has_value());
  ASSERT_EQ(fsys::exists(treno), i.treno.has_value());
  if (i.linea) {
    EXPECT_EQ(leggi_file(linea), *i.linea);
    EXPECT_EQ(fsys::last_write_time(linea), *ora_linea);
  }
  if (i.treno) {
    EXPECT_EQ(leggi_file(treno), *i.treno);
    EXPECT_EQ(fsys::last_write_time(treno), *ora_treno);
  }
}

INSTANTIATE_TEST_SUITE_P(
    casi, file_intatti,
    ::testing::Values(
        ingresso{"puliti", testo_di(linea_base()), testo_di(treno_base())},
        // a refusal: the generator would delete the train file here
        ingresso{"rifiuto", testo_di(linea_base()), testo_di(inserisci(treno_base(), 18, segnale_doppio))},
        // the failure trap deletes both files in the generator
        ingresso{"trappola_linea", testo_di(cambia(linea_base(), 2, "lunghezza percorso, x")), testo_di(treno_base())},
        ingresso{"trappola_treno", testo_di(linea_base()), testo_di(cambia(treno_base(), 9, "velocita,   abc,    30"))},
        ingresso{"treno_mancante", testo_di(linea_base()), std::nullopt},
        ingresso{"fatale", testo_di(inserisci(linea_base(), 18, "indicatori_vmax,  0,  65,  70,  75,  0,  ,  ,  ,  0")),
                 testo_di(treno_base())}),
    [](const ::testing::TestParamInfo<ingresso>& i) { return std::string(i.param.nome); });

// --- where the compiled files go ---------------------------------------------

TEST(compila_uscita, la_cartella_di_uscita_riceve_i_tre_file) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  cartella_temporanea uscita;
  const auto r = lancia(argomenti_per(cartella, {"--out", uscita.percorso().string()}));
  EXPECT_EQ(r.stato, uscita_compila::riuscita) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(nomi_in(uscita.percorso()), (std::vector<std::string>{"Prova_77.dat", "Prova_77.sim", "Prova_linea.dat"}));
  EXPECT_EQ(nomi_in(cartella.percorso()), (std::vector<std::string>{file_treno_prova, file_linea_prova}));
  EXPECT_NE(r.out.find("written: " + (uscita.percorso() / "Prova_linea.dat").string()), std::string::npos) << r.out;
}

TEST(compila_uscita, senza_linea_non_scrive_il_file_della_linea) {
  const cartella_compila con(testo_di(linea_base()), testo_di(treno_base()));
  const cartella_compila senza(testo_di(linea_base()), testo_di(treno_base()));
  ASSERT_EQ(lancia(argomenti_per(con)).stato, uscita_compila::riuscita);
  const auto r = lancia(argomenti_per(senza, {"--senza-linea"}));
  EXPECT_EQ(r.stato, uscita_compila::riuscita) << r.err;
  EXPECT_FALSE(fsys::exists(senza.percorso() / "Prova_linea.dat"));
  // curves only shape the track plan: cells and records come out the same
  for (const char* f : {"Prova_77.sim", "Prova_77.dat"}) {
    EXPECT_EQ(leggi_file(senza.percorso() / f), leggi_file(con.percorso() / f)) << f;
  }
}

// --- exit statuses -------------------------------------------------------------

TEST(compila_stati, errori_di_dati_scrivono_comunque_i_file) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(inserisci(treno_base(), 18, segnale_doppio)));
  const auto r = lancia(argomenti_per(cartella));
  EXPECT_EQ(r.stato, uscita_compila::errori_dati);
  EXPECT_NE(r.err.find("Prova_77-.txt:18:1: segnale at 2150 m: "), std::string::npos) << r.err;
  EXPECT_TRUE(fsys::exists(cartella.percorso() / "Prova_77.dat"));
  EXPECT_TRUE(fsys::exists(cartella.percorso() / "Prova_77.sim"));
}

// A speed board at 0 m lands in cell 1, where the format number goes.
TEST(compila_stati, slot_occupato_e_fatale_e_non_scrive_nulla) {
  struct caso {
    righe_file linea;
    righe_file treno;
    int32_t codice;
  };
  const caso casi[] = {
      {inserisci(linea_base(), 18, "indicatori_vmax,  0,  65,  70,  75,  0,  ,  ,  ,  0"), treno_base(), 1250},
      // speed 0 leaves the format slot empty; d_v fills the code slot
      {linea_base(), inserisci(treno_base(), 18, "rallentamento,    0,    0,  300, 0,  0,  5"), 1251},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.codice);
    const cartella_compila cartella(testo_di(c.linea), testo_di(c.treno));
    scrivi_file(cartella.percorso() / "Prova_77.sim", "vecchio");
    const auto r = lancia(argomenti_per(cartella));
    EXPECT_EQ(r.stato, uscita_compila::fatale) << r.err;
    EXPECT_NE(r.err.find("fatal: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(status " + std::to_string(c.codice) + ")"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cell 1"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "no compiled file written\n");
    EXPECT_EQ(leggi_file(cartella.percorso() / "Prova_77.sim"), "vecchio");
    EXPECT_EQ(nomi_in(cartella.percorso()),
              (std::vector<std::string>{file_treno_prova, "Prova_77.sim", file_linea_prova}));
    const auto j = lancia(argomenti_per(cartella, {"--json"}));
    EXPECT_EQ(j.stato, uscita_compila::fatale);
    EXPECT_EQ(j.out.rfind("{\"exit\":2,\"status\":" + std::to_string(c.codice) +
                              ",\"position\":null,\"file\":null,\"line\":null,\"column\":null,\"written\":[],",
                          0),
              0u)
        << j.out;
  }
}

// A route of one cell has no cell 1 for the format number: whatever the
// compiler does about it, it is the data's fault, and the tool says so.
TEST(compila_stati, percorso_senza_cella_1) {
  const cartella_compila cartella(testo_di(cambia(linea_base(), 2, "lunghezza percorso, -7000")),
                                  testo_di(treno_base()));
  const auto r = lancia(argomenti_per(cartella));
  EXPECT_EQ(r.stato, uscita_compila::errori_dati) << r.err;
  EXPECT_FALSE(r.err.empty());
  EXPECT_FALSE(fsys::exists(cartella.percorso() / "Prova_77.dat"));
}

TEST(compila_stati, cartelle_inutilizzabili) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  const fsys::path mancante = cartella.percorso() / "manca";
  auto r = lancia(argomenti_per(cartella, {"--out", mancante.string()}));
  EXPECT_EQ(r.stato, uscita_compila::guasto_io);
  EXPECT_EQ(r.err, mancante.string() + ": no such folder\n");

  r = lancia({"--linea", "Prova", "--treno", "77", "--dir", mancante.string()});
  EXPECT_EQ(r.stato, uscita_compila::guasto_io);

  r = lancia(argomenti_per(cartella, {"--out", (cartella.percorso() / file_linea_prova).string()}));
  EXPECT_EQ(r.stato, uscita_compila::guasto_io);
  EXPECT_NE(r.err.find("not a folder"), std::string::npos);
  EXPECT_EQ(nomi_in(cartella.percorso()), (std::vector<std::string>{file_treno_prova, file_linea_prova}));
}

// Every write, rename and delete of the compile failing in turn: status 3,
// the failing file named, and no temporary or half-written file left.
TEST(compila_stati, ogni_guasto_di_scrittura) {
  for (int guasto = 1;; ++guasto) {
    SCOPED_TRACE(guasto);
    const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
    sistema_file_disco disco;
    sistema_file_guasto fs(disco, guasto);
    const esito_compila e = compila(cartella.opzioni(), fs);
    if (!fs.guastato()) {
      EXPECT_EQ(e.uscita, uscita_compila::riuscita);
      EXPECT_GT(guasto, 3);
      break;
    }
    EXPECT_EQ(e.uscita, uscita_compila::guasto_io) << tutti(e);
    ASSERT_FALSE(e.messaggi.empty());
    EXPECT_NE(messaggi_di(e).back().file.find(cartella.percorso().string()), std::string::npos);
    for (const std::string& n : nomi_in(cartella.percorso())) {
      EXPECT_FALSE(n.ends_with(".tmp")) << n;
    }
    // what is reported written is there, whole
    for (const std::string& s : e.scritti) EXPECT_TRUE(fsys::exists(s)) << s;
    EXPECT_EQ(leggi_file(cartella.percorso() / file_linea_prova), testo_di(linea_base()));
  }
}

// The disk refuses to read the train file.
class treno_illeggibile final : public sistema_file {
 public:
  bool esiste(const fsys::path& f) override { return disco_.esiste(f); }
  std::string leggi(const fsys::path& f) override {
    if (f.filename() == file_treno_prova) throw errore_io(f.string(), "Input/output error");
    return disco_.leggi(f);
  }
  bool crea_nuovo(const fsys::path& f, std::string_view c, const fsys::path& p, bool d) override {
    return disco_.crea_nuovo(f, c, p, d);
  }
  void rinomina(const fsys::path& da, const fsys::path& a, bool d) override { disco_.rinomina(da, a, d); }
  void elimina(const fsys::path& f) override { disco_.elimina(f); }
  void sincronizza_cartella(const fsys::path& c) override { disco_.sincronizza_cartella(c); }
  std::unique_ptr<blocco_cartella> blocca(const fsys::path& c, std::chrono::milliseconds a) override {
    return disco_.blocca(c, a);
  }

 private:
  sistema_file_disco disco_;
};

// The folder as typed, in either form: each path shown is joined with the
// separator the folder was typed with (on Windows "C:/x" and "C:\\x").
TEST(compila_uscita, i_percorsi_mostrati_usano_il_separatore_della_cartella) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  fsys::path nativa = cartella.percorso();
  nativa.make_preferred();
  for (const std::string& dir : {cartella.percorso().generic_string(), nativa.string()}) {
    SCOPED_TRACE(dir);
    const char separatore = dir.find('\\') != std::string::npos ? '\\' : '/';
    const char altro = separatore == '/' ? '\\' : '/';
    const auto r = lancia({"--linea", nome_linea_prova, "--treno", numero_treno_prova, "--dir", dir});
    EXPECT_EQ(r.stato, uscita_compila::riuscita) << r.err;
    EXPECT_EQ(r.out.rfind("written: " + dir + separatore + "Prova_linea.dat", 0), 0u) << r.out;
    EXPECT_EQ(r.out.find(altro), std::string::npos) << r.out;
  }
}

TEST(compila_stati, file_descrittivo_illeggibile) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  treno_illeggibile fs;
  const esito_compila e = compila(cartella.opzioni(), fs);
  EXPECT_EQ(e.uscita, uscita_compila::guasto_io) << tutti(e);
  const std::string atteso =
      (cartella.percorso() / file_treno_prova).string() + ": cannot read: Input/output error";
  const std::vector<messaggio> visti = messaggi_di(e);
  EXPECT_EQ(std::count_if(visti.begin(), visti.end(), [&](const messaggio& m) { return m.stampato == atteso; }),
            1)
      << tutti(e);
  EXPECT_EQ(leggi_file(cartella.percorso() / file_treno_prova), testo_di(treno_base()));
  EXPECT_EQ(leggi_file(cartella.percorso() / file_linea_prova), testo_di(linea_base()));
}

TEST(compila_stati, cartella_di_uscita_in_sola_lettura_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "needs POSIX folder permissions: a read-only folder still takes new files on Windows";
#else
  const cartella_compila cartella(testo_di(linea_base()), testo_di(treno_base()));
  cartella_temporanea uscita;
  fsys::permissions(uscita.percorso(), fsys::perms::owner_read | fsys::perms::owner_exec);
  fsys::path destinazione = uscita.percorso();
  if (::access(destinazione.c_str(), W_OK) == 0) {
    // root writes anywhere; /proc refuses new files even to root
    if (!fsys::is_directory("/proc/self")) GTEST_SKIP() << "no read-only folder to write into";
    destinazione = "/proc/self";
  }
  const auto r = lancia(argomenti_per(cartella, {"--out", destinazione.string()}));
  EXPECT_EQ(r.stato, uscita_compila::guasto_io) << r.err;
  EXPECT_NE(r.err.find(destinazione.string() + "/Prova_linea.dat"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "no compiled file written\n");
  EXPECT_TRUE(nomi_in(uscita.percorso()).empty());
#endif
}

// --- bad input never crashes ------------------------------------------------------

std::string binario(std::size_t n) {
  std::mt19937 caso(7);
  std::string t(n, '\0');
  for (char& c : t) c = static_cast<char>(caso() & 0xFF);
  t[0] = '\0';
  return t;
}

struct cattivo {
  const char* nome;
  std::optional<std::string> linea;
  std::optional<std::string> treno;
  const char* nel_messaggio;  // a piece of the messages
};

// Test names show the case, not its bytes.
void PrintTo(const cattivo& c, std::ostream* os) { *os << c.nome; }

class ingressi_cattivi : public ::testing::TestWithParam<cattivo> {};

TEST_P(ingressi_cattivi, messaggio_chiaro_e_stato_non_nullo) {
  const cattivo& c = GetParam();
  const cartella_compila cartella(c.linea, c.treno);
  const auto r = lancia(argomenti_per(cartella));
  EXPECT_EQ(r.stato, uscita_compila::errori_dati) << r.err;
  EXPECT_NE(r.err.find(c.nel_messaggio), std::string::npos) << r.err;
  EXPECT_LT(r.err.size(), 4000u) << "messages must stay short";
  for (char ch : r.err) {
    const auto u = static_cast<unsigned char>(ch);
    EXPECT_TRUE(u >= 0x20 || ch == '\n') << "raw control byte in the messages";
  }
  for (const std::string& n : nomi_in(cartella.percorso())) {
    EXPECT_FALSE(n.ends_with(".tmp")) << n;
  }
}

const std::string riga_enorme(8'000'000, 'x');

INSTANTIATE_TEST_SUITE_P(
    casi, ingressi_cattivi,
    ::testing::Values(
        cattivo{"linea_binaria", binario(100'000), testo_di(treno_base()),
                "Prova_linea.txt:1:1: binary content (byte 0x00)"},
        cattivo{"treno_binario", testo_di(linea_base()), binario(100'000), "Prova_77-.txt:1:1: binary content (byte 0x00)"},
        cattivo{"linea_vuota", "", testo_di(treno_base()), "Prova_linea.txt: the file is empty"},
        cattivo{"treno_vuoto", testo_di(linea_base()), "", "Prova_77-.txt: the file is empty"},
        cattivo{"treno_di_soli_spazi", testo_di(linea_base()), "  \r\n\t\r\n",
                "Prova_77-.txt: the file holds only blanks"},
        cattivo{"linea_di_una_riga_enorme", riga_enorme, testo_di(treno_base()),
                "Prova_linea.txt:1:10001: a line of 8000000 bytes: not a description file"},
        cattivo{"treno_di_una_riga_enorme", testo_di(linea_base()), "[generale]\r\n" + riga_enorme + "\r\n[fine]\r\n",
                "Prova_77-.txt:2:10001: a line of 8000000 bytes: not a description file"},
        cattivo{"treno_senza_generale", testo_di(linea_base()), "velocita, 0, 30\r\n[fine]\r\n",
                "Prova_77-.txt:1:1: no [generale] marker"},
        cattivo{
            "numero_di_40_cifre", testo_di(linea_base()),
            testo_di(cambia(treno_base(), 2, "percentuale massa frenata, 1234567890123456789012345678901234567890")),
            "Prova_77-.txt:2:28: percentuale massa frenata: run-time failure: "},
        cattivo{"linea_mancante", std::nullopt, testo_di(treno_base()), "Prova_linea.txt: "},
        cattivo{"treno_mancante", testo_di(linea_base()), std::nullopt, "Prova_77-.txt: run-time failure: "}),
    [](const ::testing::TestParamInfo<cattivo>& i) { return std::string(i.param.nome); });

// --- JSON ------------------------------------------------------------------------------

TEST(compila_json, una_riga_con_stato_posizione_file_e_riga) {
  const cartella_compila cartella(testo_di(linea_base()), testo_di(inserisci(treno_base(), 18, segnale_doppio)));
  const auto r = lancia(argomenti_per(cartella, {"--json"}));
  EXPECT_EQ(r.stato, uscita_compila::errori_dati);
  EXPECT_EQ(r.err, "");
  ASSERT_TRUE(r.out.ends_with("}\n"));
  EXPECT_EQ(r.out.find('\n'), r.out.size() - 1);
  const std::string file = (cartella.percorso() / file_treno_prova).string();
  EXPECT_EQ(r.out.rfind("{\"exit\":1,\"status\":16,\"position\":2150,\"file\":" + nlohmann::json(utf8_leggibile(file)).dump() + ",\"line\":18,", 0), 0u)
      << r.out;
  EXPECT_NE(r.out.find("\"keyword\":\"segnale\""), std::string::npos);
  EXPECT_NE(r.out.find("\"written\":[\""), std::string::npos);
}

// A report that cannot be written is a disk failure on every path, bad usage too.
TEST(compila_stati, un_rapporto_non_scritto_non_e_un_successo) {
  sistema_file_disco fs;
  for (const bool json : {false, true}) {
    std::ostringstream uscita;
    std::ostringstream errori;
    std::vector<std::string> a = {"--linea", "x"};
    if (json) {
      a.push_back("--json");
      uscita.setstate(std::ios::badbit);
    } else {
      errori.setstate(std::ios::badbit);
    }
    EXPECT_EQ(esegui_compila(a, fs, uscita, errori), uscita_compila::guasto_io) << json;
  }
}

TEST(compila_json, anche_l_uso_errato_risponde_in_json) {
  const auto r = lancia({"--json", "--linea", "x"});
  EXPECT_EQ(r.stato, uscita_compila::uso_errato);
  EXPECT_EQ(r.out,
            "{\"exit\":64,\"status\":null,\"position\":null,\"file\":null,\"line\":null,\"column\":null,"
            "\"written\":[],\"messages\":[{\"message\":\"--treno NUMERO is missing\",\"severity\":\"error\","
            "\"status\":null,\"position\":null,\"file\":null,\"line\":null,\"column\":null,\"end_line\":null,"
            "\"end_column\":null,\"keyword\":null,\"text\":\"--treno NUMERO is missing\",\"related\":[]}]}\n");
}

// A Windows-1252 line name: the files carry its bytes, JSON shows it in UTF-8.
TEST(compila_json, nomi_in_windows_1252) {
  cartella_temporanea cartella;
  const std::string nome = "Citt\xE0";
  scrivi_file(cartella.percorso() / (nome + "_linea.txt"), testo_di(linea_base()));
  scrivi_file(cartella.percorso() / (nome + "_77-.txt"), testo_di(inserisci(treno_base(), 18, segnale_doppio)));
  const auto r = lancia({"--linea", nome, "--treno", "77", "--dir", cartella.percorso().string(), "--json"});
  EXPECT_EQ(r.stato, uscita_compila::errori_dati);
  EXPECT_NE(r.out.find("Citt\xC3\xA0_77-.txt\",\"line\":18"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Citt\xE0"), std::string::npos);
}


// --- description files that exist but are no files -----------------------------

// A folder, a FIFO or a link to an endless device in the description file's
// place: a disk failure with its reason, exit 3, never status 101, never a wait.
TEST(compila_stati, descrizione_che_non_e_un_file) {
  struct tipo {
    const char* nome;
    const char* motivo;
  };
  std::vector<tipo> tipi = {{"cartella", "is a folder"}};
#ifndef _WIN32
  // FIFOs and /dev exist only on POSIX systems
  tipi.insert(tipi.end(), {{"fifo", "is a FIFO"}, {"dispositivo", "is a device"}});
#endif
  for (const tipo t : tipi) {
    for (const bool linea : {true, false}) {
      SCOPED_TRACE(std::string(t.nome) + (linea ? " (line)" : " (train)"));
      const cartella_compila c(linea ? std::nullopt : std::optional(testo_di(linea_base())),
                               linea ? std::optional(testo_di(treno_base())) : std::nullopt);
      const fsys::path p = c.percorso() / (linea ? file_linea_prova : file_treno_prova);
      if (std::string(t.nome) == "cartella") fsys::create_directory(p);
#ifndef _WIN32
      if (std::string(t.nome) == "fifo") {
        ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
      }
#endif
      if (std::string(t.nome) == "dispositivo") fsys::create_symlink("/dev/zero", p);
      const esito_compila e = c.compila_qui();
      EXPECT_EQ(e.uscita, uscita_compila::guasto_io) << tutti(e);
      EXPECT_NE(tutti(e).find(std::string("cannot read: ") + t.motivo), std::string::npos) << tutti(e);
      EXPECT_EQ(tutti(e).find("(status 101)"), std::string::npos) << tutti(e);
    }
  }
}

// A folder that may not be searched: the file in it cannot be looked at.
TEST(compila_stati, cartella_senza_permesso_solo_posix) {
#ifdef _WIN32
  GTEST_SKIP() << "needs POSIX folder permissions";
#else
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const cartella_compila c(testo_di(linea_base()), testo_di(treno_base()));
  fsys::permissions(c.percorso(), fsys::perms::owner_write | fsys::perms::owner_read);
  const esito_compila e = c.compila_qui();
  fsys::permissions(c.percorso(), fsys::perms::owner_all);
  EXPECT_EQ(e.uscita, uscita_compila::guasto_io) << tutti(e);
  EXPECT_NE(tutti(e).find("Permission denied"), std::string::npos) << tutti(e);
#endif
}

}  // namespace
}  // namespace scenario::prova
