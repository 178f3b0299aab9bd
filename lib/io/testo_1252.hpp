#pragma once
// Windows-1252, the code page of every text the system writes, and UTF-8:
// the one table, the one UTF-8 policy and the one \xNN escape of the system.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// The code point of one Windows-1252 byte; the five unassigned ones keep their C1 code point.
char32_t da_cp1252(unsigned char c);
// A code point appended as UTF-8.
void aggiungi_utf8(std::string& r, char32_t cp);
// Windows-1252 bytes as UTF-8.
std::string utf8_da_1252(std::string_view testo);

// The length of the UTF-8 sequence at t[i], 0 when there is none: no overlong
// form, no surrogate, nothing past U+10FFFF, no byte missing.
std::size_t sequenza_utf8(std::string_view t, std::size_t i);
bool utf8_valido(std::string_view t);
// The code points of valid UTF-8; nothing when the text is not valid UTF-8.
std::optional<std::u32string> decodifica_utf8(std::string_view t);

// Control characters: C0 and DEL.
bool byte_di_controllo(unsigned char c);
// Bytes no reader should receive as they are: the control characters and the
// five bytes Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D).
bool byte_da_mostrare_escapato(unsigned char c);
// A byte as two hexadecimal digits, lower case.
void aggiungi_esadecimale(std::string& r, unsigned char u);
// A byte as the four characters \xNN.
void aggiungi_byte_escapato(std::string& r, unsigned char u);

// How a text is shown with \xNN escapes.
enum class forma_mostrata {
  byte,  // bytes kept as they are (text of any encoding), control characters escaped
  utf8,  // Windows-1252 as UTF-8, control characters and unassigned bytes escaped
};
// Never cut.
inline constexpr std::size_t senza_limite = std::string_view::npos;
// The text shown with \xNN escapes; past `massimo` bytes cut there and "..." added.
std::string testo_escapato(std::string_view testo, forma_mostrata forma, std::size_t massimo = senza_limite);
// Windows-1252 text as valid UTF-8 for people. The one policy of every listing,
// dump, JSON and page text.
inline std::string utf8_leggibile(std::string_view testo) { return testo_escapato(testo, forma_mostrata::utf8); }

}  // namespace scenario
