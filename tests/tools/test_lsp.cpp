// The language server: its framing, its answers, and a whole session driven
// through in-process streams, from initialize to exit.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "io/sistema_file.hpp"
#include "tests/tools/aiuto_compila.hpp"
#include "tools/compila_scenario/lsp/server.hpp"
#include "tools/compila_scenario/lsp/trasporto.hpp"

namespace scenario::lsp {
namespace {

using json = nlohmann::json;

std::string incornicia(const std::string& corpo) {
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

// A stream that hands out one byte per read, as a pipe may.
class flusso_a_gocce final : public std::streambuf {
 public:
  explicit flusso_a_gocce(std::string dati) : dati_(std::move(dati)) {}

 protected:
  int_type underflow() override {
    if (pos_ >= dati_.size()) return traits_type::eof();
    setg(&dati_[pos_], &dati_[pos_], &dati_[pos_] + 1);
    ++pos_;
    return traits_type::to_int_type(dati_[pos_ - 1]);
  }

 private:
  std::string dati_;
  std::size_t pos_ = 0;
};

struct caso_cornice {
  const char* nome;
  std::string ingresso;
  esito_lettura atteso;
  std::string corpo;
};

TEST(LspCornice, Letture) {
  const caso_cornice casi[] = {
      {"semplice", incornicia("{}"), esito_lettura::messaggio, "{}"},
      {"altre_intestazioni", "Content-Type: x\r\ncontent-length: 2\r\n\r\n[]", esito_lettura::messaggio, "[]"},
      {"solo_lf", "Content-Length: 2\n\n[]", esito_lettura::messaggio, "[]"},
      {"righe_vuote_prima", "\r\n\r\n" + incornicia("1"), esito_lettura::messaggio, "1"},
      {"senza_lunghezza", "Content-Type: x\r\n\r\n{}", esito_lettura::malformato, ""},
      {"lunghezza_non_numero", "Content-Length: 1x\r\n\r\n{}", esito_lettura::malformato, ""},
      {"senza_due_punti", "Content-Length 2\r\n\r\n{}", esito_lettura::malformato, ""},
      {"oltre_64_mib", "Content-Length: 67108865\r\n\r\n", esito_lettura::troppo_lungo, ""},
      {"lunghezza_enorme", "Content-Length: 99999999999999999999999999\r\n\r\n", esito_lettura::troppo_lungo, ""},
      {"intestazione_infinita", std::string(20000, 'x'), esito_lettura::malformato, ""},
      {"corpo_troncato", "Content-Length: 10\r\n\r\n{}", esito_lettura::fine, ""},
      {"intestazione_troncata", "Content-Length: 10", esito_lettura::fine, ""},
      {"vuoto", "", esito_lettura::fine, ""},
  };
  for (const caso_cornice& c : casi) {
    std::istringstream in(c.ingresso);
    const lettura l = leggi_messaggio(in);
    EXPECT_EQ(l.esito, c.atteso) << c.nome;
    EXPECT_EQ(l.corpo, c.corpo) << c.nome;
  }
}

TEST(LspCornice, LettureSpezzateEDueInUna) {
  flusso_a_gocce gocce(incornicia("{\"a\":1}") + incornicia("[2]"));
  std::istream in(&gocce);
  EXPECT_EQ(leggi_messaggio(in).corpo, "{\"a\":1}");
  EXPECT_EQ(leggi_messaggio(in).corpo, "[2]");
  EXPECT_EQ(leggi_messaggio(in).esito, esito_lettura::fine);
}

TEST(LspCornice, Scrittura) {
  std::ostringstream out;
  scrivi_messaggio(out, "{\"\xC3\xA0\":1}");
  EXPECT_EQ(out.str(), "Content-Length: 8\r\n\r\n{\"\xC3\xA0\":1}");
}

// Every message the server wrote, parsed.
std::vector<json> risposte(const std::string& uscita) {
  std::istringstream in(uscita);
  std::vector<json> r;
  for (lettura l = leggi_messaggio(in); l.esito == esito_lettura::messaggio; l = leggi_messaggio(in)) {
    r.push_back(json::parse(l.corpo));
  }
  return r;
}

const std::string inizia = R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})";

struct caso_risposta {
  const char* nome;
  std::string corpo;
  bool inizializzato;
  int codice;  // 0: no answer at all
};

TEST(LspServer, Risposte) {
  const caso_risposta casi[] = {
      {"json_rotto", "{\"id\":1,", true, codice_rpc::errore_json},
      {"json_vuoto", "", true, codice_rpc::errore_json},
      {"metodo_sconosciuto", R"({"jsonrpc":"2.0","id":1,"method":"x/y"})", true, codice_rpc::metodo_sconosciuto},
      {"notifica_sconosciuta", R"({"jsonrpc":"2.0","method":"x/y"})", true, 0},
      {"notifica_malformata", R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{}})", true, 0},
      {"prima_di_initialize", R"({"jsonrpc":"2.0","id":1,"method":"shutdown"})", false, codice_rpc::non_inizializzato},
      {"senza_metodo", R"({"jsonrpc":"2.0","id":1})", true, codice_rpc::richiesta_invalida},
      {"non_oggetto", "[1,2]", true, 0},
      {"annidato_troppo",
       R"({"jsonrpc":"2.0","id":1,"method":"x","params":)" + std::string(300, '[') + std::string(300, ']') + "}", true,
       codice_rpc::errore_json},
      {"annidato_nelle_stringhe", R"({"jsonrpc":"2.0","id":1,"method":"x","params":")" + std::string(300, '[') + "\"}",
       true, codice_rpc::metodo_sconosciuto},
      {"metodo_non_testo", R"({"jsonrpc":"2.0","id":1,"method":5})", true, codice_rpc::richiesta_invalida},
  };
  for (const caso_risposta& c : casi) {
    std::ostringstream out;
    std::ostringstream log;
    sistema_file_disco fs;
    server s(out, log, fs);
    if (c.inizializzato) s.tratta(inizia);
    const std::size_t prima = risposte(out.str()).size();
    s.tratta(c.corpo);
    const std::vector<json> r = risposte(out.str());
    if (c.codice == 0) {
      EXPECT_EQ(r.size(), prima) << c.nome;
      continue;
    }
    ASSERT_EQ(r.size(), prima + 1) << c.nome;
    EXPECT_EQ(r.back()["error"]["code"], c.codice) << c.nome;
  }
}

