// The complete compile of a line and train description pair: the input is
// split at its first NUL byte (line description before it, train after it).
#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/finishing/memorizza_percorso.hpp"
#include "compiler/model/errori.hpp"
#include "compiler/output/file_binari.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/nomi_file.hpp"
#include "memoria.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario;
  const std::string tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t taglio = tutto.find('\0');
  fuzz::sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("f", "L", "1");
  fs.scrivi(nomi.descrizione_linea, tutto.substr(0, taglio));
  if (taglio != std::string::npos) fs.scrivi(nomi.descrizione_treno, tutto.substr(taglio + 1));
  sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "1";
  try {
    memorizza_percorso(m, 1, sorgenti, fs, nomi);
  } catch (const errore_fatale&) {
    return 0;  // " Errore n. 1250/1251": the run ends before any binary file
  }
  if (m.celle.size() >= 2) {
    // every binary file is whole: the route file holds every cell
    if (fs.leggi(nomi.file_percorso).size() != m.celle.size() * 15) __builtin_trap();
  }
  // the line description is consumed whenever it exists (a refused line leaves
  // the train description unread, and so in place)
  if (fs.esiste(nomi.descrizione_linea) && m.codice_errore != 101) __builtin_trap();
  return 0;
}
