#pragma once
// The file layer. Every file operation of the program goes through this
// interface, so tests can inject a failure at any single step.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace scenario {

class sistema_file {
 public:
  virtual ~sistema_file() = default;
  virtual bool esiste(const std::filesystem::path& file) = 0;
  // The whole content as bytes. Throws errore_io.
  virtual std::string leggi(const std::filesystem::path& file) = 0;
  // Creates or truncates the file and writes the content whole. Throws errore_io.
  virtual void scrivi(const std::filesystem::path& file, std::string_view contenuto) = 0;
  // Renames, replacing an existing target. Throws errore_io.
  virtual void rinomina(const std::filesystem::path& da, const std::filesystem::path& a) = 0;
  // Deletes an existing file. Throws errore_io.
  virtual void elimina(const std::filesystem::path& file) = 0;
};

// The machine's own files.
class sistema_file_disco final : public sistema_file {
 public:
  bool esiste(const std::filesystem::path& file) override;
  std::string leggi(const std::filesystem::path& file) override;
  void scrivi(const std::filesystem::path& file, std::string_view contenuto) override;
  void rinomina(const std::filesystem::path& da, const std::filesystem::path& a) override;
  void elimina(const std::filesystem::path& file) override;
};

// Temporary name used while a file is replaced.
std::filesystem::path nome_temporaneo(const std::filesystem::path& destinazione);

// Replaces a file without ever losing the old one: the content goes to a
// temporary file in the same folder, which is then renamed over the target.
// On failure the temporary is removed and the target is left as it was.
void sostituisci_file(sistema_file& fs, const std::filesystem::path& destinazione, std::string_view contenuto);

// Deletes a file where it exists.
void elimina_se_esiste(sistema_file& fs, const std::filesystem::path& file);

// A path as text, for messages.
std::string testo_percorso(const std::filesystem::path& p);

}  // namespace scenario
