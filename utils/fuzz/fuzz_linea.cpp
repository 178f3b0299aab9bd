// The line description reader alone, on any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/readers/memorizza_dati.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/nomi_file.hpp"
#include "utils/comune/memoria.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario;
  fuzz::sistema_file_memoria fs;
  const nomi_file nomi = costruisci_nomi("f", "L", "1");
  fs.scrivi(nomi.descrizione_linea, std::string(reinterpret_cast<const char*>(dati), n));
  sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
  modello m;
  m.nome_linea = std::string("L");  // not a literal: GCC 12 warns falsely (-Wrestrict)
  m.numero_treno = std::string("1");
  m.scrivi_linea = 1;
  // no train description: the train reader ends at once through the trap
  memorizza_dati(m, sorgenti);
  if (fs.esiste(nomi.descrizione_linea) && m.codice_errore != 101) __builtin_trap();
  return 0;
}
