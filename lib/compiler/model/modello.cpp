#include "compiler/model/modello.hpp"

#include "compiler/model/errori.hpp"

namespace scenario {

void assegna_nome(voce_tabella& voce, std::string testo) {
  if (testo.size() > lunghezza_massima_nome) {
    throw errore_esecuzione("text longer than " + std::to_string(lunghezza_massima_nome) + " bytes");
  }
  voce.nome = std::move(testo);
}

void tracciato_piano::crea(int32_t estensione) {
  if (estensione < 0) throw errore_esecuzione("negative route extension");
  if (estensione > 100'000'000) throw errore_esecuzione("route extension too large");
  righe_ = estensione + 1;
  // released, not cleared: occupa relies on memory that is still zero
  tipi_ = decltype(tipi_)();
  punti_ = decltype(punti_)();
  esiste_ = true;
}

void tracciato_piano::occupa() {
  const auto n = static_cast<std::size_t>(righe_);
  // zero bytes are vuoto and 0.0: nothing is written until a row is set
  tipi_.resize(n);
  punti_.resize(n);
}

void tracciato_piano::fuori(int64_t riga) const {
  if (!esiste_) throw errore_esecuzione("the track plan does not exist");
  throw errore_esecuzione("track plan row " + std::to_string(riga) + " outside 0.." + std::to_string(ultima_riga()));
}

namespace {
[[noreturn]] void fuori(const char* cosa, int64_t i, int64_t ultimo) {
  throw errore_esecuzione(std::string(cosa) + " " + std::to_string(i) + " outside 0.." + std::to_string(ultimo));
}
}  // namespace

cella& modello::cel(int64_t i) {
  if (celle.empty()) throw errore_esecuzione("the route cells do not exist");
  if (i < 0 || static_cast<uint64_t>(i) >= celle.size()) fuori("cell", i, static_cast<int64_t>(celle.size()) - 1);
  return celle[static_cast<std::size_t>(i)];
}

const cella& modello::cel(int64_t i) const { return const_cast<modello*>(this)->cel(i); }

voce_tabella& modello::voce(int64_t i) {
  if (i < 0 || i >= numero_voci) fuori("record", i, numero_voci - 1);
  return tabella[static_cast<std::size_t>(i)];
}

const voce_tabella& modello::voce(int64_t i) const { return const_cast<modello*>(this)->voce(i); }

void modello::crea_celle(int64_t ultima) {
  if (ultima < 0 || ultima > 100'000'000) throw errore_esecuzione("route cells 0.." + std::to_string(ultima));
  celle.assign(static_cast<std::size_t>(ultima) + 1, cella{});
}

void segna_errore(modello& m, int32_t codice, std::string dettaglio) {
  m.codice_errore = codice;
  m.segnalazioni.push_back(segnalazione{codice, std::nullopt, m.luogo_corrente, std::move(dettaglio), std::nullopt});
}

void segna_posizione(modello& m, int32_t posizione) {
  m.posizione_errore = posizione;
  if (!m.segnalazioni.empty()) m.segnalazioni.back().posizione = posizione;
}

void segna_errore(modello& m, int32_t codice, int32_t posizione, std::string dettaglio) {
  segna_errore(m, codice, std::move(dettaglio));
  segna_posizione(m, posizione);
}

}  // namespace scenario
