// The list: capacity, fields, sorting by character position, folder listing, navigation and the
// highlighted row.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "toolkit/tests/fixture.h"

namespace ksv::toolkit {
namespace {

using testing::ToolkitTest;

struct ListTest : ToolkitTest {
  Seznam& l() { return tk.seznam; }
  std::vector<std::string> names() {
    std::vector<std::string> v;
    for (const auto& e : l().SEZNAM) v.push_back(e.NAZEV);
    return v;
  }
  // Fields, each ended by code 0.
  static std::string fields(std::initializer_list<std::string> f) {
    std::string s;
    for (const auto& x : f) s += x + '\0';
    return s;
  }
  void fill(int n) {
    for (int i = 0; i < n; ++i) l().PRIDEJPRVEK("e" + std::to_string(i), "", false);
  }
};

TEST_F(ListTest, CapacityNamesAndFields) {
  fill(kListSize);
  EXPECT_EQ(l().PRIDEJPRVEK("one more", "", false), kListFull);
  EXPECT_EQ(l().PRVKU(), kListSize);
  l().SMAZSEZNAM();
  EXPECT_EQ(l().PRIDEJPRVEK("", "x", false), kEmptyField);
  EXPECT_EQ(l().PRIDEJPRVEK(std::string(40, 'n'), std::string("ab\0cd\0", 6), true), 0);
  EXPECT_EQ(l().SEZNAM[0].NAZEV.size(), 32u);
  EXPECT_EQ(l().VRATSPECPARAM(0, 1), "AB");
  EXPECT_EQ(l().VRATSPECPARAM(0, 2), "CD");
  EXPECT_EQ(l().VRATSPECPARAM(0, 3), "");
  EXPECT_EQ(l().VRATSPECPARAM(5, 0), "");
  EXPECT_EQ(l().ZMENSPECPAR(0, 2, "new"), 0);
  EXPECT_EQ(l().VRATSPECPARAM(0, 2), "new");
  EXPECT_EQ(l().VRATSPECPARAM(0, 1), "AB");
  EXPECT_EQ(l().ZMENSPECPAR(0, 3, "x"), kEmptyField);
  EXPECT_EQ(l().ZMENSPECPAR(1, 1, "x"), kNoEntry);
  l().PRIDEJPRVEK("bare", "", false);
  EXPECT_EQ(l().ZMENSPECPAR(1, 1, "x"), kEmptyField);
}

TEST_F(ListTest, SortingByCharacterPosition) {
  EXPECT_EQ(l().SETRIDSEZNAM(0, 0, false), kListEmpty);
  for (auto n : {"B", "A", "AB"}) l().PRIDEJPRVEK(n, "", false);
  l().SETRIDSEZNAM(0, 0, false);
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "AB", "B"}));
  l().SETRIDSEZNAM(0, 1, false);
  EXPECT_EQ(names(), (std::vector<std::string>{"B", "A", "AB"}));  // a prefix is not moved past

  // Whole entries move with their key; the key may be a field; extensions may be left out.
  l().SMAZSEZNAM();
  l().PRIDEJPRVEK("x.zz", std::string("3\0", 2), false);
  l().PRIDEJPRVEK("x.aa", std::string("1\0", 2), false);
  l().PRIDEJPRVEK("w.bb", std::string("2\0", 2), false);
  l().SETRIDSEZNAM(1, 0, false);
  EXPECT_EQ(names(), (std::vector<std::string>{"x.aa", "w.bb", "x.zz"}));
  l().SETRIDSEZNAM(0, 0, true);
  EXPECT_EQ(names(), (std::vector<std::string>{"w.bb", "x.aa", "x.zz"}));  // x.aa, x.zz keep order

  // Folders (marked by a leading code 0) come first; bytes compare unsigned.
  l().SMAZSEZNAM();
  l().PRIDEJPRVEK("\xe9t\xe9", "", false);
  l().PRIDEJPRVEK("zeta", "", false);
  l().PRIDEJPRVEK(std::string("\0sub", 4), "", false);
  l().SETRIDSEZNAM(0, 0, false);
  EXPECT_EQ(names(), (std::vector<std::string>{std::string("\0sub", 4), "zeta", "\xe9t\xe9"}));
}

