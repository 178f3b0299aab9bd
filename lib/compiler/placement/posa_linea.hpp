#pragma once
// Placement of the line features: gradients, track plan, mountain stretches,
// speed-indicator boards and location sign boards.
//
// Every operation that refuses an entry sets codice_errore (and, for the
// stops of our own, posizione_errore) before touching anything; the caller
// looks at codice_errore afterwards. Run-time failures throw errore_esecuzione.
#include <cstdint>
#include <string>

#include "compiler/model/modello.hpp"

namespace scenario {

// The track plan must not reach past this row.
inline constexpr int32_t limite_tracciato = 1'000'000;

// Placement state to its start values; seed rows of the track plan when it is built.
void avvia_posa(modello& m);

// Gradient line at a metres with gradient g (per mille).
void posa_pendenza(modello& m, int32_t a, int32_t g);
// Carries the last gradient on to cell P - 3.
void completa_pendenze(modello& m);

// Curve from s over n metres, turning k per metre (k < 0: left-hand).
void posa_curva(modello& m, int32_t s, int32_t n, double k);
// Straight rows from the geometry cursor up to row estensione - 2.
void completa_geometria(modello& m);

// Mountain stretch; tipo above 10 asks for markers and comes back less 10,
// and becomes 3 when the gap to the previous stretch is 150 m or less.
void memo_montagna(modello& m, int32_t& inizio, int32_t& fine, int32_t& tipo);

// A pair of speed-indicator boards.
void memo_indicatori_v_max(modello& m, int32_t posizione, int32_t& vas, int32_t& vbs, int32_t& vcs,
                           int32_t& strisces, int32_t& vad, int32_t& vbd, int32_t& vcd, int32_t& strisced);

// A location sign board; its text goes to record T, which then moves down.
void posa_cartello(modello& m, int32_t p, const std::string& testo);

}  // namespace scenario
