// The client's way in and out against a real server: connecting on either address, the login
// with wrong and right passwords, the user list and its cache, the signature, logout,
// disconnects during a wait, and the exit.
#include <utime.h>

#include <algorithm>

#include "client/tests/fixture.h"
#include "protocol/rights.h"

namespace ksv::client::testing {
namespace {

std::vector<std::string> errors(const std::vector<std::string>& seen) {
  std::vector<std::string> out;
  for (const std::string& k : seen)
    if (k.rfind("error", 0) == 0) out.push_back(k);
  return out;
}

int64_t bits(std::initializer_list<int> list) {
  int64_t r = 0;
  for (int b : list) NASTAVBIT(r, b);
  return r;
}

// ---------------------------------------------------------------------------------- connect

TEST_F(ClientTest, UnreachableInternalAddressStaysOfflineAndExternalConnects) {
  start_server();
  // Nothing listens on 127.0.0.9 (the server is bound to 127.0.0.1 only).
  dir.write_file("client/adresy.cfg", "127.0.0.9\n127.0.0.1\n");
  open_client();
  EXPECT_EQ(app->client.conn.ADRESASERV, "127.0.0.9");
  EXPECT_EQ(app->client.conn.EXTADRESASERV, "127.0.0.1");
  when_modal(Modal::kAddress, [this] { key(13); });
  // The failure is said in the error window, not only in the status line.
  when_modal(Modal::kError, [this] {
    EXPECT_EQ(f().modal.key, "nedostupny");
    EXPECT_EQ(app->client.conn.POSLCHYBA, ClientConnection::kConnectFailed);
    EXPECT_EQ(f().status_text, f().text("offline"));
    key(13);
  });
  when_modal(Modal::kAddress, [this] {
    EXPECT_EQ(f().AKTUALNIOBRAZOVKA, kScreenConnect);
    key('e');
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return f().modal.kind == Modal::kUserList; }));
  EXPECT_TRUE(info().SPOJENO);
  EXPECT_FALSE(app->client.conn.LOKALNISERV);
  EXPECT_EQ(f().AKTUALNIOBRAZOVKA, kScreenLogin);
}

TEST_F(ClientTest, InternalAddressChosenBackAfterExternal) {
  start_server();
  dir.write_file("client/adresy.cfg", "127.0.0.1\n127.0.0.9\n");
  open_client();
  when_modal(Modal::kAddress, [this] {
    key('e');
    key('i');
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return f().modal.kind == Modal::kUserList; }));
  EXPECT_TRUE(app->client.conn.LOKALNISERV);
  EXPECT_TRUE(info().SPOJENO);
}

// ------------------------------------------------------------------------------------ login

TEST_F(ClientTest, WrongPasswordTwiceThenRightOpensTheMenuWithTheLastLogin) {
  start_server();
  const int32_t id = add_user("novak", "0042", bits({8}));
  TPrava before{};
  server->users().stamp_login("novak", DateTime{2026, 3, 9, 8, 5, 0}, before);
  open_client();
  script_login("0041");
  when_modal(Modal::kError, [this] { key(13); });
  when_modal(Modal::kPassword, [this] {
    type("42");  // the same digits without the leading zeros are another password
    key(13);
  });
  when_modal(Modal::kError, [this] { key(13); });
  // A password of digits is sent exactly as typed, leading zeros included.
  when_modal(Modal::kPassword, [this] {
    type("0042");
    key(13);
  });
  ASSERT_TRUE(run_until([this] {
    return f().AKTUALNIOBRAZOVKA == kScreenMenu && f().status_text.find("2026") != std::string::npos;
  }));
  // The second wrong password warns that a third one blocks the computer.
  EXPECT_EQ(errors(seen), (std::vector<std::string>{"error196"}));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "heslo3"), 1);
  EXPECT_TRUE(info().PRIHLASEN);
  EXPECT_EQ(info().JMENO, "novak");
  EXPECT_EQ(info().MOJEID, id);
  EXPECT_EQ(info().MOJEPRAVA, bits({8}));
  EXPECT_EQ(f().status_text, "Prihlaseno, minule 09.03.2026 v 08:05");
  EXPECT_EQ(f().requests_sent[27], 1);
}

