// The server under faults: connections that break off mid-packet, and a full disk. Each case
// checks that the others go on being served and that nothing is lost or reported as done.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "server/tests/rig.h"
#include "server/tests/small_disk.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

// A bare TCP connection to the rig's server, for clients that do not follow the protocol.
int raw_connect(uint16_t port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

TEST(Faults, HalfAPacketAndACloseFreeTheSlotAtOnce) {
  Rig rig;
  ASSERT_EQ(rig.start(), 0);
  rig.add_user("mistr", "tajne", -1);
  // Eight connections fill every slot, each sends part of a packet and goes away.
  std::vector<int> fds;
  for (int i = 0; i < kMaxSessions; ++i) {
    int fd = raw_connect(rig.server->port());
    ASSERT_GE(fd, 0);
    rig.server->pass();
    fds.push_back(fd);
  }
  ASSERT_EQ(rig.server->session_count(), kMaxSessions);
  const std::string part(600, '\x0b');
  for (int fd : fds) {
    ASSERT_EQ(::send(fd, part.data(), part.size(), 0), ssize_t(part.size()));
    ::close(fd);
  }
  // No time passes: the slots are free on the next passes, not after the liveness timeout.
  for (int i = 0; i < 20 && rig.server->session_count() > 0; ++i) rig.settle();
  EXPECT_EQ(rig.server->session_count(), 0);
  auto c = rig.connect();
  EXPECT_EQ(rig.login(*c, "mistr", "tajne"), 194);

  // A part of a packet from a client that stays connected is still waited for.
  int fd = raw_connect(rig.server->port());
  rig.server->pass();
  ASSERT_EQ(::send(fd, part.data(), part.size(), 0), ssize_t(part.size()));
  rig.settle();
  EXPECT_EQ(rig.server->session_count(), 2);
  ::close(fd);
}

TEST(Faults, AClientThatTakesNoRepliesStallsNobodyAndIsClosed) {
  Rig rig;
  ASSERT_EQ(rig.start(), 0);
  rig.add_user("mistr", "tajne", -1);
  auto slow = rig.connect("slow");
  ASSERT_EQ(rig.login(*slow, "mistr", "tajne"), 194);
  auto other = rig.connect("other");
  ASSERT_EQ(rig.login(*other, "mistr", "tajne"), 194);
  const int slot = 0;
  ASSERT_TRUE(rig.server->session(slot).in_use);

  // The slow client sends request after request and reads nothing, until its replies fill its
  // socket and the server holds the rest.
  Packet time_request;
  time_request.NASTAVPRIKAZ(13, 0, true);
  const int fd = slow->conn.ZASUVKA;
  int sent = 0;
  for (int i = 0; i < 200000 && rig.server->session(slot).outbox.empty(); ++i) {
    if (::send(fd, time_request.bytes, kPacketSize, MSG_DONTWAIT | MSG_NOSIGNAL) == kPacketSize)
      ++sent;
    rig.server->pass();
  }
  ASSERT_FALSE(rig.server->session(slot).outbox.empty()) << "after " << sent << " requests";
  // Meanwhile everybody else is served as usual.
  EXPECT_EQ(rig.request(*other, 13), 203);
  EXPECT_TRUE(rig.server->session(slot).in_use);
  // Ten seconds later its replies still lie there: it is closed and logged.
  rig.clock.advance(kUnsentReplySeconds + 1);
  rig.server->pass();
  EXPECT_FALSE(rig.server->session(slot).in_use);
  EXPECT_TRUE(rig.server->log().contains("Klient cislo 0 neprebira odpovedi - odpojen"));
  EXPECT_EQ(rig.request(*other, 13), 203);
}

TEST(Faults, FullDiskLetsUsersInAndRefusesWhatItCannotKeep) {
  KSV_ON_SMALL_DISK([] {
    Rig rig;
    ASSERT_EQ(rig.start(), 0);
    rig.add_user("mistr", "tajne", -1);
    auto c = rig.connect();
    ASSERT_EQ(rig.login(*c, "mistr", "tajne"), 194);
    std::string prices(1016, '\0');
    prices[0] = 7;
    ASSERT_EQ(rig.request(*c, 9, [&](Packet& b) { b.put_raw(4, prices.data(), prices.size()); }),
              209);
    const std::string users_before = rig.dir.read_file("uzivatel.dat");

    fill_disk(rig.dir.path());
    // The login stamp cannot be written; the user comes in all the same.
    auto again = rig.connect("again");
    EXPECT_EQ(rig.login(*again, "mistr", "tajne"), 194);
    EXPECT_TRUE(rig.server->log().contains("Nelze zapsat cas prihlaseni uzivatele mistr"));
    EXPECT_EQ(rig.dir.read_file("uzivatel.dat"), users_before);
    // New prices that cannot be kept are refused, and the old ones stay in force.
    std::string changed = prices;
    changed[0] = 9;
    EXPECT_EQ(rig.request(*again, 9,
                          [&](Packet& b) { b.put_raw(4, changed.data(), changed.size()); }),
              254);
    ASSERT_EQ(rig.request(*again, 8), 209);
    EXPECT_EQ(again->conn.BUFFERPACKET.bytes[4], 7);
    EXPECT_EQ(rig.dir.read_file("kalkul.dat"), prices);
  });
}

}  // namespace
}  // namespace ksv::server::testing
