// The disk's writing primitives on Windows.
#ifdef _WIN32

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <system_error>
#include <vector>

#include "io/errore_io.hpp"
#include "io/disco_comune.hpp"
#include "io/memoria_azzerata.hpp"
#include "io/sistema_file.hpp"

namespace scenario {

namespace fs = std::filesystem;

namespace {

// Beside the outputs only while a run holds it: deleted when closed, even
// when the run is killed.
constexpr const wchar_t* nome_blocco = L".scenario.lock";

[[noreturn]] void fallisci(const fs::path& file, DWORD numero) {
  throw errore_io(testo_percorso(file), std::error_code(static_cast<int>(numero), std::system_category()).message());
}

class blocco_win32 final : public blocco_cartella {
 public:
  explicit blocco_win32(HANDLE h) : h_(h) {}
  ~blocco_win32() override { CloseHandle(h_); }
  blocco_win32(const blocco_win32&) = delete;
  blocco_win32& operator=(const blocco_win32&) = delete;

 private:
  HANDLE h_;
};

}  // namespace

namespace {

// The piece a content in pieces is produced into: small enough to stay in the cache.
constexpr std::size_t dimensione_pezzo = std::size_t{256} << 10;

DWORD scrivi_tutto(HANDLE h, std::string_view contenuto) {
  while (!contenuto.empty()) {
    const DWORD parte = contenuto.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(contenuto.size());
    DWORD scritti = 0;
    if (!WriteFile(h, contenuto.data(), parte, &scritti, nullptr)) return GetLastError();
    contenuto.remove_prefix(scritti);
  }
  return 0;
}

// The whole content, `intero` or the pieces; the error code, 0 when written.
DWORD scrivi_contenuto(HANDLE h, std::string_view intero, contenuto_a_pezzi* pezzi) {
  if (pezzi == nullptr) return scrivi_tutto(h, intero);
  std::vector<char> pezzo(dimensione_pezzo);
  pezzi->ricomincia();
  for (std::size_t n; (n = pezzi->prossimi(pezzo)) != 0;) {
    if (const DWORD numero = scrivi_tutto(h, {pezzo.data(), n})) return numero;
  }
  return 0;
}

}  // namespace

bool sistema_file_disco::crea_nuovo(const fs::path& file, std::string_view contenuto, const fs::path& permessi_di,
                                    bool durevole) {
  return crea(file, contenuto, nullptr, permessi_di, durevole);
}

bool sistema_file_disco::crea_nuovo_a_pezzi(const fs::path& file, contenuto_a_pezzi& pezzi,
                                            const fs::path& permessi_di, bool durevole) {
  return crea(file, {}, &pezzi, permessi_di, durevole);
}

// FlushFileBuffers cannot be started and waited for apart: every flush is whole in crea.
void sistema_file_disco::completa_in_attesa() {}

bool sistema_file_disco::crea(const fs::path& file, std::string_view intero, contenuto_a_pezzi* pezzi,
                              const fs::path&, bool durevole) {
  bloccati_.reserve(bloccati_.size() + 1);  // the handle is never lost to a failed allocation
  // CREATE_NEW never opens an existing name, a link included. Kept open until
  // the rename, it makes another run's cleanup (which opens without sharing)
  // leave the file; delete sharing lets this run rename it, read sharing lets
  // readers open the final file in the moment before it is closed.
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD numero = GetLastError();
    if (numero == ERROR_FILE_EXISTS || numero == ERROR_ALREADY_EXISTS) return false;
    fallisci(file, numero);
  }
  DWORD numero = 0;
  try {
    numero = scrivi_contenuto(h, intero, pezzi);
  } catch (...) {
    // a content that fails to produce itself leaves no half-written file
    CloseHandle(h);
    DeleteFileW(file.c_str());
    throw;
  }
  if (numero == 0 && durevole && sincronizza_ && !FlushFileBuffers(h)) numero = GetLastError();
  if (numero != 0) {
    CloseHandle(h);
    DeleteFileW(file.c_str());
    fallisci(file, numero);
  }
  bloccati_.emplace_back(file, reinterpret_cast<std::intptr_t>(h));
  return true;
}

void sistema_file_disco::rinomina(const fs::path& da, const fs::path& a, bool durevole) {
  // write-through: the rename is on the disk when the call returns
  const DWORD modo = MOVEFILE_REPLACE_EXISTING | (durevole && sincronizza_ ? MOVEFILE_WRITE_THROUGH : 0);
  if (MoveFileExW(da.c_str(), a.c_str(), modo)) {
    rilascia(da);  // held to the end of the rename, now on the final file
    return;
  }
  const DWORD numero = GetLastError();
  // the source gone is the source's fault, not the target's
  if (GetFileAttributesW(da.c_str()) == INVALID_FILE_ATTRIBUTES) fallisci(da, numero);
  fallisci(a, numero);
}

void sistema_file_disco::sincronizza_cartella(const fs::path&) {
  // renames are written through: nothing left to flush
}

bool elimina_se_abbandonato(const fs::path& file) {
  // no sharing: a writer still holding its temporary open makes this open fail
  HANDLE h = CreateFileW(file.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  FILE_DISPOSITION_INFO via{TRUE};
  // a link or a folder planted since the listing is left alone
  const bool eliminato = GetFileInformationByHandle(h, &info) &&
                         (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
                         SetFileInformationByHandle(h, FileDispositionInfo, &via, sizeof via);
  CloseHandle(h);
  return eliminato;
}

void chiudi_blocco(std::intptr_t blocco) { CloseHandle(reinterpret_cast<HANDLE>(blocco)); }

std::unique_ptr<blocco_cartella> sistema_file_disco::blocca(const fs::path& cartella,
                                                            std::chrono::milliseconds attesa) {
  const fs::path file = cartella / nome_blocco;
  const auto scadenza = std::chrono::steady_clock::now() + attesa;
  for (;;) {
    // no sharing: a second run cannot open it while the first holds it
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                           nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      auto blocco = std::make_unique<blocco_win32>(h);
      pulisci_temporanei(cartella, fs::file_time_type::clock::now());
      return blocco;
    }
    const DWORD numero = GetLastError();
    // a lock being deleted answers "access denied" for a moment
    const bool occupata = numero == ERROR_SHARING_VIOLATION || numero == ERROR_LOCK_VIOLATION ||
                          (numero == ERROR_ACCESS_DENIED && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!occupata) {
      fallisci(cartella, numero);
    }
    if (std::chrono::steady_clock::now() >= scadenza) throw errore_io(testo_percorso(cartella), messaggio_occupata(attesa));
    Sleep(20);
  }
}

// Zeroed by the allocator; large pages need a privilege a user rarely has.
void* memoria_azzerata(std::size_t n) {
  void* p = std::calloc(n == 0 ? 1 : n, 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void libera_memoria(void* p, std::size_t) noexcept { std::free(p); }

}  // namespace scenario

#endif
