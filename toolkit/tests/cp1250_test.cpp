// Czech text end to end: the code page conversions, typing into an input field, removing the
// accents of what was typed, and drawing the 1250 bytes with their own glyphs.
#include <gtest/gtest.h>

#include "protocol/client.h"
#include "toolkit/cp1250.h"
#include "toolkit/tests/fixture.h"

namespace ksv::toolkit {
namespace {

using testing::ToolkitTest;

TEST(Cp1250, CzechLettersBothWays) {
  // "Žluťoučký kůň úpěl ďábelské ódy" in 1250, worked out from the code page chart.
  const std::string bytes =
      "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1\x62\x65lsk\xE9 \xF3\x64y";
  const std::string utf8 =
      "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88 \xC3\xBAp\xC4\x9Bl "
      "\xC4\x8F\xC3\xA1\x62\x65lsk\xC3\xA9 \xC3\xB3\x64y";
  EXPECT_EQ(cp1250_to_utf8(bytes), utf8);
  EXPECT_EQ(utf8_to_cp1250(utf8), bytes);
  // Capitals too: Č Ř Š Ě Ů.
  EXPECT_EQ(utf8_to_cp1250("\xC4\x8C\xC5\x98\xC5\xA0\xC4\x9A\xC5\xAE"), "\xC8\xD8\x8A\xCC\xD9");
}

TEST(Cp1250, EveryDefinedByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != 0x81 && b != 0x83 && b != 0x88 && b != 0x90 && b != 0x98)
      all.push_back(static_cast<char>(b));
  EXPECT_EQ(utf8_to_cp1250(cp1250_to_utf8(all)), all);
  // The undefined bytes show as the replacement character, never as a byte of another meaning.
  EXPECT_EQ(cp1250_to_utf8("\x81"), "\xEF\xBF\xBD");
}

TEST(Cp1250, UnmappableAndBrokenInputBecomesQuestionMarks) {
  EXPECT_EQ(utf8_to_cp1250("\xE2\x98\x83"), "?");          // a snowman: no byte in 1250
  EXPECT_EQ(utf8_to_cp1250("\xC3\xB1" "a"), "?a");         // n with tilde is not Czech either
  EXPECT_EQ(utf8_to_cp1250("a\xC4"), "a?");                // cut off at the end
  EXPECT_EQ(utf8_to_cp1250("\xC4" "a"), "?a");             // lead byte without its tail
  EXPECT_EQ(utf8_to_cp1250("\xC0\x80"), "??");             // an overlong NUL
  EXPECT_EQ(utf8_to_cp1250("\xED\xA0\x80"), "???");        // a surrogate
  EXPECT_EQ(utf8_to_cp1250("\xF0\x9F\x98\x80 ok"), "? ok");  // a 4-byte character
  EXPECT_EQ(utf8_to_cp1250(""), "");
}

struct CzechInput : ToolkitTest {
  CzechInput() {
    tk.okna.OBSLUHAKOMUNIKACE = [this] {
      if (++passes == 3) hb().text("\xC4\x8D\xC3\xA1p");  // "čáp" as the window system sends it
      if (passes == 10) tk.okna.KONECZADAVANI = 1;
      if (passes > 100) tk.okna.KONECZADAVANI = 2;
    };
  }
  int passes = 0;
};

TEST_F(CzechInput, TypedCzechIsStoredAs1250AndLosesItsAccentsForNames) {
  int32_t number = -1;
  std::string text, result;
  tk.okna.ZISKEJUDAJ(10, 10, 255, 0, 16, number, text, result);
  EXPECT_EQ(result, "\xE8\xE1p");
  EXPECT_EQ(number, 0);
  std::string name = result;
  ODSTRANDIAKRITIKU(name);
  EXPECT_EQ(name, "__p");
}

TEST_F(CzechInput, CzechLettersAreDrawnWithTheirOwnGlyphs) {
  auto ink = [&](const std::string& s) {
    graph.SETFILLSTYLE(1, 0);
    graph.BAR(0, 0, 60, 40);
    graph.SETCOLOR(255);
    graph.SETTEXTSTYLE(4, 0, 24);
    graph.SETTEXTJUSTIFY(0, 0);
    graph.OUTTEXTXY(5, 5, s);
    std::vector<uint8_t> v;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x) v.push_back(graph.screen_pixel(x, y));
    return v;
  };
  const auto c = ink("c"), c_caron = ink("\xE8"), e_acute = ink("\xE9"), r_caron = ink("\xF8");
  EXPECT_NE(c_caron, c);
  // 0xE8 is "č" in 1250 but "è" in Latin-1: the caron sits on a c, so the lower part of the
  // glyph is the c's own.
  int differing_low = 0;
  for (int y = 20; y < 40; ++y)
    for (int x = 0; x < 60; ++x) differing_low += c[y * 60 + x] != c_caron[y * 60 + x];
  EXPECT_EQ(differing_low, 0);
  EXPECT_NE(r_caron, ink("r"));
  EXPECT_NE(e_acute, ink("e"));
}

}  // namespace
}  // namespace ksv::toolkit
