// File transfers over loopback with the client's own transfer code: block boundaries both ways,
// target directories, lower-casing, refusals, abort, and names that try to leave the data tree.
#include <sys/stat.h>

#include "server/tests/rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

std::string pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char((i * 31 + 7) & 0xFF);
  return s;
}

class Transfers : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig.start(), 0);
    rig.add_user("mistr", "tajne", -1);
    c = rig.connect();
    ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
  }
  // Uploads a local file; true when the server answered the last block.
  bool upload(const std::string& local) {
    if (c->ZACNIODESILAT(local) != 0) return false;
    return rig.finish_transfer(*c);
  }
  Rig rig;
  std::unique_ptr<Client> c;
};

TEST_F(Transfers, BlockBoundariesBothWays) {
  for (size_t size : {size_t(0), size_t(1), size_t(1016), size_t(1017), size_t(2032), size_t(70000)}) {
    SCOPED_TRACE(size);
    std::string data = pattern(size);
    std::string name = "f" + std::to_string(size) + ".bin";
    rig.dir.write_file("client/" + name, data);

    ASSERT_EQ(c->ZACNIODESILAT(rig.dir.path() + "client/" + name), 0);
    if (size == 0) {
      // An empty file sends nothing at all.
      EXPECT_FALSE(c->transfer_active());
      EXPECT_EQ(c->conn.BUFFERPACKET.code(), 0);
      rig.dir.write_file("temp/" + name, "");
    } else {
      ASSERT_TRUE(rig.finish_transfer(*c));
      EXPECT_EQ(rig.dir.read_file("temp/" + name), data);
      EXPECT_FALSE(rig.server->session(0).transfer_active());
      // Blocks of 1016: 1016 bytes are one block, 1017 two.
      EXPECT_EQ(c->conn.INFOKLIENT.BLOKDAT, int32_t((size + 1015) / 1016));
    }

    // The local file carries the server's name; it goes to another directory here.
    rig.dir.write_file("client/back/.keep", "");
    ASSERT_EQ(c->ZACNIPRIJIMAT(rig.dir.path() + "client/back/" + name), 0);
    ASSERT_TRUE(rig.finish_transfer(*c));
    EXPECT_EQ(rig.dir.read_file("client/back/" + name), data);
    EXPECT_EQ(c->conn.INFOKLIENT.VELIKOST, int32_t(size));
    EXPECT_FALSE(rig.server->session(0).transfer_active());
  }
}

TEST_F(Transfers, DownloadBlocksCarryLengthsAndLastFlag) {
  rig.dir.write_file("temp/d.bin", pattern(1017));
  Packet& b = Rig::compose(*c, 31);
  b.ULOZRETEZEC(sl::kText, true, "d.bin");
  c->OBSLUHAKOMUNIKACE();
  rig.pass_after_send();
  // Read the server's blocks by hand and acknowledge them as the client would.
  Packet got;
  auto next = [&] {
    pollfd p{c->conn.ZASUVKA, POLLIN, 0};
    ::poll(&p, 1, 1000);
    EXPECT_EQ(net::peek_packet(c->conn.ZASUVKA, got), net::Waiting::kWhole);
    EXPECT_TRUE(net::recv_packet(c->conn.ZASUVKA, got));
  };
  next();
  EXPECT_EQ(got.code(), 220);
  EXPECT_EQ(got.block(), 0);
  EXPECT_FALSE(got.flag());
  EXPECT_EQ(got.ZISKEJCISLO(sl::kText), 1016);
  got.NASTAVPRIKAZ(121, 0, false);
  ASSERT_TRUE(net::send_all(c->conn.ZASUVKA, got.bytes, kPacketSize));
  rig.pass_after_send();
  next();
  EXPECT_EQ(got.code(), 220);
  EXPECT_EQ(got.block(), 1);
  EXPECT_TRUE(got.flag());
  EXPECT_EQ(got.ZISKEJCISLO(sl::kText), 1);
  got.NASTAVPRIKAZ(121, 1, true);
  ASSERT_TRUE(net::send_all(c->conn.ZASUVKA, got.bytes, kPacketSize));
  rig.pass_after_send();
  EXPECT_FALSE(rig.server->session(0).transfer_active());
  // Nothing follows the last block.
  rig.server->pass();
  EXPECT_EQ(net::peek_packet(c->conn.ZASUVKA, got), net::Waiting::kNothing);
}

