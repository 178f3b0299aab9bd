#pragma once
// Little-endian byte buffer: every field is written explicitly, never a struct.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace scenario {

class flusso_le {
 public:
  void riserva(std::size_t n) { dati_.reserve(n); }
  void byte(uint8_t v) { dati_.push_back(static_cast<char>(v)); }
  void integer(int16_t v) { senza_segno(static_cast<uint16_t>(v), 2); }
  void long_(int32_t v) { senza_segno(static_cast<uint32_t>(v), 4); }
  void doppio(double v) { senza_segno(std::bit_cast<uint64_t>(v), 8); }
  // 16-bit length, then the bytes; the caller keeps names within 65535 bytes.
  void stringa(const std::string& s) {
    senza_segno(static_cast<uint16_t>(s.size()), 2);
    dati_.append(s);
  }
  const std::string& dati() const { return dati_; }
  std::string prendi() { return std::move(dati_); }

 private:
  void senza_segno(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) dati_.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
  }
  std::string dati_;
};

}  // namespace scenario
