#pragma once
// One diagnostic value for everything the compiler and its tools tell an
// author: what went wrong or looks wrong, its status code, and where in the
// description files it stands. Readers hand diagnostics to a sink they are
// given; text, JSON and the report all format this same value, so the place
// never sits inside the text.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace scenario {

enum class gravita : uint8_t { errore, avviso, nota };

// Which file a diagnostic is about.
enum class sorgente : uint8_t {
  nessuna,   // not about one file
  linea,     // the line description
  treno,     // the train description
  finitura,  // the finishing pass: about the route, not a line of a file
  altro,     // another file, named in regione_sorgente::nome
};

// 1-based line and byte column; 0: none.
struct punto_testo {
  int32_t riga = 0;
  int32_t colonna = 0;
  friend bool operator==(const punto_testo&, const punto_testo&) = default;
};

struct regione_sorgente {
  sorgente file = sorgente::nessuna;
  std::string nome;    // sorgente::altro: the file as shown
  punto_testo inizio;
  punto_testo fine;    // the column just past the region; equal to inizio when only a point is known
};

// Where an entry of a description stands: its region and its keyword as written.
struct luogo {
  regione_sorgente regione;
  std::string parola;
};

// A point (or a field from `colonna` to just before `colonna_fine`) on a line of a file.
luogo luogo_in(sorgente file, int32_t riga, int32_t colonna, std::string parola = {}, int32_t colonna_fine = 0);

// Another place that explains a diagnostic ("the station mark that holds this cell").
struct correlato {
  luogo dove;
  std::string testo;
};

struct diagnostico {
  gravita tipo = gravita::errore;
  std::optional<int32_t> codice;     // status code of the registry; none for the tools' own findings
  luogo dove;
  std::optional<int32_t> posizione;  // metres along the route
  std::string testo;                 // what went wrong, for people
  std::vector<correlato> correlati;
  std::optional<std::string> correzione;  // a text that may replace the region, when one is clear
};

// Where diagnostics go.
class destinatario_diagnostici {
 public:
  virtual void ricevi(diagnostico d) = 0;

 protected:
  destinatario_diagnostici() = default;
  destinatario_diagnostici(const destinatario_diagnostici&) = default;
  destinatario_diagnostici& operator=(const destinatario_diagnostici&) = default;
  ~destinatario_diagnostici() = default;
};

// The sink most callers want: every diagnostic, in the order given.
class raccolta_diagnostici final : public destinatario_diagnostici {
 public:
  void ricevi(diagnostico d) override { tutti.push_back(std::move(d)); }
  std::vector<diagnostico> tutti;
};

}  // namespace scenario
