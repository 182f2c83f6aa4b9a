// The inputs of the screen kit: the long text field (cursor editing, sideways scrolling,
// clearing), the number field (0 told from empty, bounds) and the grid editor for tables.
#include <gtest/gtest.h>

#include <deque>

#include "toolkit/kit/grid_editor.h"
#include "toolkit/kit/number_field.h"
#include "toolkit/kit/text_field.h"
#include "toolkit/tests/fixture.h"

namespace ksv::toolkit {
namespace {

using testing::ToolkitTest;

constexpr int kLeft = kExtendedKey + 75, kHome = kExtendedKey + 71, kEnd = kExtendedKey + 79;
constexpr int kDelete = kExtendedKey + 83;

struct InputTest : ToolkitTest {
  InputTest() {
    // The communication hook doubles as the user: one scripted step per pass of the loop.
    tk.okna.OBSLUHAKOMUNIKACE = [this] {
      ++passes;
      if (!steps.empty()) {
        steps.front()();
        steps.pop_front();
      }
      if (passes > 5000) tk.okna.KONECZADAVANI = 99;  // a broken loop fails instead of hanging
    };
  }
  void type(const std::string& s) {
    for (char c : s) steps.push_back([this, c] { hb().key(static_cast<uint8_t>(c)); });
  }
  void press(uint8_t second) { steps.push_back([this, second] { hb().extended_key(second); }); }
  void keys(TextField& f, const std::string& s) {
    for (char c : s) f.key(static_cast<uint8_t>(c));
  }

