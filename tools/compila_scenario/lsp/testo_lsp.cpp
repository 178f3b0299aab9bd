#include "tools/compila_scenario/lsp/testo_lsp.hpp"

#include <array>
#include <utility>

#include "io/testo_1252.hpp"

namespace scenario::lsp {

namespace {

// The bytes 0x80..0xFF by code point, from the one Windows-1252 table.
struct inverso_1252 {
  std::array<std::pair<char32_t, unsigned char>, 128> voci{};
  inverso_1252() {
    for (std::size_t i = 0; i < voci.size(); ++i) {
      const auto b = static_cast<unsigned char>(0x80 + i);
      voci[i] = {da_cp1252(b), b};
    }
  }
};

char byte_di(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  static const inverso_1252 inverso;
  for (const auto& [punto, b] : inverso.voci) {
    if (punto == cp) return static_cast<char>(b);
  }
  return byte_sostituto;
}

char32_t punto_di(std::string_view t, std::size_t i, std::size_t n) {
  const auto u = static_cast<unsigned char>(t[i]);
  if (n == 1) return u;
  char32_t cp = u & (0xFFu >> (n + 1));
  for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(t[i + k]) & 0x3Fu);
  return cp;
}

// One character at t[i]: its length in bytes (1 for a byte that starts none) and its UTF-16 units.
std::pair<std::size_t, uint32_t> carattere_a(std::string_view t, std::size_t i) {
  const std::size_t n = sequenza_utf8(t, i);
  if (n == 0) return {1, 1};
  return {n, n == 4 ? 2u : 1u};
}

}  // namespace

std::string in_1252(std::string_view utf8) {
  std::string r;
  r.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t n = sequenza_utf8(utf8, i);
    if (n == 0) {
      r.push_back(byte_sostituto);
      ++i;
      continue;
    }
    r.push_back(byte_di(punto_di(utf8, i, n)));
    i += n;
  }
  return r;
}

uint32_t colonna_utf16(std::string_view riga_utf8, int32_t colonna_byte) {
  uint32_t unita = 0;
  std::size_t i = 0;
  for (int32_t c = 1; c < colonna_byte && i < riga_utf8.size(); ++c) {
    const auto [n, u] = carattere_a(riga_utf8, i);
    i += n;
    unita += u;
  }
  return unita;
}

std::string_view riga_di(std::string_view testo, uint32_t riga) {
  std::size_t inizio = 0;
  for (uint32_t r = 0; r < riga; ++r) {
    const std::size_t fine = testo.find_first_of("\r\n", inizio);
    if (fine == std::string_view::npos) return {};
    inizio = fine + (testo[fine] == '\r' && fine + 1 < testo.size() && testo[fine + 1] == '\n' ? 2 : 1);
  }
  std::size_t fine = testo.find_first_of("\r\n", inizio);
  if (fine == std::string_view::npos) fine = testo.size();
  return testo.substr(inizio, fine - inizio);
}

std::size_t scostamento(std::string_view utf8, uint32_t riga, uint32_t carattere) {
  std::size_t inizio = 0;
  for (uint32_t r = 0; r < riga; ++r) {
    const std::size_t fine = utf8.find_first_of("\r\n", inizio);
    if (fine == std::string_view::npos) return utf8.size();
    inizio = fine + (utf8[fine] == '\r' && fine + 1 < utf8.size() && utf8[fine + 1] == '\n' ? 2 : 1);
  }
  std::size_t i = inizio;
  uint32_t unita = 0;
  while (i < utf8.size() && utf8[i] != '\r' && utf8[i] != '\n') {
    const auto [n, u] = carattere_a(utf8, i);
    // a position inside a surrogate pair is taken as before the character
    if (unita + u > carattere) break;
    unita += u;
    i += n;
  }
  return i;
}

}  // namespace scenario::lsp

namespace scenario::lsp {

int32_t colonna_byte(std::string_view riga_utf8, uint32_t carattere) {
  int32_t colonna = 1;
  uint32_t unita = 0;
  for (std::size_t i = 0; i < riga_utf8.size();) {
    const auto [n, u] = carattere_a(riga_utf8, i);
    if (unita + u > carattere) break;
    unita += u;
    i += n;
    ++colonna;
  }
  return colonna;
}

}  // namespace scenario::lsp
