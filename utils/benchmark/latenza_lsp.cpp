// The language server as the editor meets it: `compila_scenario --lsp` as a
// process behind two pipes. Times each edit from the didChange written to the
// last publishDiagnostics it causes (the edited line file's, after the train
// file's), on the 1,000,000 m synthetic pair and on the example pair; then
// reads the server's resident memory after 100 and after 10,000 edits.
// Prints medians and the aims, exits 1 when an aim is missed.
// Usage: latenza_lsp [compila_scenario] [edits, default 21]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "io/testo_1252.hpp"
#include "tools/compila_scenario/nuovo.hpp"
#include "utils/comune/scenari.hpp"

extern char** environ;

namespace {

using json = nlohmann::json;
using orologio = std::chrono::steady_clock;

class server_lsp {
 public:
  explicit server_lsp(const std::string& programma) {
    int verso_server[2];
    int dal_server[2];
    if (pipe(verso_server) != 0 || pipe(dal_server) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_adddup2(&azioni, verso_server[0], 0);
    posix_spawn_file_actions_adddup2(&azioni, dal_server[1], 1);
    for (int f : {verso_server[0], verso_server[1], dal_server[0], dal_server[1]})
      posix_spawn_file_actions_addclose(&azioni, f);
    std::string a0 = programma;
    std::string a1 = "--lsp";
    char* argomenti[] = {a0.data(), a1.data(), nullptr};
    if (posix_spawn(&pid_, programma.c_str(), &azioni, nullptr, argomenti, environ) != 0)
      throw std::runtime_error("cannot start " + programma);
    posix_spawn_file_actions_destroy(&azioni);
    close(verso_server[0]);
    close(dal_server[1]);
    scrivi_ = verso_server[1];
    leggi_ = dal_server[0];
  }
  server_lsp(const server_lsp&) = delete;
  server_lsp& operator=(const server_lsp&) = delete;

  void invia(const json& j) {
    const std::string corpo = j.dump();
    const std::string tutto = "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
    for (std::size_t fatto = 0; fatto < tutto.size();) {
      const ssize_t n = write(scrivi_, tutto.data() + fatto, tutto.size() - fatto);
      if (n <= 0) throw std::runtime_error("the server stopped reading");
      fatto += static_cast<std::size_t>(n);
    }
  }

  json ricevi() {
    for (;;) {
      const std::size_t fine_testa = buffer_.find("\r\n\r\n");
      if (fine_testa != std::string::npos) {
        const std::size_t lunghezza = std::stoul(buffer_.substr(buffer_.find(':') + 1));
        if (buffer_.size() >= fine_testa + 4 + lunghezza) {
          json j = json::parse(buffer_.substr(fine_testa + 4, lunghezza));
          buffer_.erase(0, fine_testa + 4 + lunghezza);
          return j;
        }
      }
      char blocco[65536];
      const ssize_t n = read(leggi_, blocco, sizeof blocco);
      if (n <= 0) throw std::runtime_error("the server closed its output");
      buffer_.append(blocco, static_cast<std::size_t>(n));
    }
  }

  // The next diagnostics published for `uri`.
  json diagnostici(const std::string& uri) {
    for (;;) {
      json j = ricevi();
      if (j.value("method", "") == "textDocument/publishDiagnostics" && j["params"]["uri"] == uri)
        return j["params"]["diagnostics"];
    }
  }

  // "VmRSS" or "VmHWM" of the server, in KiB.
  long memoria(const std::string& voce) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string riga; std::getline(status, riga);) {
      if (riga.rfind(voce + ":", 0) == 0) return std::stol(riga.substr(voce.size() + 1));
    }
    return -1;
  }

  int chiudi() {
    invia(json{{"jsonrpc", "2.0"}, {"id", 99}, {"method", "shutdown"}});
    while (!ricevi().contains("id")) {
    }
    invia(json{{"jsonrpc", "2.0"}, {"method", "exit"}});
    close(scrivi_);
    close(leggi_);
    int stato = 0;
    waitpid(pid_, &stato, 0);
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  }

 private:
  pid_t pid_ = -1;
  int scrivi_ = -1;
  int leggi_ = -1;
  std::string buffer_;
};

json notifica(const char* metodo, json param) {
  return json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(param)}};
}

// A pair open in the server, and the one line of its line file that the edits change.
struct coppia_aperta {
  std::string uri_linea;
  std::string uri_treno;
  uint32_t riga = 0;       // a gradient's line, 0-based
  uint32_t colonna = 0;    // just past its last comma
  uint32_t larghezza = 0;  // of its value as it is now
  int versione = 1;
  std::size_t diagnostici = 0;  // how many the last edit published for the line file
};

// The second gradient's line: a value that changes the route, on any pair.
void trova_pendenza(const std::string& linea, coppia_aperta& c) {
  std::size_t inizio = 0;
  int trovate = 0;
  for (uint32_t r = 0; inizio < linea.size(); ++r) {
    std::size_t fine = linea.find('\n', inizio);
    if (fine == std::string::npos) fine = linea.size();
    std::string riga = linea.substr(inizio, fine - inizio);
    if (!riga.empty() && riga.back() == '\r') riga.pop_back();
    if (riga.rfind("pendenza,", 0) == 0 && ++trovate == 2) {
      c.riga = r;
      c.colonna = static_cast<uint32_t>(riga.rfind(',') + 1);
      c.larghezza = static_cast<uint32_t>(riga.size()) - c.colonna;
      return;
    }
    inizio = fine + 1;
  }
  throw std::runtime_error("no second gradient in the line file");
}

