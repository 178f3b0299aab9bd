// The language server's whole loop: framing, dispatch, edits and the compile
// of the pair. The first byte chooses how the rest is fed: bit 0 clear, as a
// raw byte stream (the framing itself under test); set, as message bodies
// split at NUL bytes, each framed with its true length, so the mutations
// reach the dispatch. Bit 1 puts an initialize in front. The example pair
// lies on an in-memory disk beside the URIs of the seeds (file:///c/...).
#include <cstddef>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "tools/compila_scenario/lsp/server.hpp"
#include "tools/compila_scenario/lsp/trasporto.hpp"
#include "tools/compila_scenario/nuovo.hpp"
#include "utils/comune/memoria.hpp"

namespace {

using namespace scenario;
using json = nlohmann::json;

const std::string inizia = R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})";

std::string incornicia(std::string_view corpo) {
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + std::string(corpo);
}

std::string flusso_da(const uint8_t* dati, size_t n) {
  if (n == 0) return {};
  const std::string resto(reinterpret_cast<const char*>(dati) + 1, n - 1);
  std::string flusso = (dati[0] & 2) != 0 ? incornicia(inizia) : "";
  if ((dati[0] & 1) == 0) return flusso + resto;
  std::size_t da = 0;
  for (;;) {
    const std::size_t a = resto.find('\0', da);
    flusso += incornicia(std::string_view(resto).substr(da, a == std::string::npos ? a : a - da));
    if (a == std::string::npos) return flusso;
    da = a + 1;
  }
}

bool posizione_valida(const json& p) {
  return p.is_object() && p["line"].is_number_unsigned() && p["character"].is_number_unsigned();
}

// A published diagnostic the editor can place: a range that does not run backwards, a known severity.
void controlla_diagnostico(const json& d) {
  const json& r = d.at("range");
  if (!posizione_valida(r.at("start")) || !posizione_valida(r.at("end"))) __builtin_trap();
  const auto inizio = std::pair{r["start"]["line"].get<uint64_t>(), r["start"]["character"].get<uint64_t>()};
  const auto fine = std::pair{r["end"]["line"].get<uint64_t>(), r["end"]["character"].get<uint64_t>()};
  if (fine < inizio) __builtin_trap();
  const int s = d.at("severity").get<int>();
  if (s < 1 || s > 3 || !d.at("message").is_string()) __builtin_trap();
}

// Everything written is whole frames of JSON-RPC 2.0: answers and published diagnostics only.
void controlla_uscita(const std::string& uscita) {
  std::istringstream in(uscita);
  for (;;) {
    const lsp::lettura l = lsp::leggi_messaggio(in);
    if (l.esito == lsp::esito_lettura::fine && l.motivo.empty()) return;
    if (l.esito != lsp::esito_lettura::messaggio) __builtin_trap();
    const json j = json::parse(l.corpo, nullptr, false);
    if (j.is_discarded() || !j.is_object() || j.value("jsonrpc", "") != "2.0") __builtin_trap();
    if (j.contains("id")) {
      if (j.contains("result") == j.contains("error")) __builtin_trap();
      continue;
    }
    if (j.value("method", "") != "textDocument/publishDiagnostics") __builtin_trap();
    for (const json& d : j.at("params").at("diagnostics")) controlla_diagnostico(d);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  fuzz::sistema_file_memoria fs;
  const std::map<std::string, std::string> disco{{"/c/Borgo_Lanzi_linea.txt", std::string(esempio_linea())},
                                                 {"/c/Borgo_Lanzi_8127-.txt", std::string(esempio_treno())}};
  for (const auto& [p, c] : disco) fs.scrivi(p, c);
  std::istringstream in(flusso_da(dati, n));
  std::ostringstream out;
  std::ostringstream log;
  const int stato = lsp::esegui_lsp(in, out, log, fs);
  if (stato != 0 && stato != 1) __builtin_trap();
  controlla_uscita(out.str());
  // the editor's files are only ever read
  if (fs.numero_file() != disco.size()) __builtin_trap();
  for (const auto& [p, c] : disco) {
    if (fs.leggi(p) != c) __builtin_trap();
  }
  return 0;
}
