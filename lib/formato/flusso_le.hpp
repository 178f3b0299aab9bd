#pragma once
// Little-endian byte buffer: every field is written explicitly, never a struct.
#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace scenario {

class flusso_le {
 public:
  // The exact size of what will be written: the buffer is claimed once.
  explicit flusso_le(std::size_t dimensione) : dati_(dimensione, '\0') {}

  void byte(uint8_t v) { senza_segno(v, 1); }
  void integer(int16_t v) { senza_segno(static_cast<uint16_t>(v), 2); }
  void long_(int32_t v) { senza_segno(static_cast<uint32_t>(v), 4); }
  void doppio(double v) { senza_segno(std::bit_cast<uint64_t>(v), 8); }
  // 16-bit length, then the bytes; the caller keeps names within 65535 bytes.
  void stringa(const std::string& s) {
    senza_segno(static_cast<uint16_t>(s.size()), 2);
    spazio(s.size());
    s.copy(dati_.data() + pos_, s.size());
    pos_ += s.size();
  }

  // The buffer, which must be exactly full.
  std::string prendi() {
    if (pos_ != dati_.size()) throw std::logic_error("binary buffer not filled exactly");
    return std::move(dati_);
  }

 private:
  void spazio(std::size_t n) {
    if (dati_.size() - pos_ < n) throw std::logic_error("binary buffer overrun");
  }
  void senza_segno(uint64_t v, std::size_t n) {
    spazio(n);
    char byte_le[8];
    for (std::size_t i = 0; i < 8; ++i) byte_le[i] = static_cast<char>((v >> (8 * i)) & 0xFFu);
    std::memcpy(dati_.data() + pos_, byte_le, n);
    pos_ += n;
  }
  std::string dati_;
  std::size_t pos_ = 0;
};

}  // namespace scenario
