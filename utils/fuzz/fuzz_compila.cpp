// The complete compile of a line and train description pair: the input is
// split at its first NUL byte (line description before it, train after it).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "formato/decodifica.hpp"
#include "formato/file_binari.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/nomi_file.hpp"
#include "utils/comune/memoria.hpp"

namespace {

using namespace scenario;

// A refusal of the line reader ends the compile before the train description
// is opened, so that file is left where it is.
bool linea_rifiutata(const std::vector<diagnostico>& trovati) {
  return std::any_of(trovati.begin(), trovati.end(), [](const diagnostico& d) {
    return d.tipo == gravita::errore && d.dove.regione.file == sorgente::linea && d.codice != codice::oltre_percorso &&
           d.codice != codice::errore_lettura;
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  const std::string tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t taglio = tutto.find('\0');
  fuzz::sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("f", "L", "1");
  fs.scrivi(nomi.descrizione_linea, tutto.substr(0, taglio));
  if (taglio != std::string::npos) fs.scrivi(nomi.descrizione_treno, tutto.substr(taglio + 1));
  // output files of an earlier run: each is either kept whole or replaced whole
  const std::string vecchio = "earlier run";
  for (const auto* f : {&nomi.file_linea, &nomi.file_scenario, &nomi.file_percorso}) fs.scrivi(*f, vecchio);
  sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
  raccolta_diagnostici trovati;
  modello m;
  m.nome_linea = std::string("L");  // not a literal: GCC 12 warns falsely (-Wrestrict)
  m.numero_treno = std::string("1");
  m.diagnostici = &trovati;
  bool fatale = false;
  try {
    if (memorizza_percorso(m, 1, sorgenti)) scrivi_file_binari(m, fs, nomi);
  } catch (const errore_fatale&) {
    fatale = true;  // " Errore n. 1250/1251": the run ends before any binary file
  }
  // all three binary files are replaced, or none is
  const bool scritti = fs.leggi(nomi.file_percorso) != vecchio;
  if (scritti) {
    if (fatale || !m.ha_celle()) __builtin_trap();
    // the route file holds every cell; the track plan rows take 2 to 10 bytes a component
    if (fs.leggi(nomi.file_percorso).size() != m.celle.size() * 15) __builtin_trap();
    if (fs.leggi(nomi.file_scenario) != serializza_scenario(m)) __builtin_trap();
    const std::size_t righe = static_cast<std::size_t>(m.tracciato.ultima_riga()) + 1;
    const std::size_t linea = fs.leggi(nomi.file_linea).size();
    if (linea < 4 * righe || linea > 20 * righe) __builtin_trap();
    // read back, the three files give a model that writes them again unchanged
    const std::string l = fs.leggi(nomi.file_linea), s = fs.leggi(nomi.file_scenario), p = fs.leggi(nomi.file_percorso);
    const modello letto = decodifica(file_compilati{l, s, p});
    if (serializza_linea(letto) != l || serializza_scenario(letto) != s || serializza_percorso(letto) != p) {
      __builtin_trap();
    }
    if (!verifica(letto).tutto_giusto()) __builtin_trap();
  } else {
    for (const auto* f : {&nomi.file_linea, &nomi.file_scenario}) {
      if (fs.leggi(*f) != vecchio) __builtin_trap();
    }
  }
  // the line description is always opened here, and so always deleted
  if (fs.esiste(nomi.descrizione_linea)) __builtin_trap();
  if (fs.esiste(nomi.descrizione_treno) && !linea_rifiutata(trovati.tutti)) __builtin_trap();
  // no temporary file is left behind
  const std::size_t attesi = 3 + (fs.esiste(nomi.descrizione_treno) ? 1 : 0);
  if (fs.numero_file() != attesi) __builtin_trap();
  return 0;
}
