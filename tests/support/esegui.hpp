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

// Runs `comando` (already quoted) in `cartella`.
esito_processo esegui(const std::string& comando, const std::filesystem::path& cartella);

// Single-quoted for the shell.
std::string tra_apici(const std::string& testo);

}  // namespace scenario::prova
