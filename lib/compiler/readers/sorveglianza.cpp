#include "compiler/readers/sorveglianza.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "compiler/model/errori.hpp"
#include "compiler/readers/parole_chiave.hpp"

namespace scenario {

namespace {

char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool cifra(char c) { return c >= '0' && c <= '9'; }
bool lettera(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0xC0;
}

// Whether the text starts with a field that holds a number.
bool inizia_con_numero(std::string_view t) {
  t = senza_spazi(t.substr(0, std::min(t.find(','), t.size())));
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
  return !t.empty() && cifra(t[0]);
}

std::string quante(int n, const char* uno, const char* molti) {
  return std::to_string(n) + " " + (n == 1 ? uno : molti);
}

}  // namespace

std::size_t distanza_parole(std::string_view a, std::string_view b) {
  std::vector<std::size_t> prima(b.size() + 1);
  std::vector<std::size_t> ora(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) prima[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    ora[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cambio = prima[j - 1] + (minuscola(a[i - 1]) == minuscola(b[j - 1]) ? 0 : 1);
      ora[j] = std::min({prima[j] + 1, ora[j - 1] + 1, cambio});
    }
    std::swap(prima, ora);
  }
  return prima[b.size()];
}

sorveglianza::sorveglianza(modello& m, lettore_campi& campi, sorgente file)
    : m_(m), campi_(campi), file_(file), sopra_(m.diagnostici) {
  luogo_.regione.file = file;
  m_.diagnostici = this;
}

sorveglianza::~sorveglianza() { m_.diagnostici = sopra_; }

void sorveglianza::ricevi(diagnostico d) {
  if (d.dove.regione.file == sorgente::nessuna) d.dove = luogo_;
  if (posizione_voce_ && d.tipo == gravita::errore) d.posizione = posizione_voce_;
  // a warning about an entry stands where the entry does, for the report's marks
  if (!d.posizione && d.tipo == gravita::avviso && posizione_letta_ && !nome_.empty() &&
      d.dove.regione.file == file_ && d.dove.regione.inizio.riga == riga_voce_ &&
      *posizione_letta_ >= INT32_MIN && *posizione_letta_ <= INT32_MAX)
    d.posizione = static_cast<int32_t>(*posizione_letta_);
  if (sopra_) sopra_->ricevi(std::move(d));
}

void sorveglianza::fuori_voce() {
  luogo_ = luogo{};
  luogo_.regione.file = file_;
  posizione_voce_.reset();
  posizione_letta_.reset();
}

void sorveglianza::avvisa(int32_t riga, int32_t colonna, std::string testo) {
  segna_avviso(m_, luogo_in(file_, riga, colonna, parola_), std::move(testo));
}

void sorveglianza::parola_letta() {
  const std::string_view scritto = campi_.ultimo_campo();
  const std::size_t pieno = scritto.find_last_not_of(" \t");
  const auto fine = static_cast<int64_t>(campi_.colonna()) + static_cast<int64_t>(pieno == std::string_view::npos ? 0 : pieno + 1);
  luogo_ = luogo_in(file_, campi_.riga(), campi_.colonna(), std::string(scritto),
                    static_cast<int32_t>(std::min<int64_t>(fine, INT32_MAX)));
  posizione_voce_.reset();
  nome_.clear();
  parola_ = std::string(senza_spazi(campi_.ultimo_campo()));
  posizione_letta_.reset();
  regione_parola_ = regione_sorgente{};
  regione_parola_.file = file_;
  const auto davanti = static_cast<int32_t>(std::min(scritto.find_first_not_of(" \t"), scritto.size()));
  regione_parola_.inizio = punto_testo{campi_.riga(), campi_.colonna() + davanti};
  regione_parola_.fine = punto_testo{campi_.riga(), regione_parola_.inizio.colonna + static_cast<int32_t>(parola_.size())};
  riga_voce_ = campi_.riga();
  colonna_voce_ = campi_.colonna();
  attesi_ = 0;
  letti_ = 0;
  sulla_riga_ = 0;
  spezzata_ = false;
  if (!campi_.vuoto()) ultimo_ = parola_;
  ultimo_da_voce_ = false;
}

void sorveglianza::voce(std::string_view nome) {
  const parola_chiave* p = parola_di_voce(nome);
  if (nome_.empty()) {
    nome_ = std::string(nome);
    annuncia(0, std::nullopt);
  }
  attesi_ += p ? static_cast<int>(p->campi.size()) : 0;
}

// The watcher, if any, learns where a field stood and what it gave.
void sorveglianza::annuncia(int indice, std::optional<int64_t> numero) {
  if (m_.campi_letti == nullptr) return;
  campo_letto c;
  c.voce = regione_parola_;
  c.nome_voce = nome_;
  c.indice = indice;
  c.numero = numero;
  if (indice == 0) {
    c.dove = regione_parola_;
  } else {
    const std::string_view scritto = campi_.ultimo_campo();
    const std::size_t davanti = std::min(scritto.find_first_not_of(" \t"), scritto.size());
    const std::size_t dentro = senza_spazi(scritto).size();
    c.dove.file = file_;
    c.dove.inizio = punto_testo{campi_.riga(), campi_.colonna() + static_cast<int32_t>(davanti)};
    c.dove.fine = punto_testo{campi_.riga(), c.dove.inizio.colonna + static_cast<int32_t>(dentro)};
  }
  m_.campi_letti->ricevi(c);
}

void sorveglianza::punta_al_campo(const char* cosa) {
  luogo_ = luogo_in(file_, campi_.riga(), campi_.colonna(), std::move(luogo_.parola));
  // a field taken from the next line is most likely why it failed
  if (campi_.riga() != riga_voce_ && !spezzata_ && !nome_.empty()) {
    spezzata_ = true;
    avvisa(riga_voce_, colonna_voce_,
           nome_ + " takes " + quante(attesi_, "field", "fields") + ", but its line holds " +
               quante(sulla_riga_, "field", "fields") + ": " + cosa + " was looked for on line " +
               std::to_string(campi_.riga()));
  }
}

void sorveglianza::dopo_campo(const char* cosa, bool vuoto_ammesso, std::optional<int64_t> numero) {
  ++letti_;
  annuncia(letti_, numero);
  if (letti_ == 1 && numero) {
    const parola_chiave* p = parola_di_voce(nome_);
    if (p != nullptr && !p->campi.empty() &&
        (p->campi[0].genere == genere_campo::posizione || p->campi[0].genere == genere_campo::posizione_dopo))
      posizione_letta_ = numero;
  }
  ultimo_da_voce_ = true;
  if (!campi_.vuoto()) ultimo_ = std::string(campi_.ultimo_campo());
  if (campi_.riga() == riga_voce_) {
    ++sulla_riga_;
    if (campi_.vuoto() && !vuoto_ammesso) {
      avvisa(campi_.riga(), campi_.colonna(), std::string("empty field where ") + cosa + " is expected: read as 0");
    }
    return;
  }
  if (spezzata_) return;
  spezzata_ = true;
  avvisa(riga_voce_, colonna_voce_,
         nome_ + " takes " + quante(attesi_, "field", "fields") + ", but its line holds " +
             quante(sulla_riga_, "field", "fields") + ": " + cosa + " and what follows are read from line " +
             std::to_string(campi_.riga()));
}

int32_t sorveglianza::lungo(const char* cosa, bool vuoto_ammesso) {
  int32_t v = 0;
  try {
    v = campi_.leggi_long(cosa);
  } catch (const errore_esecuzione&) {
    punta_al_campo(cosa);
    throw;
  }
  dopo_campo(cosa, vuoto_ammesso, v);
  migliaia();
  return v;
}

// "6,000": a number of one to three digits, a comma right after it and three
// digits right after that reads as 6, then 000 as the next field.
void sorveglianza::migliaia() {
  const std::string_view campo = campi_.ultimo_campo();
  if (campo.empty() || campo.size() > 3 || !std::all_of(campo.begin(), campo.end(), cifra)) return;
  if (campi_.chiuso_a_fine_riga() || campi_.colonna() + static_cast<int32_t>(campo.size()) + 1 != campi_.colonna_cursore()) return;
  const std::string_view resto = campi_.resto_riga();
  if (resto.size() < 3 || !std::all_of(resto.begin(), resto.begin() + 3, cifra)) return;
  if (resto.size() > 3 && (cifra(resto[3]) || resto[3] == '.')) return;
  // appended piece by piece: GCC 12 warns falsely on "literal" + std::string temporaries
  const std::string_view migliaia = resto.substr(0, 3);
  std::string t(1, '\'');
  t.append(campo).append(",").append(migliaia).append("' reads as ").append(campo).append(" and then ");
  t.append(migliaia).append(": numbers are written without a thousands separator");
  avvisa(campi_.riga(), campi_.colonna(), std::move(t));
}

// A text kept as it is written: blanks at its end stay part of it, and UTF-8
// bytes show as two or three Windows-1252 characters each.
void sorveglianza::controlla_testo(std::string_view t, const char* cosa) {
  if (!t.empty() && (t.back() == ' ' || t.back() == '\t')) {
    avvisa(campi_.riga(), campi_.colonna(),
           std::string(cosa) + " ends in " + (t.back() == ' ' ? "a blank" : "a tab") + ", which is kept as part of it");
  }
  for (std::size_t i = 0; i + 1 < t.size(); ++i) {
    const auto u = static_cast<unsigned char>(t[i]);
    const std::size_t lunghezza = u >= 0xF0 && u <= 0xF4 ? 4 : u >= 0xE0 ? 3 : u >= 0xC2 && u <= 0xDF ? 2 : 0;
    if (lunghezza == 0 || lunghezza > 3 + (u >= 0xF0 ? 1 : 0) || i + lunghezza > t.size()) continue;
    const bool seguito = std::all_of(t.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                     t.begin() + static_cast<std::ptrdiff_t>(i + lunghezza),
                                     [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; });
    if (!seguito) continue;
    avvisa(campi_.riga(), campi_.colonna(),
           std::string(cosa) + " holds UTF-8 text ('" +
               testo_escapato(t.substr(i, lunghezza), forma_mostrata::byte, massimo_parola_mostrata) +
               "' is one character written in UTF-8): description files are Windows-1252, so it is stored as these "
               "bytes; save the file as Windows-1252");
    return;
  }
}

int16_t sorveglianza::intero(const char* cosa) {
  int16_t v = 0;
  try {
    v = campi_.leggi_integer(cosa);
  } catch (const errore_esecuzione&) {
    punta_al_campo(cosa);
    throw;
  }
  dopo_campo(cosa, false, v);
  return v;
}

uint8_t sorveglianza::byte(const char* cosa) {
  uint8_t v = 0;
  try {
    v = campi_.leggi_byte(cosa);
  } catch (const errore_esecuzione&) {
    punta_al_campo(cosa);
    throw;
  }
  dopo_campo(cosa, false, v);
  return v;
}

std::string sorveglianza::testo(const char* cosa) {
  std::string v;
  try {
    v = campi_.leggi_testo();
  } catch (const errore_esecuzione&) {
    punta_al_campo(cosa);
    throw;
  }
  dopo_campo(cosa, true, std::nullopt);
  controlla_testo(v, cosa);
  return v;
}

void sorveglianza::fine_voce(std::span<const std::string_view> parole) {
  const bool riconosciuta = !nome_.empty();
  if (riconosciuta && commento_apparente()) return;
  if (campi_.chiuso_a_fine_riga()) return;
  const int32_t riga = campi_.riga();
  if (riga == riga_ignorata_) return;
  const std::string_view resto = campi_.resto_riga();
  const char* fine_resto = resto.data() + resto.size();
  if (fine_resto == fine_solo_separatori_) return;
  const auto primo = resto.find_first_not_of(" \t,");
  if (primo == std::string_view::npos) {
    fine_solo_separatori_ = fine_resto;
    return;
  }
  const int32_t colonna = campi_.colonna_cursore() + static_cast<int32_t>(primo);

  if (riconosciuta) {
    if (spezzata_) return;
    riga_ignorata_ = riga;
    const std::string avanzo = testo_escapato(senza_spazi(resto), forma_mostrata::byte, massimo_parola_mostrata);
    std::string t = nome_ + " takes " + quante(attesi_, "field", "fields") + "; the line goes on with '" + avanzo +
                    "', which is not part of it";
    // "65,5": the comma ended the number, the digits after it are left over
    if (primo == 0 && cifra(resto[0]) && !campi_.ultimo_campo().empty() && cifra(campi_.ultimo_campo().back())) {
      t += " (a decimal comma? numbers are whole: " + std::string(campi_.ultimo_campo()) + "," +
           std::string(1, resto[0]) + "... is read as " + std::string(campi_.ultimo_campo()) + ")";
    }
    avvisa(riga, colonna, std::move(t));
    return;
  }

  const std::size_t prima_lettera = std::find_if(parola_.begin(), parola_.end(), lettera) - parola_.begin();
  if (prima_lettera == parola_.size() || !inizia_con_numero(resto)) return;
  const std::string_view nuda = std::string_view(parola_).substr(prima_lettera);
  riga_ignorata_ = riga;
  // appended piece by piece: GCC 12 warns falsely on "literal" + std::string temporaries
  std::string t(1, '\'');
  t += testo_escapato(parola_, forma_mostrata::byte, massimo_parola_mostrata);
  t += "' matches no keyword: this line is not read";
  std::string_view vicina;
  std::size_t migliore = SIZE_MAX;
  for (const std::string_view p : parole) {
    const std::size_t d = distanza_parole(nuda, p);
    if (d < migliore) {
      migliore = d;
      vicina = p;
    }
  }
  const bool vicina_chiara = migliore == 0 || (!vicina.empty() && migliore <= std::max<std::size_t>(1, vicina.size() / 4));
  if (migliore == 0) {
    t += " (letter case matters here: write " + std::string(vicina) + ")";
  } else if (vicina_chiara) {
    t += " (did you mean " + std::string(vicina) + "?)";
  }
  diagnostico d;
  d.tipo = gravita::avviso;
  d.dove = luogo{regione_parola_, parola_};
  d.testo = std::move(t);
  // the keyword field as a whole is what an editor may replace
  if (vicina_chiara) d.correzione = std::string(vicina);
  if (m_.diagnostici) m_.diagnostici->ricevi(std::move(d));
}

// '#', '//' or ';' before a keyword does not make a comment: the entry is read.
bool sorveglianza::commento_apparente() {
  const std::string_view p = parola_;
  const char* segno = p.starts_with("//") ? "//" : p.starts_with("#") ? "#" : p.starts_with(";") ? ";" : nullptr;
  if (segno == nullptr || riga_voce_ == riga_commento_) return false;
  riga_commento_ = riga_voce_;
  avvisa(riga_voce_, colonna_voce_,
         std::string("'") + segno + "' does not comment a line out: it is read as a " + nome_ +
             " entry (a field holding '-' is a comment)");
  return true;
}

void sorveglianza::fine_file() {
  if (contiene_nc(ultimo_, "[fine]")) return;
  if (ultimo_da_voce_ && !nome_.empty() && (spezzata_ || campi_.vuoto())) {
    avvisa(riga_voce_, colonna_voce_,
           "the file ends inside this " + nome_ + " entry, without the end marker [fine]: cut short?");
    return;
  }
  if (ultimo_da_voce_ || ultimo_.empty()) {
    avvisa(riga_voce_, colonna_voce_, "the file ends without the end marker [fine]");
    return;
  }
  avvisa(campi_.riga(), campi_.colonna(),
         ultimo_.empty() ? std::string("the file ends without the end marker [fine]")
                         : "the file ends without the end marker [fine]: its last field '" +
                               testo_escapato(ultimo_, forma_mostrata::byte, massimo_parola_mostrata) +
                               "' is never read");
}

}  // namespace scenario
