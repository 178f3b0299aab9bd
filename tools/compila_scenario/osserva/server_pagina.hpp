#pragma once
// The live page over HTTP, on 127.0.0.1 only: GET / (the page) and GET /eventi
// (server-sent events, one per new version). Nothing else is served and
// nothing is written through it.
#include <memory>
#include <optional>
#include <string_view>

#include "tools/compila_scenario/osserva/vetrina.hpp"

namespace scenario::osserva {

// What a request gets before any page: 0 when it may be served, else the
// status refusing it (403 a Host other than this server's, 405 a method other
// than GET, 404 a path other than the page's). `host` absent: no Host header.
int rifiuto_richiesta(std::string_view metodo, std::string_view percorso, std::optional<std::string_view> host,
                      int porta);

class server_pagina {
 public:
  explicit server_pagina(vetrina& v);
  ~server_pagina();
  server_pagina(const server_pagina&) = delete;
  server_pagina& operator=(const server_pagina&) = delete;

  // Listens on 127.0.0.1:porta (0: a free port) in a thread of its own;
  // returns the port, or 0 when it could not listen.
  int avvia(int porta);
  // Ends every event stream and the server; returns once its threads are done.
  void ferma();

 private:
  struct dentro;
  std::unique_ptr<dentro> d_;
};

}  // namespace scenario::osserva
