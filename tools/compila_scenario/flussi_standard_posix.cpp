#include "tools/compila_scenario/flussi_standard.hpp"

namespace scenario {

// POSIX streams carry bytes as they are.
void flussi_standard_binari() {}

}  // namespace scenario
