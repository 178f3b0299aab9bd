#include "tools/compila_scenario/osserva/sorvegliante.hpp"

namespace scenario::osserva {

sorvegliante::sorvegliante(std::vector<std::filesystem::path> file, lettore leggi, std::chrono::milliseconds quiete)
    : file_(std::move(file)), leggi_(std::move(leggi)), quiete_(quiete) {
  compilate_ = leggi_tutte();
  ultime_ = compilate_;
}

std::vector<impronta_file> sorvegliante::leggi_tutte() const {
  std::vector<impronta_file> r;
  r.reserve(file_.size());
  for (const auto& f : file_) r.push_back(leggi_(f));
  return r;
}

bool sorvegliante::guarda(orologio::time_point adesso) {
  std::vector<impronta_file> ora = leggi_tutte();
  if (ora != ultime_) {
    ultime_ = std::move(ora);
    da_quando_ = adesso;
    return false;
  }
  if (!da_quando_ || adesso - *da_quando_ < quiete_) return false;
  da_quando_.reset();
  // changed and changed back: nothing to do
  if (ora == compilate_) return false;
  compilate_ = std::move(ora);
  return true;
}

}  // namespace scenario::osserva