TEST_F(ListTest, NavigationPagesAndEnds) {
  fill(25);
  l().PRVNIVYPISSEZ(10, 10, 300, 200, 10, 0);
  l().SEZNAMKONEC();
  EXPECT_EQ(l().AKTSTRANKA, 14);
  EXPECT_EQ(l().AKTPRVEK, 10);
  EXPECT_EQ(l().highlighted(), 24);
  l().SEZNAMDOLU();
  EXPECT_EQ(l().highlighted(), 24);
  l().SEZNAMZACATEK();
  EXPECT_EQ(l().highlighted(), 0);
  l().SEZNAMNAHORU();
  EXPECT_EQ(l().highlighted(), 0);
  for (int i = 0; i < 11; ++i) l().SEZNAMDOLU();
  EXPECT_EQ(l().AKTSTRANKA, 1);  // the row grows to 10, then the view scrolls
  EXPECT_EQ(l().AKTPRVEK, 10);
  l().STRANKADOLU();
  EXPECT_EQ(l().AKTSTRANKA, 11);
  l().STRANKADOLU();  // a further page would pass the end: as End
  EXPECT_EQ(l().AKTSTRANKA, 14);
  EXPECT_EQ(l().AKTPRVEK, 10);
  l().STRANKANAHORU();
  EXPECT_EQ(l().AKTSTRANKA, 4);
  l().STRANKANAHORU();
  EXPECT_EQ(l().highlighted(), 0);
}

TEST_F(ListTest, EndOnAListThatFitsTheBox) {
  fill(10);
  l().PRVNIVYPISSEZ(10, 10, 300, 200, 10, 0);
  l().SEZNAMKONEC();
  EXPECT_EQ(l().AKTSTRANKA, 0);  // never before the first entry
  EXPECT_EQ(l().highlighted(), 9);
  l().STRANKADOLU();
  EXPECT_EQ(l().highlighted(), 9);
  l().SMAZSEZNAM();
  l().SEZNAMKONEC();
  l().SEZNAMDOLU();
  EXPECT_EQ(l().highlighted(), 0);
}

TEST_F(ListTest, FolderListing) {
  dir.write_file("logo.bmp", "12345");
  dir.write_file("LOGO2.BMP", "1");
  dir.write_file("notes.txt", "x");
  mkdir((dir / "sub").c_str(), 0755);
  EXPECT_EQ(l().VYTVORSEZNAM(dir.path(), "*.bmp"), 0);
  EXPECT_EQ(names(), (std::vector<std::string>{"LOGO2.BMP", "logo.bmp"}));
  EXPECT_EQ(l().VRATSPECPARAM(1, 1), "5");
  std::string time = l().VRATSPECPARAM(1, 2), date = l().VRATSPECPARAM(1, 3);
  EXPECT_EQ(time.size(), 8u);
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(date.size(), 10u);
  EXPECT_EQ(date[2], '.');

  l().SMAZSEZNAM();
  EXPECT_EQ(l().VYTVORSEZNAM(dir.path(), std::string(1, '\0')), 0);
  EXPECT_EQ(names(), (std::vector<std::string>{std::string("\0..", 3), std::string("\0sub", 4)}));
  EXPECT_NE(l().VYTVORSEZNAM(dir / "missing", "*.*"), 0);
}

TEST_F(ListTest, HighlightedRowAndScrollMarker) {
  fill(25);
  const int x = 100, y = 50, w = 300, h = 200;
  l().PRVNIVYPISSEZ(x, y, w, h, 10, 0);
  l().SEZNAMDOLU();
  l().SEZNAMDOLU();
  const int line = tk.texty.AKTVELFONTU + 1;
  EXPECT_EQ(px(x + 5, y + 9 + 2 * line), 191);
  EXPECT_EQ(px(x + w - 10, y + 7 + 3 * line), 191);
  EXPECT_NE(px(x + 5, y + 9 + 1 * line), 191);
  EXPECT_EQ(px(x - 1, y - 1), 222);
  const uint8_t marker = images.NAJDIBARVU(194, 128, 64);
  EXPECT_EQ(px(x + w - 2, y + 2 * (h - 4) / 24), marker);
  int yellow = 0;
  for (int yy = y + 9 + 2 * line; yy <= y + 7 + 3 * line; ++yy)
    for (int xx = x; xx < x + w - 4; ++xx) yellow += px(xx, yy) == images.NAJDIBARVU(255, 255, 0);
  EXPECT_GT(yellow, 10);
  // Nothing is drawn outside the box.
  EXPECT_EQ(px(x + w + 1, y + 20), 0);
  EXPECT_EQ(px(x + 20, y + h + 2), 0);
}

