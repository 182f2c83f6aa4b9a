// The client frame: main loop, event step, status line and clock, dialogs, and connect / logout /
// disconnect / exit. The command exchange and the transfers are in exchange.cpp.
#include "client/frame.h"

#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "client/keys.h"
#include "protocol/commands.h"
#include "toolkit/kit/kit.h"

namespace ksv::client {

namespace {

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
    toolkit::picture_button(tk_, -1, picture, std::move(action), x, 456, key);
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
  // A button pressed while an exchange waits keeps its action until the exchange is over: run
  // inside that wait, the action's own request could not be sent.
  if (pending_ && !exchanging_) {
    std::function<void()> action = std::move(pending_);
    pending_ = nullptr;
    if (!ending()) action();
  }
  event_tail();
}

void Frame::event_tail() {
  if (ending()) return;
  TInfoKlient& k = info();
  const bool was_logged_in = k.PRIHLASEN;
  client_.OBSLUHAKOMUNIKACE();
  if (k.SPOJENO && k.POSLAKCE != 0) heard_from_server_ = true;
  if (k.POSLAKCE == 195 || k.POSLAKCE == 197 || k.POSLAKCE == 255) ended_by_server_ = true;
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
    // The transport closed the socket: unless the server had ended the session itself, the
    // user is told why on the connection screen.
    if (!ended_by_server_) {
      if (blocked_now())
        connection_loss = Loss::kBlocked;
      else if (was_logged_in || heard_from_server_)
        connection_loss = Loss::kLost;
      else
        connection_loss = Loss::kClosedAtOnce;
    }
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
  // The square lies in the status field; when the transfer is over it goes back to the field's
  // colour, or it would go on saying that something is coming in.
  const bool running = !k.AKTSOUBOR.empty();
  if (!running && last_block_ == -1) return;
  if (running && k.BLOKDAT == last_block_) return;
  last_block_ = running ? k.BLOKDAT : -1;
  draw::Graph& g = tk_.graph;
  toolkit::StyleGuard style(g);
  toolkit::ViewportGuard view(g);
  g.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
  g.SETFILLSTYLE(1, running ? ((k.BLOKDAT % 16 + 16) % 16) * 16 + 3
                            : tk_.images.NAJDIBARVU(192, 192, 255));
  g.BAR(474, 457, 490, 473);
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// ------------------------------------------------------------------------------------ dialogs

bool Frame::dialog(Modal kind, const std::string& key, const toolkit::DialogSpec& spec,
                   const std::function<void(toolkit::Window&)>& setup,
                   const std::function<bool()>& done) {
  tk_.trace.event("dialog", key);
  return toolkit::run_dialog(tk_, modal, kind, key, spec, setup, done, [this] { event_step(); });
}

void Frame::HLASENICHYBY(const std::string& key) {
  const int32_t code = info().POSLAKCE;
  if (!in_error_set(code)) return;
  drop_transfer();
  const std::string shown = key.empty() ? "error" + std::to_string(code) : key;
  error_dialog(shown, error_lines(shown));
  if (code == 195 || code == 197 || code == 255) close_connection_to_connect_screen();
}

std::vector<std::string> Frame::error_lines(const std::string& key) {
  toolkit::Texty& tx = tk_.texty;
  std::vector<std::string> lines{tx.text(key)};
  for (int i = 0; i < tx.RADKU; ++i) lines.push_back(tx.TEXTBUFFER[i]);
  for (std::string& l : lines) {
    l = replace_subject(l, subject_name);
    if (const size_t at = l.find("%t"); at != std::string::npos) l.replace(at, 2, blocked_until_text_);
  }
  return lines;
}

void Frame::error_dialog(const std::string& key, const std::string& body) {
  error_dialog(key, std::vector<std::string>{body});
}

void Frame::error_dialog(const std::string& key, const std::vector<std::string>& lines) {
  const int32_t line = tk_.texty.AKTVELFONTU + 1;
  int widest = 0;
  {
    draw::Graph& g = tk_.graph;
    toolkit::StyleGuard style(g);
    g.SETTEXTSTYLE(4, 0, tk_.texty.AKTVELFONTU);
    for (const std::string& l : lines) widest = std::max(widest, g.TEXTWIDTH(l));
  }
  // One line fits the usual 320 x 80 window; longer or more lines widen and heighten it.
  const int32_t width = std::min<int32_t>(std::max(320, widest + 30), draw::kScreenW);
  const int32_t height = 80 + int32_t(lines.size() > 1 ? lines.size() - 1 : 0) * line;
  bool closed = false;
  DIALOGOTEVREN = true;
  dialog(
      Modal::kError, key, {width, height, "chyba"},
      [&](toolkit::Window& w) {
        draw::Graph& g = tk_.graph;
        toolkit::StyleGuard style(g);
        g.SETCOLOR(tk_.images.NAJDIBARVU(255, 255, 255));
        g.SETTEXTSTYLE(4, 0, tk_.texty.AKTVELFONTU);
        g.SETTEXTJUSTIFY(1, 1);
        tk_.texty.OKNOPROVYPIS = int16_t(w.index());
        for (size_t i = 0; i < lines.size(); ++i)
          tk_.texty.VYPISTEXT(w.x() + w.width() / 2, w.y() + 40 + int32_t(i) * line, lines[i]);
        toolkit::picture_button(tk_, w.index(), "Budiz.bmp", [&closed] { closed = true; }, 0, -5,
                                keys::kEnter);
      },
      [&] { return closed || ending(); });
  DIALOGOTEVREN = false;
}

bool Frame::POTVRZENI() {
  VYSLEDEKDIALOGU = kDialogOpen;
  DIALOGOTEVREN = true;
  const bool shown = dialog(
      Modal::kConfirm, "potvrdit", {130, 60, "potvrdit"},
      [this](toolkit::Window& w) {
        toolkit::picture_button(tk_, w.index(), "budiz.bmp",
                                [this] { VYSLEDEKDIALOGU = kDialogConfirmed; }, 10, 30,
                                keys::kEnter);
        toolkit::picture_button(tk_, w.index(), "zrusit.bmp",
                                [this] { VYSLEDEKDIALOGU = kDialogCancelled; }, -10, 30,
                                keys::kEscape);
      },
      [this] {
        return VYSLEDEKDIALOGU != kDialogOpen || POZADOVANAOBRAZOVKA == kScreenConnect || ending();
      });
  const bool confirmed = shown && VYSLEDEKDIALOGU == kDialogConfirmed;
  DIALOGOTEVREN = false;
  VYSLEDEKDIALOGU = kDialogNone;
  return confirmed;
}

InputResult Frame::VSTUPNIDIALOG(const std::string& title_key, uint8_t length) {
  InputResult out;
  const int32_t width = (length / 2) * tk_.texty.AKTVELFONTU + 140;
  toolkit::Window w(tk_, -1, -1, std::min(width, draw::kScreenW), 60, true, title_key);
  if (!w) return out;
  toolkit::picture_button(tk_, w.index(), "budiz.bmp", [this] { tk_.okna.KONECZADAVANI = 1; },
                          -65, 30, keys::kEnter);
  toolkit::picture_button(tk_, w.index(), "zrusit.bmp", [this] { tk_.okna.KONECZADAVANI = 2; },
                          -10, 30, keys::kEscape);
  DIALOGOTEVREN = true;
  VYSLEDEKDIALOGU = kDialogOpen;
  // The input field runs the wait loop itself (the event step is its communication service).
  tk_.trace.event("dialog", title_key);
  toolkit::ModalScope<Modal> scope(modal, Modal::kInput, title_key);
  int32_t number = 0;
  std::string typed, result;
  tk_.okna.ZISKEJUDAJOKNO(w.index(), 10, 30, 255, tk_.images.NAJDIBARVU(0, 0, 64), length, number,
                          typed, result);
  out.confirmed = result != std::string(1, '\0') &&
                  (tk_.okna.KONECZADAVANI == 1 || tk_.okna.KONECZADAVANI == 4);
  if (out.confirmed) {
    // The field hands a number back without its text; callers get both.
    out.text = result.empty() && number != 0 ? toolkit::INT2STR(number) : result;
    out.number = number;
  }
  w.close();
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
  // The window leaves ">>>" out, so the height does not count it either.
  lines.erase(std::remove(lines.begin(), lines.end(), ">>>"), lines.end());

  int widest = 0;
  {
    draw::Graph& g = tk_.graph;
    toolkit::StyleGuard style(g);
    g.SETTEXTSTYLE(4, 0, tx.AKTVELFONTU);
    for (const std::string& l : lines) widest = std::max(widest, g.TEXTWIDTH(l));
  }
  // Body lines are drawn left-justified 10 pixels in, so the same margin is kept on the right.
  const int32_t width = std::max(100, widest + 20);
  const int32_t line = tx.AKTVELFONTU + 1;
  const int32_t height = int32_t(lines.size()) * line + (lines.empty() ? 0 : 15) + 55;

  bool confirmed = false;
  VYSLEDEKDIALOGU = kDialogOpen;
  const bool shown = dialog(
      Modal::kHelp, key, {width, height, "napoveda", key},
      [&](toolkit::Window& w) {
        toolkit::picture_button(tk_, w.index(), "Budiz.bmp", [&confirmed] { confirmed = true; }, 0,
                                -5, keys::kEnter);
      },
      [&] { return confirmed || ending(); });
  VYSLEDEKDIALOGU = kDialogNone;
  return shown && more && confirmed;
}

void Frame::help() {
  const std::string key = "help" + std::to_string(AKTUALNIOBRAZOVKA);
  if (help_page(key)) help_page(key + "b");
}

void Frame::notice(const std::string& title_key, const std::string& body_key) {
  bool closed = false;
  DIALOGOTEVREN = true;
  dialog(
      Modal::kNotice, body_key, {300, 100, title_key, body_key},
      [&](toolkit::Window& w) {
        toolkit::picture_button(tk_, w.index(), "budiz.bmp", [&closed] { closed = true; }, 0, -5,
                                keys::kEnter);
      },
      [&] { return closed || POZADOVANAOBRAZOVKA == kScreenConnect || ending(); });
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
  heard_from_server_ = ended_by_server_ = false;
  connection_loss = Loss::kNone;
  if (k.SPOJENO) {
    status("connected");
    request_screen(kScreenLogin);
  } else {
    status("offline");
    // The status line alone is easy to miss: say which server did not answer.
    std::string body = text("nedostupny");
    const std::string where = chosen_address() + ":" + std::to_string(client_.conn.port);
    if (const size_t at = body.find("%a"); at != std::string::npos) body.replace(at, 2, where);
    error_dialog("nedostupny", body);
  }
  ZANEPRAZDNEN = false;
}

void Frame::tell_connection_loss() {
  const Loss loss = connection_loss;
  connection_loss = Loss::kNone;
  switch (loss) {
    case Loss::kNone: return;
    case Loss::kLost: error_dialog("ztraceno", error_lines("ztraceno")); return;
    case Loss::kClosedAtOnce: error_dialog("zavreno", error_lines("zavreno")); return;
    case Loss::kBlocked: error_dialog("blokovan", error_lines("blokovan")); return;
  }
}

const std::string& Frame::chosen_address() const {
  const auto& conn = client_.conn;
  return conn.LOKALNISERV ? conn.ADRESASERV : conn.EXTADRESASERV;
}

void Frame::note_blocked() {
  // The server keeps the block for 600 seconds and lifts it on its next pass after that, so
  // the minute shown is the first one in which a connection is taken again.
  const DateTime now = client_.conn.clock().now();
  blocked_until_ = client_.conn.clock().epoch_seconds() + 600;
  blocked_address_ = chosen_address();
  const int minutes = (now.hour * 60 + now.minute + 10 + (now.second > 0 ? 1 : 0)) % (24 * 60);
  blocked_until_text_ = two_digits(minutes / 60) + ":" + two_digits(minutes % 60);
}

bool Frame::blocked_now() const {
  // A minute of grace: the server lifts the block on a pass after the time, by its own clock.
  return blocked_until_ != 0 && blocked_address_ == chosen_address() &&
         client_.conn.clock().epoch_seconds() < blocked_until_ + 60;
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
