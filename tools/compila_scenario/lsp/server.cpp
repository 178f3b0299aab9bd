#include "tools/compila_scenario/lsp/server.hpp"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <istream>
#include <ostream>

#include "diagnostica/messaggi.hpp"
#include "io/nomi_file.hpp"
#include "io/testo_1252.hpp"
#include "tools/compila_scenario/lsp/coppia.hpp"
#include "tools/compila_scenario/lsp/lingua.hpp"
#include "tools/compila_scenario/lsp/percorsi.hpp"
#include "tools/compila_scenario/lsp/testo_lsp.hpp"
#include "tools/compila_scenario/lsp/trasporto.hpp"

namespace scenario::lsp {

using json = nlohmann::json;

namespace {

constexpr std::string_view fine_linea = "_linea.txt";
constexpr std::string_view fine_treno = "-.txt";

bool finisce_nc(std::string_view t, std::string_view fine) {
  if (t.size() < fine.size()) return false;
  t.remove_prefix(t.size() - fine.size());
  return std::equal(t.begin(), t.end(), fine.begin(), [](char a, char b) {
    const auto m = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return m(a) == m(b);
  });
}

// Which description a file is, by its name: the line's, a train's, or neither.
struct ruolo_file {
  bool linea = false;
  bool treno = false;
  nomi_attesi nomi;
};

ruolo_file ruolo_di(std::string_view percorso) {
  ruolo_file r;
  const std::string_view nome = nome_di(percorso);
  const auto n = nomi_da_file(nome);
  if (!n || n->linea.empty()) return r;
  r.nomi = *n;
  r.linea = n->treno.empty() && finisce_nc(nome, fine_linea);
  r.treno = !n->treno.empty() && finisce_nc(nome, fine_treno);
  return r;
}

// What a diagnostic's places are measured on, and where its files are.
struct contesto_coppia {
  std::string uri_linea;
  std::string uri_treno;
  std::string utf8_linea;
  std::string utf8_treno;
  file_mostrati file;
};

bool della_linea(const regione_sorgente& r) { return r.file == sorgente::linea; }

json luogo_lsp(const luogo& l, const contesto_coppia& c) {
  const bool linea = della_linea(l.regione);
  return json{{"uri", linea ? c.uri_linea : c.uri_treno},
              {"range", intervallo(l.regione, linea ? c.utf8_linea : c.utf8_treno)}};
}

json diagnostico_lsp(const diagnostico& d, const contesto_coppia& c) {
  json j;
  j["range"] = intervallo(d.dove.regione, della_linea(d.dove.regione) ? c.utf8_linea : c.utf8_treno);
  j["severity"] = d.tipo == gravita::errore ? 1 : d.tipo == gravita::avviso ? 2 : 3;
  if (d.codice) j["code"] = *d.codice;
  j["source"] = "compila_scenario";
  j["message"] = utf8_leggibile(corpo_messaggio(d, c.file));
  if (!d.correlati.empty()) {
    json correlati = json::array();
    for (const correlato& x : d.correlati) {
      correlati.push_back({{"location", luogo_lsp(x.dove, c)}, {"message", utf8_leggibile(x.testo)}});
    }
    j["relatedInformation"] = std::move(correlati);
  }
  return j;
}

// No message of the protocol nests deeper; a deeper one would exhaust the
// stack of the recursive JSON code long before its length limit.
constexpr int profondita_massima = 256;

bool troppo_annidato(std::string_view t) {
  int profondita = 0;
  bool in_stringa = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (in_stringa) {
      if (c == '\\') ++i;
      if (c == '"') in_stringa = false;
      continue;
    }
    if (c == '"') in_stringa = true;
    if (c == '[' || c == '{') ++profondita;
    if (c == ']' || c == '}') --profondita;
    if (profondita > profondita_massima) return true;
  }
  return false;
}

std::filesystem::path percorso_disco(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

json capacita() {
  return json{
      // change 2: incremental; a change that sends the whole text is taken too
      {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
      {"hoverProvider", true},
      {"completionProvider", {{"triggerCharacters", json::array({"["})}}},
      {"signatureHelpProvider", {{"triggerCharacters", json::array({","})}, {"retriggerCharacters", json::array({","})}}},
      {"documentSymbolProvider", true},
      {"inlayHintProvider", true},
      {"codeActionProvider", {{"codeActionKinds", json::array({"quickfix"})}}},
  };
}

}  // namespace

struct server::coppia_aperta {
  contesto_coppia contesto;
  json linea = json::array();
  json treno = json::array();
};

void server::invia(const json& j) {
  // texts are valid UTF-8 by now; a slip still never ends the session
  scrivi_messaggio(out_, j.dump(-1, ' ', false, json::error_handler_t::replace));
}

void server::rispondi(const json& id, json risultato) {
  invia(json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}});
}

