// Screen 321: the last day on which the rights delegated to the user on show are valid. The
// server takes the date with command 62 and no further rights; a date already past takes the
// delegated rights away at the user's next login.
#include "client/keys.h"
#include "client/screens/users/line_input.h"
#include "client/screens/users/user_rules.h"
#include "client/screens/users/users_screen.h"
#include "toolkit/toolkit.h"

namespace ksv::client {

namespace {

using namespace keys;

// A number typed into the dialog of `key`; nothing when cancelled or not a number.
std::optional<uint16_t> ask_number(Frame& f, const std::string& key, size_t digits, uint16_t now) {
  std::optional<std::string> typed = ask_field(f, key, digits, false, std::to_string(now));
  if (!typed || typed->empty() || typed->find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return uint16_t(std::stoul(*typed));
}

}  // namespace

// Sends the validity date (and no rights) for the user on show. True when the server took it.
bool send_validity(Frame& f, const std::string& name, const TDatum& until, int64_t rights) {
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, name);
  b.put_int64(slot::kRights, rights);
  b.put_raw(slot::kDate, &until, sizeof until);
  return f.request(62, "copy") == 233;
}

void build_validity_screen(Frame& f, Workspace& ws) {
  toolkit::Toolkit& tk = f.tk();
  TPrava& u = ws.UZIVATEL;
  if (!user_actions(f.info().MOJEPRAVA, f.info().JMENO, u).delegate) {
    f.request_screen(kScreenUsers);
    return;
  }
  TDatum until = u.PLATIDO;
  if (!valid_date(until)) until = f.client().conn.clock().now().datum();
  enum { kOpen, kConfirmed, kCancelled } state = kOpen;
  bool changed = true;
  // Above the middle, so the day, month and year dialogs leave the date in sight.
  toolkit::Window w(tk, 170, 40, 300, 110, true, "platnost");
  if (!w) return;
  auto button = [&](const char* picture, int32_t x, int32_t y, uint8_t key, std::function<void()> act) {
    toolkit::picture_button(tk, w.index(), picture, [&f, act = std::move(act)] { f.defer(act); }, x, y, key);
  };
  button("zmen.bmp", -10, 30, 'z', [&] {
    if (auto d = ask_number(f, "den", 2, until.DEN)) until.DEN = *d;
    if (auto m = ask_number(f, "mesic", 2, until.MES)) until.MES = *m;
    if (auto y = ask_number(f, "rok", 4, until.ROK)) until.ROK = *y;
    changed = true;
  });
  button("budiz.bmp", 10, -10, kEnter, [&] {
    if (!valid_date(until)) {
      f.notice("platnost", "spatnedatum");
      return;
    }
    state = kConfirmed;
  });
  button("zrusit.bmp", 70, -10, kEscape, [&] { state = kCancelled; });
  button("pomoc.bmp", -10, -10, kF1, [&f] { f.help(); });
  toolkit::ModalScope<Modal> scope(f.modal, Modal::kInput, "platnost");
  while (!f.screen_left() && state == kOpen) {
    if (changed) {
      tk.okna.VYPISUDAJOKNO(w.index(), 20, 35, 255, tk.images.NAJDIBARVU(0, 0, 64), 12, date_text(until));
      tk.tlacitka.NUTNOVYKRESLIT = true;
      changed = false;
    }
    f.event_step();
  }
  if (f.screen_left()) return;
  w.close();
  if (state == kConfirmed && send_validity(f, std::string(u.UZIVATEL.view()), until, 0)) u.PLATIDO = until;
  if (!f.screen_left()) f.request_screen(kScreenUsers);
}

}  // namespace ksv::client
