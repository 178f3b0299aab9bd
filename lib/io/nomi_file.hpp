#pragma once
// The full names of every file of a scenario.
#include <filesystem>
#include <optional>
#include <string>

namespace scenario {

struct nomi_file {
  std::filesystem::path descrizione_linea;  // _linea.txt
  std::filesystem::path descrizione_treno;  // -.txt
  std::filesystem::path note;
  std::filesystem::path rallentamenti;
  std::filesystem::path scheda_treno;
  std::filesystem::path file_linea;     // _linea.dat
  std::filesystem::path file_scenario;  // .sim
  std::filesystem::path file_percorso;  // .dat
};

// Names are bytes; they join the folder with the platform's separator.
nomi_file costruisci_nomi(const std::filesystem::path& cartella, const std::string& nome_linea,
                          const std::string& numero_treno);

// The longest line identifier or train number: names become file names and record texts.
inline constexpr std::size_t lunghezza_massima_identificativo = 200;

// What is wrong with a name given to `opzione` (--linea, --treno), or nothing:
// empty, too long, a path, or holding a control character. Both programs ask it.
std::optional<std::string> problema_identificativo(const std::string& nome, const std::string& opzione);

}  // namespace scenario
