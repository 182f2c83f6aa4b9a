// Nothing lost: a broken upload leaves the old file, order and program changes are all or
// nothing (on a full disk, with unexpected files, and across kill -9 at random moments), and
// the leftovers of unfinished writes are cleared at start.
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "protocol/record_file.h"
#include "server/tests/small_disk.h"
#include "server/tests/store_rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

// Every name under `dir`, recursively, relative to it ("a/b/c").
void walk(const std::string& dir, const std::string& rel, std::vector<std::string>& out) {
  DIR* d = ::opendir((dir + rel).c_str());
  if (!d) return;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    out.push_back(rel + n);
    if (e->d_type == DT_DIR) walk(dir, rel + n + "/", out);
  }
  ::closedir(d);
}
std::vector<std::string> tree(const std::string& dir) {
  std::vector<std::string> out;
  walk(dir, "", out);
  std::sort(out.begin(), out.end());
  return out;
}
bool any_leftover(const std::string& dir) {
  for (const std::string& p : tree(dir))
    if (p.find(kAtomicTempPrefix) != std::string::npos) return true;
  return false;
}

// The orders tree is whole: every order has its header, every program its record.
void expect_whole_orders(const std::string& databaze) {
  for (const std::string& p : tree(databaze)) {
    const size_t depth = size_t(std::count(p.begin(), p.end(), '/'));
    struct stat st {};
    ::stat((databaze + p).c_str(), &st);
    if (!S_ISDIR(st.st_mode)) continue;
    if (depth == 0) {
      EXPECT_TRUE(read_record<TPolozkaDatabanky>(databaze + p + "/info.dat", 0)) << p;
    } else if (depth == 1) {
      EXPECT_TRUE(read_record<TProgramZak>(databaze + p + "/prog.dat", 0)) << p;
    }
  }
}

TEST(Durability, BrokenUploadLeavesTheOldFile) {
  Rig rig;
  ASSERT_EQ(rig.start(), 0);
  rig.add_user("mistr", "tajne", -1);
  auto c = rig.connect();
  ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  auto text = [&](uint8_t code, const std::string& s) {
    return rig.request(*c, code, [&](Packet& b) { b.ULOZRETEZEC(sl::kText, true, s); });
  };
  ASSERT_EQ(text(19, "Z1"), 224);
  ASSERT_EQ(text(17, "Z1"), 225);
  ASSERT_EQ(text(42, "P1"), 229);
  ASSERT_EQ(text(40, "P1"), 227);
  const std::string old_dst(2500, 'o');
  rig.dir.write_file("client/temp/prog.dst", old_dst);
  ASSERT_EQ(c->ZACNIODESILAT(rig.dir.path() + "client/temp/prog.dst"), 0);
  ASSERT_TRUE(rig.finish_transfer(*c));
  ASSERT_EQ(rig.dir.read_file("databaze/z1/p1/prog.dst"), old_dst);

  // A new version breaks off after its first block.
  rig.dir.write_file("client/temp/prog.dst", std::string(3000, 'n'));
  ASSERT_EQ(c->ZACNIODESILAT(rig.dir.path() + "client/temp/prog.dst"), 0);
  for (int i = 0; i < 50 && c->conn.INFOKLIENT.PRENESENO == 0; ++i) {
    c->OBSLUHAKOMUNIKACE();
    rig.wait_io(c.get());
    rig.server->pass();
  }
  ASSERT_GT(c->conn.INFOKLIENT.PRENESENO, 0);
  ASSERT_LT(c->conn.INFOKLIENT.PRENESENO, 3000);
  c->conn.THREADODPOJSE();
  rig.settle();
  EXPECT_EQ(rig.server->session_count(), 0);
  EXPECT_EQ(rig.dir.read_file("databaze/z1/p1/prog.dst"), old_dst);
  EXPECT_FALSE(any_leftover(rig.dir.path() + "databaze/"));

  // Our temporary names cannot be uploaded, in any case of letters.
  auto d = rig.connect("d");
  ASSERT_EQ(rig.login(*d, "mistr", "tajne"), 194);
  for (const char* name : {".ksv-tmp-abc", ".KSV-TMP-x"}) {
    EXPECT_EQ(rig.request(*d, 30,
                          [&](Packet& b) {
                            b.NASTAVPRIKAZ(30, 0, false);
                            b.ULOZRETEZEC(sl::kText, true, name);
                          }),
              254)
        << name;
  }
  EXPECT_FALSE(any_leftover(rig.dir.path() + "temp/"));
}

TEST(Durability, DeleteRemovesTheWholeOrderWhateverItHolds) {
  StoreRig st;
  st.seat(0, "mistr");
  st.open(0, "Z1", "P1");
  st.compose(41);
  ASSERT_EQ(st.run(0), 228);
  st.compose(18);
  ASSERT_EQ(st.run(0), 226);
  st.rig.dir.write_file("databaze/z1/.ksv-tmp-cizi", "a crash leftover");
  st.rig.dir.write_file("databaze/z1/p1/.ksv-tmp-jiny", "another");
  st.rig.dir.write_file("databaze/z1/p1/vzor.pdf", "attachment");
  EXPECT_EQ(st.text(0, 14, "Z1"), 223);
  EXPECT_EQ(tree(st.path("databaze/")), std::vector<std::string>{});
  // An order that is not there: refused, nothing touched.
  EXPECT_EQ(st.text(0, 14, "Z1"), 254);
}