// The second wrong password warns of the block, the third says the computer is blocked, and
// a connection the server then closes at once is explained by the block, not as a lost one.
TEST_F(ClientTest, WrongPasswordsWarnOfTheBlockAndSayItHappened) {
  clock.set(2026, 3, 10, 10, 0, 30);
  start_server();
  add_user("novak", "jehla", 0);
  open_client();
  script_login("a");
  std::vector<std::vector<std::string>> shown;
  auto read_and_close = [&, this] {
    shown.push_back(f().error_lines(f().modal.key));
    key(13);
  };
  for (int i = 0; i < 2; ++i) {
    when_modal(Modal::kError, read_and_close);
    when_modal(Modal::kPassword, [this] {
      type("b");
      key(13);
    });
  }
  when_modal(Modal::kError, read_and_close);
  when_modal(Modal::kAddress, [this] { key(13); });
  when_modal(Modal::kError, [this] { key(13); });
  ASSERT_TRUE(run_until([&] { return script.empty() && f().modal.kind == Modal::kAddress; }));
  std::vector<std::string> dialogs;
  for (const std::string& k : seen)
    if (k != "pripoj" && k != "uzivatel" && k != "heslo") dialogs.push_back(k);
  EXPECT_EQ(dialogs, (std::vector<std::string>{"error196", "heslo3", "blokovan", "blokovan"}));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1].size(), 3u);
  EXPECT_NE(shown[1][1].find("zablokuje"), std::string::npos);
  // Blocked at 10:00:30: the server takes the computer again from 10:11.
  EXPECT_NE(shown[2][2].find("(do 10:11)"), std::string::npos) << shown[2][2];
  EXPECT_EQ(f().AKTUALNIOBRAZOVKA, kScreenConnect);
  EXPECT_FALSE(info().SPOJENO);
}

// Refused for another reason (an unknown name) is no block: the next connection that closes at
// once is said as such, with the block only as the likely reason.
TEST_F(ClientTest, RefusalWithoutWrongPasswordsIsNoBlock) {
  start_server();
  open_client();
  script_login("x", "admin");  // the administrator is refused from outside 192.x
  when_modal(Modal::kError, [this] { key(13); });
  ASSERT_TRUE(run_until([this] {
    return script.empty() && f().modal.kind == Modal::kAddress;
  }));
  EXPECT_EQ(errors(seen), (std::vector<std::string>{"error195"}));
  EXPECT_FALSE(f().blocked_now());
  EXPECT_EQ(f().connection_loss, Frame::Loss::kNone);
}

TEST_F(ClientTest, UserListIsSortedAndTheHighlightedNameLogsIn) {
  start_server();
  add_user("zelenka", "z", 0);
  add_user("adamec", "a", 0);
  add_user("kral", "k", 0);
  open_client();
  when_modal(Modal::kAddress, [this] { key(13); });
  when_modal(Modal::kUserList, [this] {
    const auto& l = app->tk.seznam.SEZNAM;
    ASSERT_EQ(l.size(), 4u);  // with the administrator
    EXPECT_EQ(l[0].NAZEV, "adamec");
    EXPECT_EQ(l[1].NAZEV, "admin");
    EXPECT_EQ(l[2].NAZEV, "kral");
    EXPECT_EQ(l[3].NAZEV, "zelenka");
    hb().extended_key(80);
    hb().extended_key(80);
    key(13);
  });
  when_modal(Modal::kPassword, [this] {
    type("k");
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu; }));
  EXPECT_EQ(info().JMENO, "kral");
}

