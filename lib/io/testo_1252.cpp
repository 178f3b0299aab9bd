#include "io/testo_1252.hpp"

#include <array>

namespace scenario {

namespace {

// Bytes 0x80 to 0x9F.
constexpr std::array<char32_t, 32> cp1252_alti = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t da_cp1252(unsigned char c) { return (c >= 0x80 && c <= 0x9F) ? cp1252_alti[c - 0x80] : c; }

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

bool byte_da_mostrare_escapato(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

std::string utf8_leggibile(std::string_view testo) {
  static constexpr char cifre[] = "0123456789abcdef";
  std::string r;
  r.reserve(testo.size());
  for (char c : testo) {
    const auto u = static_cast<unsigned char>(c);
    if (byte_da_mostrare_escapato(u)) {
      r += "\\x";
      r += cifre[u >> 4];
      r += cifre[u & 0xF];
    } else {
      aggiungi_utf8(r, da_cp1252(u));
    }
  }
  return r;
}

}  // namespace scenario
