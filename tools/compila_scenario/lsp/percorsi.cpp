#include "tools/compila_scenario/lsp/percorsi.hpp"

namespace scenario::lsp {

namespace {

int cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool non_riservato(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

}  // namespace

std::optional<std::string> percorso_da_uri(std::string_view uri) {
  constexpr std::string_view schema = "file://";
  if (uri.substr(0, schema.size()) != schema) return std::nullopt;
  uri.remove_prefix(schema.size());
  // the authority (empty for a local file) ends where the path starts
  const std::size_t barra = uri.find('/');
  if (barra == std::string_view::npos) return std::nullopt;
  uri.remove_prefix(barra);
  std::string r;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] != '%') {
      r.push_back(uri[i]);
      continue;
    }
    if (i + 2 >= uri.size()) return std::nullopt;
    const int alta = cifra_esadecimale(uri[i + 1]);
    const int bassa = cifra_esadecimale(uri[i + 2]);
    if (alta < 0 || bassa < 0) return std::nullopt;
    r.push_back(static_cast<char>(alta * 16 + bassa));
    i += 2;
  }
#ifdef _WIN32
  // "/C:/..." is the path "C:/..."
  if (r.size() >= 3 && r[0] == '/' && r[2] == ':') r.erase(0, 1);
#endif
  return r;
}

std::string uri_accanto(std::string_view uri, std::string_view nome) {
  const std::size_t barra = uri.rfind('/');
  std::string r(uri.substr(0, barra == std::string_view::npos ? 0 : barra + 1));
  constexpr char cifre[] = "0123456789ABCDEF";
  for (const char c : nome) {
    if (non_riservato(c)) {
      r.push_back(c);
      continue;
    }
    const auto u = static_cast<unsigned char>(c);
    r.push_back('%');
    r.push_back(cifre[u >> 4]);
    r.push_back(cifre[u & 0xF]);
  }
  return r;
}

std::string_view cartella_di(std::string_view percorso) {
  const std::size_t barra = percorso.find_last_of("/\\");
  return barra == std::string_view::npos ? std::string_view{} : percorso.substr(0, barra);
}

std::string_view nome_di(std::string_view percorso) {
  const std::size_t barra = percorso.find_last_of("/\\");
  return barra == std::string_view::npos ? percorso : percorso.substr(barra + 1);
}

}  // namespace scenario::lsp
