#include "tools/compila_scenario/compila.hpp"
#include "tools/compila_scenario/nuovo.hpp"
#include "tools/compila_scenario/rapporto_compila.hpp"
#include "tools/compila_scenario/verifica.hpp"
#include "tools/compila_scenario/vicini.hpp"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <new>
#include <ostream>
#include <system_error>

#include "compiler/memorizza_percorso.hpp"
#include "compiler/model/codici.hpp"
#include "compiler/model/errori.hpp"
#include "formato/file_binari.hpp"
#include "compiler/readers/lettore_campi.hpp"
#include "compiler/readers/sorgenti.hpp"
#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "io/testo_1252.hpp"
#include "tools/compila_scenario/lsp/server.hpp"
#include "tools/compila_scenario/osserva/arresto.hpp"
#include "tools/compila_scenario/osserva/osserva.hpp"

namespace scenario {

namespace fsys = std::filesystem;

// A file as the user would type it: the folder as given, then the name,
// joined with the separator the user typed in the folder (on Windows both
// '/' and '\\' are separators), else the platform's; never a mix of the two.
std::string mostra_file(const std::string& cartella, const std::string& nome) {
  if (cartella.empty() || cartella == ".") return nome;
#ifdef _WIN32
  const std::size_t ultimo = cartella.find_last_of("/\\");
  const char separatore = ultimo == std::string::npos ? '\\' : cartella[ultimo];
  if (ultimo == cartella.size() - 1) return cartella + nome;
#else
  constexpr char separatore = '/';
  if (cartella.back() == '/') return cartella + nome;
#endif
  return cartella + separatore + nome;
}

namespace {

// Counts the entries of each kind that checking on reads.
class conta_voci final : public destinatario_campi {
 public:
  explicit conta_voci(std::map<std::string, int>& voci) : voci_(voci) {}
  void ricevi(const campo_letto& c) override {
    if (c.indice == 0) ++voci_[c.nome_voce];
  }

 private:
  std::map<std::string, int>& voci_;
};

// Far above any entry a description file holds, sign texts included.
constexpr std::size_t lunghezza_massima_riga = 10000;

std::string nome_di(const fsys::path& p) {
  const auto u8 = p.filename().u8string();
  return std::string(u8.begin(), u8.end());
}

// Passes every call on; refuses to change the description files, whoever
// asks, and keeps the list of files that were replaced.
class sistema_file_protetto final : public sistema_file {
 public:
  sistema_file_protetto(sistema_file& vero, std::vector<fsys::path> protetti)
      : vero_(vero), protetti_(std::move(protetti)) {}

  bool esiste(const fsys::path& file) override { return vero_.esiste(file); }
  bool presente(const fsys::path& file) override { return vero_.presente(file); }
  std::string leggi(const fsys::path& file) override { return vero_.leggi(file); }

  bool crea_nuovo(const fsys::path& file, std::string_view contenuto, const fsys::path& permessi_di,
                  bool durevole) override {
    proteggi(file);
    return vero_.crea_nuovo(file, contenuto, permessi_di, durevole);
  }
  bool crea_nuovo_a_pezzi(const fsys::path& file, contenuto_a_pezzi& pezzi, const fsys::path& permessi_di,
                          bool durevole) override {
    proteggi(file);
    return vero_.crea_nuovo_a_pezzi(file, pezzi, permessi_di, durevole);
  }

  // Only a file renamed into place counts as written: it exists.
  void rinomina(const fsys::path& da, const fsys::path& a, bool durevole) override {
    proteggi(da);
    proteggi(a);
    vero_.rinomina(da, a, durevole);
    togli(da);
    annota(a);
  }

  void elimina(const fsys::path& file) override {
    proteggi(file);
    vero_.elimina(file);
    togli(file);
  }

  void sincronizza_cartella(const fsys::path& cartella) override { vero_.sincronizza_cartella(cartella); }
  std::unique_ptr<blocco_cartella> blocca(const fsys::path& cartella, std::chrono::milliseconds attesa) override {
    return vero_.blocca(cartella, attesa);
  }
  std::string nome_temporaneo() override { return vero_.nome_temporaneo(); }

  const std::vector<fsys::path>& scritti() const { return scritti_; }

