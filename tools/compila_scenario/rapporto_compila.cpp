#include "tools/compila_scenario/rapporto_compila.hpp"

#include <filesystem>

#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "contenuto/contenuto.hpp"
#include "rapporto/rapporto.hpp"

namespace scenario {

namespace fsys = std::filesystem;

namespace {

const char* significato_uscita(int uscita) {
  switch (uscita) {
    case uscita_compila::riuscita: return "compiled cleanly";
    case uscita_compila::errori_dati: return "the descriptions hold errors";
    case uscita_compila::fatale: return "fatal error, no compiled file written";
    case uscita_compila::guasto_io: return "a file or folder could not be read or written";
    default: return "bad usage";
  }
}

}  // namespace

std::string componi_rapporto_compila(const opzioni_compila& o, const modello& m, const esito_compila& e) {
  rapporto::origine_rapporto org;
  org.programma = "compila_scenario";
  org.file = e.scritti;
  org.senza_linea = o.senza_linea;
  rapporto::esito_rapporto esito;
  esito.uscita = e.uscita;
  esito.significato_uscita = significato_uscita(e.uscita);
  esito.stato = e.stato;
  esito.messaggi = e.messaggi;
  esito.principale = e.principale;
  esito.file = e.file;
  esito.voci_scritte = e.voci_scritte;
  org.esito = std::move(esito);

  // a compile that stopped before there was a route has only its messages to show
  return m.celle.size() >= 2 ? rapporto::componi_rapporto(m, estrai_contenuto(m), org)
                             : rapporto::componi_rapporto_senza_percorso(org);
}

void scrivi_rapporto_compila(const std::string& file, const opzioni_compila& o, const modello& m, esito_compila& e,
                             sistema_file& fs) {
  const fsys::path destinazione(file);
  const nomi_file ingresso = costruisci_nomi(fsys::path(o.cartella), o.linea, o.treno);
  const nomi_file uscita = costruisci_nomi(fsys::path(o.uscita.value_or(o.cartella)), o.linea, o.treno);
  for (const fsys::path& p : {ingresso.descrizione_linea, ingresso.descrizione_treno, uscita.file_linea,
                              uscita.file_scenario, uscita.file_percorso}) {
    if (stesso_file(destinazione, p)) {
      e.uscita = uscita_compila::guasto_io;
      e.messaggi.push_back(diagnostico_di("is one of the scenario's own files: no report written", sorgente::altro, file));
      return;
    }
  }

  try {
    sostituisci_file(fs, destinazione, componi_rapporto_compila(o, m, e));
  } catch (const errore_io& x) {
    e.uscita = uscita_compila::guasto_io;
    e.messaggi.push_back(diagnostico_di("cannot write the report: " + x.motivo(), sorgente::altro, file));
  }
}

}  // namespace scenario
