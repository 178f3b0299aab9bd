#include "compiler/memorizza_percorso.hpp"

#include "compiler/finishing/codici_gara.hpp"
#include "compiler/finishing/finitura.hpp"
#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/readers/memorizza_dati.hpp"

namespace scenario {

void errore(int32_t codice) { throw errore_fatale(codice); }

bool memorizza_percorso(modello& m, int32_t flag, sorgenti_descrizione& sorgenti) {
  m.scrivi_linea = flag != 0;
  m.codice_errore = 0;
  for (voce_tabella& v : m.tabella) v = voce_tabella{};

  memorizza_dati(m, sorgenti);

  // A reader that stopped before the route length left no cells: there is
  // nothing to finish and nothing worth writing; the status says why.
  if (!m.ha_celle()) return false;
  // A negative route length can leave a single cell: cell 1, which carries the
  // format number and the og code, does not exist, and the simulator could not
  // load such a route.
  if (m.celle.size() < 2) {
    diagnostico d;
    d.codice = codice::percorso_senza_cella_1;
    d.dove.regione.file = sorgente::finitura;
    d.testo = "the route has " + std::to_string(m.celle.size()) + " cell";
    segna_errore(m, std::move(d));
    return false;
  }

  completa_percorso(m);
  return true;
}

void completa_percorso(modello& m) {
  passo_finitura(m);

  voce_tabella& intestazione = m.voce(voci::linea);
  if (intestazione.campo_7 != 0 || m.cel(1).valore != 0) errore(codice::slot_formato);
  intestazione.campo_7 = formato_scenario;
  m.cel(1).valore = formato_percorso;
  if (intestazione.orario != 0 || m.cel(1).valore2 != 0) errore(codice::slot_codici);
  intestazione.orario = codice_gara_st(m);
  m.cel(1).valore2 = codice_gara_og(m);
}

}  // namespace scenario
