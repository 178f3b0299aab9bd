#pragma once
// The three binary files the simulator loads: line, scenario and route file.
#include <span>
#include <string>

#include "compiler/model/modello.hpp"
#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"

namespace scenario {

// The line file piece by piece, straight from the plan, never whole in memory:
// component 0 of every metre, then component 1, each tagged.
class pezzi_linea final : public contenuto_a_pezzi {
 public:
  explicit pezzi_linea(const tracciato_piano& t) : t_(t) {}
  void ricomincia() override {
    componente_ = 0;
    riga_ = 0;
  }
  std::size_t prossimi(std::span<char> spazio) override;

 private:
  const tracciato_piano& t_;
  int componente_ = 0;
  int32_t riga_ = 0;
};

// The whole line file at once, for whoever needs it in memory.
std::string serializza_linea(const modello& m);
// The 87 records of tabella.
std::string serializza_scenario(const modello& m);
// The cells, 15 bytes each.
std::string serializza_percorso(const modello& m);

// Replaces the line file (only when scrivi_linea is nonzero), the scenario
// file and the route file as one set.
void scrivi_file_binari(const modello& m, sistema_file& fs, const nomi_file& nomi);

}  // namespace scenario
