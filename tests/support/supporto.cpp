#include "support/supporto.hpp"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <cctype>

#include "compiler/model/codici.hpp"

#include "compiler/model/errori.hpp"
#include "io/errore_io.hpp"

namespace scenario::prova {

namespace {
std::string chiave(const std::filesystem::path& p) { return p.generic_string(); }
}  // namespace

bool sistema_file_memoria::esiste(const std::filesystem::path& f) { return file.count(chiave(f)) != 0; }

std::string sistema_file_memoria::leggi(const std::filesystem::path& f) {
  const auto it = file.find(chiave(f));
  if (it == file.end()) throw errore_io(chiave(f), "No such file or directory");
  return it->second;
}

void sistema_file_memoria::scrivi(const std::filesystem::path& f, std::string_view contenuto) {
  file[chiave(f)] = std::string(contenuto);
}

bool sistema_file_memoria::crea_nuovo(const std::filesystem::path& f, std::string_view contenuto,
                                      const std::filesystem::path&, bool) {
  return file.emplace(chiave(f), std::string(contenuto)).second;
}

void sistema_file_memoria::rinomina(const std::filesystem::path& da, const std::filesystem::path& a, bool) {
  const auto it = file.find(chiave(da));
  if (it == file.end()) throw errore_io(chiave(da), "No such file or directory");
  std::string contenuto = std::move(it->second);
  file.erase(it);
  file[chiave(a)] = std::move(contenuto);
}

void sistema_file_memoria::elimina(const std::filesystem::path& f) {
  if (file.erase(chiave(f)) == 0) throw errore_io(chiave(f), "No such file or directory");
}

std::string sorgenti_memoria::leggi_treno() {
  if (!treno) throw errore_esecuzione("file not found: treno-.txt");
  return *treno;
}

std::string righe(std::initializer_list<std::string_view> testo) {
  std::string r;
  for (std::string_view riga : testo) {
    r.append(riga);
    r.append("\r\n");
  }
  return r;
}

cartella_temporanea::cartella_temporanea() {
  std::random_device caso;
  for (;;) {
    percorso_ = std::filesystem::temp_directory_path() / ("scenario_prova_" + std::to_string(caso()));
    if (std::filesystem::create_directory(percorso_)) return;
  }
}

cartella_temporanea::~cartella_temporanea() {
  std::error_code ec;
  // a test may leave the folder read-only
  std::filesystem::permissions(percorso_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(percorso_, ec);
}

std::string leggi_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void scrivi_file(const std::filesystem::path& file, std::string_view contenuto) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
}

std::vector<std::string> righe_tabella_codici(const std::filesystem::path& file) {
  std::ifstream f(file, std::ios::binary);
  std::vector<std::string> righe;
  bool sezione = false;
  for (std::string r; std::getline(f, r);) {
    if (!r.empty() && r.back() == '\r') r.pop_back();
    if (r.starts_with("## ")) sezione = r == "## Status codes";
    if (sezione && r.size() > 2 && r.starts_with("| ") && std::isdigit(static_cast<unsigned char>(r[2])) != 0) {
      righe.push_back(r);
    }
  }
  return righe;
}

std::vector<std::string> righe_attese_codici() {
  std::vector<std::string> attese;
  for (const voce_codice& v : registro_codici()) attese.push_back(riga_tabella_codice(v));
  return attese;
}

}  // namespace scenario::prova
