#include "formato/file_binari.hpp"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <vector>

#include "formato/campi_record.hpp"
#include "formato/flusso_le.hpp"

namespace scenario {

namespace {

// The widest element: a tag and a double.
constexpr std::size_t elemento_massimo = larghezza_etichetta + 8;

template <class T>
char* metti_le(char* p, T v) {
  const auto u = static_cast<uint64_t>(v);
  for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<char>((u >> (8 * i)) & 0xFFu);
  return p + sizeof(T);
}

// The tag, then the value as wide as the tag says; a tag of no known shape
// carries no value.
char* metti_elemento(char* p, tipo_elemento tipo, double valore) {
  p = metti_le(p, static_cast<uint16_t>(tipo));
  switch (tipo) {
    case tipo_elemento::doppio: return metti_le(p, std::bit_cast<uint64_t>(valore));
    // integer rows only ever hold the 16-bit seeds, so the cast is exact
    case tipo_elemento::intero: return metti_le(p, static_cast<uint16_t>(static_cast<int16_t>(valore)));
    default: return p;
  }
}

// the shapes metti_elemento writes are the table's
static_assert(forme_elemento[0].tipo == tipo_elemento::vuoto && forme_elemento[0].larghezza_valore == 0);
static_assert(forme_elemento[1].tipo == tipo_elemento::intero && forme_elemento[1].larghezza_valore == 2);
static_assert(forme_elemento[2].tipo == tipo_elemento::doppio && forme_elemento[2].larghezza_valore == 8);

// Rows riga..fino-1 of one component; one loop per component, no test inside.
template <bool y>
char* righe(char* p, const tracciato_piano& t, int32_t riga, int32_t fino) {
  for (; riga < fino; ++riga) p = metti_elemento(p, t.tipo(riga), y ? t.y(riga) : t.x(riga));
  return p;
}

}  // namespace

std::size_t pezzi_linea::prossimi(std::span<char> spazio) {
  if (spazio.size() < elemento_massimo) throw std::logic_error("line file piece smaller than one element");
  char* p = spazio.data();
  const int32_t righe_totali = t_.esiste() ? t_.ultima_riga() + 1 : 0;
  while (componente_ < 2) {
    // as many rows as surely fit
    const auto liberi = static_cast<std::size_t>(spazio.data() + spazio.size() - p);
    const auto quante = static_cast<int32_t>(
        std::min<std::size_t>(liberi / elemento_massimo, static_cast<std::size_t>(righe_totali - riga_)));
    if (quante == 0 && riga_ < righe_totali) break;
    p = componente_ == 0 ? righe<false>(p, t_, riga_, riga_ + quante) : righe<true>(p, t_, riga_, riga_ + quante);
    riga_ += quante;
    if (riga_ == righe_totali) {
      ++componente_;
      riga_ = 0;
    }
  }
  return static_cast<std::size_t>(p - spazio.data());
}

std::string serializza_linea(const modello& m) {
  pezzi_linea pezzi(m.tracciato);
  std::string linea;
  char blocco[1 << 16];
  for (std::size_t n; (n = pezzi.prossimi(blocco)) != 0;) linea.append(blocco, n);
  return linea;
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
  // the line file goes to the disk as it is serialised: its flush runs while
  // the other two are written
  pezzi_linea linea(m.tracciato);
  const std::string scenario = serializza_scenario(m);
  const std::string percorso = serializza_percorso(m);
  std::vector<file_nuovo> insieme;
  if (m.scrivi_linea != 0) insieme.push_back({nomi.file_linea, {}, &linea});
  insieme.push_back({nomi.file_scenario, scenario});
  insieme.push_back({nomi.file_percorso, percorso});
  // the simulator loads the three as one scenario: never a mix of two runs
  sostituisci_insieme(fs, insieme);
}

}  // namespace scenario
