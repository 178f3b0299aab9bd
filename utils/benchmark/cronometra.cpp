// Runs one program as a whole process in a given folder and prints, on one
// line, its wall time and CPU time in nanoseconds and its peak memory in KiB:
//   NS_TOTALI NS_UTENTE NS_SISTEMA KIB_PICCO
// The program's own output goes to /dev/null; a failed run exits 1.
// Usage: cronometra CARTELLA PROGRAMMA [ARGOMENTI...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {

long long nanosecondi(const timeval& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_usec * 1000LL; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: cronometra CARTELLA PROGRAMMA [ARGOMENTI...]\n");
    return 64;
  }
  const auto t0 = std::chrono::steady_clock::now();
  const pid_t figlio = ::fork();
  if (figlio < 0) return 1;
  if (figlio == 0) {
    const int nulla = ::open("/dev/null", O_WRONLY);
    if (nulla < 0 || ::dup2(nulla, 1) < 0 || ::chdir(argv[1]) != 0) _exit(127);
    ::execv(argv[2], argv + 2);
    _exit(127);
  }
  int stato = 0;
  rusage uso{};
  if (::wait4(figlio, &stato, 0, &uso) != figlio) return 1;
  const auto t1 = std::chrono::steady_clock::now();
  if (!WIFEXITED(stato) || WEXITSTATUS(stato) != 0) {
    std::fprintf(stderr, "cronometra: %s ended with status %d\n", argv[2], WIFEXITED(stato) ? WEXITSTATUS(stato) : -1);
    return 1;
  }
  std::printf("%lld %lld %lld %ld\n", static_cast<long long>(std::chrono::nanoseconds(t1 - t0).count()),
              nanosecondi(uso.ru_utime), nanosecondi(uso.ru_stime), uso.ru_maxrss);
  return 0;
}
