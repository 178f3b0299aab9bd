#include "compiler/finishing/codici_gara.hpp"

#include "compiler/model/numeri.hpp"

namespace scenario {

namespace {

// Pads short identifiers so the first 25 characters always exist.
constexpr const char* riempitivo = "qqttppzzrrvvkkuuyyssxxwwjj";
constexpr std::size_t caratteri_contati = 25;

// Train number then line identifier, lower case, then the filler; kept in riga.
const std::string& stringa_codice(modello& m) {
  m.riga = minuscolo_1252(m.voce(voci::treno).nome + m.voce(voci::linea).nome) + riempitivo;
  return m.riga;
}

int32_t codice_carattere(const std::string& s, std::size_t i) { return static_cast<unsigned char>(s.at(i)); }

}  // namespace

uint8_t minuscola_1252(uint8_t c) {
  if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(c + 0x20);
  // accented capitals; 0xD7 is the multiplication sign
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<uint8_t>(c + 0x20);
  switch (c) {
    case 0x8A: return 0x9A;  // S caron
    case 0x8C: return 0x9C;  // OE
    case 0x8E: return 0x9E;  // Z caron
    case 0x9F: return 0xFF;  // Y diaeresis
    default: return c;
  }
}

std::string minuscolo_1252(std::string testo) {
  for (char& c : testo) c = static_cast<char>(minuscola_1252(static_cast<unsigned char>(c)));
  return testo;
}

int16_t codice_gara_og(modello& m) {
  const std::string& s = stringa_codice(m);
  int32_t somma = 0;  // at most 25 x 255
  for (std::size_t i = 0; i < caratteri_contati; ++i) somma += codice_carattere(s, i);
  return converti<int16_t>(somma, "og code");
}

int32_t codice_gara_st(modello& m) {
  const std::string& s = stringa_codice(m);
  int32_t somma = 0;  // at most 255 x 325
  for (std::size_t i = 0; i < caratteri_contati; ++i) somma += codice_carattere(s, i) * static_cast<int32_t>(i + 1);
  return somma;
}

}  // namespace scenario
