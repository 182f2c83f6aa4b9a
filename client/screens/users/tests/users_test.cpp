// User administration: which buttons the own rights offer, the validity dates, and the screens
// against a real server — a new user who can log in with the password given, rights stored for
// another user and for oneself, a save that can never rename, and rights copied with a date.
#include "client/keys.h"
#include "client/screens/users/user_rules.h"
#include "client/screens/users/users_screen.h"
#include "client/tests/fixture.h"
#include "protocol/rights.h"

namespace ksv::client::testing {
namespace {

int64_t bits(std::initializer_list<int> list) {
  int64_t r = 0;
  for (int b : list) NASTAVBIT(r, b);
  return r;
}

TPrava user_named(const std::string& name, int32_t id = 5) {
  TPrava u{};
  u.ID = id;
  u.UZIVATEL.assign(name);
  return u;
}

// ------------------------------------------------------------------------------- the rules

TEST(UserActions, ButtonsFollowTheServersRights) {
  const TPrava petr = user_named("petr"), own = user_named("eva"), admin = user_named("admin", 0);
  TPrava fresh{};
  fresh.ID = -1;

  // Another user's record needs both 18 and 22; neither alone will do.
  EXPECT_FALSE(user_actions(bits({18}), "eva", petr).other_user);
  EXPECT_FALSE(user_actions(bits({22}), "eva", petr).other_user);
  EXPECT_TRUE(user_actions(bits({18, 22}), "eva", petr).other_user);

  // Saving: one's own always, another's with 23, a new user with 20.
  EXPECT_TRUE(user_actions(0, "eva", own).save);
  EXPECT_FALSE(user_actions(bits({20}), "eva", petr).save);
  EXPECT_TRUE(user_actions(bits({23}), "eva", petr).save);
  EXPECT_FALSE(user_actions(bits({23}), "eva", fresh).save);
  EXPECT_TRUE(user_actions(bits({20}), "eva", fresh).save);

  // The name can be typed for a new user only, whatever the rights.
  EXPECT_FALSE(user_actions(-1, "eva", petr).rename);
  EXPECT_FALSE(user_actions(-1, "eva", own).rename);
  EXPECT_TRUE(user_actions(-1, "eva", fresh).rename);

  // Rights: own with 17, another's with 19, the administrator's never.
  EXPECT_TRUE(user_actions(bits({17}), "eva", own).store_rights);
  EXPECT_FALSE(user_actions(bits({19}), "eva", own).store_rights);
  EXPECT_TRUE(user_actions(bits({19}), "eva", petr).store_rights);
  EXPECT_FALSE(user_actions(bits({17}), "eva", petr).store_rights);
  EXPECT_FALSE(user_actions(-1, "eva", admin).store_rights);
  EXPECT_FALSE(user_actions(-1, "admin", admin).store_rights);

  // Delegation: with 62, never to oneself, to a user not yet created or to the administrator.
  EXPECT_TRUE(user_actions(bits({62}), "eva", petr).delegate);
  EXPECT_FALSE(user_actions(bits({62}), "eva", own).delegate);
  EXPECT_FALSE(user_actions(bits({62}), "eva", fresh).delegate);
  EXPECT_FALSE(user_actions(bits({62}), "eva", admin).delegate);
  EXPECT_FALSE(user_actions(bits({19, 18, 22}), "eva", petr).delegate);

  // Deleting: with 21, not oneself, not the administrator.
  EXPECT_TRUE(user_actions(bits({21}), "eva", petr).remove);
  EXPECT_FALSE(user_actions(bits({21}), "eva", own).remove);
  EXPECT_FALSE(user_actions(bits({21}), "eva", admin).remove);
}

TEST(UserActions, CopyOffersOnlyHeldRights) {
  EXPECT_EQ(offered_rights(bits({8, 9, 10, 63}), bits({8, 10, 20})), bits({8, 10}));
  TPrava u{};
  u.PRAVA = bits({8});
  u.PREDANAPRAVA = bits({6});
  EXPECT_EQ(effective_rights(u), bits({6, 8}));
}

TEST(ValidityDate, FromTodayOnAndRealDatesOnly) {
  const DateTime today{2026, 3, 10, 23, 59, 0};
  EXPECT_FALSE(valid_from_today(TDatum{9, 3, 2026}, today));
  EXPECT_TRUE(valid_from_today(TDatum{10, 3, 2026}, today));
  EXPECT_TRUE(valid_from_today(TDatum{1, 1, 2027}, today));
  EXPECT_FALSE(valid_from_today(TDatum{31, 12, 2025}, today));
  EXPECT_FALSE(valid_from_today(TDatum{0, 0, 0}, today));
  EXPECT_FALSE(valid_from_today(TDatum{31, 4, 2026}, today));
  EXPECT_TRUE(valid_date(TDatum{29, 2, 2028}));
  EXPECT_FALSE(valid_date(TDatum{29, 2, 2027}));
  EXPECT_FALSE(valid_date(TDatum{29, 2, 2100}));
  EXPECT_EQ(date_text(TDatum{3, 4, 2026}), "03.04.2026");
}

// ----------------------------------------------------------------------------- the screens

class UsersScreen : public ClientTest {
 protected:
  void SetUp() override { start_server(); }

