#include "tools/compila_scenario/vicini.hpp"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "compiler/readers/sorveglianza.hpp"
#include "io/nomi_file.hpp"

namespace scenario {

namespace fsys = std::filesystem;

namespace {

// Enough for any folder of descriptions; a huge folder is not read to its end.
constexpr std::size_t nomi_esaminati = 100000;

bool finisce_con_nc(std::string_view testo, std::string_view fine) {
  return testo.size() >= fine.size() && distanza_parole(testo.substr(testo.size() - fine.size()), fine) == 0;
}

// The names of what the folder holds, folders left out; none when it cannot be read.
std::vector<std::string> nomi_in(const std::string& cartella) {
  std::vector<std::string> r;
  std::error_code ec;
  fsys::directory_iterator it(fsys::path(cartella), ec);
  for (std::size_t n = 0; !ec && it != fsys::directory_iterator() && n < nomi_esaminati; it.increment(ec), ++n) {
    std::error_code ec_tipo;
    if (it->is_directory(ec_tipo)) continue;
    try {
      // the name's own bytes, as the options give them (the system's code page)
      r.push_back(it->path().filename().string());
    } catch (const std::exception&) {
    }
  }
  return r;
}

// What one missing file is, in the words the note uses.
struct file_atteso {
  sorgente file;
  fsys::path percorso;
  std::string nome;
  std::string_view fine;
  std::string opzioni;
  const char* cosa;
  std::string stesso_inizio;  // the line's train files are near whatever their number
};

// The options that give a near name; only the parts that differ from ours.
std::string opzioni_di(const std::string& nome, const opzioni_compila& o) {
  const std::optional<nomi_attesi> n = nomi_da_file(nome);
  if (!n) return {};
  if (n->treno.empty()) return "--linea " + n->linea;
  if (n->linea == o.linea) return "--treno " + n->treno;
  return "--linea " + n->linea + " --treno " + n->treno;
}

std::string testo_nota(const file_atteso& f, const opzioni_compila& o, std::span<const std::string> nella_cartella) {
  const std::string dove = o.cartella == "." ? "the current folder" : o.cartella;
  std::string t = f.nome + ", the " + f.cosa + " named by " + f.opzioni + ", is not in " + dove;
  const std::vector<std::string> vicini = nomi_vicini(nella_cartella, f.nome, f.fine, f.stesso_inizio);
  for (std::size_t i = 0; i < vicini.size(); ++i) {
    t += i == 0 ? "; did you mean " : i + 1 == vicini.size() ? " or " : ", ";
    t += vicini[i] + " (" + opzioni_di(vicini[i], o) + ")";
  }
  return vicini.empty() ? t : t + "?";
}

// Just after the last message about the same file, where a reader looks for it.
void inserisci_dopo(esito_compila& e, diagnostico d) {
  std::size_t dove = e.messaggi.size();
  for (std::size_t i = 0; i < e.messaggi.size(); ++i) {
    if (e.messaggi[i].dove.regione.file == d.dove.regione.file) dove = i + 1;
  }
  e.messaggi.insert(e.messaggi.begin() + static_cast<std::ptrdiff_t>(dove), std::move(d));
  if (e.principale && *e.principale >= dove) ++*e.principale;
}

}  // namespace

std::vector<std::string> nomi_vicini(std::span<const std::string> nella_cartella, std::string_view atteso,
                                     std::string_view fine, std::string_view stesso_inizio) {
  const std::string_view radice = atteso.substr(0, atteso.size() - std::min(fine.size(), atteso.size()));
  const std::size_t soglia = std::max<std::size_t>(2, radice.size() / 3);
  std::vector<std::pair<std::size_t, std::string>> trovati;
  for (const std::string& nome : nella_cartella) {
    if (nome == atteso || !finisce_con_nc(nome, fine) || !nomi_da_file(nome)) continue;
    const std::size_t d = distanza_parole(std::string_view(nome).substr(0, nome.size() - fine.size()), radice);
    const bool stessa_linea = !stesso_inizio.empty() && nome.starts_with(stesso_inizio);
    if (d <= soglia || stessa_linea) trovati.emplace_back(d, nome);
  }
  std::sort(trovati.begin(), trovati.end());
  std::vector<std::string> r;
  for (std::size_t i = 0; i < trovati.size() && i < 3; ++i) r.push_back(trovati[i].second);
  return r;
}

void nota_file_mancanti(esito_compila& e, const opzioni_compila& o, sistema_file& fs) {
  const nomi_file nomi = costruisci_nomi(fsys::path(o.cartella), o.linea, o.treno);
  const nomi_brevi brevi = nomi_senza_cartella(o.linea, o.treno);
  const std::string linea = "--linea " + o.linea;
  const file_atteso attesi[] = {
      {sorgente::linea, nomi.descrizione_linea, brevi.descrizione_linea, "_linea.txt", linea, "line description", {}},
      {sorgente::treno, nomi.descrizione_treno, brevi.descrizione_treno, "-.txt", linea + " --treno " + o.treno,
       "train description", o.linea + "_"},
  };
  std::optional<std::vector<std::string>> nella_cartella;  // read once, and only for a missing file
  for (const file_atteso& f : attesi) {
    if (fs.presente(f.percorso)) continue;
    if (!nella_cartella) nella_cartella = nomi_in(o.cartella);
    diagnostico d = diagnostico_di(testo_nota(f, o, *nella_cartella), f.file);
    d.tipo = gravita::nota;
    inserisci_dopo(e, std::move(d));
  }
}

}  // namespace scenario
