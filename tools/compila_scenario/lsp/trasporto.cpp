#include "tools/compila_scenario/lsp/trasporto.hpp"

#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

namespace scenario::lsp {

namespace {

enum class riga_letta { ok, fine, lunga };

// One header line without its CR LF (a bare LF is taken too).
riga_letta leggi_riga(std::istream& in, std::string& riga) {
  riga.clear();
  for (;;) {
    const int c = in.get();
    if (c == std::char_traits<char>::eof()) return riga_letta::fine;
    if (c == '\n') break;
    if (riga.size() >= lunghezza_massima_intestazione) return riga_letta::lunga;
    riga.push_back(static_cast<char>(c));
  }
  if (!riga.empty() && riga.back() == '\r') riga.pop_back();
  return riga_letta::ok;
}

bool uguale_nc(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto minuscola = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (minuscola(a[i]) != minuscola(b[i])) return false;
  }
  return true;
}

// The value of a Content-Length line: digits only, and no overflow past the limit.
std::optional<std::size_t> lunghezza_di(std::string_view valore, bool& troppo) {
  while (!valore.empty() && (valore.front() == ' ' || valore.front() == '\t')) valore.remove_prefix(1);
  while (!valore.empty() && (valore.back() == ' ' || valore.back() == '\t')) valore.remove_suffix(1);
  if (valore.empty()) return std::nullopt;
  std::size_t n = 0;
  for (const char c : valore) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<std::size_t>(c - '0');
    // checked at each digit: twenty digits never wrap around
    if (n > lunghezza_massima_messaggio) troppo = true;
    if (troppo) n = lunghezza_massima_messaggio + 1;
  }
  return n;
}

lettura rifiuto(esito_lettura e, std::string motivo) {
  lettura r;
  r.esito = e;
  r.motivo = std::move(motivo);
  return r;
}

}  // namespace

lettura leggi_messaggio(std::istream& in) {
  std::optional<std::size_t> lunghezza;
  bool troppo = false;
  bool qualcosa = false;
  std::string riga;
  for (;;) {
    const riga_letta esito = leggi_riga(in, riga);
    if (esito == riga_letta::fine) return rifiuto(esito_lettura::fine, qualcosa ? "the stream ended in a header" : "");
    if (esito == riga_letta::lunga) return rifiuto(esito_lettura::malformato, "a header line too long");
    if (riga.empty()) {
      if (!qualcosa) continue;  // stray blank lines between messages
      break;
    }
    qualcosa = true;
    const std::size_t due_punti = riga.find(':');
    if (due_punti == std::string::npos) return rifiuto(esito_lettura::malformato, "a header line without ':'");
    if (!uguale_nc(std::string_view(riga).substr(0, due_punti), "Content-Length")) continue;
    lunghezza = lunghezza_di(std::string_view(riga).substr(due_punti + 1), troppo);
    if (!lunghezza) return rifiuto(esito_lettura::malformato, "Content-Length is not a number");
  }
  if (!lunghezza) return rifiuto(esito_lettura::malformato, "no Content-Length");
  if (troppo) return rifiuto(esito_lettura::troppo_lungo, "Content-Length past 64 MiB");
  lettura r;
  r.corpo.resize(*lunghezza);
  in.read(r.corpo.data(), static_cast<std::streamsize>(*lunghezza));
  if (static_cast<std::size_t>(in.gcount()) != *lunghezza)
    return rifiuto(esito_lettura::fine, "the stream ended in a message");
  r.esito = esito_lettura::messaggio;
  return r;
}

void scrivi_messaggio(std::ostream& out, const std::string& corpo) {
  out << "Content-Length: " << corpo.size() << "\r\n\r\n" << corpo;
  out.flush();
}

}  // namespace scenario::lsp
