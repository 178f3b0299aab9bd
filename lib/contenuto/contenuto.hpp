#pragma once
// What a compiled scenario says, by meaning: plain structs read off a model
// (usually a decoded one), for listings, JSON, comparisons and reports.
// Positions are metres from the route start as an author writes them; each
// point also keeps its cell.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/model/modello.hpp"

namespace scenario {

struct intestazione_linea {  // record 85
  std::string nome;
  std::array<int32_t, 3> sfondi{};  // scenery values "uno", "due", "tre"
};

struct intestazione_treno {  // records 84 and 86
  std::string numero;
  int32_t massa_frenata = 0;  // braked-mass percentage
  int32_t vetture = 0;        // number of cars
  int16_t sabbia = 0;
  std::array<int16_t, 3> orologio{};  // hours, minutes, seconds
  int32_t ripetizione_inizio = 0;     // signal repetition numbers
  int32_t ripetizione_fine = 0;
  int32_t ripetizione_codici = 0;     // 4, 9 or 0
};

struct codici_scenario {
  int16_t formato_scenario = 0;  // as stamped; 610 expected
  int16_t formato_percorso = 0;  // as stamped; 5121 expected
  bool formati_giusti = false;
  int16_t og = 0;
  int16_t og_atteso = 0;  // from the names
  int32_t st = 0;
  int32_t st_atteso = 0;
  bool og_giusto = false;
  bool st_giusto = false;
};

struct stazione {
  int32_t record = 0;
  std::string nome;  // Windows-1252
  uint8_t tipo = 0;
  int32_t posizione = 0;  // metres
  int32_t inizio = 0;     // the station stretch, metres
  int32_t fine = 0;
  int32_t orario = 0;   // seconds after midnight; 0: none
  uint8_t sosta = 0;    // stop, seconds; 0: no stop
  std::optional<int32_t> cella_segno;  // the cell that marks the station
  // the other fields, as the simulator reads them
  uint8_t campo_4 = 0, campo_5 = 0, campo_6 = 0, campo_9 = 0;
  int16_t campo_7 = 0, campo_8 = 0, campo_10 = 0, campo_11 = 0, campo_12 = 0;
};

struct segnale {
  int32_t cella = 0;
  int32_t metri = 0;
  int16_t valore = 0, valore2 = 0, valore3 = 0, valore4 = 0;  // as packed
  uint8_t tempo = 0;
};

// A slowdown's warning point lies 24 cells (1200 m) before its start; its
// pre-warning cells, 25 and 28 cells before it.
inline constexpr int32_t celle_avviso = 24;
inline constexpr int32_t celle_preavviso_vicina = 25;
inline constexpr int32_t celle_preavviso_lontana = 28;

struct rallentamento {
  int32_t cella_inizio = 0;
  int32_t inizio = 0;  // metres
  std::optional<int32_t> fine;  // metres; none when no end cell follows
  std::optional<int32_t> cella_fine;
  std::optional<int32_t> avviso;  // warning point, metres
  bool preavviso = false;         // the four cells before the warning point
  int16_t velocita = 0;           // km/h
  int16_t valore2 = 0;
  int16_t valore3 = 0;
};

struct punto_abbattimento {  // a speed-reduction point, from the train description or the finishing pass
  int32_t cella = 0;
  int32_t metri = 0;
  int16_t velocita = 0;  // 0: an entry of no value
};

struct indicatori {  // a pair of speed-indicator boards
  int32_t cella = 0;
  int32_t metri = 0;
  int16_t valore = 0, valore2 = 0, valore3 = 0;  // the speeds A, B, C, encoded: left * 20 + right / 5
  int16_t strisce = 0;
};

struct cartello {  // a location sign board
  int32_t cella = 0;
  int32_t metri = 0;
  int16_t record = 0;  // the record holding its text
  std::string testo;  // Windows-1252
};

// A stretch of cells sharing one value: metres da to a (a excluded).
struct tratto {
  int32_t da = 0;
  int32_t a = 0;
  int32_t valore = 0;
};

struct segno_avvicinamento {
  int32_t cella = 0;
  int32_t metri = 0;
  uint8_t valore = 0;  // 81..84 before a station; aspect * 10 + 1..4 before a signal
};

struct progressiva {  // records 81 to 83
  int32_t record = 0;
  int32_t inizio = 0;
  int32_t scostamento = 0;  // chainage offset
  int32_t verso = 0;        // direction flag
};

struct contenuto_scenario {
  intestazione_linea linea;
  intestazione_treno treno;
  int32_t lunghezza = 0;  // route length, metres (record 84)
  int32_t celle = 0;
  std::optional<int32_t> righe_tracciato;  // track plan rows; none without the line file
  codici_scenario codici;
  std::vector<stazione> stazioni;
  std::vector<segnale> segnali;
  std::vector<rallentamento> rallentamenti;
  std::vector<punto_abbattimento> abbattimenti;
  std::vector<indicatori> indicatori_velocita;
  std::vector<cartello> cartelli;
  std::vector<tratto> velocita_limite;  // km/h
  std::vector<tratto> pendenze;         // per mille
  std::vector<tratto> aderenze;
  std::vector<tratto> montagne;         // mountain code, stretches of nonzero code only
  std::vector<int32_t> marcatori_montagna;  // metres
  std::vector<segno_avvicinamento> avvicinamenti;
  std::array<progressiva, 3> progressive{};
  std::vector<int32_t> celle_sconosciute;  // cells of a type nothing writes
};

// Needs a route of at least two cells, as every compiled route has.
contenuto_scenario estrai_contenuto(const modello& m);

// Metres of a feature in cell c: the author's position for points placed one
// cell on (signals, slowdowns, boards), the cell's start for the others.
int32_t metri_di(int32_t cella, uint8_t tipo);

}  // namespace scenario