coppia_aperta apri(server_lsp& s, const scenario::banco::coppia& testi, const std::string& nome) {
  coppia_aperta c;
  c.uri_linea = "file:///banco_lsp/" + nome + "_linea.txt";
  c.uri_treno = "file:///banco_lsp/" + nome + "_1-.txt";
  const std::string linea = scenario::utf8_da_1252(testi.linea);
  trova_pendenza(linea, c);
  for (const auto& [uri, testo] : {std::pair{c.uri_linea, linea}, std::pair{c.uri_treno,
                                                                           scenario::utf8_da_1252(testi.treno)}}) {
    s.invia(notifica("textDocument/didOpen",
                     {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", testo}}}}));
  }
  // the line file alone, then the train file and the line file again with it
  s.diagnostici(c.uri_linea);
  s.diagnostici(c.uri_linea);
  return c;
}

// One edit: the gradient's value becomes 3 or 4 in turn; its time in milliseconds.
double modifica(server_lsp& s, coppia_aperta& c) {
  ++c.versione;
  const std::string valore = c.versione % 2 == 0 ? " 3" : " 4";
  const json intervallo = {{"start", {{"line", c.riga}, {"character", c.colonna}}},
                           {"end", {{"line", c.riga}, {"character", c.colonna + c.larghezza}}}};
  const auto t0 = orologio::now();
  s.invia(notifica("textDocument/didChange",
                   {{"textDocument", {{"uri", c.uri_linea}, {"version", c.versione}}},
                    {"contentChanges", json::array({{{"range", intervallo}, {"text", valore}}})}}));
  c.diagnostici = s.diagnostici(c.uri_linea).size();
  const auto t1 = orologio::now();
  c.larghezza = static_cast<uint32_t>(valore.size());
  return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Median edit latency on a pair; prints it with its aim, true when within it.
bool latenza(const std::string& programma, const scenario::banco::coppia& testi, const std::string& nome,
             int modifiche, double obiettivo_ms) {
  server_lsp s(programma);
  s.invia(json{{"jsonrpc", "2.0"}, {"id", 0}, {"method", "initialize"}, {"params", json::object()}});
  s.ricevi();
  const auto t0 = orologio::now();
  coppia_aperta c = apri(s, testi, nome);
  const double apertura = std::chrono::duration<double, std::milli>(orologio::now() - t0).count();
  std::vector<double> tempi;
  for (int i = 0; i < modifiche; ++i) tempi.push_back(modifica(s, c));
  const double m = mediana(tempi);
  std::printf("%-28s edit -> diagnostics median %8.2f ms  (min %.2f, max %.2f; %d edits; opening both %.1f ms; "
              "%zu diagnostics) aim %.0f ms: %s\n",
              nome.c_str(), m, *std::min_element(tempi.begin(), tempi.end()),
              *std::max_element(tempi.begin(), tempi.end()), modifiche, apertura, c.diagnostici, obiettivo_ms,
              m <= obiettivo_ms ? "ok" : "MISSED");
  const int uscita = s.chiudi();
  return m <= obiettivo_ms && uscita == 0;
}

// Resident memory after 100 and after 10,000 edits of the example: flat within 2 MiB.
bool memoria(const std::string& programma, const scenario::banco::coppia& testi) {
  server_lsp s(programma);
  s.invia(json{{"jsonrpc", "2.0"}, {"id", 0}, {"method", "initialize"}, {"params", json::object()}});
  s.ricevi();
  coppia_aperta c = apri(s, testi, "Esempio");
  long rss_100 = 0;
  long hwm_100 = 0;
  for (int i = 1; i <= 10000; ++i) {
    modifica(s, c);
    if (i == 100) {
      rss_100 = s.memoria("VmRSS");
      hwm_100 = s.memoria("VmHWM");
    }
  }
  const long rss = s.memoria("VmRSS");
  const long hwm = s.memoria("VmHWM");
  const bool piatta = rss - rss_100 <= 2048 && hwm - hwm_100 <= 2048;
  std::printf("server memory, example pair: VmRSS %.1f MiB after 100 edits, %.1f MiB after 10,000; "
              "VmHWM %.1f -> %.1f MiB; aim flat (2 MiB): %s\n",
              static_cast<double>(rss_100) / 1024, static_cast<double>(rss) / 1024,
              static_cast<double>(hwm_100) / 1024, static_cast<double>(hwm) / 1024, piatta ? "ok" : "MISSED");
  return s.chiudi() == 0 && piatta;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path qui = std::filesystem::canonical("/proc/self/exe").parent_path();
  const std::string programma = argc > 1 ? argv[1] : (qui / "compila_scenario").string();
  const int modifiche = argc > 2 ? std::stoi(argv[2]) : 21;
  std::signal(SIGPIPE, SIG_IGN);  // a server gone is an error written, not this program killed
  const scenario::banco::coppia esempio{std::string(scenario::esempio_linea()),
                                        std::string(scenario::esempio_treno())};
  try {
    bool ok = latenza(programma, esempio, "Esempio", modifiche, 10);
    ok = latenza(programma, scenario::banco::scenario_sintetico(1000000), "Sintetica_1000000m", modifiche, 100) && ok;
    ok = memoria(programma, esempio) && ok;
    return ok ? 0 : 1;
  } catch (const std::exception& x) {
    std::fprintf(stderr, "latenza_lsp: %s\n", x.what());
    return 2;
  }
}