TEST(Durability, StartRemovesLeftoversOfUnfinishedWrites) {
  Rig rig;
  rig.dir.write_file("databaze/z1/info.dat", std::string(1072, '\0'));
  rig.dir.write_file("databaze/z1/.ksv-tmp-Ab12Cd", "half a header");
  rig.dir.write_file("databaze/z1/p1/prog.dat", std::string(1420, '\0'));
  rig.dir.write_file("databaze/z1/p1/.ksv-tmp-upload", "half a stitch file");
  rig.dir.write_file("databaze/.ksv-tmp-new123/info.dat", "an order being built");
  rig.dir.write_file("databaze/.ksv-tmp-del456/x/prog.dat", "an order being deleted");
  rig.dir.write_file(".ksv-tmp-users", "a user file being rewritten");
  ASSERT_EQ(rig.start(), 0);
  EXPECT_FALSE(any_leftover(rig.dir.path()));
  EXPECT_TRUE(rig.dir.exists("databaze/z1/info.dat"));
  EXPECT_TRUE(rig.dir.exists("databaze/z1/p1/prog.dat"));
  EXPECT_TRUE(rig.server->log().contains("Odstraneny nedokoncene zapisy: 5"));
}

TEST(Durability, FailedCreateAndCopyOnAFullDiskLeaveNothing) {
  KSV_ON_SMALL_DISK([] {
    StoreRig st;
    st.seat(0, "mistr");
    st.open(0, "Z1", "P1");
    st.compose(41);
    ASSERT_EQ(st.run(0), 228);
    const std::vector<std::string> before = tree(st.path("databaze/"));
    fill_disk(st.base());
    EXPECT_EQ(st.text(0, 42, "P2"), 254);
    st.compose(18);
    ASSERT_EQ(st.run(0), 226);
    EXPECT_EQ(st.text(0, 19, "Z2"), 254);
    Packet& b = st.compose(16);
    b.ULOZRETEZEC(sl::kText, true, "Z1");
    b.ULOZRETEZEC(sl::kText2, true, "Z3");
    b.ULOZCISLO(600, 1);
    b.ULOZRETEZEC(604 + 17, false, "P1");
    EXPECT_EQ(st.run(0), 254);
    EXPECT_EQ(tree(st.path("databaze/")), before);
    // With room again, the same number and code are free.
    ::unlink((st.base() + "filler").c_str());
    EXPECT_EQ(st.text(0, 19, "Z2"), 224);
    ASSERT_EQ(st.text(0, 17, "Z1"), 225);
    EXPECT_EQ(st.text(0, 42, "P2"), 229);
  });
}

// A server process doing write-heavy work is killed at a random moment; the tree it leaves must
// be whole after the next start.
TEST(Durability, KilledAtRandomMomentsTheTreeStaysWhole) {
  ksv::testing::TempDir dir;
  std::mt19937 random(20261209);
  for (int trial = 0; trial < 20; ++trial) {
    SCOPED_TRACE(trial);
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // The child: orders and programs made, copied and deleted as fast as it can.
      FakeClock clock(2026, 3, 10, 10, 0, 0);
      ServerOptions o;
      o.base_dir = dir.path();
      o.port = 0;
      o.listen_address = "127.0.0.1";
      o.accept_thread = false;
      o.pauses = false;
      o.console_log = false;
      Server server(clock, o);
      if (server.start() != 0) ::_exit(2);
      int32_t id = -1;
      server.users().create("w" + std::to_string(trial), "h", "", -1, &id);
      TKlient& k = server.session(0);
      k.in_use = true;
      k.user_id = id;
      k.rights = -1;
      auto text = [&](uint8_t code, const std::string& s) {
        Packet& b = server.buffer();
        b.clear();
        b.NASTAVPRIKAZ(code, 0, true);
        b.ULOZRETEZEC(sl::kText, true, s);
        return server.execute(0);
      };
      for (int i = 0;; ++i) {
        const std::string n = "T" + std::to_string(trial) + "-" + std::to_string(i);
        text(19, n);
        text(17, n);
        text(42, "A");
        text(42, "B");
        text(18, "");
        Packet& b = server.buffer();
        b.clear();
        b.NASTAVPRIKAZ(16, 0, true);
        b.ULOZRETEZEC(sl::kText, true, n);
        b.ULOZRETEZEC(sl::kText2, true, n + "c");
        b.ULOZCISLO(600, 2);
        b.ULOZRETEZEC(604 + 17, false, "a");
        b.ULOZRETEZEC(604 + 34, false, "b");
        server.execute(0);
        text(14, n);
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(20000 + random() % 60000));
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself";

    FakeClock clock(2026, 3, 10, 11, 0, 0);
    ServerOptions o;
    o.base_dir = dir.path();
    o.port = 0;
    o.listen_address = "127.0.0.1";
    o.accept_thread = false;
    o.pauses = false;
    o.console_log = false;
    Server after(clock, o);
    ASSERT_EQ(after.start(), 0);
    EXPECT_FALSE(any_leftover(dir.path()));
    expect_whole_orders(dir.path() + "databaze/");
    EXPECT_TRUE(read_records<TPrava>(dir.path() + "uzivatel.dat"));
  }
}

}  // namespace
}  // namespace ksv::server::testing
