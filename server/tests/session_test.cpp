// Sessions over loopback: admission and blocking, login paths, liveness, the slot table, the
// rights table and the program lock, and a packet that arrives in pieces.
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include "server/tests/rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

class Sessions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig.start(), 0);
    mistr_id = rig.add_user("mistr", "tajne", -1);
    rig.add_user("ucen", "heslo", 0);
  }
  Rig rig;
  int32_t mistr_id = -1;
};

TEST_F(Sessions, LoginWrongTwiceThenRight) {
  auto c = rig.connect();
  EXPECT_EQ(rig.login(*c, "mistr", "spatne"), 196);
  EXPECT_EQ(rig.login(*c, "mistr", "spatne"), 196);
  EXPECT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  EXPECT_TRUE(c->conn.INFOKLIENT.PRIHLASEN);
  EXPECT_EQ(rig.server->session(0).user_id, mistr_id);
  EXPECT_EQ(rig.server->session(0).failed_logins, 0);
}

TEST_F(Sessions, ThirdWrongPasswordBlocksUntilTenMinutesHavePassed) {
  auto c = rig.connect();
  EXPECT_EQ(rig.login(*c, "mistr", "a"), 196);
  EXPECT_EQ(rig.login(*c, "mistr", "b"), 196);
  EXPECT_EQ(rig.login(*c, "mistr", "c"), 195);
  rig.settle(c.get());
  EXPECT_FALSE(c->conn.INFOKLIENT.SPOJENO);
  EXPECT_EQ(rig.server->session_count(), 0);

  // Blocked: the next connection is closed at accept.
  auto again = rig.connect("again");
  EXPECT_EQ(rig.server->session_count(), 0);
  EXPECT_TRUE(rig.server->log().contains("Blokuji pocitac z adresy 127.0.0.1"));
  rig.settle(again.get());
  EXPECT_FALSE(again->conn.INFOKLIENT.SPOJENO);

  // 600 seconds are not enough; 601 are.
  rig.clock.advance(600);
  rig.settle();
  auto still = rig.connect("still");
  EXPECT_EQ(rig.server->session_count(), 0);
  rig.clock.advance(1);
  rig.settle();
  auto later = rig.connect("later");
  EXPECT_EQ(rig.server->session_count(), 1);
  EXPECT_EQ(rig.login(*later, "mistr", "tajne"), 194);
}

TEST_F(Sessions, RefusedLoginsEndTheSession) {
  auto unknown = rig.connect("u");
  EXPECT_EQ(rig.login(*unknown, "nikdo", "x"), 195);
  auto admin = rig.connect("a");
  // The administrator only from the workshop network (first octet 192), even with his password.
  EXPECT_EQ(rig.login(*admin, "admin", "vlna"), 195);
  auto empty = rig.connect("e");
  // An empty name matches the header record of the user file, which is nobody.
  EXPECT_EQ(rig.login(*empty, "", ""), 195);
  rig.settle();
  EXPECT_EQ(rig.server->session_count(), 0);
  // Refusals are not blocks.
  auto next = rig.connect("n");
  EXPECT_EQ(rig.server->session_count(), 1);
}

TEST_F(Sessions, WrongSignatureBlocks) {
  auto c = rig.connect();
  Packet& b = Rig::compose(*c, 10);
  b.bytes[1023] ^= 1;
  c->OBSLUHAKOMUNIKACE();
  rig.settle(c.get());
  EXPECT_EQ(rig.server->session_count(), 0);
  EXPECT_TRUE(rig.server->log().contains("Blokuji pocitac (SIGN) z IP 16777343"));
  auto again = rig.connect("again");
  EXPECT_EQ(rig.server->session_count(), 0);
}

TEST_F(Sessions, CommandBeforeLoginBlocks) {
  auto c = rig.connect();
  EXPECT_EQ(rig.request(*c, 33), 0);
  EXPECT_FALSE(c->conn.INFOKLIENT.SPOJENO);
  EXPECT_TRUE(rig.server->log().contains("Blokuji pocitac (CMD) z IP 16777343"));
  EXPECT_EQ(rig.server->blocked().count(), 1);
}

