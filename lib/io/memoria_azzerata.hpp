#pragma once
// Large tables of zeros straight from the system: no pass to clear them, and
// in the largest pages it gives, so that millions of rows cost few page faults.
#include <cstddef>

namespace scenario {

// `n` bytes, all zero. Throws std::bad_alloc.
void* memoria_azzerata(std::size_t n);
// Gives back what memoria_azzerata(n) returned, with the same `n`.
void libera_memoria(void* p, std::size_t n) noexcept;

}  // namespace scenario
