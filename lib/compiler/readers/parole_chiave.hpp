#pragma once
// The keywords of the two description formats, once: how each is written,
// the fields its entry takes (names, units, ranges) and what it places. The
// readers take their field counts and their "did you mean" lists from here;
// the editor support takes its hover, completion and signature help; a test
// holds docs/ to it. The readers keep their own matching rules.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "compiler/model/diagnostico.hpp"

namespace scenario {

// What a field's number becomes, for the editor's hints.
enum class genere_campo : uint8_t {
  valore,           // stored as written
  posizione,        // a route position: cell round(p / 50)
  posizione_dopo,   // a route position whose feature takes cell round(p / 50 + 1)
  lunghezza,        // metres
  velocita,         // km/h, kept in steps of 5
  basso_8,          // only the low 8 bits are kept
  testo,            // the rest of the line
};

struct campo_parola {
  std::string_view nome;
  std::string_view unita;       // empty: none
  std::string_view intervallo;  // empty: any value the field holds
  genere_campo genere = genere_campo::valore;
};

// Where an entry is recognised: the line's general section, its feature sections, the train file.
enum class gruppo_parole : uint8_t { generale_linea, caratteristiche_linea, treno };

struct parola_chiave {
  gruppo_parole gruppo;
  std::string_view voce;                      // the entry's name, as messages give it
  std::span<const std::string_view> scritte;  // how an author writes it, the usual form first
  std::string_view titolo;                    // what it is, in a few words
  std::span<const campo_parola> campi;
  std::string_view riferimento;               // what it places, for people
  bool con_classe = false;                    // a class digit 1 to 6 follows the written form
};

std::span<const parola_chiave> parole_chiave();

// The entry of a reader's name; nothing for a name no reader gives.
const parola_chiave* parola_di_voce(std::string_view voce);

// The written forms of a group, in the table's order: what a misspelt keyword is compared with.
std::span<const std::string_view> parole_del_gruppo(gruppo_parole g);

// The file a group belongs to.
sorgente file_del_gruppo(gruppo_parole g);

// The section heads an author writes in a file, in their usual order.
std::span<const std::string_view> sezioni_di(sorgente file);

// The entry an author most likely means by a keyword field as written (letter
// case and blanks ignored): the reader's recognition, for the editor's help.
const parola_chiave* parola_scritta(sorgente file, std::string_view campo);

}  // namespace scenario
