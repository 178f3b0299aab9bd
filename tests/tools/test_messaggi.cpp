// Message text, JSON strings and command-line arguments of compila_scenario.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tools/compila_scenario/compila.hpp"
#include "diagnostica/messaggi.hpp"
#include "support/supporto.hpp"

namespace scenario {
namespace {

const file_mostrati file{"L_linea.txt", "L_1-.txt"};

// A diagnostic as the compiler records it.
diagnostico s(int32_t codice, std::optional<int32_t> posizione, sorgente da, int32_t riga, std::string parola,
              std::string dettaglio) {
  raccolta_diagnostici r;
  modello m = con_raccolta(r);
  diagnostico d;
  d.codice = codice;
  d.posizione = posizione;
  d.dove = luogo_in(da, riga, 0, std::move(parola));
  d.testo = std::move(dettaglio);
  segna_errore(m, std::move(d));
  return r.tutti.at(0);
}

TEST(messaggi, forma_completa_e_parti_mancanti) {
  EXPECT_EQ(formatta_messaggio(s(16, 2150, sorgente::treno, 84, "segnale", "cell 44 is already taken"), file),
            "L_1-.txt:84: segnale at 2150 m: cell 44 is already taken (status 16)");
  // no detail: the code's meaning; no position; keyword blanks trimmed
  EXPECT_EQ(formatta_messaggio(s(1, std::nullopt, sorgente::linea, 2, "  lunghezza percorso ", ""), file),
            "L_linea.txt:2: lunghezza percorso: route length above 1000000 m (status 1)");
  // run-time failures carry their own text
  EXPECT_EQ(formatta_messaggio(s(25, std::nullopt, sorgente::treno, 9, "velocita", "'abc' is not a whole number"), file),
            "L_1-.txt:9: velocita: run-time failure: 'abc' is not a whole number (status 25)");
  diagnostico m = diagnostico_di("out of memory");
  EXPECT_EQ(formatta_messaggio(m, file), "out of memory");
  m.posizione = 50;
  EXPECT_EQ(formatta_messaggio(m, file), "at 50 m: out of memory");
  m.tipo = gravita::nota;
  EXPECT_EQ(formatta_messaggio(m, file), "note: at 50 m: out of memory");
  // a column without a line is not shown; a line without a file neither
  m = diagnostico_di("x", sorgente::treno);
  m.dove = luogo_in(sorgente::treno, 0, 7);
  EXPECT_EQ(formatta_messaggio(m, file), "L_1-.txt: x");
  m.dove = luogo_in(sorgente::nessuna, 4, 7);
  EXPECT_EQ(formatta_messaggio(m, file), "x");
}

TEST(messaggi, da_dove_viene_la_segnalazione) {
  // the finishing pass is about no file
  EXPECT_EQ(formatta_messaggio(s(12, 5550, sorgente::finitura, 7, "x", ""), file),
            "finishing pass at 5550 m: no free cell for a speed-reduction point before a slowdown (status 12)");
  // ...unless shown at the entry behind it
  EXPECT_EQ(formatta_messaggio(s(12, 5550, sorgente::treno, 15, "rallentamento", "no room"), file),
            "L_1-.txt:15: rallentamento at 5550 m: finishing pass: no room (status 12)");
  // recorded without a place: the code tells the file
  EXPECT_EQ(mostra(s(101, std::nullopt, sorgente::nessuna, 0, "", ""), file).file, "L_linea.txt");
  EXPECT_EQ(mostra(s(10, std::nullopt, sorgente::nessuna, 0, "", ""), file).file, "L_1-.txt");
  EXPECT_EQ(mostra(s(13, 100, sorgente::nessuna, 0, "", ""), file).parola, "finishing pass");
  EXPECT_EQ(s(9999, std::nullopt, sorgente::nessuna, 0, "", "").testo, "unknown status code");
}

TEST(messaggi, byte_di_controllo_e_testi_lunghi) {
  const std::string riga = formatta_messaggio(s(102, std::nullopt, sorgente::linea, 1, std::string(100000, 'k'), ""), file);
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
    std::vector<diagnostico> m{diagnostico_di(c.scritto, sorgente::altro, c.scritto)};
    m[0].dove.parola = c.scritto;
    const std::vector<std::string> scritti{c.scritto};
    const std::string riga = componi_json(riassunto_json{3, std::nullopt, &m[0], &m, &scritti, file});
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
  std::vector<diagnostico> m{diagnostico_di(std::string(1000, 't'))};
  m[0].dove.parola = std::string(100, 'k');
  const std::vector<std::string> scritti;
  const nlohmann::json j = nlohmann::json::parse(componi_json(riassunto_json{1, 5, nullptr, &m, &scritti, file}));
  EXPECT_EQ(j["messages"][0]["keyword"], std::string(60, 'k') + "...");
  EXPECT_EQ(j["messages"][0]["text"], std::string(400, 't') + "...");
  EXPECT_EQ(j["status"], 5);
  EXPECT_TRUE(j["file"].is_null());
  EXPECT_TRUE(j["position"].is_null());
}

TEST(messaggi, riassunto_json) {
  std::vector<diagnostico> m{diagnostico_di("the file is empty", sorgente::altro, "a\\b.txt"),
                             s(16, 2150, sorgente::treno, 84, "segnale", "cell 44 is already taken")};
  m[1].dove = luogo_in(sorgente::treno, 84, 1, "segnale", 8);
  m[1].correlati.push_back({luogo_in(sorgente::treno, 12, 1, "stazione"), "the station mark that holds it"});
  const std::vector<std::string> scritti{"x.sim"};
  riassunto_json r{1, 16, &m[1], &m, &scritti, file};
  EXPECT_EQ(componi_json(r),
            "{\"exit\":1,\"status\":16,\"position\":2150,\"file\":\"L_1-.txt\",\"line\":84,\"column\":1,"
            "\"written\":[\"x.sim\"],\"messages\":["
            "{\"message\":\"a\\\\b.txt: the file is empty\",\"severity\":\"error\",\"status\":null,\"position\":null,"
            "\"file\":\"a\\\\b.txt\",\"line\":null,\"column\":null,\"end_line\":null,\"end_column\":null,"
            "\"keyword\":null,\"text\":\"the file is empty\",\"related\":[]},"
            "{\"message\":\"L_1-.txt:84:1: segnale at 2150 m: cell 44 is already taken (status 16)\",\"severity\":"
            "\"error\",\"status\":16,\"position\":2150,\"file\":\"L_1-.txt\",\"line\":84,\"column\":1,"
            "\"end_line\":84,\"end_column\":8,\"keyword\":\"segnale\",\"text\":\"cell 44 is already taken\","
            "\"related\":[{\"file\":\"L_1-.txt\",\"line\":12,\"column\":1,\"end_line\":12,\"end_column\":1,"
            "\"keyword\":\"stazione\",\"text\":\"the station mark that holds it\"}]}]}");
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
                            "--json", "--rigoroso", "--html FILE", "--nuovo NOME NUMERO", "--lsp", "Exit status:", "  64  bad usage"}) {
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
      {{"--linea", "../A", "--treno", "1"},
       "--linea is a name, not a path: use --dir for the folder (for ../A give --dir .. --linea A)"},
      {{"--linea", "A", "--treno", "1/2"}, "--treno is a name, not a path: use --dir for the folder (for 1/2 give --dir 1 --treno 2)"},
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
