#pragma once
// Windows-1252, the code page of every text the system writes, and UTF-8.
#include <string>
#include <string_view>

namespace scenario {

// The code point of one Windows-1252 byte; the five unassigned ones keep their C1 code point.
char32_t da_cp1252(unsigned char c);
// A code point appended as UTF-8.
void aggiungi_utf8(std::string& r, char32_t cp);
// Windows-1252 bytes as UTF-8.
std::string utf8_da_1252(std::string_view testo);

}  // namespace scenario
