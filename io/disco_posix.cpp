// The disk's writing primitives on POSIX systems.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  // O_EXCL never opens an existing name, a link included
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    fallisci(file, errno);
  }
  int numero = 0;
  try {
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
    fallisci(file, numero);
  }
  return true;
}

void sistema_file_disco::rinomina(const fs::path& da, const fs::path& a, bool) {
  if (::rename(da.c_str(), a.c_str()) == 0) return;
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
