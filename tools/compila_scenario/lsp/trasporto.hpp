#pragma once
// The editor's messages on a byte stream: "Content-Length: N" headers, a blank
// line, N bytes of JSON. Reading never trusts the length: an absurd one is
// refused before anything is allocated.
#include <cstddef>
#include <iosfwd>
#include <string>

namespace scenario::lsp {

// Far above any description an editor sends; a length past it is refused.
inline constexpr std::size_t lunghezza_massima_messaggio = std::size_t{64} << 20;
// A header line longer than this is not a header.
inline constexpr std::size_t lunghezza_massima_intestazione = 8192;

enum class esito_lettura {
  messaggio,     // corpo holds one message
  fine,          // the stream ended (between messages or inside one)
  troppo_lungo,  // the length is past lunghezza_massima_messaggio: nothing read
  malformato,    // no usable Content-Length, or a header line too long
};

struct lettura {
  esito_lettura esito = esito_lettura::fine;
  std::string corpo;
  std::string motivo;  // why, for the log
};

// One message; blocks until it is whole or the stream ends.
lettura leggi_messaggio(std::istream& in);
// One message with its header, flushed: the editor waits for it.
void scrivi_messaggio(std::ostream& out, const std::string& corpo);

}  // namespace scenario::lsp
