#pragma once
// Runs a program and collects what it printed and its exit status.
#include <filesystem>
#include <string>

namespace scenario::prova {

struct esito_processo {
  int stato = -1;  // exit status, or -1 when it did not exit normally
  std::string uscita;
  std::string errori;
};

// Runs `comando` (already quoted) in `cartella`, standard input empty.
esito_processo esegui(const std::string& comando, const std::filesystem::path& cartella);

// The same with standard input read from the file `ingresso`, and standard
// output kept byte for byte (line ends as the program wrote them).
esito_processo esegui_con_ingresso(const std::string& comando, const std::filesystem::path& cartella,
                                   const std::filesystem::path& ingresso);

// Quoted for the command line: single quotes for the shell, double on Windows.
std::string tra_apici(const std::string& testo);

// The file name of an executable on this platform ("genera_scenario.exe" on Windows).
std::string nome_programma(const std::string& nome);

}  // namespace scenario::prova