TEST_F(Sessions, UserListDownloadBeforeLoginOnlyFromItsOwnSlot) {
  auto first = rig.connect("first");
  auto second = rig.connect("second");
  ASSERT_EQ(rig.request(*second, 10), 193);
  EXPECT_EQ(second->conn.BUFFERPACKET.ZISKEJRETEZEC(sl::kText, true), "sezn1");
  ASSERT_EQ(second->ZACNIPRIJIMAT(rig.dir.path() + "second/temp/sezn1"), 0);
  ASSERT_TRUE(rig.finish_transfer(*second));
  // Every record from 1 on, the administrator included.
  EXPECT_EQ(rig.dir.read_file("second/temp/sezn1"), "admin\nmistr\nucen\n");
  EXPECT_EQ(rig.server->session_count(), 2);

  ASSERT_EQ(rig.request(*first, 7), 193);
  EXPECT_EQ(rig.dir.read_file("temp/sezn0"),
            "admin;0\nmistr;" + std::to_string(mistr_id) + "\nucen;" + std::to_string(mistr_id + 1) + "\n");
  // Slot 0 asking for slot 1's list before a login is a foreign program.
  ASSERT_EQ(first->ZACNIPRIJIMAT(rig.dir.path() + "first/temp/sezn1"), 0);
  rig.finish_transfer(*first);
  EXPECT_FALSE(first->conn.INFOKLIENT.SPOJENO);
  EXPECT_FALSE(rig.server->session(0).in_use);
  EXPECT_EQ(rig.server->blocked().count(), 1);
}

TEST_F(Sessions, ProbeIsAnsweredOnlyWhenLoggedIn) {
  auto c = rig.connect();
  EXPECT_EQ(rig.request(*c, 1, [](Packet&) {}, 5), 0);
  EXPECT_TRUE(c->conn.INFOKLIENT.SPOJENO);
  ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  c->conn.stamp_probe();  // as if the client had sent a probe of its own
  Rig::compose(*c, 1);
  bool answered = false;
  for (int i = 0; i < 5 && !answered; ++i) {
    c->OBSLUHAKOMUNIKACE();
    answered = c->conn.INFOKLIENT.POSLAKCE == 192;
    rig.pass_after_send(20);
    rig.wait_io(c.get());
  }
  EXPECT_TRUE(answered);
  EXPECT_FALSE(c->conn.INFOKLIENT.POTVRZ.ANO);
}

TEST_F(Sessions, IdleClientIsProbedAndDroppedWhenSilent) {
  auto c = rig.connect();
  ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  rig.clock.advance(60);
  rig.settle();
  EXPECT_FALSE(rig.server->session(0).probe.ANO);
  rig.clock.advance(1);
  rig.server->pass();
  EXPECT_TRUE(rig.server->session(0).probe.ANO);
  // A client that answers 64 keeps its session.
  rig.settle(c.get(), 3);
  EXPECT_FALSE(rig.server->session(0).probe.ANO);
  EXPECT_TRUE(rig.server->session(0).in_use);

  // A silent one is dropped 31 seconds after the probe.
  rig.clock.advance(61);
  rig.server->pass();
  ASSERT_TRUE(rig.server->session(0).probe.ANO);
  rig.clock.advance(30);
  rig.server->pass();
  EXPECT_TRUE(rig.server->session(0).in_use);
  rig.clock.advance(1);
  rig.server->pass();
  EXPECT_FALSE(rig.server->session(0).in_use);
  EXPECT_TRUE(rig.server->log().contains("Klient cislo 0 byl odpojen - timeout"));
}

TEST_F(Sessions, NinthClientWaitsForTheLowestFreeSlot) {
  std::vector<std::unique_ptr<Client>> clients;
  for (int i = 0; i < 8; ++i) clients.push_back(rig.connect("c" + std::to_string(i)));
  EXPECT_EQ(rig.server->session_count(), 8);
  auto ninth = rig.connect("c8");
  EXPECT_EQ(rig.server->session_count(), 8);
  EXPECT_EQ(rig.request(*clients[3], 20), 197);
  rig.settle();
  EXPECT_EQ(rig.server->session_count(), 8);
  EXPECT_TRUE(rig.server->log().contains("Klient cislo 3 se odpojil"));
  // The ninth is the one now in slot 3: it can use the list of slot 3.
  ASSERT_EQ(rig.request(*ninth, 10), 193);
  EXPECT_EQ(ninth->conn.BUFFERPACKET.ZISKEJRETEZEC(sl::kText, true), "sezn3");
}

