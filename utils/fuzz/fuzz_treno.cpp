// The train description reader alone, on the route of the program's own line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/model/errori.hpp"
#include "compiler/readers/lettore_treno.hpp"
#include "compiler/readers/memorizza_dati.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/nomi_file.hpp"
#include "utils/comune/memoria.hpp"
#include "writers/scrittori.hpp"

namespace {

// The model as the line reader leaves it for the program's own line description.
const scenario::modello& linea_di_partenza() {
  static const scenario::modello modello_linea = [] {
    using namespace scenario;
    fuzz::sistema_file_memoria fs;
    const nomi_file nomi = costruisci_nomi("f", "L", "1");
    dati_linea(fs, nomi);
    modello m;
    m.nome_linea = std::string("L");  // not a literal: GCC 12 warns falsely (-Wrestrict)
    m.numero_treno = std::string("1");
    // a line reader that ran through, then an empty train file
    fs.scrivi(nomi.descrizione_treno, "");
    sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
    memorizza_dati(m, sorgenti);
    m.codice_errore = 0;
    return m;
  }();
  return modello_linea;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario;
  fuzz::sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("f", "L", "1");
  fs.scrivi(nomi.descrizione_treno, std::string(reinterpret_cast<const char*>(dati), n));
  sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
  modello m = linea_di_partenza();
  try {
    leggi_descrizione_treno(m, sorgenti);
  } catch (const errore_esecuzione&) {
    // the trap of memorizza_dati turns this into status 25 and deletes the file
    return 0;
  }
  // every other way out of the reader deletes the file it read
  if (fs.esiste(nomi.descrizione_treno)) __builtin_trap();
  return 0;
}
