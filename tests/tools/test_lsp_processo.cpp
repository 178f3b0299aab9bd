// compila_scenario --lsp as a program, standard input and output as files:
// the frames must pass byte for byte (on Windows, under Wine, too: no CR LF
// translation), and the example pair opened gets its diagnostics.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "io/testo_1252.hpp"
#include "support/esegui.hpp"
#include "support/supporto.hpp"
#include "tools/compila_scenario/nuovo.hpp"

namespace scenario::prova {
namespace {

using json = nlohmann::json;

const std::string uri_linea = "file:///cartella_lsp_inesistente/Borgo_Lanzi_linea.txt";
const std::string uri_treno = "file:///cartella_lsp_inesistente/Borgo_Lanzi_8127-.txt";

json notifica(const char* metodo, json param) {
  return json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(param)}};
}

json apri(const std::string& uri, std::string_view testo_1252) {
  return notifica("textDocument/didOpen", {{"textDocument",
                                            {{"uri", uri},
                                             {"languageId", "scenario"},
                                             {"version", 1},
                                             {"text", utf8_da_1252(testo_1252)}}}});
}

// The example's train file with one speed out of range (line 11, the value at column 21).
std::string treno_guasto() {
  std::string t(esempio_treno());
  const std::string riga = "velocita,   600,    80\r\n";
  t.replace(t.find(riga), riga.size(), "velocita,   600,    8000\r\n");
  return t;
}

// How a session's bytes are laid out; the server must read them all alike.
struct caso_flusso {
  const char* nome;
  const char* a_capo;      // between a body's members: a text-mode stream would drop the CR of CR LF
  std::string intestazione;  // one more header before Content-Length: ^Z ends a text-mode stream
};

std::string sessione(const caso_flusso& c) {
  const json messaggi[] = {
      json{{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", json::object()}},
      notifica("initialized", json::object()),
      apri(uri_linea, esempio_linea()),
      apri(uri_treno, treno_guasto()),
      json{{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}},
      notifica("exit", json::object()),
  };
  std::string flusso;
  for (const json& m : messaggi) {
    std::string corpo = m.dump();
    // members on lines of their own, as some clients write them
    for (std::size_t i = 0; (i = corpo.find(",\"", i)) != std::string::npos; i += 2) corpo.insert(++i, c.a_capo);
    flusso += c.intestazione + "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
  }
  return flusso;
}

// Every frame written, exactly as the server writes them; anything else fails the test.
std::vector<json> cornici(const std::string& uscita) {
  std::vector<json> r;
  std::size_t i = 0;
  while (i < uscita.size()) {
    const std::size_t fine = uscita.find("\r\n\r\n", i);
    EXPECT_NE(fine, std::string::npos) << uscita.substr(i);
    if (fine == std::string::npos) break;
    const std::string testa = uscita.substr(i, fine - i);
    EXPECT_EQ(testa.rfind("Content-Length: ", 0), 0U) << testa;
    const std::size_t n = std::stoul(testa.substr(16));
    EXPECT_EQ(testa, "Content-Length: " + std::to_string(n)) << "a header altered on the way";
    r.push_back(json::parse(uscita.substr(fine + 4, n), nullptr, false));
    i = fine + 4 + n;
  }
  return r;
}

TEST(LspProgramma, CoppiaDiEsempioDaFile) {
  const caso_flusso casi[] = {
      {"lf", "\n", ""},
      {"cr_lf", "\r\n", ""},
      {"ctrl_z_in_intestazione", "\r\n", "X-Riempitivo: \x1A\r\n"},
  };
  for (const caso_flusso& c : casi) {
    cartella_temporanea cartella;
    scrivi_file(cartella.percorso() / "ingresso", sessione(c));
    const esito_processo r = esegui_con_ingresso(tra_apici(COMPILA_SCENARIO_EXE) + " --lsp", cartella.percorso(),
                                                 cartella.percorso() / "ingresso");
    EXPECT_EQ(r.stato, 0) << c.nome << ": " << r.errori;
    const std::vector<json> uscita = cornici(r.uscita);
    // initialize's answer, the line file alone, then both files of the pair, then shutdown's
    ASSERT_EQ(uscita.size(), 5U) << c.nome << ": " << r.uscita;
    EXPECT_EQ(uscita[0]["id"], 1) << c.nome;
    EXPECT_EQ(uscita[0]["result"]["capabilities"]["textDocumentSync"]["change"], 2) << c.nome;
    EXPECT_EQ(uscita[1]["params"]["uri"], uri_linea) << c.nome;
    EXPECT_EQ(uscita[2]["params"]["uri"], uri_treno) << c.nome;
    const json& d = uscita[2]["params"]["diagnostics"];
    ASSERT_EQ(d.size(), 1U) << c.nome << ": " << d.dump();
    EXPECT_EQ(d[0]["range"]["start"], (json{{"line", 10}, {"character", 20}})) << c.nome;
    EXPECT_EQ(d[0]["severity"], 1) << c.nome;
    EXPECT_EQ(uscita[3]["params"]["uri"], uri_linea) << c.nome;
    EXPECT_EQ(uscita[3]["params"]["diagnostics"], json::array()) << c.nome;
    EXPECT_EQ(uscita[4]["id"], 2) << c.nome;
    EXPECT_TRUE(uscita[4].contains("result")) << c.nome;
  }
}

}  // namespace
}  // namespace scenario::prova