TEST_F(Sessions, ClosedConnectionFreesItsSlotAtOnce) {
  auto c = rig.connect();
  ASSERT_EQ(rig.server->session_count(), 1);
  c->conn.THREADODPOJSE();
  rig.settle();
  EXPECT_EQ(rig.server->session_count(), 0);
}

TEST_F(Sessions, RightsTableDeniesWith231) {
  auto c = rig.connect();
  ASSERT_EQ(rig.login(*c, "ucen", "heslo"), 194);
  // No bit 0: opening a program is not permitted; nothing was executed.
  EXPECT_EQ(rig.request(*c, 40, [](Packet& b) { b.ULOZRETEZEC(sl::kText, true, "P1"); }), 231);
  EXPECT_EQ(rig.request(*c, 25, [](Packet& b) { b.ULOZRETEZEC(sl::kText, true, "novy"); }), 231);
  EXPECT_EQ(rig.server->users().id_by_name("novy"), -1);
  // Restart from anyone but the administrator: 231 and the server keeps running.
  EXPECT_EQ(rig.request(*c, 2), 231);
  rig.server->pass();
  EXPECT_FALSE(rig.server->stop_requested());
  // Codes without a handler are ignored without an answer; the session goes on.
  EXPECT_EQ(rig.request(*c, 3, [](Packet&) {}, 5), 0);
  EXPECT_EQ(rig.request(*c, 99, [](Packet&) {}, 5), 0);
  EXPECT_EQ(rig.request(*c, 13), 203);
}

TEST_F(Sessions, RestartCommandFromTheAdministrator) {
  auto c = rig.connect();
  ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  rig.server->session(0).user_id = 0;  // as if "admin" had logged in from the workshop network
  EXPECT_EQ(rig.request(*c, 2), 197);
  EXPECT_TRUE(rig.server->stop_requested());
  EXPECT_TRUE(rig.server->log().contains("Pozadavek na okamzity restart systemu KSV!"));
}

TEST_F(Sessions, ProgramOpenElsewhereRefusesChangesWith253) {
  auto c = rig.connect();
  ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  rig.dir.write_file("x.dst", "abc");
  rig.server->session(0).program_in_use_elsewhere = true;
  ASSERT_EQ(c->ZACNIODESILAT(rig.dir.path() + "x.dst"), 0);
  EXPECT_TRUE(rig.exchange(*c, 30));
  EXPECT_EQ(c->conn.INFOKLIENT.POSLAKCE, 253);
  EXPECT_EQ(rig.request(*c, 14, [](Packet& b) { b.ULOZRETEZEC(sl::kText, true, "Z1"); }), 253);
  EXPECT_FALSE(rig.dir.exists("temp/x.dst"));
}

TEST_F(Sessions, ServerTimeAndSplitPacketExecutedOnce) {
  auto c = rig.connect();
  ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  rig.clock.set(2026, 3, 10, 14, 25, 36);
  // 700 bytes first: nothing is executed; the rest completes the packet, executed exactly once.
  Packet p;
  p.NASTAVPRIKAZ(13, 0, true);
  ASSERT_EQ(::send(c->conn.ZASUVKA, p.bytes, 700, 0), 700);
  rig.settle(nullptr, 3);
  EXPECT_EQ(rig.server->session(0).last_request, 0);
  ASSERT_EQ(::send(c->conn.ZASUVKA, p.bytes + 700, 324, 0), 324);
  for (int i = 0; i < 100; ++i) {
    rig.server->pass();
    if (rig.server->session(0).last_request == 13) break;
    pollfd w{c->conn.ZASUVKA, POLLIN, 0};  // the reply shows the request was taken
    ::poll(&w, 1, 10);
  }
  EXPECT_EQ(rig.server->session(0).last_request, 13);
  rig.server->pass();
  EXPECT_EQ(rig.server->session(0).last_request, 0);
  int replies = 0;
  for (int i = 0; i < 5; ++i) {
    rig.wait_io(c.get());
    c->OBSLUHAKOMUNIKACE();
    if (c->conn.INFOKLIENT.POSLAKCE == 203) {
      ++replies;
      EXPECT_EQ(c->server_hour, 14);
      EXPECT_EQ(c->server_minute, 25);
      EXPECT_EQ(c->server_second, 36);
    }
  }
  EXPECT_EQ(replies, 1);
}

}  // namespace
}  // namespace ksv::server::testing
