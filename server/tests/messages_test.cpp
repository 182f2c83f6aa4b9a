// Messages over loopback: storing, delivery at the next login, one offer per pass, the receipt,
// a session that ends before confirming; the administrator's "$" commands, with "get" kept
// inside the data tree.
#include <sys/stat.h>
#include <unistd.h>

#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "server/core/device_handlers.h"
#include "server/tests/device_fakes.h"
#include "server/tests/rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

constexpr int64_t kMessageRights = (int64_t(1) << 54) | (int64_t(1) << 63);

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    units = std::make_unique<ServerUnits>(*rig.server, ServerConfig{});
    ASSERT_EQ(rig.start(), 0);
    petr = rig.add_user("petr", "p", kMessageRights);
    jana = rig.add_user("jana", "j", kMessageRights);
    rig.add_user("host", "h", int64_t(1) << 63);  // may send, may not receive
  }

  int send(Client& c, const std::string& to, const std::string& text, bool receipt = false) {
    return rig.request(c, 15, [&](Packet& b) {
      b.bytes[4] = receipt ? 1 : 0;
      b.ULOZRETEZEC(sl::kData, true, to);
      b.ULOZRETEZEC(sl::kText2, true, text);
    });
  }
  std::vector<std::string> stored() { return units->messages.names(); }
  std::string inbox(Client& c) { return rig.dir.read_file(c.ADRESAREXE.substr(rig.dir.path().size()) + "temp/zpravy.txt"); }
  // Client steps and server passes, as both programs run side by side.
  void run(Client& c, int rounds = 6) {
    for (int i = 0; i < rounds; ++i) {
      c.OBSLUHAKOMUNIKACE();
      rig.server->pass();
    }
  }
  std::unique_ptr<Client> logged_in(const std::string& name, const std::string& password) {
    auto c = rig.connect(name);
    EXPECT_EQ(rig.login(*c, name, password), 194);
    return c;
  }

  Rig rig;
  std::unique_ptr<ServerUnits> units;
  int32_t petr = -1, jana = -1;
};

TEST_F(Messages, AbsentUserGetsTheMessageAtTheNextLogin) {
  auto p = logged_in("petr", "p");
  EXPECT_EQ(send(*p, "jana", "Ahoj Jano"), 241);
  ASSERT_EQ(stored().size(), 1u);
  std::optional<TZprava> m = units->messages.read(stored()[0]);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->KOMU, jana);
  EXPECT_EQ(m->ODKOHO, petr);
  EXPECT_EQ(m->OBSAH.str(), "Ahoj Jano");
  EXPECT_LT(std::stoi(stored()[0]), kMessageNames);
  run(*p);
  EXPECT_EQ(stored().size(), 1u);  // nobody to give it to

  auto j = logged_in("jana", "j");
  run(*j);
  EXPECT_NE(inbox(*j).find(":petr:Ahoj Jano\n"), std::string::npos);
  EXPECT_TRUE(stored().empty());  // confirmed and gone
  EXPECT_TRUE(rig.server->log().contains("Odesilam kratkou zpravu uzivateli jana"));
  EXPECT_EQ(inbox(*p), "");
}

TEST_F(Messages, UnknownRecipientOrOneWhoMayNotReceiveIsRefused) {
  auto p = logged_in("petr", "p");
  EXPECT_EQ(send(*p, "nikdo", "?"), 254);
  EXPECT_EQ(send(*p, "host", "?"), 254);
  EXPECT_TRUE(stored().empty());
}

TEST_F(Messages, ReceiptComesBackFromTheServerAfterConfirmation) {
  auto p = logged_in("petr", "p");
  auto j = logged_in("jana", "j");
  EXPECT_EQ(send(*p, "jana", "Vzorek hotov", true), 241);
  for (int i = 0; i < 8; ++i) {
    p->OBSLUHAKOMUNIKACE();
    j->OBSLUHAKOMUNIKACE();
    rig.server->pass();
  }
  EXPECT_NE(inbox(*j).find(":petr:Vzorek hotov\n"), std::string::npos);
  EXPECT_NE(inbox(*p).find(":SERVER:Zprava pro jana byla dorucena\n"), std::string::npos);
  EXPECT_TRUE(stored().empty());
}

