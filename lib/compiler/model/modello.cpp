#include "compiler/model/modello.hpp"

#include "compiler/model/codici.hpp"
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

void segna_errore(modello& m, diagnostico d) {
  if (d.codice) {
    m.codice_errore = *d.codice;
    if (d.testo.empty()) d.testo = significato_codice(*d.codice);
  }
  if (d.testo.empty()) d.testo = "unknown status code";
  if (d.posizione) m.posizione_errore = *d.posizione;
  if (m.diagnostici) m.diagnostici->ricevi(std::move(d));
}

void segna_errore(modello& m, int32_t codice, std::string dettaglio) {
  diagnostico d;
  d.codice = codice;
  d.testo = std::move(dettaglio);
  segna_errore(m, std::move(d));
}

void segna_errore(modello& m, int32_t codice, int32_t posizione, std::string dettaglio) {
  diagnostico d;
  d.codice = codice;
  d.posizione = posizione;
  d.testo = std::move(dettaglio);
  segna_errore(m, std::move(d));
}

void segna_posizione(modello& m, int32_t posizione) { m.posizione_errore = posizione; }

void segna_avviso(modello& m, luogo dove, std::string testo, std::vector<correlato> correlati,
                  std::optional<int32_t> posizione) {
  if (!m.diagnostici) return;
  diagnostico d;
  d.tipo = gravita::avviso;
  d.posizione = posizione;
  d.dove = std::move(dove);
  d.testo = std::move(testo);
  d.correlati = std::move(correlati);
  m.diagnostici->ricevi(std::move(d));
}

const char* nome_tipo_cella(uint8_t tipo) {
  switch (tipo) {
    case tipo_cella::segnale: return "a signal";
    case tipo_cella::fine_rallentamento: return "a slowdown end";
    case tipo_cella::inizio_rallentamento: return "a slowdown start";
    case tipo_cella::avviso_rallentamento: return "a slowdown warning point";
    case tipo_cella::prima_avviso: return "a cell before a slowdown warning point";
    case tipo_cella::indicatori_v_max: return "speed-indicator boards";
    case tipo_cella::stazione: return "a station mark";
    case tipo_cella::abbattimento: return "a speed-reduction point";
    case tipo_cella::abbattimento_nullo: return "an abbattimento entry";
    case tipo_cella::cartello: return "a location sign board";
    default: return "a feature";
  }
}

void segna_occupata(modello& m, int32_t codice, std::optional<int32_t> posizione, const std::string& cosa, int64_t c) {
  const uint8_t tipo = m.cel(c).tipo;
  diagnostico d;
  d.codice = codice;
  d.posizione = posizione;
  d.testo = cosa + "cell " + std::to_string(c) + " is already taken by " + nome_tipo_cella(tipo) + " (type " +
            std::to_string(tipo) + ")";
  for (auto o = m.origini_treno.rbegin(); o != m.origini_treno.rend(); ++o) {
    if (o->cella != c) continue;
    d.correlati.push_back({o->dove, std::string("the entry that put ") + nome_tipo_cella(tipo) + " in cell " +
                                        std::to_string(c)});
    break;
  }
  segna_errore(m, std::move(d));
}

luogo luogo_in(sorgente file, int32_t riga, int32_t colonna, std::string parola, int32_t colonna_fine) {
  luogo l;
  l.regione.file = file;
  l.regione.inizio = punto_testo{riga, riga > 0 ? colonna : 0};
  l.regione.fine = l.regione.inizio;
  if (riga > 0 && colonna > 0 && colonna_fine > colonna) l.regione.fine.colonna = colonna_fine;
  l.parola = std::move(parola);
  return l;
}

}  // namespace scenario
