#pragma once
// compila_scenario --osserva: the author's live loop. Compiles as a plain run
// does, serves the report page on 127.0.0.1, and on every settled save of a
// description file compiles again, writes the files and updates every open page.
#include <chrono>
#include <functional>
#include <iosfwd>

#include "io/sistema_file.hpp"
#include "tools/compila_scenario/compila.hpp"

namespace scenario::osserva {

struct ganci_osserva {
  std::function<bool()> da_fermare;  // looked at between looks at the files
  std::function<void(int porta)> pronto;  // after the address is printed
  std::chrono::milliseconds passo{50};    // between looks at the files
  std::chrono::milliseconds quiete{50};   // a change counts once the files stay still this long
};

// The address first on `out`, then the first compile's output as a plain run
// prints it; each later compile on `err`. Returns 0 once stopped, 3 when the
// server cannot listen.
int esegui_osserva(const opzioni_compila& o, sistema_file& fs, std::ostream& out, std::ostream& err,
                   const ganci_osserva& g);

}  // namespace scenario::osserva
