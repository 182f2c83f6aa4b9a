// The order editor against a real server: closing, a new program counted in the header, every
// program of an old order listed, duplication with its dialog, and the rights that hide saving,
// duplicating and creating.
#include "client/screens/orders/tests/orders_fixture.h"

namespace ksv::client::testing {
namespace {

using orders::kScreenBrowser;
using orders::kScreenEditor;

constexpr std::initializer_list<int> kAll = {0, 1, 8, 9, 58, 60};

TEST_F(OrdersTest, ClosingAnOrderSavesTheMarkOnTheServerAndReleasesIt) {
  start(rights(kAll));
  seed_order("Z1");
  to_browser();
  open_first();
  when([this] { return editor_ready(); }, [this] { key(17); });  // Ctrl+Q
  when_modal(Modal::kConfirm, [this] { key(13); });
  ASSERT_TRUE(run_until([this] { return back_in_browser(); }));
  EXPECT_EQ(header("Z1").UZAVRENO, 1);
  EXPECT_EQ(header("Z1").AUTOR, server->users().id_by_name("novak"));
  EXPECT_TRUE(server->session(session_slot()).open_order.empty());
}

TEST_F(OrdersTest, ANewProgramIsCountedInTheHeaderTheEditorSavesLater) {
  // The program editor stands in: it releases the program and returns to the order.
  open_client_hook = [this] {
    f().set_builder(orders::kScreenProgram, [this] {
      f().compose();
      f().request(41, "closepzak");
      f().request_screen(kScreenEditor);
    });
  };
  start(rights(kAll));
  seed_order("Z2");
  to_browser();
  open_first();
  when([this] { return editor_ready(); }, [this] { key(14); });  // Ctrl+N
  when_modal(Modal::kInput, [this] {
    type("P1");
    key(13);
  });
  when([this] { return editor_ready() && names() == std::vector<std::string>{"P1"}; },
       [this] { hb().extended_key(60); });  // F2 saves the header
  when([this] { return editor_ready() && f().requests_sent[30] == 1; }, [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return back_in_browser(); }));
  EXPECT_EQ(header("Z2").PROGRAMU, 1);
  EXPECT_EQ(program("Z2", "P1").KOD.str(), "P1");
}

TEST_F(OrdersTest, TheCalculationAndBackKeepTheOrderOpenAndItsProgramListFresh) {
  // The calculation stands in: it works on the open order and returns to it.
  open_client_hook = [this] {
    f().set_builder(orders::kScreenCalculation, [this] { f().request_screen(kScreenEditor); });
  };
  start(rights(kAll));
  seed_order("K1");
  seed_program("K1", "P1");
  to_browser();
  open_first();
  when([this] { return editor_ready(); }, [this] { key(3); });  // Ctrl+C
  bool held_meanwhile = false;
  when([this] { return editor_ready() && f().requests_sent[63] == 3; }, [&] {
    held_meanwhile = !server->session(session_slot()).open_order.empty();
    EXPECT_EQ(names(), std::vector<std::string>{"P1"});
    key(27);
  });
  ASSERT_TRUE(run_until([this] { return back_in_browser(); }));
  EXPECT_TRUE(held_meanwhile);
  EXPECT_EQ(f().requests_sent[18], 1);  // only when the editor was left for the browser
  EXPECT_TRUE(server->session(session_slot()).open_order.empty());
}

TEST_F(OrdersTest, AWeekOldOrderListsEveryProgramSamplesAndReleasedOnesIncluded) {
  start(rights(kAll));
  seed_order("W1", 7);
  seed_program("W1", "PLAIN");
  seed_program("W1", "SAMPLE", true);
  seed_program("W1", "PROD", false, true);
  seed_program("W1", "BOTH", true, true);
  to_browser();
  // Not made today: only a search finds it.
  when([this] { return browser_ready(); }, [this] {
    EXPECT_TRUE(names().empty());
    key(8);  // Ctrl+H
  });
  when([this] { return on_screen(orders::kScreenSearch); }, [this] { hb().extended_key(60); });
  when([this] { return browser_ready() && names() == std::vector<std::string>{"W1"}; },
       [this] { key(13); });
  std::vector<std::string> programs;
  when([this] { return editor_ready(); }, [&] {
    programs = names();
    shot("editor.png");
    key(27);
  });
  ASSERT_TRUE(run_until([this] { return back_in_browser(); }));
  EXPECT_EQ(programs, (std::vector<std::string>{"BOTH", "PLAIN", "PROD", "SAMPLE"}));
  // Back in the browser the search is kept and the list fetched again.
  EXPECT_EQ(names(), std::vector<std::string>{"W1"});
  EXPECT_EQ(f().requests_sent[63], 4);
}

TEST_F(OrdersTest, DuplicatingFromTheEditorCopiesAndReopensTheOrder) {
  start(rights(kAll));
  seed_order("D1");
  for (int i = 1; i <= 13; ++i) seed_program("D1", "P" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  to_browser();
  open_first();
  int32_t width = 0;
  when([this] { return editor_ready(); }, [this] { hb().extended_key(82); });  // Insert
  when([this] { return f().modal.kind == Modal::kInput && f().modal.key == "duplikuj" && settled(); },
       [&] {
         for (const auto& o : app->tk.okna.OKNO)
           if (o.HORNI) width = o.VX;
         shot("duplicate.png");
         type("D2");
         key(13);
       });
  when_modal(Modal::kConfirm, [this] { key(13); });  // save first
  when([this] { return editor_ready() && f().requests_sent[17] == 2; }, [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return back_in_browser(); }));
  EXPECT_EQ(width, 420);
  ASSERT_TRUE(order_exists("D2"));
  EXPECT_EQ(header("D2").PROGRAMU, 13);
  EXPECT_EQ(program("D2", "P13").DATABANKA, 2);
  EXPECT_EQ(ws().AKTZAKAZKA.CISLO.str(), "D1");
  EXPECT_EQ(f().requests_sent[16], 1);
}

TEST_F(OrdersTest, ATwentyFourthCodeOfTwelveCharactersIsRefusedAndNothingIsCreated) {
  start(rights(kAll));
  seed_order("L1");
  for (int i = 1; i <= 23; ++i) seed_program("L1", "A" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  seed_program("L1", "Z12345678901");
  to_browser();
  open_first();
  when([this] { return editor_ready(); }, [this] { hb().extended_key(82); });
  when([this] { return f().modal.kind == Modal::kInput && f().modal.key == "duplikuj" && settled(); },
       [this] {
         type("L2");
         key(13);
       });
  when([this] { return f().modal.kind == Modal::kNotice && settled(); }, [this] { key(13); });
  when([this] { return editor_ready() && f().requests_sent[16] == 0; }, [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return back_in_browser(); }));
  EXPECT_FALSE(order_exists("L2"));
  EXPECT_EQ(f().requests_sent[18], 1);  // only the one of leaving
}

TEST_F(OrdersTest, NewOrderNumbersAreWrittenPlainlyAndWithoutAccents) {
  start(rights(kAll));
  to_browser();
  when([this] { return browser_ready(); }, [this] { key(' '); });
  when_modal(Modal::kInput, [this] {
    type("Čáp");
    key(13);
  });
  when([this] { return editor_ready(); }, [this] { key(27); });
  when([this] { return browser_ready() && f().requests_sent[19] == 1; }, [this] { key(' '); });
  when_modal(Modal::kInput, [this] {
    type("007");
    key(13);
  });
  when([this] { return editor_ready() && ws().AKTZAKAZKA.CISLO == "7"; }, [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return back_in_browser() && f().requests_sent[19] == 2; }));
  EXPECT_TRUE(order_exists("__p"));
  EXPECT_EQ(header("__p").CISLO.str(), "__p");
  EXPECT_TRUE(order_exists("7"));
  EXPECT_FALSE(order_exists("007"));
}

