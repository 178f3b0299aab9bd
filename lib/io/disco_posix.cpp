// The disk's writing primitives on POSIX systems.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "io/errore_io.hpp"
#include "io/disco_comune.hpp"
#include "io/memoria_azzerata.hpp"
#include "io/sistema_file.hpp"

namespace scenario {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fallisci(const fs::path& file, int numero) {
  throw errore_io(testo_percorso(file), std::error_code(numero, std::generic_category()).message());
}

void scrivi_tutto(int fd, std::string_view contenuto) {
  while (!contenuto.empty()) {
    const ssize_t n = ::write(fd, contenuto.data(), contenuto.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category());
    }
    contenuto.remove_prefix(static_cast<std::size_t>(n));
  }
}

// How much of a new file is written before its writeback is started, and the
// piece a content in pieces is produced into: small enough to stay in the cache.
constexpr std::size_t passo_scrittura = std::size_t{4} << 20;
constexpr std::size_t dimensione_pezzo = std::size_t{256} << 10;

// Starts the writeback of bytes da..fino, without waiting: the disk works
// while the rest is produced, and a later flush has less to wait for. A hint
// only, where there is none.
void avvia_scrittura(int fd, std::size_t da, std::size_t fino) {
#ifdef SYNC_FILE_RANGE_WRITE
  ::sync_file_range(fd, static_cast<off_t>(da), static_cast<off_t>(fino - da), SYNC_FILE_RANGE_WRITE);
#else
  (void)fd, (void)da, (void)fino;
#endif
}

// The whole content, `intero` or the pieces; the writeback of every finished
// stretch is started on the way when `avvia`.
void scrivi_contenuto(int fd, std::string_view intero, contenuto_a_pezzi* pezzi, bool avvia) {
  std::size_t scritti = 0, avviati = 0;
  const auto dopo = [&](std::size_t n) {
    scritti += n;
    if (avvia && scritti - avviati >= passo_scrittura) {
      avvia_scrittura(fd, avviati, scritti);
      avviati = scritti;
    }
  };
  if (pezzi == nullptr) {
    scrivi_tutto(fd, intero);
    dopo(intero.size());
  } else {
    std::vector<char> pezzo(dimensione_pezzo);
    pezzi->ricomincia();
    for (std::size_t n; (n = pezzi->prossimi(pezzo)) != 0; dopo(n)) scrivi_tutto(fd, {pezzo.data(), n});
  }
  if (avvia && scritti > avviati) avvia_scrittura(fd, avviati, scritti);
}

// The lock that tells another run's cleanup this writer is alive, on a second
// descriptor kept until the rename: closing the first one then still reports
// a late write error before the rename. -1 when the file system cannot lock:
// the file goes unprotected, and a cleanup there cannot lock it either, so
// leaves it. Throws std::system_error when no descriptor is left.
int blocca_nuovo(int fd) {
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) return -1;
  }
  const int copia = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copia < 0) throw std::system_error(errno, std::generic_category());
  return copia;
}

// Whether `file` still names the file open on `fd`: a cleanup that held the
// lock first may have removed it.
bool ancora_qui(int fd, const fs::path& file) {
  struct stat aperto {}, nome {};
  return ::fstat(fd, &aperto) == 0 && ::lstat(file.c_str(), &nome) == 0 && aperto.st_dev == nome.st_dev &&
         aperto.st_ino == nome.st_ino;
}

class blocco_posix final : public blocco_cartella {
 public:
  explicit blocco_posix(int fd) : fd_(fd) {}
  ~blocco_posix() override { ::close(fd_); }  // closing releases the lock
  blocco_posix(const blocco_posix&) = delete;
  blocco_posix& operator=(const blocco_posix&) = delete;

 private:
  int fd_;
};

}  // namespace

bool sistema_file_disco::crea_nuovo(const fs::path& file, std::string_view contenuto, const fs::path& permessi_di,
                                    bool durevole) {
  return crea(file, contenuto, nullptr, permessi_di, durevole);
}

bool sistema_file_disco::crea_nuovo_a_pezzi(const fs::path& file, contenuto_a_pezzi& pezzi,
                                            const fs::path& permessi_di, bool durevole) {
  return crea(file, {}, &pezzi, permessi_di, durevole);
}

bool sistema_file_disco::crea(const fs::path& file, std::string_view intero, contenuto_a_pezzi* pezzi,
                              const fs::path& permessi_di, bool durevole) {
  bloccati_.reserve(bloccati_.size() + 1);  // the lock is never lost to a failed allocation
  in_attesa_.reserve(in_attesa_.size() + 1);
  const bool flush = durevole && sincronizza_;
  // O_EXCL never opens an existing name, a link included
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    fallisci(file, errno);
  }
  int blocco = -1;
  int numero = 0;
  try {
    blocco = blocca_nuovo(fd);
    if (!ancora_qui(fd, file)) {
      // a cleanup took the name before our lock: it is not ours to touch, draw another
      ::close(fd);
      if (blocco >= 0) ::close(blocco);
      return false;
    }
    scrivi_contenuto(fd, intero, pezzi, flush);
    struct stat vecchio {};
    if (::lstat(permessi_di.c_str(), &vecchio) == 0 && S_ISREG(vecchio.st_mode) &&
        ::fchmod(fd, vecchio.st_mode & 0777) != 0) {
      numero = errno;
    }
  } catch (const std::system_error& e) {
    numero = e.code().value();
  } catch (...) {
    // a content that fails to produce itself leaves no half-written file
    ::close(fd);
    ::unlink(file.c_str());
    if (blocco >= 0) ::close(blocco);
    throw;
  }
  // flushing, the descriptor stays open until the wait, which reports late errors
  if (!flush || numero != 0) {
    if (::close(fd) != 0 && numero == 0) numero = errno;
  }
  if (numero != 0) {
    ::unlink(file.c_str());
    if (blocco >= 0) ::close(blocco);
    fallisci(file, numero);
  }
  if (flush) in_attesa_.emplace_back(file, fd);
  if (blocco >= 0) bloccati_.emplace_back(file, blocco);
  return true;
}

