#include "compiler/readers/lettore_campi.hpp"

#include <algorithm>
#include <limits>

#include "compiler/model/errori.hpp"

namespace scenario {

namespace {
bool spazio(char c) { return c == ' ' || c == '\t'; }
bool fine_riga(char c) { return c == '\r' || c == '\n'; }
char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string nome_campo(const char* cosa) { return cosa != nullptr ? std::string(cosa) + ": " : std::string(); }
}  // namespace

void lettore_campi::salta_spazi() {
  while (pos_ < testo_.size() && spazio(testo_[pos_])) ++pos_;
}

bool lettore_campi::a_fine_riga() const { return pos_ < testo_.size() && fine_riga(testo_[pos_]); }

void lettore_campi::consuma_fine_riga() {
  if (testo_[pos_] == '\r' && pos_ + 1 < testo_.size() && testo_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  if (riga_ < std::numeric_limits<int32_t>::max()) ++riga_;
  inizio_riga_ = pos_;
}

void lettore_campi::inizio_campo(const char* cosa) {
  if (fine()) {
    riga_campo_ = riga_;
    colonna_campo_ = static_cast<int32_t>(std::min<std::size_t>(pos_ - inizio_riga_ + 1, INT32_MAX));
    throw errore_esecuzione(nome_campo(cosa) + "the file ends where this field is expected");
  }
  salta_spazi();
  riga_campo_ = riga_;
  colonna_campo_ = static_cast<int32_t>(std::min<std::size_t>(pos_ - inizio_riga_ + 1, INT32_MAX));
}

int32_t lettore_campi::colonna_cursore() const {
  return static_cast<int32_t>(std::min<std::size_t>(pos_ - inizio_riga_ + 1, INT32_MAX));
}

std::string_view lettore_campi::resto_riga() const {
  const std::size_t da = std::min(pos_, testo_.size());
  // no line end lies between ricerca_da_ and ricerca_fine_: any start in between shares that end
  if (da < ricerca_da_ || da > ricerca_fine_) {
    std::size_t fine = da;
    while (fine < testo_.size() && !fine_riga(testo_[fine])) ++fine;
    ricerca_da_ = da;
    ricerca_fine_ = fine;
  }
  return testo_.substr(da, ricerca_fine_ - da);
}

std::string lettore_campi::leggi_testo() {
  inizio_campo(nullptr);
  const std::size_t inizio = pos_;
  while (pos_ < testo_.size() && testo_[pos_] != ',' && !fine_riga(testo_[pos_])) ++pos_;
  ultimo_ = testo_.substr(inizio, pos_ - inizio);
  std::string campo(ultimo_);
  vuoto_ = campo.empty();
  a_capo_ = true;
  if (pos_ < testo_.size()) {
    if (testo_[pos_] == ',') {
      ++pos_;
      a_capo_ = false;
    } else {
      consuma_fine_riga();
    }
  }
  return campo;
}

int64_t lettore_campi::leggi_numero(int64_t minimo, int64_t massimo, const char* cosa) {
  inizio_campo(cosa);
  const std::size_t inizio = pos_;
  while (pos_ < testo_.size() && testo_[pos_] != ',' && !fine_riga(testo_[pos_]) && !spazio(testo_[pos_])) ++pos_;
  const std::string_view parola = testo_.substr(inizio, pos_ - inizio);
  ultimo_ = parola;
  vuoto_ = parola.empty();
  // a number ends at a blank; the comma or line end after it belongs to it
  salta_spazi();
  a_capo_ = true;
  if (pos_ < testo_.size()) {
    if (testo_[pos_] == ',') {
      ++pos_;
      a_capo_ = false;
    } else if (a_fine_riga()) {
      consuma_fine_riga();
    } else {
      a_capo_ = false;  // another number after blanks
    }
  }
  if (parola.empty()) return 0;
  const std::string intervallo =
      " (accepted: whole numbers from " + std::to_string(minimo) + " to " + std::to_string(massimo) + ")";
  std::size_t i = 0;
  const bool negativo = parola[0] == '-';
  if (parola[0] == '-' || parola[0] == '+') ++i;
  const std::string mostra = testo_escapato(parola, forma_mostrata::byte, massimo_parola_mostrata);
  if (i == parola.size()) throw errore_esecuzione(nome_campo(cosa) + "'" + mostra + "' is not a number" + intervallo);
  int64_t valore = 0;
  for (; i < parola.size(); ++i) {
    const char c = parola[i];
    if (c < '0' || c > '9') throw errore_esecuzione(nome_campo(cosa) + "'" + mostra + "' is not a whole number" + intervallo);
    // saturate: anything this large fits no width
    if (valore < (int64_t{1} << 40)) valore = valore * 10 + (c - '0');
  }
  if (negativo) valore = -valore;
  if (valore < minimo || valore > massimo) {
    throw errore_esecuzione(nome_campo(cosa) + mostra + " is out of range" + intervallo);
  }
  return valore;
}

int32_t lettore_campi::leggi_long(const char* cosa) {
  return static_cast<int32_t>(
      leggi_numero(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), cosa));
}

int16_t lettore_campi::leggi_integer(const char* cosa) {
  return static_cast<int16_t>(
      leggi_numero(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), cosa));
}

uint8_t lettore_campi::leggi_byte(const char* cosa) { return static_cast<uint8_t>(leggi_numero(0, 255, cosa)); }

std::string_view senza_spazi(std::string_view t) {
  const auto spazio = [](char c) { return c == ' ' || c == '\t'; };
  while (!t.empty() && spazio(t.front())) t.remove_prefix(1);
  while (!t.empty() && spazio(t.back())) t.remove_suffix(1);
  return t;
}

bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

bool contiene_nc(std::string_view campo, std::string_view parola) {
  if (parola.empty()) return true;
  if (campo.size() < parola.size()) return false;
  const auto it = std::search(campo.begin(), campo.end(), parola.begin(), parola.end(),
                              [](char a, char b) { return minuscola(a) == minuscola(b); });
  return it != campo.end();
}

}  // namespace scenario
