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

}  // namespace scenario
