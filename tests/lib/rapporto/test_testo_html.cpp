#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rapporto/testo_html.hpp"

namespace scenario::rapporto {
namespace {

struct caso_testo {
  const char* come;
  std::string ingresso;
  std::string atteso;
};

TEST(TestoHtml, Windows1252ControlAndUnassignedBytesShowAsVisibleHex) {
  const caso_testo casi[] = {
      {"first control byte", std::string(1, '\0'), "\\x00"},
      {"tab is a control byte too", "a\tb", "a\\x09b"},
      {"last C0 byte", "\x1F", "\\x1f"},
      {"space is not", " ", " "},
      {"DEL", "\x7F", "\\x7f"},
      {"five unassigned bytes", "\x81\x8D\x8F\x90\x9D", "\\x81\\x8d\\x8f\\x90\\x9d"},
      {"assigned neighbours", "\x80\x82\x8E\x9C\x9E", "\xE2\x82\xAC\xE2\x80\x9A\xC5\xBD\xC5\x93\xC5\xBE"},
      {"no-break space", "\xA0", "\xC2\xA0"},
      {"escaped in HTML", "<a href='x'>&\"", "&lt;a href=&#39;x&#39;&gt;&amp;&quot;"},
  };
  for (const caso_testo& c : casi) EXPECT_EQ(html(c.ingresso), c.atteso) << c.come;
}

TEST(TestoHtml, TextOfUnknownOriginIsValidUtf8WithoutSurrogatesOrRawControls) {
  const caso_testo casi[] = {
      {"valid UTF-8 passes", "citt\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x9A\x82", "citt\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x9A\x82"},
      {"last code point before the surrogates", "\xED\x9F\xBF", "\xED\x9F\xBF"},
      {"first surrogate: Windows-1252", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
      {"last surrogate: Windows-1252", "\xED\xBF\xBF", "\xC3\xAD\xC2\xBF\xC2\xBF"},
      {"overlong: Windows-1252", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
      {"three-byte overlong", "\xE0\x80\xAF", "\xC3\xA0\xE2\x82\xAC\xC2\xAF"},
      {"four-byte overlong", "\xF0\x8F\xBF\xBF", "\xC3\xB0\\x8f\xC2\xBF\xC2\xBF"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\\x90\xE2\x82\xAC\xE2\x82\xAC"},
      {"cut short", "a\xE2\x82", "a\xC3\xA2\xE2\x80\x9A"},
      {"control in valid UTF-8", "a\x01\xC3\xA0", "a\\x01\xC3\xA0"},
      {"C1 control in valid UTF-8", "\xC2\x85x", "\\xc2\\x85x"},
      {"first printable after C1", "\xC2\xA0", "\xC2\xA0"},
      {"DEL in valid UTF-8", "\x7F", "\\x7f"},
      {"escaped in HTML", "<\xC3\xA0>", "&lt;\xC3\xA0&gt;"},
  };
  // a sequence cut short by the end of the text, though bytes follow in memory
  const std::string euro = "a\xE2\x82\xAC";
  EXPECT_EQ(html_testo(std::string_view(euro).substr(0, 3)), "a\xC3\xA2\xE2\x80\x9A");
  for (const caso_testo& c : casi) {
    EXPECT_EQ(html_testo(c.ingresso), c.atteso) << c.come;
    EXPECT_EQ(html_utf8(c.ingresso), c.atteso) << c.come << " (the program's own text goes the same way)";
  }
}

// Code points of UTF-8 text; none when it is not valid UTF-8 or holds a surrogate.
bool utf8_senza_surrogati(const std::string& t, std::vector<char32_t>& punti) {
  for (std::size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    if (n == 0 || i + n > t.size() || c > 0xF4) return false;
    char32_t p = n == 1 ? c : c & (0xFF >> (n + 1));
    for (std::size_t k = 1; k < n; ++k) {
      const auto d = static_cast<unsigned char>(t[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      p = (p << 6) | (d & 0x3F);
    }
    const char32_t minimo[] = {0, 0, 0x80, 0x800, 0x10000};
    if (p < minimo[n] || p > 0x10FFFF || (p >= 0xD800 && p <= 0xDFFF)) return false;
    punti.push_back(p);
    i += n;
  }
  return true;
}

TEST(TestoHtml, NoByteStringGivesInvalidTextOrARawControlCharacter) {
  // every string of two bytes, and every surrogate and four-byte form behind a letter
  std::vector<std::string> ingressi;
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      ingressi.push_back({static_cast<char>(a), static_cast<char>(b)});
      ingressi.push_back({'x', '\xED', static_cast<char>(a), static_cast<char>(b)});
      ingressi.push_back({'\xF4', static_cast<char>(a), static_cast<char>(b), '\x80'});
    }
  }
  for (const std::string& t : ingressi) {
    for (const std::string& uscita : {html(t), html_testo(t), html_breve(t, 2)}) {
      std::vector<char32_t> punti;
      ASSERT_TRUE(utf8_senza_surrogati(uscita, punti)) << testing::PrintToString(t);
      for (const char32_t p : punti) {
        ASSERT_FALSE(p < 0x20 || (p >= 0x7F && p <= 0x9F)) << testing::PrintToString(t) << " gives " << uint32_t{p};
        ASSERT_TRUE(p != '<' && p != '>' && p != '"' && p != '\'') << testing::PrintToString(t);
      }
    }
  }
}

std::string ripeti(const std::string& t, int volte) {
  std::string r;
  for (int i = 0; i < volte; ++i) r += t;
  return r;
}

TEST(TestoHtml, LongNamesAreCutWithAnEllipsis) {
  const std::string lungo(9000, 'A');
  const caso_testo casi[] = {
      {"short enough", "VALDORA", "VALDORA"},
      {"exactly the limit", "ABCDEFGHIJ", "ABCDEFGHIJ"},
      {"one over", "ABCDEFGHIJK", "ABCDEFGHI\xE2\x80\xA6"},
      {"cut before converting", std::string(11, '\xC0'), ripeti("\xC3\x80", 9) + "\xE2\x80\xA6"},
      {"nine thousand", lungo, std::string(9, 'A') + "\xE2\x80\xA6"},
      {"escapes are whole", "&&&&&&&&&&&&", "&amp;&amp;&amp;&amp;&amp;&amp;&amp;&amp;&amp;\xE2\x80\xA6"},
  };
  for (const caso_testo& c : casi) EXPECT_EQ(html_breve(c.ingresso, 10), c.atteso) << c.come;
}

TEST(TestoHtml, ExactNumbersAreTheShortestThatReadBack) {
  EXPECT_EQ(numero_esatto(0.1), "0.1");
  EXPECT_EQ(numero_esatto(-0.0), "0");
  EXPECT_EQ(numero_esatto(1e20), "1e+20");
  EXPECT_EQ(numero_esatto(0.006986293650213608), "0.006986293650213608");
  EXPECT_EQ(numero_esatto(NAN), "0");
}

}  // namespace
}  // namespace scenario::rapporto
