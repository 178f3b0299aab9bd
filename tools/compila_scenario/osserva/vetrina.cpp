#include "tools/compila_scenario/osserva/vetrina.hpp"

namespace scenario::osserva {

uint64_t vetrina::pubblica(std::string pagina) {
  auto nuova = std::make_shared<const std::string>(std::move(pagina));
  uint64_t v = 0;
  {
    const std::lock_guard<std::mutex> l(m_);
    p_.pagina = std::move(nuova);
    v = ++p_.versione;
  }
  cv_.notify_all();
  return v;
}

pubblicazione vetrina::attuale() const {
  const std::lock_guard<std::mutex> l(m_);
  return p_;
}

std::optional<uint64_t> vetrina::attendi_dopo(uint64_t vista, std::chrono::milliseconds attesa) {
  std::unique_lock<std::mutex> l(m_);
  cv_.wait_for(l, attesa, [&] { return chiusa_ || p_.versione > vista; });
  if (chiusa_) return std::nullopt;
  return p_.versione;
}

void vetrina::chiudi() {
  {
    const std::lock_guard<std::mutex> l(m_);
    chiusa_ = true;
  }
  cv_.notify_all();
}

}  // namespace scenario::osserva