TEST_F(ClientTest, DelegatedRightsCountForTheMenu) {
  start_server();
  add_user("novak", "n", bits({8}));
  ASSERT_EQ(server->users().delegate("novak", bits({58}), TDatum{1, 1, 2027}),
            server::UserResult::kOk);
  open_client();
  script_login("n");
  ASSERT_TRUE(run_until([this] {
    return f().AKTUALNIOBRAZOVKA == kScreenMenu && f().requests_sent[27] == 1 &&
           f().status_text.rfind("Prihlaseno", 0) == 0;
  }));
  // Never logged in before: no zero date for a previous login.
  EXPECT_EQ(f().status_text, "Prihlaseno poprve");
  EXPECT_EQ(info().MOJEPRAVA, bits({8, 58}));
  // The menu was built after the rights arrived.
  for (int i = 0; i < 3; ++i) f().main_pass();
  EXPECT_EQ(f().menu_entries,
            (std::vector<std::string>{"uzivatel.bmp", "zakazky.bmp", "vyroba.bmp", "cas.bmp",
                                      "pomoc.bmp"}));
}

// ----------------------------------------------------------------------- signature and cache

TEST_F(ClientTest, SignatureFileTravelsWithListAndLogin) {
  start_server(test_signature());
  add_user("novak", "n", 0);
  dir.write_file("client/signature", test_signature());
  open_client();
  script_login("n");
  ASSERT_TRUE(run_until([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu; }));
  EXPECT_TRUE(info().PRIHLASEN);
}

TEST_F(ClientTest, WithoutTheSignatureTheServerDropsTheClient) {
  start_server(test_signature());
  add_user("novak", "n", 0);
  open_client();  // no signature file: 256 zero bytes go out
  when_modal(Modal::kAddress, [this] { key(13); });
  // Closed before any answer: the most likely reason is said.
  when_modal(Modal::kError, [this] { key(13); });
  ASSERT_TRUE(run_until([this] {
    return f().requests_sent[10] == 1 && script.empty() && f().modal.kind == Modal::kAddress;
  }));
  EXPECT_EQ(errors(seen), std::vector<std::string>{});
  EXPECT_NE(std::find(seen.begin(), seen.end(), "zavreno"), seen.end());
  EXPECT_FALSE(info().SPOJENO);
  EXPECT_TRUE(app->tk.seznam.SEZNAM.empty());
}

TEST_F(ClientTest, FreshUserListIsReadFromTempInsteadOfAskingAgain) {
  clock.set(2026, 3, 10, 10, 30, 0);
  start_server();
  add_user("novak", "n", 0);
  open_client();
  int lists_seen = 0;
  auto back_to_login = [this](int64_t minutes_ago) {
    return [this, minutes_ago] {
      // The list file as if received minutes_ago by the fake clock.
      std::string path = f().temp_path(f().SEZNAMUZIVATELU);
      struct utimbuf t {};
      t.actime = t.modtime = time_t(clock.epoch_seconds() - minutes_ago * 60);
      ASSERT_EQ(::utime(path.c_str(), &t), 0);
      key(15);  // logout before logging in: back to the connection screen
    };
  };
  when_modal(Modal::kAddress, [this] { key(13); });
  when_modal(Modal::kUserList, back_to_login(62));  // (from the user list, not logged in)  // minute of the hour differs by 2
  when_modal(Modal::kAddress, [this] { key(13); });
  when_modal(Modal::kUserList, [&, this] {
    lists_seen = f().requests_sent[10];
    back_to_login(7)();
  });
  when_modal(Modal::kAddress, [this] { key(13); });
  ASSERT_TRUE(run_until([this] {
    return script.empty() && f().modal.kind == Modal::kUserList;
  }));
  EXPECT_EQ(lists_seen, 1);                // 62 minutes old, same minutes: not asked again
  EXPECT_EQ(f().requests_sent[10], 2);     // 7 minutes old: asked again
  EXPECT_EQ(app->tk.seznam.SEZNAM.size(), 2u);
}

