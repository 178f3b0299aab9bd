#pragma once
// A platform that records what the run shows instead of showing it.
#include <string>
#include <vector>

#include "tools/genera_scenario/piattaforma.hpp"

namespace scenario::prova {

struct piattaforma_finta : piattaforma {
  std::filesystem::path cartella = "prog";
  bool attesa = false;
  std::vector<std::string> errori;
  std::vector<std::string> guasti;
  std::filesystem::path cartella_programma() override { return cartella; }
  void mostra_attesa() override { attesa = true; }
  void mostra_errore(const std::string& t) override { errori.push_back(t); }
  void segnala_guasto(const std::string& t) override { guasti.push_back(t); }
};

}  // namespace scenario::prova
