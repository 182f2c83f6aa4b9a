// The screen kit: windows held by a scope, picture buttons with their text fallback and shared
// pictures, the dialog loop with the modal state, the list guard around pickers, and widgets
// that leave the caller's drawing state as they found it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "toolkit/kit/kit.h"
#include "toolkit/tests/fixture.h"

namespace ksv::toolkit {
namespace {

using testing::ToolkitTest;

struct KitTest : ToolkitTest {
  KitTest() {
    dir.write_file("texty.dat", "[okno]\nOkno\n[obsah]\nText\n");
    mkdir((dir / "guidata").c_str(), 0755);
  }
  // Index of the button whose top-left corner is (x, y); -1 when there is none.
  int button_at(int x, int y) const {
    for (int i = 0; i < kButtonCount; ++i) {
      const TTLAC& b = tk.tlacitka.TLACITKO[i];
      if (b.OBRAZEK != kFreeButton && b.X == x && b.Y == y) return i;
    }
    return -1;
  }
  int used_slots() const {
    int n = 0;
    for (const auto& o : images.OBRAZKY) n += o.VEL != 0;
    return n;
  }
};

// ---------------------------------------------------------------- windows

TEST_F(KitTest, WindowClosesWithItsScopeAndGivesThePixelsBack) {
  const auto before = screen();
  {
    Window w(tk, 100, 100, 200, 100, true, "okno", "obsah");
    ASSERT_TRUE(w);
    EXPECT_EQ(w.index(), 0);
    EXPECT_EQ(w.x(), 100);
    EXPECT_NE(screen(), before);
  }
  EXPECT_FALSE(tk.okna.is_open(0));
  EXPECT_EQ(screen(), before);
}

TEST_F(KitTest, WindowClosedBehindItsBackIsNotClosedAgain) {
  Window w(tk, 10, 10, 100, 100, false, "okno");
  ASSERT_TRUE(w);
  // A handler builds the next screen: everything goes, and a new window takes the same entry.
  tk.okna.SMAZOKNA();
  ASSERT_EQ(tk.okna.VYTVOROKNO(300, 300, 100, 100, false, "okno", ""), 0);
  EXPECT_FALSE(w.is_open());
  EXPECT_EQ(w.x(), 0);
  w.close();
  EXPECT_TRUE(tk.okna.is_open(0));  // the new screen's window stays
}

TEST_F(KitTest, ReleasedWindowOutlivesItsScopeAndAFullTableGivesNone) {
  int kept;
  {
    Window w(tk, 10, 10, 100, 100, false, "okno");
    kept = w.release();
  }
  EXPECT_EQ(kept, 0);
  EXPECT_TRUE(tk.okna.is_open(0));
  for (int i = 1; i < kWindowCount; ++i) tk.okna.VYTVOROKNO(10, 10, 50, 50, false, "", "");
  Window none(tk, -1, -1, 100, 100, true, "okno");
  EXPECT_FALSE(none);
  EXPECT_EQ(none.index(), -1);
}

// ---------------------------------------------------------------- picture buttons

TEST_F(KitTest, PictureButtonShowsThePictureFromGuidata) {
  picture("guidata/budiz.bmp", 50, 20, 0xE0);
  Window w(tk, 100, 100, 300, 100, false, "okno");
  EXPECT_EQ(picture_button(tk, w.index(), "budiz.bmp", [] {}, 10, 30, 13), 0);
  const int b = button_at(110, 130);
  ASSERT_GE(b, 0);
  EXPECT_TRUE(tk.tlacitka.TLACITKO[b].GRAFICKE);
  settle();
  EXPECT_EQ(px(120, 140), 0xE0);
}

TEST_F(KitTest, MissingPictureGivesATextButtonCentredOnItsPlace) {
  Window w(tk, 100, 100, 300, 200, false, "okno");
  int fired = 0;
  // 100 x 60 at (120, 140): centre (170, 170), so the 64 x 32 box starts at (138, 154).
  EXPECT_EQ(picture_button(tk, w.index(), "chybi.bmp", [&] { ++fired; }, 20, 40, 'a', 100, 60,
                           "Svetly"),
            0);
  const int b = button_at(138, 154);
  ASSERT_GE(b, 0);
  EXPECT_FALSE(tk.tlacitka.TLACITKO[b].GRAFICKE);
  EXPECT_EQ(tk.okna.OKNO[w.index()].TLAC[0], b);  // it goes with the window
  hb().key('a');
  poll();
  EXPECT_EQ(fired, 1);  // the same hot key
  // From the right edge: a 50 x 20 picture at -10 would end at 100 + 300 - 10 - 1.
  EXPECT_EQ(picture_button(tk, w.index(), "guidata\\zrusit.bmp", [] {}, -10, 30, 27), 0);
  const int z = button_at(100 + 300 - 10 - 51 + 25 - 32, 100 + 30 + 10 - 16);
  ASSERT_GE(z, 0);
  w.close();
  EXPECT_EQ(tk.tlacitka.AKTIVNICHTLAC, 0);
}

TEST_F(KitTest, FallbackCaptionIsThePictureNameAndStaysOnTheScreen) {
  EXPECT_EQ(picture_caption("guidata\\odhlasit.bmp"), "odhlasit");
  EXPECT_EQ(picture_caption("konec.bmp"), "konec");
  // A screen button at the bottom edge: its text box is lifted to stay whole on the screen.
  EXPECT_EQ(picture_button(tk, -1, "konec.bmp", [] {}, 5, 456, 11), 0);
  const int b = button_at(0, draw::kScreenH - 1 - kTextButtonH);
  ASSERT_GE(b, 0);
}

TEST_F(KitTest, NoFallbackWhereNoButtonCanGo) {
  EXPECT_EQ(picture_button(tk, 2, "budiz.bmp", [] {}, 10, 10, 13), kWindowNotOpen);
  Window w(tk, 0, 0, 640, 480, false, "okno");
  for (int i = 0; i < kWindowButtons; ++i)
    ASSERT_EQ(tk.okna.PRIPRAVTLACPROOKNO(w.index(), "&B", [] {}, 10, 10, 0, 0, 0), 0);
  EXPECT_EQ(picture_button(tk, w.index(), "chybi.bmp", [] {}, 10, 50, 13), kWindowFull);
  EXPECT_EQ(tk.tlacitka.AKTIVNICHTLAC, kWindowButtons);
}

TEST_F(KitTest, RepeatedButtonsShareOnePictureSlot) {
  picture("guidata/budiz.bmp", 50, 20, 0x1C);
  const int base = used_slots();  // slot 63, the loading area
  std::vector<int> made;
  for (int i = 0; i < 40; ++i) {
    const int32_t r = tk.tlacitka.VYTVORTLAC(dir / "guidata/budiz.bmp", [] {}, 10, 10 * i, 50,
                                             20, 0);
    ASSERT_EQ(r & 0xFFFF, 0) << "button " << i;
    made.push_back(r >> 16);
  }
  EXPECT_EQ(used_slots(), base + 1);
  const uint16_t slot = tk.tlacitka.TLACITKO[made[0]].OBRAZEK;
  EXPECT_EQ(tk.tlacitka.TLACITKO[made[39]].OBRAZEK, slot);
  // Another size is another picture.
  ASSERT_EQ(tk.tlacitka.VYTVORTLAC(dir / "guidata/budiz.bmp", [] {}, 100, 0, 22, 20, 0) & 0xFFFF, 0);
  EXPECT_EQ(used_slots(), base + 2);
  // The shared slot stays while any of its buttons does, and goes with the last.
  tk.tlacitka.ZRUSTLAC(made[0]);
  EXPECT_NE(images.OBRAZKY[slot].VEL, 0);
  for (size_t i = 1; i < made.size(); ++i) tk.tlacitka.ZRUSTLAC(made[i]);
  EXPECT_EQ(images.OBRAZKY[slot].VEL, 0);
  EXPECT_EQ(used_slots(), base + 1);
}

// ---------------------------------------------------------------- dialogs and modal state

enum class Dlg { kNone, kConfirm, kHelp };

TEST_F(KitTest, DialogSilencesTheScreenAndEndsWhenAnswered) {
  int screen_presses = 0, setups = 0;
  tk.tlacitka.VYTVORTXTTLAC("Scr", [&] { ++screen_presses; }, 10, 10, 13);
  settle();
  hb().key('x');
  poll();  // typed before the dialog: must not reach it
  ModalState<Dlg> modal;
  bool answered = false;
  int passes = 0;
  Dlg seen = Dlg::kNone;
  std::string seen_key;
  const bool ran = run_dialog(
      tk, modal, Dlg::kConfirm, "potvrdit", {130, 60, "okno"},
      [&](Window& w) {
        ++setups;
        tk.okna.PRIPRAVTLACPROOKNO(w.index(), "&OK", [&] { answered = true; }, 10, 20, 0, 0, 13);
      },
      [&] { return answered; },
      [&] {
        if (++passes == 80) hb().key(13);  // Enter, once the dialog's button is drawn
        seen = modal.kind;
        seen_key = modal.key;
        EXPECT_FALSE(tk.tlacitka.JEKLAV());
        poll();
        if (passes > 1000) answered = true;
      });
  EXPECT_TRUE(ran);
  EXPECT_EQ(setups, 1);
  EXPECT_LT(passes, 1000);
  EXPECT_EQ(screen_presses, 0);  // Enter went to the dialog, not to the screen below
  EXPECT_EQ(seen, Dlg::kConfirm);
  EXPECT_EQ(seen_key, "potvrdit");
  EXPECT_FALSE(modal.open());  // and the state is back to none
  EXPECT_EQ(modal.kind, Dlg::kNone);
  EXPECT_FALSE(tk.okna.is_open(0));
  hb().key(13);
  poll();
  EXPECT_EQ(screen_presses, 1);  // the screen's button wakes again
}

TEST_F(KitTest, NestedModalScopesPutTheOuterDialogBack) {
  ModalState<Dlg> modal;
  {
    ModalScope<Dlg> help(modal, Dlg::kHelp, "help7");
    {
      ModalScope<Dlg> confirm(modal, Dlg::kConfirm, "potvrdit");
      EXPECT_EQ(modal.depth, 2);
    }
    EXPECT_EQ(modal.kind, Dlg::kHelp);
    EXPECT_EQ(modal.key, "help7");
  }
  EXPECT_EQ(modal.depth, 0);
  EXPECT_TRUE(modal.key.empty());
}

TEST_F(KitTest, DialogEndsWhenItsWindowIsClosedUnderItOrNoneIsFree) {
  int passes = 0;
  EXPECT_TRUE(run_dialog(
      tk, {100, 60, ""}, nullptr, [] { return false; },
      [&] {
        if (++passes == 3) tk.okna.SMAZOKNA();  // a handler built another screen
      }));
  EXPECT_EQ(passes, 3);
  for (int i = 0; i < kWindowCount; ++i) tk.okna.VYTVOROKNO(0, 0, 10, 10, false, "", "");
  bool setup_ran = false;
  EXPECT_FALSE(run_dialog(
      tk, {100, 60, ""}, [&](Window&) { setup_ran = true; },
      [] { return false; }, [] {}));
  EXPECT_FALSE(setup_ran);
}

// ---------------------------------------------------------------- list guard

TEST_F(KitTest, ListGuardPutsTheScreensListBackAfterAPicker) {
  Seznam& l = tk.seznam;
  for (int i = 0; i < 30; ++i) l.PRIDEJPRVEK("Z" + INT2STR(i), std::string("x\0", 2), false);
  l.PRVNIVYPISSEZ(20, 30, 300, 200, 10, 2);
  l.SEZNAMKONEC();
  const uint16_t page = l.AKTSTRANKA, row = l.AKTPRVEK;
  {
    ListGuard guard(l);
    l.SMAZSEZNAM();
    l.PRIDEJPRVEK("admin", "", false);
    l.PRVNIVYPISSEZ(200, 100, 150, 100, 5, 0);
    EXPECT_EQ(l.PRVKU(), 1);
  }
  ASSERT_EQ(l.PRVKU(), 30);
  EXPECT_EQ(l.SEZNAM[29].NAZEV, "Z29");
  EXPECT_EQ(l.AKTSTRANKA, page);
  EXPECT_EQ(l.AKTPRVEK, row);
  EXPECT_EQ(l.VELSTRANKY, 10);
  EXPECT_EQ(l.AKTMODSEZNAMU, 2);
  EXPECT_EQ(l.SEZX, 20);
  EXPECT_EQ(l.VELSEZX, 300);
}

// ---------------------------------------------------------------- drawing state

TEST_F(KitTest, WidgetsLeaveTheCallersDrawingStateAsTheyFoundIt) {
  graph.SETVIEWPORT(50, 50, 400, 300, true);
  graph.SETCOLOR(7);
  graph.SETFILLSTYLE(1, 9);
  graph.SETTEXTSTYLE(3, 0, 12);
  graph.SETTEXTJUSTIFY(2, 2);
  graph.SETWRITEMODE(1);
  const draw::Graph::Style style = graph.style();
  auto unchanged = [&](const char* what) {
    const draw::Graph::Style now = graph.style();
    EXPECT_EQ(now.color, style.color) << what;
    EXPECT_EQ(now.fill, style.fill) << what;
    EXPECT_EQ(now.write_mode, style.write_mode) << what;
    EXPECT_EQ(now.font, style.font) << what;
    EXPECT_EQ(now.size, style.size) << what;
    EXPECT_EQ(now.justify_h, style.justify_h) << what;
    const draw::ViewPortType v = graph.GETVIEWSETTINGS();
    EXPECT_EQ(v.x1, 50) << what;
    EXPECT_EQ(v.y2, 300) << what;
    EXPECT_TRUE(v.clip) << what;
  };
  tk.okna.VYPISUDAJ(10, 10, 255, 0, 8, "hodnota");
  unchanged("value field");
  tk.seznam.PRIDEJPRVEK("A", "", false);
  tk.seznam.PRVNIVYPISSEZ(10, 10, 200, 100, 5, 1);
  unchanged("list");
  tk.tlacitka.VYTVORTXTTLAC("T", [] {}, 10, 10, 0);
  poll(3);
  unchanged("button poll");
  tk.okna.VYTVOROKNO(10, 10, 100, 100, false, "okno", "obsah");
  tk.okna.SMAZOKNO(0);
  unchanged("plain window");
}

}  // namespace
}  // namespace ksv::toolkit
