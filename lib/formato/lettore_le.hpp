#pragma once
// Little-endian reading of a compiled file held in memory. Every read is
// bounds-checked: running short raises errore_decodifica naming the file, the
// byte offset and the field being read.
#include <bit>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace scenario {

class errore_decodifica : public std::runtime_error {
 public:
  errore_decodifica(std::string file, std::size_t offset, std::string campo, std::string motivo)
      : std::runtime_error(file + ": byte " + std::to_string(offset) + ": " + campo + ": " + motivo),
        file_(std::move(file)), offset_(offset), campo_(std::move(campo)), motivo_(std::move(motivo)) {}
  const std::string& file() const { return file_; }
  std::size_t offset() const { return offset_; }
  const std::string& campo() const { return campo_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string file_;
  std::size_t offset_;
  std::string campo_;
  std::string motivo_;
};

class lettore_le {
 public:
  lettore_le(std::string_view dati, std::string_view file) : dati_(dati), file_(file) {}

  uint8_t byte(std::string_view campo) { return static_cast<uint8_t>(senza_segno(1, campo)); }
  int16_t integer(std::string_view campo) { return static_cast<int16_t>(senza_segno(2, campo)); }
  int32_t long_(std::string_view campo) { return static_cast<int32_t>(senza_segno(4, campo)); }
  double doppio(std::string_view campo) { return std::bit_cast<double>(senza_segno(8, campo)); }
  // 16-bit length, then the bytes.
  std::string stringa(std::string_view campo) {
    const std::size_t inizio = pos_;
    const auto n = static_cast<std::size_t>(senza_segno(2, campo));
    if (resto() < n) {
      throw errore(inizio, campo, "text of " + std::to_string(n) + " bytes, only " + std::to_string(resto()) + " left");
    }
    std::string s(dati_.substr(pos_, n));
    pos_ += n;
    return s;
  }

  std::size_t posizione() const { return pos_; }
  std::size_t resto() const { return dati_.size() - pos_; }
  bool finito() const { return pos_ == dati_.size(); }
  errore_decodifica errore(std::size_t offset, std::string_view campo, std::string motivo) const {
    return errore_decodifica(std::string(file_), offset, std::string(campo), std::move(motivo));
  }

 private:
  uint64_t senza_segno(std::size_t n, std::string_view campo) {
    if (resto() < n) {
      throw errore(pos_, campo, "needs " + std::to_string(n) + " bytes, only " + std::to_string(resto()) + " left");
    }
    uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= uint64_t{static_cast<unsigned char>(dati_[pos_ + i])} << (8 * i);
    pos_ += n;
    return v;
  }
  std::string_view dati_;
  std::string_view file_;
  std::size_t pos_ = 0;
};

}  // namespace scenario
