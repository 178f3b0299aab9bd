#pragma once
// Slips in a train description that the reading rules accept but that change
// the route from what was written: entries out of position order, a list that
// does not start at 0, speeds between the steps of 5 km/h, a station on the
// run-out past the line's end, overlapping slowdowns, a slowdown faster than
// the line, a timetable that goes backwards or asks for more than the line
// allows. Each becomes a warning at its entry; nothing read changes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/model/modello.hpp"

namespace scenario {

class sviste_treno {
 public:
  explicit sviste_treno(modello& m) : m_(m) {}

  // `valore` is the field of the speed, for its column.
  void velocita(const luogo& voce, const luogo& valore, int32_t posizione, int32_t kmh);
  void aderenza(const luogo& voce, int32_t posizione);
  void rallentamento(const luogo& voce, int32_t inizio, int32_t kmh, int32_t lunghezza);
  void stazione(const luogo& voce, int32_t posizione, int32_t orario, const std::string& nome);
  // After the speeds are in the cells.
  void fine();

 private:
  struct lista {
    const char* nome;
    std::optional<int32_t> ultima;
    luogo dove_ultima;
  };
  struct rallentamento_letto {
    luogo dove;
    int32_t inizio;
    int32_t kmh;
    int32_t lunghezza;
  };
  struct stazione_letta {
    luogo dove;
    int32_t posizione;
    int32_t orario;
    std::string nome;
  };
  void in_ordine(lista& l, const luogo& voce, int32_t posizione, const char* senza);
  int32_t limite_massimo(int64_t da, int64_t a) const;
  void controlla_rallentamenti();
  void controlla_orario();

  modello& m_;
  lista velocita_{"speed", std::nullopt, {}};
  lista aderenza_{"adhesion", std::nullopt, {}};
  std::vector<rallentamento_letto> rallentamenti_;
  std::vector<stazione_letta> stazioni_;
};

// Where a field written in the line reader's order is out of place: the
// gradients must be in position order too.
void svista_ordine(modello& m, const luogo& voce, const char* nome, int32_t posizione, std::optional<int32_t> prima,
                   const luogo& dove_prima);

}  // namespace scenario
