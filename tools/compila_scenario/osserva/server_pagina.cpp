#include "tools/compila_scenario/osserva/server_pagina.hpp"

#include <httplib.h>

#include <atomic>
#include <cctype>
#include <string>
#include <thread>

namespace scenario::osserva {

namespace {

// A browser tab holds one stream; past these a request waits for a thread.
constexpr int flussi_massimi = 16;
constexpr std::size_t fili_server = flussi_massimi + 8;
// An idle stream says so this often, so a closed tab is noticed.
constexpr std::chrono::milliseconds pausa_flusso{10000};

bool uguale_nc(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

std::string evento(uint64_t versione) {
  return "event: versione\ndata: " + std::to_string(versione) + "\n\n";
}

}  // namespace

int rifiuto_richiesta(std::string_view metodo, std::string_view percorso, std::optional<std::string_view> host,
                      int porta) {
  // a page of another site reaching this port by a name it controls
  const std::string dopo = ":" + std::to_string(porta);
  const bool host_buono = host && host->size() > dopo.size() && host->ends_with(dopo) &&
                          (uguale_nc(host->substr(0, host->size() - dopo.size()), "localhost") ||
                           host->substr(0, host->size() - dopo.size()) == "127.0.0.1");
  if (!host_buono) return 403;
  if (metodo != "GET") return 405;
  if (percorso != "/" && percorso != "/eventi") return 404;
  return 0;
}

struct server_pagina::dentro {
  explicit dentro(vetrina& x) : v(x) {}
  vetrina& v;
  httplib::Server http;
  std::thread filo;
  int porta = 0;
  std::atomic<int> flussi{0};
  std::atomic<bool> finito{false};
};

server_pagina::server_pagina(vetrina& v) : d_(std::make_unique<dentro>(v)) {}

server_pagina::~server_pagina() { ferma(); }

namespace {

void rispondi_pagina(vetrina& v, httplib::Response& r) {
  const pubblicazione p = v.attuale();
  r.set_header("Cache-Control", "no-store");
  r.set_content(p.pagina ? *p.pagina : std::string(), "text/html; charset=utf-8");
}

// One stream: the current version at once, then each new one; ends when the
// server stops or the tab goes.
void rispondi_eventi(vetrina& v, std::atomic<int>& flussi, httplib::Response& r) {
  if (flussi.fetch_add(1) >= flussi_massimi) {
    flussi.fetch_sub(1);
    r.status = 503;
    r.set_content("too many open pages\n", "text/plain");
    return;
  }
  r.set_header("Cache-Control", "no-store");
  struct flusso {
    bool primo = true;
    uint64_t vista = 0;
  };
  auto f = std::make_shared<flusso>();
  r.set_chunked_content_provider(
      "text/event-stream",
      [&v, f](std::size_t, httplib::DataSink& uscita) {
        const std::optional<uint64_t> ora = v.attendi_dopo(f->vista, f->primo ? std::chrono::milliseconds(0) : pausa_flusso);
        if (!ora) return false;
        // the first event tells a page loaded just before a change that it is behind
        std::string testo = f->primo ? "retry: 1000\n" + evento(*ora) : *ora > f->vista ? evento(*ora) : ": \n\n";
        f->primo = false;
        f->vista = *ora;
        return uscita.write(testo.data(), testo.size());
      },
      [&flussi](bool) { flussi.fetch_sub(1); });
}

}  // namespace

int server_pagina::avvia(int porta) {
  dentro& d = *d_;
  d.http.new_task_queue = [] { return new httplib::ThreadPool(fili_server); };
  d.http.set_keep_alive_timeout(1);  // a stop waits this long for idle connections
  d.http.set_payload_max_length(1024);
  d.http.set_pre_routing_handler([&d](const httplib::Request& q, httplib::Response& r) {
    const auto host = q.has_header("Host") ? std::optional<std::string>(q.get_header_value("Host")) : std::nullopt;
    const int rifiuto = rifiuto_richiesta(q.method, q.path, host, d.porta);
    if (rifiuto == 0) return httplib::Server::HandlerResponse::Unhandled;
    r.status = rifiuto;
    if (rifiuto == 405) r.set_header("Allow", "GET");
    r.set_header("Connection", "close");
    r.set_content(rifiuto == 403 ? "forbidden\n" : rifiuto == 405 ? "only GET\n" : "not found\n", "text/plain");
    return httplib::Server::HandlerResponse::Handled;
  });
  d.http.Get("/", [&d](const httplib::Request&, httplib::Response& r) { rispondi_pagina(d.v, r); });
  d.http.Get("/eventi", [&d](const httplib::Request&, httplib::Response& r) { rispondi_eventi(d.v, d.flussi, r); });
  d.porta = porta == 0 ? d.http.bind_to_any_port("127.0.0.1") : (d.http.bind_to_port("127.0.0.1", porta) ? porta : -1);
  if (d.porta <= 0) {
    d.porta = 0;
    return 0;
  }
  d.filo = std::thread([&d] {
    d.http.listen_after_bind();
    d.finito = true;
  });
  // a stop before the loop runs would be lost
  while (!d.http.is_running() && !d.finito) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return d.porta;
}

void server_pagina::ferma() {
  if (!d_ || !d_->filo.joinable()) return;
  d_->v.chiudi();
  d_->http.stop();
  d_->filo.join();
}

}  // namespace scenario::osserva
