#include "support/sistema_file_guasto.hpp"

#include "io/errore_io.hpp"

namespace scenario::prova {

void sistema_file_guasto::conta(const std::filesystem::path& file) {
  if (++operazioni_ == guasto_al_) {
    guastato_ = true;
    throw errore_io(testo_percorso(file), "No space left on device");
  }
}

void sistema_file_guasto::scrivi(const std::filesystem::path& file, std::string_view contenuto) {
  conta(file);
  vero_.scrivi(file, contenuto);
}

void sistema_file_guasto::rinomina(const std::filesystem::path& da, const std::filesystem::path& a) {
  conta(a);
  vero_.rinomina(da, a);
}

void sistema_file_guasto::elimina(const std::filesystem::path& file) {
  conta(file);
  vero_.elimina(file);
}

}  // namespace scenario::prova
