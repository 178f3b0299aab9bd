#include "tools/rapporto_html/testo_html.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace scenario::rapporto {

namespace {

// Code points of bytes 0x80 to 0x9F; 0 where the code page defines nothing.
constexpr std::array<char32_t, 32> alti_1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void aggiungi_utf8(std::string& r, char32_t c) {
  if (c < 0x80) {
    r += static_cast<char>(c);
  } else if (c < 0x800) {
    r += static_cast<char>(0xC0 | (c >> 6));
    r += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    r += static_cast<char>(0xE0 | (c >> 12));
    r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool escape(std::string& r, char c) {
  switch (c) {
    case '&': r += "&amp;"; return true;
    case '<': r += "&lt;"; return true;
    case '>': r += "&gt;"; return true;
    case '"': r += "&quot;"; return true;
    case '\'': r += "&#39;"; return true;
    default: return false;
  }
}

}  // namespace

std::string html(std::string_view testo_1252) {
  std::string r;
  r.reserve(testo_1252.size() + 8);
  for (const char c : testo_1252) {
    const auto u = static_cast<unsigned char>(c);
    if (escape(r, c)) continue;
    char32_t punto = u;
    if (u < 0x20 && c != '\t') {
      punto = 0xFFFD;
    } else if (u == 0x7F) {
      punto = 0xFFFD;
    } else if (u >= 0x80 && u <= 0x9F) {
      punto = alti_1252[u - 0x80u];
      if (punto == 0) punto = 0xFFFD;
    }
    aggiungi_utf8(r, punto);
  }
  return r;
}

std::string html_utf8(std::string_view testo) {
  std::string r;
  r.reserve(testo.size() + 8);
  for (const char c : testo) {
    if (!escape(r, c)) r += c;
  }
  return r;
}

namespace {

bool utf8_valido(std::string_view t) {
  std::size_t i = 0;
  while (i < t.size()) {
    const auto c = static_cast<unsigned char>(t[i]);
    std::size_t n = 0;
    unsigned char minimo = 0x80, massimo = 0xBF;  // the second byte's range
    if (c < 0x80) {
      n = 0;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      if (c == 0xE0) minimo = 0xA0;  // no overlong forms
      if (c == 0xED) massimo = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      if (c == 0xF0) minimo = 0x90;
      if (c == 0xF4) massimo = 0x8F;
    } else {
      return false;
    }
    if (t.size() - i <= n) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const auto d = static_cast<unsigned char>(t[i + k]);
      if (k == 1 ? (d < minimo || d > massimo) : (d & 0xC0) != 0x80) return false;
    }
    i += n + 1;
  }
  return true;
}

}  // namespace

std::string html_testo(std::string_view testo) {
  if (!utf8_valido(testo)) return html(testo);
  std::string r;
  for (const char c : testo) {
    const auto u = static_cast<unsigned char>(c);
    if (escape(r, c)) continue;
    if ((u < 0x20 && c != '\t') || u == 0x7F) {
      r += "\xEF\xBF\xBD";
    } else {
      r += c;
    }
  }
  return r;
}

std::string numero(double v, int decimali) {
  if (!std::isfinite(v)) return "0";
  const double scala = std::pow(10.0, decimali);
  double arrotondato = std::nearbyint(v * scala) / scala;
  if (arrotondato == 0.0) arrotondato = 0.0;  // no "-0"
  std::array<char, 64> b{};
  const auto [fine, ec] =
      std::to_chars(b.data(), b.data() + b.size(), arrotondato, std::chars_format::fixed, decimali);
  if (ec != std::errc{}) return "0";
  return std::string(b.data(), fine);
}

std::string metri(int64_t m) { return std::to_string(m) + " m"; }

std::string chilometri(double m, int decimali) { return numero(m / 1000.0, decimali) + " km"; }

std::string ora(int64_t secondi) {
  if (secondi < 0) return std::string(1, '-').append(ora(-secondi));
  std::array<char, 48> b{};
  std::snprintf(b.data(), b.size(), "%lld:%02lld:%02lld", static_cast<long long>(secondi / 3600),
                static_cast<long long>(secondi / 60 % 60), static_cast<long long>(secondi % 60));
  return b.data();
}

}  // namespace scenario::rapporto
