#pragma once
// Watches how a reader takes the fields of each entry and warns the author: an
// entry spread over two lines, an empty number field, more fields on a line
// than the entry takes, a word with numbers after it that matches no keyword,
// a file that ends without its end marker. It only looks: every value goes on
// exactly as the field reader returns it.
//
// While it lives it is the model's diagnostic sink: what placement reports
// without a place gets the entry being read, then goes on to the sink before.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "compiler/model/modello.hpp"
#include "compiler/readers/lettore_campi.hpp"

namespace scenario {

class sorveglianza final : public destinatario_diagnostici {
 public:
  sorveglianza(modello& m, lettore_campi& campi, sorgente file);
  ~sorveglianza();
  sorveglianza(const sorveglianza&) = delete;
  sorveglianza& operator=(const sorveglianza&) = delete;

  void ricevi(diagnostico d) override;
  // The entry being read (the field at fault after a failed read).
  const luogo& luogo_corrente() const { return luogo_; }
  // The entry's position, for what its placement reports.
  void posizione_voce(int32_t posizione) { posizione_voce_ = posizione; }
  // Past the last entry: what follows is about the file as a whole.
  void fuori_voce();

  // A keyword field has just been read: a new entry may start here.
  void parola_letta();
  // A handler takes the keyword field: the fields of its keyword follow it.
  void voce(std::string_view nome);
  // Reads of the handler's fields; `vuoto_ammesso` where an empty field means "none".
  int32_t lungo(const char* cosa, bool vuoto_ammesso = false);
  int16_t intero(const char* cosa);
  uint8_t byte(const char* cosa);
  std::string testo(const char* cosa);
  // After the handlers; `parole` are the keywords that could have been meant.
  void fine_voce(std::span<const std::string_view> parole);
  // The rest of this line is expected to go unread (curves without a track plan).
  void ignora_riga() { riga_ignorata_ = campi_.riga(); }
  // The reading reached the end of the file normally.
  void fine_file();

 private:
  void dopo_campo(const char* cosa, bool vuoto_ammesso, std::optional<int64_t> numero);
  void annuncia(int indice, std::optional<int64_t> numero);
  void avvisa(int32_t riga, int32_t colonna, std::string testo);
  void punta_al_campo(const char* cosa);
  void migliaia();
  void controlla_testo(std::string_view t, const char* cosa);
  bool commento_apparente();

  modello& m_;
  lettore_campi& campi_;
  sorgente file_;
  destinatario_diagnostici* sopra_;  // the sink before this one
  luogo luogo_;
  std::optional<int32_t> posizione_voce_;
  std::optional<int64_t> posizione_letta_;  // the entry's route position, once its field is read
  std::string nome_;        // the handler of the current entry; empty: none
  std::string parola_;      // the keyword field as written
  regione_sorgente regione_parola_;  // where it stands, blanks left out
  int32_t riga_voce_ = 0;   // where it stands
  int32_t colonna_voce_ = 0;
  int attesi_ = 0;          // fields the entry takes
  int letti_ = 0;           // fields read so far
  int sulla_riga_ = 0;      // of them, on the keyword's line
  bool spezzata_ = false;   // already warned: the entry goes on on another line
  int32_t riga_ignorata_ = 0;  // a line whose remaining fields were explained already
  int32_t riga_commento_ = 0;  // a line already warned as a comment that is not one
  // End of a line whose rest held only separators: a later field on it has nothing left to check.
  const char* fine_solo_separatori_ = nullptr;
  std::string ultimo_;         // the last field that held anything
  bool ultimo_da_voce_ = false;  // ...and a handler read it
};

// Number of single-byte edits between two words, letter case ignored.
std::size_t distanza_parole(std::string_view a, std::string_view b);

}  // namespace scenario
