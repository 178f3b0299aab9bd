#include "tools/genera_scenario/form_load.hpp"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "formato/file_binari.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "writers/scrittori.hpp"

namespace scenario {

namespace {

std::string descrivi_stato(const modello& m, const std::vector<diagnostico>& diagnostici) {
  std::string testo = "status " + std::to_string(m.codice_errore);
  const std::string_view significato = significato_codice(m.codice_errore);
  if (!significato.empty()) testo += ": " + std::string(significato);
  testo += " (position " + std::to_string(m.posizione_errore) + " m)";
  // the latest diagnostic says exactly what went wrong
  const auto ultimo = std::find_if(diagnostici.rbegin(), diagnostici.rend(),
                                   [](const diagnostico& d) { return d.tipo == gravita::errore; });
  if (ultimo != diagnostici.rend() && ultimo->codice == m.codice_errore && ultimo->testo != significato) {
    testo += ": " + ultimo->testo;
  }
  return testo;
}

// The description files are the run's own transfer files: they never outlive
// it, whatever stopped it. Only called with the folder's lock held, so they
// are never another run's.
void elimina_descrizioni(sistema_file& fs, const nomi_file& nomi) {
  for (const auto* file : {&nomi.descrizione_linea, &nomi.descrizione_treno}) {
    try {
      elimina_se_esiste(fs, *file);
    } catch (const errore_io&) {
      // the failure that stopped the run is the one reported
    }
  }
}

int esegui(piattaforma& p, sistema_file& fs, modello& m, const raccolta_diagnostici& diagnostici,
           std::unique_ptr<blocco_cartella>& blocco, std::optional<nomi_file>& nomi) {
  try {
    p.mostra_attesa();
    const std::filesystem::path cartella = p.cartella_programma();
    nomi = costruisci_nomi(cartella, m.nome_linea, m.numero_treno);
    // one run at a time in the folder: two would consume each other's descriptions
    blocco = fs.blocca(cartella, attesa_blocco);
    dati_linea(fs, *nomi);
    dati_treno(fs, *nomi);
    // the crew documents as one set: their flushes overlap
    dati_documenti(fs, *nomi);
    sorgenti_su_file sorgenti(fs, nomi->descrizione_linea, nomi->descrizione_treno, true);
    if (memorizza_percorso(m, 1, sorgenti)) scrivi_file_binari(m, fs, *nomi);
  } catch (const errore_fatale& e) {
    p.mostra_errore(e.what());
    return uscita::errore_report;
  } catch (const errore_io& e) {
    p.segnala_guasto("genera_scenario: " + e.file() + ": " + e.motivo());
    return uscita::guasto;
  } catch (const std::bad_alloc&) {
    p.segnala_guasto("genera_scenario: out of memory");
    return uscita::guasto;
  } catch (const std::exception& e) {
    p.segnala_guasto(std::string("genera_scenario: ") + e.what());
    return uscita::guasto;
  }
  if (m.codice_errore != 0) {
    p.segnala_guasto("genera_scenario: " + descrivi_stato(m, diagnostici.tutti));
    return uscita::codice_errore;
  }
  return uscita::riuscita;
}

}  // namespace

int form_load(piattaforma& p, sistema_file& fs) {
  raccolta_diagnostici diagnostici;
  modello m;
  m.nome_linea = "Valdora_Tarvea";
  m.numero_treno = "5293";
  m.diagnostici = &diagnostici;
  std::unique_ptr<blocco_cartella> blocco;
  std::optional<nomi_file> nomi;
  const int stato = esegui(p, fs, m, diagnostici, blocco, nomi);
  if (blocco && nomi) {
    elimina_descrizioni(fs, *nomi);
    // the binary set flushes the folder; a run stopped before it flushes here
    // what it did replace, as far as it can
    if (stato != uscita::riuscita) {
      try {
        fs.sincronizza_cartella(nomi->note.parent_path());
      } catch (const errore_io&) {
        // the failure that stopped the run is the one reported
      }
    }
  }
  return stato;
}

}  // namespace scenario
