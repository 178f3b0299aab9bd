#include "contenuto/contenuto.hpp"

#include <set>

#include "formato/decodifica.hpp"
#include "contenuto/campi_contenuto.hpp"

namespace scenario {

namespace {

bool vuota(const voce_tabella& v) { return record_vuoto(campi_voce, v); }

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
    if (!(salta_zeri && v == 0)) r.push_back({i * 50, j * 50, v});
    i = j;
  }
  return r;
}

}  // namespace

int32_t metri_di(int32_t cella, uint8_t tipo) {
  switch (tipo) {
    case tipo_cella::segnale:
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento:
    case tipo_cella::avviso_rallentamento:
    case tipo_cella::indicatori_v_max:
    case tipo_cella::cartello: return (cella - 1) * 50;
    default: return cella * 50;
  }
}

contenuto_scenario estrai_contenuto(const modello& m) {
  contenuto_scenario c;
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

  for (int32_t r = 0; r < 3; ++r) {
    const voce_tabella& p = m.voce(voci::progressiva_tre + r);
    c.progressive[static_cast<std::size_t>(r)] = {voci::progressiva_tre + r, p.inizio, p.fine, p.posizione};
  }

  std::set<int32_t> testi_cartelli;
  std::vector<std::optional<int32_t>> segno_stazione(numero_voci);
  const auto n = static_cast<int32_t>(m.celle.size());
  for (int32_t i = 0; i < n; ++i) {
    const cella& x = m.cel(i);
    const int32_t metri = metri_di(i, x.tipo);
    // cell 1 holds the format number and og code in place of any values
    const bool stampata = i == 1;
    switch (x.tipo) {
      case tipo_cella::libera: break;
      case tipo_cella::segnale: {
        segnale g;
        g.cella = i;
        g.metri = metri;
        copia_campi(campi_segnale, x, g);
        c.segnali.push_back(g);
        break;
      }
      case tipo_cella::inizio_rallentamento: {
        rallentamento r;
        r.cella_inizio = i;
        r.inizio = metri;
        r.velocita = stampata ? int16_t{0} : x.valore;
        r.valore2 = stampata ? int16_t{0} : x.valore2;
        r.valore3 = x.valore3;
        for (int32_t j = i + 1; j < n; ++j) {
          const uint8_t t = m.cel(j).tipo;
          if (t == tipo_cella::fine_rallentamento) {
            r.cella_fine = j;
            r.fine = metri_di(j, t);
            break;
          }
          if (t == tipo_cella::inizio_rallentamento) break;
        }
        // the warning point is 1200 m (24 cells) before the start, the four cells before it after that
        if (i - 24 >= 0 && m.cel(i - 24).tipo == tipo_cella::avviso_rallentamento) r.avviso = metri_di(i - 24, tipo_cella::avviso_rallentamento);
        r.preavviso = i - 28 >= 0 && m.cel(i - 25).tipo == tipo_cella::prima_avviso &&
                      m.cel(i - 28).tipo == tipo_cella::prima_avviso;
        c.rallentamenti.push_back(r);
        break;
      }
      case tipo_cella::fine_rallentamento:
      case tipo_cella::avviso_rallentamento:
      case tipo_cella::prima_avviso: break;  // read with their slowdown's start
      case tipo_cella::indicatori_v_max:
        c.indicatori_velocita.push_back({i, metri, {x.valore, x.valore2, x.valore3}, x.valore4});
        break;
      case tipo_cella::stazione:
        if (x.valore >= 0 && x.valore < numero_voci) segno_stazione[static_cast<std::size_t>(x.valore)] = i;
        break;
      case tipo_cella::marcatore_montagna: c.marcatori_montagna.push_back(metri); break;
      case tipo_cella::abbattimento: c.abbattimenti.push_back({i, metri, stampata ? int16_t{0} : x.valore}); break;
      case tipo_cella::abbattimento_nullo: c.abbattimenti.push_back({i, metri, 0}); break;
      case tipo_cella::cartello: {
        cartello k{i, metri, x.valore, {}};
        if (!stampata && x.valore >= 0 && x.valore < numero_voci) {
          k.testo = m.voce(x.valore).nome;
          testi_cartelli.insert(x.valore);
        }
        c.cartelli.push_back(std::move(k));
        break;
      }
      default: c.celle_sconosciute.push_back(i); break;
    }
    if (x.avvicinamento != 0) c.avvicinamenti.push_back({i, i * 50, x.avvicinamento});
  }

  // Sign texts fill the records from 80 downwards. A text whose board a station
  // mark later covered is pointed at by no cell, yet it is no station: such a
  // record holds its text and nothing else.
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

  for (int32_t r = 1; r < voci::progressiva_tre; ++r) {
    const voce_tabella& s = m.voce(r);
    if (testi_cartelli.contains(r) || vuota(s)) continue;
    stazione st;
    st.record = r;
    st.cella_segno = segno_stazione[static_cast<std::size_t>(r)];
    copia_campi(campi_stazione, s, st);
    c.stazioni.push_back(std::move(st));
  }

  c.velocita_limite = tratti(m, [](const cella& x) { return int32_t{x.vel_limite} * 5; });
  c.pendenze = tratti(m, [](const cella& x) { return int32_t{x.pendenza} - 100; });
  c.aderenze = tratti(m, [](const cella& x) { return int32_t{x.aderenza}; });
  c.montagne = tratti(m, [](const cella& x) { return int32_t{x.tipo_montagna}; }, true);
  return c;
}

}  // namespace scenario
