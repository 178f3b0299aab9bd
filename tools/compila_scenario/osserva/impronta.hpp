#pragma once
// What tells that a description file changed, read without opening it for
// reading: saved in place (size, times) or replaced by a rename (identity).
#include <cstdint>
#include <filesystem>

namespace scenario::osserva {

struct impronta_file {
  bool presente = false;
  uint64_t dimensione = 0;
  int64_t modifica = 0;   // last write, in the platform's own units
  int64_t cambio = 0;     // last change of the file's record, where the platform keeps one
  uint64_t identita = 0;  // inode or file index, with its volume
  bool operator==(const impronta_file&) const = default;
};

// Platform code: impronta_posix.cpp, impronta_win32.cpp. A file that cannot be
// looked at counts as absent.
impronta_file leggi_impronta(const std::filesystem::path& file);

}  // namespace scenario::osserva
