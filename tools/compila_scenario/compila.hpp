#pragma once
// compila_scenario: compiles an author's two description files with the same
// code path as genera_scenario, never touching them, and tells what is wrong
// where: file, line, keyword and position.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/sistema_file.hpp"
#include "compiler/model/modello.hpp"
#include "diagnostica/messaggi.hpp"

namespace scenario {

// Exit statuses of compila_scenario.
namespace uscita_compila {
inline constexpr int riuscita = 0;
inline constexpr int errori_dati = 1;  // status codes set; the compiler's files written as it does
inline constexpr int fatale = 2;       // 1250 or 1251: no compiled file written
inline constexpr int guasto_io = 3;    // a file or folder could not be read or written
inline constexpr int uso_errato = 64;
}  // namespace uscita_compila

struct opzioni_compila {
  std::string linea;
  std::string treno;
  std::string cartella = ".";         // as typed: messages show it so
  std::optional<std::string> uscita;  // default: the input folder
  bool senza_linea = false;
  bool json = false;
  bool rigoroso = false;  // a warning fails the compile too
  bool aiuto = false;
  std::optional<std::string> html;  // report page of what was compiled
  bool lsp = false;    // --lsp: a language server on standard input and output
  bool nuovo = false;  // --nuovo: write a starting pair named by linea and treno; compile nothing
  bool osserva = false;  // --osserva: serve the report page and compile again on every save
  int porta = 0;         // --porta: where --osserva listens; 0 any free port
};

struct argomenti_letti {
  opzioni_compila opzioni;
  std::string errore;  // empty when the arguments are fine
};

// The arguments after the program name, read with CLI11.
argomenti_letti leggi_argomenti(std::span<const std::string> argomenti);
// What --help prints, and the usage line a refusal ends with.
std::string testo_uso();
std::string uso_breve();

struct esito_compila {
  int uscita = uscita_compila::riuscita;
  std::optional<int32_t> stato;           // final status code; 1250/1251 when the run ended on them
  std::optional<std::size_t> principale;  // index of the message behind the status
  std::vector<diagnostico> messaggi;  // in the order printed
  file_mostrati file;                  // the description files as messages name them
  std::vector<std::string> scritti;  // compiled files written, as shown
  // entries of each kind the descriptions hold, when the compile stopped before reading them all
  std::map<std::string, int> voci_scritte;
};

// A file as messages show it: the folder as typed, then the name.
std::string mostra_file(const std::string& cartella, const std::string& nome);

// The compile itself, through fs; folders are taken as they are. The model
// compiled is left in *compilato when given.
esito_compila compila(const opzioni_compila& o, sistema_file& fs, modello* compilato = nullptr);

// The messages on `err`, then the files written (or none) on `out`; with
// --json one summary line on `out` instead.
void stampa_esito(const esito_compila& e, const opzioni_compila& o, std::ostream& out, std::ostream& err);

// The whole command: checks the folders, compiles, prints messages (or one
// JSON line) and returns the exit status. Never throws.
int esegui_compila(std::span<const std::string> argomenti, sistema_file& fs, std::ostream& out, std::ostream& err);

}  // namespace scenario
