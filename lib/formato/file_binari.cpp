#include "formato/file_binari.hpp"

#include <stdexcept>
#include <vector>

#include "formato/campi_record.hpp"
#include "formato/flusso_le.hpp"

namespace scenario {

namespace {

// The value's width, from the element's declared shape, says how it is written.
void scrivi_elemento(flusso_le& f, tipo_elemento tipo, double valore) {
  f.integer(static_cast<int16_t>(tipo));
  switch (dimensione_elemento(tipo) - larghezza_etichetta) {
    case 0: break;
    // integer rows only ever hold the 16-bit seeds, so the cast is exact
    case 2: f.integer(static_cast<int16_t>(valore)); break;
    default: f.doppio(valore); break;
  }
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
    totale += dimensione_record(campi_voce, v);
  }
  flusso_le f(totale);
  for (const voce_tabella& v : m.tabella) scrivi_record(f, campi_voce, v);
  return f.prendi();
}

std::string serializza_percorso(const modello& m) {
  flusso_le f(m.celle.size() * dimensione_fissa(campi_cella));
  for (const cella& c : m.celle) scrivi_record(f, campi_cella, c);
  return f.prendi();
}

void scrivi_file_binari(const modello& m, sistema_file& fs, const nomi_file& nomi) {
  const std::string linea = m.scrivi_linea != 0 ? serializza_linea(m) : std::string();
  const std::string scenario = serializza_scenario(m);
  const std::string percorso = serializza_percorso(m);
  std::vector<file_nuovo> insieme;
  if (m.scrivi_linea != 0) insieme.push_back({nomi.file_linea, linea});
  insieme.push_back({nomi.file_scenario, scenario});
  insieme.push_back({nomi.file_percorso, percorso});
  // the simulator loads the three as one scenario: never a mix of two runs
  sostituisci_insieme(fs, insieme);
}

}  // namespace scenario
