#include "tools/mostra_scenario/mostra.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <exception>
#include <filesystem>
#include <system_error>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>
#include <ostream>
#include <vector>

#include "formato/decodifica.hpp"
#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "io/testo_1252.hpp"
#include "contenuto/contenuto.hpp"
#include "contenuto/descrizione.hpp"
#include "contenuto/json.hpp"
#include "decompila/decompila.hpp"
#include "diagnostica/messaggi.hpp"
#include "rapporto/rapporto.hpp"

namespace scenario {

namespace {

struct opzioni_mostra {
  std::string linea;
  std::string treno;
  std::string cartella = ".";
  bool senza_linea = false;
  bool json = false;
  bool grezzo = false;
  std::optional<std::string> confronta;
  std::optional<std::string> html;
  std::optional<std::string> decompila;
};

const char* const descrizione_uso =
    "Reads NOME_linea.dat, NOME_NUMERO.sim and NOME_NUMERO.dat from CARTELLA (default: the current\n"
    "folder) and lists what they hold by meaning: headers, length, format numbers and codes (and\n"
    "whether they verify), stations, signals, slowdowns, speed-reduction points, boards, signs,\n"
    "speed-limit, gradient, adhesion and mountain runs, approach marks, kilometric references.\n"
    "Without a line file everything else is listed.";

const char* const uso_breve =
    "usage: mostra_scenario --linea NOME --treno NUMERO [--dir CARTELLA] [--senza-linea] [--json] [--grezzo]"
    " [--html FILE] [--confronta ALTRA_CARTELLA] [--decompila USCITA]  (--help for more)\n";

const char* const stati_uscita =
    "Exit status:\n"
    "  0   listed; with --confronta: the two sets of files are the same byte for byte\n"
    "  1   --confronta: they differ (each difference on a line of its own); --decompila: no pair\n"
    "      that compiles back to these files byte for byte could be written (the message says\n"
    "      which part); nothing is written\n"
    "  2   a compiled file is missing, cannot be read or is broken (the message names\n"
    "      the file, the byte offset and the field)\n"
    "  3   standard output or error could not be written (a full disk, a closed stream)\n"
    "  64  bad usage (with --json the refusal is printed as JSON on standard output); --decompila:\n"
    "      a description file is already in USCITA (it is named; nothing is written over)\n";

// The scenario of one folder, read and decoded.
struct letto {
  modello m;
  contenuto_scenario c;
};

// A compiled file, read only when it is no larger than a compile writes it;
// nothing when nothing at all stands at the path.
std::optional<std::string> leggi_compilato(sistema_file& fs, const std::filesystem::path& file, file_compilato quale) {
  try {
    return fs.leggi_entro(file, byte_massimi(quale));
  } catch (const errore_troppo_grande& e) {
    throw troppo_lungo(quale, testo_percorso(file), e.dimensione());
  }
}

std::string leggi_necessario(sistema_file& fs, const std::filesystem::path& file, file_compilato quale) {
  std::optional<std::string> dati = leggi_compilato(fs, file, quale);
  if (!dati) throw errore_io(testo_percorso(file), std::make_error_code(std::errc::no_such_file_or_directory).message());
  return std::move(*dati);
}

letto leggi_cartella(const opzioni_mostra& o, const std::string& cartella, sistema_file& fs) {
  const nomi_file nomi = costruisci_nomi(cartella, o.linea, o.treno);
  const std::string scenario = leggi_necessario(fs, nomi.file_scenario, file_compilato::scenario);
  const std::string percorso = leggi_necessario(fs, nomi.file_percorso, file_compilato::percorso);
  // without the line file everything else is still shown; anything else in its
  // place (a folder, a FIFO, a device, a link to nothing) is refused
  std::optional<std::string> linea;
  if (!o.senza_linea) linea = leggi_compilato(fs, nomi.file_linea, file_compilato::linea);
  file_compilati f{std::nullopt, scenario, percorso, testo_percorso(nomi.file_linea),
                   testo_percorso(nomi.file_scenario), testo_percorso(nomi.file_percorso)};
  if (linea) f.linea = *linea;
  letto r{decodifica(f), {}};
  r.c = estrai_contenuto(r.m);
  return r;
}

// The report page; never over one of the files it shows.
void scrivi_rapporto(const opzioni_mostra& o, const letto& a, sistema_file& fs) {
  const std::filesystem::path pagina(*o.html);
  const nomi_file nomi = costruisci_nomi(o.cartella, o.linea, o.treno);
  for (const std::filesystem::path& p : {nomi.file_linea, nomi.file_scenario, nomi.file_percorso}) {
    if (stesso_file(pagina, p)) {
      throw errore_io(*o.html, "is one of the compiled files: no report written");
    }
  }
  rapporto::origine_rapporto org;
  org.programma = "mostra_scenario";
  for (const std::filesystem::path& p : {nomi.file_linea, nomi.file_scenario, nomi.file_percorso}) {
    if (p != nomi.file_linea || a.m.tracciato.esiste()) org.file.push_back(testo_percorso(p));
  }
  org.senza_linea = o.senza_linea;
  sostituisci_file(fs, pagina, rapporto::componi_rapporto(a.m, a.c, org));
}

// A value is never taken from the next option: "--treno --json" lacks its number.
std::optional<std::string> valore_mancante(std::span<const std::string> argomenti) {
  static constexpr std::array<std::string_view, 6> con_valore{"--linea", "--treno", "--dir", "--html", "--confronta",
                                                                 "--decompila"};
  for (std::size_t i = 0; i < argomenti.size(); ++i) {
    if (std::find(con_valore.begin(), con_valore.end(), argomenti[i]) == con_valore.end()) continue;
    if (i + 1 >= argomenti.size() || argomenti[i + 1].starts_with("--")) return argomenti[i] + " needs a value";
  }
  return std::nullopt;
}

// A refusal: one line on standard error, or with --json one JSON document on
// standard output in compila_scenario's schema.
int rifiuta(bool json, int uscita, const std::string& file, const std::string& testo, std::ostream& out,
            std::ostream& err) {
  const std::string messaggio = file.empty() ? testo : file + ": " + testo;
  if (!json) {
    err << "mostra_scenario: " << messaggio << '\n';
    if (uscita == uscita_mostra::uso_errato) err << uso_breve;
    return uscita;
  }
  const std::vector<diagnostico> messaggi{diagnostico_di(testo, file.empty() ? sorgente::nessuna : sorgente::altro, file)};
  const std::vector<std::string> scritti;
  riassunto_json r;
  r.uscita = uscita;
  r.principale = &messaggi.front();  // where the refusal points
  r.diagnostici = &messaggi;
  r.scritti = &scritti;
  out << componi_json(r) << '\n';
  return uscita;
}

// What was printed must have reached its reader: output lost on a full disk
// or a closed stream is a failure, never a success.
int consegnato(int uscita, std::ostream& out, std::ostream& err) {
  out.flush();
  err.flush();
  if (out && err) return uscita;
  if (err) err << "mostra_scenario: cannot write to standard output\n" << std::flush;
  return uscita_mostra::guasto_uscita;
}

// The options, checked; or the exit status of a refusal or of --help.
std::variant<opzioni_mostra, int> leggi_opzioni(std::span<const std::string> argomenti, bool json, std::ostream& out,
                                                std::ostream& err) {
  opzioni_mostra o;
  std::string altra;
  std::string html;
  CLI::App app{descrizione_uso, "mostra_scenario"};
  app.add_option("--linea", o.linea, "line identifier")->required()->option_text("NOME");
  app.add_option("--treno", o.treno, "train number")->required()->option_text("NUMERO");
  app.add_option("--dir", o.cartella, "folder of the compiled files")->option_text("CARTELLA");
  app.add_flag("--senza-linea", o.senza_linea, "do not read the line file (no track plan)");
  app.add_flag("--json", o.json, "print one JSON document (UTF-8) instead of the listing");
  app.add_option("--html", html, "write FILE: a self-contained report page (plan, profiles, timetable) instead of the listing")
      ->option_text("FILE");
  app.add_flag("--grezzo", o.grezzo, "print every record and every non-empty cell field by field");
  app.add_option("--confronta", altra, "compare with the same scenario in ALTRA_CARTELLA: every difference")
      ->option_text("ALTRA_CARTELLA");
  std::string uscita;
  app.add_option("--decompila", uscita,
                 "write NOME_linea.txt and NOME_NUMERO-.txt into USCITA (made when missing): descriptions that"
                 " compile back to these files byte for byte")
      ->option_text("USCITA");
  app.footer(stati_uscita);
  try {
    if (const auto manca = valore_mancante(argomenti)) throw CLI::ValidationError(*manca);
    // CLI11 takes the arguments last first
    std::vector<std::string> rovesciati(argomenti.rbegin(), argomenti.rend());
    app.parse(rovesciati);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return uscita_mostra::riuscita;
  } catch (const CLI::ParseError& e) {
    return rifiuta(json, uscita_mostra::uso_errato, "", e.what(), out, err);
  }
  if (app.count("--confronta") > 0) o.confronta = altra;
  if (app.count("--html") > 0) o.html = html;
  if (app.count("--decompila") > 0) o.decompila = uscita;
  if (o.decompila && (o.confronta || o.json || o.html || o.grezzo || o.decompila->empty())) {
    return rifiuta(json, uscita_mostra::uso_errato, "", "--decompila takes a folder and goes with no other output option",
                   out, err);
  }
  if (o.html && (o.confronta || o.json || o.html->empty())) {
    return rifiuta(json, uscita_mostra::uso_errato, "", "--html takes a file and goes with neither --json nor --confronta",
                   out, err);
  }
  for (const auto& [nome, opzione] : {std::pair{&o.linea, "--linea"}, std::pair{&o.treno, "--treno"}}) {
    if (const auto problema = problema_identificativo(*nome, opzione)) {
      return rifiuta(json, uscita_mostra::uso_errato, "", *problema, out, err);
    }
  }
  return o;
}

// The two descriptions, never over a file that is there already.
int scrivi_decompilato(const opzioni_mostra& o, const modello& m, sistema_file& fs, std::ostream& out,
                       std::ostream& err) {
  const nomi_file nomi = costruisci_nomi(*o.decompila, o.linea, o.treno);
  for (const std::filesystem::path& p : {nomi.descrizione_linea, nomi.descrizione_treno}) {
    if (fs.presente(p)) return rifiuta(false, uscita_mostra::uso_errato, testo_percorso(p), "is there already: nothing written", out, err);
  }
  descrizioni d;
  try {
    d = decompila(m);
  } catch (const errore_decompila& e) {
    return rifiuta(false, uscita_mostra::differenti, "", std::string("cannot decompile: ") + e.what(), out, err);
  }
  fs.crea_cartella(*o.decompila);  // only once there is a pair to write
  if (!fs.crea_nuovo(nomi.descrizione_linea, d.linea, {}, true)) {
    return rifiuta(false, uscita_mostra::uso_errato, testo_percorso(nomi.descrizione_linea),
                   "is there already: not written over", out, err);
  }
  // a train file that appeared since the check: the pair is not left half written
  if (!fs.crea_nuovo(nomi.descrizione_treno, d.treno, {}, true)) {
    fs.elimina(nomi.descrizione_linea);
    return rifiuta(false, uscita_mostra::uso_errato, testo_percorso(nomi.descrizione_treno),
                   "is there already: not written over, and the line file written with it is removed", out, err);
  }
  out << "written: " << testo_percorso(nomi.descrizione_linea) << "\nwritten: " << testo_percorso(nomi.descrizione_treno)
      << '\n';
  if (!d.con_tracciato) out << "compile them with --senza-linea: these files have no line file\n";
  if (d.fine != fine_compilazione::file || d.stazione_in_fondo) {
    out << "these files come from a compile that stopped at a refused entry: the pair's last entry stops "
           "its compile at the same point, so it reports a problem and writes the same files\n";
  }
  return uscita_mostra::riuscita;
}

int esegui(const opzioni_mostra& o, sistema_file& fs, std::ostream& out, std::ostream& err) {
  const letto a = leggi_cartella(o, o.cartella, fs);
  if (o.decompila) return scrivi_decompilato(o, a.m, fs, out, err);
  if (o.html) {
    scrivi_rapporto(o, a, fs);
    out << "written: " << *o.html << '\n';
    return uscita_mostra::riuscita;
  }
  if (!o.confronta) {
    if (o.json) {
      out << in_json(a.c).dump(2) << '\n';
    } else if (o.grezzo) {
      out << elenco_grezzo(a.m);
    } else {
      out << elenco(a.c);
    }
    return uscita_mostra::riuscita;
  }
  const letto b = leggi_cartella(o, *o.confronta, fs);
  const bool uguali = mostra_confronto(confronta(a.m, a.c, b.m, b.c, nomi_confrontati_di(o.linea, o.treno)), o.json, out);
  return uguali ? uscita_mostra::riuscita : uscita_mostra::differenti;
}

}  // namespace

int esegui_mostra(std::span<const std::string> argomenti, sistema_file& fs, std::ostream& out, std::ostream& err) {
  const bool json = std::find(argomenti.begin(), argomenti.end(), "--json") != argomenti.end();
  int uscita = uscita_mostra::file_guasto;
  try {
    const auto lette = leggi_opzioni(argomenti, json, out, err);
    if (const int* u = std::get_if<int>(&lette)) return consegnato(*u, out, err);
    uscita = esegui(std::get<opzioni_mostra>(lette), fs, out, err);
  } catch (const errore_decodifica& e) {
    uscita = rifiuta(json, uscita_mostra::file_guasto, "", e.what(), out, err);
  } catch (const errore_io& e) {
    uscita = rifiuta(json, uscita_mostra::file_guasto, e.file(), e.motivo(), out, err);
  } catch (const std::exception& e) {
    uscita = rifiuta(json, uscita_mostra::file_guasto, "", e.what(), out, err);
  }
  return consegnato(uscita, out, err);
}

}  // namespace scenario