TEST_F(Transfers, UploadNameIsLowerCasedIntoTheOpenProgram) {
  rig.dir.write_file("databaze/Z100/P1/.keep", "");
  rig.server->session(0).open_order = "Z100";
  rig.server->session(0).open_program = "P1";
  rig.dir.write_file("client/PROG.DST", "stitches");
  ASSERT_TRUE(upload(rig.dir.path() + "client/PROG.DST"));
  EXPECT_EQ(rig.dir.read_file("databaze/Z100/P1/prog.dst"), "stitches");

  // With only the order open, the order's directory.
  rig.server->session(0).open_program.clear();
  rig.dir.write_file("client/Info.TXT", "x");
  ASSERT_TRUE(upload(rig.dir.path() + "client/Info.TXT"));
  EXPECT_TRUE(rig.dir.exists("databaze/Z100/info.txt"));
}

TEST_F(Transfers, LinkTableCannotBeUploaded) {
  rig.dir.write_file("client/ProgLnk.DAT", "evil");
  ASSERT_EQ(c->ZACNIODESILAT(rig.dir.path() + "client/ProgLnk.DAT"), 0);
  ASSERT_TRUE(rig.exchange(*c, 30));
  EXPECT_EQ(c->conn.INFOKLIENT.POSLAKCE, 254);
  // The refusal ended the client's side of the transfer too.
  EXPECT_FALSE(c->transfer_active());
  EXPECT_FALSE(rig.dir.exists("temp/proglnk.dat"));
}

TEST_F(Transfers, NamesThatLeaveTheDataTreeAreRefused) {
  rig.dir.write_file("secret.txt", "do not send");
  const std::vector<std::string> hostile = {"../secret.txt", "..",     "a/b", "a\\b",
                                            std::string("a\0b", 3), "x\ny", ""};
  for (const std::string& name : hostile) {
    SCOPED_TRACE(name);
    EXPECT_EQ(rig.request(*c, 31, [&](Packet& b) { b.ULOZRETEZEC(sl::kText, true, name); }), 254);
    EXPECT_EQ(rig.request(*c, 30,
                          [&](Packet& b) {
                            b.NASTAVPRIKAZ(30, 0, false);
                            b.ULOZRETEZEC(sl::kText, true, name);
                          }),
              254);
  }
  EXPECT_FALSE(rig.server->session(0).transfer_active());
  // An open order whose number would leave the tree is not used for a path either.
  rig.server->session(0).open_order = "..";
  EXPECT_EQ(rig.request(*c, 31, [](Packet& b) { b.ULOZRETEZEC(sl::kText, true, "secret.txt"); }),
            254);
}

TEST_F(Transfers, CountedStringRunningPastThePacketIsRefused) {
  EXPECT_EQ(rig.request(*c, 31,
                        [](Packet& b) {
                          b.ULOZCISLO(sl::kText, 1020);  // 4 + 4 + 1020 + 1 > 1024
                        }),
            254);
  EXPECT_EQ(rig.request(*c, 5, [](Packet& b) { b.ULOZCISLO(sl::kText, -5); }), 254);
  EXPECT_EQ(rig.request(*c, 13), 203);
}

// A download runs ahead of its acknowledgements by a fixed window: that many blocks leave at
// once, each acknowledgement (several may be taken in one pass) lets one more go, and the
// transfer ends with the acknowledgement of the last block.
TEST_F(Transfers, DownloadRunsAheadByItsWindow) {
  const std::string data = pattern(size_t(kDownloadWindow + 10) * 1016 + 5);
  rig.dir.write_file("temp/w.bin", data);
  Packet& b = Rig::compose(*c, 31);
  b.ULOZRETEZEC(sl::kText, true, "w.bin");
  c->OBSLUHAKOMUNIKACE();
  rig.pass_after_send();
  const int fd = c->conn.ZASUVKA;
  std::string got;
  std::vector<Packet> blocks;
  auto receive = [&] {  // every block waiting now
    blocks.clear();
    Packet p;
    for (;;) {
      pollfd w{fd, POLLIN, 0};
      if (::poll(&w, 1, 50) <= 0 || net::peek_packet(fd, p) != net::Waiting::kWhole) break;
      net::recv_packet(fd, p);
      EXPECT_EQ(p.code(), 220);
      got.append(reinterpret_cast<const char*>(p.bytes + sl::kData), size_t(p.ZISKEJCISLO(sl::kText)));
      blocks.push_back(p);
    }
  };
  auto acknowledge = [&](size_t from, size_t count) {
    std::string acks;
    for (size_t i = from; i < from + count; ++i) {
      Packet a = blocks[i];
      a.NASTAVPRIKAZ(121, blocks[i].block(), blocks[i].flag());
      acks.append(reinterpret_cast<const char*>(a.bytes), kPacketSize);
    }
    ASSERT_TRUE(net::send_all(fd, acks.data(), acks.size()));
    rig.pass_after_send();
  };
  receive();
  ASSERT_EQ(blocks.size(), size_t(kDownloadWindow));
  for (int i = 0; i < kDownloadWindow; ++i) EXPECT_EQ(blocks[size_t(i)].block(), i);
  EXPECT_FALSE(blocks.back().flag());

  std::vector<Packet> first = blocks;
  blocks = first;
  acknowledge(0, 3);  // three acknowledgements, one pass: three more blocks
  receive();
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0].block(), kDownloadWindow);
  std::vector<Packet> rest(first.begin() + 3, first.end());
  rest.insert(rest.end(), blocks.begin(), blocks.end());
  for (int round = 0; round < 20 && !rest.empty(); ++round) {
    blocks = rest;
    acknowledge(0, blocks.size());
    const bool was_last = blocks.back().flag();
    receive();
    rest = blocks;
    if (was_last) break;
  }
  EXPECT_EQ(got, data);
  EXPECT_FALSE(rig.server->session(0).transfer_active());
}