TEST_F(Messages, OneOfferPerSessionUntilConfirmed) {
  auto p = logged_in("petr", "p");
  EXPECT_EQ(send(*p, "jana", "prvni"), 241);
  EXPECT_EQ(send(*p, "jana", "druha"), 241);
  auto j = logged_in("jana", "j");
  const int slot = rig.slot_of_last();

  rig.server->pass();  // offered, not yet confirmed
  const std::string first = rig.server->session(slot).message_in_delivery;
  ASSERT_FALSE(first.empty());
  rig.server->pass();
  rig.server->pass();
  EXPECT_EQ(rig.server->session(slot).message_in_delivery, first);
  EXPECT_EQ(stored().size(), 2u);

  j->OBSLUHAKOMUNIKACE();  // takes the message, confirms
  rig.server->pass();      // the confirmation, then the next offer
  EXPECT_EQ(stored().size(), 1u);
  EXPECT_FALSE(units->messages.read(first));
  run(*j);
  EXPECT_TRUE(stored().empty());
  std::string in = inbox(*j);
  EXPECT_NE(in.find("prvni"), std::string::npos);
  EXPECT_NE(in.find("druha"), std::string::npos);
}

TEST_F(Messages, SessionThatEndsBeforeConfirmingGetsTheMessageAgain) {
  auto p = logged_in("petr", "p");
  EXPECT_EQ(send(*p, "jana", "znovu"), 241);
  {
    auto j = logged_in("jana", "j");
    const int slot = rig.slot_of_last();
    rig.server->pass();
    EXPECT_FALSE(rig.server->session(slot).message_in_delivery.empty());
    ::close(j->conn.ZASUVKA);  // the program is gone without a word
    j->conn.INFOKLIENT.SPOJENO = false;
    rig.settle();
  }
  EXPECT_EQ(stored().size(), 1u);
  auto again = logged_in("jana", "j");
  run(*again);
  EXPECT_NE(inbox(*again).find(":petr:znovu\n"), std::string::npos);
  EXPECT_TRUE(stored().empty());
}

// The administrator may only log in from the workshop network; here a logged-in session is
// made the administrator's by hand.
class AdminCommands : public Messages {
 protected:
  std::unique_ptr<Client> admin() {
    auto c = logged_in("petr", "p");
    rig.server->session(rig.slot_of_last()).user_id = 0;
    return c;
  }
  std::string answer_to(Client& c, const std::string& command) {
    EXPECT_EQ(send(c, "admin", command), 241);
    EXPECT_EQ(stored().size(), 1u);
    std::optional<TZprava> m = stored().empty() ? std::nullopt : units->messages.read(stored()[0]);
    units->messages.erase_all();
    return m ? m->OBSAH.str() : "";
  }
};

TEST_F(AdminCommands, HelpUnknownAndDelmes) {
  auto a = admin();
  EXPECT_EQ(answer_to(*a, "$help"), "delmes; get dir/file");
  EXPECT_EQ(answer_to(*a, "$format c:"), "Neznamy prikaz");

  EXPECT_EQ(send(*a, "jana", "k uklizeni"), 241);
  EXPECT_EQ(answer_to(*a, "$delmes"), "delmes OK");
  EXPECT_TRUE(stored().empty());

  // Only the administrator's note to himself is a command.
  EXPECT_EQ(send(*a, "jana", "$help"), 241);
  EXPECT_EQ(units->messages.read(stored()[0])->OBSAH.str(), "$help");
}

TEST_F(AdminCommands, HelpReachesTheAdministratorsProgram) {
  auto a = admin();
  EXPECT_EQ(send(*a, "admin", "$help"), 241);
  run(*a);
  EXPECT_NE(inbox(*a).find(":admin:delmes; get dir/file\n"), std::string::npos);
}

