// Message text, JSON strings and command-line arguments of compila_scenario.
#include <gtest/gtest.h>

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

TEST(messaggi, stringhe_json) {
  EXPECT_EQ(stringa_json("a\"b\\c\n\r\t\x01"), "\"a\\\"b\\\\c\\n\\r\\t\\u0001\"");
  // Windows-1252: à, the euro sign, an unassigned byte
  EXPECT_EQ(stringa_json("Citt\xE0"), "\"Citt\xC3\xA0\"");
  EXPECT_EQ(stringa_json("\x80 5"), "\"\xE2\x82\xAC 5\"");
  EXPECT_EQ(stringa_json("\x81"), "\"\\u0081\"");
  EXPECT_EQ(stringa_json("\x93q\x94"), "\"\xE2\x80\x9Cq\xE2\x80\x9D\"");
  // already UTF-8 (a folder typed in a UTF-8 terminal): left as it is
  EXPECT_EQ(stringa_json("/home/jos\xC3\xA9/x"), "\"/home/jos\xC3\xA9/x\"");
  // not UTF-8 as a whole: every byte is Windows-1252
  EXPECT_EQ(stringa_json("\xC3\xA9\xE0"), "\"\xC3\x83\xC2\xA9\xC3\xA0\"");
  EXPECT_EQ(stringa_json("\xED\xA0\x80"), "\"\xC3\xAD\xC2\xA0\xE2\x82\xAC\"");  // a surrogate is not UTF-8
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

  EXPECT_TRUE(leggi({"--help"}).opzioni.aiuto);
  EXPECT_TRUE(leggi({"--linea", "--bogus", "-h"}).opzioni.aiuto);
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
  };
  for (const auto& [argomenti, errore] : casi) {
    EXPECT_EQ(leggi(argomenti).errore, errore);
  }
}

}  // namespace
}  // namespace scenario
