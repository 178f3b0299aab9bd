#pragma once
// A compiled scenario in words: the readable listing, and the differences
// between two scenarios, by meaning ("signal at 2150 m: valore 3 -> 4") and
// field by field where no meaning tells them.
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/model/modello.hpp"
#include "contenuto/contenuto.hpp"

namespace scenario {

// One thing the scenario holds: what identifies it, how it is named, its fields.
struct oggetto_mostrato {
  std::string id;         // matches the same thing in another scenario
  std::string etichetta;  // "station 5 FONTEBUONA"
  std::vector<std::pair<std::string, std::string>> campi;
};

struct sezione_mostrata {
  std::string titolo;
  std::vector<oggetto_mostrato> oggetti;
};

// Everything but the runs, section by section. Texts are UTF-8.
std::vector<sezione_mostrata> sezioni(const contenuto_scenario& c);

// The whole listing, UTF-8, one item a line.
std::string elenco(const contenuto_scenario& c);

// Every record and every cell that is not all zero, field by field as the
// files lay them out (names as bytes, not converted).
std::string elenco_grezzo(const modello& m);

// The names of the three files, as the differences give them.
struct nomi_confrontati {
  std::string linea = "line file";
  std::string scenario = "scenario file";
  std::string percorso = "route file";
};

// The file names of a line and train, without a folder.
nomi_confrontati nomi_confrontati_di(const std::string& linea, const std::string& treno);

// A field of a file that differs: "cell 43" (or "record 5", "element 12"),
// its field as the record tables name it, old and new value as text.
struct campo_diverso {
  std::string file;
  std::string record;
  std::string campo;
  std::string prima;
  std::string dopo;
};

// One difference: a field that differs, with the sentence by meaning that tells
// it if one does; or a sentence no field carries, since it follows from fields
// told elsewhere (a slowdown's end that a new start took away).
struct differenza {
  std::optional<campo_diverso> campo;
  std::optional<std::string> significato;
  bool tutto_detto = false;  // the sentence tells the whole change: no line of the field's own
};

struct confronto {
  std::vector<std::string> frasi;      // by meaning, in the listing's order
  std::vector<differenza> differenze;  // fields in file order (scenario, route, line file), then lone sentences
  bool uguali() const { return frasi.empty() && differenze.empty(); }
};

// Two scenarios compared: by meaning, and every byte field by field, so that
// no change goes untold. The models give the fields and the track plan; the
// cells only one file holds are told by the count.
confronto confronta(const modello& ma, const contenuto_scenario& a, const modello& mb, const contenuto_scenario& b,
                    const nomi_confrontati& nomi = {});

// The text form, one difference a line: every sentence by meaning, then the
// fields no sentence tells whole, as "file, cell 43, valore, 3 -> 4".
std::vector<std::string> righe_confronto(const confronto& c);

// --confronta: the differences (or "no differences"), as text or JSON; whether they are equal.
bool mostra_confronto(const confronto& c, bool json, std::ostream& out);

}  // namespace scenario
