#include "tools/compila_scenario/osserva/osserva.hpp"

#include <ctime>
#include <ostream>
#include <thread>

#include "io/nomi_file.hpp"
#include "tools/compila_scenario/osserva/pagina_viva.hpp"
#include "tools/compila_scenario/osserva/server_pagina.hpp"
#include "tools/compila_scenario/osserva/sorvegliante.hpp"
#include "tools/compila_scenario/rapporto_compila.hpp"
#include "tools/compila_scenario/vicini.hpp"

namespace scenario::osserva {

namespace {

struct compilazione {
  esito_compila esito;
  pagina_compilata pagina;
};

// One compile as a plain run makes it, --html included, and its page.
compilazione compila_pagina(const opzioni_compila& o, sistema_file& fs) {
  compilazione c;
  modello m;
  c.esito = compila(o, fs, &m);
  nota_file_mancanti(c.esito, o, fs);
  if (o.html) scrivi_rapporto_compila(*o.html, o, m, c.esito, fs);
  c.pagina.html = componi_rapporto_compila(o, m, c.esito);
  // drawings of files that were not written would not be the author's route
  c.pagina.disegni = m.celle.size() >= 2 && c.esito.uscita != uscita_compila::fatale &&
                     c.esito.uscita != uscita_compila::guasto_io;
  return c;
}

std::string ora_adesso() {
  const std::time_t t = std::time(nullptr);
  char testo[16] = "??:??:??";
  // only this thread asks for the local time
  if (const std::tm* x = std::localtime(&t)) std::strftime(testo, sizeof testo, "%H:%M:%S", x);
  return testo;
}

void pubblica(vetrina& v, pagine_vive& pagine, const pagina_compilata& p) {
  v.pubblica(pagine.componi(p, ora_adesso(), v.attuale().versione + 1));
}

}  // namespace

int esegui_osserva(const opzioni_compila& o, sistema_file& fs, std::ostream& out, std::ostream& err,
                   const ganci_osserva& g) {
  const nomi_file nomi = costruisci_nomi(std::filesystem::path(o.cartella), o.linea, o.treno);
  // watched from before the first compile: a save during it is not missed
  sorvegliante guardia({nomi.descrizione_linea, nomi.descrizione_treno}, leggi_impronta, g.quiete);
  vetrina v;
  pagine_vive pagine;
  compilazione c = compila_pagina(o, fs);
  pubblica(v, pagine, c.pagina);

  server_pagina server(v);
  const int porta = server.avvia(o.porta);
  if (porta == 0) {
    stampa_esito(c.esito, o, out, err);
    err << "compila_scenario: cannot listen on 127.0.0.1:" << o.porta << "\n";
    return uscita_compila::guasto_io;
  }
  out << "http://127.0.0.1:" << porta << "/\n" << std::flush;
  if (g.pronto) g.pronto(porta);
  stampa_esito(c.esito, o, out, err);
  out.flush();
  err.flush();

  while (!g.da_fermare()) {
    std::this_thread::sleep_for(g.passo);
    if (!guardia.guarda(sorvegliante::orologio::now())) continue;
    c = compila_pagina(o, fs);
    err << "compila_scenario: " << ora_adesso() << " compiled again, exit status " << c.esito.uscita << "\n";
    stampa_esito(c.esito, o, err, err);
    err.flush();
    pubblica(v, pagine, c.pagina);
  }
  server.ferma();
  return uscita_compila::riuscita;
}

}  // namespace scenario::osserva
