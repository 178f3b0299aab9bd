#pragma once
// mostra_scenario: reads a compiled scenario back and shows it by meaning,
// as a listing or JSON, or compares it with another.
#include <iosfwd>
#include <span>
#include <string>

#include "io/sistema_file.hpp"

namespace scenario {

// Exit statuses of mostra_scenario.
namespace uscita_mostra {
inline constexpr int riuscita = 0;        // listed, or the two scenarios mean the same
inline constexpr int differenti = 1;      // --confronta: they differ
inline constexpr int file_guasto = 2;     // a compiled file is missing, unreadable or broken
inline constexpr int guasto_uscita = 3;   // standard output or error could not be written
inline constexpr int uso_errato = 64;
}  // namespace uscita_mostra

// The whole command; never throws.
int esegui_mostra(std::span<const std::string> argomenti, sistema_file& fs, std::ostream& out, std::ostream& err);

}  // namespace scenario
