// The client's command execution against a scripted server on the other end of a socket pair:
// liveness, download and upload blocks, pushed messages and download orders, refusals, the
// request-to-reply table, and the file routines.
#include "protocol/client.h"

#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <set>

#include <gtest/gtest.h>

#include "protocol/commands.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv {
namespace {

namespace sl = ksv::slot;

class ClientSide : public ::testing::Test {
 protected:
  ClientSide() : clock(2026, 3, 10, 10, 0, 0), client(clock, dir.path()) {
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fd), 0);
    net::set_nonblocking(fd[0]);
    net::set_nonblocking(fd[1]);
    client.conn.ZASUVKA = fd[0];
    client.conn.INFOKLIENT.SPOJENO = true;
    client.conn.stamp_activity();
    dir.write_file("temp/.keep", "");
  }
  ~ClientSide() override {
    client.conn.THREADODPOJSE();  // closes fd[0]
    ::close(fd[1]);
  }
  // The server's side: send a packet, take what the client sent (code 0 when nothing).
  void send(const Packet& p) { ASSERT_TRUE(net::send_all(fd[1], p.bytes, kPacketSize)); }
  Packet take() {
    Packet p;
    if (net::peek_packet(fd[1], p) == net::Waiting::kWhole) net::recv_packet(fd[1], p);
    else p.clear();
    return p;
  }
  Packet reply(uint8_t code, uint16_t block = 0, bool flag = true) {
    Packet p;
    p.NASTAVPRIKAZ(code, block, flag);
    return p;
  }
  Packet block220(uint16_t block, const std::string& data, bool last) {
    Packet p = reply(220, block, last);
    p.ULOZCISLO(sl::kText, int32_t(data.size()));
    std::memcpy(p.bytes + sl::kData, data.data(), data.size());
    return p;
  }

  testing::TempDir dir;
  FakeClock clock;
  Client client;
  int fd[2] = {-1, -1};
};

TEST_F(ClientSide, LivenessProbesAfterAMinuteAndDropsHalfAMinuteLater) {
  clock.advance(60);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 0);
  clock.advance(1);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 1);
  EXPECT_TRUE(client.conn.INFOKLIENT.POTVRZ.ANO);
  // Only one probe is outstanding.
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 0);
  // The answer clears it.
  send(reply(192));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_FALSE(client.conn.INFOKLIENT.POTVRZ.ANO);

  clock.advance(61);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 1);
  clock.advance(30);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_TRUE(client.conn.INFOKLIENT.SPOJENO);
  clock.advance(1);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_FALSE(client.conn.INFOKLIENT.SPOJENO);
  EXPECT_TRUE(client.conn.DOSLOKODPOJENI);
  fd[0] = -1;
}

TEST_F(ClientSide, ServerProbeIsAnsweredWith64) {
  send(reply(128));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 64);
  // Packets of request codes are not executed: only the last code is noted.
  Packet p = reply(13);
  send(p);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(client.conn.INFOKLIENT.POSLAKCE, 13);
  EXPECT_EQ(take().code(), 0);
}

TEST_F(ClientSide, DownloadWritesBlocksAndAcknowledgesEach) {
  ASSERT_EQ(client.ZACNIPRIJIMAT(dir.path() + "temp/seznd0"), 0);
  client.OBSLUHAKOMUNIKACE();
  Packet req = take();
  EXPECT_EQ(req.code(), 31);
  EXPECT_TRUE(req.flag());
  EXPECT_EQ(req.ZISKEJRETEZEC(sl::kText, true), "seznd0");

  std::string first(1016, 'a'), second = "z";
  send(block220(0, first, false));
  client.OBSLUHAKOMUNIKACE();
  Packet ack = take();
  EXPECT_EQ(ack.code(), 121);
  EXPECT_EQ(ack.block(), 0);
  EXPECT_FALSE(ack.flag());
  EXPECT_TRUE(client.transfer_active());
  send(block220(1, second, true));
  client.OBSLUHAKOMUNIKACE();
  ack = take();
  EXPECT_EQ(ack.code(), 121);
  EXPECT_EQ(ack.block(), 1);
  EXPECT_TRUE(ack.flag());
  EXPECT_FALSE(client.transfer_active());
  EXPECT_EQ(client.conn.INFOKLIENT.VELIKOST, 1017);
  EXPECT_EQ(dir.read_file("temp/seznd0"), first + second);
}