TEST(LspServer, Argomenti) {
  struct caso {
    std::vector<std::string> argomenti;
    bool lsp;
    bool aiuto;
    std::string errore;
  };
  const caso casi[] = {
      {{"--lsp"}, true, false, ""},
      {{"--lsp", "--json"}, true, false, "--lsp takes no other option"},
      {{"--linea", "A", "--lsp"}, true, false, "--lsp takes no other option"},
      {{"--lsp", "--help"}, false, true, ""},
      {{"--linea", "A", "--treno", "1"}, false, false, ""},
  };
  for (const caso& c : casi) {
    const argomenti_letti a = leggi_argomenti(c.argomenti);
    EXPECT_EQ(a.opzioni.lsp, c.lsp) << c.argomenti[0];
    EXPECT_EQ(a.opzioni.aiuto, c.aiuto) << c.argomenti[0];
    EXPECT_EQ(a.errore, c.errore) << c.argomenti[0];
  }
}

TEST(LspServer, UscitaSenzaShutdownEInputInterrotto) {
  sistema_file_disco fs;
  std::ostringstream out;
  std::ostringstream log;
  std::istringstream senza(incornicia(inizia) + incornicia(R"({"jsonrpc":"2.0","method":"exit"})"));
  EXPECT_EQ(esegui_lsp(senza, out, log, fs), 1);
  std::istringstream enorme("Content-Length: 9999999999\r\n\r\n");
  std::ostringstream niente;
  EXPECT_EQ(esegui_lsp(enorme, niente, log, fs), 1);
  EXPECT_TRUE(niente.str().empty());
  EXPECT_NE(log.str().find("64 MiB"), std::string::npos);
}

// A session as an editor drives it: each message and the diagnostics last published per file.
class sessione {
 public:
  void invia(const json& j) {
    const std::string corpo = j.dump();
    trascritto_ += incornicia(corpo);
    const std::size_t prima = out_.str().size();
    s_.tratta(corpo);
    for (const json& r : risposte(out_.str().substr(prima))) {
      if (r.value("method", "") == "textDocument/publishDiagnostics") {
        pubblicati_[r["params"]["uri"].get<std::string>()] = r["params"]["diagnostics"];
      } else {
        ultima_ = r;
      }
    }
  }
  const json& diagnostici(const std::string& uri) { return pubblicati_[uri]; }
  const json& ultima() const { return ultima_; }
  const server& s() const { return s_; }
  const std::string& trascritto() const { return trascritto_; }

 private:
  std::ostringstream out_;
  std::ostringstream log_;
  sistema_file_disco fs_;
  server s_{out_, log_, fs_};
  std::map<std::string, json> pubblicati_;
  json ultima_;
  std::string trascritto_;
};

