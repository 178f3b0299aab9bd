#pragma once
// Runs one writer on an in-memory folder and hands back its file as lines.
#include <filesystem>
#include <string>
#include <vector>

#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"

namespace scenario::prova {

using scrittore = void (*)(sistema_file&, const nomi_file&);

struct testo_scritto {
  std::string contenuto;
  std::vector<std::string> righe;

  // Lines are numbered from 1, as people count them.
  const std::string& riga(std::size_t n) const { return righe.at(n - 1); }
};

// Splits CR LF text; a bare CR or LF, or a last line without CR LF, fails the test.
std::vector<std::string> dividi_righe(const std::string& contenuto);

// The file that `scrivi` writes into `membro`, for the scenario's own identity.
testo_scritto scrivi_in_memoria(scrittore scrivi, std::filesystem::path nomi_file::*membro);

}  // namespace scenario::prova
