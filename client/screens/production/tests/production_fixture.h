// The production screens against a real server: orders and programs seeded straight into the
// server's data tree with the dates and operators a test needs, the way in through the menu,
// and what the production list shows.
#pragma once
#include <filesystem>

#include "client/screens/orders/tests/orders_fixture.h"
#include "client/screens/production/production.h"

namespace ksv::client::testing {

class ProductionTest : public OrdersTest {
 protected:
  // An order to be embroidered by `embroider_by` (and due by `due`).
  void seed_due_order(const std::string& number, TDatum embroider_by, TDatum due = {},
                      bool closed = false) {
    seed_order(number, 0, "Zakaznik " + number);
    TPolozkaDatabanky h = header(number);
    h.VYSIT = embroider_by;
    h.TERMIN = due;
    h.POPIS.assign("popis " + number);
    h.UZAVRENO = closed;
    write_header(number, h);
  }
  // A program of it; `change` adjusts the record before it is stored.
  void seed_work(const std::string& order, const std::string& code, bool released,
                 std::function<void(TProgramZak&)> change = {}) {
    seed_program(order, code, false, released);
    TProgramZak p = program(order, code);
    if (change) change(p);
    write_record(program_path(order, code), p);
  }
  std::string program_path(const std::string& order, const std::string& code) {
    return store().program_dir(*server::directory_key(order), *server::directory_key(code)) +
           "prog.dat";
  }

  // The user "novak" and, for the lists of everybody's work, "jana".
  void start_production(int64_t user_rights) {
    start_server();
    novak = add_user("novak", "n", user_rights);
    jana = add_user("jana", "j", user_rights);
    open_client();
    if (open_client_hook) open_client_hook();
    script_login("n");
  }
  void to_production() {
    when([this] { return f().AKTUALNIOBRAZOVKA == kScreenMenu && settled(); }, [this] { key('v'); });
  }
  bool list_ready() {
    return on_screen(production::kScreenList) &&
           f().status_text.rfind(f().text("strana"), 0) == 0;
  }
  // The card has fetched what it shows (the thread catalogue last) and waits for the user.
  bool card_ready() {
    return on_screen(production::kScreenCard) && f().status_text == f().text("wait") &&
           f().requests_sent[57] >= card_visits && card_shown();
  }
  // The card's fields are on the display: the first value's box, right of its label.
  bool card_shown() {
    const std::vector<uint8_t>& px = hb().shown();
    const size_t at = size_t(3 + 30 + 4) * 640 + size_t(5 + 90 + 40);
    return at < px.size() && px[at] == app->images.NAJDIBARVU(255, 255, 255);
  }
  const server::TKlient& session() { return server->session(session_slot()); }

  int32_t novak = -1, jana = -1;
  int card_visits = 1;  // cards opened so far, the one awaited included
};

}  // namespace ksv::client::testing
