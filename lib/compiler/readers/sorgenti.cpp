#include "compiler/readers/sorgenti.hpp"

#include "compiler/model/errori.hpp"

namespace scenario {

std::optional<std::string> sorgenti_su_file::leggi_linea() {
  // only a missing file is status 101; one that cannot be read is a disk failure
  if (!fs_.presente(linea_)) return std::nullopt;
  return fs_.leggi(linea_);
}

std::string sorgenti_su_file::leggi_treno() {
  if (!fs_.presente(treno_)) throw errore_esecuzione("file not found: " + testo_percorso(treno_.filename()));
  return fs_.leggi(treno_);
}

void sorgenti_su_file::elimina_linea() {
  if (consuma_) elimina_se_esiste(fs_, linea_);
}

void sorgenti_su_file::elimina_treno() {
  if (consuma_) elimina_se_esiste(fs_, treno_);
}

std::string sorgenti_su_file::nome_linea() const { return testo_percorso(linea_.filename()); }
std::string sorgenti_su_file::nome_treno() const { return testo_percorso(treno_.filename()); }

}  // namespace scenario
