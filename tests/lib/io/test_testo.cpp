#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "io/orario.hpp"
#include "io/testo_1252.hpp"

namespace scenario {
namespace {

std::string byte_solo(unsigned int b) { return std::string(1, static_cast<char>(b)); }

// Bytes 0x80-0x9F as Windows-1252 assigns them; the five holes keep their C1 value.
constexpr std::array<char32_t, 32> attesi_alti = {
    U'\u20AC', 0x81,      U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', 0x8D,      U'\u017D', 0x8F,
    0x90,      U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', 0x9D,      U'\u017E', U'\u0178'};

char32_t punto_atteso(unsigned int b) { return b >= 0x80 && b <= 0x9F ? attesi_alti.at(b - 0x80) : b; }

bool escapato_atteso(unsigned int b) {
  return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

std::string escape_atteso(unsigned int b) {
  static constexpr char cifre[] = "0123456789abcdef";
  return std::string("\\x") + cifre[b >> 4] + cifre[b & 0xF];
}

TEST(Testo1252, EveryByteBecomesItsCodePointAsValidUtf8) {
  for (unsigned int b = 0; b <= 0xFF; ++b) {
    const std::string u = utf8_da_1252(byte_solo(b));
    EXPECT_EQ(da_cp1252(static_cast<unsigned char>(b)), punto_atteso(b)) << std::hex << b;
    const std::optional<std::u32string> punti = decodifica_utf8(u);
    ASSERT_TRUE(punti.has_value()) << std::hex << b;
    EXPECT_EQ(*punti, std::u32string(1, punto_atteso(b))) << std::hex << b;
    // the shortest form: one byte below 0x80, two up to 0x7FF, three above
    const std::size_t lunghezza = punto_atteso(b) < 0x80 ? 1 : punto_atteso(b) < 0x800 ? 2 : 3;
    EXPECT_EQ(u.size(), lunghezza) << std::hex << b;
  }
}

TEST(Testo1252, EveryByteShownReadablyOrKeptWithOnlyControlsEscaped) {
  for (unsigned int b = 0; b <= 0xFF; ++b) {
    const std::string t = byte_solo(b);
    const std::string leggibile = utf8_leggibile(t);
    EXPECT_EQ(leggibile, escapato_atteso(b) ? escape_atteso(b) : utf8_da_1252(t)) << std::hex << b;
    EXPECT_TRUE(utf8_valido(leggibile)) << std::hex << b;
    const bool controllo = b < 0x20 || b == 0x7F;
    EXPECT_EQ(testo_escapato(t, forma_mostrata::byte), controllo ? escape_atteso(b) : t) << std::hex << b;
    EXPECT_EQ(byte_di_controllo(static_cast<unsigned char>(b)), controllo) << std::hex << b;
    std::string cifre;
    aggiungi_esadecimale(cifre, static_cast<unsigned char>(b));
    EXPECT_EQ(cifre, escape_atteso(b).substr(2)) << std::hex << b;
  }
}

struct caso_utf8 {
  const char* come;
  std::string testo;
  std::optional<char32_t> punto;  // nothing: not valid UTF-8
};

TEST(Testo1252, Utf8IsTakenOnlyInItsShortestFormAndNeverAsASurrogate) {
  const caso_utf8 casi[] = {
      {"ASCII", "A", U'A'},
      {"DEL", "\x7F", 0x7F},
      {"first two-byte", "\xC2\x80", 0x80},
      {"last two-byte", "\xDF\xBF", 0x7FF},
      {"first three-byte", "\xE0\xA0\x80", 0x800},
      {"last before the surrogates", "\xED\x9F\xBF", 0xD7FF},
      {"first after the surrogates", "\xEE\x80\x80", 0xE000},
      {"last three-byte", "\xEF\xBF\xBF", 0xFFFF},
      {"first four-byte", "\xF0\x90\x80\x80", 0x10000},
      {"last code point", "\xF4\x8F\xBF\xBF", 0x10FFFF},
      {"lone continuation byte", "\x80", std::nullopt},
      {"last continuation byte alone", "\xBF", std::nullopt},
      {"overlong two-byte C0", "\xC0\x80", std::nullopt},
      {"overlong two-byte C1", "\xC1\xBF", std::nullopt},
      {"overlong three-byte", "\xE0\x9F\xBF", std::nullopt},
      {"overlong four-byte", "\xF0\x8F\xBF\xBF", std::nullopt},
      {"first surrogate", "\xED\xA0\x80", std::nullopt},
      {"last high surrogate", "\xED\xAF\xBF", std::nullopt},
      {"first low surrogate", "\xED\xB0\x80", std::nullopt},
      {"last surrogate", "\xED\xBF\xBF", std::nullopt},
      {"past U+10FFFF", "\xF4\x90\x80\x80", std::nullopt},
      {"lead byte F5", "\xF5\x80\x80\x80", std::nullopt},
      {"lead byte FF", "\xFF", std::nullopt},
      {"two-byte cut short", "\xC3", std::nullopt},
      {"three-byte cut short", "\xE2\x82", std::nullopt},
      {"four-byte cut short", "\xF0\x9F\x9A", std::nullopt},
      {"second byte not a continuation", "\xC3\x28", std::nullopt},
      {"third byte not a continuation", "\xE2\x82\x28", std::nullopt},
      {"fourth byte not a continuation", "\xF0\x9F\x9A\x28", std::nullopt},
  };
  for (const caso_utf8& c : casi) {
    EXPECT_EQ(utf8_valido(c.testo), c.punto.has_value()) << c.come;
    EXPECT_EQ(sequenza_utf8(c.testo, 0), c.punto ? c.testo.size() : 0) << c.come;
    const std::optional<std::u32string> punti = decodifica_utf8(c.testo);
    EXPECT_EQ(punti, c.punto ? std::optional(std::u32string(1, *c.punto)) : std::nullopt) << c.come;
    // one bad sequence spoils the whole text, wherever it is
    EXPECT_EQ(utf8_valido("ok " + c.testo + " ok"), c.punto.has_value()) << c.come;
  }
  EXPECT_EQ(sequenza_utf8("abc", 3), 0u);  // past the end
  EXPECT_EQ(decodifica_utf8(""), std::u32string());
}

struct caso_escape {
  const char* come;
  std::string testo;
  forma_mostrata forma;
  std::size_t massimo;
  std::string atteso;
};

TEST(Testo1252, EscapedTextIsCutAtItsLimitWithAnEllipsis) {
  const caso_escape casi[] = {
      {"controls, bytes kept", std::string("a\0b\x1b\x7f", 5), forma_mostrata::byte, 100, "a\\x00b\\x1b\\x7f"},
      {"cut short", std::string(10, 'x'), forma_mostrata::byte, 4, "xxxx..."},
      {"exactly the limit is not cut", "xxxx", forma_mostrata::byte, 4, "xxxx"},
      {"the limit counts bytes, not escapes", "\x01\x02\x03", forma_mostrata::byte, 2, "\\x01\\x02..."},
      {"no limit", std::string(500, 'y'), forma_mostrata::byte, senza_limite, std::string(500, 'y')},
      {"UTF-8 bytes kept as they are", "citt\xC3\xA0", forma_mostrata::byte, 40, "citt\xC3\xA0"},
      {"unassigned byte kept as a byte", "\x81", forma_mostrata::byte, 40, "\x81"},
      {"Windows-1252 as UTF-8", "citt\xE0 \x80", forma_mostrata::utf8, 40, "citt\xC3\xA0 \xE2\x82\xAC"},
      {"unassigned byte escaped", "a\x9D", forma_mostrata::utf8, 40, "a\\x9d"},
      {"UTF-8 form cut short", "\xE0\xE0\xE0", forma_mostrata::utf8, 2, "\xC3\xA0\xC3\xA0..."},
      {"empty text", "", forma_mostrata::utf8, 0, ""},
      {"nothing left", "ab", forma_mostrata::byte, 0, "..."},
  };
  for (const caso_escape& c : casi) EXPECT_EQ(testo_escapato(c.testo, c.forma, c.massimo), c.atteso) << c.come;
}

struct caso_ora {
  int64_t secondi;
  const char* libere;
  const char* due_cifre;
};

TEST(Orario, EachOutputKeepsItsOwnHoursAndTheSameMinutesAndSeconds) {
  const caso_ora casi[] = {
      {0, "0:00:00", "00:00:00"},
      {7 * 3600 + 5 * 60, "7:05:00", "07:05:00"},
      {9 * 3600 + 59 * 60 + 59, "9:59:59", "09:59:59"},
      {12 * 3600 + 4 * 60 + 5, "12:04:05", "12:04:05"},
      {86399, "23:59:59", "23:59:59"},
      {86400, "24:00:00", "24:00:00"},
      {100 * 3600 + 1, "100:00:01", "100:00:01"},
      {-5, "-0:00:05", "-00:00:05"},
      {-(3600 + 61), "-1:01:01", "-01:01:01"},
      {std::numeric_limits<int32_t>::max(), "596523:14:07", "596523:14:07"},
      {std::numeric_limits<int64_t>::min(), "-2562047788015215:30:08", "-2562047788015215:30:08"},
  };
  for (const caso_ora& c : casi) {
    EXPECT_EQ(ora_del_giorno(c.secondi, forma_ore::libere), c.libere) << c.secondi;
    EXPECT_EQ(ora_del_giorno(c.secondi, forma_ore::due_cifre), c.due_cifre) << c.secondi;
  }
}

}  // namespace
}  // namespace scenario