  // The whole set's targets, before its first rename: a refused set leaves
  // every old file as it was, not a new line file beside an old route.
  void proteggi_insieme(std::span<const fsys::path> destinazioni) const {
    for (const fsys::path& d : destinazioni) proteggi(d);
  }

 private:
  void proteggi(const fsys::path& file) const {
    for (const fsys::path& p : protetti_) {
      if (stesso_file(file, p)) throw errore_io(testo_percorso(file), "is a description file: left untouched");
    }
  }
  void annota(const fsys::path& file) {
    if (std::find(scritti_.begin(), scritti_.end(), file) == scritti_.end()) scritti_.push_back(file);
  }
  void togli(const fsys::path& file) { std::erase(scritti_, file); }

  sistema_file& vero_;
  std::vector<fsys::path> protetti_;
  std::vector<fsys::path> scritti_;
};

// What the tool notices about a description file beyond the status codes.
struct esame_file {
  bool letto = false;
  std::size_t lunghezza = 0;
  bool vuoto = false;
  int32_t riga_binaria = 0;  // line of the first byte no text file holds; 0: none
  int32_t colonna_binaria = 0;
  unsigned char byte_binario = 0;
  int32_t riga_lunga = 0;  // first line longer than any entry can be; 0: none
  std::size_t lunghezza_riga = 0;
  bool ha_generale = false;
};

esame_file esamina(const std::string& testo) {
  esame_file e;
  e.letto = true;
  e.lunghezza = testo.size();
  e.vuoto = std::all_of(testo.begin(), testo.end(),
                        [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
  int32_t riga = 1;
  std::size_t inizio_riga = 0;
  std::size_t inizio_lunga = 0;
  for (std::size_t i = 0; i < testo.size(); ++i) {
    const char c = testo[i];
    const auto u = static_cast<unsigned char>(c);
    // LF, CR LF and CR alone each end a line
    if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
      if (riga < INT32_MAX) ++riga;
      inizio_riga = i + 1;
      continue;
    }
    if (u < 0x20 && c != '\t' && c != '\f' && c != '\v' && u != 0x1A) {
      e.riga_binaria = riga;
      e.colonna_binaria = static_cast<int32_t>(std::min<std::size_t>(i - inizio_riga + 1, INT32_MAX));
      e.byte_binario = u;
      break;
    }
    if (e.riga_lunga == 0 && i - inizio_riga >= lunghezza_massima_riga) {
      e.riga_lunga = riga;
      inizio_lunga = inizio_riga;
    }
  }
  if (e.riga_lunga > 0) {
    std::size_t fine = testo.find_first_of("\r\n", inizio_lunga);
    if (fine == std::string::npos) fine = testo.size();
    e.lunghezza_riga = fine - inizio_lunga;
  }
  e.ha_generale = contiene_nc(testo, "[generale]");
  return e;
}

// The description files as the compiler asks for them: each request first
// points the diagnostics at the file, and what was read is examined.
class sorgenti_osservate final : public sorgenti_descrizione {
 public:
  explicit sorgenti_osservate(sorgenti_descrizione& vere) : vere_(vere) {}

  std::optional<std::string> leggi_linea() override {
    try {
      std::optional<std::string> testo = vere_.leggi_linea();
      if (testo) linea = esamina(*testo);
      return testo;
    } catch (const errore_io& e) {
      guasto_linea = e.motivo();
      throw;
    }
  }

  std::string leggi_treno() override {
    try {
      std::string testo = vere_.leggi_treno();
      treno = esamina(testo);
      return testo;
    } catch (const errore_io& e) {
      guasto_treno = e.motivo();
      throw;
    }
  }

  void elimina_linea() override { vere_.elimina_linea(); }
  void elimina_treno() override { vere_.elimina_treno(); }
  std::string nome_linea() const override { return vere_.nome_linea(); }
  std::string nome_treno() const override { return vere_.nome_treno(); }

  esame_file linea;
  esame_file treno;
  std::optional<std::string> guasto_linea;  // why the file could not be read
  std::optional<std::string> guasto_treno;

 private:
  sorgenti_descrizione& vere_;
};

void aggiungi_esame(std::vector<diagnostico>& messaggi, const esame_file& e, sorgente file, bool cerca_generale) {
  if (!e.letto) return;
  diagnostico x = diagnostico_di({}, file);
  if (e.vuoto) {
    x.testo = e.lunghezza == 0 ? "the file is empty" : "the file holds only blanks";
  } else if (e.riga_binaria > 0) {
    x.dove = luogo_in(file, e.riga_binaria, e.colonna_binaria);
    x.testo = "binary content (byte 0x";
    aggiungi_esadecimale(x.testo, e.byte_binario);
    x.testo += "): not a description file";
  } else if (e.riga_lunga > 0) {
    // the first byte past any entry
    x.dove = luogo_in(file, e.riga_lunga, static_cast<int32_t>(lunghezza_massima_riga + 1));
    x.testo = "a line of " + std::to_string(e.lunghezza_riga) + " bytes: not a description file";
  } else if (cerca_generale && !e.ha_generale) {
    // where the marker should have opened the file
    x.dove = luogo_in(file, 1, 1);
    x.testo = "no [generale] marker: none of its entries was read";
  } else {
    return;
  }
  messaggi.push_back(std::move(x));
}

// Why a format or code slot was already in use.
std::string spiega_slot(const modello& m, int32_t codice) {
  std::string t(significato_codice(codice));
  const bool formato = codice == codice::slot_formato;
  const voce_tabella& v = m.voce(voci::linea);
  if (m.celle.size() > 1) {
    const cella& c = m.cel(1);
    const int16_t valore = formato ? c.valore : c.valore2;
    if (valore != 0) {
      t += std::string(": cell 1 holds ") + nome_tipo_cella(c.tipo) + " whose " +
           (formato ? "first" : "second") + " value is " + std::to_string(valore);
    }
  }
  if (formato ? v.campo_7 != 0 : v.orario != 0) t += ": record " + std::to_string(voci::linea) + " already holds a value there";
  return t + "; no compiled file was written";
}

}  // namespace

namespace {

// How the compile ended, beside the status the model holds.
struct fine_compilazione {
  std::optional<diagnostico> finale;  // the message of a failure that ended the compile
  bool fatale = false;
  bool interrotta = false;
  bool guasto = false;
};

// The compile itself; every failure becomes a message, none escapes.
fine_compilazione compila_insieme(modello& m, const opzioni_compila& o, sistema_file_protetto& fs,
                                  sorgenti_osservate& sorgenti, const nomi_file& nomi, const std::string& cartella) {
  fine_compilazione f;
  try {
    // one writer at a time per output set: another run's files never mix with ours
    const auto blocco = fs.blocca(fsys::path(cartella), attesa_blocco);
    if (memorizza_percorso(m, o.senza_linea ? 0 : 1, sorgenti)) {
      // the files scrivi_file_binari replaces: the line file only when the compile asks for it
      std::vector<fsys::path> insieme;
      if (m.scrivi_linea) insieme.push_back(nomi.file_linea);
      insieme.insert(insieme.end(), {nomi.file_scenario, nomi.file_percorso});
      fs.proteggi_insieme(insieme);
      scrivi_file_binari(m, fs, nomi);
    }
  } catch (const errore_fatale& x) {
    f.fatale = true;
    f.finale = diagnostico_di("fatal: " + spiega_slot(m, x.codice()));
    f.finale->codice = x.codice();
  } catch (const errore_esecuzione& x) {
    // past the readers' trap: still the data's fault, not the disk's
    f.interrotta = true;
    f.finale = diagnostico_di(std::string("run-time failure: ") + x.what());
  } catch (const errore_io& x) {
    f.guasto = true;
    // a description file that cannot be read is reported below, once
    if (!sorgenti.guasto_linea && !sorgenti.guasto_treno) {
      f.finale = diagnostico_di(x.motivo(), sorgente::altro, x.file());
    }
  } catch (const std::bad_alloc&) {
    f.guasto = true;
    f.finale = diagnostico_di("out of memory");
  } catch (const std::exception& x) {
    f.guasto = true;
    f.finale = diagnostico_di(std::string("failure: ") + x.what());
  }
  return f;
}

// What the tool noticed in the files, the warnings, the files it could not
// read; true when the files themselves raised nothing.
bool messaggi_file(esito_compila& e, const sorgenti_osservate& sorgenti) {
  // What the tool noticed in the files comes first: it explains what follows.
  aggiungi_esame(e.messaggi, sorgenti.linea, sorgente::linea, false);
  aggiungi_esame(e.messaggi, sorgenti.treno, sorgente::treno, true);
  const bool esame_pulito = e.messaggi.empty();
  if (sorgenti.guasto_linea) {
    e.messaggi.push_back(diagnostico_di("cannot read: " + *sorgenti.guasto_linea, sorgente::linea));
  }
  if (sorgenti.guasto_treno) {
    e.messaggi.push_back(diagnostico_di("cannot read: " + *sorgenti.guasto_treno, sorgente::treno));
  }
  return esame_pulito;
}

// The diagnostics, the status and the message behind it.
void messaggi_stato(esito_compila& e, const modello& m, std::vector<diagnostico> trovati,
                    const std::vector<diagnostico>& oltre, fine_compilazione& f) {
  // Every diagnostic, also those a later one overwrote in the status.
  std::optional<std::size_t> principale;
  for (std::size_t i = 0; i < trovati.size(); ++i) {
    if (trovati[i].tipo == gravita::errore && trovati[i].codice == m.codice_errore) principale = i;
  }
  if (m.codice_errore != 0 && !principale) {
    diagnostico d;
    d.codice = m.codice_errore;
    d.testo = significato_codice(m.codice_errore);
    if (d.testo.empty()) d.testo = "unknown status code";
    trovati.push_back(std::move(d));
    principale = trovati.size() - 1;
  }
  if (m.codice_errore == 0) principale.reset();
  diagnostici_ordinati ordinati = unisci_in_ordine(trovati, principale, oltre);
  if (ordinati.principale) e.principale = e.messaggi.size() + *ordinati.principale;
  for (diagnostico& d : ordinati.tutti) e.messaggi.push_back(std::move(d));

  e.stato = m.codice_errore;
  if (f.finale) {
    e.messaggi.push_back(std::move(*f.finale));
    if (f.fatale) {
      e.stato = e.messaggi.back().codice;
      e.principale = e.messaggi.size() - 1;
    }
  }
}

int uscita_di(const opzioni_compila& o, const modello& m, const std::vector<diagnostico>& trovati,
              const fine_compilazione& f, bool esame_pulito) {
  const auto quanti = [&](gravita g) {
    return std::count_if(trovati.begin(), trovati.end(), [g](const diagnostico& d) { return d.tipo == g; });
  };
  if (f.guasto) return uscita_compila::guasto_io;
  if (f.fatale) return uscita_compila::fatale;
  if (f.interrotta || m.codice_errore != 0 || quanti(gravita::errore) > 0 || !esame_pulito) {
    return uscita_compila::errori_dati;
  }
  if (o.rigoroso && quanti(gravita::avviso) > 0) return uscita_compila::errori_dati;
  return uscita_compila::riuscita;
}

}  // namespace

esito_compila compila(const opzioni_compila& o, sistema_file& fs_vero, modello* compilato) {
  esito_compila e;
  modello m;
  m.nome_linea = o.linea;
  m.numero_treno = o.treno;

  const std::string cartella_uscita = o.uscita.value_or(o.cartella);
  const nomi_file ingresso = costruisci_nomi(fsys::path(o.cartella), o.linea, o.treno);
  nomi_file nomi = costruisci_nomi(fsys::path(cartella_uscita), o.linea, o.treno);
  nomi.descrizione_linea = ingresso.descrizione_linea;
  nomi.descrizione_treno = ingresso.descrizione_treno;
  // Shown from the names' own bytes: the system's code page on every platform.
  const nomi_brevi brevi = nomi_senza_cartella(o.linea, o.treno);
  e.file = file_mostrati{mostra_file(o.cartella, brevi.descrizione_linea),
                        mostra_file(o.cartella, brevi.descrizione_treno)};
  raccolta_diagnostici trovati;
  m.diagnostici = &trovati;
  const auto nome_uscita = [&](const fsys::path& p) {
    if (p == nomi.file_linea) return brevi.file_linea;
    if (p == nomi.file_scenario) return brevi.file_scenario;
    if (p == nomi.file_percorso) return brevi.file_percorso;
    return nome_di(p);
  };

  sistema_file_protetto fs(fs_vero, {ingresso.descrizione_linea, ingresso.descrizione_treno});
  // Same compile as genera_scenario's, except that reading never deletes.
  sorgenti_su_file vere(fs, ingresso.descrizione_linea, ingresso.descrizione_treno, false);
  sorgenti_osservate sorgenti(vere);

  fine_compilazione f = compila_insieme(m, o, fs, sorgenti, nomi, cartella_uscita);
  m.diagnostici = nullptr;
  f.guasto = f.guasto || sorgenti.guasto_linea || sorgenti.guasto_treno;
  std::vector<diagnostico> oltre;
  if ((m.codice_errore != 0 || f.interrotta) && !f.guasto && !f.fatale) {
    sorgenti_su_file di_nuovo(fs, ingresso.descrizione_linea, ingresso.descrizione_treno, false);
    sorgenti_osservate seconde(di_nuovo);
    conta_voci conta(e.voci_scritte);
    oltre = verifica_oltre(m, seconde, &conta);
    // a train file the compile never reached is examined too
    if (!sorgenti.treno.letto) sorgenti.treno = seconde.treno;
  }
  const bool esame_pulito = messaggi_file(e, sorgenti);
  messaggi_stato(e, m, trovati.tutti, oltre, f);

  for (const fsys::path& p : fs.scritti()) e.scritti.push_back(mostra_file(cartella_uscita, nome_uscita(p)));
  e.uscita = uscita_di(o, m, trovati.tutti, f, esame_pulito);
  if (compilato) *compilato = std::move(m);
  return e;
}

void stampa_esito(const esito_compila& e, const opzioni_compila& o, std::ostream& out, std::ostream& err) {
  if (o.json) {
    riassunto_json r;
    r.uscita = e.uscita;
    r.stato = e.stato;
    r.principale = e.principale ? &e.messaggi.at(*e.principale) : nullptr;
    r.diagnostici = &e.messaggi;
    r.scritti = &e.scritti;
    r.file = e.file;
    out << componi_json(r) << '\n';
    return;
  }
  for (const diagnostico& m : e.messaggi) {
    err << formatta_messaggio(m, e.file) << '\n';
    for (const std::string& nota : formatta_correlati(m, e.file)) err << nota << '\n';
  }
  if (e.scritti.empty()) {
    out << "no compiled file written\n";
  } else {
    out << "written:";
    for (std::size_t i = 0; i < e.scritti.size(); ++i) {
      out << (i == 0 ? " " : ", ") << testo_escapato(e.scritti[i], forma_mostrata::byte, 400);
    }
    out << '\n';
  }
}

namespace {

// What was printed must have reached its reader: a listing lost on a full
// disk is an I/O failure, not a success.
int consegnato(int uscita, std::ostream& out, std::ostream& err) {
  out.flush();
  err.flush();
  if (out && err) return uscita;
  if (err) err << "compila_scenario: cannot write the report to standard output\n" << std::flush;
  return uscita_compila::guasto_io;
}

// Nothing may escape: a message, written out before the failure status; with
// --json the summary of every other run, with the reason as its one message.
int fallita(const char* motivo, bool json, std::ostream& out, std::ostream& err) {
  try {
    if (json) {
      const std::vector<diagnostico> messaggi{diagnostico_di(motivo)};
      const std::vector<std::string> scritti;
      out << componi_json(riassunto_json{uscita_compila::guasto_io, std::nullopt, nullptr, &messaggi, &scritti, {}})
          << '\n';
    } else {
      err << "compila_scenario: " << motivo << '\n';
    }
    out.flush();
    err.flush();
  } catch (...) {
  }
  return uscita_compila::guasto_io;
}

// Two of the run's files with one name: the later would silently replace the
// earlier, or a description file would be overwritten.
std::optional<std::string> conflitto_nomi(const opzioni_compila& o) {
  struct ruolo {
    const char* cosa;
    const std::string* cartella;
    std::string nome;
  };
  const std::string uscita = o.uscita.value_or(o.cartella);
  const nomi_brevi brevi = nomi_senza_cartella(o.linea, o.treno);
  std::vector<ruolo> file{{"the line description", &o.cartella, brevi.descrizione_linea},
                          {"the train description", &o.cartella, brevi.descrizione_treno},
                          {"the scenario file", &uscita, brevi.file_scenario},
                          {"the route file", &uscita, brevi.file_percorso}};
  if (!o.senza_linea) file.push_back({"the line file", &uscita, brevi.file_linea});
  for (std::size_t i = 0; i < file.size(); ++i) {
    for (std::size_t j = i + 1; j < file.size(); ++j) {
      const bool stessa_cartella = stesso_file(fsys::path(*file[i].cartella), fsys::path(*file[j].cartella));
      if (!stesso_nome(file[i].nome, file[j].nome) || !stessa_cartella) continue;
      return std::string(file[i].cosa) + " " + mostra_file(*file[i].cartella, file[i].nome) + " and " +
             file[j].cosa + " " + mostra_file(*file[j].cartella, file[j].nome) +
             " would be the same file: choose another --linea or --treno";
    }
  }
  return std::nullopt;
}

// A folder that cannot be used: the compile does not start.
std::optional<std::string> controlla_cartella(const std::string& cartella) {
  std::error_code ec;
  const fsys::file_status stato = fsys::status(fsys::path(cartella), ec);
  if (!fsys::exists(stato)) return "no such folder";
  if (!fsys::is_directory(stato)) return "not a folder";
  return std::nullopt;
}

// --osserva until Ctrl+C or SIGTERM.
int osserva_fino_all_arresto(const opzioni_compila& o, sistema_file& fs, std::ostream& out, std::ostream& err) {
  osserva::installa_arresto();
  const int uscita = osserva::esegui_osserva(o, fs, out, err, {osserva::arresto_chiesto, {}});
  osserva::arresto_concluso();
  return uscita;
}

}  // namespace

int esegui_compila(std::span<const std::string> argomenti, sistema_file& fs, std::ostream& out, std::ostream& err) {
  bool json = false;
  try {
    const argomenti_letti a = leggi_argomenti(argomenti);
    const opzioni_compila& o = a.opzioni;
    json = o.json;
    if (o.aiuto) {
      out << testo_uso();
      return consegnato(uscita_compila::riuscita, out, err);
    }
    if (o.lsp && a.errore.empty()) return lsp::esegui_lsp(std::cin, out, err, fs);
    esito_compila e;
    if (!a.errore.empty()) {
      e.uscita = uscita_compila::uso_errato;
      e.messaggi.push_back(diagnostico_di(a.errore));
      if (!o.json) {
        err << "compila_scenario: " << testo_escapato(a.errore, forma_mostrata::byte, 400) << "\n" << uso_breve();
        return consegnato(e.uscita, out, err);
      }
      stampa_esito(e, o, out, err);
      return consegnato(e.uscita, out, err);
    }
    if (const auto conflitto = conflitto_nomi(o)) {
      e.uscita = uscita_compila::uso_errato;
      e.messaggi.push_back(diagnostico_di(*conflitto));
      if (!o.json) {
        err << "compila_scenario: " << testo_escapato(*conflitto, forma_mostrata::byte, 1000) << "\n";
        return consegnato(e.uscita, out, err);
      }
      stampa_esito(e, o, out, err);
      return consegnato(e.uscita, out, err);
    }
    std::vector<std::string> cartelle{o.cartella};
    if (o.uscita) cartelle.push_back(*o.uscita);
    for (const std::string& cartella : cartelle) {
      if (const auto problema = controlla_cartella(cartella)) {
        e.uscita = uscita_compila::guasto_io;
        e.messaggi.push_back(diagnostico_di(*problema, sorgente::altro, cartella));
        stampa_esito(e, o, out, err);
        return consegnato(e.uscita, out, err);
      }
    }
    if (o.nuovo) return consegnato(esegui_nuovo(o, fs, out, err), out, err);
    if (o.osserva) return consegnato(osserva_fino_all_arresto(o, fs, out, err), out, err);
    modello m;
    e = compila(o, fs, &m);
    nota_file_mancanti(e, o, fs);
    if (o.html) scrivi_rapporto_compila(*o.html, o, m, e, fs);
    stampa_esito(e, o, out, err);
    return consegnato(e.uscita, out, err);
  } catch (const std::exception& x) {
    return fallita(x.what(), json, out, err);
  } catch (...) {
    return fallita("unexpected failure", json, out, err);
  }
}

}  // namespace scenario
