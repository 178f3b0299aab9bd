#pragma once
// A route ready for the train reader, and the train description fed to it.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>
#include <tuple>
#include <vector>

#include "compiler/model/modello.hpp"
#include "compiler/readers/lettore_treno.hpp"
#include "support/supporto.hpp"

namespace scenario::prova {

inline auto campi_cella(const cella& c) {
  return std::tie(c.tipo, c.valore, c.valore2, c.valore3, c.valore4, c.tempo, c.avvicinamento, c.tipo_montagna,
                  c.vel_limite, c.pendenza, c.aderenza);
}

// Indexes of the cells that differ from a fresh route.
inline std::vector<int> celle_scritte(const modello& m) {
  std::vector<int> r;
  const cella vuota{};
  for (std::size_t i = 0; i < m.celle.size(); ++i) {
    if (campi_cella(m.celle[i]) != campi_cella(vuota)) r.push_back(static_cast<int>(i));
  }
  return r;
}

class LettoreTreno : public ::testing::Test {
 protected:
  void SetUp() override { percorso(2160); }
  void percorso(int32_t p) {
    m.nome_linea = "Valdora_Tarvea";
    m.numero_treno = "5293";
    m.crea_celle(p);
    m.ultima_cella = p;
    m.posa.indice_cartelli = 80;
  }
  // Entries after the start marker; "[fine]" closes the file so that no entry is last.
  void leggi(std::initializer_list<std::string_view> voci) {
    std::string testo = righe({"[generale]"});
    for (std::string_view v : voci) {
      testo.append(v);
      testo.append("\r\n");
    }
    testo.append("[fine]\r\n");
    leggi_testo(testo);
  }
  void leggi_testo(std::string testo) {
    s.treno = std::move(testo);
    leggi_descrizione_treno(m, s);
  }
  raccolta_diagnostici r;
  modello m = con_raccolta(r);
  sorgenti_memoria s;
};

}  // namespace scenario::prova
