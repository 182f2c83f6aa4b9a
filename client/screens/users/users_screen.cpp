// The user screen (3): the user's name, password (as asterisks), attendance code, validity date
// of delegated rights and last login, with the buttons the own rights allow. The screen runs
// its own loop and is laid out anew whenever the user on show changes.
#include "client/screens/users/users_screen.h"

#include <cstring>

#include "client/keys.h"
#include "client/screens/users/line_input.h"
#include "client/screens/users/user_rules.h"
#include "protocol/rights.h"

namespace ksv::client {

namespace {

using namespace keys;

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 440;
constexpr int32_t kLabelX = 20, kValueX = 190, kChangeX = 470, kFirstRow = 45, kRowStep = 35;
constexpr int kValueChars = 34;
constexpr size_t kNameLength = 30;      // the login list shows 32 characters of a name
constexpr size_t kPasswordLength = 40;  // what the login screen takes
constexpr size_t kCodeLength = 20;

void label(toolkit::Toolkit& tk, int w, int32_t x, int32_t y, const std::string& text) {
  const toolkit::TOkno& o = tk.okna.OKNO[w];
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  toolkit::ViewportGuard view(g);
  g.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
  g.SETCOLOR(255);
  g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
  g.SETTEXTJUSTIFY(0, 0);
  g.OUTTEXTXY(o.X + x, o.Y + y, text);
}

void value(toolkit::Toolkit& tk, int w, int row, const std::string& text) {
  tk.okna.VYPISUDAJOKNO(w, kValueX, kFirstRow + row * kRowStep - 3, 255,
                        tk.images.NAJDIBARVU(0, 0, 64), kValueChars, text);
}

// Create (25) or save (28): name, password (scrambled as the server expects it), code, rights.
int32_t send_user(Frame& f, const TPrava& u, bool create) {
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, u.UZIVATEL.view());
  b.ULOZRETEZEC(slot::kText2, true, u.HESLO.view());
  b.SIFRUJHESLO();
  b.ULOZRETEZEC(slot::kText3, true, u.KODDOCHAZKY.view());
  b.put_int64(slot::kInt64, u.PRAVA);
  if (!create) b.ULOZCISLO(slot::kNumber, u.ID);
  return create ? f.request(25, "create") : f.request(28, "save");
}

// What the screen's loop is to do after a button.
enum class Next { kStay, kRebuild };

struct UserScreen {
  Frame& f;
  Workspace& ws;
  Next next = Next::kStay;

  TPrava& user() { return ws.UZIVATEL; }

  void show_values(int w) {
    toolkit::Toolkit& tk = f.tk();
    const TPrava& u = user();
    value(tk, w, 0, std::string(u.UZIVATEL.view()));
    value(tk, w, 1, std::string(u.HESLO.size(), '*'));
    value(tk, w, 2, std::string(u.KODDOCHAZKY.view()));
    value(tk, w, 3, u.PLATIDO.ROK == 0 ? "--.--.----" : date_text(u.PLATIDO));
    const TPrava::Naposledy& last = u.NAPOSLEDY;
    char time[16];
    std::snprintf(time, sizeof time, " %02d:%02d", last.CAS.HOD % 100, last.CAS.MIN % 100);
    value(tk, w, 4, is_new_user(u) ? f.text("novyuziv") : last.DATUM.ROK == 0 ? "--" : date_text(last.DATUM) + time);
    tk.tlacitka.NUTNOVYKRESLIT = true;
  }

  void start_new_user() {
    TPrava fresh{};
    fresh.ID = -1;
    user() = fresh;
    next = Next::kRebuild;
    if (std::optional<std::string> name = ask_field(f, "zmjmena", kNameLength, false, "")) {
      user().UZIVATEL.assign(*name);
      if (std::optional<std::string> pw = ask_field(f, "zmheslo", kPasswordLength, true, ""))
        user().HESLO.assign(*pw);
    }
  }

  void change(const char* key, PString<255>& field, size_t length, bool masked) {
    if (std::optional<std::string> typed = ask_field(f, key, length, masked, std::string(field.view())))
      field.assign(*typed);
    next = Next::kRebuild;
  }

