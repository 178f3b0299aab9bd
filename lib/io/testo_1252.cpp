#include "io/testo_1252.hpp"

#include <array>

namespace scenario {

namespace {

// Bytes 0x80 to 0x9F.
constexpr std::array<char32_t, 32> cp1252_alti = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The lead byte's payload bits, by sequence length.
constexpr std::array<unsigned char, 5> bit_primo = {0, 0x7F, 0x1F, 0x0F, 0x07};

}  // namespace

char32_t da_cp1252(unsigned char c) { return (c >= 0x80 && c <= 0x9F) ? cp1252_alti[c - 0x80u] : c; }

void aggiungi_utf8(std::string& r, char32_t cp) {
  if (cp < 0x80) {
    r += static_cast<char>(cp);
  } else if (cp < 0x800) {
    r += static_cast<char>(0xC0 | (cp >> 6));
    r += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    r += static_cast<char>(0xE0 | (cp >> 12));
    r += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    r += static_cast<char>(0xF0 | (cp >> 18));
    r += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    r += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string utf8_da_1252(std::string_view testo) {
  std::string r;
  r.reserve(testo.size());
  for (char c : testo) aggiungi_utf8(r, da_cp1252(static_cast<unsigned char>(c)));
  return r;
}

std::size_t sequenza_utf8(std::string_view t, std::size_t i) {
  if (i >= t.size()) return 0;
  const auto c = static_cast<unsigned char>(t[i]);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  unsigned char minimo = 0x80, massimo = 0xBF;  // the second byte's range
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) minimo = 0xA0;   // no overlong forms
    if (c == 0xED) massimo = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) minimo = 0x90;
    if (c == 0xF4) massimo = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (t.size() - i < n) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto d = static_cast<unsigned char>(t[i + k]);
    if (k == 1 ? (d < minimo || d > massimo) : (d & 0xC0) != 0x80) return 0;
  }
  return n;
}

bool utf8_valido(std::string_view t) {
  for (std::size_t i = 0; i < t.size();) {
    const std::size_t n = sequenza_utf8(t, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::optional<std::u32string> decodifica_utf8(std::string_view t) {
  std::u32string r;
  for (std::size_t i = 0; i < t.size();) {
    const std::size_t n = sequenza_utf8(t, i);
    if (n == 0 || n >= bit_primo.size()) return std::nullopt;
    char32_t cp = static_cast<unsigned char>(t[i]) & bit_primo[n];
    for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(t[i + k]) & 0x3Fu);
    r += cp;
    i += n;
  }
  return r;
}

bool byte_di_controllo(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool byte_da_mostrare_escapato(unsigned char c) {
  return byte_di_controllo(c) || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

void aggiungi_esadecimale(std::string& r, unsigned char u) {
  static constexpr std::string_view cifre = "0123456789abcdef";
  r += cifre[u >> 4];
  r += cifre[u & 0xFu];
}

void aggiungi_byte_escapato(std::string& r, unsigned char u) {
  r += "\\x";
  aggiungi_esadecimale(r, u);
}

std::string testo_escapato(std::string_view testo, forma_mostrata forma, std::size_t massimo) {
  const bool lungo = testo.size() > massimo;
  if (lungo) testo = testo.substr(0, massimo);
  std::string r;
  r.reserve(testo.size() + 3);
  for (const char c : testo) {
    const auto u = static_cast<unsigned char>(c);
    if (forma == forma_mostrata::byte) {
      if (byte_di_controllo(u)) {
        aggiungi_byte_escapato(r, u);
      } else {
        r += c;
      }
    } else if (byte_da_mostrare_escapato(u)) {
      aggiungi_byte_escapato(r, u);
    } else {
      aggiungi_utf8(r, da_cp1252(u));
    }
  }
  if (lungo) r += "...";
  return r;
}

}  // namespace scenario
