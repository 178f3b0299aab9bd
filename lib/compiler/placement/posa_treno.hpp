#pragma once
// Slowdown and signal placement for the train reader.
#include <cstdint>

#include "compiler/model/modello.hpp"

namespace scenario {

// Places one slowdown starting at x (metres): warning, start and end cells and,
// when f_ta is nonzero past 1500 m, the four cells before the warning point.
// Returns true when the entry is refused; codice_errore then says why (17 to 20,
// or 302 when a cell would fall outside the route). Never sets posizione_errore.
bool memo_rallentamento(modello& m, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                        int32_t& d_v);

// A signal entry's values after its position, in the order they are written.
struct valori_segnale {
  int32_t sx = 0;
  int32_t s1 = 0;
  int32_t s2 = 0;
  int32_t s3 = 0;
  int32_t rapp = 0;
  int32_t dx = 0;
  int32_t d1 = 0;
  int32_t d2 = 0;
  int32_t d3 = 0;
  int32_t tempo = 0;
};

// Places one signal at posizione (metres) with its packed values and four
// approach marks. tempo from 1 to 100 becomes 101, in s too. Returns true when
// refused (16, or 301 when the approach marks would fall before cell 0).
bool memo_segnale(modello& m, int32_t posizione, valori_segnale& s);

}  // namespace scenario
