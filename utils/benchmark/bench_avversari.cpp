// Compile time of adversarial inputs of up to 1 MiB on the longest legal
// route, next to the plain route: none may cost more than a small multiple of
// it (no work per pair of lines or per pair of cells).
#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "misura.hpp"

namespace {

using namespace scenario;

constexpr std::size_t un_mib = 1 << 20;
const std::string a_capo = "\r\n";
const std::string lunghezza_massima = "lunghezza percorso,1000000\r\n";

using banco::coppia;

// prima, riga(0), riga(1)... and dopo: as many lines as leave `altro` bytes of
// 1 MiB for the other file of the pair.
std::string fino_a_un_mib(const std::string& prima, const std::function<std::string(int)>& riga,
                          const std::string& dopo, std::size_t altro) {
  std::string testo = prima;
  for (int k = 0;; ++k) {
    const std::string r = riga(k);
    if (testo.size() + r.size() + dopo.size() + altro > un_mib) break;
    testo += r;
  }
  return testo + dopo;
}

const std::string linea_massima = "[generale]\r\n" + lunghezza_massima + "[curve]\r\n[fine]\r\n";
const std::string treno_vuoto = "[generale]\r\n[fine]\r\n";
const auto ripeti = [](std::string s) { return [s](int) { return s; }; };

// the longest legal route with its whole track plan and every cell filled
void BM_percorso_semplice(benchmark::State& stato) {
  banco::compila(stato, {"[generale]\r\n" + lunghezza_massima + "[curve]\r\ncurvad1,500000,10\r\n[fine]\r\n",
                  "[generale]\r\nvelocita,0,60\r\naderenza,0,90\r\n[fine]\r\n"}, false);
}
BENCHMARK(BM_percorso_semplice)->Unit(benchmark::kMillisecond);

void BM_lunghezze_ripetute(benchmark::State& stato) {
  banco::compila(stato, {fino_a_un_mib("[generale]\r\n",
                                [](int k) {
                                  return k % 2 ? lunghezza_massima : std::string("lunghezza percorso,999950\r\n");
                                },
                                "[curve]\r\n[fine]\r\n", 16),
                  treno_vuoto},
                 false);
}
BENCHMARK(BM_lunghezze_ripetute)->Unit(benchmark::kMillisecond);

// every start walks to the route's last cell; warning cells 24 cells back stay free
void BM_rallentamenti_senza_fine(benchmark::State& stato) {
  const int velocita = static_cast<int>(stato.range(0));
  const auto rallentamento = [velocita](int k) {
    const int cella = 60 + (k / 24) * 48 + k % 24;
    return "rallentamento," + std::to_string((cella - 1) * 50) + "," + std::to_string(velocita) + ",0,0,0,0\r\n";
  };
  banco::compila(stato, {linea_massima, fino_a_un_mib("[generale]\r\n", rallentamento, "[fine]\r\n", linea_massima.size() + 1)}, false);
}
BENCHMARK(BM_rallentamenti_senza_fine)->Arg(50)->Arg(150)->Unit(benchmark::kMillisecond);

void BM_rallentamenti_con_una_fine_lontana(benchmark::State& stato) {
  const auto rallentamento = [](int k) {
    const int cella = 60 + (k / 24) * 48 + k % 24;
    const int x = (cella - 1) * 50;
    return "rallentamento," + std::to_string(x) + ",50," + std::to_string(990000 - x + (k % 24) * 50) + ",0,0,0\r\n";
  };
  banco::compila(stato, {linea_massima, fino_a_un_mib("[generale]\r\n", rallentamento, "[fine]\r\n", linea_massima.size() + 1)}, false);
}
BENCHMARK(BM_rallentamenti_con_una_fine_lontana)->Unit(benchmark::kMillisecond);

void BM_campi_di_ogni_forma(benchmark::State& stato) {
  const std::string generale = "[generale]\r\n" + lunghezza_massima + "[curve]\r\n";
  const std::size_t altro = treno_vuoto.size() + 1;
  const coppia casi[] = {
      {fino_a_un_mib(generale, ripeti(","), "\r\n[fine]\r\n", altro), treno_vuoto},
      {fino_a_un_mib(generale, ripeti("\r"), "\n[fine]\r\n", altro), treno_vuoto},
      {fino_a_un_mib(generale, ripeti("- montagna pendenza "), "\r\nx,y\r\n", altro), treno_vuoto},
      {fino_a_un_mib(generale, ripeti("curvas6,999001,1\r\n"), "[fine]\r\n", altro), treno_vuoto},
      {linea_massima, fino_a_un_mib("[generale]\r\n", ripeti("velocita,50,70\r\naderenza,999000,80\r\n"), "[fine]\r\n",
                                    linea_massima.size() + 1)},
      {fino_a_un_mib("[generale]\r\nlunghezza percorso,", ripeti("0"), "1000000\r\n[curve]\r\n[fine]\r\n", altro),
       treno_vuoto},
  };
  banco::compila(stato, casi[stato.range(0)], false);
}
BENCHMARK(BM_campi_di_ogni_forma)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