void sistema_file_disco::completa_in_attesa() {
  while (!in_attesa_.empty()) {
    const auto [file, fd] = in_attesa_.front();
    in_attesa_.erase(in_attesa_.begin());
    int numero = ::fdatasync(fd) != 0 ? errno : 0;
    if (::close(fd) != 0 && numero == 0) numero = errno;
    if (numero != 0) {
      ::unlink(file.c_str());
      rilascia(file);
      fallisci(file, numero);
    }
  }
}

void sistema_file_disco::rinomina(const fs::path& da, const fs::path& a, bool) {
  // nothing is renamed into place before it is on the disk
  completa_in_attesa();
  if (::rename(da.c_str(), a.c_str()) == 0) {
    // the rename kept the inode: the lock held it to the end, now on the final file
    rilascia(da);
    return;
  }
  const int numero = errno;
  struct stat s {};
  // the source gone is the source's fault, not the target's
  if (numero == ENOENT && ::lstat(da.c_str(), &s) != 0) fallisci(da, numero);
  fallisci(a, numero);
}

void sistema_file_disco::sincronizza_cartella(const fs::path& cartella) {
  if (!sincronizza_) return;
  const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) fallisci(cartella, errno);
  int numero = 0;
  // some file systems cannot flush a folder and say so with EINVAL
  if (::fsync(fd) != 0 && errno != EINVAL) numero = errno;
  ::close(fd);
  if (numero != 0) fallisci(cartella, numero);
}

bool elimina_se_abbandonato(const fs::path& file) {
  // O_NONBLOCK: a FIFO planted since the listing cannot stall the run; write
  // access where the file's bits deny reading (it took a target's)
  int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0 && errno == EACCES) fd = ::open(file.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat s {};
  // a live writer holds its lock until the rename: a lock obtained means a dead one
  const bool abbandonato = ::fstat(fd, &s) == 0 && S_ISREG(s.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                           ancora_qui(fd, file);
  const bool eliminato = abbandonato && ::unlink(file.c_str()) == 0;
  ::close(fd);  // after the unlink: a writer waiting for the lock then finds its name gone
  return eliminato;
}

void chiudi_blocco(std::intptr_t blocco) { ::close(static_cast<int>(blocco)); }

std::unique_ptr<blocco_cartella> sistema_file_disco::blocca(const fs::path& cartella,
                                                            std::chrono::milliseconds attesa) {
  // The folder itself is locked: no lock file is left beside the outputs.
  const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) fallisci(cartella, errno);
  auto blocco = std::make_unique<blocco_posix>(fd);
  const auto scadenza = std::chrono::steady_clock::now() + attesa;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int numero = errno;
    if (numero == EINTR) continue;
    if (numero != EWOULDBLOCK) {
      throw errore_io(testo_percorso(cartella),
                      "cannot lock the folder: " + std::error_code(numero, std::generic_category()).message());
    }
    if (std::chrono::steady_clock::now() >= scadenza) {
      throw errore_io(testo_percorso(cartella), messaggio_occupata(attesa));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  pulisci_temporanei(cartella, fs::file_time_type::clock::now());
  return blocco;
}

namespace {

constexpr std::size_t pagina_grande = std::size_t{2} << 20;
// Below this the allocator's own zeroed memory: a few small pages either way.
constexpr std::size_t soglia_pagine_grandi = std::size_t{1} << 20;

std::size_t in_pagine_grandi(std::size_t n) { return (n + pagina_grande - 1) / pagina_grande * pagina_grande; }

}  // namespace

void* memoria_azzerata(std::size_t n) {
  if (n < soglia_pagine_grandi) {
    void* p = std::calloc(n == 0 ? 1 : n, 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
  }
  // one huge page more, to start on a boundary; the rest is given back
  const std::size_t tutto = in_pagine_grandi(n) + pagina_grande;
  void* p = ::mmap(nullptr, tutto, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  const auto inizio = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t allineato = (inizio + pagina_grande - 1) & ~(std::uintptr_t{pagina_grande} - 1);
  const std::uintptr_t fine = allineato + in_pagine_grandi(n);
  if (allineato > inizio) ::munmap(p, allineato - inizio);
  if (inizio + tutto > fine) ::munmap(reinterpret_cast<void*>(fine), inizio + tutto - fine);
#ifdef MADV_HUGEPAGE
  // a hint: where huge pages are off the table still works, in small pages
  ::madvise(reinterpret_cast<void*>(allineato), fine - allineato, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(allineato);
}

void libera_memoria(void* p, std::size_t n) noexcept {
  if (n < soglia_pagine_grandi) {
    std::free(p);
  } else {
    ::munmap(p, in_pagine_grandi(n));
  }
}

}  // namespace scenario

#endif
