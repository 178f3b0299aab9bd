// Peak memory of one compile of the largest accepted line, against the size of
// the line file it writes. Prints both and exits 1 when the peak is 3 times the
// line file or more.
#include <sys/resource.h>

#include <cstdio>

#include "../fuzz/memoria.hpp"
#include "compiler/finishing/memorizza_percorso.hpp"
#include "io/nomi_file.hpp"
#include "scenari.hpp"

int main() {
  using namespace scenario;
  const nomi_file nomi = costruisci_nomi("b", "L", "1");
  std::size_t linea = 0;
  {
    fuzz::sistema_file_memoria fs;
    {
      const banco::coppia c = banco::scenario_sintetico(1000000);
      fs.scrivi(nomi.descrizione_linea, c.linea);
      fs.scrivi(nomi.descrizione_treno, c.treno);
    }
    sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
    modello m;
    m.nome_linea = "L";
    m.numero_treno = "1";
    memorizza_percorso(m, 1, sorgenti, fs, nomi);
    linea = fs.leggi(nomi.file_linea).size();
    std::printf("status %d\n", m.codice_errore);
  }
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  const double picco = static_cast<double>(uso.ru_maxrss) * 1024.0;
  std::printf("line file %zu bytes, peak memory %.0f bytes (%.2f x)\n", linea, picco,
              picco / static_cast<double>(linea));
  return picco < 3.0 * static_cast<double>(linea) ? 0 : 1;
}
