#include "io/orario.hpp"

namespace scenario {

namespace {

// Two digits, leading zero included.
void due_cifre(std::string& r, uint64_t v) {
  r += static_cast<char>('0' + v / 10);
  r += static_cast<char>('0' + v % 10);
}

}  // namespace

std::string ora_del_giorno(int64_t secondi, forma_ore forma) {
  std::string r;
  // in unsigned arithmetic so that the most negative count has a size too
  uint64_t s = static_cast<uint64_t>(secondi);
  if (secondi < 0) {
    r += '-';
    s = ~s + 1;
  }
  const uint64_t ore = s / 3600;
  if (forma == forma_ore::due_cifre && ore < 10) r += '0';
  r += std::to_string(ore);
  r += ':';
  due_cifre(r, s / 60 % 60);
  r += ':';
  due_cifre(r, s % 60);
  return r;
}

}  // namespace scenario
