#include "compiler/output/file_binari.hpp"

#include <stdexcept>

#include "compiler/output/flusso_le.hpp"

namespace scenario {

namespace {

void scrivi_elemento(flusso_le& f, tipo_elemento tipo, double valore) {
  f.integer(static_cast<int16_t>(tipo));
  switch (tipo) {
    case tipo_elemento::vuoto: break;
    // integer rows only ever hold the 16-bit seeds, so the cast is exact
    case tipo_elemento::intero: f.integer(static_cast<int16_t>(valore)); break;
    case tipo_elemento::doppio: f.doppio(valore); break;
  }
}

std::size_t dimensione_elemento(tipo_elemento tipo) {
  switch (tipo) {
    case tipo_elemento::vuoto: return 2;
    case tipo_elemento::intero: return 4;
    case tipo_elemento::doppio: return 10;
  }
  return 2;
}

}  // namespace

std::string serializza_linea(const modello& m) {
  const tracciato_piano& t = m.tracciato;
  if (!t.esiste()) return {};
  std::size_t totale = 0;
  for (int32_t r = 0; r <= t.ultima_riga(); ++r) totale += 2 * dimensione_elemento(t.tipo(r));
  flusso_le f(totale);
  for (int32_t r = 0; r <= t.ultima_riga(); ++r) scrivi_elemento(f, t.tipo(r), t.x(r));
  for (int32_t r = 0; r <= t.ultima_riga(); ++r) scrivi_elemento(f, t.tipo(r), t.y(r));
  return f.prendi();
}

std::string serializza_scenario(const modello& m) {
  std::size_t totale = 0;
  for (const voce_tabella& v : m.tabella) {
    if (v.nome.size() > lunghezza_massima_nome) throw std::length_error("record name longer than 65535 bytes");
    totale += 34 + v.nome.size();
  }
  flusso_le f(totale);
  for (const voce_tabella& v : m.tabella) {
    f.byte(v.tipo);
    f.long_(v.inizio);
    f.long_(v.fine);
    f.long_(v.posizione);
    f.byte(v.campo_4);
    f.stringa(v.nome);
    f.integer(v.campo_7);
    f.integer(v.campo_8);
    f.integer(v.campo_10);
    f.integer(v.campo_11);
    f.integer(v.campo_12);
    f.byte(v.campo_9);
    f.byte(v.sosta);
    f.byte(v.campo_6);
    f.byte(v.campo_5);
    f.long_(v.orario);
  }
  return f.prendi();
}

std::string serializza_percorso(const modello& m) {
  flusso_le f(m.celle.size() * 15);
  for (const cella& c : m.celle) {
    f.byte(c.tipo);
    f.integer(c.valore);
    f.integer(c.valore2);
    f.integer(c.valore3);
    f.integer(c.valore4);
    f.byte(c.tempo);
    f.byte(c.avvicinamento);
    f.byte(c.tipo_montagna);
    f.byte(c.vel_limite);
    f.byte(c.pendenza);
    f.byte(c.aderenza);
  }
  return f.prendi();
}

void scrivi_file_binari(const modello& m, sistema_file& fs, const nomi_file& nomi) {
  if (m.scrivi_linea != 0) sostituisci_file(fs, nomi.file_linea, serializza_linea(m));
  sostituisci_file(fs, nomi.file_scenario, serializza_scenario(m));
  sostituisci_file(fs, nomi.file_percorso, serializza_percorso(m));
}

}  // namespace scenario
