#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "io/sistema_file.hpp"
#include "tools/compila_scenario/compila.hpp"
#include "tools/compila_scenario/flussi_standard.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> argomenti;
  for (int i = 1; i < argc; ++i) argomenti.emplace_back(argv[i]);
  scenario::sistema_file_disco fs;
  if (argomenti.size() == 1 && argomenti[0] == "--lsp") scenario::flussi_standard_binari();
  const int stato = scenario::esegui_compila(argomenti, fs, std::cout, std::cerr);
  // everything printed leaves the C library's buffers before the exit status does
  if (std::fflush(nullptr) != 0 && stato == 0) return scenario::uscita_compila::guasto_io;
  return stato;
}
