#include "compiler/model/codici.hpp"

#include <algorithm>

namespace scenario {

namespace {

constexpr bool registro_coerente() {
  for (std::size_t i = 0; i < registro.size(); ++i) {
    if (registro[i].significato.empty() || registro[i].nome.empty()) return false;
    for (std::size_t j = i + 1; j < registro.size(); ++j) {
      if (registro[i].codice == registro[j].codice || registro[i].significato == registro[j].significato) return false;
    }
  }
  return true;
}
static_assert(registro_coerente(), "every status code once, each with a meaning of its own");

}  // namespace

std::span<const voce_codice> registro_codici() { return registro; }

const voce_codice* cerca_codice(int32_t codice) {
  const auto it = std::find_if(registro.begin(), registro.end(), [&](const voce_codice& v) { return v.codice == codice; });
  return it == registro.end() ? nullptr : &*it;
}

std::string_view significato_codice(int32_t codice) {
  const voce_codice* v = cerca_codice(codice);
  return v == nullptr ? std::string_view{} : v->significato;
}

std::string_view nome_ambito(ambito_codice ambito) {
  switch (ambito) {
    case ambito_codice::nessuno: return "none";
    case ambito_codice::linea: return "line description";
    case ambito_codice::treno: return "train description";
    case ambito_codice::descrizioni: return "line or train description";
    case ambito_codice::finitura: return "finishing pass";
  }
  return {};
}

std::string riga_tabella_codice(const voce_codice& v) {
  std::string r = "| " + std::to_string(v.codice) + " | ";
  r += v.significato;
  if (!v.nota.empty()) {
    r += ' ';
    r += v.nota;
  }
  return r + " |";
}

}  // namespace scenario