  std::deque<std::function<void()>> steps;
  int passes = 0;
};

// ---------------------------------------------------------------- text field

TEST_F(InputTest, CursorKeysAreToldFromTheLettersThatShareTheirCodes) {
  TextField f(tk, 10, 10, 20, 40);
  keys(f, "abc");
  f.key(kLeft);
  f.key(kLeft);
  f.key('K');  // the letter whose code Left shares
  EXPECT_EQ(f.text(), "aKbc");
  EXPECT_EQ(f.cursor(), 2u);
  f.key(kDelete);
  EXPECT_EQ(f.text(), "aKc");
  f.key(kHome);
  f.key(8);  // nothing before the cursor
  EXPECT_EQ(f.text(), "aKc");
  f.key(kEnd);
  f.key(8);
  EXPECT_EQ(f.text(), "aK");
  EXPECT_EQ(f.key(9), TextField::KeyResult::kIgnored);  // a control character is not text
  EXPECT_EQ(f.key(13), TextField::KeyResult::kConfirm);
  EXPECT_EQ(f.key(27), TextField::KeyResult::kCancel);
}

TEST_F(InputTest, LongTextScrollsSidewaysAndStaysInItsBox) {
  TextField f(tk, 100, 100, 20, 255);  // a box of 20 × 8 = 160 pixels
  for (int i = 0; i < 300; ++i) f.key('W');
  EXPECT_EQ(f.text().size(), 255u);  // the 256th character is refused
  EXPECT_EQ(f.cursor(), 255u);
  EXPECT_GT(f.first_shown(), 200u);  // the end is in view
  const auto before = screen();
  f.draw(true);
  int outside = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      outside += (x < 100 || x > 260 || y < 100 || y > 116) && px(x, y) != before[y * 640 + x];
  EXPECT_EQ(outside, 0);
  f.key(kHome);
  EXPECT_EQ(f.first_shown(), 0u);
  f.key('A');
  EXPECT_EQ(f.text().size(), 255u);  // full: nothing more goes in, not even at the start
  EXPECT_EQ(f.text()[0], 'W');
}

TEST_F(InputTest, AFieldCanBeClearedAndDigitsStayText) {
  TextField f(tk, 10, 10, 20, 60, "Stary text");
  for (int i = 0; i < 10; ++i) steps.push_back([this] { hb().key(8); });
  type("\r");
  EXPECT_TRUE(f.edit());
  EXPECT_EQ(f.text(), "");

  TextField digits(tk, 10, 40, 20, 60);
  type("007\r");
  EXPECT_TRUE(digits.edit());
  EXPECT_EQ(digits.text(), "007");
}

TEST_F(InputTest, CancelledEditKeepsTheOldText) {
  TextField f(tk, 10, 10, 20, 60, "puvodni");
  type("xyz");
  steps.push_back([this] { tk.okna.KONECZADAVANI = 2; });  // the cancel button
  EXPECT_FALSE(f.edit());
  EXPECT_EQ(f.text(), "puvodni");
}

// ---------------------------------------------------------------- number field

TEST_F(InputTest, ZeroIsANumberAndNothingIsNothing) {
  NumberField zero(tk, 10, 10, 0, 100);
  type("0\r");
  NumberInput in = zero.edit();
  EXPECT_TRUE(in.confirmed);
  EXPECT_FALSE(in.empty);
  EXPECT_EQ(in.value, 0);

  NumberField none(tk, 10, 40, 0, 100, 42);
  type("\b\b\r");
  in = none.edit();
  EXPECT_TRUE(in.confirmed);
  EXPECT_TRUE(in.empty);
}

TEST_F(InputTest, NumbersOutsideTheBoundsAreRefusedWithTheFieldOpen) {
  NumberField month(tk, 10, 10, 1, 12, std::nullopt, false);
  type("\r");      // empty, but a month is required: refused
  type("1x3\r");   // the letter is not taken; 13 is refused
  steps.push_back([&] { EXPECT_EQ(month.field().text(), "13"); });
  type("\b\r");    // 1 is taken
  const NumberInput in = month.edit();
  EXPECT_TRUE(in.confirmed);
  EXPECT_EQ(in.value, 1);
  EXPECT_TRUE(steps.empty());
}

TEST_F(InputTest, MinusOnlyLeadsAndOnlyWhereNegativesAreAllowed) {
  NumberField pieces(tk, 10, 10, -9999999, 9999999);
  type("5-\x08");
  steps.push_back([] {});
  type("\b-5\r");
  const NumberInput in = pieces.edit();
  EXPECT_EQ(in.value, -5);
  NumberField positive(tk, 10, 40, 0, 50);
  positive.field().key('-');
  EXPECT_EQ(positive.field().text(), "");
  EXPECT_EQ(NumberField::parse("-", -5, 5), std::nullopt);
  EXPECT_EQ(NumberField::parse("2147483648", INT32_MIN, INT32_MAX), std::nullopt);
  EXPECT_EQ(NumberField::parse("-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);
}

// ---------------------------------------------------------------- grid editor

struct GridTest : ToolkitTest {
  // The camera week plan: 7 days × 24 hours in a box of 8 hours at a time.
  GridTest() : plan(tk, 7, 24, {20, 40, 30, 20, 7, 8, 40, 20}) {
    plan.activate = [this](int r, int c) { on[r][c] = !on[r][c]; };
    plan.cell_text = [this](int r, int c) { return on[r][c] ? "X" : ""; };
    plan.row_label = [](int r) { return std::string(1, "PUSCPSN"[r]); };
    plan.col_label = [](int c) { return INT2STR(c); };
  }
  // Screen position of the middle of visible cell (r, c).
  int cx(int c) const { return 20 + 40 + c * 30 + 15; }
  int cy(int r) const { return 40 + 20 + r * 20 + 10; }

  bool on[7][24] = {};
  GridEditor plan;
};

TEST_F(GridTest, ArrowsMoveTheCursorAndTheViewFollowsIt) {
  for (int i = 0; i < 10; ++i) plan.key(kExtendedKey + 77);
  EXPECT_EQ(plan.col(), 10);
  EXPECT_EQ(plan.left_col(), 3);  // columns 3 to 10 in view
  plan.key(kExtendedKey + 80);
  plan.key(' ');
  EXPECT_TRUE(on[1][10]);
  plan.key(kEnd);
  EXPECT_EQ(plan.row(), 6);
  EXPECT_EQ(plan.col(), 23);
  EXPECT_EQ(plan.left_col(), 16);
  plan.key(kExtendedKey + 80);  // nothing below the last row
  EXPECT_EQ(plan.row(), 6);
  EXPECT_FALSE(plan.key('K'));  // a letter is not the grid's, however it is coded
  EXPECT_EQ(plan.col(), 23);
}

TEST_F(GridTest, APressMovesTheCursorAndASecondOneTogglesTheCell) {
  EXPECT_TRUE(plan.mouse(cx(2), cy(3), 1));
  EXPECT_EQ(plan.row(), 3);
  EXPECT_EQ(plan.col(), 2);
  EXPECT_FALSE(on[3][2]);
  EXPECT_FALSE(plan.mouse(cx(2), cy(3), 1));  // held down: still the same press
  plan.mouse(cx(2), cy(3), 0);
  plan.mouse(cx(2), cy(3), 1);
  EXPECT_TRUE(on[3][2]);
  plan.mouse(0, 0, 0);
  EXPECT_FALSE(plan.mouse(cx(0) - 35, cy(0), 1));  // on the row labels, not a cell
  plan.press_activates = true;
  plan.mouse(0, 0, 0);
  plan.mouse(cx(5), cy(0), 1);
  EXPECT_TRUE(on[0][5]);
}

TEST_F(GridTest, PagesOfRowsAndTheDrawnCursor) {
  bool bits[64] = {};
  GridEditor rights(tk, 16, 4, {300, 40, 60, 18, 5, 4, 30, 0});
  rights.activate = [&](int r, int c) { bits[r * 4 + c] = !bits[r * 4 + c]; };
  rights.cell_background = [&](int r, int c) { return bits[r * 4 + c] ? 0x1C : 0x00; };
  rights.key(kExtendedKey + 81);
  EXPECT_EQ(rights.top_row(), 5);
  EXPECT_EQ(rights.row(), 5);
  rights.key(kExtendedKey + 81);
  rights.key(kExtendedKey + 81);
  EXPECT_EQ(rights.row(), 15);
  EXPECT_EQ(rights.top_row(), 11);  // the last page is a whole page
  rights.key(kExtendedKey + 77);
  rights.key(13);
  EXPECT_TRUE(bits[61]);
  rights.key(kExtendedKey + 73);
  EXPECT_EQ(rights.row(), 10);
  EXPECT_EQ(rights.top_row(), 6);
  rights.move_to(15, 1);
  rights.draw();
  // Row 15 is the fifth row in view: its cell (15, 1) is green and framed in yellow.
  const int x1 = 300 + 30 + 60, y1 = 40 + 4 * 18;
  EXPECT_EQ(px(x1, y1), images.NAJDIBARVU(255, 255, 0));
  EXPECT_EQ(px(x1 + 10, y1 + 3), 0x1C);
  EXPECT_EQ(px(x1 - 10, y1 + 3), 0x00);
}

TEST_F(GridTest, PollTakesQueuedKeysAndTheMouseAfterTheButtonPoll) {
  hb().extended_key(77);
  hb().key('q');
  hb().key(' ');
  poll(3);  // one key per button poll
  EXPECT_EQ(plan.poll(), std::vector<int>{'q'});  // not the grid's: the screen's to handle
  EXPECT_EQ(plan.col(), 1);
  EXPECT_TRUE(on[0][1]);
  EXPECT_FALSE(tk.tlacitka.JEKLAV());
  hb().move_mouse(cx(4), cy(2));
  hb().set_buttons(1);
  poll();
  plan.poll();
  EXPECT_EQ(plan.row(), 2);
  EXPECT_EQ(plan.col(), 4);
}

}  // namespace
}  // namespace ksv::toolkit