json notifica(const char* metodo, json param) {
  return json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(param)}};
}

json modifica(const std::string& uri, int versione, uint32_t riga, uint32_t da, uint32_t a, const char* testo) {
  const json r = {{"start", {{"line", riga}, {"character", da}}}, {"end", {{"line", riga}, {"character", a}}}};
  return notifica("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", versione}}},
                                             {"contentChanges", json::array({{{"range", r}, {"text", testo}}})}});
}

// "S riga:carattere codice" of each diagnostic: S severity, codice "-" when none.
std::vector<std::string> riassunto(const json& diagnostici) {
  std::vector<std::string> r;
  for (const json& d : diagnostici) {
    const json& inizio = d["range"]["start"];
    r.push_back(std::to_string(d["severity"].get<int>()) + " " + std::to_string(inizio["line"].get<int>()) + ":" +
                std::to_string(inizio["character"].get<int>()) + " " +
                (d.contains("code") ? std::to_string(d["code"].get<int>()) : "-"));
    EXPECT_EQ(d["source"], "compila_scenario");
  }
  return r;
}

TEST(LspServer, SessioneIntera) {
  using prova::cambia;
  const std::string cartella = "file:///cartella_lsp_inesistente/";
  const std::string uri_linea = cartella + "Prova%C3%A0_linea.txt";
  const std::string uri_treno = cartella + "Prova%C3%A0_77-.txt";
  const std::string linea = prova::testo_di(cambia(prova::linea_base(), 11, "curvax,  650,  550"));
  const std::string treno = prova::testo_di(cambia(
      cambia(prova::treno_base(), 10, "velocita,     700,    abc"), 13,
      "stazione,    8550, 12,  300,  1, 0, 0,  4,1,1,  2,1,1,   60,  12, 4, 0, CITT\xC3\x80 \xC3\x88 \xE2\x82\xAC"));
  sessione x;
  x.invia(json::parse(inizia));
  EXPECT_EQ(x.ultima()["result"]["capabilities"]["textDocumentSync"]["change"], 2);
  x.invia(notifica("initialized", json::object()));
  const auto apri = [&](const std::string& uri, const std::string& testo) {
    x.invia(notifica("textDocument/didOpen",
                     {{"textDocument", {{"uri", uri}, {"languageId", "t"}, {"version", 1}, {"text", testo}}}}));
  };
  apri(uri_linea, linea);
  apri(uri_treno, treno);
  EXPECT_EQ(riassunto(x.diagnostici(uri_treno)), (std::vector<std::string>{"1 9:22 25"}));
  EXPECT_EQ(riassunto(x.diagnostici(uri_linea)), (std::vector<std::string>{"1 10:0 103", "3 10:0 -"}));
  x.invia(modifica(uri_treno, 2, 9, 22, 25, "65"));
  EXPECT_EQ(riassunto(x.diagnostici(uri_treno)), std::vector<std::string>{});
  // the line file mended: the open train file is checked again with it
  x.invia(modifica(uri_linea, 2, 10, 0, 6, "curvad5"));
  EXPECT_EQ(riassunto(x.diagnostici(uri_linea)), std::vector<std::string>{});
  EXPECT_EQ(riassunto(x.diagnostici(uri_treno)), std::vector<std::string>{});
  // a change that sends the whole text
  x.invia(notifica("textDocument/didChange", {{"textDocument", {{"uri", uri_treno}, {"version", 3}}},
                                              {"contentChanges", json::array({{{"text", treno}}})}}));
  EXPECT_EQ(riassunto(x.diagnostici(uri_treno)), (std::vector<std::string>{"1 9:22 25"}));
  x.invia(json{{"jsonrpc", "2.0"}, {"id", 9}, {"method", "shutdown"}});
  EXPECT_TRUE(x.ultima().contains("result"));
  EXPECT_EQ(x.ultima()["id"], 9);
  x.invia(notifica("exit", json::object()));
  EXPECT_TRUE(x.s().finito());
  EXPECT_EQ(x.s().uscita(), 0);
  // the same bytes through the program's loop end with 0 as well
  std::istringstream in(x.trascritto());
  std::ostringstream out;
  std::ostringstream log;
  sistema_file_disco fs;
  EXPECT_EQ(esegui_lsp(in, out, log, fs), 0);
}

