#pragma once
// Notices that the description files changed and settled: looked at every
// few tens of milliseconds, a change counts once the files have stayed as they
// are for a quiet spell, so an editor's save in several steps (truncate and
// write, write and rename) makes one recompile.
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "tools/compila_scenario/osserva/impronta.hpp"

namespace scenario::osserva {

class sorvegliante {
 public:
  using orologio = std::chrono::steady_clock;
  using lettore = std::function<impronta_file(const std::filesystem::path&)>;

  // The files as they are now count as compiled.
  sorvegliante(std::vector<std::filesystem::path> file, lettore leggi, std::chrono::milliseconds quiete);

  // One look at `adesso`: true when the files differ from those last compiled
  // and have not changed for the quiet spell; they count as compiled then.
  bool guarda(orologio::time_point adesso);

 private:
  std::vector<impronta_file> leggi_tutte() const;

  std::vector<std::filesystem::path> file_;
  lettore leggi_;
  std::chrono::milliseconds quiete_;
  std::vector<impronta_file> compilate_;
  std::vector<impronta_file> ultime_;
  std::optional<orologio::time_point> da_quando_;  // when the last look found something new
};

}  // namespace scenario::osserva