// Blocks already waiting are written in one step and acknowledged together; a message among
// them waits for its own step and is not lost.
TEST_F(ClientSide, DownloadTakesTheWaitingBlocksInOneStepAndLeavesAMessageForTheNext) {
  ASSERT_EQ(client.ZACNIPRIJIMAT(dir.path() + "temp/seznd0"), 0);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 31);
  std::string data;
  for (uint16_t i = 0; i < 3; ++i) {
    std::string part(1016, char('a' + i));
    send(block220(i, part, false));
    data += part;
  }
  Packet msg = reply(240);
  msg.ULOZRETEZEC(sl::kText2, true, "hotovo");
  msg.ULOZRETEZEC(sl::kData, true, "mistr");
  send(msg);
  send(block220(3, "end", true));
  data += "end";

  client.OBSLUHAKOMUNIKACE();
  for (uint16_t i = 0; i < 3; ++i) {
    Packet ack = take();
    EXPECT_EQ(ack.code(), 121);
    EXPECT_EQ(ack.block(), i);
  }
  EXPECT_EQ(take().code(), 0);
  EXPECT_TRUE(client.transfer_active());
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(client.conn.INFOKLIENT.POSLAKCE, 240);
  EXPECT_EQ(take().code(), 80);
  EXPECT_TRUE(client.PRIJATANOVAZPRAVA);
  client.OBSLUHAKOMUNIKACE();
  Packet ack = take();
  EXPECT_EQ(ack.code(), 121);
  EXPECT_TRUE(ack.flag());
  EXPECT_FALSE(client.transfer_active());
  EXPECT_EQ(dir.read_file("temp/seznd0"), data);
}

// Blocks of a download given up arrive after the next one has started: they are out of
// sequence and neither written nor acknowledged.
TEST_F(ClientSide, BlocksOutOfSequenceAreNotTheDownloadsOwn) {
  ASSERT_EQ(client.ZACNIPRIJIMAT(dir.path() + "temp/seznd0"), 0);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 31);
  send(block220(7, "old", false));
  send(block220(8, "old", true));
  send(block220(0, std::string(1016, 'n'), false));
  send(block220(1, "ew", true));
  for (int i = 0; i < 4 && client.transfer_active(); ++i) client.OBSLUHAKOMUNIKACE();
  EXPECT_FALSE(client.transfer_active());
  EXPECT_EQ(dir.read_file("temp/seznd0"), std::string(1016, 'n') + "ew");
  Packet ack = take();
  EXPECT_EQ(ack.code(), 121);
  EXPECT_EQ(ack.block(), 0);
  ack = take();
  EXPECT_EQ(ack.block(), 1);
  EXPECT_EQ(take().code(), 0);
}

TEST_F(ClientSide, BadBlockLengthAbortsTheDownload) {
  ASSERT_EQ(client.ZACNIPRIJIMAT(dir.path() + "temp/x"), 0);
  client.OBSLUHAKOMUNIKACE();
  take();
  Packet p = reply(220, 0, false);
  p.ULOZCISLO(sl::kText, 2000);
  send(p);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 32);
  EXPECT_FALSE(client.transfer_active());
  EXPECT_TRUE(client.transfer_failed);
  // A stray block without a download is ignored.
  send(block220(5, "abc", true));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 0);
}

