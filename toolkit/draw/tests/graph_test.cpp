// Drawing layer on the headless display: clipping, exclusive-or lines, shapes, text measuring
// against what is drawn, update modes, key and script input.
#include <gtest/gtest.h>

#include <fstream>

#include "protocol/testsupport/temp_dir.h"
#include "toolkit/draw/graph.h"
#include "toolkit/draw/headless.h"

namespace ksv::draw {
namespace {

struct GraphTest : ::testing::Test {
  GraphTest() : g(std::make_unique<HeadlessBackend>()) { g.INITGRAPH(3, 4, "test"); }
  int count(uint8_t c, int x1 = 0, int y1 = 0, int x2 = 639, int y2 = 479) {
    int n = 0;
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) n += g.screen_pixel(x, y) == c;
    return n;
  }
  Graph g;
};

TEST_F(GraphTest, ViewportOffsetsAndClips) {
  g.SETVIEWPORT(100, 100, 199, 149, true);
  g.SETFILLSTYLE(1, 7);
  g.BAR(-50, -50, 500, 500);  // clipped to the viewport
  EXPECT_EQ(count(7), 100 * 50);
  EXPECT_EQ(g.screen_pixel(99, 100), 0);
  EXPECT_EQ(g.GETPIXEL(0, 0), 7);
  EXPECT_EQ(g.GETPIXEL(100, 0), 0);  // outside a clipping viewport reads 0
  g.PUTPIXEL(-1, 0, 9);
  EXPECT_EQ(g.screen_pixel(99, 100), 0);

  g.SETVIEWPORT(100, 100, 199, 149, false);  // without clip only the screen limits apply
  g.PUTPIXEL(-1, 0, 9);
  EXPECT_EQ(g.screen_pixel(99, 100), 9);
  g.PUTPIXEL(600, 0, 9);  // x 700 is off the screen: ignored, no wrap into the next row
  EXPECT_EQ(g.screen_pixel(60, 101), 0);
  EXPECT_EQ(g.GETVIEWSETTINGS().x1, 100);
}

TEST_F(GraphTest, LinesIncludeBothEndsAndXorTwiceRestores) {
  g.SETCOLOR(5);
  g.LINE(10, 10, 20, 14);
  EXPECT_EQ(g.screen_pixel(10, 10), 5);
  EXPECT_EQ(g.screen_pixel(20, 14), 5);
  EXPECT_EQ(count(5), 11);

  g.SETFILLSTYLE(1, 0x0F);
  g.BAR(0, 100, 639, 200);
  std::vector<uint8_t> before(g.pixels(), g.pixels() + 640 * 480);
  g.SETWRITEMODE(1);
  g.SETCOLOR(0xF0);
  g.LINE(0, 150, 639, 120);
  g.RECTANGLE(50, 110, 300, 190);
  EXPECT_EQ(g.screen_pixel(50, 110), 0xFF);
  g.LINE(0, 150, 639, 120);
  g.RECTANGLE(50, 110, 300, 190);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), g.pixels()));
}

TEST_F(GraphTest, FillRectHasOutlineInCurrentColour) {
  g.SETCOLOR(3);
  g.SETFILLSTYLE(1, 8);
  g.FILLRECT(10, 10, 20, 20);
  EXPECT_EQ(g.screen_pixel(10, 10), 3);
  EXPECT_EQ(g.screen_pixel(20, 15), 3);
  EXPECT_EQ(g.screen_pixel(15, 15), 8);
  EXPECT_EQ(count(8), 9 * 9);
  g.CLEARDEVICE();
  EXPECT_EQ(count(0), 640 * 480);
}

TEST_F(GraphTest, TextWidthMatchesInkAndJustification) {
  g.SETTEXTSTYLE(4, 0, 16);
  g.SETCOLOR(200);
  int w = g.TEXTWIDTH("Zakazka");
  ASSERT_GT(w, 30);  // fonts must be installed for the text checks to mean anything
  EXPECT_EQ(g.TEXTWIDTH(""), 0);
  EXPECT_GT(g.TEXTWIDTH("WWW"), g.TEXTWIDTH("iii"));

  auto ink_span = [&](int& lo, int& hi) {
    lo = 640, hi = -1;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x)
        if (g.screen_pixel(x, y) == 200) lo = std::min(lo, x), hi = std::max(hi, x);
  };
  int lo, hi;
  g.SETTEXTJUSTIFY(0, 0);
  g.OUTTEXTXY(100, 100, "Zakazka");
  ink_span(lo, hi);
  EXPECT_GE(lo, 100);
  EXPECT_LE(hi, 100 + w);

  g.CLEARDEVICE();
  g.SETTEXTJUSTIFY(1, 1);
  g.OUTTEXTXY(320, 240, "Zakazka");
  ink_span(lo, hi);
  EXPECT_NEAR((lo + hi) / 2.0, 320, 3);

  g.CLEARDEVICE();
  g.SETTEXTJUSTIFY(2, 0);
  g.OUTTEXTXY(300, 100, "Zakazka");
  ink_span(lo, hi);
  EXPECT_LE(hi, 300);
  EXPECT_GE(hi, 300 - 4);

  // Bold is wider than regular; a small size is a scale, not an unreadable two pixels.
  g.SETTEXTSTYLE(20, 0, 16);
  EXPECT_GT(g.TEXTWIDTH("Zakazka"), w);
  g.SETTEXTSTYLE(20, 0, 2);
  EXPECT_GT(g.TEXTWIDTH("Zakazka"), w / 2);
}

