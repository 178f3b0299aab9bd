#pragma once
// file: URIs and the paths they stand for.
#include <optional>
#include <string>
#include <string_view>

namespace scenario::lsp {

// The path of a file: URI, percent escapes decoded (bytes as the editor sent
// them, UTF-8); nothing for another scheme or a bad escape.
std::optional<std::string> percorso_da_uri(std::string_view uri);
// The URI of the file `nome` (UTF-8) in the folder of the file `uri` names.
std::string uri_accanto(std::string_view uri, std::string_view nome);
// The folder part of a path and the name part.
std::string_view cartella_di(std::string_view percorso);
std::string_view nome_di(std::string_view percorso);

}  // namespace scenario::lsp
