#include "compiler/readers/memorizza_dati.hpp"

#include <new>
#include <optional>

#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/readers/lettore_linea.hpp"
#include "compiler/readers/lettore_treno.hpp"
#include "io/errore_io.hpp"

namespace scenario {

namespace {
// The single failure trap: every file is already closed (readers work on the
// contents), so only the deletions and the status remain.
void trappola(modello& m, sorgenti_descrizione& sorgenti, const std::string& cosa, std::optional<luogo> dove) {
  sorgenti.elimina_linea();
  sorgenti.elimina_treno();
  diagnostico d;
  d.codice = codice::errore_lettura;
  if (dove) d.dove = std::move(*dove);
  d.testo = cosa;
  segna_errore(m, std::move(d));
}
}  // namespace

void memorizza_dati(modello& m, sorgenti_descrizione& sorgenti) {
  try {
    // checking on, the train file is read after a refused line too, if there are cells to check it on
    if (!leggi_descrizione_linea(m, sorgenti) && !(m.verifica && m.ha_celle())) return;
    if (m.verifica) m.codice_errore = 0;
    leggi_descrizione_treno(m, sorgenti);
  } catch (const errore_esecuzione& e) {
    trappola(m, sorgenti, e.what(), e.dove());
  } catch (const errore_io&) {
    // The disk failed, not the data: the run stops before any binary file is
    // replaced, so the earlier ones stay intact. The transfer files go if they can.
    try {
      sorgenti.elimina_linea();
      sorgenti.elimina_treno();
    } catch (const errore_io&) {
      // the first failure is the one worth reporting
    }
    throw;
  } catch (const std::bad_alloc&) {
    trappola(m, sorgenti, "out of memory", std::nullopt);
  }
}

}  // namespace scenario
