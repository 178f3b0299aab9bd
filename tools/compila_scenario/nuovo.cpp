#include "tools/compila_scenario/nuovo.hpp"

#include <array>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "diagnostica/messaggi.hpp"
#include "io/errore_io.hpp"
#include "io/nomi_file.hpp"
#include "io/testo_1252.hpp"

namespace scenario {

namespace fsys = std::filesystem;

namespace {

struct file_coppia {
  fsys::path percorso;
  std::string mostrato;
  std::string_view testo;
};

struct esito_nuovo {
  int uscita = uscita_compila::riuscita;
  std::optional<diagnostico> rifiuto;
  std::vector<std::string> scritti;
};

// A refusal about one file: it names the file, and says that nothing was left behind.
esito_nuovo rifiutato(int uscita, const std::string& file, const std::string& perche) {
  esito_nuovo r;
  r.uscita = uscita;
  r.rifiuto = diagnostico_di(perche + "; nothing was written", sorgente::altro, file);
  return r;
}

// Removes what this run created, so that a refusal leaves the folder as it was.
void annulla(sistema_file& fs, const std::vector<const file_coppia*>& creati) {
  for (const file_coppia* f : creati) {
    try {
      fs.elimina(f->percorso);
    } catch (const errore_io&) {
    }
  }
}

// Both files or neither: a name already taken (also between the look and the
// write, by another program) is never opened.
esito_nuovo scrivi_coppia(const opzioni_compila& o, sistema_file& fs) {
  const nomi_file nomi = costruisci_nomi(fsys::path(o.cartella), o.linea, o.treno);
  const nomi_brevi brevi = nomi_senza_cartella(o.linea, o.treno);
  const std::array<file_coppia, 2> coppia{{
      {nomi.descrizione_linea, mostra_file(o.cartella, brevi.descrizione_linea), esempio_linea()},
      {nomi.descrizione_treno, mostra_file(o.cartella, brevi.descrizione_treno), esempio_treno()},
  }};
  const std::string gia = "already exists: --nuovo never writes over a file";
  for (const file_coppia& f : coppia) {
    if (fs.presente(f.percorso)) return rifiutato(uscita_compila::uso_errato, f.mostrato, gia);
  }
  std::vector<const file_coppia*> creati;
  try {
    for (const file_coppia& f : coppia) {
      if (!fs.crea_nuovo(f.percorso, f.testo, fsys::path(), true)) {
        annulla(fs, creati);
        return rifiutato(uscita_compila::uso_errato, f.mostrato, gia);
      }
      creati.push_back(&f);
    }
    fs.sincronizza_cartella(fsys::path(o.cartella));
  } catch (const errore_io& x) {
    annulla(fs, creati);
    return rifiutato(uscita_compila::guasto_io, x.file(), x.motivo());
  }
  esito_nuovo r;
  for (const file_coppia& f : coppia) r.scritti.push_back(f.mostrato);
  return r;
}

// The command that compiles the new pair, for the author to run next.
std::string comando_dopo(const opzioni_compila& o) {
  std::string c = "compila_scenario --linea " + o.linea + " --treno " + o.treno;
  if (o.cartella != ".") c += " --dir " + o.cartella;
  return testo_escapato(c + " --rigoroso", forma_mostrata::byte, 1000);
}

}  // namespace

int esegui_nuovo(const opzioni_compila& o, sistema_file& fs, std::ostream& out, std::ostream& err) {
  const esito_nuovo e = scrivi_coppia(o, fs);
  if (o.json) {
    std::vector<diagnostico> messaggi;
    if (e.rifiuto) messaggi.push_back(*e.rifiuto);
    riassunto_json r;
    r.uscita = e.uscita;
    r.principale = messaggi.empty() ? nullptr : &messaggi.front();
    r.diagnostici = &messaggi;
    r.scritti = &e.scritti;
    out << componi_json(r) << '\n';
    return e.uscita;
  }
  if (e.rifiuto) {
    err << "compila_scenario: " << formatta_messaggio(*e.rifiuto, {}) << '\n';
    return e.uscita;
  }
  out << "written:";
  for (std::size_t i = 0; i < e.scritti.size(); ++i) {
    out << (i == 0 ? " " : ", ") << testo_escapato(e.scritti[i], forma_mostrata::byte, 400);
  }
  out << "\ncompile them with: " << comando_dopo(o) << '\n';
  return e.uscita;
}

}  // namespace scenario
