#pragma once
// A cursor over the bytes of a description file, returning one field at a time.
//
// A field ends at a comma or at a line end (CR LF, CR or LF); blanks before it
// are skipped. A field read as a number also ends at a blank and must hold one
// signed whole number that fits its destination; a field of blanks reads as 0.
// Anything else read as a number, and any read at the end, is a run-time failure.
//
// Besides the values it keeps, for messages only, where the last field stood
// and how it ended; none of that changes what is read.
#include <cstdint>
#include <string>
#include <string_view>

#include "io/testo_1252.hpp"

namespace scenario {

class lettore_campi {
 public:
  explicit lettore_campi(std::string_view testo) : testo_(testo) {}

  // The end of the file: no byte left.
  bool fine() const { return pos_ >= testo_.size(); }

  // `cosa` names the field in the message of a run-time failure.
  std::string leggi_testo();
  int32_t leggi_long(const char* cosa = nullptr);
  int16_t leggi_integer(const char* cosa = nullptr);
  uint8_t leggi_byte(const char* cosa = nullptr);

  // 1-based line and byte column where the last field read starts.
  int32_t riga() const { return riga_campo_; }
  int32_t colonna() const { return colonna_campo_; }
  // The last field held nothing but blanks.
  bool vuoto() const { return vuoto_; }
  // The last field was the last one of its line (or of the file).
  bool chiuso_a_fine_riga() const { return a_capo_; }
  // The bytes from the cursor to the end of the current line.
  std::string_view resto_riga() const;
  // 1-based byte column of the cursor on its line.
  int32_t colonna_cursore() const;
  // The text of the last field read, blanks and all.
  std::string_view ultimo_campo() const { return ultimo_; }

 private:
  int64_t leggi_numero(int64_t minimo, int64_t massimo, const char* cosa);
  void salta_spazi();
  bool a_fine_riga() const;
  void consuma_fine_riga();
  void inizio_campo(const char* cosa);

  std::string_view testo_;
  std::size_t pos_ = 0;
  int32_t riga_ = 1;
  std::size_t inizio_riga_ = 0;
  // The end of the line last looked for, and where the search began: a long
  // line is walked once, not again for every field on it.
  mutable std::size_t ricerca_da_ = 1;
  mutable std::size_t ricerca_fine_ = 0;
  int32_t riga_campo_ = 0;
  int32_t colonna_campo_ = 0;
  bool vuoto_ = false;
  bool a_capo_ = true;
  std::string_view ultimo_;
};

// Whether a field contains a keyword: exactly, or ignoring letter case.
bool contiene(std::string_view campo, std::string_view parola);
bool contiene_nc(std::string_view campo, std::string_view parola);

// A field without the blanks and tabs around it.
std::string_view senza_spazi(std::string_view t);

// The most bytes of a file's word quoted in a message.
inline constexpr std::size_t massimo_parola_mostrata = 40;

}  // namespace scenario
