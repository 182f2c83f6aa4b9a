// Buttons and the key queue: one state change per poll, hover/press/release, hot keys, picture
// buttons in their own slots, the 255-key queue and closing the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "toolkit/tests/fixture.h"

namespace ksv::toolkit {
namespace {

using testing::ToolkitTest;

struct ButtonTest : ToolkitTest {
  Tlacitka& t() { return tk.tlacitka; }
};

TEST_F(ButtonTest, HotKeyFiresWithoutBeingQueued) {
  int fired = 0;
  t().VYTVORTXTTLAC("OK", [&] { ++fired; }, 100, 100, 13);
  hb().move_mouse(500, 400);
  hb().key(13);
  poll();
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(t().JEKLAV());
  hb().key('x');
  poll();
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(t().ZISKKLAV(), 'x');
}

TEST_F(ButtonTest, ExtendedHotKeyMatchesItsSecondCode) {
  int fired = 0;
  t().VYTVORTXTTLAC("Up", [&] { ++fired; }, 100, 100, 72);
  hb().extended_key(72);
  poll();
  EXPECT_EQ(fired, 1);
  hb().extended_key(80);
  poll();
  EXPECT_EQ(t().ZISKKLAV(), 80);  // queued as its second code alone
  EXPECT_FALSE(t().JEKLAV());
}

TEST_F(ButtonTest, TypedCharactersNeverFireTheExtendedKeySharingTheirCode) {
  // Insert is 82 like "R", Up 72 like "H", F1 59 like ";": typing a name must not fire them.
  int fired = 0;
  for (uint8_t k : {59, 72, 82, 90})
    t().VYTVORTXTTLAC("X", [&] { ++fired; }, 10 + k, 100, k);
  hb().move_mouse(600, 450);
  for (uint8_t k : {';', 'H', 'R', 'Z'}) {
    hb().key(k);
    poll();
    EXPECT_EQ(t().ZISKKLAV(), k);
  }
  EXPECT_EQ(fired, 0);
  hb().extended_key(82);
  poll();
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(t().JEKLAV());
  // Characters outside that range still fire the buttons that carry them.
  t().VYTVORTXTTLAC("v", [&] { ++fired; }, 300, 300, 'v');
  hb().key('v');
  poll();
  EXPECT_EQ(fired, 2);
}

TEST_F(ButtonTest, AKeyFiresOneButtonEvenWhenTheActionBuildsTheNext) {
  int first = 0, second = 0;
  t().VYTVORTXTTLAC("A", [&] {
    ++first;
    t().ZRUSTLACITKA();
    t().VYTVORTXTTLAC("B", [&] { ++second; }, 10, 10, 13);
    t().VYTVORTXTTLAC("C", [&] { ++second; }, 90, 10, 13);
  }, 100, 100, 13);
  hb().key(13);
  poll();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
  EXPECT_FALSE(t().JEKLAV());
}

TEST_F(ButtonTest, ClickNeedsHoverPressReleaseOnePollEach) {
  int fired = 0;
  int32_t h = t().VYTVORTXTTLAC("OK", [&] { ++fired; }, 100, 100, 0);
  ASSERT_EQ(h & 0xFFFF, 0);
  const TTLAC& b = t().TLACITKO[h >> 16];
  EXPECT_EQ(b.STAV, 255);
  hb().move_mouse(110, 110);
  poll();
  EXPECT_EQ(b.STAV, 0);  // the first poll only draws it
  EXPECT_EQ(px(99, 99), t().BARVYT[0]);
  hb().set_buttons(1);
  poll();
  EXPECT_EQ(b.STAV, 1);  // hover, even with the button already down
  EXPECT_EQ(t().AKTTLAC, h >> 16);
  EXPECT_EQ(px(99, 99), t().BARVYT[1]);
  poll();
  EXPECT_EQ(b.STAV, 2);
  EXPECT_EQ(px(164, 132), t().BARVYT[2]);
  EXPECT_EQ(fired, 0);
  hb().set_buttons(0);
  poll();
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(b.STAV, 1);
  poll(3);
  EXPECT_EQ(fired, 1);
}

TEST_F(ButtonTest, PressInsideMoveOutReleaseDoesNotFire) {
  int fired = 0;
  t().VYTVORTXTTLAC("OK", [&] { ++fired; }, 100, 100, 0);
  hb().move_mouse(110, 110);
  poll(2);
  hb().set_buttons(1);
  poll(2);
  hb().move_mouse(300, 300);
  poll();
  EXPECT_EQ(t().AKTTLAC, kNoButton);
  hb().set_buttons(0);
  poll(3);
  hb().move_mouse(110, 110);
  poll(3);
  EXPECT_EQ(fired, 0);
}

TEST_F(ButtonTest, OnlyOneButtonChangesPerPoll) {
  t().VYTVORTXTTLAC("A", nullptr, 10, 10, 0);
  t().VYTVORTXTTLAC("B", nullptr, 100, 10, 0);
  t().VYTVORTXTTLAC("C", nullptr, 200, 10, 0);
  long before = graph.presents();
  poll();
  EXPECT_EQ(t().TLACITKO[0].STAV, 0);
  EXPECT_EQ(t().TLACITKO[1].STAV, 255);
  poll();
  EXPECT_EQ(t().TLACITKO[1].STAV, 0);
  EXPECT_EQ(t().TLACITKO[2].STAV, 255);
  EXPECT_EQ(graph.presents(), before + 2);  // each change is shown at once
  poll(2);
  EXPECT_EQ(graph.presents(), before + 3);  // an idle poll shows nothing
}

TEST_F(ButtonTest, QueueHolds255KeysThenReportsError60) {
  for (int i = 0; i < 255; ++i) {
    hb().key(static_cast<uint8_t>('a' + i % 26));
    poll();
  }
  EXPECT_EQ(tk.texty.POSLEDNICHYBA(), 0);
  hb().key('!');
  poll();
  EXPECT_EQ(tk.texty.POSLEDNICHYBA(), kQueueFull);
  EXPECT_EQ(t().ZISKKLAV(), 'a');
  int n = 1;
  while (t().ZISKKLAV() != 0) ++n;
  EXPECT_EQ(n, 255);
  // The indexes wrap: the queue keeps working after going round.
  for (int round = 0; round < 600; ++round) {
    ASSERT_TRUE(t().PRIDEJKLAV(static_cast<uint8_t>(round % 250 + 1)));
    ASSERT_EQ(t().ZISKKLAV(), round % 250 + 1);
  }
  t().PRIDEJKLAV(5);
  t().VYMAZFRONTU();
  EXPECT_FALSE(t().JEKLAV());
}

TEST_F(ButtonTest, PictureButtonsOwnTheirSlots) {
  std::string pic = picture("ok.bmp", 80, 40, 0xE0);
  EXPECT_EQ(images.OBRAZKY[kLoadSlot].VEL, 640 * 480 * 4);
  int32_t h = t().VYTVORTLAC(pic, nullptr, 200, 200, 50, 20, 0);
  ASSERT_EQ(h & 0xFFFF, 0) << "loader code " << (h & 0xFFFF);
  const TTLAC& b = t().TLACITKO[h >> 16];
  EXPECT_TRUE(b.GRAFICKE);
  EXPECT_FALSE(b.INTERNI);
  const images::TOBRAZEK& slot = images.OBRAZKY[b.OBRAZEK];
  EXPECT_EQ(slot.VELX, 50);  // reduced into the button's size
  EXPECT_EQ(slot.VELY, 20);
  poll();
  EXPECT_EQ(px(210, 210), 0xE0);
  EXPECT_EQ(px(199, 199), t().BARVYT[0]);
  EXPECT_EQ(px(250, 220), t().BARVYT[0]);  // frame one pixel outside the 50 × 20 area

  uint16_t used = b.OBRAZEK;
  EXPECT_NE(t().NAJDIOBR(), used);
  t().ZRUSTLAC(h >> 16);
  EXPECT_EQ(images.OBRAZKY[used].VEL, 0);
  EXPECT_EQ(t().NAJDIOBR(), used);  // freed slots are found again

  // A smaller picture is not enlarged.
  std::string small = picture("small.bmp", 20, 10, 0x1C);
  h = t().VYTVORTLAC(small, nullptr, 0, 0, 50, 20, 0);
  ASSERT_EQ(h & 0xFFFF, 0);
  EXPECT_EQ(t().width(h >> 16), 20);
  EXPECT_EQ(t().height(h >> 16), 10);
}

TEST_F(ButtonTest, PictureButtonErrors) {
  EXPECT_EQ(t().VYTVORTLAC("x.bmp", nullptr, 0, 0, 0, 20, 0), kBadSize);
  EXPECT_EQ(t().VYTVORTLAC("x.bmp", nullptr, 0, 0, 50, -1, 0), kBadSize);
  EXPECT_EQ(t().VYTVORTLAC("#3", nullptr, 0, 0, 50, 20, 0), kBadSlotRef);  // not loaded
  EXPECT_EQ(t().VYTVORTLAC("#a", nullptr, 0, 0, 50, 20, 0), kBadSlotRef);
  EXPECT_EQ(t().VYTVORTLAC("#12", nullptr, 0, 0, 50, 20, 0), kBadSlotRef);
  int32_t missing = t().VYTVORTLAC((dir / "none.bmp"), nullptr, 0, 0, 50, 20, 0);
  EXPECT_NE(missing & 0xFFFF, 0);
  EXPECT_EQ(t().AKTIVNICHTLAC, 0);

  // A borrowed slot stays with its owner when the button goes.
  images.ZALOZOBRAZEK(3, 10, 10, 1);
  int32_t h = t().VYTVORTLAC("#3", nullptr, 0, 0, 50, 20, 0);
  ASSERT_EQ(h & 0xFFFF, 0);
  EXPECT_TRUE(t().TLACITKO[h >> 16].INTERNI);
  t().ZRUSTLACITKA();
  EXPECT_GT(images.OBRAZKY[3].VEL, 0);

  // 63 entries are handed out, never the 64th.
  for (int i = 0; i < kUsableButtons; ++i)
    ASSERT_EQ(t().VYTVORTXTTLAC("b", nullptr, 0, 0, 0) >> 16, i);
  EXPECT_EQ(t().VYTVORTXTTLAC("b", nullptr, 0, 0, 0), kNoFreeButton);
  EXPECT_EQ(t().VYTVORTLAC("#3", nullptr, 0, 0, 50, 20, 0), kNoFreeButton);
}

TEST_F(ButtonTest, NoFreeSlotRefusesAPictureButton) {
  for (uint16_t s = 0; s < 63; ++s) images.ZALOZOBRAZEK(s, 1, 1, 1);
  EXPECT_EQ(t().VYTVORTLAC("#1", nullptr, 0, 0, 50, 20, 0), kNoFreeSlot);
}

TEST_F(ButtonTest, AnActionMayRemoveItsOwnButton) {
  int fired = 0;
  int32_t h = 0;
  h = t().VYTVORTXTTLAC("X", [&] {
    ++fired;
    t().ZRUSTLAC(h >> 16);
  }, 100, 100, 'q');
  hb().key('q');
  poll();
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(t().AKTIVNICHTLAC, 0);
  h = t().VYTVORTXTTLAC("X", [&] {
    ++fired;
    t().ZRUSTLAC(h >> 16);
  }, 100, 100, 0);
  settle();
  click(110, 110);
  EXPECT_EQ(fired, 2);
  EXPECT_EQ(t().AKTIVNICHTLAC, 0);
}

TEST_F(ButtonTest, PollKeepsTheCallersViewportAndColour) {
  graph.SETVIEWPORT(10, 10, 100, 100, true);
  graph.SETCOLOR(77);
  t().VYTVORTXTTLAC("OK", nullptr, 200, 200, 0);
  poll();
  EXPECT_EQ(px(199, 199), t().BARVYT[0]);  // drawn on the full screen
  EXPECT_EQ(graph.GETVIEWSETTINGS().x1, 10);
  EXPECT_TRUE(graph.GETVIEWSETTINGS().clip);
  EXPECT_EQ(graph.GETCOLOR(), 77);
}

TEST_F(ButtonTest, CloseRequestFreesEverythingAndExitsWithZero) {
  images.ZALOZOBRAZEK(5, 10, 10, 1);
  t().VYTVORTXTTLAC("OK", nullptr, 100, 100, 0);
  tk.okna.VYTVOROKNO(10, 10, 100, 100, false, "", "");
  t().KONEC();
  EXPECT_EQ(exit_code, -1);  // nobody asked to close yet
  hb().request_close();
  poll(2);  // the request comes with one poll's input and is acted on at the next
  EXPECT_EQ(exit_code, 0);
  EXPECT_EQ(t().AKTIVNICHTLAC, 0);
  EXPECT_EQ(images.OBRAZKY[5].VEL, 0);
  EXPECT_EQ(images.OBRAZKY[kLoadSlot].VEL, 0);
  EXPECT_FALSE(tk.okna.is_open(0));
  EXPECT_TRUE(t().ended());
}

// Captions of text buttons: one size for short and long ones alike, and a caption too long
// for the box abbreviated inside it rather than shrunk or spilled onto the next button.
TEST_F(ButtonTest, CaptionsShareOneSizeAndStayInTheirBox) {
  // The ink of a button's caption: its rows' extent and its columns' extent.
  auto ink = [&](int x) {
    int top = 480, bottom = -1, left = 640, right = -1;
    for (int y = 0; y < 480; ++y)
      for (int xx = x - 20; xx < x + 90; ++xx)
        if (graph.screen_pixel(xx, y) == 0 && y > 100 && y < 132 && xx > x && xx < x + 64) {
          top = std::min(top, y), bottom = std::max(bottom, y);
          left = std::min(left, xx), right = std::max(right, xx);
        }
    return std::array<int, 4>{top, bottom, left, right};
  };
  graph.SETFILLSTYLE(1, 7);
  graph.BAR(0, 0, 639, 479);
  t().VYTVORTXTTLAC("Dolu", [] {}, 100, 100, 0);
  t().VYTVORTXTTLAC("Nahoru", [] {}, 200, 100, 0);
  t().VYTVORTXTTLAC("Zakazka c. 12345", [] {}, 300, 100, 0);
  // "D", "N" and "Z" are capitals of the same height when the size is the same.
  EXPECT_EQ(ink(100)[0], ink(200)[0]);
  EXPECT_EQ(ink(100)[0], ink(300)[0]);
  // The long caption is cut, and its ink stays off the box's edges; nothing beyond the box.
  const auto long_one = ink(300);
  EXPECT_GT(long_one[2], 300);
  EXPECT_LT(long_one[3], 364);
  for (int y = 100; y <= 132; ++y)
    for (int x = 366; x < 420; ++x) ASSERT_EQ(graph.screen_pixel(x, y), 7) << x << "," << y;
}

TEST(Abbreviated, CutsFromTheEndWithAStop) {
  draw::Graph g(std::make_unique<draw::HeadlessBackend>());
  g.SETTEXTSTYLE(4, 0, 13);
  EXPECT_EQ(draw::abbreviated(g, "Alarm", 46), "Alarm");
  const std::string cut = draw::abbreviated(g, "Dochazka", 46);
  EXPECT_EQ(cut, "Dochaz.");
  EXPECT_LE(g.TEXTWIDTH(cut), 46);
  EXPECT_EQ(draw::abbreviated(g, "Dorucen.", 40).back(), '.');
  EXPECT_EQ(draw::abbreviated(g, "Zakazka", 1), "Z.");  // one letter always stays
  for (int w = 10; w < 60; ++w)  // never a stop after a space
    EXPECT_EQ(draw::abbreviated(g, "Nove zbozi", w).find(" ."), std::string::npos) << w;
}

}  // namespace
}  // namespace ksv::toolkit
