// The decoder of the compiled files. The first byte picks the file (0 the
// scenario file, 1 the route file, 2 the line file), the rest is its content.
// A first byte of 3 gives the whole set: two 32-bit little-endian sizes (the
// scenario file's, the route file's), a byte saying whether a line file
// follows the two, then the files one after the other.
// Whatever it is given, the decoder either refuses it with errore_decodifica
// or reads it into a model that writes back exactly the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formato/decodifica.hpp"
#include "formato/file_binari.hpp"

namespace {

using namespace scenario;

// The whole set, cut into its files as the header says.
void decodifica_insieme(std::string_view d) {
  if (d.size() < 9) return;
  const auto misura = [&](std::size_t i) {
    uint32_t v = 0;
    for (std::size_t b = 0; b < 4; ++b) v |= uint32_t{static_cast<unsigned char>(d[i + b])} << (8 * b);
    return std::size_t{v};
  };
  const std::size_t ns = misura(0), np = misura(4);
  const bool con_linea = d[8] != 0;
  d.remove_prefix(9);
  if (ns > d.size() || np > d.size() - ns) return;
  file_compilati f{std::nullopt, d.substr(0, ns), d.substr(ns, np)};
  if (con_linea) f.linea = d.substr(ns + np);
  try {
    const modello m = decodifica(f);
    if (serializza_scenario(m) != f.scenario || serializza_percorso(m) != f.percorso) __builtin_trap();
    if (f.linea && (f.linea->empty() || serializza_linea(m) != *f.linea)) __builtin_trap();
    (void)verifica(m);
  } catch (const errore_decodifica& e) {
    // the offset lies within the file the error names
    const std::string_view nominato = e.file() == f.nome_scenario ? f.scenario
                                      : e.file() == f.nome_percorso ? f.percorso
                                                                    : f.linea.value_or(std::string_view());
    if (e.campo().empty() || e.offset() > nominato.size()) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  if (n == 0) return 0;
  const std::string contenuto(reinterpret_cast<const char*>(dati) + 1, n - 1);
  if (dati[0] == 3) {
    decodifica_insieme(contenuto);
    return 0;
  }
  modello m;
  try {
    switch (dati[0] % 3) {
      case 0:
        decodifica_scenario(contenuto, "scenario", m);
        if (serializza_scenario(m) != contenuto) __builtin_trap();
        break;
      case 1:
        decodifica_percorso(contenuto, "route", m);
        if (serializza_percorso(m) != contenuto) __builtin_trap();
        (void)verifica(m);
        break;
      default:
        decodifica_linea(contenuto, "line", m);
        if (serializza_linea(m) != contenuto) __builtin_trap();
        break;
    }
  } catch (const errore_decodifica& e) {
    if (e.file().empty() || e.campo().empty() || e.offset() > contenuto.size()) __builtin_trap();
  }
  return 0;
}