TEST_F(ClientSide, UploadSendsBlocksOnEachRequest) {
  std::string data(2032, 'q');
  data[1016] = 'r';
  dir.write_file("sub/PROG.DST", data);
  ASSERT_EQ(client.ZACNIODESILAT(dir.path() + "sub/PROG.DST"), 0);
  client.OBSLUHAKOMUNIKACE();
  Packet req = take();
  EXPECT_EQ(req.code(), 30);
  EXPECT_FALSE(req.flag());
  EXPECT_EQ(req.ZISKEJRETEZEC(sl::kText, true), "PROG.DST");

  send(reply(221, 0, false));
  client.OBSLUHAKOMUNIKACE();
  Packet b1 = take();
  EXPECT_EQ(b1.code(), 120);
  EXPECT_EQ(b1.block(), 1);
  EXPECT_FALSE(b1.flag());
  EXPECT_EQ(b1.ZISKEJCISLO(sl::kText), 1016);
  send(reply(221, 1, false));
  client.OBSLUHAKOMUNIKACE();
  Packet b2 = take();
  EXPECT_EQ(b2.block(), 2);
  EXPECT_TRUE(b2.flag());
  EXPECT_EQ(b2.ZISKEJCISLO(sl::kText), 1016);
  EXPECT_EQ(b2.bytes[sl::kData], 'r');
  // The answer to the last block ends the upload; nothing more is sent.
  send(reply(221, 2, true));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 0);
  EXPECT_FALSE(client.transfer_active());

  // One block of exactly 1016 bytes carries the last flag.
  dir.write_file("one.bin", std::string(1016, 'o'));
  ASSERT_EQ(client.ZACNIODESILAT(dir.path() + "one.bin"), 0);
  client.OBSLUHAKOMUNIKACE();
  take();
  send(reply(221, 0, false));
  client.OBSLUHAKOMUNIKACE();
  Packet only = take();
  EXPECT_TRUE(only.flag());
  EXPECT_EQ(only.ZISKEJCISLO(sl::kText), 1016);
}

TEST_F(ClientSide, UploadStartResults) {
  dir.write_file("empty", "");
  client.conn.BUFFERPACKET.clear();
  EXPECT_EQ(client.ZACNIODESILAT(dir.path() + "empty"), 0);
  EXPECT_FALSE(client.transfer_active());
  EXPECT_EQ(client.conn.BUFFERPACKET.code(), 0);
  EXPECT_EQ(client.ZACNIODESILAT(dir.path() + "missing"), 1);
  EXPECT_EQ(client.ZACNIPRIJIMAT(dir.path() + "no/such/dir/file"), 2);
}

TEST_F(ClientSide, RefusalEndsAnActiveTransfer) {
  dir.write_file("a.txt", "hello");
  ASSERT_EQ(client.ZACNIODESILAT(dir.path() + "a.txt"), 0);
  client.OBSLUHAKOMUNIKACE();
  take();
  send(reply(254));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_FALSE(client.transfer_active());
  EXPECT_EQ(client.conn.INFOKLIENT.DATSOUB, nullptr);
  EXPECT_TRUE(client.answered(30));
}

Packet message(const std::string& sender, const std::string& text) {
  Packet p;
  p.NASTAVPRIKAZ(240, 0, true);
  p.ULOZRETEZEC(sl::kData, true, sender);
  p.ULOZRETEZEC(sl::kText2, true, text);
  return p;
}

TEST_F(ClientSide, MessagesAreStoredAndConfirmed) {
  client.conn.INFOKLIENT.JMENO = "mistr";
  client.conn.INFOKLIENT.MOJEID = 3;
  send(message("pepa", "ahoj"));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 80);
  EXPECT_TRUE(client.PRIJATANOVAZPRAVA);
  send(message("SERVER", "Zprava pro pepa byla dorucena"));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 80);
  EXPECT_EQ(dir.read_file("temp/zpravy.txt"),
            "mistr:pepa:ahoj\nmistr:SERVER:Zprava pro pepa byla dorucena\n");
  // A download order to anyone but user 0, or from anyone but "admin", is a plain message.
  send(message("admin", "$download f.txt"));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 80);
  client.conn.INFOKLIENT.MOJEID = 0;
  send(message("pepa", "$download f.txt"));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 80);
  EXPECT_NE(dir.read_file("temp/zpravy.txt").find("mistr:pepa:$download f.txt\n"),
            std::string::npos);
  EXPECT_FALSE(dir.exists("temp/f.txt"));
}

