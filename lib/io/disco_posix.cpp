// The disk's writing primitives on POSIX systems.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>
#include <thread>

#include "io/errore_io.hpp"
#include "io/disco_comune.hpp"
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
  bloccati_.reserve(bloccati_.size() + 1);  // the lock is never lost to a failed allocation
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
    scrivi_tutto(fd, contenuto);
    struct stat vecchio {};
    if (::lstat(permessi_di.c_str(), &vecchio) == 0 && S_ISREG(vecchio.st_mode) &&
        ::fchmod(fd, vecchio.st_mode & 0777) != 0) {
      numero = errno;
    }
    if (numero == 0 && durevole && sincronizza_ && ::fdatasync(fd) != 0) numero = errno;
  } catch (const std::system_error& e) {
    numero = e.code().value();
  }
  if (::close(fd) != 0 && numero == 0) numero = errno;
  if (numero != 0) {
    ::unlink(file.c_str());
    if (blocco >= 0) ::close(blocco);
    fallisci(file, numero);
  }
  if (blocco >= 0) bloccati_.emplace_back(file, blocco);
  return true;
}

void sistema_file_disco::rinomina(const fs::path& da, const fs::path& a, bool) {
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

}  // namespace scenario

#endif