TEST_F(ClientTest, ListCutOffByALostConnectionIsNotKept) {
  start_server();
  // Names of 240 characters, four to a block: the list is longer than the blocks the server
  // sends ahead of their acknowledgements in the passes before the cut.
  for (int i = 0; i < 4 * (3 * server::kDownloadWindow + 8); ++i)
    add_user(std::to_string(100 + i) + std::string(237, 'u'), "x", 0);
  open_client();
  when_modal(Modal::kAddress, [this] { key(13); });
  // The list takes several blocks; the server goes away after the first one arrived.
  when([this] { return app->client.transfer_active() && info().VELIKOST > 0; },
       [this] { server->disconnect(session_slot()); });
  when_modal(Modal::kError, [this] {
    EXPECT_EQ(f().modal.key, "ztraceno");
    key(13);
  });
  ASSERT_TRUE(run_until([this] {
    return script.empty() && f().modal.kind == Modal::kAddress;
  }));
  EXPECT_FALSE(info().SPOJENO);
  EXPECT_TRUE(f().SEZNAMUZIVATELU.empty());
  EXPECT_FALSE(dir.exists("client/temp/sezn0"));
  EXPECT_TRUE(app->tk.seznam.SEZNAM.empty());
}

TEST(UserListCache, MinuteOfTheHourDecides) {
  ksv::testing::TempDir d;
  d.write_file("sezn0", "admin\n");
  FakeClock clock(2026, 3, 10, 10, 30, 0);
  auto aged = [&](int64_t seconds) {
    struct utimbuf t {};
    t.actime = t.modtime = time_t(clock.epoch_seconds() - seconds);
    ::utime((d / "sezn0").c_str(), &t);
    return user_list_fresh(d / "sezn0", clock);
  };
  EXPECT_TRUE(aged(0));
  EXPECT_TRUE(aged(5 * 60));      // 10:25
  EXPECT_FALSE(aged(6 * 60));     // 10:24
  EXPECT_TRUE(aged(62 * 60));     // 09:28: hours are not compared
  EXPECT_TRUE(aged(-3 * 60));     // a file stamped a little ahead of this clock
  clock.set(2026, 3, 10, 10, 3, 0);
  EXPECT_FALSE(aged(5 * 60));     // 09:58 against 10:03: minute 58 is far from minute 3
  EXPECT_FALSE(user_list_fresh(d / "missing", clock));
  EXPECT_FALSE(user_list_fresh(d.path(), clock));  // a directory is no list
}

// ------------------------------------------------------------------------ logout and exit

TEST_F(ClientTest, LogoutFromTheMenuReconnectsToTheLoginScreen) {
  start_server();
  add_user("novak", "n", 0);
  open_client();
  script_login("n");
  when([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu && f().requests_sent[27] == 1 && settled(); },
       [this] { key(15); });
  ASSERT_TRUE(run_until([this] {
    return f().requests_sent[20] == 1 && f().modal.kind == Modal::kUserList;
  }));
  EXPECT_TRUE(info().SPOJENO);
  EXPECT_FALSE(info().PRIHLASEN);
  EXPECT_EQ(f().AKTUALNIOBRAZOVKA, kScreenLogin);
}

TEST_F(ClientTest, ExitLogsOffAndWritesTheConfiguration) {
  start_server();
  add_user("novak", "n", 0);
  ::mkdir((cdir + "fav").c_str(), 0755);
  dir.write_file("client/oblibene.cfg", cdir + "fav\n" + cdir + "gone\n");
  open_client();
  script_login("n");
  when([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu && f().requests_sent[27] == 1 && settled(); },
       [this] { key(11); });
  EXPECT_EQ(f().run(), 0);
  EXPECT_EQ(f().requests_sent[20], 1);
  EXPECT_FALSE(info().SPOJENO);
  app->finish();
  EXPECT_EQ(dir.read_file("client/oblibene.cfg"), cdir + "fav\n\n\n");
  EXPECT_EQ(dir.read_file("client/posladr.cfg"), cdir + "\n");
}

// ---------------------------------------------------------------------- waits and disconnects

