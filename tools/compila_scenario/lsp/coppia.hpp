#pragma once
// A pair compiled in memory for the editor: the same readers as the compile,
// on texts given, every problem at once; nothing is deleted, nothing written.
#include <optional>
#include <string>
#include <vector>

#include "compiler/model/campi_letti.hpp"
#include "compiler/model/diagnostico.hpp"
#include "compiler/readers/sorgenti.hpp"

namespace scenario::lsp {

// The two descriptions as Windows-1252 bytes; a line file that is nowhere is nothing.
class sorgenti_in_memoria final : public sorgenti_descrizione {
 public:
  sorgenti_in_memoria(std::optional<std::string> linea, std::string treno, std::string nome_linea,
                      std::string nome_treno)
      : linea_(std::move(linea)),
        treno_(std::move(treno)),
        nome_linea_(std::move(nome_linea)),
        nome_treno_(std::move(nome_treno)) {}
  std::optional<std::string> leggi_linea() override { return linea_; }
  std::string leggi_treno() override { return treno_; }
  // the editor's buffers and the author's files are never consumed
  void elimina_linea() override {}
  void elimina_treno() override {}
  std::string nome_linea() const override { return nome_linea_; }
  std::string nome_treno() const override { return nome_treno_; }

 private:
  std::optional<std::string> linea_;
  std::string treno_;
  std::string nome_linea_;
  std::string nome_treno_;
};

// What the editor wants of a pair: its diagnostics, and every field the
// readers took (from checking on, which reads every entry, when the compile stopped).
struct esame_coppia {
  std::vector<diagnostico> diagnostici;
  std::vector<campo_letto> campi;
};

esame_coppia esamina_coppia(const std::string& nome_linea, const std::string& numero_treno,
                            std::optional<std::string> testo_linea, std::string testo_treno);

// Every diagnostic of the pair: the compile's, then those found by checking
// on past the first refusal, in file order; a failure that ended the reading is one more.
std::vector<diagnostico> diagnostici_coppia(const std::string& nome_linea, const std::string& numero_treno,
                                            std::optional<std::string> testo_linea, std::string testo_treno);

}  // namespace scenario::lsp
