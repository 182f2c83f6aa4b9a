// The client frame: main loop, event step, status line and clock, dialogs, and connect / logout /
// disconnect / exit. The command exchange and the transfers are in exchange.cpp.
#include "client/frame.h"

#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "protocol/commands.h"
#include "protocol/rights.h"

namespace ksv::client {

namespace {

// Marks a dialog as the one now open and puts the dialog under it back when it closes: dialogs
// nest (an error can open over help or over a screen's own window).
class ModalScope {
 public:
  ModalScope(Frame& f, Modal m, std::string key)
      : f_(f), outer_(f.modal), outer_key_(std::move(f.modal_key)) {
    f.modal = m;
    f.modal_key = std::move(key);
    f.tk().trace.event("dialog", f.modal_key);
  }
  ~ModalScope() {
    f_.modal = outer_;
    f_.modal_key = std::move(outer_key_);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  Frame& f_;
  Modal outer_;
  std::string outer_key_;
};

std::string two_digits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v % 100);
  return buf;
}

std::string four_digits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d", v % 10000);
  return buf;
}

// "%U" in an error text becomes the subject's name. One pass from left to right, so a name that
// itself contains "%U" cannot make the replacement run forever.
std::string replace_subject(const std::string& text, const std::string& subject) {
  std::string out;
  size_t from = 0;
  for (size_t at; (at = text.find("%U", from)) != std::string::npos; from = at + 2)
    out += text.substr(from, at - from) + subject;
  return out + text.substr(from);
}

}  // namespace

bool in_progress(int32_t code) { return is_in_progress_reply(code); }

bool in_error_set(int32_t code) { return is_error_dialog_reply(code); }

// ---------------------------------------------------------------------------------- start-up

Frame::Frame(toolkit::Toolkit& tk, Client& client, LocalConfig& config)
    : tk_(tk), client_(client), config_(config) {
  client_.texts = [this](const std::string& key) { return tk_.texty.text(key); };
  // Input fields of the toolkit run the rest of the event step on every pass; a field open
  // when the connection screen is requested (or the program ends) is cancelled.
  tk_.okna.OBSLUHAKOMUNIKACE = [this] {
    event_tail();
    if (POZADOVANAOBRAZOVKA == kScreenConnect || ending()) tk_.okna.KONECZADAVANI = 2;
  };
}

