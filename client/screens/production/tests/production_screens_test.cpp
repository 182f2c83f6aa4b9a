// The production screens against a real server, driven from the keyboard: what the list shows
// by default and after a search, recording pieces on a card and saving them on leaving, a card
// that cannot be opened, and the plan written, copied and shown.
#include <algorithm>
#include <filesystem>

#include "client/record_list.h"
#include "client/screens/production/production_rules.h"
#include "client/screens/programs/tests/dst_maker.h"
#include "client/screens/production/tests/production_fixture.h"
#include "protocol/record_file.h"
#include "protocol/records/catalogues.h"

namespace ksv::client::testing {
namespace {

constexpr std::initializer_list<int> kOperator = {0, 1, 8};
constexpr TDatum kToday{10, 3, 2026};

bool same_day(const TDatum& a, const TDatum& b) {
  return a.DEN == b.DEN && a.MES == b.MES && a.ROK == b.ROK;
}

TEST_F(ProductionTest, TheListIsTodaysAndOverdueWorkOfEveryoneAndTheSearchNarrowsIt) {
  start_production(rights(kOperator));
  TMaterial header{}, fleece{};
  header.ID = 2;
  fleece.ID = 1;
  fleece.NAZEV.assign("Flis");
  ASSERT_TRUE(write_records<TMaterial>(sdir + "material.dat", {header, fleece}));
  seed_due_order("A", kToday);
  seed_work("A", "A1", true, [&](TProgramZak& p) {
    p.MASIT = novak;
    p.MATERIAL = 1;
  });
  seed_work("A", "A2", false);                                           // not released
  seed_work("A", "A3", true, [](TProgramZak& p) { p.UZAVRENO = 1; });    // closed
  seed_work("A", "A4", true, [&](TProgramZak& p) { p.VYSITOKDY = kToday; p.MASIT = jana; });
  seed_due_order("B", {5, 3, 2026});                                     // overdue
  seed_work("B", "B1", true, [&](TProgramZak& p) { p.MASIT = jana; });
  seed_due_order("C", {20, 3, 2026});                                    // due later
  seed_work("C", "C1", true, [&](TProgramZak& p) { p.MASIT = novak; });
  seed_due_order("D", kToday, {}, true);                                 // order closed
  seed_work("D", "D1", true);
  to_production();

  std::vector<std::string> today, mine, mine_any_day;
  std::string first_line;
  when([this] { return list_ready(); }, [&] {
    today = names();
    first_line = app->tk.seznam.SEZNAM[0].SPEC;
    shot("production-list.png");
    key(8);  // Ctrl+H
  });
  when([this] { return on_screen(production::kScreenSearch); }, [&] {
    shot("production-search.png");
    key('o');  // only mine
    key(13);
  });
  when([this] { return list_ready() && f().requests_sent[63] == 2; }, [&] {
    mine = names();
    key(8);
  });
  when([this] { return on_screen(production::kScreenSearch); }, [&] {
    key('d');  // any day
    key(13);
  });
  when([this] { return list_ready() && f().requests_sent[63] == 3; }, [&] {
    mine_any_day = names();
    shot("production-mine.png");
    key(27);
  });
  ASSERT_TRUE(run_until([this] { return script_done() && on_screen(kScreenMenu); }));
  EXPECT_EQ(today, (std::vector<std::string>{"A1", "A4", "B1"}));
  EXPECT_EQ(entry_field(first_line, 0), "Zakaznik A");
  EXPECT_EQ(entry_field(first_line, 2), "Flis") << "named from the catalogue";
  EXPECT_EQ(entry_field(first_line, 3), "-");
  EXPECT_EQ(entry_field(first_line, 4), "novak") << "named by the server";
  EXPECT_EQ(mine, (std::vector<std::string>{"A1"}));
  EXPECT_EQ(mine_any_day, (std::vector<std::string>{"A1", "C1"}));
  EXPECT_FALSE(ws().JENDNES);
  EXPECT_FALSE(ws().VSECHNY);
}

TEST_F(ProductionTest, CancellingTheSearchKeepsTheListAsItWas) {
  start_production(rights(kOperator));
  seed_due_order("A", kToday);
  seed_work("A", "A1", true, [&](TProgramZak& p) { p.MASIT = jana; });
  to_production();
  when([this] { return list_ready(); }, [this] { key(8); });
  when([this] { return on_screen(production::kScreenSearch); }, [this] {
    key('o');
    key('d');
    key(27);
  });
  std::vector<std::string> shown;
  when([this] { return list_ready() && script.size() == 1; }, [&] { shown = names(); });
  ASSERT_TRUE(run_until([this] { return script_done(); }));
  EXPECT_EQ(shown, std::vector<std::string>{"A1"});
  EXPECT_TRUE(ws().JENDNES);
  EXPECT_TRUE(ws().VSECHNY);
  EXPECT_EQ(f().requests_sent[63], 1) << "nothing fetched anew";
}

class CardTest : public ProductionTest {
 protected:
  void seed_card() {
    TBarva thin{}, plain{};
    thin.KOD.assign("1001");
    thin.SLABA = 1;
    thin.PANTONE.assign("modra");
    plain.KOD.assign("1002");
    ASSERT_TRUE(write_records<TBarva>(sdir + "nite.dat", {thin, plain}));
    seed_due_order("A", kToday);
    seed_work("A", "P1", true, [&](TProgramZak& p) {
      p.KUSU = 20;
      p.KUSUSITI = 3;
      p.KUSUMAN = 4;
      p.MASIT = novak;
      p.STEHU = 5432;
      p.X = 355;
      p.Y = 200;
      p.BAREV = 2;
      p.BARVY[0].assign("1001");
      p.BARVY[1].assign("1002");
    });
  }
};

TEST_F(CardTest, PiecesRecordedOnTheCardReachTheServerWhenLeaving) {
  start_production(rights(kOperator));
  seed_card();
  to_production();
  when([this] { return list_ready(); }, [this] { key(13); });
  when([this] { return card_ready(); }, [this] {
    shot("production-card.png");
    key('v');
  });
  when_modal(Modal::kInput, [this] {
    type("-5");
    key(13);
  });
  when([this] { return card_ready() && ws().AKTPROGRAM.KUSUSITI == 0; }, [this] { key('m'); });
  when_modal(Modal::kInput, [this] {
    key(8);  // the 4 offered
    type("0");
    key(13);
  });
  when([this] { return card_ready() && ws().AKTPROGRAM.MANIPULACE == novak; }, [this] {
    shot("production-card-recorded.png");
    key(27);
  });
  when_modal(Modal::kConfirm, [this] { key(13); });
  ASSERT_TRUE(run_until([this] { return script_done() && list_ready(); }));

  const TProgramZak p = program("A", "P1");
  EXPECT_EQ(p.KUSUSITI, 0) << "3 - 5 stops at nothing";
  EXPECT_EQ(p.VYSIL, novak);
  EXPECT_TRUE(same_day(p.VYSITOKDY, kToday));
  EXPECT_EQ(p.KUSUMAN, 0) << "0 handled is a count too";
  EXPECT_EQ(p.MANIPULACE, novak);
  EXPECT_TRUE(same_day(p.MANIPUL, kToday));
  EXPECT_EQ(p.KUSU, 20);
  EXPECT_EQ(p.STEHU, 5432);
  EXPECT_EQ(f().requests_sent[41], 1);
  EXPECT_EQ(f().requests_sent[18], 1);
  EXPECT_TRUE(session().open_order.empty());
  EXPECT_TRUE(session().open_program.empty());
}

TEST_F(CardTest, DecliningTheSaveLeavesTheServersRecordAndStillReleasesTheOrder) {
  start_production(rights(kOperator));
  seed_card();
  to_production();
  when([this] { return list_ready(); }, [this] { key(13); });
  when([this] { return card_ready(); }, [this] { key('v'); });
  when_modal(Modal::kInput, [this] {
    type("2");
    key(13);
  });
  when([this] { return card_ready() && ws().AKTPROGRAM.KUSUSITI == 5; }, [this] { key(27); });
  when_modal(Modal::kConfirm, [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return script_done() && list_ready(); }));
  EXPECT_EQ(program("A", "P1").KUSUSITI, 3);
  EXPECT_EQ(program("A", "P1").VYSIL, -1);
  EXPECT_EQ(f().requests_sent[30], 0) << "nothing uploaded";
  EXPECT_TRUE(session().open_order.empty());
}

TEST_F(CardTest, LeavingAnUnchangedCardAsksNothing) {
  start_production(rights(kOperator));
  seed_card();
  to_production();
  when([this] { return list_ready(); }, [this] { key(13); });
  when([this] { return card_ready(); }, [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return script_done() && list_ready(); }));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "potvrdit"), 0);
  EXPECT_EQ(f().requests_sent[41], 1);
  EXPECT_EQ(f().requests_sent[18], 1);
}