  void save() {
    TPrava& u = user();
    if (u.UZIVATEL.size() == 0) {
      f.notice("uzivatele", "bezjmena");
      return;
    }
    const bool create = is_new_user(u);
    const int32_t reply = send_user(f, u, create);
    if (create && reply == 235) {
      u.ID = f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kNumber);
      next = Next::kRebuild;
    }
  }

  void remove() {
    if (!f.POTVRZENI()) return;
    Packet& b = f.compose();
    b.ULOZRETEZEC(slot::kText, true, user().UZIVATEL.view());
    if (f.request(26, "delete") != 235) return;
    // The deleted user is gone; the screen shows the own user again.
    fetch_user(f, f.info().JMENO, user());
    next = Next::kRebuild;
  }

  // Lays the screen out and serves it until it is left or must be laid out anew.
  void run_once() {
    toolkit::Toolkit& tk = f.tk();
    next = Next::kStay;
    tk.okna.SMAZOKNA();
    const int32_t h = tk.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, "uzivatele", "");
    if (h == toolkit::kNoFreeWindow) return;
    const int w = h >> 8;
    const UserActions can = user_actions(f.info().MOJEPRAVA, f.info().JMENO, user());
    static const char* const kLabels[] = {"jmeno", "heslou", "koddochazky", "platido", "naposledy"};
    for (int row = 0; row < 5; ++row)
      label(tk, w, kLabelX, kFirstRow + row * kRowStep - 6, f.text(kLabels[row]));
    show_values(w);

    auto button = [&](const char* picture, int32_t x, int32_t y, uint8_t key, std::function<void()> act) {
      // A whole exchange or dialog never runs inside the poll that fired the button.
      toolkit::picture_button(tk, w, picture, [this, act = std::move(act)] { f.defer(act); }, x, y, key);
    };
    auto change_at = [&](int row, uint8_t key, std::function<void()> act) {
      button("zmen.bmp", kChangeX, kFirstRow + row * kRowStep - 5, key, std::move(act));
    };
    if (can.rename) change_at(0, '1', [this] { change("zmjmena", user().UZIVATEL, kNameLength, false); });
    if (can.save) {
      change_at(1, '2', [this] { change("zmheslo", user().HESLO, kPasswordLength, true); });
      change_at(2, '3', [this] { change("zmkod", user().KODDOCHAZKY, kCodeLength, false); });
    }
    if (can.delegate) change_at(3, '4', [this] { f.request_screen(kScreenValidity); });

    button("menu.bmp", -10, 30, kEscape, [this] { f.request_screen(kScreenMenu); });
    if (can.save) button("uloz.bmp", -10, 70, 'u', [this] { save(); });
    if (can.create) button("novy.bmp", -10, 110, 'n', [this] { start_new_user(); });
    if (can.other_user) button("jiny.bmp", -10, 140, 'j', [this] { f.request_screen(kScreenOtherUser); });
    button("prava.bmp", -10, 180, 'p', [this] { f.request_screen(kScreenRightsEditor); });
    if (can.delegate) button("preved.bmp", -10, 210, 'r', [this] { f.request_screen(kScreenRightsSource); });
    if (can.remove) button("smaz.bmp", -10, 250, kCtrlE, [this] { remove(); });
    button("pomoc.bmp", -10, -10, kF1, [this] { f.help(); });

    next = Next::kStay;
    while (!f.screen_left() && next == Next::kStay) f.event_step();
  }
};

}  // namespace

bool fetch_user(Frame& f, const std::string& name, TPrava& into) {
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, name);
  if (f.request(27, "info") != 245) return false;
  into = f.read_user_record();
  return true;
}

void build_users_screen(Frame& f, Workspace& ws) {
  // Nobody chosen yet (the screen was reached some other way than from the menu): the own user.
  if (ws.UZIVATEL.UZIVATEL.size() == 0 && !is_new_user(ws.UZIVATEL) &&
      !fetch_user(f, f.info().JMENO, ws.UZIVATEL)) {
    f.request_screen(kScreenMenu);
    return;
  }
  UserScreen screen{f, ws};
  do {
    screen.run_once();
  } while (!f.screen_left() && screen.next == Next::kRebuild);
}

}  // namespace ksv::client
