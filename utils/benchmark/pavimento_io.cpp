// The durable I/O floor of one run, as a process of its own: exactly the
// run's file operations on bytes already in memory (mapped from a folder
// holding a run's files), with plain system calls and nothing computed, one
// after another, each flush right after its write.
//   genera:  lock the folder; five text files through temporaries, the three
//            crew documents flushed, the two descriptions not; both read back
//            and deleted; the three binary files as one flushed set; the folder.
//   compila: lock the folder; the two descriptions read from SORGENTE; the
//            three binary files as one flushed set; the folder.
// Writes into the current folder.
// Usage: pavimento_io genera|compila SORGENTE LINEA TRENO
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

void verifica(bool ok, const std::string& cosa) {
  if (!ok) throw std::runtime_error(cosa + ": " + std::strerror(errno));
}

// The whole file, mapped and faulted in: the floor copies no byte of its own.
std::string_view mappa(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  verifica(fd >= 0, file);
  struct stat s {};
  verifica(::fstat(fd, &s) == 0, file);
  const auto n = static_cast<std::size_t>(s.st_size);
  void* p = n == 0 ? nullptr : ::mmap(nullptr, n, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  verifica(p != MAP_FAILED, file);
  ::close(fd);
  return {static_cast<const char*>(p), n};
}

void scrivi_tutto(int fd, std::string_view c, const std::string& file) {
  while (!c.empty()) {
    const ssize_t n = ::write(fd, c.data(), c.size());
    verifica(n > 0, file);
    c.remove_prefix(static_cast<std::size_t>(n));
  }
}

// A new temporary holding `c`, locked as the program locks its own; its name.
std::string temporaneo(std::string_view c, bool flush, std::vector<int>& blocchi) {
  static int contatore = 0;
  const std::string nome = ".scenario-" + std::to_string(::getpid()) + "-" + std::to_string(++contatore) + ".tmp";
  const int fd = ::open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  verifica(fd >= 0, nome);
  verifica(::flock(fd, LOCK_EX) == 0, nome);
  blocchi.push_back(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
  scrivi_tutto(fd, c, nome);
  if (flush) verifica(::fdatasync(fd) == 0, nome);
  verifica(::close(fd) == 0, nome);
  return nome;
}

std::size_t leggi_ed_elimina(const std::string& file, bool elimina) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  verifica(fd >= 0, file);
  std::string contenuto;
  char blocco[1 << 16];
  for (ssize_t n; (n = ::read(fd, blocco, sizeof blocco)) > 0;) contenuto.append(blocco, static_cast<std::size_t>(n));
  ::close(fd);
  if (elimina) verifica(::unlink(file.c_str()) == 0, file);
  return contenuto.size();
}

struct uscita {
  std::string nome;
  std::string_view contenuto;
};

// All written and flushed first, then renamed back to back, then the folder.
void insieme(const std::vector<uscita>& u, std::vector<int>& blocchi) {
  std::vector<std::string> temporanei;
  for (const uscita& f : u) temporanei.push_back(temporaneo(f.contenuto, true, blocchi));
  for (std::size_t i = 0; i < u.size(); ++i) verifica(::rename(temporanei[i].c_str(), u[i].nome.c_str()) == 0, u[i].nome);
  const int cartella = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  verifica(cartella >= 0 && ::fsync(cartella) == 0, "folder");
  ::close(cartella);
}

void testo(const std::string& nome, std::string_view c, bool flush, std::vector<int>& blocchi) {
  const std::string t = temporaneo(c, flush, blocchi);
  verifica(::rename(t.c_str(), nome.c_str()) == 0, nome);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || (std::strcmp(argv[1], "genera") != 0 && std::strcmp(argv[1], "compila") != 0)) {
    std::fprintf(stderr, "usage: pavimento_io genera|compila SORGENTE LINEA TRENO\n");
    return 64;
  }
  const bool genera = std::strcmp(argv[1], "genera") == 0;
  const std::string sorgente = std::string(argv[2]) + "/", linea = argv[3], lt = linea + "_" + argv[4];
  const std::string descr_linea = linea + "_linea.txt", descr_treno = lt + "-.txt";
  const std::string documenti[] = {lt + "_note.txt", lt + "_rallentamenti.txt", lt + "_scheda_treno.txt"};
  try {
    const std::vector<uscita> binari = {{linea + "_linea.dat", mappa(sorgente + linea + "_linea.dat")},
                                        {lt + ".sim", mappa(sorgente + lt + ".sim")},
                                        {lt + ".dat", mappa(sorgente + lt + ".dat")}};
    std::vector<int> blocchi;
    const int cartella = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    verifica(cartella >= 0 && ::flock(cartella, LOCK_EX) == 0, "folder lock");
    if (genera) {
      testo(descr_linea, mappa(sorgente + descr_linea), false, blocchi);
      testo(descr_treno, mappa(sorgente + descr_treno), false, blocchi);
      for (const std::string& d : documenti) testo(d, mappa(sorgente + d), true, blocchi);
    }
    const std::string da = genera ? std::string() : sorgente;
    if (leggi_ed_elimina(da + descr_linea, genera) + leggi_ed_elimina(da + descr_treno, genera) == 0) return 1;
    insieme(binari, blocchi);
    for (int b : blocchi) ::close(b);
    ::close(cartella);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pavimento_io: %s\n", e.what());
    return 3;
  }
  return 0;
}
