#include "formato/decodifica.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "compiler/finishing/codici_gara.hpp"
#include "compiler/model/misure.hpp"
#include "formato/campi_record.hpp"

namespace scenario {

namespace {

// The longest legal route (1000000 m, 7000 m more of cells) bounds both files:
// anything longer is not a file a compile wrote.
constexpr int32_t lunghezza_massima = 1'000'000;
constexpr int64_t oltre_la_fine = 7000;  // the cells and the track plan reach past the end of the line
constexpr std::size_t celle_massime = (lunghezza_massima + oltre_la_fine) / lunghezza_cella.valore() + 1;
constexpr std::size_t righe_massime = lunghezza_massima + oltre_la_fine + 1;
constexpr std::size_t larghezza_cella = dimensione_fissa(campi_cella);

constexpr std::size_t elemento_massimo() {
  std::size_t n = 0;
  for (const forma_elemento& f : forme_elemento) n = std::max(n, larghezza_etichetta + f.larghezza_valore);
  return n;
}

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

namespace {

std::string n(int64_t v) { return std::to_string(v); }
std::string celle(int64_t v) { return n(v) + (v == 1 ? " cell" : " cells"); }

// The last cell of a route reaching `estensione` metres, rounded as the line reader rounds it.
int64_t ultima_cella_di(int64_t estensione) {
  return cella_di(metri(estensione)).valore();
}

struct misure {
  int64_t celle = 0;
  int64_t righe = 0;
};

// Cells and track plan rows of a route length, as the line reader makes them;
// nothing for a length it refuses: those of an earlier length stay.
std::optional<misure> misure_di(int32_t lunghezza) {
  const int64_t estensione = int64_t{lunghezza} + oltre_la_fine;
  const int64_t ultima = ultima_cella_di(estensione);
  if (lunghezza > lunghezza_massima || ultima < 0) return std::nullopt;
  return misure{ultima + 1, estensione + 1};
}

// Where element k of a well-formed line file starts (only for a message).
std::size_t inizio_elemento(std::string_view dati, int64_t k) {
  lettore_le l(dati, "");
  for (int64_t i = 0; i < k && !l.finito(); ++i) {
    const forma_elemento* f = forma_di(l.integer("tag"));
    for (std::size_t b = 0; f != nullptr && b < f->larghezza_valore; ++b) (void)l.byte("value");
  }
  return l.posizione();
}

void controlla_celle(const modello& m, const file_compilati& f, const misure& attese, int32_t lunghezza) {
  const auto trovate = static_cast<int64_t>(m.celle.size());
  if (trovate == attese.celle) return;
  const auto prima = static_cast<std::size_t>(std::min(trovate, attese.celle));
  throw errore_decodifica(f.nome_percorso, prima * larghezza_cella, "cell " + n(static_cast<int64_t>(prima)),
                          "the scenario file's route length of " + n(lunghezza) + " m gives " + celle(attese.celle) +
                              " (" + n(attese.celle * static_cast<int64_t>(larghezza_cella)) +
                              " bytes); the file holds " + n(trovate) + " (" + n(static_cast<int64_t>(f.percorso.size())) +
                              " bytes)");
}

// The track plan must have from `da` to `a` rows, two elements each; `perche`
// says what gives them.
void controlla_righe(const modello& m, const file_compilati& f, int64_t da, int64_t a, const std::string& perche) {
  const int64_t righe = m.tracciato.esiste() ? int64_t{m.tracciato.ultima_riga()} + 1 : 0;
  if (righe >= da && righe <= a) return;
  const std::string_view dati = *f.linea;
  // short: it ends too soon; long: its first component runs past the last row
  const int64_t k = righe < da ? 2 * righe : a;
  const std::size_t offset = righe < da ? dati.size() : inizio_elemento(dati, a);
  const std::string attese = da == a ? n(da) + " rows, " + n(2 * da) + " elements"
                                     : n(da) + " to " + n(a) + " rows, " + n(2 * da) + " to " + n(2 * a) + " elements";
  // a whole but foreign plan most likely comes from another compile
  const std::string trovate = righe == 0 ? "the file is empty"
                                         : "the file holds " + n(righe) + " rows, " + n(2 * righe) +
                                               " elements (left by another compile? --senza-linea reads without it)";
  throw errore_decodifica(f.nome_linea, offset, "element " + n(k), perche + " " + attese + "; " + trovate);
}

// The files must fit each other as one compile writes them.
void controlla_misure(const modello& m, const file_compilati& f) {
  const int32_t lunghezza = m.voce(voci::percorso).fine;
  if (const std::optional<misure> attese = misure_di(lunghezza)) {
    controlla_celle(m, f, *attese, lunghezza);
    if (f.linea) {
      controlla_righe(m, f, attese->righe, attese->righe, "the scenario file's route length of " + n(lunghezza) + " m gives");
    }
    return;
  }
  if (!f.linea) return;
  // A refused length keeps the cells and rows of an earlier one: they still fit each other.
  const auto ultima = static_cast<int64_t>(m.celle.size()) - 1;
  int64_t da = 0;
  int64_t a = -1;
  const int64_t centro = metri_di(indice_cella(ultima)).valore();
  const int64_t mezza_cella = lunghezza_cella.valore() / 2;
  for (int64_t e = centro + mezza_cella; e >= centro - mezza_cella; --e) {
    if (e < 0 || e + 1 > static_cast<int64_t>(righe_massime) || ultima_cella_di(e) != ultima) continue;
    if (a < 0) a = e + 1;
    da = e + 1;
  }
  controlla_righe(m, f, da, a,
                  "the route file's " + celle(ultima + 1) + " (an earlier length's: the scenario file's " + n(lunghezza) +
                      " m is one the compile refuses) give");
}

}  // namespace

std::size_t byte_massimi(file_compilato quale) {
  switch (quale) {
    case file_compilato::percorso: return celle_massime * larghezza_cella;
    case file_compilato::linea: return 2 * righe_massime * elemento_massimo();
    case file_compilato::scenario: break;
  }
  return numero_voci * (dimensione_fissa(campi_voce) + lunghezza_massima_nome);
}

errore_decodifica troppo_lungo(file_compilato quale, std::string nome, std::uintmax_t dimensione) {
  const std::size_t massimo = byte_massimi(quale);
  const std::string letto = " (the file is " + std::to_string(dimensione) + " bytes; not read)";
  switch (quale) {
    case file_compilato::percorso:
      return errore_decodifica(std::move(nome), massimo, "cell " + std::to_string(celle_massime),
                               "more cells than the longest route holds" + letto);
    case file_compilato::linea:
      return errore_decodifica(std::move(nome), massimo, "end of file",
                               "more bytes than the longest route's track plan takes, every element a double" + letto);
    case file_compilato::scenario: break;
  }
  return errore_decodifica(std::move(nome), massimo, "end of file",
                           "more bytes than the " + std::to_string(numero_voci) +
                               " records take, every name at its longest" + letto);
}

modello decodifica(const file_compilati& f) {
  modello m;
  decodifica_scenario(f.scenario, f.nome_scenario, m);
  decodifica_percorso(f.percorso, f.nome_percorso, m);
  if (f.linea) decodifica_linea(*f.linea, f.nome_linea, m);
  controlla_misure(m, f);
  m.scrivi_linea = f.linea.has_value();
  m.nome_linea = m.voce(voci::linea).nome;
  m.numero_treno = m.voce(voci::treno).nome;
  m.estensione = m.tracciato.esiste() ? m.tracciato.ultima_riga()
                                        : static_cast<int32_t>(metri_di(indice_cella(m.ultima_cella)).valore());
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