TEST_F(GraphTest, TextIsClippedToTheViewport) {
  g.SETTEXTSTYLE(4, 0, 16);
  g.SETCOLOR(9);
  g.SETTEXTJUSTIFY(0, 0);
  g.SETVIEWPORT(10, 10, 40, 30, true);
  g.OUTTEXTXY(0, 0, "A very long line of text");
  EXPECT_GT(count(9, 10, 10, 40, 30), 0);
  EXPECT_EQ(count(9), count(9, 10, 10, 40, 30));
}

TEST_F(GraphTest, DeferredDrawingIsShownOnlyOnRequest) {
  auto* h = g.headless();
  ASSERT_NE(h, nullptr);
  g.UPDATEGRAPH(0);
  g.SETFILLSTYLE(1, 44);
  g.BAR(0, 0, 9, 9);
  g.KEYPRESSED();
  EXPECT_EQ(h->shown()[0], 0);
  g.UPDATEGRAPH(2);
  EXPECT_EQ(h->shown()[0], 44);

  g.UPDATEGRAPH(1);  // immediate: visible at the next poll
  g.BAR(0, 0, 9, 9);
  g.SETFILLSTYLE(1, 45);
  g.BAR(0, 0, 9, 9);
  g.KEYPRESSED();
  EXPECT_EQ(h->shown()[0], 45);
}

TEST_F(GraphTest, ExtendedKeysArriveAsZeroThenSecondCode) {
  auto* h = g.headless();
  EXPECT_FALSE(g.KEYPRESSED());
  h->extended_key(72);
  h->key('a');
  EXPECT_TRUE(g.KEYPRESSED());
  EXPECT_EQ(g.READKEY(), 0);
  EXPECT_EQ(g.READKEY(), 72);
  EXPECT_EQ(g.READKEY(), 'a');
  EXPECT_EQ(g.READKEY(), 0);
  h->move_mouse(33, 44);
  h->set_buttons(5);
  h->request_close();
  EXPECT_FALSE(g.CLOSEGRAPHREQUEST());  // arrives with the next poll
  g.KEYPRESSED();
  EXPECT_TRUE(g.CLOSEGRAPHREQUEST());
  EXPECT_EQ(g.GETMOUSEX(), 33);
  EXPECT_EQ(g.GETMOUSEY(), 44);
  EXPECT_EQ(g.GETMOUSEBUTTONS(), 5);
}

TEST(KeyNames, ScriptKeyNames) {
  EXPECT_EQ(parse_key_name("F1"), (std::vector<uint8_t>{0, 59}));
  EXPECT_EQ(parse_key_name("Insert"), (std::vector<uint8_t>{0, 82}));
  EXPECT_EQ(parse_key_name("Ctrl+C"), (std::vector<uint8_t>{3}));
  EXPECT_EQ(parse_key_name("Enter"), (std::vector<uint8_t>{13}));
  EXPECT_EQ(parse_key_name("x"), (std::vector<uint8_t>{'x'}));
  EXPECT_EQ(parse_key_name("200"), (std::vector<uint8_t>{200}));
  EXPECT_TRUE(parse_key_name("256").empty());
  EXPECT_TRUE(parse_key_name("Hyper").empty());
}

TEST(Script, StepsReplayPollByPollAndScreenshotIsWritten) {
  ksv::testing::TempDir dir;
  Graph g(std::make_unique<HeadlessBackend>());
  g.INITGRAPH(3, 4, "t");
  auto* h = g.headless();
  std::string shot = dir / "s.png";
  ASSERT_TRUE(h->load_script_text("# a comment\n"
                                   "settle 2\n"
                                   "text a\xC4\x8D\n"  // a script is UTF-8: "ač"
                                   "key F2 Escape\n"
                                   "click 10 20 right\n"
                                   "screenshot " + shot + "\n"))
      << h->script_error();
  h->set_close_at_end(true);
  std::vector<uint8_t> got;
  int max_buttons = 0;
  for (int i = 0; i < 50 && !g.CLOSEGRAPHREQUEST(); ++i) {
    while (g.KEYPRESSED()) got.push_back(g.READKEY());
    max_buttons = std::max(max_buttons, g.GETMOUSEBUTTONS());
  }
  EXPECT_TRUE(g.CLOSEGRAPHREQUEST());
  EXPECT_EQ(got, (std::vector<uint8_t>{'a', 0xE8, 0, 60, 27}));  // "č" as its 1250 byte
  EXPECT_EQ(max_buttons, 2);
  EXPECT_EQ(g.GETMOUSEX(), 10);
  EXPECT_EQ(g.GETMOUSEBUTTONS(), 0);
  EXPECT_GT(dir.file_size("s.png"), 100);
  std::ifstream png(shot, std::ios::binary);
  char sig[4] = {};
  png.read(sig, 4);
  EXPECT_EQ(std::string(sig + 1, 3), "PNG");
}

TEST(Script, BadLinesAreRefusedWithTheLineNumber) {
  HeadlessBackend h;
  EXPECT_FALSE(h.load_script_text("wait 3\nkey NoSuchKey\n"));
  EXPECT_NE(h.script_error().find("line 2"), std::string::npos);
  EXPECT_FALSE(h.load_script_text("click 10\n"));
  EXPECT_FALSE(h.load_script_text("jump\n"));
  EXPECT_FALSE(h.load_script_text("wait -1\n"));
  EXPECT_TRUE(h.load_script_text("\n  # only comments\r\n"));
}

}  // namespace
}  // namespace ksv::draw
