// Peak memory of one run of the compiler on the largest accepted line, with
// its files on disk as in the program, against the size of the line file it
// writes. Prints both and exits 1 when the peak is over 1.25 times the line file:
// the line file is written in pieces, never held whole beside the track plan.
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>

#include "compiler/memorizza_percorso.hpp"
#include "formato/file_binari.hpp"
#include "io/nomi_file.hpp"
#include "utils/comune/scenari.hpp"

int main() {
  using namespace scenario;
  namespace fs = std::filesystem;
  const fs::path cartella = fs::temp_directory_path() / "memoria_picco_scenario";
  fs::remove_all(cartella);
  fs::create_directories(cartella);
  const nomi_file nomi = costruisci_nomi(cartella, "L", "1");
  sistema_file_disco disco;
  {
    const banco::coppia c = banco::scenario_sintetico(1000000);
    sostituisci_file(disco, nomi.descrizione_linea, c.linea, durata::transitoria);
    sostituisci_file(disco, nomi.descrizione_treno, c.treno, durata::transitoria);
  }
  int32_t stato = 0;
  {
    sorgenti_su_file sorgenti(disco, nomi.descrizione_linea, nomi.descrizione_treno, true);
    modello m;
    m.nome_linea = std::string("L");
    m.numero_treno = std::string("1");
    if (memorizza_percorso(m, 1, sorgenti)) scrivi_file_binari(m, disco, nomi);
    stato = m.codice_errore;
  }
  const auto linea = fs::file_size(nomi.file_linea);
  fs::remove_all(cartella);
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  const double picco = static_cast<double>(uso.ru_maxrss) * 1024.0;
  std::printf("status %d; line file %ju bytes, peak memory %.0f bytes (%.2f x, target 1.25 or less)\n", stato,
              static_cast<uintmax_t>(linea), picco, picco / static_cast<double>(linea));
  return stato == 0 && picco <= 1.25 * static_cast<double>(linea) ? 0 : 1;
}
