// Message text, JSON strings and command-line arguments of compila_scenario.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tools/compila_scenario/compila.hpp"
#include "diagnostica/messaggi.hpp"

namespace scenario {
namespace {

const file_mostrati file{"L_linea.txt", "L_1-.txt"};

segnalazione s(int32_t codice, std::optional<int32_t> posizione, sorgente da, int32_t riga, std::string parola,
               std::string dettaglio) {
  return segnalazione{codice, posizione, luogo{da, riga, std::move(parola)}, std::move(dettaglio), std::nullopt};
}

TEST(messaggi, forma_completa_e_parti_mancanti) {
  EXPECT_EQ(formatta_messaggio(
                da_segnalazione(s(16, 2150, sorgente::treno, 84, "segnale", "cell 44 is already taken"), file)),
            "L_1-.txt:84: segnale at 2150 m: cell 44 is already taken (status 16)");
  // no detail: the code's meaning; no position; keyword blanks trimmed
  EXPECT_EQ(
      formatta_messaggio(da_segnalazione(s(1, std::nullopt, sorgente::linea, 2, "  lunghezza percorso ", ""), file)),
      "L_linea.txt:2: lunghezza percorso: route length above 1000000 m (status 1)");
  // run-time failures carry their own text
  EXPECT_EQ(formatta_messaggio(da_segnalazione(
                s(25, std::nullopt, sorgente::treno, 9, "velocita", "'abc' is not a whole number"), file)),
            "L_1-.txt:9: velocita: run-time failure: 'abc' is not a whole number (status 25)");
  messaggio m;
  m.testo = "out of memory";
  EXPECT_EQ(formatta_messaggio(m), "out of memory");
  m.posizione = 50;
  EXPECT_EQ(formatta_messaggio(m), "at 50 m: out of memory");
}

TEST(messaggi, da_dove_viene_la_segnalazione) {
  // the finishing pass is about no file
  const messaggio f = da_segnalazione(s(12, 5550, sorgente::finitura, 7, "x", ""), file);
  EXPECT_EQ(formatta_messaggio(f),
            "finishing pass at 5550 m: no free cell for a speed-reduction point before a slowdown (status 12)");
  // recorded without a place: the code tells the file
  EXPECT_EQ(da_segnalazione(s(101, std::nullopt, sorgente::nessuna, 0, "", ""), file).file, "L_linea.txt");
  EXPECT_EQ(da_segnalazione(s(10, std::nullopt, sorgente::nessuna, 0, "", ""), file).file, "L_1-.txt");
  EXPECT_EQ(da_segnalazione(s(13, 100, sorgente::nessuna, 0, "", ""), file).parola, "finishing pass");
  // code 2 is set at the end of the train file but is about the line's references
  const messaggio p = da_segnalazione(s(2, std::nullopt, sorgente::treno, 120, "[fine]", ""), file);
  EXPECT_EQ(formatta_messaggio(p),
            "L_linea.txt: progressiva chilometrica: a kilometric reference has a start or "
            "offset that is not a multiple of 50 (status 2)");
  EXPECT_EQ(da_segnalazione(s(9999, std::nullopt, sorgente::nessuna, 0, "", ""), file).testo, "unknown status code");
}

TEST(messaggi, byte_di_controllo_e_testi_lunghi) {
  const messaggio m = da_segnalazione(s(102, std::nullopt, sorgente::linea, 1, std::string(100000, 'k'), ""), file);
  const std::string riga = formatta_messaggio(m);
  EXPECT_LT(riga.size(), 300u);
  EXPECT_NE(riga.find("kkk...: "), std::string::npos);
}

// Texts in the summary are Windows-1252 bytes shown as UTF-8, with control
// and unassigned bytes as the four characters \xNN: always valid JSON.
TEST(messaggi, testi_json) {
  struct caso {
    std::string scritto;
    std::string in_json;  // the string's value once parsed
  };
  const std::vector<caso> casi = {
      {"a\"b\\c", "a\"b\\c"},
      {"Citt\xE0", "Citt\xC3\xA0"},
      {"\x80 5", "\xE2\x82\xAC 5"},
      {"\x93q\x94", "\xE2\x80\x9Cq\xE2\x80\x9D"},
      {"\x81\x8D\x8F\x90\x9D", "\\x81\\x8d\\x8f\\x90\\x9d"},
      {"a\nb\tc\x01\x7F", "a\\x0ab\\x09c\\x01\\x7f"},
      // bytes that would be UTF-8 are Windows-1252 too, as in every other listing
      {"jos\xC3\xA9", "jos\xC3\x83\xC2\xA9"},
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
  };
  for (const caso& c : casi) {
    std::vector<messaggio> m(1);
    m[0].file = c.scritto;
    m[0].testo = c.scritto;
    m[0].parola = c.scritto;
    const std::vector<std::string> scritti{c.scritto};
    const std::string riga = componi_json(riassunto_json{3, std::nullopt, &m[0], &m, &scritti});
    ASSERT_EQ(riga.find('\n'), std::string::npos) << riga;
    const nlohmann::json j = nlohmann::json::parse(riga);
    EXPECT_EQ(j["file"], c.in_json) << riga;
    EXPECT_EQ(j["written"][0], c.in_json) << riga;
    EXPECT_EQ(j["messages"][0]["file"], c.in_json) << riga;
    EXPECT_EQ(j["messages"][0]["keyword"], c.in_json) << riga;
    EXPECT_EQ(j["messages"][0]["text"], c.in_json) << riga;
  }
}

// Long keywords and texts are cut short, with "..." after them.
TEST(messaggi, testi_json_accorciati) {
  std::vector<messaggio> m(1);
  m[0].parola = std::string(100, 'k');
  m[0].testo = std::string(1000, 't');
  const std::vector<std::string> scritti;
  const nlohmann::json j = nlohmann::json::parse(componi_json(riassunto_json{1, 5, nullptr, &m, &scritti}));
  EXPECT_EQ(j["messages"][0]["keyword"], std::string(60, 'k') + "...");
  EXPECT_EQ(j["messages"][0]["text"], std::string(400, 't') + "...");
  EXPECT_EQ(j["status"], 5);
  EXPECT_TRUE(j["file"].is_null());
  EXPECT_TRUE(j["position"].is_null());
}

TEST(messaggi, riassunto_json) {
  std::vector<messaggio> m(2);
  m[0].testo = "the file is empty";
  m[0].file = "a\\b.txt";
  m[1] = da_segnalazione(s(16, 2150, sorgente::treno, 84, "segnale", "cell 44 is already taken"), file);
  const std::vector<std::string> scritti{"x.sim"};
  riassunto_json r{1, 16, &m[1], &m, &scritti};
  EXPECT_EQ(componi_json(r),
            "{\"exit\":1,\"status\":16,\"position\":2150,\"file\":\"L_1-.txt\",\"line\":84,\"column\":null,"
            "\"written\":[\"x.sim\"],\"messages\":["
            "{\"message\":\"a\\\\b.txt: the file is empty\",\"severity\":\"error\",\"status\":null,\"position\":null,"
            "\"file\":\"a\\\\b.txt\",\"line\":null,\"column\":null,\"keyword\":null,\"text\":\"the file is empty\"},"
            "{\"message\":\"L_1-.txt:84: segnale at 2150 m: cell 44 is already taken (status 16)\",\"severity\":"
            "\"error\",\"status\":16,\"position\":2150,\"file\":\"L_1-.txt\",\"line\":84,\"column\":null,"
            "\"keyword\":\"segnale\",\"text\":\"cell 44 is already taken\"}]}");
}

argomenti_letti leggi(std::vector<std::string> a) { return leggi_argomenti(a); }

TEST(argomenti, forme_accettate) {
  auto r = leggi({"--linea", "Valdora_Tarvea", "--treno=5293", "--dir", "in", "--out=out", "--senza-linea", "--json"});
  EXPECT_EQ(r.errore, "");
  EXPECT_EQ(r.opzioni.linea, "Valdora_Tarvea");
  EXPECT_EQ(r.opzioni.treno, "5293");
  EXPECT_EQ(r.opzioni.cartella, "in");
  EXPECT_EQ(r.opzioni.uscita, "out");
  EXPECT_TRUE(r.opzioni.senza_linea);
  EXPECT_TRUE(r.opzioni.json);

  r = leggi({"--treno", "1", "--linea", "A"});
  EXPECT_EQ(r.errore, "");
  EXPECT_EQ(r.opzioni.cartella, ".");
  EXPECT_FALSE(r.opzioni.uscita);
  EXPECT_FALSE(r.opzioni.senza_linea);

  // a value given with '=' is the value, whatever it looks like
  r = leggi({"--linea=--A", "--treno", "-1", "--html=r.html"});
  EXPECT_EQ(r.errore, "");
  EXPECT_EQ(r.opzioni.linea, "--A");
  EXPECT_EQ(r.opzioni.treno, "-1");
  EXPECT_EQ(r.opzioni.html, "r.html");
  EXPECT_FALSE(r.opzioni.json);
  EXPECT_FALSE(r.opzioni.rigoroso);

  // --help anywhere wins over every mistake
  for (const std::vector<std::string>& a : std::vector<std::vector<std::string>>{
           {"--help"}, {"--linea", "--bogus", "-h"}, {"--linea", "A", "--linea", "B", "--help"},
           {"--json=1", "-h"}, {"extra", "--help"}}) {
    EXPECT_TRUE(leggi(a).opzioni.aiuto) << testing::PrintToString(a);
  }
  EXPECT_FALSE(leggi({"--linea", "A", "--treno", "1"}).opzioni.aiuto);
}

// The usage text is written once: --help prints it, a refusal ends with its first line.
TEST(argomenti, testo_d_uso) {
  const std::string aiuto = testo_uso();
  const std::string breve = uso_breve();
  const std::string riga = breve.substr(0, breve.find("  (--help for more)"));
  EXPECT_EQ(aiuto.rfind(riga + "\n", 0), 0u) << aiuto;
  EXPECT_TRUE(breve.ends_with("  (--help for more)\n"));
  for (const char* parte : {"--linea NOME", "--treno NUMERO", "--dir CARTELLA", "--out CARTELLA", "--senza-linea",
                            "--json", "--rigoroso", "--html FILE", "Exit status:", "  64  bad usage"}) {
    EXPECT_NE(aiuto.find(parte), std::string::npos) << parte;
  }
  EXPECT_EQ(aiuto.find("\n\n\n"), std::string::npos) << aiuto;
}

TEST(argomenti, uso_errato) {
  const std::pair<std::vector<std::string>, std::string> casi[] = {
      {{}, "--linea NOME is missing"},
      {{"--linea", "A"}, "--treno NUMERO is missing"},
      {{"--linea", "A", "--treno"}, "--treno needs a value"},
      {{"--linea", "--treno", "1"}, "--linea needs a value"},
      {{"--linea", "A", "--treno", "1", "--linea", "B"}, "--linea given twice"},
      {{"--linea", "A", "--treno", "1", "--json", "--json"}, "--json given twice"},
      {{"--linea", "A", "--treno", "1", "--json=1"}, "--json takes no value"},
      {{"--linea", "A", "--treno", "1", "--bogus"}, "unknown option '--bogus'"},
      {{"--linea", "A", "--treno", "1", "extra"}, "unexpected argument 'extra'"},
      {{"--linea=", "--treno", "1"}, "--linea needs a non-empty name"},
      {{"--linea", "../A", "--treno", "1"}, "--linea is a name, not a path: use --dir for the folder"},
      {{"--linea", "A", "--treno", "1\\2"}, "--treno is a name, not a path: use --dir for the folder"},
      {{"--linea", "A\nB", "--treno", "1"}, "--linea holds a control character"},
      {{"--linea", std::string(201, 'a'), "--treno", "1"}, "--linea is longer than 200 bytes"},
      {{"--linea", "A", "--treno", "1", "--dir="}, "--dir needs a folder"},
      {{"--linea", "A", "--treno", "1", "--out", ""}, "--out needs a folder"},
      {{"--linea", "A", "--treno", "1", "--html="}, "--html needs a file"},
      {{"--linea", "A", "--treno", "1", "--html", "--json"}, "--html needs a value"},
      {{"--linea", "A", "--treno", "1", "--rigoroso", "--rigoroso", "--rigoroso"}, "--rigoroso given twice"},
      {{"--linea", "A", "--treno", "1", "--senza-linea=no"}, "--senza-linea takes no value"},
      {{"--linea", "A", "--treno", "1", "--json=true"}, "--json takes no value"},
      {{"--linea", "A", "--treno", "1", "--bogus=3"}, "unknown option '--bogus'"},
      {{"--linea", "A", "--treno", "1", "-x"}, "unknown option '-x'"},
      {{"--treno", "1", "--dir", "d", "--dir", "e", "--linea", "A"}, "--dir given twice"},
      // a wrong word before what it left missing; the first refusal wins
      {{"extra"}, "unexpected argument 'extra'"},
      {{"--treno", "--json=1"}, "--treno needs a value"},
      {{"--treno"}, "--treno needs a value"},
  };
  for (const auto& [argomenti, errore] : casi) {
    EXPECT_EQ(leggi(argomenti).errore, errore);
  }
}

}  // namespace
}  // namespace scenario
