// Test rig: a real server object in a temporary data directory on a loopback port, driven pass
// by pass with a fake clock, and real clients speaking the protocol to it from the same thread.
#pragma once
#include <poll.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/client.h"
#include "protocol/testsupport/temp_dir.h"
#include "server/core/server.h"

namespace ksv::server::testing {

// The signature the rig's server loads and its clients send.
inline std::string rig_signature() {
  std::string s(256, '\0');
  for (int i = 0; i < 256; ++i) s[i] = char(i * 7 + 3);
  return s;
}

class Rig {
 public:
  explicit Rig(bool write_signature = true) : clock(2026, 3, 10, 10, 0, 0) {
    if (write_signature) dir.write_file("signature", rig_signature());
    ServerOptions o;
    o.base_dir = dir.path();
    o.port = 0;
    o.listen_address = "127.0.0.1";
    o.accept_thread = false;
    o.pauses = false;
    o.console_log = false;
    server = std::make_unique<Server>(clock, o);
    server->log().keep_lines(true);
  }

  int start() { return server->start(); }

  // A user with the given rights, straight into the user file.
  int32_t add_user(const std::string& name, const std::string& password, int64_t rights = -1,
                   const std::string& code = "") {
    int32_t id = -1;
    EXPECT_EQ(server->users().create(name, password, code, rights, &id), UserResult::kOk);
    return id;
  }

  // A client connected to the server and taken into a slot.
  std::unique_ptr<Client> connect(const std::string& name = "client") {
    auto c = std::make_unique<Client>(clock, dir.path() + name);
    dir.write_file(name + "/temp/.keep", "");
    c->conn.port = server->port();
    c->conn.ADRESASERV = "127.0.0.1";
    c->wait_pass = [this] { server->pass(); };
    c->conn.THREADPRIPOJSENASERVER();
    EXPECT_TRUE(c->conn.INFOKLIENT.SPOJENO);
    server->pass();
    return c;
  }

  // Runs client steps and server passes until the client has an answer to `request`, the
  // connection is gone, or the rounds run out. A round waits for the socket only when nothing
  // has arrived yet, and returns as soon as something does.
  bool exchange(Client& c, int request, int rounds = 50) {
    for (int i = 0; i < rounds; ++i) {
      c.OBSLUHAKOMUNIKACE();
      if (c.answered(request)) return true;
      if (!c.conn.INFOKLIENT.SPOJENO) return false;
      server->pass();
      pollfd p{c.conn.ZASUVKA, POLLIN, 0};
      ::poll(&p, 1, 20);
    }
    return false;
  }

  // Until the client's transfer is over.
  bool finish_transfer(Client& c, int rounds = 5000) {
    for (int i = 0; i < rounds && c.transfer_active(); ++i) {
      c.OBSLUHAKOMUNIKACE();
      if (!c.conn.INFOKLIENT.SPOJENO) return false;
      server->pass();
      // On a busy machine loopback delivery can lag a little; wait for the answer (the wait
      // ends as soon as it is there).
      pollfd p{c.conn.ZASUVKA, POLLIN, 0};
      ::poll(&p, 1, 20);
    }
    // One more round delivers the last acknowledgement.
    c.OBSLUHAKOMUNIKACE();
    server->pass();
    return !c.transfer_active();
  }

  // Composes a request with the signature in place (7, 10 and 11 carry it).
  static Packet& compose(Client& c, uint8_t code) {
    Packet& b = c.conn.BUFFERPACKET;
    b.clear();
    b.NASTAVPRIKAZ(code, 0, true);
    std::string sig = rig_signature();
    std::memcpy(b.bytes + ksv::slot::kSignature, sig.data(), 256);
    return b;
  }

  // Sends a login and returns the reply code (0 when none came).
  int login(Client& c, const std::string& name, const std::string& password) {
    Packet& b = compose(c, 11);
    b.ULOZRETEZEC(ksv::slot::kText, true, name);
    b.ULOZRETEZEC(ksv::slot::kText2, true, password);
    b.SIFRUJHESLO();
    if (!exchange(c, 11)) return c.conn.INFOKLIENT.SPOJENO ? 0 : -1;
    return c.conn.INFOKLIENT.POSLAKCE;
  }

  // Sends a request composed by `fill` and returns the reply code (0 when none came).
  template <class F>
  int request(Client& c, uint8_t code, F&& fill, int rounds = 50) {
    Packet& b = compose(c, code);
    fill(b);
    if (!exchange(c, code, rounds)) return 0;
    return c.conn.INFOKLIENT.POSLAKCE;
  }
  int request(Client& c, uint8_t code) {
    return request(c, code, [](Packet&) {});
  }

  // Waits at most `ms` until a session socket of the server or the client's socket has
  // something to read. On a busy machine loopback delivery can lag behind the send; the wait
  // ends as soon as the bytes (or the end of a connection) are there.
  void wait_io(Client* c = nullptr, int ms = 20) {
    std::vector<pollfd> fds;
    if (c && c->conn.INFOKLIENT.SPOJENO) fds.push_back({c->conn.ZASUVKA, POLLIN, 0});
    for (int i = 0; i < kMaxSessions; ++i)
      if (server->session(i).in_use) fds.push_back({server->session(i).socket, POLLIN, 0});
    if (!fds.empty()) ::poll(fds.data(), fds.size(), ms);
  }

  // A pass once what a client has just sent has reached the server.
  void pass_after_send(int ms = 500) {
    std::vector<pollfd> fds;
    for (int i = 0; i < kMaxSessions; ++i)
      if (server->session(i).in_use) fds.push_back({server->session(i).socket, POLLIN, 0});
    if (!fds.empty()) ::poll(fds.data(), fds.size(), ms);
    server->pass();
  }

  // Serves a few rounds without expecting anything (to let the server see a closed socket).
  void settle(Client* c = nullptr, int rounds = 3) {
    for (int i = 0; i < rounds; ++i) {
      if (c) c->OBSLUHAKOMUNIKACE();
      wait_io(c);
      server->pass();
    }
  }

  int slot_of_last() const {
    for (int i = kMaxSessions - 1; i >= 0; --i)
      if (server->session(i).in_use) return i;
    return -1;
  }

  ksv::testing::TempDir dir;
  FakeClock clock;
  std::unique_ptr<Server> server;
};

}  // namespace ksv::server::testing
