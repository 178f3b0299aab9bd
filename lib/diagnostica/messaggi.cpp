#include "diagnostica/messaggi.hpp"

#include <nlohmann/json.hpp>

#include "compiler/model/codici.hpp"
#include "io/testo_1252.hpp"

namespace scenario {

namespace {

constexpr std::size_t massimo_parola = 60;
constexpr std::size_t massimo_testo = 400;

std::string_view senza_spazi(std::string_view t) {
  const auto spazio = [](char c) { return c == ' ' || c == '\t'; };
  while (!t.empty() && spazio(t.front())) t.remove_prefix(1);
  while (!t.empty() && spazio(t.back())) t.remove_suffix(1);
  return t;
}

// The digits of JSON's \u00NN escape.

// Where a diagnostic recorded without a place comes from, by its code.
sorgente sorgente_del_codice(int32_t codice) {
  const voce_codice* v = cerca_codice(codice);
  if (v == nullptr) return sorgente::nessuna;
  switch (v->ambito) {
    case ambito_codice::linea: return sorgente::linea;
    case ambito_codice::treno: return sorgente::treno;
    case ambito_codice::finitura: return sorgente::finitura;
    case ambito_codice::nessuno:
    case ambito_codice::descrizioni: return sorgente::nessuna;
  }
  return sorgente::nessuna;
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

// One message: its line as printed, then each part on its own.
json messaggio_json(const messaggio& m) {
  json j;
  j["message"] = utf8_leggibile(formatta_messaggio(m));
  j["severity"] = m.avviso ? "warning" : "error";
  j["status"] = numero_o_null(m.codice);
  j["position"] = numero_o_null(m.posizione);
  j["file"] = testo_o_null(m.file);
  j["line"] = positivo_o_null(m.riga);
  j["column"] = positivo_o_null(m.colonna);
  j["keyword"] = testo_o_null(accorcia(m.parola, massimo_parola));
  j["text"] = utf8_leggibile(accorcia(m.testo, massimo_testo));
  return j;
}

}  // namespace

std::string formatta_messaggio(const messaggio& m) {
  // appended piece by piece: GCC 12 warns falsely on "literal" + std::string temporaries
  std::string r;
  if (!m.file.empty()) {
    r = testo_escapato(m.file, forma_mostrata::byte, massimo_testo);
    if (m.riga > 0) {
      r += ':';
      r += std::to_string(m.riga);
      if (m.colonna > 0) {
        r += ':';
        r += std::to_string(m.colonna);
      }
    }
    r += ": ";
  }
  if (m.avviso) r += "warning: ";
  std::string soggetto = testo_escapato(m.parola, forma_mostrata::byte, massimo_parola);
  if (m.posizione) {
    if (!soggetto.empty()) soggetto += ' ';
    soggetto += "at ";
    soggetto += std::to_string(*m.posizione);
    soggetto += " m";
  }
  if (!soggetto.empty()) {
    r += soggetto;
    r += ": ";
  }
  r += testo_escapato(m.testo, forma_mostrata::byte, massimo_testo);
  if (m.codice) {
    r += " (status ";
    r += std::to_string(*m.codice);
    r += ')';
  }
  return r;
}

messaggio da_segnalazione(const segnalazione& s, const file_mostrati& file) {
  messaggio m;
  m.codice = s.codice;
  m.posizione = s.posizione;
  m.riga = s.dove.riga;
  m.colonna = s.dove.colonna;
  m.parola = std::string(senza_spazi(s.dove.parola));
  sorgente da = s.dove.file == sorgente::nessuna ? sorgente_del_codice(s.codice) : s.dove.file;
  if (s.voce && s.voce->file != sorgente::nessuna) {
    // a finishing-pass problem shown at the entry behind it
    da = s.voce->file;
    m.riga = s.voce->riga;
    m.colonna = s.voce->colonna;
    m.parola = std::string(senza_spazi(s.voce->parola));
  } else if (s.codice == codice::progressive_non_multiple && s.dove.file != sorgente::linea) {
    // set after the train file is read, but the references are the line's
    da = sorgente::linea;
    m.riga = 0;
    m.colonna = 0;
    m.parola = "progressiva chilometrica";
  }
  switch (da) {
    case sorgente::linea: m.file = file.linea; break;
    case sorgente::treno: m.file = file.treno; break;
    case sorgente::finitura:
      m.riga = 0;
      m.parola = "finishing pass";
      break;
    case sorgente::nessuna: break;
  }
  if (m.file.empty()) m.riga = 0;
  if (m.riga == 0) m.colonna = 0;
  m.testo = s.dettaglio.empty() ? std::string(significato_codice(s.codice)) : s.dettaglio;
  if (m.testo.empty()) m.testo = "unknown status code";
  if (s.codice == codice::errore_lettura) m.testo = "run-time failure: " + m.testo;
  if (s.voce && s.voce->file != sorgente::nessuna) m.testo = "finishing pass: " + m.testo;
  return m;
}

messaggio da_avviso(const avviso& a, const file_mostrati& file) {
  messaggio m;
  m.avviso = true;
  m.file = a.dove.file == sorgente::linea ? file.linea : file.treno;
  m.riga = a.dove.riga;
  m.colonna = a.dove.riga > 0 ? a.dove.colonna : 0;
  m.parola = std::string(senza_spazi(a.dove.parola));
  m.testo = a.testo;
  return m;
}

std::string componi_json(const riassunto_json& r) {
  const messaggio* p = r.principale;
  json j;
  j["exit"] = r.uscita;
  j["status"] = numero_o_null(r.stato);
  // where the final status points: the message behind it
  j["position"] = p ? numero_o_null(p->posizione) : json();
  j["file"] = p ? testo_o_null(p->file) : json();
  j["line"] = p ? positivo_o_null(p->riga) : json();
  j["column"] = p ? positivo_o_null(p->colonna) : json();
  j["written"] = json::array();
  if (r.scritti) {
    for (const std::string& f : *r.scritti) j["written"].push_back(utf8_leggibile(f));
  }
  j["messages"] = json::array();
  if (r.messaggi) {
    for (const messaggio& m : *r.messaggi) j["messages"].push_back(messaggio_json(m));
  }
  return j.dump();
}

}  // namespace scenario