TEST_F(ListTest, ColumnsByMode) {
  // Ink of row 0 (colour 255 or the highlight yellow) between two x positions inside the box.
  auto ink = [&](int x1, int x2) {
    int n = 0;
    const uint8_t yellow = images.NAJDIBARVU(255, 255, 0);
    for (int y = 9; y < 9 + tk.texty.AKTVELFONTU + 1; ++y)
      for (int x = x1; x < x2; ++x) n += px(x, y) == 255 || px(x, y) == yellow;
    return n;
  };
  auto show = [&](const std::string& spec, int mode) {
    graph.CLEARDEVICE();
    l().SMAZSEZNAM();
    l().PRIDEJPRVEK("N", spec, false);
    l().PRVNIVYPISSEZ(0, 0, 600, 100, 5, mode);
  };
  // Attendance: "Dovolena" from 20 when parameter 1 is 1; the minutes of parameter 5 from 280.
  show(fields({"1", "0", "0", "0", "-45"}), 7);
  EXPECT_GT(ink(30, 55), 0);
  EXPECT_EQ(ink(130, 270), 0);
  EXPECT_GT(ink(280, 330), 0);
  show(fields({"0", "0", "0", "0", "0"}), 7);
  EXPECT_EQ(ink(30, 55), 0);
  // Bit 0x80 leaves the name out; the high byte moves the columns.
  show(fields({"Textil"}), 0x80 | 2);
  EXPECT_EQ(ink(0, 120), 0);
  EXPECT_GT(ink(132, 180), 0);
  show(fields({"Textil"}), 0x80 | 2 | (100 << 8));
  EXPECT_EQ(ink(132, 230), 0);
  EXPECT_GT(ink(232, 280), 0);
  // Mode 10 shows the parameters where the name would be.
  show(fields({"WWWWWWWW"}), 10);
  EXPECT_GT(ink(40, 80), 0);
}

// A segment row with the largest number and four holes, highlighted and not: every column's
// ink stays inside its own box, the boxes do not overlap, and the row fits the list.
TEST_F(ListTest, SegmentRowColumnsDoNotOverlap) {
  const int width = 312;  // the segment page's list
  for (bool highlighted : {true, false}) {
    graph.CLEARDEVICE();
    l().SMAZSEZNAM();
    l().PRIDEJPRVEK("0", fields({"28", "4", "0", "0"}), false);
    l().PRIDEJPRVEK("4095", fields({"28", "132", "1", "4"}), false);  // Aplikace+Steil, light
    l().PRVNIVYPISSEZ(0, 0, width, 100, 5, 3);
    const int r = 1, line = tk.texty.AKTVELFONTU + 1;
    if (highlighted) l().SEZNAMDOLU();
    const SegmentRowLayout at = segment_row_layout(graph, tk.texty.AKTVELFONTU, 0);
    auto text_w = [&](const std::string& t) {
      graph.SETTEXTSTYLE(highlighted ? 20 : 4, 0, tk.texty.AKTVELFONTU);
      return graph.TEXTWIDTH(t);
    };
    struct Box {
      const char* what;
      int x1, x2;  // inclusive
    };
    const std::vector<Box> boxes = {
        {"number", 10, 10 + text_w("4095") - 1},
        {"colour", at.colour, at.colour + SegmentRowLayout::kColourWidth - 1},
        {"type", at.type, at.type + text_w("Aplikace+Steil") - 1},
        {"style", at.style, at.style + text_w("slaba") - 1},
        {"direction", at.direction, at.direction + text_w("svisle") - 1},
        {"holes", at.holes, at.holes + SegmentRowLayout::kHoleMark + SegmentRowLayout::kHoleGap + text_w("4") - 1},
    };
    for (size_t i = 1; i < boxes.size(); ++i)
      EXPECT_LT(boxes[i - 1].x2, boxes[i].x1) << boxes[i - 1].what << " / " << boxes[i].what;
    EXPECT_LT(boxes.back().x2, width - 10) << "the row leaves the list";
    // The drawn ink of the row: inside the boxes only, and some in each.
    const uint8_t frame = 191, back = images.NAJDIBARVU(64, 64, 64);
    const int top = 9 + r * line + 1, bottom = 7 + (r + 1) * line - 1;
    std::vector<int> ink(boxes.size(), 0);
    for (int y = top; y <= bottom; ++y)
      for (int x = 6; x < width - 10; ++x) {
        const uint8_t c = px(x, y);
        if (c == back || c == frame) continue;
        bool inside = false;
        for (size_t i = 0; i < boxes.size(); ++i)
          if (x >= boxes[i].x1 && x <= boxes[i].x2) inside = true, ++ink[i];
        EXPECT_TRUE(inside) << "ink at " << x << "," << y << (highlighted ? " (highlighted)" : "");
        if (!inside) return;
      }
    for (size_t i = 0; i < boxes.size(); ++i) EXPECT_GT(ink[i], 0) << boxes[i].what;
  }
}

}  // namespace
}  // namespace ksv::toolkit
