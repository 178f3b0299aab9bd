#pragma once
// The full names of every file of a scenario.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

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

// The same names without a folder, as bytes: the one place they are spelt.
struct nomi_brevi {
  std::string descrizione_linea;
  std::string descrizione_treno;
  std::string note;
  std::string rallentamenti;
  std::string scheda_treno;
  std::string file_linea;
  std::string file_scenario;
  std::string file_percorso;
};
nomi_brevi nomi_senza_cartella(const std::string& nome_linea, const std::string& numero_treno);

// Names are bytes; they join the folder with the platform's separator.
nomi_file costruisci_nomi(const std::filesystem::path& cartella, const std::string& nome_linea,
                          const std::string& numero_treno);

// How every line file's name ends.
inline constexpr std::string_view fine_nome_file_linea = "_linea.dat";

// Whether two paths name one file: the same path once normalised ("d/./f",
// "d//f"), or one file on disk (a hard link, a symbolic link, a folder reached
// two ways). Paths that do not exist are the same only by spelling.
bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b);
// Whether two bare names are one name on this platform: Windows ignores letter case.
bool stesso_nome(const std::string& a, const std::string& b);

// The longest line identifier or train number: names become file names and record texts.
inline constexpr std::size_t lunghezza_massima_identificativo = 200;

// The --linea and --treno values behind a scenario's file name: the
// descriptions (NOME_linea.txt, NOME_NUMERO-.txt) and the compiled files
// (NOME_linea.dat, NOME_NUMERO.sim, NOME_NUMERO.dat), letter case ignored in
// the ending. A part the name does not give stays empty; nothing when the
// name is none of these.
struct nomi_attesi {
  std::string linea;
  std::string treno;
};
std::optional<nomi_attesi> nomi_da_file(std::string_view file);

// What is wrong with a name given to `opzione` (--linea, --treno), or nothing:
// empty, too long, a path, a file name (ending in .txt, .dat or .sim), or
// holding a control character. A path or a file name is told with the
// options that name what was meant. Both programs ask it.
std::optional<std::string> problema_identificativo(const std::string& nome, const std::string& opzione);

}  // namespace scenario
