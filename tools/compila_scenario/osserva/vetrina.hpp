#pragma once
// What the live page server shows: the current page and its version. The
// event streams wait here for the next version; closing wakes them all.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace scenario::osserva {

struct pubblicazione {
  uint64_t versione = 0;  // 0: nothing published yet
  std::shared_ptr<const std::string> pagina;
};

class vetrina {
 public:
  // The next version: its number is one past the last.
  uint64_t pubblica(std::string pagina);
  pubblicazione attuale() const;
  // The current version once it is past `vista`, or when `attesa` ran out;
  // nothing once closed.
  std::optional<uint64_t> attendi_dopo(uint64_t vista, std::chrono::milliseconds attesa);
  void chiudi();

 private:
  mutable std::mutex m_;
  std::condition_variable cv_;
  pubblicazione p_;
  bool chiusa_ = false;
};

}  // namespace scenario::osserva
