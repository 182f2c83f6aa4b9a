// The client on the headless display against a real server object on a loopback port, both in
// one thread: every event step of the client runs one server pass, and a small driver answers
// the client's dialogs with keys, the way a user at the keyboard would.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client/app.h"
#include "client/screen_table.h"
#include "client/screens/session/session.h"
#include "protocol/testsupport/temp_dir.h"
#include "server/core/device_handlers.h"
#include "server/core/server.h"
#include "toolkit/draw/headless.h"

namespace ksv::client::testing {

// A signature shared by server and client when a test wants one.
inline std::string test_signature() {
  std::string s(256, '\0');
  for (int i = 0; i < 256; ++i) s[i] = char(i * 5 + 1);
  return s;
}

class ClientTest : public ::testing::Test {
 protected:
  ClientTest() : clock(2026, 3, 10, 10, 0, 0) {
    sdir = dir.path() + "server/";
    cdir = dir.path() + "client/";
    ::mkdir(sdir.c_str(), 0755);
    ::mkdir(cdir.c_str(), 0755);
    std::FILE* in = std::fopen(KSV_CLIENT_TEXTS, "rb");
    std::string texts;
    if (in) {
      char buf[4096];
      size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) texts.append(buf, n);
      std::fclose(in);
    }
    dir.write_file("client/dbtexty.dat", texts);
    [[maybe_unused]] int r = ::symlink(KSV_GUIDATA_DIR, (cdir + "guidata").c_str());
  }

  // Starts the server; with a signature it is written for the server first.
  void start_server(const std::string& signature = "") {
    if (!signature.empty()) dir.write_file("server/signature", signature);
    server::ServerOptions o;
    o.base_dir = sdir;
    o.port = 0;
    o.listen_address = "127.0.0.1";
    o.accept_thread = false;
    o.pauses = false;
    o.console_log = false;
    server = std::make_unique<server::Server>(clock, o);
    // The device and message units, for tests of the commands they answer (cameras, alarm).
    if (with_units) units = std::make_unique<server::ServerUnits>(*server, server::ServerConfig{});
    ASSERT_EQ(server->start(), 0);
  }

  int32_t add_user(const std::string& name, const std::string& password, int64_t rights) {
    int32_t id = -1;
    EXPECT_EQ(server->users().create(name, password, "", rights, &id), server::UserResult::kOk);
    return id;
  }

  // Opens the client (configuration files must be in place before).
  void open_client() {
    app = std::make_unique<ClientApp>(std::make_unique<draw::HeadlessBackend>(), clock,
                                      cdir + "KSVDB");
    ASSERT_EQ(app->open(), 0);
    if (server) app->client.conn.port = server->port();
    app->client.conn.connect_timeout_ms = 2000;
    app->frame.idle = [this] { tick(); };
  }

  // Each pause of the client: a server pass, then the driver's next answer when it is due.
  void tick() {
    if (server && serve) server->pass();
    ++steps;
    if (std::getenv("KSV_TRACE") && steps < 400)
      std::fprintf(stderr, "step %ld scr %d->%d modal %d key %s status '%s' conn %d poslakce %d\n", steps,
                   f().AKTUALNIOBRAZOVKA, f().POZADOVANAOBRAZOVKA, int(f().modal.kind),
                   f().modal.key.c_str(), f().status_text.c_str(), int(info().SPOJENO),
                   int(info().POSLAKCE));
    const std::string now_key = f().modal.kind == Modal::kNone ? "" : f().modal.key;
    if (now_key != last_key && !now_key.empty()) seen.push_back(now_key);
    last_key = now_key;
    if (!script.empty() && script.front().first()) {
      auto action = script.front().second;
      script.pop_front();
      action();
    }
    if (finished && finished()) f().end_program(0);
    if (steps > kStepLimit) {
      timed_out = true;
      f().end_program(99);
    }
  }