TEST_F(CardTest, ACardWhoseProgramCannotBeOpenedClosesOnlyTheOrder) {
  start_production(rights(kOperator));
  seed_card();
  to_production();
  when([this] { return list_ready(); }, [this] {
    // Gone since the list was made: the server refuses to open it.
    std::filesystem::remove_all(sdir + "databaze/a/p1");
    key(13);
  });
  when_modal(Modal::kError, [this] { key(13); });
  ASSERT_TRUE(run_until([this] { return script_done() && on_screen(production::kScreenList); }));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "error254"), 1) << "one error, not two";
  EXPECT_EQ(f().requests_sent[40], 1);
  EXPECT_EQ(f().requests_sent[41], 0);
  EXPECT_EQ(f().requests_sent[18], 1);
  EXPECT_TRUE(session().open_order.empty());
}

TEST_F(CardTest, TheStitchFileComesWithItsOwnCardForThePreviewAndTheMachine) {
  ::mkdir((cdir + "machine").c_str(), 0755);
  open_client_hook = [this] { app->config.ADRESARSTROJE = cdir + "machine/"; };
  start_production(rights(kOperator));
  seed_card();
  seed_work("A", "P2", true);
  programs::testing::DesignBuilder d;
  d.to(300, 0).to(300, 200).change().to(0, 200);
  const std::string design = d.file("LOGO");
  dir.write_file("server/databaze/a/p1/prog.dst", design);
  to_production();
  int painted = 0;
  when([this] { return list_ready(); }, [this] { key(13); });
  when([this] { return card_ready(); }, [&] {
    shot("production-card-preview.png");
    const images::TOBRAZEK& slot = app->images.OBRAZKY[0];
    for (int y = 0; y < slot.VELY; ++y)
      for (int x = 0; x < slot.VELX; ++x)
        painted += slot.BUFFER[size_t(y) * size_t(slot.MAXX) + size_t(x)] != 0xFF;
    key('h');
  });
  // A copy ends with a word in the status line.
  auto said = [this] {
    return on_screen(production::kScreenCard) && f().status_text != f().text("wait") &&
           f().status_text != f().text("copyfile");
  };
  std::string first_said, second_said;
  when(said, [&] {
    first_said = f().status_text;
    key(27);
  });
  when([this] { return list_ready() && f().requests_sent[18] == 1; }, [this] {
    hb().extended_key(80);  // Down: P2, which has no stitch file
    key(13);
    card_visits = 2;
  });
  when([this] { return card_ready(); }, [this] { key('h'); });
  when(said, [&] {
    second_said = f().status_text;
    key(27);
  });
  ASSERT_TRUE(run_until([this] { return script_done() && list_ready(); }));
  EXPECT_EQ(app->tk.seznam.highlighted(), 1) << "back on the line of the last card";
  EXPECT_GT(painted, 50) << "the design is drawn";
  EXPECT_EQ(dir.read_file("client/machine/P1.dst"), design);
  // The first card's file stayed in temp/ no longer than its card: P2 copies nothing.
  EXPECT_FALSE(std::filesystem::exists(cdir + "machine/P2.dst"));
  EXPECT_EQ(first_said.rfind(f().text("zkopirovano").substr(0, 5), 0), 0u) << first_said;
  EXPECT_EQ(second_said, f().text("nicdst"));
}

