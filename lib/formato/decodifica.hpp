#pragma once
// Reads the three compiled files (bytes in memory) back into a model. A file
// that is short, too long or holds what no compile writes raises
// errore_decodifica naming the file, the byte offset and the field.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/model/modello.hpp"
#include "formato/lettore_le.hpp"

namespace scenario {

struct file_compilati {
  std::optional<std::string_view> linea;  // absent: compiled without the track plan
  std::string_view scenario;
  std::string_view percorso;
  // names for messages
  std::string nome_linea = "line file";
  std::string nome_scenario = "scenario file";
  std::string nome_percorso = "route file";
};

// Each file on its own into m: the 87 records, the cells, the track plan.
void decodifica_scenario(std::string_view dati, std::string_view nome, modello& m);
void decodifica_percorso(std::string_view dati, std::string_view nome, modello& m);
void decodifica_linea(std::string_view dati, std::string_view nome, modello& m);

// All three; the names, route extent and scrivi_linea follow from them. The
// files must also fit each other as a compile writes them: the cells and the
// track plan rows the scenario file's route length gives (or, for a length
// the compile refused, cells and rows of one earlier length); an empty line
// file is refused.
modello decodifica(const file_compilati& f);

// The three files, for their size limits.
enum class file_compilato : uint8_t { linea, scenario, percorso };
// The most bytes a legal compile writes into each: the longest route, every
// element a double, every name at its longest. A larger file is never one.
std::size_t byte_massimi(file_compilato quale);
// The refusal of a file of `dimensione` bytes, over byte_massimi, as decoding
// it would word it; for callers that refuse it from its size, unread.
errore_decodifica troppo_lungo(file_compilato quale, std::string nome, std::uintmax_t dimensione);

// The format numbers and scenario codes as stamped, and as the names give them.
struct verifica_codici {
  int16_t formato_scenario = 0;  // record 85
  int16_t formato_percorso = 0;  // cell 1
  int16_t og = 0;                // cell 1, as stamped
  int16_t og_atteso = 0;         // from the names
  int32_t st = 0;                // record 85, as stamped
  int32_t st_atteso = 0;
  bool formati_giusti() const;
  bool og_giusto() const { return og == og_atteso; }
  bool st_giusto() const { return st == st_atteso; }
  bool tutto_giusto() const { return formati_giusti() && og_giusto() && st_giusto(); }
};
// Needs cell 1 (a route of at least two cells).
verifica_codici verifica(const modello& m);

}  // namespace scenario