TEST_F(AdminCommands, GetCopiesFilesOfTheTreeAndNothingElse) {
  rig.dir.write_file("databaze/Z1/poznamka.txt", "obsah zakazky");
  rig.dir.write_file("../ksv-outside-secret.txt", "tajne");
  ::symlink("/etc/hostname", (rig.dir / "odkaz").c_str());
  auto a = admin();
  EXPECT_EQ(answer_to(*a, "$get databaze/Z1/poznamka.txt"), "$download poznamka.txt");
  EXPECT_EQ(rig.dir.read_file("temp/poznamka.txt"), "obsah zakazky");
  EXPECT_EQ(answer_to(*a, "$get kalkul.dat"), "$download kalkul.dat");
  EXPECT_EQ(answer_to(*a, "$get temp/kalkul.dat"), "$download kalkul.dat");  // already there
  EXPECT_EQ(rig.dir.file_size("temp/kalkul.dat"), long(sizeof(TKalkulace)));

  EXPECT_EQ(answer_to(*a, "$get ../ksv-outside-secret.txt"), "get FAIL");
  EXPECT_EQ(answer_to(*a, "$get databaze/../../ksv-outside-secret.txt"), "get FAIL");
  EXPECT_EQ(answer_to(*a, "$get /etc/passwd"), "get FAIL");
  EXPECT_EQ(answer_to(*a, "$get odkaz"), "get FAIL");
  EXPECT_EQ(answer_to(*a, "$get neni.txt"), "get FAIL");
  EXPECT_EQ(answer_to(*a, "$get databaze"), "get FAIL");
  EXPECT_FALSE(rig.dir.exists("temp/ksv-outside-secret.txt"));
  EXPECT_FALSE(rig.dir.exists("temp/passwd"));
  EXPECT_FALSE(rig.dir.exists("temp/odkaz"));
  ::unlink((rig.dir.path() + "../ksv-outside-secret.txt").c_str());
}

TEST_F(AdminCommands, DownloadOrderFetchesTheFileIntoTheProgram) {
  rig.dir.write_file("databaze/Z7/vzor.txt", std::string(3000, 'v'));
  auto a = admin();
  a->conn.INFOKLIENT.MOJEID = 0;  // the administrator's program
  EXPECT_EQ(send(*a, "admin", "$get databaze/Z7/vzor.txt"), 241);
  run(*a, 20);
  EXPECT_EQ(rig.dir.read_file("petr/temp/vzor.txt"), std::string(3000, 'v'));
}

}  // namespace
}  // namespace ksv::server::testing

namespace ksv::server::testing {
namespace {

// Delivery asks the store for one recipient's messages; the store answers from an index that
// follows its own writes instead of reading every message file on every pass.
TEST(MessageIndex, FollowsStoreAndEraseWithoutRescanning) {
  ksv::testing::TempDir dir;
  dir.write_file("zpravy/.keep", "");
  MessageStore store(dir / "zpravy/");
  std::optional<std::string> old_one = store.store(make_message(5, "stara", -1, false));
  ASSERT_TRUE(old_one);
  EXPECT_EQ(store.waiting_for(5), std::vector<std::string>{*old_one});  // read from disk once
  std::vector<std::string> for_five = {*old_one};
  for (int i = 0; i < 3; ++i)
    for_five.push_back(store.store(make_message(5, "m", 1, false)).value());
  const std::string for_seven = store.store(make_message(7, "x", 1, false)).value();
  EXPECT_EQ(store.waiting_for(5), for_five);
  EXPECT_EQ(store.waiting_for(7), std::vector<std::string>{for_seven});
  EXPECT_TRUE(store.waiting_for(9).empty());

  ASSERT_TRUE(store.erase(for_five[1]));
  for_five.erase(for_five.begin() + 1);
  EXPECT_EQ(store.waiting_for(5), for_five);

  // A file put there behind the store's back is not looked for on every call; a store opened
  // anew (the next start) reads it.
  TZprava stray = make_message(9, "zvenku", -1, false);
  ASSERT_TRUE(write_records<TZprava>(dir / "zpravy/424242", std::vector<TZprava>{stray}));
  EXPECT_TRUE(store.waiting_for(9).empty());
  MessageStore reopened(dir / "zpravy/");
  EXPECT_EQ(reopened.waiting_for(9), std::vector<std::string>{"424242"});
  EXPECT_EQ(reopened.waiting_for(5).size(), 3u);

  ASSERT_TRUE(store.erase_all());
  EXPECT_TRUE(store.waiting_for(5).empty());
  EXPECT_TRUE(store.waiting_for(9).empty());
}

}  // namespace
}  // namespace ksv::server::testing
