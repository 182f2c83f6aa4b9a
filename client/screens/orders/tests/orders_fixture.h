// The orders screens against a real server: orders seeded straight into the server's data tree
// (their directories dated by the test's clock), a user with the rights the test needs, the way
// in through the menu, and readers of what reached the server's files.
#pragma once
#include <poll.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "client/record_list.h"
#include "client/screens/orders/orders.h"
#include "client/tests/fixture.h"
#include "protocol/client.h"
#include "protocol/commands.h"
#include "protocol/rights.h"
#include "server/store/orders.h"

namespace ksv::client::testing {

inline int64_t rights(std::initializer_list<int> list) {
  int64_t r = 0;
  for (int b : list) NASTAVBIT(r, b);
  return r;
}

// A directory in memory (when the machine has /dev/shm): thousands of orders are made there in
// a moment, where a disk's file system takes many seconds.
class MemoryDir {
 public:
  MemoryDir() {
    char tmpl[] = "/dev/shm/ksvorders.XXXXXX";
    if (::mkdtemp(tmpl)) path_ = tmpl;
  }
  ~MemoryDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  MemoryDir(const MemoryDir&) = delete;
  MemoryDir& operator=(const MemoryDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class OrdersTest : public ClientTest {
 protected:
  // The server's "databaze" in memory; before start().
  void orders_in_memory() {
    if (!memory_.path().empty()) {
      ASSERT_EQ(::symlink(memory_.path().c_str(), (sdir + "databaze").c_str()), 0);
    }
  }

  server::OrderStore store() { return server::OrderStore(sdir); }

  // An order dated `days_ago` days before the test's day (the directory's time is its date).
  void seed_order(const std::string& number, int days_ago = 0, const std::string& customer = "") {
    ASSERT_TRUE(store().create_order(number, 1));
    if (!customer.empty()) {
      TPolozkaDatabanky h = header(number);
      h.ZAKAZNIK.assign(customer);
      write_header(number, h);
    }
    date_dir(store().order_dir(*server::directory_key(number)), days_ago);
  }
  void seed_program(const std::string& order, const std::string& code, bool sample = false,
                    bool production = false) {
    const std::string key = *server::directory_key(order);
    ASSERT_TRUE(store().create_program(key, code, 1, clock.now()));
    TProgramZak p = program(order, code);
    p.VZOREK = sample;
    p.VYROBNI = production;
    write_record(store().program_dir(key, *server::directory_key(code)) + "prog.dat", p);
    date_dir(store().order_dir(key), days_ago_of(order));
  }
  void date_dir(const std::string& dir, int days_ago) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 10 - days_ago;
    t.tm_hour = 9;
    t.tm_isdst = -1;
    const time_t when = std::mktime(&t);
    utimbuf u{when, when};
    ::utime(dir.c_str(), &u);
    ages_[dir] = days_ago;
  }
  int days_ago_of(const std::string& order) {
    auto it = ages_.find(store().order_dir(*server::directory_key(order)));
    return it == ages_.end() ? 0 : it->second;
  }

  template <typename R>
  static R read_record(const std::string& path) {
    R r{};
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in) {
      EXPECT_EQ(std::fread(&r, sizeof r, 1, in), 1u) << path;
      std::fclose(in);
    }
    return r;
  }
  template <typename R>
  static void write_record(const std::string& path, const R& r) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(out);
    ASSERT_EQ(std::fwrite(&r, sizeof r, 1, out), 1u);
    std::fclose(out);
  }
  TPolozkaDatabanky header(const std::string& order) {
    return read_record<TPolozkaDatabanky>(store().order_dir(*server::directory_key(order)) +
                                          "info.dat");
  }
  void write_header(const std::string& order, const TPolozkaDatabanky& h) {
    write_record(store().order_dir(*server::directory_key(order)) + "info.dat", h);
  }
  TProgramZak program(const std::string& order, const std::string& code) {
    return read_record<TProgramZak>(
        store().program_dir(*server::directory_key(order), *server::directory_key(code)) +
        "prog.dat");
  }
  bool order_exists(const std::string& order) {
    return store().order_exists(*server::directory_key(order));
  }

