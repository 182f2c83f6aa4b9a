// Windows and input fields: the four-window table, pop-ups that restore what they covered and
// silence the buttons below, button placement inside windows, and the input field's end rules.
#include <gtest/gtest.h>

#include <deque>

#include "toolkit/tests/fixture.h"

namespace ksv::toolkit {
namespace {

using testing::ToolkitTest;

struct WindowTest : ToolkitTest {
  WindowTest() {
    dir.write_file("texty.dat", "[okno]\nOkno\n[obsah]\nHlavni text\nradek 1\n>>>\n");
    // The communication hook doubles as the user: one scripted step per pass of a wait loop.
    tk.okna.OBSLUHAKOMUNIKACE = [this] {
      ++passes;
      if (!steps.empty()) {
        steps.front()();
        steps.pop_front();
      }
      if (passes > 5000) tk.okna.KONECZADAVANI = 99;  // a broken loop fails instead of hanging
    };
  }
  Okna& o() { return tk.okna; }
  void type(const std::string& s) {
    for (char c : s) steps.push_back([this, c] { hb().key(static_cast<uint8_t>(c)); });
  }
  void then(std::function<void()> f) { steps.push_back(std::move(f)); }

  std::deque<std::function<void()>> steps;
  int passes = 0;
};

TEST_F(WindowTest, FifthWindowIsRefusedAndDrawsNothing) {
  for (int i = 0; i < 4; ++i) EXPECT_EQ(o().VYTVOROKNO(10 + i * 150, 10, 140, 100, false, "okno", "obsah"), i * 256);
  auto before = screen();
  EXPECT_EQ(o().VYTVOROKNO(-1, -1, 200, 200, true, "okno", "obsah"), kNoFreeWindow);
  EXPECT_EQ(screen(), before);
  o().SMAZOKNO(2);
  EXPECT_EQ(o().VYTVOROKNO(-1, -1, 200, 100, false, "okno", "obsah"), 2 * 256);
  EXPECT_EQ(o().OKNO[2].X, 220);  // centred
  EXPECT_EQ(o().OKNO[2].Y, 190);
}

TEST_F(WindowTest, WindowIsPaintedWithTitleBarBodyAndTexts) {
  o().VYTVOROKNO(100, 100, 300, 150, false, "okno", "obsah");
  const uint8_t bar = images.NAJDIBARVU(0, 0, 128), body = images.NAJDIBARVU(64, 64, 64);
  int title = 0, text = 0;
  for (int y = 100; y < 120; ++y)
    for (int x = 100; x < 400; ++x) title += px(x, y) == 255;
  for (int y = 120; y < 250; ++y)
    for (int x = 100; x < 400; ++x) text += px(x, y) == images.NAJDIBARVU(255, 255, 255);
  EXPECT_EQ(px(101, 101), bar);
  EXPECT_EQ(px(101, 248), body);
  EXPECT_EQ(px(99, 120), 0);
  EXPECT_EQ(px(400, 120), 0);
  EXPECT_GT(title, 20);
  EXPECT_GT(text, 40);
  o().SMAZOKNO(0);
  EXPECT_EQ(screen(), std::vector<uint8_t>(640 * 480, 0));
  o().SMAZOKNO(0);  // closing a free entry does nothing
}

TEST_F(WindowTest, PopupRestoresPixelsAndSilencesCoveredButtons) {
  int plain_fired = 0, popup_fired = 0;
  o().VYTVOROKNO(0, 0, 640, 480, false, "okno", "obsah");
  ASSERT_EQ(o().PRIPRAVTLACPROOKNO(0, "&Dole", [&] { ++plain_fired; }, 200, 200, 0, 0, 'd'), 0);
  settle();
  auto before = screen();

  o().VYTVOROKNO(150, 150, 300, 200, true, "okno", "obsah");
  ASSERT_EQ(o().PRIPRAVTLACPROOKNO(1, "&OK", [&] { ++popup_fired; }, 10, 100, 0, 0, 13), 0);
  settle();
  EXPECT_NE(screen(), before);
  click(220, 220);  // the covered button's place
  hb().key('d');
  poll();
  EXPECT_EQ(plain_fired, 0);
  hb().key(13);
  poll();
  EXPECT_EQ(popup_fired, 1);

  hb().move_mouse(600, 10);
  poll(3);
  o().SMAZOKNO(1);
  EXPECT_EQ(screen(), before);
  EXPECT_EQ(tk.tlacitka.AKTIVNICHTLAC, 1);  // the pop-up's own button went with it
  click(220, 220);
  EXPECT_EQ(plain_fired, 1);
  hb().key('d');
  poll();
  EXPECT_EQ(plain_fired, 2);
}

TEST_F(WindowTest, ClosingAnInnerPopupKeepsTheOuterOnesCoverInForce) {
  int below = 0, outer = 0;
  o().VYTVOROKNO(0, 0, 640, 480, false, "", "");
  o().PRIPRAVTLACPROOKNO(0, "&Dole", [&] { ++below; }, 10, 10, 0, 0, 'd');
  o().VYTVOROKNO(100, 100, 400, 300, true, "", "");
  o().PRIPRAVTLACPROOKNO(1, "&Outer", [&] { ++outer; }, 10, 40, 0, 0, 'o');
  o().VYTVOROKNO(150, 150, 200, 100, true, "", "");
  o().SMAZOKNO(2);
  hb().key('d');
  poll();
  hb().key('o');
  poll();
  EXPECT_EQ(below, 0);  // still under the outer pop-up
  EXPECT_EQ(outer, 1);
  o().SMAZOKNO(1);
  hb().key('d');
  poll();
  EXPECT_EQ(below, 1);
}

TEST_F(WindowTest, ButtonPlacementInsideTheWindow) {
  o().VYTVOROKNO(20, 50, 600, 300, false, "", "");
  auto pos = [&](int32_t x, int32_t y, const std::string& label, int w = 50, int h = 20) {
    EXPECT_EQ(o().PRIPRAVTLACPROOKNO(0, label, nullptr, x, y, w, h, 0), 0);
    const TTLAC& b = tk.tlacitka.TLACITKO[tk.tlacitka.AKTIVNICHTLAC - 1];
    return std::make_pair(b.X, b.Y);
  };
  EXPECT_EQ(pos(-15, 10, "&A"), std::make_pair(540, 60));
  EXPECT_EQ(pos(15, -10, "&B"), std::make_pair(35, 50 + 300 - 10 - 33));
  EXPECT_EQ(pos(0, 0, "&C"), std::make_pair(20 + 300 - 32, 50));
  images.ZALOZOBRAZEK(2, 50, 20, 1);
  EXPECT_EQ(pos(-10, -5, "#2"), std::make_pair(20 + 600 - 10 - 50 - 1, 50 + 300 - 5 - 20 - 1));
  EXPECT_EQ(pos(0, 5, "#2"), std::make_pair(20 + 300 - 25, 55));

  EXPECT_EQ(o().PRIPRAVTLACPROOKNO(1, "&X", nullptr, 0, 0, 0, 0, 0), kWindowNotOpen);
  EXPECT_EQ(o().PRIPRAVTLACPROOKNO(0, "", nullptr, 0, 0, 0, 0, 0), kEmptyLabel);
  EXPECT_EQ(o().PRIPRAVTLACPROOKNO(0, "#7", nullptr, 0, 0, 50, 20, 0), kBadSlotRef);
  while (std::count(o().OKNO[0].TLAC.begin(), o().OKNO[0].TLAC.end(), kNoHandle) > 0)
    ASSERT_EQ(o().PRIPRAVTLACPROOKNO(0, "&n", nullptr, 1, 1, 0, 0, 0), 0);
  EXPECT_EQ(o().PRIPRAVTLACPROOKNO(0, "&n", nullptr, 1, 1, 0, 0, 0), kWindowFull);
  o().SMAZOKNA();
  EXPECT_EQ(tk.tlacitka.AKTIVNICHTLAC, 0);
  EXPECT_EQ(o().MISTOX(0, 7), 7);
}

TEST_F(WindowTest, InputFieldNumbersTextsAndCancel) {
  o().VYTVOROKNO(0, 0, 300, 100, false, "", "");
  o().PRIPRAVTLACPROOKNO(0, "&OK", [&] { o().KONECZADAVANI = 1; }, -5, -5, 0, 0, 13);
  o().PRIPRAVTLACPROOKNO(0, "&Zpet", [&] { o().KONECZADAVANI = 2; }, 5, -5, 0, 0, 27);

  int32_t number = -1;
  std::string text, result = "r";
  type("42");
  then([this] { hb().key(13); });
  o().ZISKEJUDAJOKNO(0, 10, 30, 255, 0, 10, number, text, result);
  EXPECT_EQ(number, 42);
  EXPECT_EQ(text, "");
  EXPECT_EQ(result, "");

  text = "";
  type("4a");
  then([this] { hb().key(13); });
  o().ZISKEJUDAJ(10, 30, 255, 0, 10, number, text, result);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(text, "4a");
  EXPECT_EQ(result, "4a");

  // Editing starts from the given text; Backspace removes; the length limits what is typed.
  text = "12";
  type("\b345");
  then([this] { hb().key(13); });
  o().ZISKEJUDAJ(10, 30, 255, 0, 3, number, text, result);
  EXPECT_EQ(number, 134);

  // Confirming an empty field leaves both texts alone.
  text = "keep";
  result = "also";
  type("\b\b\b\b");
  then([this] { hb().key(13); });
  o().ZISKEJUDAJ(10, 30, 255, 0, 10, number, text, result);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(text, "keep");
  EXPECT_EQ(result, "also");

  text = "before";
  type("xyz");
  then([this] { hb().key(27); });
  o().ZISKEJUDAJ(10, 30, 255, 0, 10, number, text, result);
  EXPECT_EQ(o().KONECZADAVANI, 2);
  EXPECT_EQ(text, "before");
  EXPECT_EQ(result, std::string(1, '\0'));
  EXPECT_EQ(number, 0);
}

TEST_F(WindowTest, MaskedFieldShowsStarsAndReturnsTheTypedText) {
  o().VYTVOROKNO(0, 0, 300, 100, false, "", "");
  o().PRIPRAVTLACPROOKNO(0, "&OK", [&] { o().KONECZADAVANI = 1; }, -5, -5, 0, 0, 13);
  settle();
  // What three stars look like in the field.
  o().VYPISUDAJ(10, 30, 255, 0, 40, "***");
  std::vector<uint8_t> stars(graph.pixels(), graph.pixels() + 640 * 480);
  o().VYPISUDAJ(10, 30, 255, 0, 40, "");

  int32_t number = 0;
  std::string text = "*secret*", result;
  std::vector<uint8_t> shown;
  type("pwd");
  then([&] { shown = screen(); });
  then([this] { hb().key(13); });
  o().ZISKEJUDAJ(10, 30, 255, 0, 40, number, text, result);
  EXPECT_EQ(shown, stars);
  EXPECT_EQ(text, "pwd");
  EXPECT_EQ(result, "pwd");
}

TEST_F(WindowTest, CloseRequestEndsAnInputLoop) {
  int32_t number = 5;
  std::string text = "t", result;
  then([this] { hb().request_close(); });
  o().ZISKEJUDAJ(10, 30, 255, 0, 10, number, text, result);
  EXPECT_EQ(exit_code, 0);
  EXPECT_EQ(result, std::string(1, '\0'));
}

TEST_F(WindowTest, ColourPickerSelectsByGridCell) {
  o().VYTVOROKNO(0, 0, 640, 480, false, "", "");
  o().PRIPRAVTLACPROOKNO(0, "&OK", [&] { o().KONECZADAVANI = 1; }, -5, -5, 0, 0, 13);
  o().PRIPRAVTLACPROOKNO(0, "&Storno", [&] { o().KONECZADAVANI = 2; }, 5, -5, 0, 0, 27);
  const int x = 100, y = 100, s = 2;
  then([&] { hb().move_mouse(x + 3 * 10 * s + 1, y + 2 * 10 * s + 1), hb().set_buttons(1); });
  then([&] { hb().set_buttons(0); });
  then([this] { hb().key(13); });
  EXPECT_EQ(o().VYBERBARVU(x, y, s, true), 2 * 16 + 3);
  EXPECT_EQ(graph.GETCOLOR(), 35);
  EXPECT_EQ(px(x + 15 * 20 + 1, y + 15 * 20 + 1), 255);  // the last cell shows colour 255

  then([this] { hb().key(27); });
  EXPECT_EQ(o().VYBERBARVU(x, y, 0, false), -1);
}

TEST_F(WindowTest, PaintingAreaStoresWhatWasDrawn) {
  o().VYTVOROKNO(0, 0, 640, 480, false, "", "");
  o().PRIPRAVTLACPROOKNO(0, "&OK", [&] { o().KONECZADAVANI = 1; }, -5, -5, 0, 0, 13);
  graph.SETCOLOR(200);
  then([&] { hb().move_mouse(110, 105), hb().set_buttons(1); });
  then([&] { hb().set_buttons(0); });
  then([this] { hb().key(13); });
  int32_t r = o().KRESLI(100, 100, 40, 20, 65535, 0);
  ASSERT_EQ(r & 0xFF, 0);
  uint16_t slot = static_cast<uint16_t>(r >> 8);
  ASSERT_LT(slot, 63);
  const images::TOBRAZEK& pic = images.OBRAZKY[slot];
  EXPECT_EQ(pic.VELX, 40);
  EXPECT_EQ(pic.BUFFER[5 * pic.MAXX + 10], 200);
  EXPECT_EQ(pic.BUFFER[0], 0);

  EXPECT_EQ(o().KRESLI(0, 0, 10, 10, 64, 0), images::VELKECISLO);
  EXPECT_EQ(o().KRESLI(0, 0, 10, 10, 40, 0), images::OBRAZEKNEALOK);
}

}  // namespace
}  // namespace ksv::toolkit

