// The file chooser on the headless display: names as Linux stores them (UTF-8, any length)
// listed readably and opened by their own bytes, folders marked, the highlight kept across
// "&Ne" and a move up, thumbnails in their own shape.
#include "calculator/tests/workflow/fixture.h"
#include "toolkit/cp1250.h"

namespace ksv::calculator::ui::testing {
namespace {

constexpr int kListX = 60, kListY = 80, kListW = 350, kListH = 340, kRows = 17;

uint8_t white(int, int) { return 255; }

// The pixels of list row r (the box's inner width) in a 640 x 480 frame.
std::vector<uint8_t> row_pixels(const uint8_t* frame, int r) {
  const int line = 17, top = kListY + 9 + r * line, bottom = kListY + 7 + (r + 1) * line;
  std::vector<uint8_t> out;
  for (int y = top; y <= bottom; ++y)
    for (int x = kListX; x <= kListX + kListW - 5; ++x) out.push_back(frame[y * 640 + x]);
  return out;
}

// Row r of the chooser's list as the toolkit draws it with these names and the first entry
// highlighted, on a display of its own.
std::vector<uint8_t> reference_row(const std::vector<std::string>& names, int r) {
  draw::Graph graph(std::make_unique<draw::HeadlessBackend>());
  images::Obrazky images(&graph, "./");
  toolkit::Toolkit tk(graph, images);
  graph.INITGRAPH(3, 4, "reference");
  images.NASTAVPALETU();
  for (const std::string& n : names) tk.seznam.PRIDEJPRVEK(n, "", false);
  tk.seznam.PRVNIVYPISSEZ(kListX, kListY, kListW, kListH, kRows, 0);
  return row_pixels(graph.pixels(), r);
}

TEST_F(WorkflowTest, AccentedNameIsDrawnWithItsGlyphs) {
  const std::string name = "Nováček.bmp";  // UTF-8, as the file system keeps it
  write_logo(name, 40, 20, white);
  write_logo("logo.bmp", 40, 20, white);
  auto s = run(Script().keys("Space"));
  const toolkit::Seznam& l = s->tk.seznam;
  ASSERT_EQ(l.PRVKU(), 3);
  const std::string typed = toolkit::utf8_to_cp1250(name);  // what the keyboard gives for it
  EXPECT_EQ(l.SEZNAM[2].NAZEV, typed);
  const std::vector<uint8_t> shown = row_pixels(s->graph.headless()->shown().data(), 2);
  EXPECT_EQ(shown, reference_row({"..", "logo.bmp", typed}, 2));
  // The comparison sees the difference: the raw bytes would draw other glyphs.
  EXPECT_NE(shown, reference_row({"..", "logo.bmp", name}, 2));
}

TEST_F(WorkflowTest, ListedNamesOpenByTheirOwnBytes) {
  const std::string accented = write_logo("Nováček.bmp", 500, 250, [](int x, int y) -> uint8_t {
    return x >= 100 && x < 400 && y >= 50 && y < 200 ? 0xE0 : 255;
  });
  // Two long names alike in their first 32 characters: shortened in the middle, both keep
  // their extension and stay apart.
  const std::string stem = "logo_zákazníka_s_velmi_dlouhým_jménem_";
  write_logo(stem + "první.bmp", 40, 20, white);
  const std::string second = write_logo(stem + "druhý.bmp", 40, 20, white);
  {
    auto s = run(Script().to_segment_page());  // the last entry: Nováček
    EXPECT_EQ(s->workflow.SOUBORKALK, accented);
    EXPECT_EQ(s->workflow.error_code, 0);
    EXPECT_EQ(s->workflow.segmentations, 1);
  }
  auto s = run(Script().keys("Space").keys("End").keys("Up").keys("Up").keys("Enter"));
  EXPECT_EQ(s->workflow.SOUBORKALK, second);
  EXPECT_EQ(s->workflow.error_code, 0);
  const toolkit::Seznam& l = s->tk.seznam;
  ASSERT_EQ(l.PRVKU(), 4);
  for (int i : {1, 2}) {
    const std::string& shown = l.SEZNAM[size_t(i)].NAZEV;
    EXPECT_LE(shown.size(), toolkit::kNameLength);
    EXPECT_NE(shown.find('~'), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 4), ".bmp") << shown;
  }
  EXPECT_NE(l.SEZNAM[1].NAZEV, l.SEZNAM[2].NAZEV);
}

// "&Ne" at the approval goes back to the chooser with the same entry highlighted; going up
// highlights the folder just left.
TEST_F(WorkflowTest, ChooserKeepsItsPlace) {
  write_logo("a.bmp", 40, 20, white);
  write_logo("b.bmp", 40, 20, white);
  write_logo("c.bmp", 40, 20, white);
  auto s = run(Script().keys("Space").keys("Down").keys("Down").keys("Enter").keys("8").keys("1").keys("n"));
  const toolkit::Seznam& l = s->tk.seznam;
  EXPECT_EQ(s->workflow.picture_dialog_runs, 1);
  ASSERT_EQ(l.PRVKU(), 4);
  EXPECT_EQ(l.SEZNAM[size_t(l.highlighted())].NAZEV, "b.bmp");
  auto up = run(Script().keys("Enter"));  // ".." from loga/
  const toolkit::Seznam& u = up->tk.seznam;
  ASSERT_GT(u.PRVKU(), 0);
  EXPECT_EQ(u.SEZNAM[size_t(u.highlighted())].NAZEV, "[loga]");
}

// A wide picture's thumbnail is as wide as the square and half as high, centred in it.
TEST_F(WorkflowTest, ThumbnailKeepsThePicturesShape) {
  write_logo("wide.bmp", 500, 250, white);
  auto s = run(Script().keys("Space").keys("End"));
  const uint8_t* frame = s->graph.headless()->shown().data();
  auto at = [frame](int x, int y) { return frame[y * 640 + x]; };
  // The square is (445, 280)-(572, 407): the picture fills rows 312 to 375.
  EXPECT_EQ(at(508, 290), 0);
  EXPECT_EQ(at(508, 400), 0);
  EXPECT_NE(at(508, 344), 0);
  EXPECT_NE(at(446, 344), 0);
  EXPECT_NE(at(571, 344), 0);
}

// The chooser's help window is as wide as its text: room for its longest line, no wide empty
// margin.
TEST_F(WorkflowTest, HelpWindowFitsItsText) {
  auto s = run(Script().keys("F1"));
  const uint8_t* frame = s->graph.headless()->shown().data();
  // The pop-up: up the middle column to its title bar, along the bar to its ends.
  const uint8_t title = s->images.NAJDIBARVU(0, 0, 128);
  auto at = [frame](int x, int y) { return frame[y * 640 + x]; };
  int top = 240;
  while (top > 0 && at(320, top) != title) --top;
  int left = 320, right = 320;
  auto in_bar = [&](int x) { return at(x, top) == title || at(x, top) == 255; };
  while (left > 0 && in_bar(left - 1)) --left;
  while (right < 639 && in_bar(right + 1)) ++right;
  s->tk.texty.text("helpvyber");
  int widest = 0;
  s->graph.SETTEXTSTYLE(4, 0, 16);
  for (int i = 0; i < s->tk.texty.RADKU; ++i)
    widest = std::max(widest, s->graph.TEXTWIDTH(s->tk.texty.TEXTBUFFER[size_t(i)]));
  const int width = right - left + 1;
  EXPECT_GE(width, widest + 20);
  EXPECT_LE(width, widest + 40);
}

}  // namespace
}  // namespace ksv::calculator::ui::testing
