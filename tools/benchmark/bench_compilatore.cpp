// Compile time of the program's own scenario and of synthetic lines up to the
// largest accepted length; the complexity report shows growth with length.
#include <benchmark/benchmark.h>

#include "../fuzz/memoria.hpp"
#include "compiler/finishing/memorizza_percorso.hpp"
#include "io/nomi_file.hpp"
#include "scenari.hpp"

namespace {

using namespace scenario;

void compila(const banco::coppia& c, benchmark::State& stato) {
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
    memorizza_percorso(m, 1, sorgenti, fs, nomi);
    benchmark::DoNotOptimize(m.codice_errore);
    if (m.codice_errore != 0) stato.SkipWithError("the compile ended with a status code");
  }
}

void BM_scenario_del_programma(benchmark::State& stato) {
  static const banco::coppia c = banco::scenario_del_programma();
  compila(c, stato);
}
BENCHMARK(BM_scenario_del_programma)->Unit(benchmark::kMillisecond);

void BM_linea_sintetica(benchmark::State& stato) {
  const banco::coppia c = banco::scenario_sintetico(static_cast<int32_t>(stato.range(0)));
  compila(c, stato);
  stato.SetComplexityN(stato.range(0));
}
BENCHMARK(BM_linea_sintetica)
    ->RangeMultiplier(2)
    ->Range(125000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