class PlanTest : public ProductionTest {
 protected:
  void SetUp() override {
    ::mkdir((cdir + "out").c_str(), 0755);
    open_client_hook = [this] {
      app->config.POSLEDNIADRESAR = cdir + "out/";
      app->tk.opener.launcher = [this](const std::string& path) {
        opened = path;
        return opener_result;
      };
    };
  }
  bool in_browser() {
    const auto& l = app->tk.seznam.SEZNAM;
    return f().AKTUALNIOBRAZOVKA == production::kScreenPlan && settled() && !l.empty() &&
           l[0].NAZEV == ".";
  }
  std::string opened;
  toolkit::OpenResult opener_result = toolkit::OpenResult::kStarted;
};

TEST_F(PlanTest, ThePlanIsWrittenByDeadlineCopiedAfterAskingAndShown) {
  start_production(rights({0, 1, 8, 58}));
  TMaterial header{}, slow{};
  header.ID = 2;
  slow.ID = 1;
  slow.NAZEV.assign("Flis");
  slow.RYCHLOST = 400;
  ASSERT_TRUE(write_records<TMaterial>(sdir + "material.dat", {header, slow}));
  seed_due_order("X1", {}, {31, 12, 2025});
  seed_work("X1", "P1", false, [](TProgramZak& p) { p.STEHU = 6000; p.KUSU = 30; });
  seed_work("X1", "P2", true, [](TProgramZak& p) { p.STEHU = 4000; p.KUSU = 30; });
  seed_due_order("Y1", {}, {1, 1, 2026});
  seed_work("Y1", "P1", true, [](TProgramZak& p) { p.STEHU = 4800; p.KUSU = 10; p.MATERIAL = 1; });
  seed_due_order("BAD", {}, {40, 1, 2025});
  seed_work("BAD", "P1", false, [](TProgramZak& p) { p.KUSU = 1; });
  seed_due_order("EMPTY", {}, {5, 1, 2026});
  dir.write_file("client/out/vyroba.txt", "old plan\n");
  to_browser();

  std::vector<std::string> before;
  when([this] { return browser_ready(); }, [&] {
    before = names();
    key(16);  // Ctrl+P
  });
  when([this] { return in_browser(); }, [this] {
    shot("plan-folder.png");
    key(13);  // "." chooses the folder shown
  });
  when_modal(Modal::kConfirm, [this] { key(13); });
  ASSERT_TRUE(run_until([this] { return script_done() && browser_ready(); }));

  const std::string expected =
      "Plan vyroby podle terminu\n\n\n"
      "31.12.2025:\n"
      "       X1 (popis X1),        60 kusu (70 min.) - Zakaznik X1\n"
      "01.01.2026:\n"
      "       Y1 (popis Y1),        10 kusu (23 min.) - Zakaznik Y1\n"
      "05.01.2026:\n"
      "       EMPTY (popis EMPTY),         0 kusu (0 min.) - Zakaznik EMPTY\n"
      "Bez terminu:\n"
      "       BAD (popis BAD),         1 kusu (1 min.) - Zakaznik BAD\n";
  EXPECT_EQ(dir.read_file("client/temp/zaklist.txt"), expected);
  EXPECT_EQ(dir.read_file("client/out/vyroba.txt"), expected) << "replaced after asking";
  EXPECT_EQ(opened, cdir + "out/vyroba.txt");
  // The browser's own list was not overwritten by the plan's.
  EXPECT_EQ(names(), before);
  EXPECT_EQ(before.size(), 4u);
}

