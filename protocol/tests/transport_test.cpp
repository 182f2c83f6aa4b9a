// Socket helpers and the client's connection: whole-packet detection, completion of short
// writes, connect failures and address choice, the port setting and safe names.
#include "protocol/transport.h"

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace ksv {
namespace {

struct Pair {
  int fd[2] = {-1, -1};
  Pair() {
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fd), 0);
    net::set_nonblocking(fd[0]);
    net::set_nonblocking(fd[1]);
  }
  ~Pair() {
    for (int f : fd)
      if (f >= 0) ::close(f);
  }
};

// A loopback listener on a free port.
struct Listener {
  int fd = -1;
  uint16_t port = 0;
  Listener() {
    fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(::listen(fd, 4), 0);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
  }
  ~Listener() { ::close(fd); }
};

TEST(Transport, PeekSeesOnlyWholePackets) {
  Pair p;
  Packet buf;
  EXPECT_EQ(net::peek_packet(p.fd[0], buf), net::Waiting::kNothing);
  Packet out;
  out.NASTAVPRIKAZ(13, 0, true);
  ASSERT_EQ(::send(p.fd[1], out.bytes, 700, 0), 700);
  buf.bytes[0] = 99;
  EXPECT_EQ(net::peek_packet(p.fd[0], buf), net::Waiting::kPartial);
  EXPECT_EQ(buf.code(), 0) << "peeked bytes must not look like a command";
  uint8_t rest[334] = {};  // the end of this packet and the start of the next
  std::memcpy(rest, out.bytes + 700, 324);
  ASSERT_EQ(::send(p.fd[1], rest, sizeof rest, 0), 334);
  EXPECT_EQ(net::peek_packet(p.fd[0], buf), net::Waiting::kWhole);
  ASSERT_TRUE(net::recv_packet(p.fd[0], buf));
  EXPECT_EQ(buf.code(), 13);
  EXPECT_EQ(net::peek_packet(p.fd[0], buf), net::Waiting::kPartial);
  ::close(p.fd[1]);
  p.fd[1] = -1;
  ASSERT_EQ(::recv(p.fd[0], buf.bytes, 10, 0), 10);
  EXPECT_EQ(net::peek_packet(p.fd[0], buf), net::Waiting::kClosed);
}

// A run of download blocks is taken in one read: it stops at another command, after the last
// block, at the bound and before a packet not yet complete, and leaves all of those waiting.
TEST(Transport, PacketRunStopsAtOtherCodesTheLastBlockAndPartialPackets) {
  Pair p;
  auto put = [&](uint8_t code, uint16_t block, bool flag, size_t bytes = kPacketSize) {
    Packet out;
    out.NASTAVPRIKAZ(code, block, flag);
    ASSERT_TRUE(net::send_all(p.fd[1], out.bytes, bytes));
  };
  std::vector<uint8_t> run(8 * kPacketSize);
  auto take = [&](int max) { return net::take_packet_run(p.fd[0], 220, max, run.data()); };
  EXPECT_EQ(take(8), 0);  // nothing waiting

  put(220, 0, false);
  put(220, 1, false);
  put(240, 0, true);
  put(220, 2, false);
  EXPECT_EQ(take(8), 2);
  EXPECT_EQ(run[kPacketSize + 2], 1) << "the second block, in order";
  Packet buf;
  ASSERT_EQ(net::peek_packet(p.fd[0], buf), net::Waiting::kWhole);
  ASSERT_TRUE(net::recv_packet(p.fd[0], buf));
  EXPECT_EQ(buf.code(), 240) << "the message stays for its own step";

  put(220, 3, false);
  put(220, 4, true);  // the last block
  put(220, 0, false);  // the next file's first block
  EXPECT_EQ(take(1), 1);  // the bound: block 2
  EXPECT_EQ(take(8), 2);  // block 3 and the last, not past it
  EXPECT_EQ(run[kPacketSize + 2], 4);
  put(220, 1, false, 600);  // half of the next block
  EXPECT_EQ(take(8), 1);
  EXPECT_EQ(take(8), 0);
  EXPECT_EQ(net::peek_packet(p.fd[0], buf), net::Waiting::kPartial);
  ::close(p.fd[1]);
  p.fd[1] = -1;
  ::close(p.fd[0]);
  p.fd[0] = -1;
}

TEST(Transport, SendAllCompletesShortWritesInOrder) {
  Pair p;
  int small = 4096;
  ::setsockopt(p.fd[1], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  std::vector<uint8_t> data(1 << 20);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 13 + (i >> 11));
  std::vector<uint8_t> got;
  std::thread reader([&] {
    uint8_t chunk[3000];
    while (got.size() < data.size()) {
      ssize_t n = ::recv(p.fd[0], chunk, sizeof chunk, 0);
      if (n > 0) got.insert(got.end(), chunk, chunk + n);
      else if (n == 0) break;
      else {
        pollfd w{p.fd[0], POLLIN, 0};
        ::poll(&w, 1, 1000);
      }
    }
  });
  EXPECT_TRUE(net::send_all(p.fd[1], data.data(), data.size()));
  reader.join();
  EXPECT_EQ(got, data);
}

