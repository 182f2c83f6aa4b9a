// Start-up and maintenance: the fresh data tree with its exact file sizes, the signature, the
// restart file, start-up failures with their exit codes, the nightly cleaning with its daily
// flags and retention, and the log file.
#include <cstring>
#include <filesystem>

#include "protocol/record_file.h"
#include "server/tests/rig.h"

namespace ksv::server::testing {
namespace {

TEST(Startup, FreshDirectoryGetsTheWholeTree) {
  Rig rig(false);
  rig.dir.write_file("temp/stale", "x");
  rig.dir.write_file("restart", "");
  ASSERT_EQ(rig.start(), 0);
  for (const char* d : {"databaze", "umisten", "dochazka", "zpravy", "log", "alarm", "kamery/0",
                        "kamery/1", "temp"})
    EXPECT_TRUE(std::filesystem::is_directory(rig.dir.path() + d)) << d;
  const std::pair<const char*, long> sizes[] = {
      {"uzivatel.dat", 2 * 808}, {"umisten.dat", 44},   {"nite.dat", 35},    {"material.dat", 260},
      {"alarm.dat", 272},        {"kalkul.dat", 1016},  {"kamery.dat", 1460}, {"kalendar.dat", 384}};
  for (const auto& [name, size] : sizes) EXPECT_EQ(rig.dir.file_size(name), size) << name;
  EXPECT_EQ(rig.dir.read_file("kalkul.dat"), std::string(1016, '\0'));
  auto users = read_records<TPrava>(rig.dir.path() + "uzivatel.dat").value();
  EXPECT_EQ(users[0].ID, 0);
  EXPECT_TRUE(users[0].UZIVATEL.empty());
  EXPECT_EQ(users[1].UZIVATEL.str(), "admin");
  EXPECT_EQ(users[1].HESLO.str(), "vlna");
  EXPECT_EQ(int64_t(users[1].PRAVA), -1);
  // "temp" starts empty, the restart file of the last stop is gone, and the start is logged.
  EXPECT_FALSE(rig.dir.exists("temp/stale"));
  EXPECT_FALSE(rig.dir.exists("restart"));
  EXPECT_TRUE(rig.server->log().contains("Nahrano 0 bytu signatury."));
  EXPECT_TRUE(rig.server->log().contains("Server KSV spusten: 10.03.2026 10:00:00"));
  // Every line also lands in the day's log file.
  EXPECT_NE(rig.dir.read_file("log/2026-03-10.log").find("Server KSV spusten"), std::string::npos);

  // A second start keeps what is there.
  rig.server->users().create("mistr", "x", "", 0);
  rig.server->shutdown();
  DataTree tree(rig.dir.path());
  EXPECT_EQ(tree.create(), 0);
  EXPECT_EQ(rig.dir.file_size("uzivatel.dat"), 3 * 808);
}

TEST(Startup, ShortSignatureIsPaddedWithZeros) {
  Rig rig(false);
  rig.dir.write_file("signature", std::string(100, 'S'));
  ASSERT_EQ(rig.start(), 0);
  EXPECT_TRUE(rig.server->log().contains("Nahrano 100 bytu signatury."));
  EXPECT_EQ(rig.server->signature_count(), 100);
  EXPECT_EQ(rig.server->signature()[99], 'S');
  for (int i = 100; i < 256; ++i) ASSERT_EQ(rig.server->signature()[i], 0);
}

TEST(Startup, DirectoryThatCannotBeMadeEndsWithItsExitCode) {
  {
    Rig rig;
    rig.dir.write_file("databaze", "a file in the way");
    EXPECT_EQ(rig.start(), kExitDatabaze);
  }
  {
    Rig rig;
    rig.dir.write_file("log", "a file in the way");
    EXPECT_EQ(rig.start(), kExitLog);
  }
}

TEST(Startup, PortInUseEndsWithExitCode2) {
  Rig first;
  ASSERT_EQ(first.start(), 0);
  ksv::testing::TempDir other;
  ServerOptions o;
  o.base_dir = other.path();
  o.port = first.server->port();
  o.listen_address = "127.0.0.1";
  o.console_log = false;
  o.accept_thread = false;
  Server second(first.clock, o);
  EXPECT_EQ(second.start(), kExitSocket);
}

TEST(Startup, RestartFileStopsTheServerWithinOnePass) {
  Rig rig;
  ASSERT_EQ(rig.start(), 0);
  rig.server->pass();
  EXPECT_FALSE(rig.server->stop_requested());
  rig.dir.write_file("restart", "");
  rig.server->pass();
  EXPECT_TRUE(rig.server->stop_requested());
  EXPECT_TRUE(rig.server->log().contains("Server KSV db se restartuje ..."));
}

TEST(Startup, RunWithTheRealAcceptThreadServesAndStops) {
  // The program's own loop: accept thread, poll-based pauses, stop by the restart file.
  ksv::testing::TempDir dir;
  RealClock clock;
  ServerOptions o;
  o.base_dir = dir.path();
  o.port = 0;
  o.listen_address = "127.0.0.1";
  o.console_log = false;
  Server server(clock, o);
  ASSERT_EQ(server.start(), 0);
  Client c(clock, dir.path() + "client");
  c.conn.port = server.port();
  c.conn.THREADPRIPOJSENASERVER();
  ASSERT_TRUE(c.conn.INFOKLIENT.SPOJENO);
  Rig::compose(c, 10);  // the signature is all zeros here: no signature file
  std::memset(c.conn.BUFFERPACKET.bytes + 768, 0, 256);
  bool answered = false;
  for (int i = 0; i < 100 && !answered; ++i) {
    server.pass();
    c.OBSLUHAKOMUNIKACE();
    answered = c.conn.INFOKLIENT.POSLAKCE == 193;
  }
  EXPECT_TRUE(answered);
  dir.write_file("restart", "");
  for (int i = 0; i < 10 && !server.stop_requested(); ++i) server.pass();
  EXPECT_TRUE(server.stop_requested());
  server.shutdown();
}

class Nightly : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig.start(), 0);
    for (const char* d : {"kamery/0/2026-01-05", "kamery/0/2025-12-31", "kamery/0/2025-11-30",
                          "kamery/1/2024-01-01", "dochazka/2026-01-01", "dochazka/2025-06-01",
                          "dochazka/2024-12-31"})
      rig.dir.write_file(std::string(d) + "/f.jpg", "x");
    for (const char* f : {"log/2026-01-01.log", "log/2025-12-31.log", "log/2025-11-30.log"})
      rig.dir.write_file(f, "x");
  }
  // Passes until the night's work is done (one cleaning per pass).
  void night_passes() {
    for (int i = 0; i < 6; ++i) rig.server->pass();
  }
  int count(const std::string& line) {
    int n = 0;
    for (const std::string& l : rig.server->log().lines()) n += l == line;
    return n;
  }
  Rig rig;
};

