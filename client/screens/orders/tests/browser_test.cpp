// The orders browser against a real server: pages of 4096 orders, the sort column cycling, the
// search screen's criteria reaching the server, a new order's number, and an order another
// session holds.
#include "client/screens/orders/tests/orders_fixture.h"

namespace ksv::client::testing {
namespace {

using orders::kScreenBrowser;
using orders::kScreenEditor;
using orders::kScreenSearch;

TEST_F(OrdersTest, MoreThan4096OrdersMakeTwoPagesAndTheArrowsStopAtBothEnds) {
  orders_in_memory();
  start(rights({8, 58}));
  // Written straight into the tree: 4100 orders made today.
  for (int i = 0; i < 4100; ++i) {
    const std::string dir = sdir + "databaze/o" + std::to_string(i);
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    TPolozkaDatabanky h{};
    h.CISLO.assign("O" + std::to_string(i));
    write_record(dir + "/info.dat", h);
    date_dir(dir, 0);
  }
  seed_order("OLD", 3);  // not today: the browser's own criteria leave it out
  to_browser();
  std::vector<size_t> sizes;
  std::vector<int> pages;
  auto look = [&] {
    sizes.push_back(app->tk.seznam.SEZNAM.size());
    pages.push_back(ws().list.page);
  };
  when([this] { return browser_ready(); }, [&] {
    look();
    EXPECT_EQ(ws().list.records, 4100);
    EXPECT_EQ(ws().list.pages, 2);
    hb().extended_key(77);
  });
  when([&] { return ws().list.page == 1 && browser_ready(); }, [&] {
    look();
    hb().extended_key(77);  // no third page
    hb().extended_key(75);
  });
  when([&] { return ws().list.page == 0 && browser_ready(); }, [&] {
    look();
    hb().extended_key(75);  // nothing before the first
    key(27);
  });
  ASSERT_TRUE(run_until([this] { return script.empty() && f().AKTUALNIOBRAZOVKA == kScreenMenu; }));
  EXPECT_EQ(sizes, (std::vector<size_t>{4096, 4, 4096}));
  EXPECT_EQ(pages, (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(f().requests_sent[63], 1);  // turning pages reads the file, not the server
}

TEST_F(OrdersTest, SortCyclesThroughSevenColumnsAndNumbersSortAsNumbers) {
  start(rights({8, 58}));
  seed_order("A1", 0, "Alfa");
  seed_order("B2", 0, "Zeta");
  seed_order("C3", 0, "Mira");
  for (int i = 0; i < 10; ++i) seed_program("A1", "P" + std::to_string(i));
  seed_program("B2", "X");
  for (int i = 0; i < 2; ++i) seed_program("C3", "Y" + std::to_string(i));
  to_browser();
  std::vector<std::vector<std::string>> seen;
  std::vector<int> columns;
  when([this] { return browser_ready(); }, [&] {
    columns.push_back(ws().list.sort_column);
    seen.push_back(names());
    for (int i = 0; i < 2; ++i) key(9);
  });
  // Column 2 (customer), then 3 (programs: 1, 2, 10 — numeric, not 1, 10, 2).
  when([&] { return ws().list.sort_column == 2 && browser_ready(); }, [&] {
    columns.push_back(ws().list.sort_column);
    seen.push_back(names());
    key(9);
  });
  when([&] { return ws().list.sort_column == 3 && browser_ready(); }, [&] {
    columns.push_back(ws().list.sort_column);
    seen.push_back(names());
    for (int i = 0; i < 4; ++i) key(9);
  });
  when([&] { return ws().list.sort_column == 0 && browser_ready(); }, [&] {
    columns.push_back(ws().list.sort_column);
    shot("browser.png");
    key(27);
  });
  ASSERT_TRUE(run_until([this] { return script.empty() && f().AKTUALNIOBRAZOVKA == kScreenMenu; }));
  EXPECT_EQ(columns, (std::vector<int>{0, 2, 3, 0}));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], (std::vector<std::string>{"A1", "B2", "C3"}));
  EXPECT_EQ(seen[1], (std::vector<std::string>{"A1", "C3", "B2"}));
  EXPECT_EQ(seen[2], (std::vector<std::string>{"B2", "C3", "A1"}));
}

TEST_F(OrdersTest, TypedCriteriaAndASwitchOfTheSearchReachTheServer) {
  start(rights({8, 58}));
  seed_order("B-2", 3, "Beta");
  seed_program("B-2", "PLAIN");
  seed_order("B-4", 3, "Betaxx");
  seed_program("B-4", "SAMPLE", true);
  seed_order("B-5", 3, "Gama");
  seed_order("A-1", 0, "Beta");
  to_browser();
  when([this] { return browser_ready(); }, [this] { key(8); });  // Ctrl+H
  when([this] { return on_screen(kScreenSearch); }, [this] {
    // Number, description, from, to, then the customer: each typed right after the last.
    type("b");
    key(13);
    key(13);
    key(13);
    key(13);
    type("ETA");
    key(13);
  });
  // "vzo" (programs without a sample too) off: the lowest switch of the left column.
  when([this] { return on_screen(kScreenSearch) && ws().KRITERIA.customer == "ETA"; }, [this] {
    const toolkit::TTLAC* vzo = nullptr;
    for (const toolkit::TTLAC* b : buttons_of("zmena.bmp"))
      if (b->X < 320 && (!vzo || b->Y > vzo->Y)) vzo = b;
    ASSERT_TRUE(vzo);
    click(vzo->X + 5, vzo->Y + 5);
  });
  when([this] { return on_screen(kScreenSearch) && ws().KRITERIA.without_sample == 0; },
       [this] {
         shot("search.png");
         hb().extended_key(60);  // F2 searches
       });
  std::vector<std::string> found;
  when([this] { return browser_ready() && ws().list.file == "seznd0" && f().requests_sent[63] == 2; },
       [&] {
         found = names();
         key(27);
       });
  ASSERT_TRUE(run_until([this] { return script_done() && f().AKTUALNIOBRAZOVKA == kScreenMenu; }));
  EXPECT_EQ(ws().KRITERIA.number.str(), "b");
  EXPECT_EQ(ws().KRITERIA.from.DEN, 0);
  // A-1 is not numbered with "B"; B-5's customer has no "ETA"; B-2 has only a program without
  // a sample.
  EXPECT_EQ(found, std::vector<std::string>{"B-4"});
}

TEST_F(OrdersTest, AnOrderAnotherDeskHoldsIsSaidToBeOpenElsewhereAndStaysWithIt) {
  start(rights({8, 9, 58}));
  seed_order("H1");
  ASSERT_EQ(hold_elsewhere("H1"), 225);
  to_browser();
  open_first();
  when_modal(Modal::kNotice, [this] {
    shot("held.png");
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return back_in_browser() && f().requests_sent[17] == 1; }));
  EXPECT_EQ(seen.back(), "zakjinde");
  // No error window over it, no editor, nothing to release; the other desk keeps the order.
  for (const std::string& k : seen) EXPECT_NE(k.rfind("error", 0), 0u) << k;
  EXPECT_EQ(f().requests_sent[18], 0);
  std::vector<int32_t> holders;
  for (int i = 0; i < server::kMaxSessions; ++i)
    if (server->session(i).in_use && !server->session(i).open_order.empty())
      holders.push_back(server->session(i).user_id);
  EXPECT_EQ(holders, std::vector<int32_t>{server->users().id_by_name("svoboda")});
}

}  // namespace
}  // namespace ksv::client::testing