TEST_F(ClientTest, ServerDroppingTheConnectionEndsAWaitOnScreenZero) {
  start_server();
  add_user("novak", "n", 0);
  open_client();
  login_directly();
  // From now on the server never answers; it drops the session at the first pause instead.
  serve = false;
  bool dropped = false;
  app->frame.idle = [&] {
    if (!dropped) server->disconnect(session_slot());
    dropped = true;
    tick();
  };
  f().compose();
  EXPECT_EQ(f().CEKEJNAODPOVED(13, "time"), 0);
  EXPECT_EQ(f().POZADOVANAOBRAZOVKA, kScreenConnect);
  EXPECT_FALSE(info().SPOJENO);
  EXPECT_FALSE(timed_out);
}

// The server going away under a logged-in user is said over the connection screen; the user's
// own disconnect and logout are not.
TEST_F(ClientTest, LostConnectionWhileLoggedInIsSaid) {
  start_server();
  add_user("novak", "n", 0);
  open_client();
  script_login("n");
  when([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu && f().requests_sent[27] == 1 && settled(); },
       [this] { server->disconnect(session_slot()); });
  when_modal(Modal::kError, [this] {
    EXPECT_EQ(f().AKTUALNIOBRAZOVKA, kScreenConnect);
    EXPECT_EQ(f().status_text, f().text("offline"));
    key(13);
  });
  // Logged in again, the own disconnect button leads back without a word.
  script_login("n");
  when([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu && f().requests_sent[27] == 2 && settled(); },
       [this] { key(18); });
  when_modal(Modal::kAddress, [] {});
  ASSERT_TRUE(run_until([this] { return script.empty() && f().modal.kind == Modal::kAddress; }));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "ztraceno"), 1);
  EXPECT_EQ(errors(seen), std::vector<std::string>{});
  EXPECT_EQ(f().requests_sent[20], 1);
}

TEST_F(ClientTest, DisconnectButtonDuringAWaitEndsOnScreenZero) {
  start_server();
  add_user("novak", "n", 0);
  open_client();
  login_directly();
  serve = false;  // the request stays unanswered until the button has been pressed
  when([] { return true; }, [this] {
    key(18);
    serve = true;
  });
  f().compose();
  f().CEKEJNAODPOVED(13, "time");
  for (int i = 0; i < 10 && info().SPOJENO; ++i) f().event_step();
  EXPECT_EQ(f().POZADOVANAOBRAZOVKA, kScreenConnect);
  EXPECT_FALSE(info().SPOJENO);
  EXPECT_EQ(f().requests_sent[20], 1);
  EXPECT_FALSE(f().ZANEPRAZDNEN);
  EXPECT_FALSE(timed_out);
}

// A message the server pushes while a request is outstanding is stored and announced, and the
// wait goes on until the request's own reply.
TEST_F(ClientTest, PushedMessageDuringAWaitIsNotTakenForTheReply) {
  start_server();
  add_user("novak", "n", 0);
  open_client();
  login_directly();
  serve = false;
  when([] { return true; }, [this] {
    Packet push;
    push.NASTAVPRIKAZ(240, 0, true);
    push.ULOZRETEZEC(slot::kData, true, "admin");
    push.ULOZRETEZEC(slot::kText2, true, "zitra se nepracuje");
    ASSERT_TRUE(net::send_all(server->session(session_slot()).socket, push.bytes, kPacketSize));
  });
  when([] { return true; }, [this] { serve = true; });
  f().compose();
  EXPECT_EQ(f().CEKEJNAODPOVED(13, "time"), 203);
  EXPECT_TRUE(f().message_announced);
  EXPECT_EQ(dir.read_file("client/temp/zpravy.txt"), "novak:admin:zitra se nepracuje\n");
  EXPECT_EQ(f().status_text, f().text("wait"));
}

TEST_F(ClientTest, ErrorCodes195And255CloseTheConnection) {
  start_server();
  add_user("novak", "n", 0);
  open_client();
  login_directly();
  when_modal(Modal::kError, [this] { key(13); });
  info().POSLAKCE = 255;
  f().HLASENICHYBY();
  EXPECT_EQ(seen, (std::vector<std::string>{"error255"}));
  EXPECT_FALSE(info().SPOJENO);
  EXPECT_EQ(f().POZADOVANAOBRAZOVKA, kScreenConnect);
}

}  // namespace
}  // namespace ksv::client::testing
