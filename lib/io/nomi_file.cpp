#include "io/nomi_file.hpp"

#include <algorithm>
#include <system_error>

#include "io/testo_1252.hpp"

namespace scenario {

nomi_brevi nomi_senza_cartella(const std::string& nome_linea, const std::string& numero_treno) {
  const std::string treno = nome_linea + "_" + numero_treno;
  nomi_brevi n;
  n.descrizione_linea = nome_linea + "_linea.txt";
  n.descrizione_treno = treno + "-.txt";
  n.note = treno + "_note.txt";
  n.rallentamenti = treno + "_rallentamenti.txt";
  n.scheda_treno = treno + "_scheda_treno.txt";
  n.file_linea = nome_linea + std::string(fine_nome_file_linea);
  n.file_scenario = treno + ".sim";
  n.file_percorso = treno + ".dat";
  return n;
}

nomi_file costruisci_nomi(const std::filesystem::path& cartella, const std::string& nome_linea,
                          const std::string& numero_treno) {
  const nomi_brevi b = nomi_senza_cartella(nome_linea, numero_treno);
  nomi_file n;
  n.descrizione_linea = cartella / b.descrizione_linea;
  n.descrizione_treno = cartella / b.descrizione_treno;
  n.note = cartella / b.note;
  n.rallentamenti = cartella / b.rallentamenti;
  n.scheda_treno = cartella / b.scheda_treno;
  n.file_linea = cartella / b.file_linea;
  n.file_scenario = cartella / b.file_scenario;
  n.file_percorso = cartella / b.file_percorso;
  return n;
}

bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  if (a.lexically_normal() == b.lexically_normal()) return true;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

bool stesso_nome(const std::string& a, const std::string& b) {
#ifdef _WIN32
  const auto minuscola = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return minuscola(x) == minuscola(y); });
#else
  return a == b;
#endif
}

namespace {

bool finisce_con_nc(std::string_view testo, std::string_view fine) {
  if (testo.size() < fine.size()) return false;
  const auto minuscola = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(fine.begin(), fine.end(), testo.end() - static_cast<std::ptrdiff_t>(fine.size()),
                    [&](char a, char b) { return minuscola(a) == minuscola(b); });
}

// NOME_NUMERO split at its last underscore; a bare NUMERO when there is none.
std::optional<nomi_attesi> linea_e_treno(std::string_view base) {
  const std::size_t trattino = base.rfind('_');
  if (trattino == std::string_view::npos) {
    if (base.empty()) return std::nullopt;
    return nomi_attesi{{}, std::string(base)};
  }
  if (trattino == 0 || trattino + 1 == base.size()) return std::nullopt;
  return nomi_attesi{std::string(base.substr(0, trattino)), std::string(base.substr(trattino + 1))};
}

// Refused on every platform, so that a name works on both; split at only where
// the platform splits, so the folder suggested is the one the path meant.
#ifdef _WIN32
constexpr const char* separatori = "/\\:";
constexpr const char* separatori_piattaforma = separatori;
#else
constexpr const char* separatori = "/\\";
constexpr const char* separatori_piattaforma = "/";
#endif

// The options that name what `nome` (a file name, or the bare name `opzione` was meant to get) stands for.
std::string opzioni_per(std::string_view nome, const std::string& opzione) {
  const std::optional<nomi_attesi> n = nomi_da_file(nome);
  if (!n) {
    const bool txt = finisce_con_nc(nome, ".txt");
    return opzione + " " + std::string(nome.substr(0, nome.size() - (txt ? 4 : 0)));
  }
  std::string r;
  // appended piece by piece: GCC 12 warns falsely on "literal" + std::string temporaries
  if (!n->linea.empty()) {
    r = "--linea ";
    r += n->linea;
  }
  if (!n->treno.empty()) {
    if (!r.empty()) r += ' ';
    r += "--treno ";
    r += n->treno;
  }
  return r;
}

}  // namespace

std::optional<nomi_attesi> nomi_da_file(std::string_view file) {
  for (const std::string_view fine : {std::string_view("_linea.txt"), std::string_view("_linea.dat")}) {
    if (finisce_con_nc(file, fine) && file.size() > fine.size()) {
      return nomi_attesi{std::string(file.substr(0, file.size() - fine.size())), {}};
    }
  }
  for (const std::string_view fine : {std::string_view("-.txt"), std::string_view(".sim"), std::string_view(".dat")}) {
    if (finisce_con_nc(file, fine)) return linea_e_treno(file.substr(0, file.size() - fine.size()));
  }
  return std::nullopt;
}

std::optional<std::string> problema_identificativo(const std::string& nome, const std::string& opzione) {
  if (nome.empty()) return opzione + " needs a non-empty name";
  if (nome.size() > lunghezza_massima_identificativo) {
    return opzione + " is longer than " + std::to_string(lunghezza_massima_identificativo) + " bytes";
  }
  if (nome.find_first_of(separatori) != std::string::npos) {
    std::string r = opzione + " is a name, not a path: use --dir for the folder";
    const std::size_t separatore = nome.find_last_of(separatori_piattaforma);
    if (separatore == std::string::npos) return r;
    const std::string_view resto = std::string_view(nome).substr(separatore + 1);
    if (resto.empty()) return r;
    // a root ("/", "C:\\") or a drive ("C:") keeps its separator: without it, it names another folder
    const bool radice = separatore == 0 || nome[separatore] == ':' || nome[separatore - 1] == ':';
    const std::string cartella = nome.substr(0, radice ? separatore + 1 : separatore);
    return r + " (for " + nome + " give --dir " + cartella + " " + opzioni_per(resto, opzione) + ")";
  }
  if (finisce_con_nc(nome, ".txt") || nomi_da_file(nome)) {
    return opzione + " is a name, not a file name: for " + nome + " give " + opzioni_per(nome, opzione);
  }
  for (const char c : nome) {
    if (byte_di_controllo(static_cast<unsigned char>(c))) return opzione + " holds a control character";
  }
  return std::nullopt;
}

}  // namespace scenario
