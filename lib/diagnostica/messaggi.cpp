#include "diagnostica/messaggi.hpp"

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
const char cifre_esadecimali[] = "0123456789abcdef";

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

void aggiungi_numero(std::string& r, const char* nome, std::optional<int32_t> valore) {
  r += ",\"";
  r += nome;
  r += "\":";
  r += valore ? std::to_string(*valore) : "null";
}

void aggiungi_testo(std::string& r, const char* nome, std::string_view valore, bool presente) {
  r += ",\"";
  r += nome;
  r += "\":";
  r += presente ? stringa_json(valore) : "null";
}

// Cut short for JSON, where escaping is left to stringa_json.
std::string accorcia(std::string_view testo, std::size_t massimo) {
  if (testo.size() <= massimo) return std::string(testo);
  // never cut a UTF-8 sequence in two
  std::size_t taglio = massimo;
  for (int k = 0; k < 3 && taglio > 0 && (static_cast<unsigned char>(testo[taglio]) & 0xC0) == 0x80; ++k) --taglio;
  return std::string(testo.substr(0, taglio)) + "...";
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

std::string stringa_json(std::string_view testo) {
  std::u32string punti;
  if (auto utf8 = decodifica_utf8(testo)) {
    punti = std::move(*utf8);
  } else {
    punti.reserve(testo.size());
    for (char c : testo) punti += da_cp1252(static_cast<unsigned char>(c));
  }
  std::string r = "\"";
  for (char32_t cp : punti) {
    switch (cp) {
      case '"': r += "\\\""; break;
      case '\\': r += "\\\\"; break;
      case '\b': r += "\\b"; break;
      case '\f': r += "\\f"; break;
      case '\n': r += "\\n"; break;
      case '\r': r += "\\r"; break;
      case '\t': r += "\\t"; break;
      default:
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
          r += "\\u00";
          r += cifre_esadecimali[(cp >> 4) & 0xF];
          r += cifre_esadecimali[cp & 0xF];
        } else {
          aggiungi_utf8(r, cp);
        }
    }
  }
  return r + "\"";
}

std::string componi_json(const riassunto_json& r) {
  std::string j = "{\"exit\":" + std::to_string(r.uscita);
  aggiungi_numero(j, "status", r.stato);
  const messaggio* p = r.principale;
  aggiungi_numero(j, "position", p ? p->posizione : std::nullopt);
  aggiungi_testo(j, "file", p ? p->file : "", p && !p->file.empty());
  aggiungi_numero(j, "line", p && p->riga > 0 ? std::optional<int32_t>(p->riga) : std::nullopt);
  aggiungi_numero(j, "column", p && p->colonna > 0 ? std::optional<int32_t>(p->colonna) : std::nullopt);
  j += ",\"written\":[";
  if (r.scritti) {
    for (std::size_t i = 0; i < r.scritti->size(); ++i) {
      if (i > 0) j += ",";
      j += stringa_json((*r.scritti)[i]);
    }
  }
  j += "],\"messages\":[";
  if (r.messaggi) {
    bool primo = true;
    for (const messaggio& m : *r.messaggi) {
      if (!primo) j += ",";
      primo = false;
      j += "{\"message\":" + stringa_json(formatta_messaggio(m));
      j += m.avviso ? ",\"severity\":\"warning\"" : ",\"severity\":\"error\"";
      aggiungi_numero(j, "status", m.codice);
      aggiungi_numero(j, "position", m.posizione);
      aggiungi_testo(j, "file", m.file, !m.file.empty());
      aggiungi_numero(j, "line", m.riga > 0 ? std::optional<int32_t>(m.riga) : std::nullopt);
      aggiungi_numero(j, "column", m.colonna > 0 ? std::optional<int32_t>(m.colonna) : std::nullopt);
      aggiungi_testo(j, "keyword", accorcia(m.parola, massimo_parola), !m.parola.empty());
      aggiungi_testo(j, "text", accorcia(m.testo, massimo_testo), true);
      j += "}";
    }
  }
  j += "]}";
  return j;
}

}  // namespace scenario
