// Texts: key look-up rules of the texts file, the formatting codes of printed lines and the
// string helpers.
#include <gtest/gtest.h>

#include "toolkit/tests/fixture.h"

namespace ksv::toolkit {
namespace {

using testing::ToolkitTest;

struct TextyTest : ToolkitTest {};

TEST_F(TextyTest, KeyLookupReturnsMainTextAndBody) {
  dir.write_file("texty.dat",
                 "[titulek]\r\nKSV test\r\n"
                 "[helpx]\nFirst page\nline one\n\nline three\n[next]\nNext\n"
                 "[empty]\n[other]\nOther\n"
                 "[closed]\nClosed text\nbody\nends here]\nnot body\n");
  Texty& t = tk.texty;
  EXPECT_EQ(t.text("titulek"), "KSV test");  // Windows line ends are taken too
  EXPECT_EQ(t.text("helpx"), "First page");
  ASSERT_EQ(t.RADKU, 3);
  EXPECT_EQ(t.TEXTBUFFER[0], "line one");
  EXPECT_EQ(t.TEXTBUFFER[1], "");
  EXPECT_EQ(t.TEXTBUFFER[2], "line three");

  // A key followed at once by another header has no text and no body.
  EXPECT_EQ(t.text("empty"), "");
  EXPECT_EQ(t.RADKU, 0);
  // A line ending in "]" also ends the body.
  EXPECT_EQ(t.text("closed"), "Closed text");
  EXPECT_EQ(t.RADKU, 1);
  // Keys are matched exactly, case included.
  EXPECT_EQ(t.text("Titulek"), "");
  EXPECT_EQ(t.text("titul"), "");
}

TEST_F(TextyTest, BodyIsCutAfter64LinesAndMissingFileKeepsTheBuffer) {
  std::string file = "[big]\nMain\n";
  for (int i = 0; i < 70; ++i) file += "line " + std::to_string(i) + "\n";
  dir.write_file("texty.dat", file);
  Texty& t = tk.texty;
  EXPECT_EQ(t.text("big"), "Main");
  EXPECT_EQ(t.RADKU, 64);
  EXPECT_EQ(t.TEXTBUFFER[63], "line 63");

  EXPECT_EQ(t.ZISKEJTEXT(dir / "missing.dat", "big"), "");
  EXPECT_EQ(t.RADKU, 64);
  dir.write_file("empty.dat", "");
  EXPECT_EQ(t.ZISKEJTEXT(dir / "empty.dat", "big"), "");
  EXPECT_EQ(t.RADKU, 64);
  EXPECT_EQ(t.TEXTBUFFER[0], "line 0");
}

TEST_F(TextyTest, LongLinesAreCutTo255) {
  dir.write_file("texty.dat", "[k]\n" + std::string(300, 'x') + "\nbody\n");
  EXPECT_EQ(tk.texty.text("k").size(), 255u);
  EXPECT_EQ(tk.texty.TEXTBUFFER[0], "body");  // the rest of the long line is not a body line
}

TEST_F(TextyTest, ColourAndCentreCodes) {
  graph.SETTEXTSTYLE(4, 0, 16);
  graph.SETCOLOR(3);
  graph.SETTEXTJUSTIFY(0, 0);
  tk.texty.VYPISTEXT(320, 200, "#12#*!Zakazka");
  int lo = 640, hi = -1, other = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      uint8_t p = px(x, y);
      if (p == 12) lo = std::min(lo, x), hi = std::max(hi, x);
      else if (p != 0) ++other;
    }
  ASSERT_LE(lo, hi);
  EXPECT_NEAR((lo + hi) / 2.0, 320, 3);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(hi - lo + 1 <= graph.TEXTWIDTH("Zakazka"), true);
  EXPECT_EQ(tk.texty.OFFSETTEXTUX, 0);
}

TEST_F(TextyTest, OffsetCodesReferToTheWindowWidth) {
  Texty& t = tk.texty;
  t.window_width = [](int) { return 400; };
  t.VYPISTEXT(0, 0, "*l");
  EXPECT_EQ(t.OFFSETTEXTUX, 10 - 200);
  t.VYPISTEXT(0, 0, "*p");
  EXPECT_EQ(t.OFFSETTEXTUX, 200 - 10);
  t.VYPISTEXT(0, 0, "*x");  // unknown code: only removed
  EXPECT_EQ(t.OFFSETTEXTUX, 200 - 10);
  t.OFFSETTEXTUY = 0;
  t.VYPISTEXT(0, 100, "@@");
  EXPECT_EQ(t.OFFSETTEXTUY, -2 * (t.AKTVELFONTU + 1));
  graph.SETCOLOR(1);
  t.VYPISTEXT(0, 100, "&");
  EXPECT_EQ(graph.GETCOLOR(), 255);
  t.VYPISTEXT(10, 100, "#7");  // unclosed colour code: the rest is printed, nothing hangs
  EXPECT_EQ(graph.GETCOLOR(), 255);
}

TEST(StringHelpers, Conversions) {
  EXPECT_EQ(STR2INT("12a"), 0);
  EXPECT_EQ(STR2INT("-7"), -7);
  EXPECT_EQ(STR2INT("2147483647"), 2147483647);
  EXPECT_EQ(STR2INT("-2147483648"), INT32_MIN);
  EXPECT_EQ(STR2INT("2147483648"), 0);
  EXPECT_EQ(STR2INT(""), 0);
  EXPECT_EQ(STR2INT("-"), 0);
  EXPECT_EQ(STR2INT(" 5"), 0);
  EXPECT_EQ(INT2STR(-42), "-42");
  EXPECT_EQ(ZAROVNEJ("7", '0', 3), "007");
  EXPECT_EQ(ZAROVNEJ("12345", '0', 3), "12345");
  EXPECT_EQ(UPSTRING("abz\xe1"), "ABZ\xe1");
  EXPECT_EQ(DOWNSTRING("ABZ\xc1["), "abz\xc1[");
}

TEST(StringHelpers, SearchAndReplace) {
  EXPECT_TRUE(NAJDIRETEZEC("ka", "zakazka"));
  EXPECT_FALSE(NAJDIRETEZEC("kz", "zakazka"));
  EXPECT_FALSE(NAJDIRETEZEC("", "zakazka"));
  std::string s = "a\\b\\c";
  NAHRADRETEZEC("\\", "/", s);
  EXPECT_EQ(s, "a/b/c");
  s = "aaab";
  NAHRADRETEZEC("ab", "b", s);  // repeats until none is left
  EXPECT_EQ(s, "b");
  s = "x.y";
  NAHRADRETEZEC(".", "..", s);  // would never end: one pass
  EXPECT_EQ(s, "x..y");
  s = std::string(200, 'a');
  NAHRADRETEZEC("a", "bb", s);
  EXPECT_EQ(s.size(), 255u);
}

TEST_F(TextyTest, LastErrorIsReadOnce) {
  tk.texty.POSLCHYBA = 60;
  EXPECT_EQ(tk.texty.POSLEDNICHYBA(), 60);
  EXPECT_EQ(tk.texty.POSLEDNICHYBA(), 0);
}

}  // namespace
}  // namespace ksv::toolkit