TEST_F(Transfers, AbortAndStrayBlocks) {
  // Transfer steps are not requests the communication step sends; put them on the wire directly
  // and return the code of the answer (0 for none).
  auto raw = [&](uint8_t code, int32_t length) {
    Packet p;
    p.NASTAVPRIKAZ(code, 0, false);
    p.ULOZCISLO(sl::kText, length);
    EXPECT_TRUE(net::send_all(c->conn.ZASUVKA, p.bytes, kPacketSize));
    rig.pass_after_send();
    pollfd w{c->conn.ZASUVKA, POLLIN, 0};
    if (::poll(&w, 1, 50) <= 0) return 0;
    Packet got;
    if (net::peek_packet(c->conn.ZASUVKA, got) != net::Waiting::kWhole) return 0;
    net::recv_packet(c->conn.ZASUVKA, got);
    return int(got.code());
  };
  rig.dir.write_file("client/big.bin", pattern(5000));
  ASSERT_EQ(c->ZACNIODESILAT(rig.dir.path() + "client/big.bin"), 0);
  c->OBSLUHAKOMUNIKACE();
  rig.pass_after_send();
  EXPECT_TRUE(rig.server->session(0).transfer_active());
  // Abort: the server closes its side and answers 201.
  c->conn.INFOKLIENT.AKTSOUBOR.clear();
  std::fclose(c->conn.INFOKLIENT.DATSOUB);
  c->conn.INFOKLIENT.DATSOUB = nullptr;
  rig.settle(c.get(), 2);
  EXPECT_EQ(rig.request(*c, 32), 201);
  EXPECT_FALSE(rig.server->session(0).transfer_active());
  // A block without an upload: 254; an acknowledgement without a download: nothing.
  EXPECT_EQ(raw(120, 3), 254);
  EXPECT_EQ(raw(121, 0), 0);
  // A block length beyond 1016 ends the upload with 254 instead of reading past the packet.
  rig.dir.write_file("client/two.bin", pattern(2000));
  ASSERT_EQ(c->ZACNIODESILAT(rig.dir.path() + "client/two.bin"), 0);
  c->OBSLUHAKOMUNIKACE();
  rig.pass_after_send();
  c->conn.INFOKLIENT.AKTSOUBOR.clear();
  std::fclose(c->conn.INFOKLIENT.DATSOUB);
  c->conn.INFOKLIENT.DATSOUB = nullptr;
  rig.settle(c.get(), 2);
  EXPECT_EQ(raw(120, 5000), 254);
  EXPECT_FALSE(rig.server->session(0).transfer_active());
}

TEST_F(Transfers, MissingFileOrDirectoryIsRefused) {
  EXPECT_EQ(rig.request(*c, 31, [](Packet& b) { b.ULOZRETEZEC(sl::kText, true, "nic.txt"); }), 254);
  rig.dir.write_file("temp/adresar/x", "");
  EXPECT_EQ(rig.request(*c, 31, [](Packet& b) { b.ULOZRETEZEC(sl::kText, true, "adresar"); }), 254);
  // An open order that does not exist: the upload cannot be created.
  rig.server->session(0).open_order = "Z999";
  EXPECT_EQ(rig.request(*c, 30,
                        [](Packet& b) {
                          b.NASTAVPRIKAZ(30, 0, false);
                          b.ULOZRETEZEC(sl::kText, true, "a.txt");
                        }),
            254);
}

TEST_F(Transfers, OwnListFilesComeFromTempEvenWithAnOrderOpen) {
  rig.dir.write_file("databaze/Z1/.keep", "");
  rig.server->session(0).open_order = "Z1";
  rig.dir.write_file("temp/nite0", "threads");
  ASSERT_EQ(c->ZACNIPRIJIMAT(rig.dir.path() + "client/nite0"), 0);
  ASSERT_TRUE(rig.finish_transfer(*c));
  EXPECT_EQ(rig.dir.read_file("client/nite0"), "threads");
}

}  // namespace
}  // namespace ksv::server::testing
