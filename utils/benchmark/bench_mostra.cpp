// Reading a compiled scenario back and listing it, against compiling it, for
// the largest route accepted (1000000 m): the listing should take at most
// twice the compile.
#include <benchmark/benchmark.h>

#include "formato/decodifica.hpp"
#include "misura.hpp"
#include "contenuto/contenuto.hpp"
#include "contenuto/descrizione.hpp"
#include "contenuto/json.hpp"

namespace {

using namespace scenario;

constexpr int32_t lunghezza_massima = 1'000'000;

const banco::coppia& descrizioni() {
  static const banco::coppia c = banco::scenario_sintetico(lunghezza_massima);
  return c;
}

// The three files of that route, compiled once.
struct file_memoria {
  std::string linea, scenario, percorso;
};
const file_memoria& compilati() {
  static const file_memoria f = [] {
    const nomi_file nomi = costruisci_nomi("b", "L", "1");
    fuzz::sistema_file_memoria fs;
    fs.scrivi(nomi.descrizione_linea, descrizioni().linea);
    fs.scrivi(nomi.descrizione_treno, descrizioni().treno);
    sorgenti_su_file sorgenti(fs, nomi.descrizione_linea, nomi.descrizione_treno, true);
    modello m;
    m.nome_linea = std::string("L");
    m.numero_treno = std::string("1");
    if (memorizza_percorso(m, 1, sorgenti)) scrivi_file_binari(m, fs, nomi);
    return file_memoria{fs.leggi(nomi.file_linea), fs.leggi(nomi.file_scenario), fs.leggi(nomi.file_percorso)};
  }();
  return f;
}

void BM_compila_percorso_massimo(benchmark::State& stato) { banco::compila(stato, descrizioni(), true); }
BENCHMARK(BM_compila_percorso_massimo)->Unit(benchmark::kMillisecond);

void BM_decodifica_ed_elenco_percorso_massimo(benchmark::State& stato) {
  const file_memoria& f = compilati();
  for (auto _ : stato) {
    const modello m = decodifica(file_compilati{f.linea, f.scenario, f.percorso});
    const std::string testo = elenco(estrai_contenuto(m));
    benchmark::DoNotOptimize(testo.data());
  }
}
BENCHMARK(BM_decodifica_ed_elenco_percorso_massimo)->Unit(benchmark::kMillisecond);

void BM_decodifica_e_json_percorso_massimo(benchmark::State& stato) {
  const file_memoria& f = compilati();
  for (auto _ : stato) {
    const modello m = decodifica(file_compilati{f.linea, f.scenario, f.percorso});
    const std::string testo = in_json(estrai_contenuto(m)).dump(2);
    benchmark::DoNotOptimize(testo.data());
  }
}
BENCHMARK(BM_decodifica_e_json_percorso_massimo)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
