// The I/O floor of one genera_scenario run: exactly its file operations, on
// bytes already in memory, through the same file layer with the same flushing
// (lock the folder; five text files through temporaries, the three crew
// documents flushed, the two description files not; both read back and
// deleted; the three binary files as one flushed set, then the folder). Run in an empty folder; prints the nanoseconds the operations
// took. The binary contents are read, untimed, from a folder holding a run's
// outputs.
// Usage: pavimento_io CARTELLA_USCITE [--senza-flush]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "utils/comune/memoria.hpp"
#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"
#include "writers/scrittori.hpp"

int main(int argc, char** argv) {
  using namespace scenario;
  namespace fs = std::filesystem;
  if (argc < 2 || (argc == 3 && std::strcmp(argv[2], "--senza-flush") != 0) || argc > 3) {
    std::fprintf(stderr, "usage: pavimento_io CARTELLA_USCITE [--senza-flush]\n");
    return 64;
  }
  const bool sincronizza = argc == 2;
  try {
    // every content in memory before the clock starts
    fuzz::sistema_file_memoria memoria;
    const nomi_file m = costruisci_nomi("", "Valdora_Tarvea", "5293");
    dati_linea(memoria, m);
    dati_treno(memoria, m);
    dati_note(memoria, m);
    dati_rallentamenti(memoria, m);
    dati_scheda(memoria, m);
    sistema_file_disco disco(sincronizza);
    const nomi_file sorgente = costruisci_nomi(argv[1], "Valdora_Tarvea", "5293");
    const std::string linea = disco.leggi(sorgente.file_linea);
    const std::string scenario = disco.leggi(sorgente.file_scenario);
    const std::string percorso = disco.leggi(sorgente.file_percorso);
    const fs::path cartella = fs::current_path();
    const nomi_file n = costruisci_nomi(cartella, "Valdora_Tarvea", "5293");

    const auto t0 = std::chrono::steady_clock::now();
    {
      const auto blocco = disco.blocca(cartella, attesa_blocco);
      sostituisci_file(disco, n.descrizione_linea, memoria.leggi(m.descrizione_linea), durata::transitoria);
      sostituisci_file(disco, n.descrizione_treno, memoria.leggi(m.descrizione_treno), durata::transitoria);
      sostituisci_file(disco, n.note, memoria.leggi(m.note), durata::cartella_dopo);
      sostituisci_file(disco, n.rallentamenti, memoria.leggi(m.rallentamenti), durata::cartella_dopo);
      sostituisci_file(disco, n.scheda_treno, memoria.leggi(m.scheda_treno), durata::cartella_dopo);
      std::size_t letti = disco.leggi(n.descrizione_linea).size();
      disco.elimina(n.descrizione_linea);
      letti += disco.leggi(n.descrizione_treno).size();
      disco.elimina(n.descrizione_treno);
      if (letti == 0) return 1;
      const file_nuovo insieme[] = {{n.file_linea, linea}, {n.file_scenario, scenario}, {n.file_percorso, percorso}};
      sostituisci_insieme(disco, insieme);
    }
    const auto t1 = std::chrono::steady_clock::now();
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(t1 - t0).count()));
  } catch (const errore_io& e) {
    std::fprintf(stderr, "pavimento_io: %s\n", e.what());
    return 3;
  }
  return 0;
}
