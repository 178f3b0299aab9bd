#include "tools/compila_scenario/osserva/impronta.hpp"

#include <sys/stat.h>

namespace scenario::osserva {

namespace {

int64_t nanosecondi(const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; }

}  // namespace

impronta_file leggi_impronta(const std::filesystem::path& file) {
  struct stat s {};
  impronta_file r;
  if (::stat(file.c_str(), &s) != 0) return r;
  r.presente = true;
  r.dimensione = static_cast<uint64_t>(s.st_size);
  r.modifica = nanosecondi(s.st_mtim);
  r.cambio = nanosecondi(s.st_ctim);
  r.identita = static_cast<uint64_t>(s.st_ino) ^ (static_cast<uint64_t>(s.st_dev) << 48);
  return r;
}

}  // namespace scenario::osserva
