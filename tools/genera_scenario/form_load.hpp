#pragma once
#include "tools/genera_scenario/piattaforma.hpp"
#include "io/sistema_file.hpp"

namespace scenario {

// Process exit statuses of genera_scenario.
namespace uscita {
inline constexpr int riuscita = 0;
inline constexpr int errore_report = 1;       // " Errore n. " 1250 or 1251
inline constexpr int guasto = 2;              // a file could not be written, read or deleted
inline constexpr int codice_errore = 3;       // compiled, but the status code is nonzero
}  // namespace uscita

// The whole run; returns the process exit status.
int form_load(piattaforma& p, sistema_file& fs);

}  // namespace scenario
