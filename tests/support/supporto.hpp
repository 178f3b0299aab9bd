#pragma once
// Test helpers: an in-memory file system, in-memory description sources and
// temporary folders on disk.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compiler/model/modello.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/sistema_file.hpp"

namespace scenario::prova {

class sistema_file_memoria : public sistema_file {
 public:
  bool esiste(const std::filesystem::path& file) override;
  std::string leggi(const std::filesystem::path& file) override;
  bool crea_nuovo(const std::filesystem::path& file, std::string_view contenuto, const std::filesystem::path&,
                  bool) override;
  void rinomina(const std::filesystem::path& da, const std::filesystem::path& a, bool) override;
  void elimina(const std::filesystem::path& file) override;
  void sincronizza_cartella(const std::filesystem::path&) override {}
  std::unique_ptr<blocco_cartella> blocca(const std::filesystem::path&, std::chrono::milliseconds) override {
    return std::make_unique<blocco_cartella>();
  }

  // Puts a file in place directly, as a test prepares a folder.
  void scrivi(const std::filesystem::path& file, std::string_view contenuto);

  std::map<std::string, std::string> file;  // by generic path
};

// The two description files as strings; deletions are recorded, not done.
class sorgenti_memoria : public sorgenti_descrizione {
 public:
  std::optional<std::string> linea;
  std::optional<std::string> treno;
  bool linea_eliminata = false;
  bool treno_eliminato = false;

  std::optional<std::string> leggi_linea() override { return linea; }
  std::string leggi_treno() override;
  void elimina_linea() override { linea_eliminata = linea.has_value(); }
  void elimina_treno() override { treno_eliminato = treno.has_value(); }
  std::string nome_linea() const override { return "linea.txt"; }
  std::string nome_treno() const override { return "treno-.txt"; }
};

// Lines joined with CR LF after each.
std::string righe(std::initializer_list<std::string_view> testo);

// A fresh empty folder under the system's temporary folder, removed at the end.
class cartella_temporanea {
 public:
  cartella_temporanea();
  ~cartella_temporanea();
  cartella_temporanea(const cartella_temporanea&) = delete;
  cartella_temporanea& operator=(const cartella_temporanea&) = delete;
  const std::filesystem::path& percorso() const { return percorso_; }

 private:
  std::filesystem::path percorso_;
};

std::string leggi_file(const std::filesystem::path& file);
void scrivi_file(const std::filesystem::path& file, std::string_view contenuto);

// The rows of the status-code table under "## Status codes" in a Markdown file.
std::vector<std::string> righe_tabella_codici(const std::filesystem::path& file);
// The rows that table must hold: the registry's, in its order.
std::vector<std::string> righe_attese_codici();

}  // namespace scenario::prova

namespace scenario {
// A model whose diagnostics go to r.
inline modello con_raccolta(raccolta_diagnostici& r) {
  modello m;
  m.diagnostici = &r;
  return m;
}
}  // namespace scenario
