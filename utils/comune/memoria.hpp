#pragma once
// A file system in memory, so fuzzing never touches the disk.
#include <map>
#include <string>

#include "io/errore_io.hpp"
#include "io/sistema_file.hpp"

namespace scenario::fuzz {

class sistema_file_memoria final : public sistema_file {
 public:
  bool esiste(const std::filesystem::path& f) override { return file_.count(f.generic_string()) != 0; }
  std::string leggi(const std::filesystem::path& f) override {
    const auto it = file_.find(f.generic_string());
    if (it == file_.end()) throw errore_io(f.generic_string(), "No such file or directory");
    return it->second;
  }
  // Puts a file in place directly.
  void scrivi(const std::filesystem::path& f, std::string_view c) { file_[f.generic_string()] = c; }
  bool crea_nuovo(const std::filesystem::path& f, std::string_view c, const std::filesystem::path&, bool) override {
    return file_.emplace(f.generic_string(), std::string(c)).second;
  }
  void rinomina(const std::filesystem::path& da, const std::filesystem::path& a, bool) override {
    std::string c = leggi(da);
    file_.erase(da.generic_string());
    file_[a.generic_string()] = std::move(c);
  }
  void elimina(const std::filesystem::path& f) override {
    if (file_.erase(f.generic_string()) == 0) throw errore_io(f.generic_string(), "No such file or directory");
  }
  void sincronizza_cartella(const std::filesystem::path&) override {}
  std::unique_ptr<blocco_cartella> blocca(const std::filesystem::path&, std::chrono::milliseconds) override {
    return std::make_unique<blocco_cartella>();
  }
  std::size_t numero_file() const { return file_.size(); }

 private:
  std::map<std::string, std::string> file_;
};

}  // namespace scenario::fuzz
