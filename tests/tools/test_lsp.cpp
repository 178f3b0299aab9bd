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

}  // namespace
}  // namespace scenario::lsp