void server::rifiuta(const json& id, int codice, const std::string& testo) {
  invia(json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", testo}}}});
}

void server::pubblica(const std::string& uri, json diagnostici) {
  invia(json{{"jsonrpc", "2.0"},
             {"method", "textDocument/publishDiagnostics"},
             {"params", {{"uri", uri}, {"diagnostics", std::move(diagnostici)}}}});
}

void server::tratta(const std::string& corpo) {
  if (troppo_annidato(corpo)) {
    rifiuta(nullptr, codice_rpc::errore_json, "the message nests deeper than " + std::to_string(profondita_massima));
    return;
  }
  const json j = json::parse(corpo, nullptr, false);
  if (j.is_discarded()) {
    rifiuta(nullptr, codice_rpc::errore_json, "the message is not JSON");
    return;
  }
  const bool con_id = j.is_object() && j.contains("id");
  const json id = con_id ? j["id"] : json(nullptr);
  if (!j.is_object() || !j.contains("method") || !j["method"].is_string()) {
    // a reply to us or a stray value: nothing asked
    if (con_id && !j.contains("result") && !j.contains("error")) {
      rifiuta(id, codice_rpc::richiesta_invalida, "no method");
    }
    return;
  }
  const std::string metodo = j["method"].get<std::string>();
  const json param = j.value("params", json::object());
  try {
    if (con_id) {
      richiesta(id, metodo, param);
    } else {
      notifica(metodo, param);
    }
  } catch (const json::exception& x) {
    if (con_id) rifiuta(id, codice_rpc::parametri_invalidi, x.what());
    if (!con_id) log_ << "compila_scenario --lsp: " << metodo << ": " << x.what() << '\n';
  } catch (const std::exception& x) {
    if (con_id) rifiuta(id, codice_rpc::errore_interno, x.what());
    if (!con_id) log_ << "compila_scenario --lsp: " << metodo << ": " << x.what() << '\n';
  }
}

void server::richiesta(const json& id, const std::string& metodo, const json& param) {
  if (metodo == "initialize") {
    inizializzato_ = true;
    rispondi(id, json{{"capabilities", capacita()}, {"serverInfo", {{"name", "compila_scenario"}}}});
  } else if (!inizializzato_) {
    rifiuta(id, codice_rpc::non_inizializzato, "initialize first");
  } else if (spento_) {
    rifiuta(id, codice_rpc::richiesta_invalida, "shut down: only exit is expected");
  } else if (metodo == "shutdown") {
    spento_ = true;
    rispondi(id, nullptr);
  } else if (!aiuto(id, metodo, param)) {
    rifiuta(id, codice_rpc::metodo_sconosciuto, "unknown method: " + metodo);
  }
}

bool server::aiuto(const json& id, const std::string& metodo, const json& param) {
  static constexpr std::string_view metodi[] = {"textDocument/hover",         "textDocument/completion",
                                                "textDocument/signatureHelp", "textDocument/documentSymbol",
                                                "textDocument/inlayHint",     "textDocument/codeAction"};
  if (std::find(std::begin(metodi), std::end(metodi), metodo) == std::end(metodi)) return false;
  const std::string uri = param.at("textDocument").at("uri").get<std::string>();
  const auto percorso = percorso_da_uri(uri);
  const auto trovato = percorso ? documenti_.find(*percorso) : documenti_.end();
  const ruolo_file ruolo = percorso ? ruolo_di(*percorso) : ruolo_file{};
  if (trovato == documenti_.end() || (!ruolo.linea && !ruolo.treno)) {
    // not an open description: nothing to say about it
    rispondi(id, metodo == "textDocument/hover" || metodo == "textDocument/signatureHelp" ? json(nullptr) : json::array());
    return true;
  }
  const documento& doc = trovato->second;
  documento_esaminato d{ruolo.linea ? sorgente::linea : sorgente::treno, doc.testo, doc.campi, doc.correzioni};
  const auto riga = [&](const char* dove) { return param.at(dove).at("line").get<uint32_t>(); };
  const auto carattere = [&](const char* dove) { return param.at(dove).at("character").get<uint32_t>(); };
  if (metodo == "textDocument/hover") rispondi(id, hover(d, riga("position"), carattere("position")));
  if (metodo == "textDocument/completion") rispondi(id, completamento(d, riga("position"), carattere("position")));
  if (metodo == "textDocument/signatureHelp") rispondi(id, firma(d, riga("position"), carattere("position")));
  if (metodo == "textDocument/documentSymbol") rispondi(id, simboli(d));
  if (metodo == "textDocument/inlayHint" || metodo == "textDocument/codeAction") {
    const json& r = param.at("range");
    const uint32_t prima = r.at("start").at("line").get<uint32_t>();
    const uint32_t ultima = r.at("end").at("line").get<uint32_t>();
    rispondi(id, metodo == "textDocument/inlayHint" ? suggerimenti(d, prima, ultima) : azioni(d, uri, prima, ultima));
  }
  return true;
}

void server::notifica(const std::string& metodo, const json& param) {
  if (metodo == "exit") {
    finito_ = true;
    return;
  }
  if (!inizializzato_ || spento_) return;
  if (metodo == "textDocument/didOpen") apri(param);
  if (metodo == "textDocument/didChange") cambia(param);
  if (metodo == "textDocument/didClose") chiudi(param);
  // any other notification, initialized included, asks nothing
}

void server::apri(const json& param) {
  const json& doc = param.at("textDocument");
  const std::string uri = doc.at("uri").get<std::string>();
  const auto percorso = percorso_da_uri(uri);
  if (!percorso) return;
  documenti_[*percorso] = documento{uri, doc.at("text").get<std::string>(), {}, {}};
  ricontrolla(*percorso);
}

void server::cambia(const json& param) {
  const std::string uri = param.at("textDocument").at("uri").get<std::string>();
  const auto percorso = percorso_da_uri(uri);
  if (!percorso) return;
  const auto trovato = documenti_.find(*percorso);
  if (trovato == documenti_.end()) return;
  std::string& testo = trovato->second.testo;
  for (const json& c : param.at("contentChanges")) {
    const std::string nuovo = c.at("text").get<std::string>();
    if (!c.contains("range")) {
      testo = nuovo;
      continue;
    }
    const json& r = c.at("range");
    std::size_t da =
        scostamento(testo, r.at("start").at("line").get<uint32_t>(), r.at("start").at("character").get<uint32_t>());
    std::size_t a =
        scostamento(testo, r.at("end").at("line").get<uint32_t>(), r.at("end").at("character").get<uint32_t>());
    if (a < da) std::swap(da, a);
    testo.replace(da, a - da, nuovo);
  }
  ricontrolla(*percorso);
}

void server::chiudi(const json& param) {
  const std::string uri = param.at("textDocument").at("uri").get<std::string>();
  const auto percorso = percorso_da_uri(uri);
  if (!percorso || documenti_.erase(*percorso) == 0) return;
  pubblica(uri, json::array());
  // the files of its folder now read the closed one from disk
  std::vector<std::string> vicini;
  for (const auto& [p, d] : documenti_) {
    if (cartella_di(p) == cartella_di(*percorso)) vicini.push_back(p);
  }
  for (const std::string& p : vicini) ricontrolla(p);
}

std::optional<std::string> server::testo_di(const std::string& percorso) {
  const auto aperto = documenti_.find(percorso);
  if (aperto != documenti_.end()) return aperto->second.testo;
  try {
    const std::filesystem::path p = percorso_disco(percorso);
    if (!fs_.esiste(p)) return std::nullopt;
    return utf8_da_1252(fs_.leggi(p));
  } catch (const std::exception&) {
    return std::nullopt;  // unreadable now: as if it were not there
  }
}

namespace {

std::string accanto(std::string_view percorso, const std::string& nome) {
  const std::string_view cartella = cartella_di(percorso);
  if (cartella.empty() && nome_di(percorso).size() == percorso.size()) return nome;
  return std::string(cartella) + "/" + nome;
}

}  // namespace

void server::ricontrolla(const std::string& percorso) {
  const auto aperto = documenti_.find(percorso);
  if (aperto == documenti_.end()) return;
  const std::string uri = aperto->second.uri;
  const ruolo_file ruolo = ruolo_di(percorso);
  if (ruolo.treno) {
    auto [uri_linea, linea] = controlla_treno(percorso, uri);
    pubblica(uri_linea, std::move(linea));
  } else if (ruolo.linea) {
    controlla_linea(percorso, uri);
  }
  // any other file is not a description: nothing to say about it
}

std::pair<std::string, json> server::controlla_treno(const std::string& percorso, const std::string& uri) {
  const ruolo_file ruolo = ruolo_di(percorso);
  const std::string nome_linea = ruolo.nomi.linea + std::string(fine_linea);
  const std::string percorso_linea = accanto(percorso, nome_linea);
  const auto linea_aperta = documenti_.find(percorso_linea);
  coppia_aperta c;
  c.contesto.uri_treno = uri;
  c.contesto.uri_linea = linea_aperta != documenti_.end() ? linea_aperta->second.uri : uri_accanto(uri, nome_linea);
  const std::optional<std::string> linea = testo_di(percorso_linea);
  c.contesto.utf8_linea = linea.value_or("");
  c.contesto.utf8_treno = testo_di(percorso).value_or("");
  const std::string linea_1252 = in_1252(ruolo.nomi.linea);
  const std::string treno_1252 = in_1252(ruolo.nomi.treno);
  c.contesto.file = {nomi_senza_cartella(linea_1252, treno_1252).descrizione_linea,
                     nomi_senza_cartella(linea_1252, treno_1252).descrizione_treno};
  std::optional<std::string> testo_linea;
  if (linea) testo_linea = in_1252(*linea);
  const esame_coppia esame = esamina_coppia(linea_1252, treno_1252, std::move(testo_linea), in_1252(c.contesto.utf8_treno));
  const std::vector<diagnostico>& tutti = esame.diagnostici;
  annota(percorso, sorgente::treno, esame.campi, tutti);
  if (linea_aperta != documenti_.end()) annota(percorso_linea, sorgente::linea, esame.campi, tutti);
  for (const diagnostico& d : tutti) {
    (della_linea(d.dove.regione) ? c.linea : c.treno).push_back(diagnostico_lsp(d, c.contesto));
  }
  pubblica(uri, std::move(c.treno));
  return {c.contesto.uri_linea, std::move(c.linea)};
}

void server::controlla_linea(const std::string& percorso, const std::string& uri) {
  const ruolo_file ruolo = ruolo_di(percorso);
  std::vector<std::pair<std::string, std::string>> treni;
  for (const auto& [p, d] : documenti_) {
    const ruolo_file r = ruolo_di(p);
    if (r.treno && r.nomi.linea == ruolo.nomi.linea && cartella_di(p) == cartella_di(percorso))
      treni.emplace_back(p, d.uri);
  }
  // each open train file is checked again; the first one's compile speaks for the line file
  std::optional<json> linea;
  for (const auto& [p, u] : treni) {
    auto esito = controlla_treno(p, u);
    if (!linea) linea = std::move(esito.second);
  }
  if (!linea) {
    // no train file open: the line file read alone, on an empty train
    contesto_coppia c;
    c.uri_linea = uri;
    c.utf8_linea = testo_di(percorso).value_or("");
    const std::string linea_1252 = in_1252(ruolo.nomi.linea);
    c.file.linea = nomi_senza_cartella(linea_1252, "0").descrizione_linea;
    linea = json::array();
    const esame_coppia esame = esamina_coppia(linea_1252, "0", in_1252(c.utf8_linea), "");
    annota(percorso, sorgente::linea, esame.campi, esame.diagnostici);
    for (const diagnostico& d : esame.diagnostici) {
      if (della_linea(d.dove.regione)) linea->push_back(diagnostico_lsp(d, c));
    }
  }
  pubblica(uri, std::move(*linea));
}

// What the editor's help needs of one file: the fields read in it, the fixes of its keywords.
void server::annota(const std::string& percorso, sorgente file, const std::vector<campo_letto>& campi,
                    const std::vector<diagnostico>& diagnostici) {
  const auto trovato = documenti_.find(percorso);
  if (trovato == documenti_.end()) return;
  documento& doc = trovato->second;
  doc.campi.clear();
  for (const campo_letto& c : campi) {
    if (c.dove.file == file) doc.campi.push_back(c);
  }
  doc.correzioni.clear();
  for (const diagnostico& d : diagnostici) {
    if (d.correzione && d.dove.regione.file == file) doc.correzioni.emplace_back(d.dove.regione, *d.correzione);
  }
}

int esegui_lsp(std::istream& in, std::ostream& out, std::ostream& log, sistema_file& fs) {
  server s(out, log, fs);
  for (;;) {
    const lettura l = leggi_messaggio(in);
    if (l.esito == esito_lettura::messaggio) {
      s.tratta(l.corpo);
      if (s.finito()) return s.uscita();
      continue;
    }
    // past a length refused or a header not understood there is no telling where the next message starts
    if (!l.motivo.empty()) log << "compila_scenario --lsp: " << l.motivo << '\n';
    log.flush();
    return 1;
  }
}

}  // namespace scenario::lsp
