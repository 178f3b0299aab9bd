#include <iostream>
#include <string>
#include <vector>

#include "io/sistema_file.hpp"
#include "tools/mostra_scenario/mostra.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> argomenti;
  for (int i = 1; i < argc; ++i) argomenti.emplace_back(argv[i]);
  scenario::sistema_file_disco fs;
  return scenario::esegui_mostra(argomenti, fs, std::cout, std::cerr);
}