TEST_F(OrdersTest, WithoutRightNineAnOrderOpensButCannotBeSavedDuplicatedOrCreated) {
  start(rights({1, 8, 58, 60}));
  seed_order("R1");
  to_browser();
  when([this] { return browser_ready(); }, [this] {
    key(' ');  // new order: no button
    key(13);
  });
  when([this] { return editor_ready(); }, [this] {
    hb().extended_key(60);  // save
    hb().extended_key(82);  // duplicate
  });
  when([this] { return editor_ready() && !app->tk.tlacitka.JEKLAV(); }, [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return back_in_browser(); }));
  EXPECT_EQ(f().requests_sent[19], 0);
  EXPECT_EQ(f().requests_sent[30], 0);
  EXPECT_EQ(f().requests_sent[16], 0);
  for (const std::string& k : seen) EXPECT_NE(k, "duplikuj");
  EXPECT_EQ(header("R1").AUTOR, 1);
}

TEST_F(OrdersTest, FieldsAreTypedInPlaceAndTheSavedHeaderHoldsThem) {
  start(rights({0, 1, 8, 9, 58, 60}));
  seed_order("F1");
  to_browser();
  open_first();
  when([this] { return editor_ready(); }, [this] {
    // Capital letters share their codes with the arrows and Insert; typed, they are text.
    type("Vysivka PRAHA KRK");
    key(13);
    type("0042");
    key(13);
    type("31.13.2026");  // a month 13: the day stays, month and year are cleared
    key(13);
    type("15.04.2026");
    hb().extended_key(60);  // F2 takes the field being typed as well
  });
  when([this] { return editor_ready() && f().requests_sent[30] == 1; }, [this] {
    shot("editor_fields.png");
    key(27);
  });
  ASSERT_TRUE(run_until([this] { return back_in_browser(); }));
  const TPolozkaDatabanky h = header("F1");
  EXPECT_EQ(h.POPIS.str(), "Vysivka PRAHA KRK");
  EXPECT_EQ(h.ZAKAZNIK.str(), "42");
  EXPECT_EQ(h.TERMIN.DEN, 31);
  EXPECT_EQ(h.TERMIN.MES, 0);
  EXPECT_EQ(h.TERMIN.ROK, 0);
  EXPECT_EQ(h.VYSIT.DEN, 15);
  EXPECT_EQ(h.VYSIT.ROK, 2026);
  EXPECT_EQ(f().requests_sent[16], 0);
}

}  // namespace
}  // namespace ksv::client::testing
