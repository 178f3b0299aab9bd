#include "contenuto/descrizione.hpp"

#include <sstream>

#include "contenuto/campi_mostrati.hpp"
#include "formato/campi_record.hpp"
#include "io/testo_1252.hpp"

namespace scenario {

namespace {

std::string testo(std::string_view t) { return utf8_leggibile(t); }

std::string n(int64_t v) { return std::to_string(v); }
std::string in_metri(int64_t v) { return n(v) + " m"; }

oggetto_mostrato oggetto(std::string id, std::string etichetta, campi_t campi) {
  return {std::move(id), std::move(etichetta), std::move(campi)};
}

// The headers, the route and the codes: one object each.
sezione_mostrata sezione_scenario(const contenuto_scenario& c) {
  const codici_scenario& k = c.codici;
  const auto tre = [](auto a, auto b, auto d) { return n(a) + " " + n(b) + " " + n(d); };
  const auto verifica = [](bool giusto, int32_t atteso) {
    return giusto ? std::string(" (verifies)") : " (WRONG: " + n(atteso) + " expected)";
  };
  const intestazione_treno& t = c.treno;
  return {"scenario",
          {oggetto("line", "line",
                   {{"name", testo(c.linea.nome)}, {"scenery", tre(c.linea.sfondi[0], c.linea.sfondi[1], c.linea.sfondi[2])}}),
           oggetto("train", "train",
                   {{"number", testo(t.numero)},
                    {"braked mass", n(t.massa_frenata) + " %"},
                    {"cars", n(t.vetture)},
                    {"sand", n(t.sabbia)},
                    {"clock", tre(t.orologio[0], t.orologio[1], t.orologio[2])},
                    {"signal repetition",
                     n(t.ripetizione_inizio) + " " + n(t.ripetizione_fine) + " codes " + n(t.ripetizione_codici)}}),
           oggetto("route", "route",
                   {{"length", in_metri(c.lunghezza)},
                    {"cells", n(c.celle)},
                    {"track plan", c.righe_tracciato ? n(*c.righe_tracciato) + " rows" : "none"}}),
           oggetto("codes", "codes",
                   {{"format numbers", n(k.formato_scenario) + " " + n(k.formato_percorso) +
                                           (k.formati_giusti ? " (right)" : " (WRONG: 610 5121 expected)")},
                    {"og", n(k.og) + verifica(k.og_giusto, k.og_atteso)},
                    {"st", n(k.st) + verifica(k.st_giusto, k.st_atteso)}})}};
}

// Points that are a position and nothing more.
sezione_mostrata sezione_posizioni(std::string titolo, const std::string& nome, const std::vector<int32_t>& v,
                                   bool in_cella) {
  sezione_mostrata s{std::move(titolo), {}};
  for (int32_t x : v) {
    const std::string id = nome + (in_cella ? n(x) : in_metri(x));
    s.oggetti.push_back(oggetto(id, id, {}));
  }
  return s;
}

}  // namespace

std::vector<sezione_mostrata> sezioni(const contenuto_scenario& c) {
  std::vector<sezione_mostrata> s{sezione_scenario(c),
                                  sezione_di(le_progressive, c.progressive),
                                  sezione_di(le_stazioni, c.stazioni),
                                  sezione_di(i_segnali, c.segnali),
                                  sezione_di(i_rallentamenti, c.rallentamenti),
                                  sezione_di(gli_abbattimenti, c.abbattimenti),
                                  sezione_di(gli_indicatori, c.indicatori_velocita),
                                  sezione_di(i_cartelli, c.cartelli),
                                  sezione_posizioni("mountain markers", "mountain marker at ", c.marcatori_montagna, false),
                                  sezione_di(gli_avvicinamenti, c.avvicinamenti)};
  if (!c.celle_sconosciute.empty()) {
    s.push_back(sezione_posizioni("cells of an unknown type", "cell ", c.celle_sconosciute, true));
  }
  return s;
}

std::string elenco(const contenuto_scenario& c) {
  std::ostringstream o;
  for (const sezione_mostrata& s : sezioni(c)) {
    o << s.titolo;
    if (s.titolo != "scenario") o << " (" << s.oggetti.size() << ")";
    o << '\n';
    for (const oggetto_mostrato& x : s.oggetti) {
      o << "  " << x.etichetta;
      const char* separa = ": ";
      for (const auto& [nome, valore] : x.campi) {
        if (nome == "name") continue;  // already in the label; kept for the differences
        o << separa << nome << ' ' << valore;
        separa = ", ";
      }
      o << '\n';
    }
  }
  for (const nome_tratti& t : elenco_tratti) {
    const std::vector<tratto>& v = c.*(t.tratti);
    o << t.titolo << " (" << v.size() << ")\n";
    for (const tratto& x : v) o << "  " << x.da << "-" << x.a << " m: " << x.valore << t.unita << '\n';
  }
  return o.str();
}

std::string elenco_grezzo(const modello& m) {
  std::string r;
  for (int32_t i = 0; i < numero_voci; ++i) {
    r += "record " + n(i) + ": " + descrivi_record(campi_voce, m.voce(i)) + "\n";
  }
  const cella vuota{};
  for (std::size_t i = 0; i < m.celle.size(); ++i) {
    const cella& c = m.celle[i];
    if (descrivi_record(campi_cella, c) == descrivi_record(campi_cella, vuota)) continue;
    r += "cell " + n(static_cast<int64_t>(i)) + ": " + descrivi_record(campi_cella, c) + "\n";
  }
  return r;
}

}  // namespace scenario
