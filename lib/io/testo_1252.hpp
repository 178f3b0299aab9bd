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

// Bytes no reader should receive as they are: the control characters and the
// five bytes Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D).
bool byte_da_mostrare_escapato(unsigned char c);
// Windows-1252 text as valid UTF-8 for people: those bytes shown as the four
// characters \xNN. The one policy of every listing, dump, JSON and page text.
std::string utf8_leggibile(std::string_view testo);

}  // namespace scenario
