#pragma once
// compila_scenario --lsp: a language server on standard input and output.
// It answers initialize and shutdown and publishes, for every description
// file open in the editor, the diagnostics of its pair compiled from the
// buffers as they are, unsaved.
#include <iosfwd>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/model/campi_letti.hpp"
#include "compiler/model/diagnostico.hpp"
#include "io/sistema_file.hpp"

namespace scenario::lsp {

// JSON-RPC error codes.
namespace codice_rpc {
inline constexpr int errore_json = -32700;
inline constexpr int richiesta_invalida = -32600;
inline constexpr int metodo_sconosciuto = -32601;
inline constexpr int parametri_invalidi = -32602;
inline constexpr int errore_interno = -32603;
inline constexpr int non_inizializzato = -32002;
}  // namespace codice_rpc

class server {
 public:
  // Answers and notifications go to `out`, framed; what the editor cannot be told goes to `log`.
  server(std::ostream& out, std::ostream& log, sistema_file& fs) : out_(out), log_(log), fs_(fs) {}
  // One message's body, as read; never throws.
  void tratta(const std::string& corpo);
  bool finito() const { return finito_; }
  // exit after shutdown: 0; exit without it: 1.
  int uscita() const { return spento_ ? 0 : 1; }

 private:
  struct documento {
    std::string uri;
    std::string testo;  // UTF-8, as the editor holds it
    // what the last compile of its pair found in it, for the editor's help
    std::vector<campo_letto> campi;
    std::vector<std::pair<regione_sorgente, std::string>> correzioni;
  };
  struct coppia_aperta;

  void invia(const nlohmann::json& j);
  void rispondi(const nlohmann::json& id, nlohmann::json risultato);
  void rifiuta(const nlohmann::json& id, int codice, const std::string& testo);
  void richiesta(const nlohmann::json& id, const std::string& metodo, const nlohmann::json& param);
  // hover, completion and the rest: about one open document; false: not such a method
  bool aiuto(const nlohmann::json& id, const std::string& metodo, const nlohmann::json& param);
  void annota(const std::string& percorso, sorgente file, const std::vector<campo_letto>& campi,
              const std::vector<diagnostico>& diagnostici);
  void notifica(const std::string& metodo, const nlohmann::json& param);
  void apri(const nlohmann::json& param);
  void cambia(const nlohmann::json& param);
  void chiudi(const nlohmann::json& param);
  void ricontrolla(const std::string& percorso);
  void controlla_linea(const std::string& percorso, const std::string& uri);
  // Publishes the train file's diagnostics; gives the line file's URI and diagnostics.
  std::pair<std::string, nlohmann::json> controlla_treno(const std::string& percorso, const std::string& uri);
  void pubblica(const std::string& uri, nlohmann::json diagnostici);
  std::optional<std::string> testo_di(const std::string& percorso);

  std::ostream& out_;
  std::ostream& log_;
  sistema_file& fs_;
  std::map<std::string, documento> documenti_;  // by path, as decoded from the URI
  bool inizializzato_ = false;
  bool spento_ = false;
  bool finito_ = false;
};

// The whole session on two streams; the exit status of the program.
int esegui_lsp(std::istream& in, std::ostream& out, std::ostream& log, sistema_file& fs);

}  // namespace scenario::lsp