  // Logged in as `name` with `rights`; the user screen shows `shown` (the own user when empty).
  void open_as(const std::string& name, int64_t rights, const std::string& shown = "") {
    add_user(name, "heslo", rights);
    open_client();
    login_directly(name, "heslo");
    ASSERT_TRUE(fetch_user(f(), name, app->workspace.UZIVATEL));
    if (!shown.empty()) {
      ASSERT_TRUE(fetch_user(f(), shown, app->workspace.UZIVATEL));
    }
    f().request_screen(kScreenUsers);
  }
  void shot(const std::string& name) {
    if (const char* d = std::getenv("KSV_SHOTS")) hb().screenshot(std::string(d) + "/" + name + ".png");
  }
  bool on(int32_t screen) {
    return f().AKTUALNIOBRAZOVKA == screen && f().POZADOVANAOBRAZOVKA == screen && settled();
  }
  // The user screen shown (again) after `count` builds of it.
  bool users_screen_built(int count) {
    int builds = 0;
    for (const auto& s : screens_seen) builds += s == kScreenUsers;
    return builds >= count && on(kScreenUsers) && f().modal.kind == Modal::kNone;
  }
  void track_screens() {
    when([this] {
      if (f().AKTUALNIOBRAZOVKA != last_screen) screens_seen.push_back(last_screen = f().AKTUALNIOBRAZOVKA);
      return false;
    }, [] {});
  }
  // In the rights grid, the cursor to a bit from the first cell.
  void cursor_to_bit(int bit) {
    if (bit >= 32) hb().extended_key(77);  // Right
    for (int i = 0; i < bit % 32; ++i) hb().extended_key(80);  // Down
  }
  // After a dialog the user screen is laid out anew: the next key waits until all its buttons
  // are drawn (a key pressed before lands nowhere).
  void settle_then(std::function<void()> action) {
    auto start = std::make_shared<long>(-1);
    when([this, start] {
      if (f().modal.kind != Modal::kNone) return false;
      if (*start < 0) *start = steps;
      return steps - *start > 20 && on(kScreenUsers);
    }, std::move(action));
  }
  TPrava stored(const std::string& name) { return server->users().find(name).value_or(TPrava{}); }

