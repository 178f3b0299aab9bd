#pragma once
// One timed compile of a description pair per benchmark iteration, files in memory.
#include <benchmark/benchmark.h>

#include <string>

#include "utils/comune/memoria.hpp"
#include "compiler/memorizza_percorso.hpp"
#include "formato/file_binari.hpp"
#include "io/nomi_file.hpp"
#include "utils/comune/scenari.hpp"

namespace scenario::banco {

// pulito: the compile must end with status 0, else the benchmark reports an error.
inline void compila(benchmark::State& stato, const coppia& c, bool pulito) {
  const nomi_file nomi = costruisci_nomi("b", "L", "1");
  for (auto _ : stato) {
    stato.PauseTiming();
    fuzz::sistema_file_memoria fs;
    fs.scrivi(nomi.descrizione_linea, c.linea);
    fs.scrivi(nomi.descrizione_treno, c.treno);
    sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
    modello m;
    m.nome_linea = std::string("L");
    m.numero_treno = std::string("1");
    stato.ResumeTiming();
    if (memorizza_percorso(m, 1, sorgenti)) scrivi_file_binari(m, fs, nomi);
    benchmark::DoNotOptimize(m.codice_errore);
    if (pulito && m.codice_errore != 0) stato.SkipWithError("the compile ended with a status code");
  }
}

}  // namespace scenario::banco