// A line file with no train file open is read alone; closing a file clears its diagnostics.
TEST(LspServer, FileDiLineaDaSoloEChiusura) {
  const std::string uri_linea = "file:///cartella_lsp_inesistente/Q_linea.txt";
  const std::string uri_treno = "file:///cartella_lsp_inesistente/Q_3-.txt";
  const auto apri = [](sessione& x, const std::string& uri, const std::string& testo) {
    x.invia(notifica("textDocument/didOpen",
                     {{"textDocument", {{"uri", uri}, {"languageId", "t"}, {"version", 1}, {"text", testo}}}}));
  };
  sessione x;
  x.invia(json::parse(inizia));
  apri(x, uri_linea, prova::testo_di(prova::cambia(prova::linea_base(), 11, "curvax,  650,  550")));
  const std::vector<std::string> attesi{"1 10:0 103", "3 10:0 -"};
  EXPECT_EQ(riassunto(x.diagnostici(uri_linea)), attesi);
  // with a clean train file checking on finds nothing more: no note
  apri(x, uri_treno, prova::testo_di(prova::treno_base()));
  EXPECT_EQ(riassunto(x.diagnostici(uri_linea)), std::vector<std::string>{"1 10:0 103"});
  EXPECT_EQ(riassunto(x.diagnostici(uri_treno)), std::vector<std::string>{});
  x.invia(notifica("textDocument/didChange", {{"textDocument", {{"uri", uri_treno}, {"version", 2}}},
                                              {"contentChanges", json::array({{{"text", "[generale]\r\n"}}})}}));
  EXPECT_FALSE(x.diagnostici(uri_treno).empty());
  x.invia(notifica("textDocument/didClose", {{"textDocument", {{"uri", uri_treno}}}}));
  EXPECT_EQ(riassunto(x.diagnostici(uri_treno)), std::vector<std::string>{});
  EXPECT_EQ(riassunto(x.diagnostici(uri_linea)), attesi);
}

// A character Windows-1252 cannot hold becomes '?': refused where the editor shows it, and said so.
TEST(LspServer, CarattereFuoriDal1252) {
  const std::string uri_linea = "file:///cartella_lsp_inesistente/P_linea.txt";
  const std::string uri_treno = "file:///cartella_lsp_inesistente/P_5-.txt";
  sessione x;
  x.invia(json::parse(inizia));
  for (const auto& [uri, testo] : {std::pair{uri_linea, prova::testo_di(prova::linea_base())},
                                   std::pair{uri_treno, prova::testo_di(prova::treno_base())}}) {
    x.invia(notifica("textDocument/didOpen",
                     {{"textDocument", {{"uri", uri}, {"languageId", "t"}, {"version", 1}, {"text", testo}}}}));
  }
  EXPECT_EQ(riassunto(x.diagnostici(uri_treno)), std::vector<std::string>{});
  // 65 becomes a character of two UTF-16 units and a 5
  x.invia(modifica(uri_treno, 2, 9, 22, 24,
                   "\xF0\x9F\x98\x80"
                   "5"));
  const json& d = x.diagnostici(uri_treno);
  EXPECT_EQ(riassunto(d), (std::vector<std::string>{"1 9:22 25"}));
  ASSERT_FALSE(d.empty());
  EXPECT_NE(d[0]["message"].get<std::string>().find("'?5'"), std::string::npos);
  // mended from the emoji's far side: both of its units replaced
  x.invia(modifica(uri_treno, 3, 9, 22, 24, "6"));
  EXPECT_EQ(riassunto(x.diagnostici(uri_treno)), std::vector<std::string>{});
}


// The editor's help, one exchange per row: the request at a place of the
// pair, and a text its answer must hold at a JSON pointer ("" : the whole answer).
struct caso_aiuto {
  const char* nome;
  bool treno;
  const char* metodo;
  uint32_t riga;
  uint32_t carattere;
  const char* dove;
  const char* atteso;  // a text the answer holds there; "" : it holds nothing
};

