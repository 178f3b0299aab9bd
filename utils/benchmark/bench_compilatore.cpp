// Compile time of the program's own scenario and of synthetic lines up to the
// largest accepted length; the complexity report shows growth with length.
#include <benchmark/benchmark.h>

#include "misura.hpp"

namespace {

using namespace scenario;

void BM_scenario_del_programma(benchmark::State& stato) {
  static const banco::coppia c = banco::scenario_del_programma();
  banco::compila(stato, c, true);
}
BENCHMARK(BM_scenario_del_programma)->Unit(benchmark::kMillisecond);

void BM_linea_sintetica(benchmark::State& stato) {
  const banco::coppia c = banco::scenario_sintetico(static_cast<int32_t>(stato.range(0)));
  banco::compila(stato, c, true);
  stato.SetComplexityN(stato.range(0));
}
BENCHMARK(BM_linea_sintetica)
    ->RangeMultiplier(2)
    ->Range(125000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
