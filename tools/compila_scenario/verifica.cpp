#include "tools/compila_scenario/verifica.hpp"

#include <algorithm>
#include <exception>
#include <tuple>

#include "compiler/readers/memorizza_dati.hpp"

namespace scenario {

namespace {

int rango_file(const diagnostico& d) {
  if (d.dove.regione.inizio.riga == 0) return 2;
  switch (d.dove.regione.file) {
    case sorgente::linea: return 0;
    case sorgente::treno: return 1;
    default: return 2;
  }
}

// Lines of a file before the lines of the next; those about no line keep their order, last.
bool prima(const diagnostico& a, const diagnostico& b) {
  const int ra = rango_file(a);
  const int rb = rango_file(b);
  if (ra != rb || ra == 2) return ra < rb;
  return std::tie(a.dove.regione.inizio.riga, a.dove.regione.inizio.colonna) <
         std::tie(b.dove.regione.inizio.riga, b.dove.regione.inizio.colonna);
}

bool stesso(const diagnostico& a, const diagnostico& b) {
  return a.tipo == b.tipo && a.codice == b.codice && a.posizione == b.posizione && a.testo == b.testo &&
         a.dove.regione.file == b.dove.regione.file && a.dove.regione.inizio == b.dove.regione.inizio;
}

struct voce_ordinata {
  diagnostico d;
  bool principale = false;
};

}  // namespace

std::vector<diagnostico> verifica_oltre(const modello& compilato, sorgenti_descrizione& sorgenti,
                                       destinatario_campi* campi) {
  raccolta_diagnostici r;
  modello v;
  v.nome_linea = compilato.nome_linea;
  v.numero_treno = compilato.numero_treno;
  v.scrivi_linea = compilato.scrivi_linea;
  v.verifica = true;
  v.diagnostici = &r;
  v.campi_letti = campi;
  try {
    memorizza_dati(v, sorgenti);
  } catch (const std::exception&) {
    // a file that cannot be read now was reported by the compile, or is a new failure of the disk
  }
  return std::move(r.tutti);
}

diagnostici_ordinati unisci_in_ordine(const std::vector<diagnostico>& compilati, std::optional<std::size_t> principale,
                                      const std::vector<diagnostico>& oltre) {
  std::vector<voce_ordinata> v;
  for (std::size_t i = 0; i < compilati.size(); ++i) v.push_back({compilati[i], principale == i});
  bool altri = false;
  for (const diagnostico& d : oltre) {
    const auto gia = [&d](const voce_ordinata& x) { return stesso(x.d, d); };
    if (std::any_of(v.begin(), v.end(), gia)) continue;
    v.push_back({d, false});
    altri = true;
  }
  std::stable_sort(v.begin(), v.end(), [](const voce_ordinata& a, const voce_ordinata& b) { return prima(a.d, b.d); });
  diagnostici_ordinati r;
  for (voce_ordinata& x : v) {
    r.tutti.push_back(std::move(x.d));
    if (!x.principale) continue;
    r.principale = r.tutti.size() - 1;
    if (!altri) continue;
    diagnostico nota;
    nota.tipo = gravita::nota;
    nota.dove = r.tutti.back().dove;
    nota.testo = "the compile stopped here; the problems after it were found by checking on";
    r.tutti.push_back(std::move(nota));
  }
  return r;
}

}  // namespace scenario