TEST(LspServer, Aiuto) {
  const std::string uri_linea = "file:///cartella_lsp_inesistente/H_linea.txt";
  const std::string uri_treno = "file:///cartella_lsp_inesistente/H_4-.txt";
  const std::string linea = prova::testo_di(prova::cambia(prova::linea_base(), 13, "pendnza,  0,   0"));
  const std::string treno = prova::testo_di(prova::cambia(prova::treno_base(), 10, "velocita,     700,    72"));
  const caso_aiuto casi[] = {
      {"parola", false, "textDocument/hover", 13, 2, "/contents/value", "gradient, positive uphill (per mille; -100 to 155)"},
      {"posizione", false, "textDocument/hover", 13, 12, "/contents/value", "field 1 of 2"},
      {"posizione_cella", false, "textDocument/hover", 13, 12, "/contents/value", "cell 11, km 0.550"},
      {"cartelli_una_cella_dopo", false, "textDocument/hover", 17, 18, "/contents/value", "takes cell 15, km 0.700"},
      {"velocita_conservata", true, "textDocument/hover", 9, 23, "/contents/value", "stored as 70 km/h"},
      {"fuori_dai_campi", false, "textDocument/hover", 13, 9, "", "null"},
      {"firma_secondo_campo", false, "textDocument/signatureHelp", 13, 18, "/activeParameter", "1"},
      {"firma_primo_campo", false, "textDocument/signatureHelp", 13, 11, "/activeParameter", "0"},
      {"firma_etichetta", true, "textDocument/signatureHelp", 16, 12, "/signatures/0/label", "segnale, posizione (m), sx,"},
      {"completa_linea", false, "textDocument/completion", 13, 0, "/items", "\"pendenza\""},
      {"completa_sezioni", false, "textDocument/completion", 13, 0, "/items", "[curve]"},
      {"completa_frammento", false, "textDocument/completion", 13, 0, "/items", "curvad${1|1,2,3,4,5,6|},  ${2:start of the curve}"},
      {"completa_treno", true, "textDocument/completion", 8, 0, "/items", "\"stazione\""},
      {"treno_senza_parole_di_linea", true, "textDocument/completion", 8, 0, "/items", "!pendenza"},
      {"dopo_la_virgola_niente", false, "textDocument/completion", 13, 12, "/items", "[]"},
      {"stazione_per_nome", true, "textDocument/documentSymbol", 0, 0, "", "FIESOLE CALDINE at 8550 m"},
      {"segnale_nella_sezione", true, "textDocument/documentSymbol", 0, 0, "/5/children/0/name", "segnale at 2150 m"},
      {"curva", false, "textDocument/documentSymbol", 0, 0, "/1/children/0/name", "curvad5 at 650 m"},
      {"sezione_fino_alla_prossima", true, "textDocument/documentSymbol", 0, 0, "/3/range/end/line", "13"},
      {"cella_del_segnale", true, "textDocument/inlayHint", 0, 0, "", "takes cell 44, km 2.150"},
      {"velocita_suggerita", true, "textDocument/inlayHint", 0, 0, "", "stored as 70 km/h"},
      {"lunghezze_senza_suggerimento", true, "textDocument/inlayHint", 0, 0, "", "!0.500 km"},
      {"correzione", false, "textDocument/codeAction", 12, 0, "", "\"newText\":\"pendenza\""},
      {"nessuna_correzione_altrove", false, "textDocument/codeAction", 13, 0, "", "[]"},
  };
  sessione x;
  x.invia(json::parse(inizia));
  for (const auto& [uri, testo] : {std::pair{uri_linea, linea}, std::pair{uri_treno, treno}}) {
    x.invia(notifica("textDocument/didOpen",
                     {{"textDocument", {{"uri", uri}, {"languageId", "t"}, {"version", 1}, {"text", testo}}}}));
  }
  int id = 100;
  for (const caso_aiuto& c : casi) {
    const json punto = {{"line", c.riga}, {"character", c.carattere}};
    // hints are asked for the lines on screen, fixes for the line under the cursor
    const json fine = std::string_view(c.metodo) == "textDocument/inlayHint" ? json{{"line", 99}, {"character", 0}} : punto;
    json param = {{"textDocument", {{"uri", c.treno ? uri_treno : uri_linea}}}, {"position", punto},
                  {"range", {{"start", punto}, {"end", fine}}}, {"context", {{"diagnostics", json::array()}}}};
    x.invia(json{{"jsonrpc", "2.0"}, {"id", ++id}, {"method", c.metodo}, {"params", param}});
    ASSERT_TRUE(x.ultima().contains("result")) << c.nome << ": " << x.ultima().dump();
    const json& r = x.ultima()["result"];
    const json::json_pointer dove(c.dove);
    ASSERT_TRUE(r.contains(dove)) << c.nome << ": " << r.dump();
    const json& v = r.at(dove);
    const std::string testo = v.is_string() ? v.get<std::string>() : v.dump();
    const std::string atteso = c.atteso;
    if (atteso.starts_with("!")) {
      EXPECT_EQ(testo.find(atteso.substr(1)), std::string::npos) << c.nome << ": " << testo;
    } else {
      EXPECT_NE(testo.find(atteso), std::string::npos) << c.nome << ": " << testo;
    }
  }
}

}  // namespace
}  // namespace scenario::lsp
