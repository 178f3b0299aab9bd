#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "io/testo_1252.hpp"
#include "tests/tools/aiuto_compila.hpp"
#include "tools/compila_scenario/compila.hpp"
#include "tools/mostra_scenario/mostra.hpp"

namespace scenario {
namespace {

using prova::cartella_compila;
using prova::linea_base;
using prova::testo_di;
using prova::treno_base;

// A stream whose every write fails, as standard output on a full disk does.
class flusso_pieno : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

struct esito {
  int stato;
  std::string out, err;
};

esito mostra(std::vector<std::string> argomenti, std::ostream* uscita = nullptr) {
  sistema_file_disco fs;
  std::ostringstream out, err;
  const int stato = esegui_mostra(argomenti, fs, uscita ? *uscita : out, err);
  return {stato, out.str(), err.str()};
}

std::vector<std::string> con(const cartella_compila& c, std::vector<std::string> altri) {
  std::vector<std::string> a{"--linea", "Prova", "--treno", "77", "--dir", c.percorso().string()};
  a.insert(a.end(), altri.begin(), altri.end());
  return a;
}

std::set<std::string> chiavi(const nlohmann::json& j) {
  std::set<std::string> r;
  for (const auto& [k, v] : j.items()) r.insert(k);
  return r;
}

TEST(MostraUscite, AFailedStandardOutputIsNeverSuccess) {
  const cartella_compila c(testo_di(linea_base()), testo_di(treno_base()));
  ASSERT_EQ(c.compila_qui().uscita, uscita_compila::riuscita);
  const std::vector<std::vector<std::string>> casi = {
      {}, {"--json"}, {"--grezzo"}, {"--confronta", c.percorso().string()}};
  for (const auto& altri : casi) {
    flusso_pieno pieno;
    std::ostream out(&pieno);
    const esito e = mostra(con(c, altri), &out);
    EXPECT_EQ(e.stato, uscita_mostra::guasto_uscita) << testing::PrintToString(altri);
    EXPECT_NE(e.err.find("cannot write to standard output"), std::string::npos) << e.err;
  }
  flusso_pieno pieno;
  std::ostream out(&pieno);
  EXPECT_EQ(mostra({"--help"}, &out).stato, uscita_mostra::guasto_uscita);
  EXPECT_EQ(mostra({"--help"}).stato, uscita_mostra::riuscita);
}

TEST(MostraUscite, UsageRefusalsMatchCompilaScenario) {
  const std::string lungo(201, 'n');
  struct caso {
    std::vector<std::string> argomenti;
    const char* testo;
  };
  const std::vector<caso> casi = {
      {{"--linea", "Prova", "--treno", "--json"}, "--treno needs a value"},
      {{"--linea", "--json", "--treno", "77"}, "--linea needs a value"},
      {{"--linea", "Prova", "--treno", "77", "--dir", "--json"}, "--dir needs a value"},
      {{"--linea", "Pro\x1bva", "--treno", "77", "--json"}, "--linea holds a control character"},
      {{"--linea", "Prova", "--treno", lungo, "--json"}, "--treno is longer than 200 bytes"},
      {{"--linea", "a/b", "--treno", "77", "--json"}, "--linea is a name, not a path"},
  };
  for (const caso& k : casi) {
    const esito m = mostra(k.argomenti);
    EXPECT_EQ(m.stato, uscita_mostra::uso_errato) << k.testo;
    const nlohmann::json j = nlohmann::json::parse(m.out);
    EXPECT_EQ(j["exit"], uscita_mostra::uso_errato);
    EXPECT_NE(j["messages"][0]["text"].get<std::string>().find(k.testo), std::string::npos) << m.out;
    // compila_scenario refuses the same names with the same words
    std::vector<std::string> a = k.argomenti;
    const esito c = [&] {
      sistema_file_disco fs;
      std::ostringstream out, err;
      const int stato = esegui_compila(a, fs, out, err);
      return esito{stato, out.str(), err.str()};
    }();
    EXPECT_EQ(c.stato, uscita_compila::uso_errato) << k.testo;
    const nlohmann::json jc = nlohmann::json::parse(c.out);
    EXPECT_EQ(chiavi(j), chiavi(jc));
    EXPECT_EQ(chiavi(j["messages"][0]), chiavi(jc["messages"][0]));
    EXPECT_NE(jc["messages"][0]["text"].get<std::string>().find(k.testo), std::string::npos) << c.out;
  }
}

TEST(MostraUscite, MissingFilesAsJsonNameTheFile) {
  const cartella_compila c(testo_di(linea_base()), testo_di(treno_base()));
  const esito m = mostra(con(c, {"--json"}));
  EXPECT_EQ(m.stato, uscita_mostra::file_guasto);
  EXPECT_TRUE(m.err.empty()) << m.err;
  const nlohmann::json j = nlohmann::json::parse(m.out);
  EXPECT_EQ(j["exit"], uscita_mostra::file_guasto);
  EXPECT_NE(j["file"].get<std::string>().find("Prova_77.sim"), std::string::npos) << m.out;
  EXPECT_EQ(j["messages"][0]["severity"], "error");
}

TEST(MostraUscite, OneReadableFormOfWindows1252Text) {
  struct caso {
    std::string cp1252, atteso;
  };
  const std::vector<caso> casi = {
      {"ORS\xC0", "ORS\xC3\x80"},                      // a letter
      {"\x80 5", "\xE2\x82\xAC 5"},                    // the euro sign is assigned
      {std::string("a\0b", 3), "a\\x00b"},             // NUL
      {"\x1b[2J\x7f", "\\x1b[2J\\x7f"},                // ESC and DEL
      {"\x81\x8d\x8f\x90\x9d", "\\x81\\x8d\\x8f\\x90\\x9d"},  // unassigned in Windows-1252
      {"\x9c\xff", "\xC5\x93\xC3\xBF"},                // assigned neighbours stay letters
  };
  for (const caso& k : casi) EXPECT_EQ(utf8_leggibile(k.cp1252), k.atteso) << k.atteso;
}

TEST(MostraUscite, DumpAndListingShowTextsReadably) {
  prova::righe_file treno = treno_base();
  treno = prova::cambia(treno, 13, "stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, FIE\x1b\x81SOLE");
  const cartella_compila c(testo_di(linea_base()), testo_di(treno));
  c.compila_qui();
  for (const char* opzione : {"--grezzo", ""}) {
    const esito m = mostra(con(c, *opzione ? std::vector<std::string>{opzione} : std::vector<std::string>{}));
    ASSERT_EQ(m.stato, uscita_mostra::riuscita) << m.err;
    EXPECT_NE(m.out.find("FIE\\x1b\\x81SOLE"), std::string::npos) << opzione;
    EXPECT_EQ(m.out.find('\x1b'), std::string::npos) << opzione;
  }
  const esito j = mostra(con(c, {"--json"}));
  EXPECT_EQ(nlohmann::json::parse(j.out)["stations"][1]["name"], "FIE\\x1b\\x81SOLE");
}

}  // namespace
}  // namespace scenario