  // Starts the server with one user "novak" of the given rights and logs in through the screens;
  // the menu follows.
  void start(int64_t user_rights) {
    start_server();
    add_user("novak", "n", user_rights);
    open_client();
    app->frame.idle = [this] {
      await_delivery();
      tick();
    };
    if (open_client_hook) open_client_hook();
    script_login("n");
  }
  // While the client waits for the server, a step waits (briefly) for the bytes to arrive, so
  // a busy machine's slow loopback costs time, not steps of the test's budget. It returns as soon
  // as the client or a session of the server has something to read.
  void await_delivery() {
    const TInfoKlient& k = info();
    if (!k.SPOJENO || !f().exchanging()) return;
    if (!is_in_progress_reply(k.POSLAKCE) && !app->client.transfer_active()) return;
    std::vector<pollfd> fds{{app->client.conn.ZASUVKA, POLLIN, 0}};
    for (int i = 0; i < server::kMaxSessions; ++i)
      if (server->session(i).in_use) fds.push_back({server->session(i).socket, POLLIN, 0});
    ::poll(fds.data(), fds.size(), 20);
  }
  bool script_done() const { return script.empty(); }
  bool back_in_browser() { return script_done() && browser_ready(); }
  // From the menu to the browser (its key 'z').
  void to_browser() {
    when([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu && settled(); }, [this] { key('z'); });
  }
  bool on_screen(int32_t screen) {
    return f().AKTUALNIOBRAZOVKA == screen && f().POZADOVANAOBRAZOVKA == screen &&
           f().modal.kind == Modal::kNone && settled() && !app->tk.tlacitka.JEKLAV();
  }
  // The browser has its list on show (it says which page in the status line).
  bool browser_ready() {
    return on_screen(orders::kScreenBrowser) && f().status_text.rfind(f().text("strana"), 0) == 0;
  }
  // The editor shows its order with the program list fetched, waiting for the user.
  bool editor_ready() {
    return f().AKTUALNIOBRAZOVKA == orders::kScreenEditor &&
           f().POZADOVANAOBRAZOVKA == orders::kScreenEditor && f().modal.kind == Modal::kNone &&
           settled() && !app->tk.tlacitka.JEKLAV() && f().status_text == f().text("wait") &&
           (app->tk.seznam.AKTMODSEZNAMU & 0x3F) == list_mode(ListLayout::kPrograms);
  }
  // Opens the order the browser highlights.
  void open_first() {
    when([this] { return browser_ready(); }, [this] { key(13); });
  }
  // The list's entry names, in list order.
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const auto& e : app->tk.seznam.SEZNAM) out.push_back(e.NAZEV);
    return out;
  }
  void shot(const std::string& name) {
    if (const char* d = std::getenv("KSV_SHOTS")) hb().screenshot(std::string(d) + "/" + name);
  }
  Workspace& ws() { return app->workspace; }

  // The buttons showing `picture`, as the screen placed them.
  std::vector<const toolkit::TTLAC*> buttons_of(const std::string& picture) {
    std::vector<const toolkit::TTLAC*> out;
    for (const toolkit::TTLAC& b : app->tk.tlacitka.TLACITKO)
      if (b.OBRAZEK != toolkit::kFreeButton && b.AKTIVNI &&
          b.picture.find("/" + picture + "|") != std::string::npos)  // "path|WxH"
        out.push_back(&b);
    return out;
  }
  // A click as a hand makes it, one state per button poll: onto the button, press, release.
  // Called from a step of the script, it comes before the steps still waiting.
  void click(int x, int y) {
    std::vector<std::function<void()>> acts;
    for (std::function<void()> act : {std::function<void()>([this, x, y] { hb().move_mouse(x, y); }),
                                      std::function<void()>([this] { hb().set_buttons(1); }),
                                      std::function<void()>([this] { hb().set_buttons(0); })}) {
      acts.push_back(std::move(act));
      for (int i = 0; i < 3; ++i) acts.push_back([] {});
    }
    for (auto it = acts.rbegin(); it != acts.rend(); ++it)
      script.emplace_front([] { return true; }, std::move(*it));
  }

  // Another desktop at the workshop: a second user logged in over the protocol who opens the
  // order and keeps it open. The answer to each of its requests; 0 when none came.
  int32_t hold_elsewhere(const std::string& number) {
    add_user("svoboda", "s", rights({8, 9}));
    dir.write_file("other/temp/.keep", "");
    other = std::make_unique<Client>(clock, dir.path() + "other/");
    other->conn.port = server->port();
    other->conn.ADRESASERV = "127.0.0.1";
    other->conn.THREADPRIPOJSENASERVER();
    server->pass();
    Packet& b = other->conn.BUFFERPACKET;
    b.clear();
    b.NASTAVPRIKAZ(11, 0, true);
    b.ULOZRETEZEC(slot::kText, true, "svoboda");
    b.ULOZRETEZEC(slot::kText2, true, "s");
    b.SIFRUJHESLO();
    if (other_exchange(11) != 194) return 0;
    b.clear();
    b.NASTAVPRIKAZ(17, 0, true);
    b.ULOZRETEZEC(slot::kText, true, number);
    return other_exchange(17);
  }
  int32_t other_exchange(int request) {
    for (int i = 0; i < 200 && other->conn.INFOKLIENT.SPOJENO; ++i) {
      other->OBSLUHAKOMUNIKACE();
      if (other->answered(request)) return other->conn.INFOKLIENT.POSLAKCE;
      server->pass();
      pollfd p{other->conn.ZASUVKA, POLLIN, 0};
      ::poll(&p, 1, 20);
    }
    return 0;
  }

  std::map<std::string, int> ages_;
  MemoryDir memory_;
  std::function<void()> open_client_hook;  // runs once the client is open, before the login
  std::unique_ptr<Client> other;           // see hold_elsewhere
};

}  // namespace ksv::client::testing
