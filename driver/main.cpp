#include "driver/form_load.hpp"

int main() {
  scenario::sistema_file_disco fs;
  const auto p = scenario::crea_piattaforma();
  return scenario::form_load(*p, fs);
}
