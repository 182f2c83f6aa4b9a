// The orders browser's first page: from the orders key pressed on the menu to the page of the
// list drawn, by the real KSVDB (headless) against a real ksvserver on loopback over a generated
// tree of 5,000 orders, beside the server's own search for the same criteria in the same run.
// The client's time holds the search, the transfer of the list file, the parsing, the sort and
// the drawing; the ratio says what all but the search add.
// Run: build/bench/orders_bench [orders] [programs per order]
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "bench/order_tree.h"
#include "client/app.h"
#include "client/screens/orders/order_rules.h"
#include "client/screens/orders/orders.h"
#include "protocol/clock.h"
#include "protocol/rights.h"
#include "server/core/server.h"
#include "server/store/order_search.h"
#include "toolkit/draw/headless.h"

namespace {

using Steady = std::chrono::steady_clock;

double ms_since(Steady::time_point t0) {
  return std::chrono::duration<double, std::milli>(Steady::now() - t0).count();
}

std::string read_all(const std::string& path) {
  std::string out;
  if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;) out.append(buf, n);
    std::fclose(in);
  }
  return out;
}

void fail(const char* what) {
  std::fprintf(stderr, "orders_bench: %s\n", what);
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ksv;
  using namespace ksv::client;
  const int orders = argc > 1 ? std::atoi(argv[1]) : 5000;
  const int programs = argc > 2 ? std::atoi(argv[2]) : 4;
  char tmpl[] = "/tmp/ksv-orders-bench-XXXXXX";
  if (!::mkdtemp(tmpl)) fail("no temporary directory");
  const std::string root = std::string(tmpl) + "/";
  const std::string sdir = root + "server/", cdir = root + "client/";
  ::mkdir(sdir.c_str(), 0755);
  ::mkdir(cdir.c_str(), 0755);
  std::printf("generating %d orders x %d programs in %s ...\n", orders, programs, root.c_str());
  bench::generate_order_tree(sdir + "databaze/", orders, programs);

  // The server as the workshop runs it, its passes driven from the client's pauses.
  RealClock clock;
  server::ServerOptions o;
  o.base_dir = sdir;
  o.port = 0;
  o.listen_address = "127.0.0.1";
  o.accept_thread = false;
  o.pauses = false;
  o.console_log = false;
  server::Server srv(clock, o);
  if (srv.start() != 0) fail("the server did not start");
  int64_t rights = 0;
  for (int bit : {8, 58}) NASTAVBIT(rights, bit);
  if (srv.users().create("novak", "n", "", rights, nullptr) != server::UserResult::kOk)
    fail("no user");

  // The client with its texts and pictures, logged in, on the menu.
  {
    const std::string texts = read_all(KSV_CLIENT_TEXTS);
    std::FILE* out = std::fopen((cdir + "dbtexty.dat").c_str(), "wb");
    if (!out || std::fwrite(texts.data(), 1, texts.size(), out) != texts.size()) fail("texts");
    std::fclose(out);
    if (::symlink(KSV_GUIDATA_DIR, (cdir + "guidata").c_str()) != 0) fail("guidata");
  }
  ClientApp app(std::make_unique<draw::HeadlessBackend>(), clock, cdir + "KSVDB");
  if (app.open() != 0) fail("the client did not open");
  Frame& f = app.frame;
  draw::HeadlessBackend& hb = *app.graph.headless();
  app.client.conn.port = srv.port();
  app.client.conn.ADRESASERV = "127.0.0.1";
  f.idle = [&srv] { srv.pass(); };
  f.AKTUALNIOBRAZOVKA = f.POZADOVANAOBRAZOVKA = kScreenMenu;
  app.client.conn.THREADPRIPOJSENASERVER();
  if (!app.client.conn.INFOKLIENT.SPOJENO) fail("no connection");
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, "novak");
  b.ULOZRETEZEC(slot::kText2, true, "n");
  b.SIFRUJHESLO();
  if (f.CEKEJNAODPOVED(11, "login") != 194) fail("login refused");
  app.client.conn.INFOKLIENT.JMENO = "novak";
  f.compose().ULOZRETEZEC(slot::kText, true, "novak");
  if (f.CEKEJNAODPOVED(27, "info") != 245) fail("no user record");
  f.read_user_record();
  f.AKTUALNIOBRAZOVKA = kNoScreen;  // the menu is built by the next pass
  // KSV_TRACE=FILE: the client's requests, replies and downloads with their times, to see where
  // the time goes.
  if (const char* t = std::getenv("KSV_TRACE")) app.tk.trace.open(t);

  // Every button drawn: until then a hot key may land in the key queue instead of its button.
  auto settled = [&] {
    for (const auto& btn : app.tk.tlacitka.TLACITKO)
      if (btn.OBRAZEK != toolkit::kFreeButton && btn.AKTIVNI && btn.STAV == 255) return false;
    return true;
  };
  auto run_until = [&](const std::function<bool()>& done) {
    for (long i = 0; i < 10'000'000 && !done(); ++i) {
      f.main_pass();
      if (f.ending()) fail("the client ended");
    }
    if (!done()) fail("the screen never came");
  };
  const std::string page_word = f.text("strana");
  auto first_page_drawn = [&] {
    return f.AKTUALNIOBRAZOVKA == orders::kScreenBrowser && f.status_text.rfind(page_word, 0) == 0;
  };

  const int runs = 7;
  double client_best = 1e300, search_best = 1e300;
  int lines = 0;
  const TKriteria criteria = orders::browser_criteria(clock.now().datum());
  const std::string out = sdir + "bench-seznd";
  for (int r = 0; r < runs; ++r) {
    run_until([&] { return f.AKTUALNIOBRAZOVKA == kScreenMenu && settled(); });
    hb.key('z');
    const auto t0 = Steady::now();
    run_until(first_page_drawn);
    client_best = std::min(client_best, ms_since(t0));
    lines = app.tk.seznam.PRVKU();
    run_until(settled);
    hb.key(27);

    // The same criteria, searched by the server's own routine.
    const auto t1 = Steady::now();
    if (!server::search_orders(sdir + "databaze/", std::nullopt, criteria, out)) fail("search");
    search_best = std::min(search_best, ms_since(t1));
  }
  std::printf("server search, the browser's criteria            %8.1f ms\n", search_best);
  std::printf("orders key to first page drawn (%5d lines)      %8.1f ms  %.2fx the search "
              "(target <= 1.50x)\n",
              lines, client_best, client_best / search_best);

  app.finish();
  srv.shutdown();
  std::string cmd = "rm -rf '" + root + "'";
  return std::system(cmd.c_str()) == 0 ? 0 : 3;
}
