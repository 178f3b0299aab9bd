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

std::optional<std::string> problema_identificativo(const std::string& nome, const std::string& opzione) {
  if (nome.empty()) return opzione + " needs a non-empty name";
  if (nome.size() > lunghezza_massima_identificativo) {
    return opzione + " is longer than " + std::to_string(lunghezza_massima_identificativo) + " bytes";
  }
  if (nome.find_first_of("/\\") != std::string::npos) return opzione + " is a name, not a path: use --dir for the folder";
  for (const char c : nome) {
    if (byte_di_controllo(static_cast<unsigned char>(c))) return opzione + " holds a control character";
  }
  return std::nullopt;
}

}  // namespace scenario