TEST_F(Nightly, CleansOncePerNightKeepingCurrentAndPreviousPeriods) {
  rig.clock.set(2026, 1, 1, 0, 30, 0);
  rig.dir.write_file("temp/sezn0", "x");
  night_passes();
  EXPECT_TRUE(rig.dir.exists("kamery/0/2026-01-05/f.jpg"));
  EXPECT_TRUE(rig.dir.exists("kamery/0/2025-12-31/f.jpg"));
  EXPECT_FALSE(std::filesystem::exists(rig.dir.path() + "kamery/0/2025-11-30"));
  EXPECT_FALSE(std::filesystem::exists(rig.dir.path() + "kamery/1/2024-01-01"));
  EXPECT_TRUE(rig.dir.exists("dochazka/2026-01-01/f.jpg"));
  EXPECT_TRUE(rig.dir.exists("dochazka/2025-06-01/f.jpg"));
  EXPECT_FALSE(std::filesystem::exists(rig.dir.path() + "dochazka/2024-12-31"));
  EXPECT_TRUE(rig.dir.exists("log/2026-01-01.log"));
  EXPECT_TRUE(rig.dir.exists("log/2025-12-31.log"));
  EXPECT_FALSE(rig.dir.exists("log/2025-11-30.log"));
  EXPECT_FALSE(rig.dir.exists("temp/sezn0"));
  for (const char* line : {"Probiha cisteni zaznamu kamer ...", "Probiha cisteni TEMP adresare ...",
                           "Probiha cisteni LOG souboru ...",
                           "Probiha cisteni zaznamu dochazky ..."})
    EXPECT_EQ(count(line), 1) << line;

  // Later that night nothing runs again.
  rig.dir.write_file("log/2025-10-01.log", "x");
  rig.clock.set(2026, 1, 1, 0, 50, 0);
  night_passes();
  EXPECT_TRUE(rig.dir.exists("log/2025-10-01.log"));
  EXPECT_EQ(count("Probiha cisteni LOG souboru ..."), 1);

  // 23:00 clears the flags; the next night cleans again.
  rig.clock.set(2026, 1, 1, 23, 1, 0);
  rig.server->pass();
  EXPECT_FALSE(rig.server->daily_flags().log);
  rig.clock.set(2026, 1, 2, 0, 10, 0);
  night_passes();
  EXPECT_FALSE(rig.dir.exists("log/2025-10-01.log"));
  EXPECT_EQ(count("Probiha cisteni LOG souboru ..."), 2);
}

TEST_F(Nightly, TempIsKeptWhileAClientIsConnected) {
  rig.add_user("mistr", "tajne");
  auto c = rig.connect();
  rig.dir.write_file("temp/sezn0", "x");
  rig.clock.set(2026, 3, 11, 0, 30, 0);
  night_passes();
  EXPECT_TRUE(rig.dir.exists("temp/sezn0"));
  EXPECT_EQ(count("Probiha cisteni TEMP adresare ..."), 0);
  EXPECT_EQ(count("Probiha cisteni zaznamu kamer ..."), 1);
  EXPECT_EQ(count("Probiha cisteni LOG souboru ..."), 1);
  EXPECT_EQ(count("Probiha cisteni zaznamu dochazky ..."), 1);
  // Outside hour 0 nothing is cleaned even when the client has gone.
  c->conn.THREADODPOJSE();
  rig.clock.set(2026, 3, 11, 1, 0, 0);
  night_passes();
  EXPECT_TRUE(rig.dir.exists("temp/sezn0"));
}

}  // namespace
}  // namespace ksv::server::testing
