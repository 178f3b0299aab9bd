#include "io/nomi_file.hpp"

namespace scenario {

nomi_file costruisci_nomi(const std::filesystem::path& cartella, const std::string& nome_linea,
                          const std::string& numero_treno) {
  const std::string treno = nome_linea + "_" + numero_treno;
  nomi_file n;
  n.descrizione_linea = cartella / (nome_linea + "_linea.txt");
  n.descrizione_treno = cartella / (treno + "-.txt");
  n.note = cartella / (treno + "_" + "note.txt");
  n.rallentamenti = cartella / (treno + "_" + "rallentamenti.txt");
  n.scheda_treno = cartella / (treno + "_" + "scheda_treno.txt");
  n.file_linea = cartella / (nome_linea + "_linea.dat");
  n.file_scenario = cartella / (treno + ".sim");
  n.file_percorso = cartella / (treno + ".dat");
  return n;
}

std::optional<std::string> problema_identificativo(const std::string& nome, const std::string& opzione) {
  if (nome.empty()) return opzione + " needs a non-empty name";
  if (nome.size() > lunghezza_massima_identificativo) {
    return opzione + " is longer than " + std::to_string(lunghezza_massima_identificativo) + " bytes";
  }
  if (nome.find_first_of("/\\") != std::string::npos) return opzione + " is a name, not a path: use --dir for the folder";
  for (const char c : nome) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return opzione + " holds a control character";
  }
  return std::nullopt;
}

}  // namespace scenario
