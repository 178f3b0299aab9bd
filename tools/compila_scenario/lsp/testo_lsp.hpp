#pragma once
// The editor's text and the compiler's: the editor sends UTF-8 and counts
// columns in UTF-16 code units; description files are Windows-1252 bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scenario::lsp {

// What a character Windows-1252 cannot hold becomes: '?' is no keyword, no
// number and no separator, so the entry holding it is refused where it stands.
inline constexpr char byte_sostituto = '?';

// UTF-8 from the editor as Windows-1252 bytes: one byte per character, so a
// byte column is a character count. The five unassigned bytes come back from
// their C1 code points, as they were read.
std::string in_1252(std::string_view utf8);

// The UTF-16 units of the characters of `riga_utf8` before the 1-based byte
// (character) column of its Windows-1252 form; past the end, the line's length.
uint32_t colonna_utf16(std::string_view riga_utf8, int32_t colonna_byte);

// The 1-based byte (character) column of the Windows-1252 form of a line at
// an editor's UTF-16 character; past the end, one past the line's last.
int32_t colonna_byte(std::string_view riga_utf8, uint32_t carattere);

// Line `riga` (0-based) of a text: LF, CR LF and CR each end one; empty past the end.
std::string_view riga_di(std::string_view testo, uint32_t riga);

// The byte offset of an editor position (0-based line, UTF-16 character) in a
// UTF-8 text; a character past the line's end is its end, a line past the text's is the end.
std::size_t scostamento(std::string_view utf8, uint32_t riga, uint32_t carattere);

}  // namespace scenario::lsp
