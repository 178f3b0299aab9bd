#pragma once
// A file system that passes every call to another one and fails at a chosen
// write, rename or delete, counted from 1, as a full disk or a read-only
// folder would.
#include <string>

#include "io/sistema_file.hpp"

namespace scenario::prova {

class sistema_file_guasto : public sistema_file {
 public:
  sistema_file_guasto(sistema_file& vero, int guasto_al) : vero_(vero), guasto_al_(guasto_al) {}

  bool esiste(const std::filesystem::path& file) override { return vero_.esiste(file); }
  std::string leggi(const std::filesystem::path& file) override { return vero_.leggi(file); }
  void scrivi(const std::filesystem::path& file, std::string_view contenuto) override;
  void rinomina(const std::filesystem::path& da, const std::filesystem::path& a) override;
  void elimina(const std::filesystem::path& file) override;

  // Writes, renames and deletes seen so far (the failing one included).
  int operazioni() const { return operazioni_; }
  bool guastato() const { return guastato_; }

 private:
  void conta(const std::filesystem::path& file);
  sistema_file& vero_;
  int guasto_al_;
  int operazioni_ = 0;
  bool guastato_ = false;
};

}  // namespace scenario::prova
