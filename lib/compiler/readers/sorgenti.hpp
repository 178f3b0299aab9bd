#pragma once
// Where the readers get the two description files from, and whether reading
// consumes them (the generator deletes its transfer files; the compile tool
// leaves an author's files alone).
#include <optional>
#include <string>

#include "io/nomi_file.hpp"
#include "io/sistema_file.hpp"

namespace scenario {

class sorgenti_descrizione {
 public:
  virtual ~sorgenti_descrizione() = default;
  // The line description, or nothing when the file does not exist.
  virtual std::optional<std::string> leggi_linea() = 0;
  // The train description; a missing file is a run-time failure.
  virtual std::string leggi_treno() = 0;
  // Delete each file where it still exists.
  virtual void elimina_linea() = 0;
  virtual void elimina_treno() = 0;
  // Names for messages.
  virtual std::string nome_linea() const = 0;
  virtual std::string nome_treno() const = 0;
};

class sorgenti_su_file final : public sorgenti_descrizione {
 public:
  sorgenti_su_file(sistema_file& fs, std::filesystem::path linea, std::filesystem::path treno, bool consuma)
      : fs_(fs), linea_(std::move(linea)), treno_(std::move(treno)), consuma_(consuma) {}
  std::optional<std::string> leggi_linea() override;
  std::string leggi_treno() override;
  void elimina_linea() override;
  void elimina_treno() override;
  std::string nome_linea() const override;
  std::string nome_treno() const override;

 private:
  sistema_file& fs_;
  std::filesystem::path linea_;
  std::filesystem::path treno_;
  bool consuma_;
};

}  // namespace scenario