TEST_F(PlanTest, AFileKeptWhenTheUserSaysNoIsNotShown) {
  start_production(rights({0, 1, 8, 58}));
  seed_due_order("X1", {}, {3, 3, 2026});
  dir.write_file("client/out/vyroba.txt", "old plan\n");
  to_browser();
  when([this] { return browser_ready(); }, [this] { key(16); });
  when([this] { return in_browser(); }, [this] { key(13); });
  when_modal(Modal::kConfirm, [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return script_done() && browser_ready(); }));
  EXPECT_EQ(dir.read_file("client/out/vyroba.txt"), "old plan\n");
  EXPECT_TRUE(opened.empty());
}

TEST_F(PlanTest, WithoutADesktopToShowItThePlanSaysWhereItIs) {
  opener_result = toolkit::OpenResult::kNoOpener;
  start_production(rights({0, 1, 8, 58}));
  seed_due_order("X1", {}, {3, 3, 2026});
  to_browser();
  when([this] { return browser_ready(); }, [this] { key(16); });
  when([this] { return in_browser(); }, [this] { key(13); });
  when_modal(Modal::kNotice, [this] {
    shot("plan-where.png");
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return script_done() && browser_ready(); }));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "plankde"), 1);
  EXPECT_EQ(opened, cdir + "out/vyroba.txt");
  EXPECT_NE(dir.read_file("client/out/vyroba.txt").find("X1"), std::string::npos);
}

}  // namespace
}  // namespace ksv::client::testing