namespace ksv::toolkit {
namespace {

struct WindowTextTest : testing::ToolkitTest {};

TEST_F(WindowTextTest, BodyLinesFollowTheirFormattingCodes) {
  // "*l" on its own line makes the following lines start 10 pixels inside the left edge; "@"
  // joins a line to the one above; ">>>" is not shown.
  dir.write_file("texty.dat", "[b]\n\n*l\n#252#Vlevo\n@#28#Taky\n>>>\n");
  tk.okna.VYTVOROKNO(100, 100, 400, 200, false, "", "b");
  const int line = tk.texty.AKTVELFONTU + 1;
  int left = 640, top = 480, joined_top = 480;
  for (int y = 100; y < 300; ++y)
    for (int x = 100; x < 500; ++x) {
      if (px(x, y) == 252) left = std::min(left, x), top = std::min(top, y);
      if (px(x, y) == 28) joined_top = std::min(joined_top, y);
    }
  EXPECT_GE(left, 110);
  EXPECT_LE(left, 113);
  // Line 1 sits at 40 + 2 lines; the joined line 2 moves up one line to the same row.
  EXPECT_NEAR(top, 100 + 40 + 2 * line - line / 2, 4);
  EXPECT_NEAR(joined_top, top, 2);
  int arrows = 0;
  for (int y = 100; y < 300; ++y)
    for (int x = 100; x < 500; ++x) arrows += px(x, y) == 255;
  EXPECT_EQ(arrows, 0);  // neither ">>>" nor anything in colour 255 was drawn
}

}  // namespace
}  // namespace ksv::toolkit
