#include "io/sistema_file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "io/errore_io.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

namespace scenario {

namespace fs = std::filesystem;

std::string testo_percorso(const fs::path& p) {
  const auto u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

namespace {

std::string motivo_errno(int numero) {
  return std::error_code(numero, std::generic_category()).message();
}

std::FILE* apri(const fs::path& file, bool scrittura) {
#ifdef _WIN32
  return _wfopen(file.c_str(), scrittura ? L"wb" : L"rb");
#else
  return std::fopen(file.c_str(), scrittura ? "wb" : "rb");
#endif
}

}  // namespace

bool sistema_file_disco::esiste(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec);
}

std::string sistema_file_disco::leggi(const fs::path& file) {
  errno = 0;
  std::FILE* f = apri(file, false);
  if (f == nullptr) throw errore_io(testo_percorso(file), motivo_errno(errno != 0 ? errno : ENOENT));
  std::string contenuto;
  char blocco[1 << 16];
  for (;;) {
    const std::size_t letti = std::fread(blocco, 1, sizeof blocco, f);
    contenuto.append(blocco, letti);
    if (letti < sizeof blocco) break;
  }
  const bool guasto = std::ferror(f) != 0;
  const int numero = errno;
  std::fclose(f);
  if (guasto) throw errore_io(testo_percorso(file), motivo_errno(numero != 0 ? numero : EIO));
  return contenuto;
}

void sistema_file_disco::scrivi(const fs::path& file, std::string_view contenuto) {
  errno = 0;
  std::FILE* f = apri(file, true);
  if (f == nullptr) throw errore_io(testo_percorso(file), motivo_errno(errno != 0 ? errno : EACCES));
  const std::size_t scritti = std::fwrite(contenuto.data(), 1, contenuto.size(), f);
  int numero = errno;
  bool guasto = scritti != contenuto.size() || std::fflush(f) != 0;
  if (guasto && numero == 0) numero = errno;
  if (std::fclose(f) != 0 && !guasto) {
    guasto = true;
    numero = errno;
  }
  if (guasto) throw errore_io(testo_percorso(file), motivo_errno(numero != 0 ? numero : EIO));
}

void sistema_file_disco::rinomina(const fs::path& da, const fs::path& a) {
#ifdef _WIN32
  if (!MoveFileExW(da.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const std::error_code ec(static_cast<int>(GetLastError()), std::system_category());
    throw errore_io(testo_percorso(a), ec.message());
  }
#else
  std::error_code ec;
  fs::rename(da, a, ec);
  if (ec) throw errore_io(testo_percorso(a), ec.message());
#endif
}

void sistema_file_disco::elimina(const fs::path& file) {
  std::error_code ec;
  if (!fs::remove(file, ec) || ec) {
    throw errore_io(testo_percorso(file), ec ? ec.message() : motivo_errno(ENOENT));
  }
}

fs::path nome_temporaneo(const fs::path& destinazione) {
  fs::path temporaneo = destinazione;
  temporaneo += ".tmp";
  return temporaneo;
}

void sostituisci_file(sistema_file& fs, const fs::path& destinazione, std::string_view contenuto) {
  const fs::path temporaneo = nome_temporaneo(destinazione);
  try {
    fs.scrivi(temporaneo, contenuto);
    fs.rinomina(temporaneo, destinazione);
  } catch (const errore_io&) {
    try {
      if (fs.esiste(temporaneo)) fs.elimina(temporaneo);
    } catch (const errore_io&) {
      // the first failure is the one worth reporting
    }
    throw;
  }
}

void elimina_se_esiste(sistema_file& fs, const fs::path& file) {
  if (fs.esiste(file)) fs.elimina(file);
}

}  // namespace scenario
