#pragma once
// The editor's help on one description file: hover, completion, signature
// help, outline, inlay hints and quick fixes. Keywords come from the one
// keyword table; what each field became comes from the fields the readers
// reported while compiling the pair, so the help never guesses where the
// compile knows.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/campi_letti.hpp"
#include "compiler/model/diagnostico.hpp"

namespace scenario::lsp {

// A file as the editor holds it, with what its last compile found in it.
// It only looks at what the server holds: nothing is copied per request.
struct documento_esaminato {
  sorgente file = sorgente::nessuna;  // linea or treno
  std::string_view utf8;
  std::span<const campo_letto> campi;
  // misspelt keywords: where they stand and what to write instead
  std::span<const std::pair<regione_sorgente, std::string>> correzioni;
};

// An LSP range (0-based lines, UTF-16 characters) of a region of the text.
nlohmann::json intervallo(const regione_sorgente& r, std::string_view utf8);

nlohmann::json hover(const documento_esaminato& d, uint32_t riga, uint32_t carattere);
nlohmann::json completamento(const documento_esaminato& d, uint32_t riga, uint32_t carattere);
nlohmann::json firma(const documento_esaminato& d, uint32_t riga, uint32_t carattere);
nlohmann::json simboli(const documento_esaminato& d);
// The hints of the lines from `prima` to `ultima` (0-based, inclusive).
nlohmann::json suggerimenti(const documento_esaminato& d, uint32_t prima, uint32_t ultima);
nlohmann::json azioni(const documento_esaminato& d, const std::string& uri, uint32_t prima, uint32_t ultima);

// What a number of a field becomes ("cell 11 (from 550 m), km 0.550"); empty: nothing to add.
std::string diventa(const campo_letto& c);

}  // namespace scenario::lsp
