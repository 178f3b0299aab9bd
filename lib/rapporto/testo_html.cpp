#include "rapporto/testo_html.hpp"

#include <array>
#include <charconv>
#include <cmath>

#include "io/testo_1252.hpp"

namespace scenario::rapporto {

namespace {

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
  // io's readable form (valid UTF-8, \xNN for the bytes no reader should get), then
  // the five characters HTML gives a meaning to; no UTF-8 sequence holds one of them
  const std::string leggibile = utf8_leggibile(testo_1252);
  std::string r;
  r.reserve(leggibile.size() + 8);
  for (const char c : leggibile) {
    if (!escape(r, c)) r += c;
  }
  return r;
}

std::string html_breve(std::string_view testo_1252, std::size_t limite) {
  if (testo_1252.size() <= limite) return html(testo_1252);
  // one byte is one character in Windows-1252, so the cut never splits one
  return html(testo_1252.substr(0, limite > 0 ? limite - 1 : 0)) + "\xE2\x80\xA6";  // U+2026
}

std::string html_testo(std::string_view testo) {
  if (!utf8_valido(testo)) return html(testo);
  std::string r;
  r.reserve(testo.size() + 8);
  for (std::size_t i = 0; i < testo.size();) {
    const std::size_t n = sequenza_utf8(testo, i);
    const auto u = static_cast<unsigned char>(testo[i]);
    // control characters, C0 and C1 alike, as the bytes that carry them
    const bool controllo = byte_di_controllo(u);
    const bool controllo_c1 = n == 2 && u == 0xC2 && static_cast<unsigned char>(testo[i + 1]) < 0xA0;
    for (std::size_t k = i; k < i + n; ++k) {
      if (controllo || controllo_c1) {
        aggiungi_byte_escapato(r, static_cast<unsigned char>(testo[k]));
      } else if (!escape(r, testo[k])) {
        r += testo[k];
      }
    }
    i += n;
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

std::string numero_esatto(double v) {
  if (!std::isfinite(v)) return "0";
  std::array<char, 64> b{};
  const auto [fine, ec] = std::to_chars(b.data(), b.data() + b.size(), v == 0.0 ? 0.0 : v);
  if (ec != std::errc{}) return "0";
  return std::string(b.data(), fine);
}

std::string metri(int64_t m) { return std::to_string(m) + " m"; }

std::string chilometri(double m, int decimali) { return numero(m / 1000.0, decimali) + " km"; }

}  // namespace scenario::rapporto
