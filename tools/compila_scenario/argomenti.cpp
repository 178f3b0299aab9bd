// compila_scenario's command line on CLI11: the options, the usage text (once,
// as --help prints it) and the refusals in the words the documentation uses.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/nomi_file.hpp"
#include "tools/compila_scenario/compila.hpp"

namespace scenario {

namespace {

const char* const riga_uso =
    "usage: compila_scenario --linea NOME --treno NUMERO [--dir CARTELLA] [--out CARTELLA] [--senza-linea] [--json]"
    " [--rigoroso] [--html FILE]\n"
    "       compila_scenario --linea NOME --treno NUMERO [--dir CARTELLA] [...] --osserva [--porta N]\n"
    "       compila_scenario --nuovo NOME NUMERO [--dir CARTELLA] [--json]\n"
    "       compila_scenario --lsp";

const char* const descrizione_uso =
    "Compiles NOME_linea.txt and NOME_NUMERO-.txt from CARTELLA (default: the current folder)\n"
    "into NOME_linea.dat, NOME_NUMERO.sim and NOME_NUMERO.dat, exactly as genera_scenario does.\n"
    "The description files are never changed or deleted.\n"
    "--nuovo writes NOME_linea.txt and NOME_NUMERO-.txt into CARTELLA instead: a starting pair\n"
    "(a short example line and train) that compiles cleanly; it never writes over a file.\n"
    "--lsp runs a language server on standard input and output for an editor: every problem\n"
    "of an open description file and of its pair, as the text is typed, without saving.\n"
    "--osserva compiles, then serves the report page on http://127.0.0.1:PORT/ (printed first)\n"
    "and compiles again whenever a description file is saved, updating every open page,\n"
    "until Ctrl+C; the exit status is then 0.\n";

const char* const piede_uso =
    "Each problem is reported as  file:line:column: keyword at N m: what is wrong (status N);\n"
    "a warning (something most likely not meant, which changes no compiled byte) as\n"
    "file:line:column: warning: keyword: what was written and what was expected\n"
    "\n"
    "Exit status:\n"
    "  0   compiled cleanly (warnings allowed unless --rigoroso)\n"
    "  1   the descriptions hold errors; the compiled files are written as genera_scenario\n"
    "      writes them (none when the line file cannot be used)\n"
    "  2   fatal error 1250 or 1251; no compiled file written\n"
    "  3   a file or folder could not be read or written, another run kept the output\n"
    "      folder locked for 30 s, this report could not be written, or --osserva\n"
    "      could not listen on its port\n"
    "  64  bad usage, or two of the run's files would have one name\n";

struct opzione_con_valore {
  std::string_view nome;
  std::string_view valore;  // the value's name in the usage text
  bool necessaria;
  const char* aiuto;
};

// In this order in valori_letti.
constexpr std::array<opzione_con_valore, 6> con_valore{{
    {"--linea", "NOME", true, "line identifier"},
    {"--treno", "NUMERO", true, "train number"},
    {"--dir", "CARTELLA", false, "folder of the description files (default: the current folder)"},
    {"--out", "CARTELLA", false, "folder for the compiled files (default: the --dir folder)"},
    {"--html", "FILE", false, "also write FILE: a report page of the compiled route with every message"},
    {"--porta", "N", false, "with --osserva: the port to listen on (default 0: any free port)"},
}};

constexpr std::array<std::string_view, 4> senza_valore{"--senza-linea", "--json", "--rigoroso", "--osserva"};

// CLI11's refusals in our words: its text is the option's name, then `coda`;
// ours the name, its value's name when `con_nome_valore`, then `nostra`.
struct traduzione {
  std::string_view tipo;
  std::string_view coda;
  bool con_nome_valore;
  std::string_view nostra;
};

constexpr std::array<traduzione, 3> traduzioni{{
    {"RequiredError", " is required", true, " is missing"},
    {"ArgumentMismatch", ": At Most ", false, " given twice"},
    {"ArgumentMismatch", ": 1 required ", false, " needs a value"},
}};

// The options --nuovo goes with; the others are about a compile.
constexpr std::array<std::string_view, 2> con_nuovo{"--dir", "--json"};

// The usage line first, then what the program does: CLI11 puts them the other way round.
class formato_uso final : public CLI::Formatter {
 public:
  std::string make_description(const CLI::App*) const override { return {}; }
  std::string make_usage(const CLI::App* app, std::string) const override {
    return std::string(riga_uso) + "\n\n" + app->get_description();
  }
};

// Where CLI11 puts the values, in con_valore's order; moved into the options after parsing.
using valori_letti = std::array<std::string, con_valore.size()>;

// With --nuovo, --linea and --treno are not asked for: the names come with it.
void dichiara(CLI::App& app, opzioni_compila& o, valori_letti& v, bool nuovo = false) {
  app.formatter(std::make_shared<formato_uso>());
  app.footer(piede_uso);
  app.allow_extras();
  for (std::size_t i = 0; i < con_valore.size(); ++i) {
    const opzione_con_valore& c = con_valore.at(i);
    CLI::Option* x = app.add_option(std::string(c.nome), v.at(i), c.aiuto);
    x->option_text(std::string(c.valore));
    if (c.necessaria && !nuovo) x->required();
  }
  app.add_option("--nuovo", "write a starting pair, NOME_linea.txt and NOME_NUMERO-.txt, into the\n"
                            "--dir folder; an existing file is never written over")
      ->expected(2)
      ->option_text("NOME NUMERO");
  app.add_flag("--senza-linea", o.senza_linea, "compile without the line file: curves are not read and\n"
                                               "NOME_linea.dat is not written");
  app.add_flag("--json", o.json, "print one JSON summary line on standard output instead of messages");
  app.add_flag("--rigoroso", o.rigoroso, "exit 1 on warnings too");
  app.add_flag("--osserva", o.osserva, "after compiling, serve the report page on 127.0.0.1 and compile\n"
                                       "again on every save of a description file, until Ctrl+C");
  for (std::string_view f : senza_valore) {
    app.get_option(std::string(f))->multi_option_policy(CLI::MultiOptionPolicy::Throw);
  }
}

std::optional<opzione_con_valore> cerca_con_valore(std::string_view nome) {
  for (const opzione_con_valore& c : con_valore) {
    if (c.nome == nome) return c;
  }
  return std::nullopt;
}

// The arguments as CLI11 should see them: "--opzione=valore" split in two, so
// an empty value stays a value; an option is never the value of the one before
// it; a flag takes no value. The first refusal is kept, the rest still parsed.
struct argomenti_in_forma {
  std::vector<std::string> passati;
  std::string errore;
  std::optional<std::array<std::string, 2>> nuovo;  // --nuovo's NOME and NUMERO, never shown to CLI11
};

// --nuovo NOME NUMERO (or --nuovo=NOME NUMERO): two values, neither an option.
// Returns the index of the last argument taken.
std::size_t prendi_nuovo(std::span<const std::string> argomenti, std::size_t i, std::size_t uguale,
                         argomenti_in_forma& r) {
  std::vector<std::string> valori;
  if (uguale != std::string::npos) valori.push_back(argomenti[i].substr(uguale + 1));
  while (valori.size() < 2 && i + 1 < argomenti.size() && !argomenti[i + 1].starts_with("--")) {
    valori.push_back(argomenti[++i]);
  }
  std::string errore;
  if (valori.size() < 2) errore = "--nuovo needs NOME and NUMERO";
  if (r.nuovo) errore = "--nuovo given twice";
  if (errore.empty()) {
    r.nuovo = {valori[0], valori[1]};
  } else if (r.errore.empty()) {
    r.errore = errore;
  }
  return i;
}

argomenti_in_forma in_forma(std::span<const std::string> argomenti) {
  argomenti_in_forma r;
  const auto errore = [&r](std::string testo) {
    if (r.errore.empty()) r.errore = std::move(testo);
  };
  for (std::size_t i = 0; i < argomenti.size(); ++i) {
    const std::string& a = argomenti[i];
    const std::size_t uguale = a.starts_with("--") ? a.find('=') : std::string::npos;
    const std::string nome = a.substr(0, uguale);
    if (nome == "--nuovo") {
      i = prendi_nuovo(argomenti, i, uguale, r);
      continue;
    }
    if (uguale != std::string::npos && std::find(senza_valore.begin(), senza_valore.end(), nome) != senza_valore.end()) {
      errore(nome + " takes no value");
      continue;
    }
    if (!cerca_con_valore(nome)) {
      r.passati.push_back(a);
      continue;
    }
    if (uguale == std::string::npos && (i + 1 >= argomenti.size() || argomenti[i + 1].starts_with("--"))) {
      errore(nome + " needs a value");
      continue;
    }
    r.passati.push_back(nome);
    r.passati.push_back(uguale == std::string::npos ? argomenti[++i] : a.substr(uguale + 1));
  }
  return r;
}

std::string in_parole_nostre(const CLI::ParseError& e) {
  const std::string testo = e.what();
  const std::string nome = testo.substr(0, testo.find_first_of(": "));
  const std::string_view coda = std::string_view(testo).substr(nome.size());
  for (const traduzione& t : traduzioni) {
    if (e.get_name() != t.tipo || !coda.starts_with(t.coda)) continue;
    std::string r = nome;
    if (const auto c = cerca_con_valore(nome); c && t.con_nome_valore) r += " " + std::string(c->valore);
    return r + std::string(t.nostra);
  }
  return testo;
}

// An argument nothing took: an option we do not have, or a word out of place.
std::string estraneo(std::string_view argomento) {
  if (!argomento.starts_with("-")) return "unexpected argument '" + std::string(argomento) + "'";
  return "unknown option '" + std::string(argomento.substr(0, argomento.find('='))) + "'";
}

// What is wrong once every option found its value: empty folders, names that
// cannot be file names.
std::string controlla_valori(const opzioni_compila& o) {
  if (o.cartella.empty()) return "--dir needs a folder";
  if (o.uscita && o.uscita->empty()) return "--out needs a folder";
  if (o.html && o.html->empty()) return "--html needs a file";
  // The names become file names and record texts: no paths, nothing unprintable.
  if (const auto p = problema_identificativo(o.linea, "--linea")) return *p;
  if (const auto p = problema_identificativo(o.treno, "--treno")) return *p;
  return {};
}

// --osserva's companions: --porta only with it, a port number; no --json.
std::string controlla_osserva(const opzioni_compila& o, const std::optional<std::string>& porta) {
  if (o.osserva && o.json) return "--json does not go with --osserva";
  if (!porta) return {};
  if (!o.osserva) return "--porta goes only with --osserva";
  const bool cifre = !porta->empty() && porta->size() <= 5 &&
                     std::all_of(porta->begin(), porta->end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!cifre || std::stoi(*porta) > 65535) return "--porta needs a port number from 0 to 65535";
  return {};
}

// A --nuovo value that is a path or a file name: the names it stands for,
// its folder. `e_numero` for NUMERO: a bare stem is the number then.
struct nome_nuovo {
  bool da_file = false;
  std::string linea;
  std::string treno;
  std::string cartella;
};

nome_nuovo leggi_nome_nuovo(const std::string& valore, bool e_numero) {
  nome_nuovo n;
  // split where the platform splits a path
  const std::filesystem::path percorso(valore);
  const std::string resto = percorso.filename().string();
  n.cartella = percorso.parent_path().string();
  const std::optional<nomi_attesi> attesi = nomi_da_file(resto);
  const bool txt = resto.size() > 4 && resto.ends_with(".txt");
  n.da_file = valore.find_first_of("/\\") != std::string::npos || attesi || txt;
  if (attesi) {
    n.linea = attesi->linea;
    n.treno = attesi->treno;
  } else if (resto.find_first_of("/\\") == std::string::npos) {
    (e_numero ? n.treno : n.linea) = txt ? resto.substr(0, resto.size() - 4) : resto;
  }
  return n;
}

// --nuovo's names, checked as --linea's and --treno's are; a file name or a
// path is told with the --nuovo that was meant.
std::string controlla_nuovo(const opzioni_compila& o) {
  const nome_nuovo l = leggi_nome_nuovo(o.linea, false);
  const nome_nuovo t = leggi_nome_nuovo(o.treno, true);
  if (!l.da_file && !t.da_file) {
    if (const auto p = problema_identificativo(o.linea, "--nuovo NOME")) return *p;
    if (const auto p = problema_identificativo(o.treno, "--nuovo NUMERO")) return *p;
    return {};
  }
  const std::string linea = !t.linea.empty() ? t.linea : !l.linea.empty() ? l.linea : "NOME";
  const std::string treno = !t.treno.empty() ? t.treno : !l.treno.empty() ? l.treno : "NUMERO";
  const std::string cartella = !l.cartella.empty() ? l.cartella : t.cartella;
  return "--nuovo takes a name and a number, not file names or paths: give --nuovo " + linea + " " + treno +
         (cartella.empty() ? "" : " --dir " + cartella);
}

// What goes wrong with --nuovo beside the names: an option about a compile.
std::string nuovo_con(const CLI::App& app) {
  for (const CLI::Option* x : app.get_options()) {
    const std::string nome = x->get_name();
    const bool permessa = std::find(con_nuovo.begin(), con_nuovo.end(), nome) != con_nuovo.end();
    if (x->count() > 0 && !permessa) return nome + " does not go with --nuovo";
  }
  return {};
}

}  // namespace

std::string uso_breve() { return std::string(riga_uso) + "  (--help for more)\n"; }

std::string testo_uso() {
  opzioni_compila o;
  valori_letti v;
  CLI::App app{descrizione_uso, "compila_scenario"};
  dichiara(app, o, v);
  return app.help();
}

argomenti_letti leggi_argomenti(std::span<const std::string> argomenti) {
  argomenti_letti r;
  opzioni_compila& o = r.opzioni;
  // the server's files come from the editor: no other option applies
  const auto dato = [&](const char* x) { return std::find(argomenti.begin(), argomenti.end(), x) != argomenti.end(); };
  if (dato("--lsp") && !dato("--help") && !dato("-h")) {
    o.lsp = true;
    if (argomenti.size() > 1) r.errore = "--lsp takes no other option";
    return r;
  }
  const argomenti_in_forma f = in_forma(argomenti);
  valori_letti v;
  CLI::App app{descrizione_uso, "compila_scenario"};
  dichiara(app, o, v, f.nuovo.has_value());
  // CLI11 takes the arguments last first
  std::vector<std::string> rovesciati(f.passati.rbegin(), f.passati.rend());
  std::string rifiuto;
  try {
    app.parse(rovesciati);
  } catch (const CLI::CallForHelp&) {
    o.aiuto = true;
  } catch (const CLI::ParseError& e) {
    rifiuto = in_parole_nostre(e);
  }
  // --help anywhere wins over every mistake
  if (o.aiuto || app.get_help_ptr()->count() > 0) {
    o.aiuto = true;
    return r;
  }
  // a wrong word is told before what it left missing
  const std::vector<std::string> resto = app.remaining();
  if (!f.errore.empty()) {
    r.errore = f.errore;
  } else if (!resto.empty()) {
    r.errore = estraneo(resto.front());
  } else if (!rifiuto.empty()) {
    r.errore = rifiuto;
  }
  o.linea = v.at(0);
  o.treno = v.at(1);
  if (app.count("--dir") > 0) o.cartella = v.at(2);
  if (app.count("--out") > 0) o.uscita = v.at(3);
  if (app.count("--html") > 0) o.html = v.at(4);
  std::optional<std::string> porta;
  if (app.count("--porta") > 0) porta = v.at(5);
  if (f.nuovo) {
    o.nuovo = true;
    if (r.errore.empty()) r.errore = nuovo_con(app);
    o.linea = f.nuovo->at(0);
    o.treno = f.nuovo->at(1);
    if (r.errore.empty()) r.errore = controlla_nuovo(o);
  }
  if (r.errore.empty() && !o.nuovo) r.errore = controlla_osserva(o, porta);
  if (r.errore.empty() && porta) o.porta = std::stoi(*porta);
  if (r.errore.empty()) r.errore = controlla_valori(o);
  return r;
}

}  // namespace scenario
