#pragma once
// A file system that passes every call to another one and fails at a chosen
// create, rename, delete or folder flush, counted from 1, as a full disk or a
// read-only folder would.
#include <string>
#include <vector>

#include "io/sistema_file.hpp"

namespace scenario::prova {

class sistema_file_guasto : public sistema_file {
 public:
  sistema_file_guasto(sistema_file& vero, int guasto_al) : vero_(vero), guasto_al_(guasto_al) {}

  bool esiste(const std::filesystem::path& file) override { return vero_.esiste(file); }
  std::string leggi(const std::filesystem::path& file) override { return vero_.leggi(file); }
  bool crea_nuovo(const std::filesystem::path& file, std::string_view contenuto,
                  const std::filesystem::path& permessi_di, bool durevole) override;
  void rinomina(const std::filesystem::path& da, const std::filesystem::path& a, bool durevole) override;
  void elimina(const std::filesystem::path& file) override;
  void sincronizza_cartella(const std::filesystem::path& cartella) override;
  std::unique_ptr<blocco_cartella> blocca(const std::filesystem::path& cartella,
                                          std::chrono::milliseconds attesa) override {
    return vero_.blocca(cartella, attesa);
  }
  std::string nome_temporaneo() override { return vero_.nome_temporaneo(); }

  // Operations seen so far (the failing one included).
  int operazioni() const { return operazioni_; }
  bool guastato() const { return guastato_; }
  // Targets renamed into place before the failure, in order.
  const std::vector<std::filesystem::path>& rinominati() const { return rinominati_; }
  // Targets whose temporary was written before the failure, in order.
  const std::vector<std::filesystem::path>& preparati() const { return preparati_; }

 private:
  void conta(const std::filesystem::path& file);
  sistema_file& vero_;
  int guasto_al_;
  int operazioni_ = 0;
  std::vector<std::filesystem::path> rinominati_;
  std::vector<std::filesystem::path> preparati_;
  bool guastato_ = false;
};

}  // namespace scenario::prova
