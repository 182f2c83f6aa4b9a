// The frame without a server: start-up, the menu entries each rights combination shows, help
// pages, the error dialog's code set, the clock and the stand-in for screens still to come.
#include "client/tests/fixture.h"
#include "protocol/rights.h"

namespace ksv::client::testing {
namespace {

std::vector<std::string> menu_for(Frame& f, Workspace& ws, const std::string& name,
                                  std::initializer_list<int> rights) {
  f.info().JMENO = name;
  f.info().MOJEPRAVA = 0;
  for (int b : rights) NASTAVBIT(f.info().MOJEPRAVA, b);
  build_menu(f, ws);
  return f.menu_entries;
}

using Entries = std::vector<std::string>;

// The menu top to bottom; help sits at the bottom edge, restart above it.
TEST_F(ClientTest, MenuShowsEntriesByRights) {
  open_client();
  Workspace& ws = app->workspace;
  const Entries none = {"uzivatel.bmp", "cas.bmp", "pomoc.bmp"};
  EXPECT_EQ(menu_for(f(), ws, "novak", {}), none);
  EXPECT_EQ(menu_for(f(), ws, "novak", {6, 8, 54}),
            (Entries{"uzivatel.bmp", "dochazka.bmp", "vyroba.bmp", "zpravy.bmp", "cas.bmp",
                     "pomoc.bmp"}));
  // Production alone needs bit 8; the orders browser needs 58 as well.
  EXPECT_EQ(menu_for(f(), ws, "novak", {58}), none);
  EXPECT_EQ(menu_for(f(), ws, "novak", {8, 58}),
            (Entries{"uzivatel.bmp", "zakazky.bmp", "vyroba.bmp", "cas.bmp", "pomoc.bmp"}));
  // The calculation needs 9 and 58 together.
  EXPECT_EQ(menu_for(f(), ws, "novak", {9}), none);
  EXPECT_EQ(menu_for(f(), ws, "novak", {9, 58}),
            (Entries{"uzivatel.bmp", "cas.bmp", "kalkulace.bmp", "pomoc.bmp"}));
  // Every right: every screen entry of the table, and still no restart for a plain user.
  std::initializer_list<int> all = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                    13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                                    26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38,
                                    39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51,
                                    52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
  EXPECT_EQ(menu_for(f(), ws, "novak", all),
            (Entries{"uzivatel.bmp", "dochazka.bmp", "alarm.bmp", "kamery.bmp", "zakazky.bmp",
                     "vyroba.bmp", "zpravy.bmp", "cas.bmp", "kalkulace.bmp", "pomoc.bmp"}));
  // Each entry is a real button, centred in the menu window (5 + 70 / 2 - 50 / 2).
  int buttons = 0;
  for (const auto& b : app->tk.tlacitka.TLACITKO)
    if (b.OBRAZEK != toolkit::kFreeButton && b.X == 15) ++buttons;
  EXPECT_EQ(buttons, 10);
}

TEST_F(ClientTest, RestartOnlyForTheNameAdminExactly) {
  open_client();
  Entries admin = menu_for(f(), app->workspace, "admin", {});
  EXPECT_EQ(admin, (Entries{"uzivatel.bmp", "cas.bmp", "restart.bmp", "pomoc.bmp"}));
  for (const char* other : {"Admin", "admin ", "administrator"}) {
    Entries e = menu_for(f(), app->workspace, other, {});
    EXPECT_EQ(std::count(e.begin(), e.end(), "restart.bmp"), 0) << other;
  }
}

TEST_F(ClientTest, HelpFollowsTheMarkerToItsSecondPage) {
  open_client();
  f().AKTUALNIOBRAZOVKA = kScreenMenu;
  when_modal(Modal::kHelp, [this] { key(13); });
  when([this] { return f().modal.kind == Modal::kHelp && f().modal.key == "help2b" && settled(); },
       [this] { key(13); });
  f().help();
  EXPECT_EQ(seen, (Entries{"help2", "help2b"}));
  EXPECT_EQ(f().VYSLEDEKDIALOGU, kDialogNone);

  seen.clear();
  last_key.clear();
  f().AKTUALNIOBRAZOVKA = kScreenConnect;
  when_modal(Modal::kHelp, [this] { key(13); });
  f().help();
  EXPECT_EQ(seen, (Entries{"help0"}));  // no marker, so confirming closes help
  EXPECT_FALSE(timed_out);
}

TEST_F(ClientTest, HelpWindowFitsItsText) {
  open_client();
  // A page of one short line still gets the minimum width; a missing page an empty window.
  dir.write_file("client/dbtexty.dat", "[help7]\nab\n[napoveda]\nNapoveda\n");
  f().AKTUALNIOBRAZOVKA = 7;
  int width = 0, height = 0;
  when_modal(Modal::kHelp, [&, this] {
    for (const auto& o : app->tk.okna.OKNO)
      if (o.VX) width = o.VX, height = o.VY;
    key(13);
  });
  f().help();
  EXPECT_EQ(width, 100);
  EXPECT_EQ(height, 17 + 15 + 55);
}

TEST_F(ClientTest, ErrorDialogOnlyForCodesOfTheErrorSet) {
  open_client();
  when_modal(Modal::kError, [this] { key(13); });
  info().POSLAKCE = 231;
  f().HLASENICHYBY();
  EXPECT_EQ(seen, (Entries{"error231"}));
  EXPECT_FALSE(f().DIALOGOTEVREN);
  for (const auto& o : app->tk.okna.OKNO) EXPECT_EQ(o.VX, 0);
  EXPECT_EQ(f().POZADOVANAOBRAZOVKA, kScreenConnect);

  // A failed command whose code is outside the set shows nothing and costs no step.
  for (int32_t code : {230, 245, 197, 252, 139, 131}) {
    const long before = steps;
    info().POSLAKCE = code;
    f().HLASENICHYBY();
    EXPECT_EQ(steps, before) << code;
  }
  for (int32_t code : {132, 138, 195, 196, 210, 211, 231, 242, 253, 254, 255})
    EXPECT_TRUE(in_error_set(code)) << code;
}

TEST_F(ClientTest, ErrorDialogStopsARunningTransfer) {
  open_client();
  ASSERT_EQ(app->client.ZACNIPRIJIMAT(f().temp_path("part")), 0);
  ASSERT_TRUE(app->client.transfer_active());
  when_modal(Modal::kError, [this] { key(13); });
  info().POSLAKCE = 254;
  f().HLASENICHYBY();
  EXPECT_FALSE(app->client.transfer_active());
  EXPECT_EQ(info().DATSOUB, nullptr);
}

TEST_F(ClientTest, ClockRedrawsWhenTheMinuteChanges) {
  open_client();
  auto clock_pixels = [this] {
    std::vector<uint8_t> v;
    for (int y = 457; y < 474; ++y)
      for (int x = 500; x < 632; ++x) v.push_back(app->graph.screen_pixel(x, y));
    return v;
  };
  f().event_step();
  const auto at_ten = clock_pixels();
  EXPECT_EQ(f().shown_hour, 10);
  clock.advance(59);
  f().event_step();
  EXPECT_EQ(clock_pixels(), at_ten);
  clock.advance(1);
  f().event_step();
  EXPECT_EQ(f().shown_minute, 1);
  EXPECT_NE(clock_pixels(), at_ten);
}

TEST_F(ClientTest, StartupEmptiesTempButKeepsTheMessages) {
  ::mkdir((cdir + "temp").c_str(), 0755);
  dir.write_file("client/temp/sezn3", "old list\n");
  dir.write_file("client/temp/zpravy.txt", "novak:admin:ahoj\n");
  open_client();
  EXPECT_FALSE(dir.exists("client/temp/sezn3"));
  EXPECT_EQ(dir.read_file("client/temp/zpravy.txt"), "novak:admin:ahoj\n");
  // The three preview slots are ready for the screens that draw into them.
  for (int i = 0; i < kPreviewSlots; ++i) {
    EXPECT_EQ(app->images.OBRAZKY[i].VELX, kPreviewSize[i][0]);
    EXPECT_EQ(app->images.OBRAZKY[i].VELY, kPreviewSize[i][1]);
  }
  EXPECT_EQ(app->tk.texty.SOUBTEXTU, cdir + "dbtexty.dat");
  // The machine's clock is left alone unless a local setting asks otherwise.
  EXPECT_FALSE(app->client.clock_setter);
  EXPECT_EQ(hb().title(), "KSV - databaze vysivani");
  EXPECT_EQ(f().POZADOVANAOBRAZOVKA, kScreenConnect);
  EXPECT_EQ(f().AKTUALNIOBRAZOVKA, kNoScreen);
}

TEST(ScreenTable, EveryScreenHasItsBuilder) {
  // A row without one would greet its users with the "being built" notice instead of the work.
  for (const ScreenRow& r : screen_table()) EXPECT_TRUE(r.build) << "screen " << r.number;
}

TEST_F(ClientTest, ConfirmationAnswersYesOrNo) {
  open_client();
  f().AKTUALNIOBRAZOVKA = f().POZADOVANAOBRAZOVKA = kScreenMenu;
  when_modal(Modal::kConfirm, [this] { key(13); });
  EXPECT_TRUE(f().POTVRZENI());
  when_modal(Modal::kConfirm, [this] { key(27); });
  EXPECT_FALSE(f().POTVRZENI());
  EXPECT_FALSE(f().DIALOGOTEVREN);
}

TEST_F(ClientTest, InputDialogGivesTextOrNumber) {
  open_client();
  f().AKTUALNIOBRAZOVKA = f().POZADOVANAOBRAZOVKA = kScreenMenu;
  when_modal(Modal::kInput, [this] {
    type("2026");
    key(13);
  });
  InputResult n = f().VSTUPNIDIALOG("rok", 4);
  EXPECT_TRUE(n.confirmed);
  EXPECT_EQ(n.number, 2026);
  EXPECT_EQ(n.text, "2026");
  when_modal(Modal::kInput, [this] {
    type("dilna");
    key(13);
  });
  InputResult t = f().VSTUPNIDIALOG("jmsoub", 12);
  EXPECT_EQ(t.text, "dilna");
  EXPECT_EQ(t.number, 0);
  when_modal(Modal::kInput, [this] {
    type("x");
    key(27);
  });
  EXPECT_FALSE(f().VSTUPNIDIALOG("email", 20).confirmed);
}

}  // namespace
}  // namespace ksv::client::testing
