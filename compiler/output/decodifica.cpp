#include "compiler/output/decodifica.hpp"

#include <vector>

#include "compiler/finishing/codici_gara.hpp"
#include "compiler/output/campi_record.hpp"

namespace scenario {

namespace {

// The longest legal route (1000000 m, 7000 m more of cells) bounds both files:
// anything longer is not a file a compile wrote.
constexpr std::size_t celle_massime = (1'000'000 + 7000) / 50 + 1;
constexpr std::size_t righe_massime = 1'000'000 + 7000 + 1;

bool tipo_noto(uint8_t t) {
  switch (t) {
    case tipo_cella::libera:
    case tipo_cella::segnale:
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento:
    case tipo_cella::avviso_rallentamento:
    case tipo_cella::prima_avviso:
    case tipo_cella::indicatori_v_max:
    case tipo_cella::stazione:
    case tipo_cella::marcatore_montagna:
    case tipo_cella::abbattimento:
    case tipo_cella::abbattimento_nullo:
    case tipo_cella::cartello: return true;
    default: return false;
  }
}

// Runs a read, putting the record's name before the field's in any error.
template <class F>
void nel_record(const std::string& quale, F&& leggi) {
  try {
    leggi();
  } catch (const errore_decodifica& e) {
    throw errore_decodifica(e.file(), e.offset(), quale + " " + e.campo(), e.motivo());
  }
}

}  // namespace

void decodifica_scenario(std::string_view dati, std::string_view nome, modello& m) {
  lettore_le l(dati, nome);
  for (int32_t i = 0; i < numero_voci; ++i) {
    nel_record("record " + std::to_string(i), [&] { leggi_record(l, campi_voce, m.voce(i)); });
  }
  if (!l.finito()) {
    throw l.errore(l.posizione(), "end of file",
                   std::to_string(l.resto()) + " bytes after the last of the " + std::to_string(numero_voci) +
                       " records");
  }
}

void decodifica_percorso(std::string_view dati, std::string_view nome, modello& m) {
  constexpr std::size_t larghezza = dimensione_fissa(campi_cella);
  lettore_le l(dati, nome);
  const std::size_t n = dati.size() / larghezza;
  if (n > celle_massime) {
    throw l.errore(celle_massime * larghezza, "cell " + std::to_string(celle_massime),
                   "more cells than the longest route holds");
  }
  if (n < 2) throw l.errore(dati.size(), "cell 1", "a route holds at least cells 0 and 1");
  m.celle.assign(n, cella{});
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t inizio = l.posizione();
    // whole cells are in the file: reading one cannot run short
    leggi_record(l, campi_cella, m.celle[i]);
    if (!tipo_noto(m.celle[i].tipo)) {
      throw l.errore(inizio, "cell " + std::to_string(i) + " tipo", "no cell has type " + std::to_string(m.celle[i].tipo));
    }
  }
  if (!l.finito()) {
    // the short last cell: reading it names the field it breaks off in
    nel_record("cell " + std::to_string(n), [&] {
      cella c;
      leggi_record(l, campi_cella, c);
    });
  }
  m.ultima_cella = static_cast<int32_t>(n - 1);
}

void decodifica_linea(std::string_view dati, std::string_view nome, modello& m) {
  // One element: its shape from the tag, its value; names are built only for an error.
  const auto elemento = [](lettore_le& l, std::size_t k, double& valore) {
    const std::size_t inizio = l.posizione();
    try {
      const int16_t etichetta = l.integer("tag");
      const forma_elemento* f = forma_di(etichetta);
      if (f == nullptr) throw l.errore(inizio, "tag", "no element is tagged " + std::to_string(etichetta));
      valore = 0;
      if (f->larghezza_valore == 2) valore = l.integer("value");
      if (f->larghezza_valore == 8) valore = l.doppio("value");
      return f->tipo;
    } catch (const errore_decodifica& e) {
      throw errore_decodifica(e.file(), e.offset(), "element " + std::to_string(k) + " " + e.campo(), e.motivo());
    }
  };

  // First the count, which says where the second component starts.
  lettore_le conta(dati, nome);
  std::size_t elementi = 0;
  double scarto = 0;
  while (!conta.finito()) {
    if (elementi >= 2 * righe_massime) {
      throw conta.errore(conta.posizione(), "element " + std::to_string(elementi),
                         "more elements than the longest route holds");
    }
    elemento(conta, elementi++, scarto);
  }
  m.tracciato = tracciato_piano{};
  if (elementi == 0) return;
  if (elementi % 2 != 0) {
    throw conta.errore(dati.size(), "element " + std::to_string(elementi),
                       "an odd number of elements: the second component of a row is missing");
  }
  const std::size_t righe = elementi / 2;
  std::vector<tipo_elemento> tipi(righe);
  std::vector<double> x(righe);
  lettore_le l(dati, nome);
  for (std::size_t r = 0; r < righe; ++r) tipi[r] = elemento(l, r, x[r]);
  m.tracciato.crea(static_cast<int32_t>(righe - 1));
  for (std::size_t r = 0; r < righe; ++r) {
    const std::size_t inizio = l.posizione();
    double y = 0;
    if (elemento(l, righe + r, y) != tipi[r]) {
      throw l.errore(inizio, "element " + std::to_string(righe + r) + " tag",
                     "row " + std::to_string(r) + " has components of two kinds");
    }
    const auto riga = static_cast<int64_t>(r);
    if (tipi[r] == tipo_elemento::intero) {
      m.tracciato.imposta_interi(riga, static_cast<int16_t>(x[r]), static_cast<int16_t>(y));
    } else if (tipi[r] == tipo_elemento::doppio) {
      m.tracciato.imposta_doppi(riga, x[r], y);
    }
  }
}

modello decodifica(const file_compilati& f) {
  modello m;
  decodifica_scenario(f.scenario, f.nome_scenario, m);
  decodifica_percorso(f.percorso, f.nome_percorso, m);
  if (f.linea) decodifica_linea(*f.linea, f.nome_linea, m);
  m.scrivi_linea = f.linea ? 1 : 0;
  m.nome_linea = m.voce(voci::linea).nome;
  m.numero_treno = m.voce(voci::treno).nome;
  m.estensione = m.tracciato.esiste() ? m.tracciato.ultima_riga() : m.ultima_cella * 50;
  return m;
}

bool verifica_codici::formati_giusti() const {
  return formato_scenario == scenario::formato_scenario && formato_percorso == scenario::formato_percorso;
}

verifica_codici verifica(const modello& m) {
  verifica_codici v;
  v.formato_scenario = m.voce(voci::linea).campo_7;
  v.formato_percorso = m.cel(1).valore;
  v.og = m.cel(1).valore2;
  v.st = m.voce(voci::linea).orario;
  // the codes come from the two names alone
  modello nomi;
  nomi.voce(voci::linea).nome = m.voce(voci::linea).nome;
  nomi.voce(voci::treno).nome = m.voce(voci::treno).nome;
  v.og_atteso = codice_gara_og(nomi);
  v.st_atteso = codice_gara_st(nomi);
  return v;
}

}  // namespace scenario
