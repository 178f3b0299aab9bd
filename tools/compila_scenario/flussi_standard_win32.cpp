#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "tools/compila_scenario/flussi_standard.hpp"

namespace scenario {

void flussi_standard_binari() {
  // before anything is read or written: the C library translates CR LF in text mode
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace scenario
