#include <cstdio>

#include "tools/genera_scenario/form_load.hpp"

int main() {
  scenario::sistema_file_disco fs;
  const auto p = scenario::crea_piattaforma();
  const int stato = scenario::form_load(*p, fs);
  // the messages written reach their reader before the exit status does
  std::fflush(nullptr);
  return stato;
}
