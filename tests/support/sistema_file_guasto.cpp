#include "support/sistema_file_guasto.hpp"

#include "io/errore_io.hpp"

namespace scenario::prova {

void sistema_file_guasto::conta(const std::filesystem::path& file) {
  if (++operazioni_ == guasto_al_) {
    guastato_ = true;
    throw errore_io(testo_percorso(file), "No space left on device");
  }
}

bool sistema_file_guasto::crea_nuovo(const std::filesystem::path& file, std::string_view contenuto,
                                     const std::filesystem::path& permessi_di, bool durevole) {
  conta(file);
  const bool creato = vero_.crea_nuovo(file, contenuto, permessi_di, durevole);
  if (creato && !guastato_) preparati_.push_back(permessi_di);  // the target it is for
  return creato;
}

void sistema_file_guasto::rinomina(const std::filesystem::path& da, const std::filesystem::path& a, bool durevole) {
  conta(a);
  vero_.rinomina(da, a, durevole);
  if (!guastato_) rinominati_.push_back(a);
}

void sistema_file_guasto::elimina(const std::filesystem::path& file) {
  conta(file);
  vero_.elimina(file);
}

void sistema_file_guasto::sincronizza_cartella(const std::filesystem::path& cartella) {
  conta(cartella);
  vero_.sincronizza_cartella(cartella);
}

}  // namespace scenario::prova
