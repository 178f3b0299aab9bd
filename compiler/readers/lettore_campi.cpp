#include "compiler/readers/lettore_campi.hpp"

#include <algorithm>
#include <limits>

#include "compiler/model/errori.hpp"

namespace scenario {

namespace {
bool spazio(char c) { return c == ' ' || c == '\t'; }
bool fine_riga(char c) { return c == '\r' || c == '\n'; }
char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

void lettore_campi::salta_spazi() {
  while (pos_ < testo_.size() && spazio(testo_[pos_])) ++pos_;
}

bool lettore_campi::a_fine_riga() const { return pos_ < testo_.size() && fine_riga(testo_[pos_]); }

void lettore_campi::consuma_fine_riga() {
  if (testo_[pos_] == '\r' && pos_ + 1 < testo_.size() && testo_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++riga_;
}

void lettore_campi::inizio_campo() {
  if (fine()) throw errore_esecuzione("read past the end of the file");
  salta_spazi();
  riga_campo_ = riga_;
}

std::string lettore_campi::leggi_testo() {
  inizio_campo();
  const std::size_t inizio = pos_;
  while (pos_ < testo_.size() && testo_[pos_] != ',' && !fine_riga(testo_[pos_])) ++pos_;
  std::string campo(testo_.substr(inizio, pos_ - inizio));
  if (pos_ < testo_.size()) {
    if (testo_[pos_] == ',') {
      ++pos_;
    } else {
      consuma_fine_riga();
    }
  }
  return campo;
}

int64_t lettore_campi::leggi_numero(int64_t minimo, int64_t massimo, const char* larghezza) {
  inizio_campo();
  const std::size_t inizio = pos_;
  while (pos_ < testo_.size() && testo_[pos_] != ',' && !fine_riga(testo_[pos_]) && !spazio(testo_[pos_])) ++pos_;
  const std::string_view parola = testo_.substr(inizio, pos_ - inizio);
  // a number ends at a blank; the comma or line end after it belongs to it
  salta_spazi();
  if (pos_ < testo_.size()) {
    if (testo_[pos_] == ',') {
      ++pos_;
    } else if (a_fine_riga()) {
      consuma_fine_riga();
    }
  }
  if (parola.empty()) return 0;
  std::size_t i = 0;
  const bool negativo = parola[0] == '-';
  if (parola[0] == '-' || parola[0] == '+') ++i;
  if (i == parola.size()) throw errore_esecuzione("'" + std::string(parola) + "' is not a number");
  const std::string mostra(parola.substr(0, std::min<std::size_t>(parola.size(), 40)));
  int64_t valore = 0;
  for (; i < parola.size(); ++i) {
    const char c = parola[i];
    if (c < '0' || c > '9') throw errore_esecuzione("'" + mostra + "' is not a whole number");
    // saturate: anything this large fits no width
    if (valore < (int64_t{1} << 40)) valore = valore * 10 + (c - '0');
  }
  if (negativo) valore = -valore;
  if (valore < minimo || valore > massimo) {
    throw errore_esecuzione(mostra + " does not fit in " + larghezza);
  }
  return valore;
}

int32_t lettore_campi::leggi_long() {
  return static_cast<int32_t>(leggi_numero(std::numeric_limits<int32_t>::min(),
                                           std::numeric_limits<int32_t>::max(), "32 bits"));
}

int16_t lettore_campi::leggi_integer() {
  return static_cast<int16_t>(leggi_numero(std::numeric_limits<int16_t>::min(),
                                           std::numeric_limits<int16_t>::max(), "16 bits"));
}

uint8_t lettore_campi::leggi_byte() { return static_cast<uint8_t>(leggi_numero(0, 255, "a byte (0 to 255)")); }

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