  std::vector<int32_t> screens_seen;
  int32_t last_screen = -1;
};

TEST_F(UsersScreen, NewUserWithPasswordCanLogIn) {
  open_as("novak", bits({20}));
  when([this] { return on(kScreenUsers); }, [this] { key('n'); });
  when([this] { return f().modal.key == "zmjmena" && settled(); }, [this] {
    type("jana");
    key(keys::kEnter);
  });
  when([this] { return f().modal.key == "zmheslo" && settled(); }, [this] {
    type("heslo1");
    shot("zmheslo");
    key(keys::kEnter);
  });
  settle_then([this] {
         shot("uzivatele_novy");
         key('u');
       });
  ASSERT_TRUE(run_until([this] { return f().requests_sent[25] == 1 && f().modal.kind == Modal::kNone && app->workspace.UZIVATEL.ID >= 0; }));
  const TPrava jana = stored("jana");
  EXPECT_EQ(jana.HESLO.view(), "heslo1");
  EXPECT_EQ(app->workspace.UZIVATEL.ID, jana.ID);
  // A new program (the old one has ended) logs in as jana.
  open_client();
  login_directly("jana", "heslo1");
}

TEST_F(UsersScreen, RightsOfAnotherUserStoredOnlyWithBit19) {
  add_user("petr", "p", bits({54}));
  open_as("vedouci", bits({18, 22, 19}), "petr");
  when([this] { return on(kScreenUsers); }, [this] { key('p'); });
  when([this] { return f().modal.key == "prava1" && settled(); }, [this] {
    cursor_to_bit(63);
    key(' ');
  });
  int polls = 0;
  when([&] { return ++polls > 60; }, [this] {
    shot("prava1");
    key(keys::kEnter);
  });
  when_modal(Modal::kNotice, [this] { key(keys::kEnter); });
  ASSERT_TRUE(run_until([this] { return f().requests_sent[61] == 1 && on(kScreenUsers) && f().modal.kind == Modal::kNone; }));
  EXPECT_EQ(stored("petr").PRAVA, bits({54, 63}));
  // The record as 27 gives it has the bit too.
  open_client();
  login_directly("vedouci", "heslo");
  TPrava petr{};
  ASSERT_TRUE(fetch_user(f(), "petr", petr));
  EXPECT_TRUE(TESTBIT(petr.PRAVA, 63));
}

TEST_F(UsersScreen, WithoutBit19AnotherUsersRightsAreOnlyShown) {
  add_user("petr", "p", bits({54}));
  open_as("vedouci", bits({18, 22, 17}), "petr");
  when([this] { return on(kScreenUsers); }, [this] { key('p'); });
  when([this] { return f().modal.key == "prava1" && settled(); }, [this] {
    cursor_to_bit(63);
    key(' ');
  });
  int polls = 0;
  when([&] { return ++polls > 60; }, [this] { key(keys::kEnter); });
  ASSERT_TRUE(run_until([&, this] { return polls > 60 && on(kScreenUsers) && f().modal.kind == Modal::kNone; }));
  EXPECT_EQ(f().requests_sent[61], 0);
  EXPECT_EQ(stored("petr").PRAVA, bits({54}));
}

TEST_F(UsersScreen, OwnRightsWithBit17ReachTheMenuWithTheDelegatedOnes) {
  add_user("eva", "heslo", bits({17}));
  ASSERT_EQ(server->users().delegate("eva", bits({6}), TDatum{11, 3, 2026}), server::UserResult::kOk);
  open_client();
  login_directly("eva", "heslo");
  ASSERT_TRUE(fetch_user(f(), "eva", app->workspace.UZIVATEL));
  ASSERT_EQ(info().MOJEPRAVA, bits({6, 17}));
  f().request_screen(kScreenUsers);
  when([this] { return on(kScreenUsers); }, [this] { key('p'); });
  when([this] { return f().modal.key == "prava1" && settled(); }, [this] {
    cursor_to_bit(8);
    key(' ');
    key(keys::kEnter);
  });
  when_modal(Modal::kNotice, [this] { key(keys::kEnter); });
  when([this] { return f().requests_sent[61] == 1 && on(kScreenUsers) && f().modal.kind == Modal::kNone; },
       [this] { key(keys::kEscape); });
  ASSERT_TRUE(run_until([this] { return on(kScreenMenu) && f().menu_entries.size() > 0; }));
  EXPECT_EQ(stored("eva").PRAVA, bits({8, 17}));
  EXPECT_EQ(info().MOJEPRAVA, bits({6, 8, 17}));
  const auto& m = f().menu_entries;
  EXPECT_NE(std::find(m.begin(), m.end(), "vyroba.bmp"), m.end());    // bit 8, just given
  EXPECT_NE(std::find(m.begin(), m.end(), "dochazka.bmp"), m.end());  // bit 6, delegated
}

TEST_F(UsersScreen, SaveNeverRenamesNorTouchesAnotherUser) {
  add_user("petr", "stare", bits({54}));
  add_user("jana", "janino", bits({8}));
  open_as("vedouci", bits({18, 22, 23}), "petr");
  // The name's change button is not there for a stored user: '1' does nothing.
  when([this] { return on(kScreenUsers); }, [this] {
    key('1');
    key('2');
  });
  when([this] { return f().modal.key == "zmheslo" && settled(); }, [this] {
    type("nove");
    key(keys::kEnter);
  });
  settle_then([this] { key('u'); });
  ASSERT_TRUE(run_until([this] { return f().requests_sent[28] == 1 && f().modal.kind == Modal::kNone; }));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "zmjmena"), 0);
  EXPECT_EQ(stored("petr").HESLO.view(), "nove");
  EXPECT_EQ(stored("jana").HESLO.view(), "janino");
  EXPECT_EQ(stored("jana").PRAVA, bits({8}));
}

