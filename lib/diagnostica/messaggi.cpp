#include "diagnostica/messaggi.hpp"

#include <nlohmann/json.hpp>

#include "compiler/model/codici.hpp"
#include "compiler/readers/lettore_campi.hpp"
#include "io/testo_1252.hpp"

namespace scenario {

namespace {

constexpr std::size_t massimo_parola = 60;
constexpr std::size_t massimo_testo = 400;

ambito_codice ambito_di(std::optional<int32_t> codice) {
  const voce_codice* v = codice ? cerca_codice(*codice) : nullptr;
  return v == nullptr ? ambito_codice::nessuno : v->ambito;
}

// Where a diagnostic recorded without a place comes from, by its code.
sorgente sorgente_del_codice(std::optional<int32_t> codice) {
  switch (ambito_di(codice)) {
    case ambito_codice::linea: return sorgente::linea;
    case ambito_codice::treno: return sorgente::treno;
    case ambito_codice::finitura: return sorgente::finitura;
    case ambito_codice::nessuno:
    case ambito_codice::descrizioni: return sorgente::nessuna;
  }
  return sorgente::nessuna;
}

// The file and the place on it; the keyword "finishing pass" for the route.
diagnostico_mostrato mostra_luogo(const luogo& l, sorgente da, const file_mostrati& file) {
  diagnostico_mostrato r;
  r.inizio = l.regione.inizio;
  r.fine = l.regione.fine;
  r.parola = std::string(senza_spazi(l.parola));
  switch (da) {
    case sorgente::linea: r.file = file.linea; break;
    case sorgente::treno: r.file = file.treno; break;
    case sorgente::altro: r.file = l.regione.nome; break;
    case sorgente::finitura:
      r.inizio = r.fine = punto_testo{};
      r.parola = "finishing pass";
      break;
    case sorgente::nessuna: break;
  }
  if (r.file.empty()) r.inizio = r.fine = punto_testo{};
  if (r.inizio.riga == 0) r.inizio = r.fine = punto_testo{};
  return r;
}

using json = nlohmann::ordered_json;

// Texts are Windows-1252 bytes: as UTF-8, control and unassigned bytes as \xNN;
// null where there is none.
json testo_o_null(std::string_view t) { return t.empty() ? json() : json(utf8_leggibile(t)); }
json numero_o_null(std::optional<int32_t> n) { return n ? json(*n) : json(); }
json positivo_o_null(int32_t n) { return n > 0 ? json(n) : json(); }

std::string accorcia(std::string_view testo, std::size_t massimo) {
  if (testo.size() <= massimo) return std::string(testo);
  return std::string(testo.substr(0, massimo)) + "...";
}

const char* nome_gravita(gravita g) {
  switch (g) {
    case gravita::avviso: return "warning";
    case gravita::nota: return "note";
    case gravita::errore: break;
  }
  return "error";
}

void luogo_json(json& j, const diagnostico_mostrato& x) {
  j["file"] = testo_o_null(x.file);
  j["line"] = positivo_o_null(x.inizio.riga);
  j["column"] = positivo_o_null(x.inizio.colonna);
  j["end_line"] = positivo_o_null(x.fine.riga);
  j["end_column"] = positivo_o_null(x.fine.colonna);
}

// One message: its line as printed, then each part on its own.
json messaggio_json(const diagnostico& d, const file_mostrati& file) {
  const diagnostico_mostrato x = mostra(d, file);
  json j;
  j["message"] = utf8_leggibile(formatta_messaggio(d, file));
  j["severity"] = nome_gravita(d.tipo);
  j["status"] = numero_o_null(d.codice);
  j["position"] = numero_o_null(d.posizione);
  luogo_json(j, x);
  j["keyword"] = testo_o_null(accorcia(x.parola, massimo_parola));
  j["text"] = utf8_leggibile(accorcia(x.testo, massimo_testo));
  j["related"] = json::array();
  for (const correlato& c : d.correlati) {
    const diagnostico_mostrato y = mostra(c, file);
    json r;
    luogo_json(r, y);
    r["keyword"] = testo_o_null(accorcia(y.parola, massimo_parola));
    r["text"] = utf8_leggibile(accorcia(y.testo, massimo_testo));
    j["related"].push_back(std::move(r));
  }
  return j;
}

}  // namespace

diagnostico_mostrato mostra(const diagnostico& d, const file_mostrati& file) {
  const sorgente da = d.dove.regione.file == sorgente::nessuna ? sorgente_del_codice(d.codice) : d.dove.regione.file;
  diagnostico_mostrato r = mostra_luogo(d.dove, da, file);
  r.testo = d.testo;
  if (d.codice == codice::errore_lettura) r.testo = "run-time failure: " + r.testo;
  // a finishing-pass problem shown at the entry behind it
  if (ambito_di(d.codice) == ambito_codice::finitura && (da == sorgente::linea || da == sorgente::treno)) {
    r.testo = "finishing pass: " + r.testo;
  }
  return r;
}

diagnostico_mostrato mostra(const correlato& c, const file_mostrati& file) {
  diagnostico_mostrato r = mostra_luogo(c.dove, c.dove.regione.file, file);
  r.testo = c.testo;
  return r;
}

std::string formatta_messaggio(const diagnostico& d, const file_mostrati& file) {
  const diagnostico_mostrato x = mostra(d, file);
  // appended piece by piece: GCC 12 warns falsely on "literal" + std::string temporaries
  std::string r;
  if (!x.file.empty()) {
    r = testo_escapato(x.file, forma_mostrata::byte, massimo_testo);
    if (x.inizio.riga > 0) {
      r += ':';
      r += std::to_string(x.inizio.riga);
      if (x.inizio.colonna > 0) {
        r += ':';
        r += std::to_string(x.inizio.colonna);
      }
    }
    r += ": ";
  }
  return r + corpo_messaggio(d, file);
}

std::vector<std::string> formatta_correlati(const diagnostico& d, const file_mostrati& file) {
  std::vector<std::string> r;
  for (const correlato& c : d.correlati) {
    diagnostico nota;
    nota.tipo = gravita::nota;
    nota.dove = c.dove;
    nota.dove.parola.clear();
    nota.testo = c.testo;
    r.push_back(formatta_messaggio(nota, file));
  }
  return r;
}

std::string corpo_messaggio(const diagnostico& d, const file_mostrati& file) {
  const diagnostico_mostrato x = mostra(d, file);
  std::string r;
  if (d.tipo != gravita::errore) {
    r += nome_gravita(d.tipo);
    r += ": ";
  }
  std::string soggetto = testo_escapato(x.parola, forma_mostrata::byte, massimo_parola);
  if (d.posizione) {
    if (!soggetto.empty()) soggetto += ' ';
    soggetto += "at ";
    soggetto += std::to_string(*d.posizione);
    soggetto += " m";
  }
  if (!soggetto.empty()) {
    r += soggetto;
    r += ": ";
  }
  r += testo_escapato(x.testo, forma_mostrata::byte, massimo_testo);
  if (d.codice) {
    r += " (status ";
    r += std::to_string(*d.codice);
    r += ')';
  }
  return r;
}

std::string componi_json(const riassunto_json& r) {
  const diagnostico* p = r.principale;
  const diagnostico_mostrato x = p ? mostra(*p, r.file) : diagnostico_mostrato{};
  json j;
  j["exit"] = r.uscita;
  j["status"] = numero_o_null(r.stato);
  // where the final status points: the message behind it
  j["position"] = p ? numero_o_null(p->posizione) : json();
  j["file"] = testo_o_null(x.file);
  j["line"] = positivo_o_null(x.inizio.riga);
  j["column"] = positivo_o_null(x.inizio.colonna);
  j["written"] = json::array();
  if (r.scritti) {
    for (const std::string& f : *r.scritti) j["written"].push_back(utf8_leggibile(f));
  }
  j["messages"] = json::array();
  if (r.diagnostici) {
    for (const diagnostico& d : *r.diagnostici) j["messages"].push_back(messaggio_json(d, r.file));
  }
  return j.dump();
}

diagnostico diagnostico_di(std::string testo, sorgente file, std::string nome) {
  diagnostico d;
  d.dove.regione.file = file;
  d.dove.regione.nome = std::move(nome);
  d.testo = std::move(testo);
  return d;
}

}  // namespace scenario