TEST_F(ClientSide, DownloadOrderFromAdminFetchesTheFileIntoTemp) {
  client.conn.INFOKLIENT.MOJEID = 0;
  int served = 0;
  // The server's part while the client waits: answer the 31 with one block.
  client.wait_pass = [&] {
    Packet p = take();
    if (p.code() == 31) {
      EXPECT_EQ(p.ZISKEJRETEZEC(sl::kText, true), "report.txt");
      send(block220(0, "contents", true));
      ++served;
    }
  };
  send(message("admin", "$download report.txt"));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(served, 1);
  EXPECT_EQ(dir.read_file("temp/report.txt"), "contents");
  EXPECT_FALSE(dir.exists("temp/zpravy.txt"));
  // A name that would leave temp is not downloaded anywhere.
  send(message("admin", "$download ../evil"));
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(served, 1);
  EXPECT_FALSE(dir.exists("evil"));
}

TEST_F(ClientSide, PartialPacketIsExecutedOnceWhenComplete) {
  Packet p = reply(128);
  ASSERT_EQ(::send(fd[1], p.bytes, 700, 0), 700);
  client.OBSLUHAKOMUNIKACE();
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 0);
  ASSERT_EQ(::send(fd[1], p.bytes + 700, 324, 0), 324);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 64);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(take().code(), 0);
}

TEST_F(ClientSide, ServerTimeSetsTheClockOnlyWhenEnabled) {
  Packet t = reply(203);
  t.put_word(sl::kDate, 36);
  t.put_word(sl::kDate + 2, 25);
  t.put_word(sl::kDate + 4, 14);
  send(t);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(client.server_hour, 14);
  int h = -1, m = -1, s = -1;
  client.clock_setter = [&](int hh, int mm, int ss) { h = hh, m = mm, s = ss; };
  send(t);
  client.OBSLUHAKOMUNIKACE();
  EXPECT_EQ(h, 14);
  EXPECT_EQ(m, 25);
  EXPECT_EQ(s, 36);
}

TEST_F(ClientSide, ExitProcedureLogsOff) {
  client.KONECKOMUNIKKLI();
  EXPECT_EQ(take().code(), 20);
  EXPECT_FALSE(client.conn.INFOKLIENT.SPOJENO);
  fd[0] = -1;
}

// The pairs the screens wait for, written out by hand from the catalogue.
TEST(ClientReplies, EveryRequestWaitsForItsNamedReply) {
  const std::map<int, int> pairs = {
      {1, 192},   {2, 197},   {5, 245},   {6, 245},   {7, 193},   {8, 209},   {9, 209},
      {10, 193},  {11, 194},  {13, 203},  {14, 223},  {15, 241},  {16, 224},  {17, 225},
      {18, 226},  {19, 224},  {20, 197},  {22, 238},  {23, 238},  {25, 235},  {26, 235},
      {27, 245},  {28, 246},  {30, 221},  {31, 220},  {32, 201},  {33, 213},  {35, 250},
      {37, 237},  {38, 237},  {40, 227},  {41, 228},  {42, 229},  {43, 208},  {44, 208},
      {45, 215},  {46, 216},  {47, 216},  {48, 218},  {49, 217},  {51, 205},  {52, 205},
      {53, 206},  {54, 206},  {55, 207},  {56, 207},  {57, 205},  {58, 206},  {59, 207},
      {60, 230},  {61, 232},  {62, 233},  {63, 252},  {120, 221}, {121, 220}};
  FakeClock clock;
  testing::TempDir dir;
  Client c(clock, dir.path());
  auto& k = c.conn.INFOKLIENT;
  for (int request = 0; request < 256; ++request) {
    SCOPED_TRACE(request);
    auto it = pairs.find(request);
    const int want = it == pairs.end() ? 0 : it->second;
    EXPECT_EQ(Client::expected_reply(request), want);
    if (!want) continue;
    k.MUJPOZADAVEK = request;
    k.POSLAKCE = want;
    EXPECT_TRUE(c.AKCEPOTVRZENA());
    EXPECT_TRUE(c.answered(request));
    // Another request's reply does not answer this one.
    k.POSLAKCE = want == 245 ? 246 : 245;
    EXPECT_FALSE(c.AKCEPOTVRZENA());
    EXPECT_FALSE(c.answered(request));
    // Every failure does, the program lock included: the locked commands get 253 instead of
    // their own reply, and a wait for it would never end otherwise.
    for (int failure : {195, 196, 197, 231, 253, 254, 255}) {
      k.POSLAKCE = failure;
      EXPECT_TRUE(c.answered(request)) << failure;
    }
  }
  k.POSLAKCE = 0;
  EXPECT_FALSE(c.answered(63));
  k.MUJPOZADAVEK = 0;
  EXPECT_TRUE(c.AKCEPOTVRZENA());
  for (int failure : {195, 196, 197, 231, 253, 254, 255}) {
    k.MUJPOZADAVEK = failure;
    EXPECT_TRUE(c.AKCEPOTVRZENA()) << failure;
  }
  // Codes that answer nothing: the client's answers to the server's probe and messages.
  EXPECT_EQ(Client::expected_reply(64), 0);
  EXPECT_EQ(Client::expected_reply(80), 0);
}

