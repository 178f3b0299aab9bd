#include "tools/mostra_scenario/mostra.hpp"

#include <CLI/CLI.hpp>
#include <exception>
#include <filesystem>
#include <system_error>
#include <optional>
#include <ostream>
#include <vector>

#include "compiler/output/decodifica.hpp"
#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "tools/mostra_scenario/contenuto.hpp"
#include "tools/mostra_scenario/descrizione.hpp"
#include "tools/mostra_scenario/json.hpp"
#include "tools/rapporto_html/rapporto.hpp"

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
};

const char* const stati_uscita =
    "Exit status:\n"
    "  0   listed; with --confronta: the two scenarios mean the same\n"
    "  1   --confronta: they differ (each difference on a line of its own)\n"
    "  2   a compiled file is missing, cannot be read or is broken (the message names\n"
    "      the file, the byte offset and the field)\n"
    "  64  bad usage\n";

// The scenario of one folder, read and decoded.
struct letto {
  modello m;
  contenuto_scenario c;
};

letto leggi_cartella(const opzioni_mostra& o, const std::string& cartella, sistema_file& fs) {
  const nomi_file nomi = costruisci_nomi(cartella, o.linea, o.treno);
  const std::string scenario = fs.leggi(nomi.file_scenario);
  const std::string percorso = fs.leggi(nomi.file_percorso);
  std::optional<std::string> linea;
  // without the line file everything else is still shown
  if (!o.senza_linea && fs.esiste(nomi.file_linea)) linea = fs.leggi(nomi.file_linea);
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
    std::error_code ec;
    if (pagina.lexically_normal() == p.lexically_normal() || (std::filesystem::equivalent(pagina, p, ec) && !ec)) {
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

}  // namespace

int esegui_mostra(std::span<const std::string> argomenti, sistema_file& fs, std::ostream& out, std::ostream& err) {
  opzioni_mostra o;
  std::string altra;
  CLI::App app{
      "Reads NOME_linea.dat, NOME_NUMERO.sim and NOME_NUMERO.dat from CARTELLA (default: the current\n"
      "folder) and lists what they hold by meaning: headers, length, format numbers and codes (and\n"
      "whether they verify), stations, signals, slowdowns, speed-reduction points, boards, signs,\n"
      "speed-limit, gradient, adhesion and mountain runs, approach marks, kilometric references.\n"
      "Without a line file everything else is listed.",
      "mostra_scenario"};
  app.add_option("--linea", o.linea, "line identifier")->required()->option_text("NOME");
  app.add_option("--treno", o.treno, "train number")->required()->option_text("NUMERO");
  app.add_option("--dir", o.cartella, "folder of the compiled files")->option_text("CARTELLA");
  app.add_flag("--senza-linea", o.senza_linea, "do not read the line file (no track plan)");
  app.add_flag("--json", o.json, "print one JSON document (UTF-8) instead of the listing");
  std::string html;
  app.add_option("--html", html, "write FILE: a self-contained report page (plan, profiles, timetable) instead of the listing")
      ->option_text("FILE");
  app.add_flag("--grezzo", o.grezzo, "print every record and every non-empty cell field by field");
  app.add_option("--confronta", altra, "compare with the same scenario in ALTRA_CARTELLA: the differences by meaning")
      ->option_text("ALTRA_CARTELLA");
  app.footer(stati_uscita);
  try {
    // CLI11 takes the arguments last first
    std::vector<std::string> rovesciati(argomenti.rbegin(), argomenti.rend());
    app.parse(rovesciati);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return uscita_mostra::riuscita;
  } catch (const CLI::ParseError& e) {
    err << "mostra_scenario: " << e.what() << "\nusage: mostra_scenario --linea NOME --treno NUMERO [--dir CARTELLA]"
           " [--senza-linea] [--json] [--grezzo] [--html FILE] [--confronta ALTRA_CARTELLA]  (--help for more)\n";
    return uscita_mostra::uso_errato;
  }
  if (app.count("--confronta") > 0) o.confronta = altra;
  if (app.count("--html") > 0) o.html = html;
  if (o.html && (o.confronta || o.json || o.html->empty())) {
    err << "mostra_scenario: --html takes a file and goes with neither --json nor --confronta\n";
    return uscita_mostra::uso_errato;
  }
  for (const std::string* nome : {&o.linea, &o.treno}) {
    if (nome->empty() || nome->find_first_of("/\\") != std::string::npos) {
      err << "mostra_scenario: --linea and --treno take a name, not a path\n";
      return uscita_mostra::uso_errato;
    }
  }

  try {
    const letto a = leggi_cartella(o, o.cartella, fs);
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
    const std::vector<std::string> d = differenze(a.c, a.m, b.c, b.m);
    if (o.json) {
      nlohmann::ordered_json j;
      j["equal"] = d.empty();
      j["differences"] = d;
      out << j.dump(2) << '\n';
    } else if (d.empty()) {
      out << "no differences\n";
    } else {
      for (const std::string& x : d) out << x << '\n';
    }
    return d.empty() ? uscita_mostra::riuscita : uscita_mostra::differenti;
  } catch (const errore_decodifica& e) {
    err << "mostra_scenario: " << e.what() << '\n';
  } catch (const errore_io& e) {
    err << "mostra_scenario: " << e.file() << ": " << e.motivo() << '\n';
  } catch (const std::exception& e) {
    err << "mostra_scenario: " << e.what() << '\n';
  }
  return uscita_mostra::file_guasto;
}

}  // namespace scenario
