#include "tools/compila_scenario/lsp/lingua.hpp"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "compiler/model/misure.hpp"
#include "compiler/model/numeri.hpp"
#include "compiler/readers/parole_chiave.hpp"
#include "io/testo_1252.hpp"
#include "tools/compila_scenario/lsp/testo_lsp.hpp"

namespace scenario::lsp {

using json = nlohmann::json;

namespace {

// LSP kinds used here.
constexpr int completamento_parola = 14;
constexpr int completamento_modulo = 9;
constexpr int formato_frammento = 2;
constexpr int simbolo_spazio_nomi = 3;
constexpr int simbolo_funzione = 12;
constexpr int simbolo_struttura = 23;
constexpr int simbolo_evento = 24;

json posizione(uint32_t riga, uint32_t carattere) { return json{{"line", riga}, {"character", carattere}}; }

std::string chilometri(int64_t m) {
  char t[48];
  std::snprintf(t, sizeof t, "km %lld.%03lld", static_cast<long long>(m / 1000),
                static_cast<long long>((m < 0 ? -m : m) % 1000));
  if (m < 0 && m > -1000) return "km -0." + std::string(t + 6);
  return t;
}

// A field's short name: its words before a colon or a parenthesis.
std::string_view nome_breve(std::string_view nome) {
  const std::size_t fine = std::min(nome.find(':'), nome.find(" ("));
  return nome.substr(0, std::min(fine, nome.size()));
}

std::string campo_descritto(const campo_parola& c) {
  std::string t(c.nome);
  if (!c.unita.empty() || !c.intervallo.empty()) {
    t += " (";
    t += c.unita;
    if (!c.unita.empty() && !c.intervallo.empty()) t += "; ";
    t += c.intervallo;
    t += ")";
  }
  return t;
}

std::string riferimento(const parola_chiave& p) {
  std::string t = "**" + std::string(p.scritte.front()) + "**: " + std::string(p.titolo) + "\n\n";
  for (std::size_t i = 0; i < p.campi.size(); ++i) {
    t += std::to_string(i + 1) + ". " + campo_descritto(p.campi[i]) + "\n";
  }
  t += "\n" + std::string(p.riferimento);
  return t;
}

json markdown(std::string t) { return json{{"kind", "markdown"}, {"value", std::move(t)}}; }

// The field of a line under a byte column: a field's end counts as inside it.
const campo_letto* campo_a(const documento_esaminato& d, int32_t riga, int32_t colonna) {
  for (const campo_letto& c : d.campi) {
    if (c.dove.inizio.riga != riga) continue;
    if (colonna >= c.dove.inizio.colonna && colonna <= c.dove.fine.colonna) return &c;
  }
  return nullptr;
}

// The entry a line holds: what the reader made of it, else what its first field looks like.
const parola_chiave* voce_della_riga(const documento_esaminato& d, int32_t riga, std::string_view testo) {
  for (const campo_letto& c : d.campi) {
    if (c.voce.inizio.riga == riga && !c.nome_voce.empty()) return parola_di_voce(c.nome_voce);
  }
  return parola_scritta(d.file, testo.substr(0, std::min(testo.find(','), testo.size())));
}

std::string riga_1252(const documento_esaminato& d, uint32_t riga) { return in_1252(riga_di(d.utf8, riga)); }

}  // namespace

json intervallo(const regione_sorgente& r, std::string_view utf8) {
  if (r.inizio.riga <= 0) return json{{"start", posizione(0, 0)}, {"end", posizione(0, 0)}};
  const auto riga_inizio = static_cast<uint32_t>(r.inizio.riga - 1);
  const uint32_t col_inizio = colonna_utf16(riga_di(utf8, riga_inizio), r.inizio.colonna);
  punto_testo fine = r.fine.riga > 0 ? r.fine : r.inizio;
  if (fine.riga < r.inizio.riga || (fine.riga == r.inizio.riga && fine.colonna < r.inizio.colonna)) fine = r.inizio;
  const auto riga_fine = static_cast<uint32_t>(fine.riga - 1);
  const uint32_t col_fine = colonna_utf16(riga_di(utf8, riga_fine), fine.colonna);
  return json{{"start", posizione(riga_inizio, col_inizio)}, {"end", posizione(riga_fine, col_fine)}};
}

std::string diventa(const campo_letto& c) {
  const parola_chiave* p = parola_di_voce(c.nome_voce);
  if (p == nullptr || c.indice < 1 || static_cast<std::size_t>(c.indice) > p->campi.size() || !c.numero) return {};
  const int64_t v = *c.numero;
  switch (p->campi[static_cast<std::size_t>(c.indice - 1)].genere) {
    case genere_campo::posizione:
      return "cell " + std::to_string(cella_di(metri(v)).valore()) + ", " + chilometri(v);
    case genere_campo::posizione_dopo:
      return "takes cell " + std::to_string(cella_di(metri(v), 1.0).valore()) + ", " + chilometri(v);
    case genere_campo::lunghezza:
      return chilometri(v).substr(3) + " km";
    case genere_campo::velocita: {
      const auto kept = static_cast<int64_t>(arrotonda(static_cast<double>(v) / 5.0)) * 5;
      return kept == v ? std::string() : "stored as " + std::to_string(kept) + " km/h";
    }
    case genere_campo::basso_8: {
      const int64_t kept = static_cast<int64_t>(static_cast<uint8_t>(v & 0xFF));
      return kept == v ? std::string() : "stored as " + std::to_string(kept) + " (the low 8 bits)";
    }
    default:
      return {};
  }
}

json hover(const documento_esaminato& d, uint32_t riga, uint32_t carattere) {
  const std::string testo = riga_1252(d, riga);
  const int32_t colonna = colonna_byte(riga_di(d.utf8, riga), carattere);
  const auto r = static_cast<int32_t>(riga + 1);
  if (const campo_letto* c = campo_a(d, r, colonna); c != nullptr) {
    const parola_chiave* p = parola_di_voce(c->nome_voce);
    if (p == nullptr) return nullptr;
    if (c->indice == 0) return json{{"contents", markdown(utf8_da_1252(riferimento(*p)))}, {"range", intervallo(c->dove, d.utf8)}};
    if (static_cast<std::size_t>(c->indice) > p->campi.size()) return nullptr;
    std::string t = "**" + std::string(p->scritte.front()) + "**, field " + std::to_string(c->indice) + " of " +
                    std::to_string(p->campi.size()) + ": " + campo_descritto(p->campi[static_cast<std::size_t>(c->indice - 1)]);
    if (const std::string x = diventa(*c); !x.empty()) t += "\n\n" + x;
    return json{{"contents", markdown(utf8_da_1252(t))}, {"range", intervallo(c->dove, d.utf8)}};
  }
  // a keyword the reader did not take (the file refused before it): its reference all the same
  const std::size_t virgola = testo.find(',');
  if (static_cast<std::size_t>(colonna) > std::min(virgola, testo.size())) return nullptr;
  const parola_chiave* p = parola_scritta(d.file, testo.substr(0, std::min(virgola, testo.size())));
  if (p == nullptr) return nullptr;
  return json{{"contents", markdown(utf8_da_1252(riferimento(*p)))}};
}

namespace {

std::string frammento(const parola_chiave& p, std::string_view scritta) {
  std::string t(scritta);
  int n = 1;
  if (p.con_classe) t += "${" + std::to_string(n++) + "|1,2,3,4,5,6|}";
  for (const campo_parola& c : p.campi) t += ",  ${" + std::to_string(n++) + ":" + std::string(nome_breve(c.nome)) + "}";
  return t;
}

}  // namespace

json completamento(const documento_esaminato& d, uint32_t riga, uint32_t carattere) {
  const std::string_view linea = riga_di(d.utf8, riga);
  const std::size_t fino = scostamento(linea, 0, carattere);
  // only the keyword field is completed: after the first comma come numbers
  if (linea.substr(0, fino).find(',') != std::string_view::npos) return json{{"isIncomplete", false}, {"items", json::array()}};
  json voci = json::array();
  for (const parola_chiave& p : parole_chiave()) {
    if (file_del_gruppo(p.gruppo) != d.file) continue;
    for (const std::string_view s : p.scritte) {
      voci.push_back({{"label", std::string(s)},
                      {"kind", completamento_parola},
                      {"detail", std::string(p.titolo)},
                      {"documentation", markdown(riferimento(p))},
                      {"insertText", frammento(p, s)},
                      {"insertTextFormat", formato_frammento}});
    }
  }
  for (const std::string_view s : sezioni_di(d.file)) {
    voci.push_back({{"label", std::string(s)}, {"kind", completamento_modulo}, {"detail", "section"}});
  }
  return json{{"isIncomplete", false}, {"items", std::move(voci)}};
}

json firma(const documento_esaminato& d, uint32_t riga, uint32_t carattere) {
  const std::string testo = riga_1252(d, riga);
  const parola_chiave* p = voce_della_riga(d, static_cast<int32_t>(riga + 1), testo);
  if (p == nullptr || p->campi.empty()) return nullptr;
  const auto colonna = static_cast<std::size_t>(colonna_byte(riga_di(d.utf8, riga), carattere));
  const auto virgole = std::count(testo.begin(), testo.begin() + static_cast<std::ptrdiff_t>(std::min(colonna - 1, testo.size())), ',');
  std::string etichetta(p->scritte.front());
  json parametri = json::array();
  for (const campo_parola& c : p->campi) {
    etichetta += ", ";
    const std::size_t inizio = etichetta.size();
    etichetta += nome_breve(c.nome);
    if (!c.unita.empty()) etichetta += " (" + std::string(c.unita) + ")";
    parametri.push_back({{"label", {inizio, etichetta.size()}}, {"documentation", campo_descritto(c)}});
  }
  const auto attivo = std::clamp<std::ptrdiff_t>(virgole - 1, 0, static_cast<std::ptrdiff_t>(p->campi.size()) - 1);
  json s = {{"label", etichetta}, {"documentation", markdown(std::string(p->riferimento))}, {"parameters", parametri}};
  return json{{"signatures", json::array({s})}, {"activeSignature", 0}, {"activeParameter", attivo}};
}

namespace {

std::optional<int> genere_simbolo(std::string_view voce) {
  if (voce == "stazione") return simbolo_struttura;
  if (voce == "segnale" || voce == "rallentamento") return simbolo_evento;
  if (voce == "curva") return simbolo_funzione;
  return std::nullopt;
}

// An entry of the outline: its name says which one it is.
json simbolo_voce(const documento_esaminato& d, const campo_letto& parola, int genere) {
  std::string nome = utf8_leggibile(in_1252(riga_di(d.utf8, static_cast<uint32_t>(parola.dove.inizio.riga - 1)))
                                        .substr(static_cast<std::size_t>(parola.dove.inizio.colonna - 1),
                                                static_cast<std::size_t>(parola.dove.fine.colonna - parola.dove.inizio.colonna)));
  std::optional<int64_t> dove;
  for (const campo_letto& c : d.campi) {
    if (c.voce.inizio != parola.voce.inizio) continue;
    if (c.indice == 1 && c.numero) dove = c.numero;
    if (parola.nome_voce == "stazione" && c.indice == 17 && c.dove.fine.colonna > c.dove.inizio.colonna) {
      const std::string riga = riga_1252(d, static_cast<uint32_t>(c.dove.inizio.riga - 1));
      nome = utf8_leggibile(riga.substr(static_cast<std::size_t>(c.dove.inizio.colonna - 1),
                                        static_cast<std::size_t>(c.dove.fine.colonna - c.dove.inizio.colonna)));
    }
  }
  if (dove) nome += " at " + std::to_string(*dove) + " m";
  regione_sorgente riga = parola.dove;
  riga.inizio.colonna = 1;
  riga.fine = punto_testo{riga.inizio.riga, static_cast<int32_t>(riga_di(d.utf8, static_cast<uint32_t>(riga.inizio.riga - 1)).size()) + 1};
  const parola_chiave* p = parola_di_voce(parola.nome_voce);
  return json{{"name", nome},
              {"detail", p ? std::string(p->titolo) : std::string()},
              {"kind", genere},
              {"range", intervallo(riga, d.utf8)},
              {"selectionRange", intervallo(parola.dove, d.utf8)}};
}

}  // namespace

json simboli(const documento_esaminato& d) {
  json r = json::array();
  std::optional<std::size_t> sezione;  // index in r of the section being filled
  std::vector<const campo_letto*> parole;
  for (const campo_letto& c : d.campi) {
    if (c.indice == 0 && genere_simbolo(c.nome_voce)) parole.push_back(&c);
  }
  std::size_t prossima = 0;
  for (uint32_t riga = 0;; ++riga) {
    const std::string_view t = riga_di(d.utf8, riga);
    const bool ultima = scostamento(d.utf8, riga + 1, 0) >= d.utf8.size();
    for (; prossima < parole.size() && parole[prossima]->dove.inizio.riga == static_cast<int32_t>(riga + 1); ++prossima) {
      json s = simbolo_voce(d, *parole[prossima], *genere_simbolo(parole[prossima]->nome_voce));
      (sezione ? r[*sezione]["children"] : r).push_back(std::move(s));
    }
    const std::string_view nudo = t.substr(std::min(t.find_first_not_of(" \t"), t.size()));
    if (nudo.starts_with("[") && nudo.find(']') != std::string_view::npos) {
      const std::string nome(nudo.substr(0, nudo.find(']') + 1));
      regione_sorgente dove{d.file, {}, {static_cast<int32_t>(riga + 1), 1}, {static_cast<int32_t>(riga + 1), static_cast<int32_t>(t.size()) + 1}};
      r.push_back({{"name", nome}, {"kind", simbolo_spazio_nomi}, {"range", intervallo(dove, d.utf8)},
                   {"selectionRange", intervallo(dove, d.utf8)}, {"children", json::array()}});
      sezione = r.size() - 1;
    }
    if (ultima) break;
  }
  // a section's range runs up to the next one (the end is exclusive), holding its entries
  for (std::size_t i = 0; i + 1 < r.size(); ++i) {
    if (r[i].contains("children")) r[i]["range"]["end"] = posizione(r[i + 1]["range"]["start"]["line"].get<uint32_t>(), 0);
  }
  return r;
}

json suggerimenti(const documento_esaminato& d, uint32_t prima, uint32_t ultima) {
  json r = json::array();
  for (const campo_letto& c : d.campi) {
    if (c.indice == 0 || c.dove.inizio.riga < static_cast<int32_t>(prima + 1) || c.dove.inizio.riga > static_cast<int32_t>(ultima + 1))
      continue;
    const parola_chiave* p = parola_di_voce(c.nome_voce);
    // lengths are what they say: a hint for them would only repeat the number
    if (p == nullptr || static_cast<std::size_t>(c.indice) > p->campi.size() ||
        p->campi[static_cast<std::size_t>(c.indice - 1)].genere == genere_campo::lunghezza)
      continue;
    const std::string x = diventa(c);
    if (x.empty()) continue;
    r.push_back({{"position", intervallo(c.dove, d.utf8)["end"]}, {"label", x}, {"paddingLeft", true}});
  }
  return r;
}

json azioni(const documento_esaminato& d, const std::string& uri, uint32_t prima, uint32_t ultima) {
  json r = json::array();
  for (const auto& [dove, scritta] : d.correzioni) {
    if (dove.inizio.riga < static_cast<int32_t>(prima + 1) || dove.inizio.riga > static_cast<int32_t>(ultima + 1)) continue;
    const json campo = intervallo(dove, d.utf8);
    const std::string nuova = utf8_da_1252(scritta);
    json modifica = {{"changes", {{uri, json::array({{{"range", campo}, {"newText", nuova}}})}}}};
    r.push_back({{"title", "Write '" + nuova + "'"}, {"kind", "quickfix"}, {"isPreferred", true}, {"edit", std::move(modifica)}});
  }
  return r;
}

}  // namespace scenario::lsp