// The frame's waiting loop and its error dialog test: exactly these codes, nothing else.
TEST(ClientReplies, InProgressAndErrorDialogSets) {
  const std::set<int> in_progress = {0, 1, 64, 128, 192};
  const std::set<int> dialog = {132, 133, 134, 135, 136, 137, 138, 195,
                                196, 210, 211, 231, 242, 253, 254, 255};
  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(is_in_progress_reply(code), in_progress.count(code) == 1);
    EXPECT_EQ(is_error_dialog_reply(code), dialog.count(code) == 1);
  }
}

TEST(ClientTexts, LookupsByKey) {
  FakeClock clock;
  testing::TempDir dir;
  Client c(clock, dir.path());
  EXPECT_EQ(c.ZJISTIPRAVO(3), "");
  c.texts = [](const std::string& key) { return "<" + key + ">"; };
  EXPECT_EQ(c.ZJISTITYPAKCE(12), "<akce12>");
  EXPECT_EQ(c.ZJISTIPRAVO(63), "<bit63>");
}

TEST(ClientFiles, CopyMoveFitAndAccents) {
  testing::TempDir dir;
  std::string data(1300, 'x');
  data[700] = 'y';
  dir.write_file("a", data);
  EXPECT_TRUE(ZKOPIRUJSOUBOR(dir.path() + "a", dir.path() + "b"));
  EXPECT_EQ(dir.read_file("b"), data);
  EXPECT_FALSE(ZKOPIRUJSOUBOR(dir.path() + "missing", dir.path() + "c"));
  EXPECT_FALSE(ZKOPIRUJSOUBOR(dir.path() + "a", dir.path() + "no/dir/c"));
  EXPECT_TRUE(PRESUNSOUBOR(dir.path() + "b", dir.path() + "moved"));
  EXPECT_FALSE(dir.exists("b"));
  EXPECT_EQ(dir.read_file("moved"), data);
  EXPECT_FALSE(PRESUNSOUBOR(dir.path() + "b", dir.path() + "again"));

  EXPECT_TRUE(VEJDESENADISK(dir.path() + "a", 0));
  EXPECT_FALSE(VEJDESENADISK(dir.path() + "missing", 0));
  EXPECT_TRUE(VEJDESENADISK(dir.path() + "a", 1, dir.path()));
  EXPECT_FALSE(VEJDESENADISK(dir.path() + "a", 1, dir.path() + "no-floppy"));

  std::string s = "Pr\xD8ikaz \x9F" "abc\xD2";
  ODSTRANDIAKRITIKU(s);
  EXPECT_EQ(s, "Pr_ikaz _abc_");
  std::string plain = "abc XYZ 123";
  ODSTRANDIAKRITIKU(plain);
  EXPECT_EQ(plain, "abc XYZ 123");
}

}  // namespace
}  // namespace ksv
