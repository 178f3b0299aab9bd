#pragma once
// Text for the report page: Windows-1252 bytes to UTF-8, HTML-escaped, and
// numbers written the same way whatever the locale.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/orario.hpp"

namespace scenario::rapporto {

// One policy for every text in the page: valid UTF-8, never a surrogate, HTML-
// escaped; control characters and the five bytes Windows-1252 leaves
// unassigned show as the visible text \xNN.

// Windows-1252 bytes as escaped UTF-8 for HTML text and attribute values.
std::string html(std::string_view testo_1252);
// The same cut to at most `limite` characters, the last an ellipsis when cut.
std::string html_breve(std::string_view testo_1252, std::size_t limite);
// Text of unknown origin (file names, messages quoting a file): valid UTF-8
// as a whole passes through, anything else is taken as Windows-1252.
std::string html_testo(std::string_view testo);
// The program's own wording: UTF-8 it should be, but it goes the same way.
inline std::string html_utf8(std::string_view testo) { return html_testo(testo); }

// A number with a fixed count of decimals; "-0" never shows.
std::string numero(double v, int decimali = 0);
inline std::string numero(int64_t v) { return std::to_string(v); }
// The shortest text that reads back as v (an exponent when that is shorter).
std::string numero_esatto(double v);

// Metres as "12 345 m" or kilometres as "12.345 km" for labels.
std::string metri(int64_t m);
std::string chilometri(double m, int decimali = 3);

// Seconds after midnight as h:mm:ss.
inline std::string ora(int64_t secondi) { return ora_del_giorno(secondi, forma_ore::libere); }

}  // namespace scenario::rapporto