TEST(Transport, SendAllGivesUpOnAStuckOrClosedPeer) {
  Pair p;
  std::vector<uint8_t> big(1 << 22);
  EXPECT_FALSE(net::send_all(p.fd[1], big.data(), big.size(), 10));
  ::close(p.fd[0]);
  p.fd[0] = -1;
  uint8_t b[4] = {};
  EXPECT_FALSE(net::send_all(p.fd[1], b, 4));
}

TEST(Transport, ConnectFailureLeavesCode81AndStateClosed) {
  FakeClock clock;
  int port;
  {
    Listener l;  // a port that was free a moment ago and now has nobody listening
    port = l.port;
  }
  ClientConnection c(clock);
  c.port = uint16_t(port);
  c.THREADPRIPOJSENASERVER();
  EXPECT_FALSE(c.INFOKLIENT.SPOJENO);
  EXPECT_EQ(c.POSLCHYBA, ClientConnection::kConnectFailed);
  EXPECT_EQ(c.ODESLIPAKET(kPacketSize), 0);
  EXPECT_EQ(c.PRIJMIPAKET(), 0);
  EXPECT_FALSE(c.PRISELCELYPACKET());
}

TEST(Transport, ExternalAddressIsUsedWhenNotLocal) {
  FakeClock clock(2026, 5, 6, 7, 8, 9);
  Listener l;
  ClientConnection c(clock);
  c.port = l.port;
  c.ADRESASERV = "not an address";
  c.EXTADRESASERV = "127.0.0.1";
  c.LOKALNISERV = false;
  c.THREADPRIPOJSENASERVER();
  ASSERT_TRUE(c.INFOKLIENT.SPOJENO);
  EXPECT_EQ(c.INFOKLIENT.POSLEDNI.ROK, 2026);
  EXPECT_EQ(c.INFOKLIENT.POSLEDNI.S, 9);
  // A request sent right after the last acknowledgement of a download is not held back until
  // the server acknowledges that one.
  int nodelay = 0;
  socklen_t len = sizeof nodelay;
  ASSERT_EQ(::getsockopt(c.ZASUVKA, IPPROTO_TCP, TCP_NODELAY, &nodelay, &len), 0);
  EXPECT_NE(nodelay, 0);
  // Sending puts all 1024 bytes on the wire.
  int server = ::accept(l.fd, nullptr, nullptr);
  c.BUFFERPACKET.NASTAVPRIKAZ(10, 300, true);
  EXPECT_EQ(c.ODESLIPAKET(kPacketSize), kPacketSize);
  Packet got;
  ASSERT_EQ(::recv(server, got.bytes, kPacketSize, MSG_WAITALL), kPacketSize);
  EXPECT_EQ(got.block(), 300);
  // Disconnect zeroes the whole state.
  c.INFOKLIENT.JMENO = "mistr";
  c.INFOKLIENT.PRIHLASEN = true;
  c.THREADODPOJSE();
  EXPECT_FALSE(c.INFOKLIENT.SPOJENO);
  EXPECT_FALSE(c.INFOKLIENT.PRIHLASEN);
  EXPECT_TRUE(c.INFOKLIENT.JMENO.empty());
  ::close(server);

  ClientConnection local(clock);
  local.port = l.port;
  local.ADRESASERV = "not an address";
  local.THREADPRIPOJSENASERVER();
  EXPECT_EQ(local.POSLCHYBA, ClientConnection::kConnectFailed);
}

TEST(Transport, PortComesFromTheEnvironment) {
  ::unsetenv("KSV_PORT");
  EXPECT_EQ(default_port(), 12345);
  ::setenv("KSV_PORT", "23456", 1);
  EXPECT_EQ(default_port(), 23456);
  for (const char* bad : {"0", "70000", "12a", ""}) {
    ::setenv("KSV_PORT", bad, 1);
    EXPECT_EQ(default_port(), 12345) << bad;
  }
  ::unsetenv("KSV_PORT");
}

TEST(Transport, SafeFileNames) {
  for (const char* ok : {"prog.dst", "sezn3", "A B.txt", "nahl3.ksv"})
    EXPECT_TRUE(is_safe_file_name(ok)) << ok;
  for (std::string bad : {std::string(""), std::string("."), std::string(".."), std::string("a/b"),
                          std::string("a\\b"), std::string("a\0b", 3), std::string("a\tb"),
                          std::string("../x"), std::string("x\x7f")})
    EXPECT_FALSE(is_safe_file_name(bad)) << bad;
}

TEST(Transport, DottedAddressAndFirstOctet) {
  in_addr a{};
  ::inet_pton(AF_INET, "192.168.250.2", &a);
  EXPECT_EQ(net::dotted(a.s_addr), "192.168.250.2");
  EXPECT_EQ(net::first_octet(a.s_addr), 192u);
}

}  // namespace
}  // namespace ksv
