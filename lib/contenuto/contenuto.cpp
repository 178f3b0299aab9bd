#include "contenuto/contenuto.hpp"

#include <set>

#include "compiler/model/misure.hpp"
#include "contenuto/campi_contenuto.hpp"
#include "formato/decodifica.hpp"

namespace scenario {

namespace {

bool vuota(const voce_tabella& v) { return record_vuoto(campi_voce, v); }

// Where cell i starts along the route.
int32_t inizio_cella(int32_t i) { return static_cast<int32_t>(metri_di(indice_cella(i)).valore()); }

// Runs of equal values of one cell byte, turned into a quantity by `valore`.
template <class F>
std::vector<tratto> tratti(const modello& m, F&& valore, bool salta_zeri = false) {
  std::vector<tratto> r;
  const auto n = static_cast<int32_t>(m.celle.size());
  int32_t i = 0;
  while (i < n) {
    const int32_t v = valore(m.celle[static_cast<std::size_t>(i)]);
    int32_t j = i + 1;
    while (j < n && valore(m.celle[static_cast<std::size_t>(j)]) == v) ++j;
    if (!(salta_zeri && v == 0)) r.push_back({inizio_cella(i), inizio_cella(j), v});
    i = j;
  }
  return r;
}

// A point feature of cell i: its table's fields of the cell, and where it lies.
template <class C, std::size_t N>
C punto(const std::array<campo_contenuto<C, cella>, N>& campi, const cella& x, int32_t i) {
  C r;
  r.cella = i;
  r.metri = metri_di(i, x.tipo);
  copia_campi(campi, x, r);
  return r;
}

// The slowdown starting at cell i, with its end, warning point and pre-warning cells.
rallentamento leggi_rallentamento(const modello& m, int32_t i) {
  const cella& x = m.cel(i);
  rallentamento r;
  r.cella_inizio = i;
  r.inizio = metri_di(i, x.tipo);
  copia_campi(campi_rallentamento, x, r);
  const auto n = static_cast<int32_t>(m.celle.size());
  for (int32_t j = i + 1; j < n; ++j) {
    const uint8_t t = m.cel(j).tipo;
    if (t == tipo_cella::fine_rallentamento) {
      r.cella_fine = j;
      r.fine = metri_di(j, t);
      break;
    }
    if (t == tipo_cella::inizio_rallentamento) break;
  }
  const int32_t a = i - celle_avviso;
  if (a >= 0 && m.cel(a).tipo == tipo_cella::avviso_rallentamento) r.avviso = metri_di(a, tipo_cella::avviso_rallentamento);
  r.preavviso = i - celle_preavviso_lontana >= 0 && m.cel(i - celle_preavviso_vicina).tipo == tipo_cella::prima_avviso &&
                m.cel(i - celle_preavviso_lontana).tipo == tipo_cella::prima_avviso;
  return r;
}

// What the cells say, and what the records are to them.
struct lettura_celle {
  const modello& m;
  contenuto_scenario& c;
  std::set<int32_t> testi_cartelli;                    // records a sign board shows
  std::vector<std::optional<int32_t>> segno_stazione;  // by record: the cell that marks it
};

bool e_voce(int32_t r) { return r >= 0 && r < numero_voci; }

void leggi_cella(lettura_celle& l, int32_t i) {
  const cella& x = l.m.cel(i);
  contenuto_scenario& c = l.c;
  // cell 1 holds the format number and og code in place of any values
  const bool stampata = i == 1;
  switch (x.tipo) {
    case tipo_cella::libera:
    case tipo_cella::fine_rallentamento:
    case tipo_cella::avviso_rallentamento:
    case tipo_cella::prima_avviso: break;  // read with their slowdown's start
    case tipo_cella::segnale: c.segnali.push_back(punto(campi_segnale, x, i)); break;
    case tipo_cella::inizio_rallentamento: {
      rallentamento r = leggi_rallentamento(l.m, i);
      if (stampata) r.velocita = r.valore2 = 0;
      c.rallentamenti.push_back(r);
      break;
    }
    case tipo_cella::indicatori_v_max: c.indicatori_velocita.push_back(punto(campi_indicatori, x, i)); break;
    case tipo_cella::stazione:
      if (e_voce(x.valore)) l.segno_stazione[static_cast<std::size_t>(x.valore)] = i;
      break;
    case tipo_cella::marcatore_montagna: c.marcatori_montagna.push_back(metri_di(i, x.tipo)); break;
    case tipo_cella::abbattimento:
    case tipo_cella::abbattimento_nullo: {
      punto_abbattimento p = punto(campi_abbattimento, x, i);
      if (stampata || x.tipo == tipo_cella::abbattimento_nullo) p.velocita = 0;
      c.abbattimenti.push_back(p);
      break;
    }
    case tipo_cella::cartello: {
      cartello k = punto(campi_cartello, x, i);
      if (!stampata && e_voce(x.valore)) {
        k.testo = l.m.voce(x.valore).nome;
        l.testi_cartelli.insert(x.valore);
      }
      c.cartelli.push_back(std::move(k));
      break;
    }
    default: c.celle_sconosciute.push_back(i); break;
  }
  if (x.avvicinamento != 0) {
    segno_avvicinamento a = punto(campi_avvicinamento, x, i);
    a.metri = inizio_cella(i);
    c.avvicinamenti.push_back(a);
  }
}

// Sign texts fill the records from 80 downwards. A text whose board a station
// mark later covered is pointed at by no cell, yet it is no station: such a
// record holds its text and nothing else.
void testi_coperti(const modello& m, std::set<int32_t>& testi_cartelli) {
  for (int32_t r = voci::primo_cartello; r >= 1; --r) {
    voce_tabella senza_nome = m.voce(r);
    if (senza_nome.nome.empty() || testi_cartelli.contains(r)) {
      if (senza_nome.nome.empty()) break;
      continue;
    }
    senza_nome.nome.clear();
    if (!vuota(senza_nome)) break;
    testi_cartelli.insert(r);
  }
}

void leggi_stazioni(const lettura_celle& l, contenuto_scenario& c) {
  for (int32_t r = 1; r < voci::progressiva_tre; ++r) {
    const voce_tabella& s = l.m.voce(r);
    if (l.testi_cartelli.contains(r) || vuota(s)) continue;
    stazione st;
    st.record = r;
    st.cella_segno = l.segno_stazione[static_cast<std::size_t>(r)];
    copia_campi(campi_stazione, s, st);
    c.stazioni.push_back(std::move(st));
  }
}

// The headers, the codes and the kilometric references.
void leggi_intestazioni(const modello& m, contenuto_scenario& c) {
  const voce_tabella& linea = m.voce(voci::linea);
  const voce_tabella& treno = m.voce(voci::treno);
  const voce_tabella& percorso = m.voce(voci::percorso);
  c.linea.nome = linea.nome;
  c.linea.sfondi = {linea.inizio, linea.posizione, linea.fine};
  c.treno.numero = treno.nome;
  c.treno.massa_frenata = percorso.inizio;
  c.treno.vetture = percorso.posizione;
  c.treno.sabbia = treno.campo_7;
  c.treno.orologio = {treno.campo_10, treno.campo_11, treno.campo_12};
  c.treno.ripetizione_inizio = treno.inizio;
  c.treno.ripetizione_fine = treno.fine;
  c.treno.ripetizione_codici = treno.posizione;
  c.lunghezza = percorso.fine;
  c.celle = static_cast<int32_t>(m.celle.size());
  if (m.tracciato.esiste()) c.righe_tracciato = m.tracciato.ultima_riga() + 1;

  const verifica_codici v = verifica(m);
  c.codici = {v.formato_scenario, v.formato_percorso, v.formati_giusti(), v.og, v.og_atteso,
              v.st,               v.st_atteso,        v.og_giusto(),      v.st_giusto()};

  for (std::size_t r = 0; r < c.progressive.size(); ++r) {
    progressiva& p = c.progressive[r];
    p.record = voci::progressiva_tre + static_cast<int32_t>(r);
    copia_campi(campi_progressiva, m.voce(p.record), p);
  }
}

}  // namespace

int32_t metri_di(int32_t cella, uint8_t tipo) {
  switch (tipo) {
    case tipo_cella::segnale:
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento:
    case tipo_cella::avviso_rallentamento:
    case tipo_cella::indicatori_v_max:
    case tipo_cella::cartello: return inizio_cella(cella - 1);
    default: return inizio_cella(cella);
  }
}

contenuto_scenario estrai_contenuto(const modello& m) {
  contenuto_scenario c;
  leggi_intestazioni(m, c);
  lettura_celle l{m, c, {}, std::vector<std::optional<int32_t>>(numero_voci)};
  const auto n = static_cast<int32_t>(m.celle.size());
  for (int32_t i = 0; i < n; ++i) leggi_cella(l, i);
  testi_coperti(m, l.testi_cartelli);
  leggi_stazioni(l, c);
  c.velocita_limite = tratti(m, [](const cella& x) { return int32_t{x.vel_limite} * 5; });
  c.pendenze = tratti(m, [](const cella& x) { return int32_t{x.pendenza} - 100; });
  c.aderenze = tratti(m, [](const cella& x) { return int32_t{x.aderenza}; });
  c.montagne = tratti(m, [](const cella& x) { return int32_t{x.tipo_montagna}; }, true);
  return c;
}

}  // namespace scenario
