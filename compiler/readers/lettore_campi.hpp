#pragma once
// A cursor over the bytes of a description file, returning one field at a time.
//
// A field ends at a comma or at a line end (CR LF, CR or LF); blanks before it
// are skipped. A field read as a number also ends at a blank and must hold one
// signed whole number that fits its destination; a field of blanks reads as 0.
// Anything else read as a number, and any read at the end, is a run-time failure.
#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

class lettore_campi {
 public:
  explicit lettore_campi(std::string_view testo) : testo_(testo) {}

  // The end of the file: no byte left.
  bool fine() const { return pos_ >= testo_.size(); }

  std::string leggi_testo();
  int32_t leggi_long();
  int16_t leggi_integer();
  uint8_t leggi_byte();

  // 1-based line where the last field read starts.
  int32_t riga() const { return riga_campo_; }

 private:
  int64_t leggi_numero(int64_t minimo, int64_t massimo, const char* larghezza);
  void salta_spazi();
  bool a_fine_riga() const;
  void consuma_fine_riga();
  void inizio_campo();

  std::string_view testo_;
  std::size_t pos_ = 0;
  int32_t riga_ = 1;
  int32_t riga_campo_ = 0;
};

// Whether a field contains a keyword: exactly, or ignoring letter case.
bool contiene(std::string_view campo, std::string_view parola);
bool contiene_nc(std::string_view campo, std::string_view parola);

}  // namespace scenario