TEST_F(UsersScreen, CopiedRightsNeedAValidityDateFromToday) {
  add_user("petr", "p", bits({54}));
  add_user("jana", "j", bits({8, 9, 10}));
  // Until yesterday: the copy is refused on the screen, nothing is sent.
  ASSERT_EQ(server->users().delegate("petr", 0, TDatum{9, 3, 2026}), server::UserResult::kOk);
  open_as("vedouci", bits({18, 22, 62, 8, 9}), "petr");
  when([this] { return on(kScreenUsers); }, [this] { key('r'); });
  when_modal(Modal::kUserList, [this] {
    shot("zkoho");
    choose_user("jana");
  });
  when([this] { return f().modal.key == "preved" && settled(); }, [this] {
    shot("preved");
    key(keys::kEnter);
  });
  when_modal(Modal::kNotice, [this] { key(keys::kEnter); });
  // The date set to tomorrow on the validity screen, then the copy again.
  when([this] { return on(kScreenUsers) && f().modal.kind == Modal::kNone && seen.size() >= 3; },
       [this] {
         EXPECT_EQ(f().requests_sent[62], 0);
         key('4');
       });
  when([this] { return f().modal.key == "platnost" && settled(); }, [this] { key('z'); });
  for (const char* field : {"den", "mesic", "rok"}) {
    const std::string value = std::string(field) == "den" ? "11" : std::string(field) == "mesic" ? "3" : "2026";
    when([this, field] { return f().modal.key == field && settled(); }, [this, value] {
      for (int i = 0; i < 4; ++i) key(keys::kBackspace);
      type(value);
      key(keys::kEnter);
    });
  }
  when([this] { return f().modal.key == "platnost" && settled(); }, [this] {
    shot("platnost");
    key(keys::kEnter);
  });
  when([this] { return f().requests_sent[62] == 1 && on(kScreenUsers) && f().modal.kind == Modal::kNone; },
       [this] { key('r'); });
  when_modal(Modal::kUserList, [this] { choose_user("jana"); });
  when([this] { return f().modal.key == "preved" && settled(); }, [this] { key(keys::kEnter); });
  ASSERT_TRUE(run_until([this] { return f().requests_sent[62] == 2 && on(kScreenUsers) && f().modal.kind == Modal::kNone; }));
  const TPrava petr = stored("petr");
  // Bit 10 is jana's, but not the copier's: it is not handed on.
  EXPECT_EQ(petr.PREDANAPRAVA, bits({8, 9}));
  EXPECT_EQ(petr.PLATIDO.DEN, 11);
  // Petr's next login has them.
  open_client();
  login_directly("petr", "p");
  TPrava own{};
  ASSERT_TRUE(fetch_user(f(), "petr", own));
  EXPECT_EQ(info().MOJEPRAVA, bits({8, 9, 54}));
}

TEST_F(UsersScreen, DeletedUserGoesAndTheScreenShowsTheOwnUserAgain) {
  add_user("petr", "p", bits({54}));
  add_user("jana", "j", bits({8}));
  open_as("vedouci", bits({18, 22, 21}), "petr");
  when([this] { return on(kScreenUsers); }, [this] { hb().extended_key(keys::kF1); });
  when_modal(Modal::kHelp, [this] {
    shot("help3");
    key(keys::kEnter);
  });
  when_modal(Modal::kHelp, [this] { key(keys::kEnter); });
  when([this] { return on(kScreenUsers) && f().modal.kind == Modal::kNone; }, [this] { key(keys::kCtrlE); });
  when_modal(Modal::kConfirm, [this] { key(keys::kEnter); });
  ASSERT_TRUE(run_until([this] { return f().requests_sent[26] == 1 && f().modal.kind == Modal::kNone && app->workspace.UZIVATEL.UZIVATEL.view() == "vedouci"; }));
  EXPECT_FALSE(server->users().find("petr").has_value());
  EXPECT_TRUE(server->users().find("jana").has_value());
}

TEST_F(UsersScreen, AdministratorsRightsAreOnlyShown) {
  open_as("vedouci", bits({18, 22, 19, 17}), "admin");
  when([this] { return on(kScreenUsers); }, [this] { key('p'); });
  when([this] { return f().modal.key == "prava1" && settled(); }, [this] {
    cursor_to_bit(5);
    key(' ');
  });
  int polls = 0;
  when([&] { return ++polls > 40; }, [this] { key(keys::kEnter); });
  ASSERT_TRUE(run_until([&, this] { return polls > 40 && on(kScreenUsers) && f().modal.kind == Modal::kNone; }));
  EXPECT_EQ(f().requests_sent[61], 0);
  EXPECT_EQ(stored("admin").PRAVA, -1);
}

}  // namespace
}  // namespace ksv::client::testing
