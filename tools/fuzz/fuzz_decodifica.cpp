// The decoder of the compiled files. The first byte picks the file (0 the
// scenario file, 1 the route file, 2 the line file), the rest is its content.
// Whatever it is given, the decoder either refuses it with errore_decodifica
// or reads it into a model that writes back exactly the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/output/decodifica.hpp"
#include "compiler/output/file_binari.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario;
  if (n == 0) return 0;
  const std::string contenuto(reinterpret_cast<const char*>(dati) + 1, n - 1);
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
