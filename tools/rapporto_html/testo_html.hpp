#pragma once
// Text for the report page: Windows-1252 bytes to UTF-8, HTML-escaped, and
// numbers written the same way whatever the locale.
#include <cstdint>
#include <string>
#include <string_view>

namespace scenario::rapporto {

// Windows-1252 bytes as escaped UTF-8 for HTML text and attribute values.
// Control bytes and the five bytes the code page leaves undefined show as U+FFFD.
std::string html(std::string_view testo_1252);
// Already UTF-8 text (the program's own wording), escaped.
std::string html_utf8(std::string_view testo);
// Text of unknown origin (file names, messages quoting a file): valid UTF-8
// as a whole passes through, anything else is taken as Windows-1252.
std::string html_testo(std::string_view testo);

// A number with a fixed count of decimals; "-0" never shows.
std::string numero(double v, int decimali = 0);
inline std::string numero(int64_t v) { return std::to_string(v); }

// Metres as "12 345 m" or kilometres as "12.345 km" for labels.
std::string metri(int64_t m);
std::string chilometri(double m, int decimali = 3);

// Seconds after midnight as h:mm:ss.
std::string ora(int64_t secondi);

}  // namespace scenario::rapporto
