// The messages: what the shared message file shows to whom, deleting one user's lines, long
// messages broken into rows, and the screen against a real server — reading, deleting, and a
// message with a receipt sent and received.
#include "client/keys.h"
#include "client/screens/messages/message_file.h"
#include "client/screens/messages/messages_screen.h"
#include "client/tests/fixture.h"
#include "protocol/rights.h"

namespace ksv::client::testing {
namespace {

int64_t bits(std::initializer_list<int> list) {
  int64_t r = 0;
  for (int b : list) NASTAVBIT(r, b);
  return r;
}

// ---------------------------------------------------------------------------- the file

TEST(MessageFile, OnlyOwnLinesWithTheSenderCutTo13) {
  const std::string file =
      "jana:petr:ahoj\n"
      "petr:jana:pro petra\n"
      "\n"
      "bez dvojtecky\n"
      "jana:Frantisek Novotny IV:dlouhe jmeno\r\n"  // 20 characters, written with CR LF
      "janak:petr:jiny uzivatel\n"
      "jana:SERVER:a: dvojtecka v textu";
  EXPECT_EQ(messages_for(file, "jana"),
            (std::vector<std::string>{"petr:ahoj", "Frantisek Nov:dlouhe jmeno",
                                      "SERVER:a: dvojtecka v textu"}));
  EXPECT_EQ(messages_for(file, "petr"), (std::vector<std::string>{"jana:pro petra"}));
  EXPECT_TRUE(messages_for(file, "nikdo").empty());
}

TEST(MessageFile, RemovingKeepsOtherUsersLinesAndDropsTheFileWhenNothingRemains) {
  ksv::testing::TempDir dir;
  const std::string path = dir / "zpravy.txt";
  dir.write_file("zpravy.txt", "jana:petr:1\npetr:jana:2\njana:SERVER:3\neva:jana:4\n");
  ASSERT_TRUE(remove_messages_of(path, "jana"));
  EXPECT_EQ(dir.read_file("zpravy.txt"), "petr:jana:2\neva:jana:4\n");
  EXPECT_FALSE(dir.exists("zpravy.txt.new"));
  ASSERT_TRUE(remove_messages_of(path, "petr"));
  ASSERT_TRUE(remove_messages_of(path, "eva"));
  EXPECT_FALSE(dir.exists("zpravy.txt"));
  // Nothing to delete is no failure.
  EXPECT_TRUE(remove_messages_of(path, "eva"));
}

TEST(MessageFile, LongMessagesBreakAtBlanksAndEveryRowFits) {
  auto fits20 = [](const std::string& s) { return s.size() <= 20; };
  EXPECT_EQ(wrap_message("petr:kratka", fits20), (std::vector<std::string>{"petr:kratka"}));
  EXPECT_EQ(wrap_message("petr:jedna dva tri ctyri pet sest", fits20),
            (std::vector<std::string>{"petr:jedna dva tri", "  ctyri pet sest"}));
  // A word longer than a row is cut where the row ends.
  const std::vector<std::string> rows = wrap_message("eva:" + std::string(50, 'x'), fits20);
  ASSERT_EQ(rows.size(), 3u);
  std::string joined;
  for (const std::string& r : rows) {
    EXPECT_LE(r.size(), 20u);
    joined += r.substr(r.rfind(' ') == std::string::npos ? 0 : r.rfind(' ') + 1);
  }
  EXPECT_EQ(joined, "eva:" + std::string(50, 'x'));
}

// ---------------------------------------------------------------------------- the screen

class MessagesScreen : public ClientTest {
 protected:
  void SetUp() override {
    with_units = true;
    start_server();
    add_user("petr", "p", bits({54}));
  }
  // Logged in as `name` and standing on the messages screen.
  void open_as(const std::string& name, int64_t rights) {
    add_user(name, "heslo", rights);
    open_client();
    login_directly(name, "heslo");
    Packet& b = f().compose();
    b.ULOZRETEZEC(slot::kText, true, name);
    ASSERT_EQ(f().request(27, "info"), 245);
    f().read_user_record();
    f().request_screen(9);
  }
  std::vector<std::string> shown() {
    std::vector<std::string> out;
    // A long message takes several rows; the continuations are put back onto it.
    for (const toolkit::TPrvek& e : app->tk.seznam.SEZNAM) {
      const std::string row = e.SPEC.substr(0, e.SPEC.find('\0'));
      if (row.rfind("  ", 0) == 0 && !out.empty())
        out.back() += " " + row.substr(2);
      else
        out.push_back(row);
    }
    return out;
  }
  // With KSV_SHOTS=DIR the screens are written there as PNG, to be looked at.
  void shot(const std::string& name) {
    if (const char* d = std::getenv("KSV_SHOTS")) hb().screenshot(std::string(d) + "/" + name + ".png");
  }
  bool on_screen_9() { return f().AKTUALNIOBRAZOVKA == 9 && settled(); }
};

TEST_F(MessagesScreen, ShowsOwnMessagesAndDeleteKeepsTheOtherUsersLines) {
  dir.write_file("client/temp/zpravy.txt",
                 "jana:Frantisek Novotny IV:ahoj\npetr:jana:pro petra\njana:petr:druha\n");
  open_as("jana", bits({54}));
  // The notice of a new message is taken back once the messages are on the screen.
  f().STAVOVYRADEK(f().text("message"));
  f().message_announced = true;
  bool checked = false;
  when([this] { return on_screen_9(); }, [&, this] {
    EXPECT_EQ(f().status_text, f().text("wait"));
    EXPECT_FALSE(f().message_announced);
    EXPECT_EQ(shown(), (std::vector<std::string>{"Frantisek Nov:ahoj", "petr:druha"}));
    checked = true;
    key(keys::kCtrlE);
  });
  when_modal(Modal::kConfirm, [this] { key(13); });
  ASSERT_TRUE(run_until([&] { return checked && f().modal.kind == Modal::kNone && shown().empty(); }));
  EXPECT_EQ(dir.read_file("client/temp/zpravy.txt"), "petr:jana:pro petra\n");
}

TEST_F(MessagesScreen, MessageWithReceiptArrivesWithItsReceipt) {
  open_as("jana", bits({54, 63}));
  when([this] { return on_screen_9(); }, [this] { hb().extended_key(keys::kInsert); });
  when_modal(Modal::kUserList, [this] { choose_user("jana"); });
  when_modal(Modal::kInput, [this] { type("Obed ve 12, potom porada v kancelari u vedouci dilny a pak jeste kontrola"); });
  int polls = 0;
  when([&] { return ++polls > 30; }, [this] { shot("zprava"); key(keys::kCtrlD); });
  ASSERT_TRUE(run_until([this] { return shown().size() == 2; }));
  shot("zpravy");
  EXPECT_EQ(shown(), (std::vector<std::string>{"jana:Obed ve 12, potom porada v kancelari u vedouci dilny a pak jeste kontrola", "SERVER:Zprava pro jana byla dorucena"}));
  EXPECT_EQ(f().requests_sent[15], 1);
  EXPECT_EQ(dir.read_file("client/temp/zpravy.txt"),
            "jana:jana:Obed ve 12, potom porada v kancelari u vedouci dilny a pak jeste kontrola\njana:SERVER:Zprava pro jana byla dorucena\n");
}

TEST_F(MessagesScreen, WithoutRight63NothingCanBeSent) {
  open_as("jana", bits({54}));
  int polls = 0;
  when([this] { return on_screen_9(); }, [this] { hb().extended_key(keys::kInsert); });
  ASSERT_TRUE(run_until([&] { return f().AKTUALNIOBRAZOVKA == 9 && ++polls > 200; }));
  EXPECT_EQ(f().modal.kind, Modal::kNone);
  EXPECT_EQ(f().requests_sent[15], 0);
}

}  // namespace
}  // namespace ksv::client::testing