  // When the condition holds (checked in order, one entry at a time), run the action.
  void when(std::function<bool()> condition, std::function<void()> action) {
    script.emplace_back(std::move(condition), std::move(action));
  }
  // A dialog counts as shown once all its buttons are drawn: until then a poll draws one button
  // and stops, so a hot key pressed earlier would only land in the key queue.
  void when_modal(Modal m, std::function<void()> action) {
    when([this, m] { return f().modal.kind == m && settled(); }, std::move(action));
  }
  bool settled() {
    for (const auto& b : app->tk.tlacitka.TLACITKO)
      if (b.OBRAZEK != toolkit::kFreeButton && b.AKTIVNI && b.STAV == 255) return false;
    return true;
  }
  // Runs the main loop until `done` holds; false when the step limit ran out first.
  bool run_until(std::function<bool()> done) {
    finished = std::move(done);
    f().run();
    if (timed_out) {
      std::string trail;
      for (const std::string& k : seen) trail += k + " ";
      ADD_FAILURE() << "step limit: screen " << f().AKTUALNIOBRAZOVKA << " -> "
                    << f().POZADOVANAOBRAZOVKA << ", modal " << int(f().modal.kind) << ", status '"
                    << f().status_text << "', dialogs: " << trail
                    << ", script left: " << script.size();
    }
    return !timed_out;
  }

  // The usual way in: connect on the internal address, choose the highlighted user, password.
  void script_login(const std::string& password, const std::string& user = "novak") {
    when_modal(Modal::kAddress, [this] { key(13); });
    when_modal(Modal::kUserList, [this, user] { choose_user(user); });
    when_modal(Modal::kPassword, [this, password] {
      type(password);
      key(13);
    });
  }

  // Connected and logged in through the frame's own exchange, without the screens; the frame
  // stands on the menu.
  void login_directly(const std::string& user = "novak", const std::string& password = "n") {
    Frame& fr = f();
    fr.AKTUALNIOBRAZOVKA = fr.POZADOVANAOBRAZOVKA = kScreenMenu;
    app->client.conn.THREADPRIPOJSENASERVER();
    ASSERT_TRUE(info().SPOJENO);
    Packet& b = fr.compose();
    b.ULOZRETEZEC(slot::kText, true, user);
    b.ULOZRETEZEC(slot::kText2, true, password);
    b.SIFRUJHESLO();
    ASSERT_EQ(fr.CEKEJNAODPOVED(11, "login"), 194);
    info().JMENO = user;
  }

  // Moves the list's highlight down to the user and confirms.
  void choose_user(const std::string& user) {
    const auto& l = app->tk.seznam.SEZNAM;
    for (size_t i = 0; i < l.size() && l[i].NAZEV != user; ++i) hb().extended_key(80);
    key(13);
  }

  Frame& f() { return app->frame; }
  TInfoKlient& info() { return app->client.conn.INFOKLIENT; }
  draw::HeadlessBackend& hb() { return *app->graph.headless(); }
  void key(uint8_t k) { hb().key(k); }
  void type(const std::string& s) { hb().text(s); }
  int session_slot() const {
    for (int i = 0; i < server::kMaxSessions; ++i)
      if (server->session(i).in_use) return i;
    return -1;
  }

  static constexpr long kStepLimit = 20000;

  ksv::testing::TempDir dir;
  FakeClock clock;
  std::string sdir, cdir;
  std::unique_ptr<server::Server> server;
  bool with_units = false;
  std::unique_ptr<server::ServerUnits> units;
  std::unique_ptr<ClientApp> app;
  std::deque<std::pair<std::function<bool()>, std::function<void()>>> script;
  std::function<bool()> finished;
  std::vector<std::string> seen;  // keys of the dialogs shown, in order
  std::string last_key;
  bool serve = true;              // the server passes with every client pause
  long steps = 0;
  bool timed_out = false;
};

}  // namespace ksv::client::testing