void Frame::start() {
  ZANEPRAZDNEN = false;
  shown_hour = shown_minute = -1;
  auto permanent = [this](const std::string& picture, int32_t x, uint8_t key,
                          std::function<void()> action) {
    int32_t r = tk_.tlacitka.VYTVORTLAC(client_.ADRESAREXE + "guidata/" + picture, action, x, 456,
                                        50, 20, key);
    if ((r & 0xFFFF) != 0)
      tk_.tlacitka.VYTVORTXTTLAC(picture.substr(0, picture.find('.')), action, x, 446, key);
  };
  permanent("odhlasit.bmp", 5, 15, [this] { defer([this] { logout(); }); });
  permanent("odpojit.bmp", 60, 18, [this] { defer([this] { disconnect(); }); });
  permanent("konec.bmp", 115, 11, [this] { defer([this] { exit_program(); }); });
  STAVOVYRADEK("");
  draw_clock();
  POZADOVANAOBRAZOVKA = kScreenConnect;
  AKTUALNIOBRAZOVKA = kNoScreen;
  DIALOGOTEVREN = false;
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void Frame::set_builder(int32_t screen, std::function<void()> builder) {
  builders_[screen] = std::move(builder);
}

// -------------------------------------------------------------------- main loop and event step

int Frame::run() {
  while (!ending()) main_pass();
  return exit_code_;
}

void Frame::main_pass() {
  if (POZADOVANAOBRAZOVKA != AKTUALNIOBRAZOVKA || rebuild_) {
    rebuild_ = false;
    AKTUALNIOBRAZOVKA = POZADOVANAOBRAZOVKA;
    tk_.trace.event("screen", std::to_string(AKTUALNIOBRAZOVKA));
    auto it = builders_.find(AKTUALNIOBRAZOVKA);
    if (it != builders_.end()) {
      std::function<void()> build = it->second;  // a builder may register others
      build();
    }
  }
  if (!ending()) event_step();
}

void Frame::request_screen(int32_t screen) {
  // Leaving the current screen and coming back before the main loop noticed still rebuilds it:
  // the modal loop of the old build has ended.
  if (screen == AKTUALNIOBRAZOVKA && POZADOVANAOBRAZOVKA != screen) rebuild_ = true;
  POZADOVANAOBRAZOVKA = screen;
}

bool Frame::screen_left() const {
  return POZADOVANAOBRAZOVKA != AKTUALNIOBRAZOVKA || rebuild_ || ending();
}

void Frame::event_step() {
  tk_.tlacitka.OBSLUHATLAC();
  if (pending_) {
    std::function<void()> action = std::move(pending_);
    pending_ = nullptr;
    if (!ending()) action();
  }
  event_tail();
}

void Frame::event_tail() {
  if (ending()) return;
  TInfoKlient& k = info();
  client_.OBSLUHAKOMUNIKACE();
  if (k.POSLAKCE == 197) {
    status("disconnect");
    client_.conn.THREADODPOJSE();
    request_screen(kScreenConnect);
  }
  if (client_.PRIJATANOVAZPRAVA) {
    status("message");
    client_.PRIJATANOVAZPRAVA = false;
    message_announced = true;
  }
  if (client_.conn.DOSLOKODPOJENI) {
    client_.conn.DOSLOKODPOJENI = false;
    request_screen(kScreenConnect);
  }
  transfer_indicator();
  draw_clock();
  if (idle) {
    idle();
  } else if (k.SPOJENO) {
    pollfd p{client_.conn.ZASUVKA, POLLIN, 0};
    ::poll(&p, 1, 1);
  } else {
    tk_.graph.DELAY(1);
  }
}

// ------------------------------------------------------------------- status line and clock

void Frame::STAVOVYRADEK(const std::string& text) {
  status_text = text;
  const images::Obrazky& img = tk_.images;
  tk_.okna.VYPISUDAJ(170, 457, img.NAJDIBARVU(0, 0, 128), img.NAJDIBARVU(192, 192, 255), 40, text);
  tk_.tlacitka.VYKRESLIOBRAZ();
}

void Frame::draw_clock() {
  DateTime now = client_.conn.clock().now();
  if (now.hour == shown_hour && now.minute == shown_minute) return;
  shown_hour = now.hour;
  shown_minute = now.minute;
  const images::Obrazky& img = tk_.images;
  const uint8_t fg = img.NAJDIBARVU(0, 0, 255), bg = img.NAJDIBARVU(192, 192, 255);
  tk_.okna.VYPISUDAJ(500, 457, fg, bg, 5, two_digits(now.hour) + ":" + two_digits(now.minute));
  tk_.okna.VYPISUDAJ(550, 457, fg, bg, 10,
                     two_digits(now.day) + "." + two_digits(now.month) + "." + four_digits(now.year));
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void Frame::transfer_indicator() {
  const TInfoKlient& k = info();
  if (k.AKTSOUBOR.empty()) {
    last_block_ = -1;
    return;
  }
  if (k.BLOKDAT == last_block_) return;
  last_block_ = k.BLOKDAT;
  draw::Graph& g = tk_.graph;
  const draw::Graph::Style style = g.style();
  const draw::ViewPortType view = g.GETVIEWSETTINGS();
  g.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
  g.SETFILLSTYLE(1, ((k.BLOKDAT % 16 + 16) % 16) * 16 + 3);
  g.BAR(474, 457, 490, 473);
  g.set_style(style);
  g.SETVIEWPORT(view.x1, view.y1, view.x2, view.y2, view.clip);
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// ------------------------------------------------------------------------------------ dialogs

int32_t Frame::button(int window, const std::string& picture, std::function<void()> action,
                      int32_t x, int32_t y, uint8_t key, int32_t width, int32_t height) {
  int32_t r = tk_.okna.PRIPRAVTLACPROOKNO(window, client_.ADRESAREXE + "guidata/" + picture,
                                          action, x, y, width, height, key);
  if (r != 0 && r != toolkit::kWindowNotOpen && r != toolkit::kWindowFull)
    r = tk_.okna.PRIPRAVTLACPROOKNO(window, "&" + picture.substr(0, picture.find('.')), action, x,
                                    y, 0, 0, key);
  return r;
}

int32_t Frame::centred_popup(int32_t width, int32_t height, const std::string& title_key,
                             const std::string& body_key) {
  return tk_.okna.VYTVOROKNO(-1, -1, std::min(width, draw::kScreenW),
                             std::min(height, draw::kScreenH), true, title_key, body_key);
}

void Frame::HLASENICHYBY() {
  const int32_t code = info().POSLAKCE;
  if (!in_error_set(code)) return;
  drop_transfer();
  const std::string key = "error" + std::to_string(code);
  const std::string body = replace_subject(text(key), subject_name);
  const int32_t h = centred_popup(320, 80, "chyba", "");
  if (h != toolkit::kNoFreeWindow) {
    const int w = h >> 8;
    const toolkit::TOkno& o = tk_.okna.OKNO[w];
    draw::Graph& g = tk_.graph;
    const draw::Graph::Style style = g.style();
    g.SETCOLOR(tk_.images.NAJDIBARVU(255, 255, 255));
    g.SETTEXTSTYLE(4, 0, tk_.texty.AKTVELFONTU);
    g.SETTEXTJUSTIFY(1, 1);
    tk_.texty.OKNOPROVYPIS = int16_t(w);
    tk_.texty.VYPISTEXT(o.X + o.VX / 2, o.Y + 40, body);
    g.set_style(style);
    bool closed = false;
    button(w, "Budiz.bmp", [&closed] { closed = true; }, 0, -5, 13);
    tk_.tlacitka.VYMAZFRONTU();
    DIALOGOTEVREN = true;
    {
      ModalScope scope(*this, Modal::kError, key);
      while (!closed && !ending()) event_step();
      tk_.okna.SMAZOKNO(w);
    }
    DIALOGOTEVREN = false;
  }
  if (code == 195 || code == 197 || code == 255) close_connection_to_connect_screen();
}

bool Frame::POTVRZENI() {
  VYSLEDEKDIALOGU = kDialogOpen;
  const int32_t h = centred_popup(130, 60, "potvrdit", "");
  if (h == toolkit::kNoFreeWindow) {
    VYSLEDEKDIALOGU = kDialogNone;
    return false;
  }
  const int w = h >> 8;
  button(w, "budiz.bmp", [this] { VYSLEDEKDIALOGU = kDialogConfirmed; }, 10, 30, 13);
  button(w, "zrusit.bmp", [this] { VYSLEDEKDIALOGU = kDialogCancelled; }, -10, 30, 27);
  tk_.tlacitka.VYMAZFRONTU();
  DIALOGOTEVREN = true;
  bool confirmed;
  {
    ModalScope scope(*this, Modal::kConfirm, modal_key);
    while (VYSLEDEKDIALOGU == kDialogOpen && POZADOVANAOBRAZOVKA != kScreenConnect && !ending())
      event_step();
    confirmed = VYSLEDEKDIALOGU == kDialogConfirmed;
    tk_.okna.SMAZOKNO(w);
  }
  DIALOGOTEVREN = false;
  VYSLEDEKDIALOGU = kDialogNone;
  return confirmed;
}

InputResult Frame::VSTUPNIDIALOG(const std::string& title_key, uint8_t length) {
  InputResult out;
  const int32_t width = (length / 2) * tk_.texty.AKTVELFONTU + 140;
  const int32_t h = centred_popup(width, 60, title_key, "");
  if (h == toolkit::kNoFreeWindow) return out;
  const int w = h >> 8;
  button(w, "budiz.bmp", [this] { tk_.okna.KONECZADAVANI = 1; }, -65, 30, 13);
  button(w, "zrusit.bmp", [this] { tk_.okna.KONECZADAVANI = 2; }, -10, 30, 27);
  DIALOGOTEVREN = true;
  VYSLEDEKDIALOGU = kDialogOpen;
  ModalScope scope(*this, Modal::kInput, title_key);
  int32_t number = 0;
  std::string typed, result;
  tk_.okna.ZISKEJUDAJOKNO(w, 10, 30, 255, tk_.images.NAJDIBARVU(0, 0, 64), length, number, typed,
                          result);
  out.confirmed = result != std::string(1, '\0') &&
                  (tk_.okna.KONECZADAVANI == 1 || tk_.okna.KONECZADAVANI == 4);
  if (out.confirmed) {
    // The field hands a number back without its text; callers get both.
    out.text = result.empty() && number != 0 ? toolkit::INT2STR(number) : result;
    out.number = number;
  }
  tk_.okna.SMAZOKNO(w);
  DIALOGOTEVREN = false;
  VYSLEDEKDIALOGU = kDialogNone;
  return out;
}

bool Frame::help_page(const std::string& key) {
  toolkit::Texty& tx = tk_.texty;
  const std::string first = tx.text(key);
  std::vector<std::string> lines;
  if (!first.empty() || tx.RADKU > 0) lines.push_back(first);
  for (int i = 0; i < tx.RADKU; ++i) lines.push_back(tx.TEXTBUFFER[i]);
  const bool more = !lines.empty() && lines.back() == ">>>";

  draw::Graph& g = tk_.graph;
  const draw::Graph::Style style = g.style();
  g.SETTEXTSTYLE(4, 0, tx.AKTVELFONTU);
  int widest = 0;
  for (const std::string& l : lines) widest = std::max(widest, g.TEXTWIDTH(l));
  g.set_style(style);
  // Body lines are drawn left-justified 10 pixels in, so the same margin is kept on the right.
  const int32_t width = std::max(100, widest + 20);
  const int32_t line = tx.AKTVELFONTU + 1;
  const int32_t height = int32_t(lines.size()) * line + (lines.empty() ? 0 : 15) + 55;

  const int32_t h = centred_popup(width, height, "napoveda", key);
  if (h == toolkit::kNoFreeWindow) return false;
  const int w = h >> 8;
  bool confirmed = false;
  button(w, "Budiz.bmp", [&confirmed] { confirmed = true; }, 0, -5, 13);
  tk_.tlacitka.VYMAZFRONTU();
  VYSLEDEKDIALOGU = kDialogOpen;
  {
    ModalScope scope(*this, Modal::kHelp, key);
    while (!confirmed && !ending()) event_step();
    tk_.okna.SMAZOKNO(w);
  }
  VYSLEDEKDIALOGU = kDialogNone;
  return more && confirmed;
}

void Frame::help() {
  const std::string key = "help" + std::to_string(AKTUALNIOBRAZOVKA);
  if (help_page(key)) help_page(key + "b");
}

void Frame::notice(const std::string& title_key, const std::string& body_key) {
  const int32_t h = centred_popup(300, 100, title_key, body_key);
  if (h == toolkit::kNoFreeWindow) return;
  const int w = h >> 8;
  bool closed = false;
  button(w, "budiz.bmp", [&closed] { closed = true; }, 0, -5, 13);
  tk_.tlacitka.VYMAZFRONTU();
  DIALOGOTEVREN = true;
  {
    ModalScope scope(*this, Modal::kNotice, body_key);
    while (!closed && POZADOVANAOBRAZOVKA != kScreenConnect && !ending()) event_step();
    tk_.okna.SMAZOKNO(w);
  }
  DIALOGOTEVREN = false;
}

TPrava Frame::read_user_record() {
  Packet& b = client_.conn.BUFFERPACKET;
  TPrava u{};
  u.UZIVATEL.assign(b.ZISKEJRETEZEC(slot::kText, true));
  u.KODDOCHAZKY.assign(b.ZISKEJRETEZEC(slot::kText3, true));
  u.PRAVA = b.get_int64(slot::kInt64);
  u.ID = b.ZISKEJCISLO(slot::kNumber);
  u.PREDANAPRAVA = b.get_int64(slot::kRights);
  b.get_raw(slot::kDate, &u.PLATIDO, sizeof u.PLATIDO);
  b.get_raw(slot::kDateTime, &u.NAPOSLEDY, sizeof u.NAPOSLEDY);
  b.DESIFRUJHESLO();
  u.HESLO.assign(b.ZISKEJRETEZEC(slot::kText2, true));
  TInfoKlient& k = info();
  if (u.UZIVATEL == k.JMENO) {
    k.MOJEPRAVA = u.PRAVA | u.PREDANAPRAVA;
    k.MOJEID = u.ID;
  }
  return u;
}

// ------------------------------------------------------------------------- connection control

void Frame::connect() {
  TInfoKlient& k = info();
  if (ZANEPRAZDNEN || k.SPOJENO) return;
  ZANEPRAZDNEN = true;
  status("connect");
  tk_.tlacitka.OBSLUHATLAC();
  // The connect waits for the server itself (bounded by the connection's time-out), so no
  // further pause is needed before SPOJENO tells the result.
  client_.conn.THREADPRIPOJSENASERVER();
  if (k.SPOJENO) {
    status("connected");
    request_screen(kScreenLogin);
  } else {
    status("offline");
  }
  ZANEPRAZDNEN = false;
}

void Frame::close_connection_to_connect_screen() {
  client_.conn.THREADODPOJSE();
  request_screen(kScreenConnect);
}

void Frame::logout() {
  if (ZANEPRAZDNEN) return;
  if (info().PRIHLASEN) {
    disconnect();
    connect();
  } else if (AKTUALNIOBRAZOVKA != kScreenConnect) {
    request_screen(kScreenConnect);
  }
}

void Frame::disconnect() {
  if (ZANEPRAZDNEN) return;
  TInfoKlient& k = info();
  if (!k.SPOJENO) {
    if (AKTUALNIOBRAZOVKA != kScreenConnect) request_screen(kScreenConnect);
    return;
  }
  ZANEPRAZDNEN = true;
  status("disconnect");
  compose().NASTAVPRIKAZ(20, 0, true);
  requests_sent[20]++;
  tk_.trace.event("send", "20");
  // Buttons, communication and clock only: the log-off must not start anything else. The wait
  // also ends when the connection is gone, or a dead server would hold the program forever.
  do {
    tk_.tlacitka.OBSLUHATLAC();
    client_.OBSLUHAKOMUNIKACE();
    draw_clock();
    if (idle) {
      idle();
    } else if (k.SPOJENO) {
      pollfd p{client_.conn.ZASUVKA, POLLIN, 0};
      ::poll(&p, 1, 1);
    }
  } while (in_progress(k.POSLAKCE) && k.SPOJENO && !ending());
  tk_.trace.event("reply", std::to_string(k.POSLAKCE));
  if (k.POSLAKCE == 197 || !k.SPOJENO) {
    client_.conn.THREADODPOJSE();
    client_.conn.DOSLOKODPOJENI = false;
    request_screen(kScreenConnect);
  }
  ZANEPRAZDNEN = false;
}

void Frame::exit_program() {
  if (ZANEPRAZDNEN) return;
  disconnect();
  end_program(0);
}

}  // namespace ksv::client
