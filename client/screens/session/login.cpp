// The login screen: the user list (cached in temp/), the masked password, the login itself and
// the own user record that decides what the menu shows.
#include "client/screens/session/session.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "client/keys.h"

namespace ksv::client {

namespace {

using namespace keys;
constexpr uint8_t kPasswordLength = 40;

std::string zero_filled(int v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, v);
  return buf;
}

void replace_all(std::string& text, const std::string& what, const std::string& with) {
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
    text.replace(at, what.size(), with);
}

}  // namespace

// Reads the masked password in the password window: one "*" per character typed, at most 40
// characters, Backspace removes the last one, the window's OK button (Enter) ends the input.
// The text is returned exactly as typed, so a password of digits keeps its leading zeros.
// Nothing when the screen is left meanwhile.
std::optional<std::string> read_password(Frame& f, int window) {
  toolkit::Toolkit& tk = f.tk();
  const toolkit::TOkno& o = tk.okna.OKNO[window];
  const int32_t x = o.X + 10, y = o.Y + 30;
  const uint8_t bg = tk.images.NAJDIBARVU(0, 0, 64);
  std::string typed;
  auto show = [&] {
    tk.okna.VYPISUDAJ(x, y, 255, bg, kPasswordLength, std::string(typed.size(), '*'));
    tk.tlacitka.NUTNOVYKRESLIT = true;
  };
  show();
  tk.okna.KONECZADAVANI = 0;
  tk.tlacitka.VYMAZFRONTU();
  toolkit::ModalScope<Modal> scope(f.modal, Modal::kPassword, "heslo");
  while (tk.okna.KONECZADAVANI == 0) {
    f.event_step();
    if (f.screen_left()) return std::nullopt;
    bool changed = false;
    while (tk.tlacitka.JEKLAV()) {
      uint8_t k = tk.tlacitka.ZISKKLAV();
      if (k == kBackspace) {
        if (!typed.empty()) typed.pop_back();
      } else if (k >= 32 && typed.size() < kPasswordLength) {
        typed.push_back(char(k));
      }
      changed = true;
    }
    if (changed) show();
  }
  return typed;
}

// Step 1 of the login screen: the user list, from the cache or from the server. False when the
// connection went meanwhile.
bool load_user_list(Frame& f) {
  toolkit::Seznam& list = f.tk().seznam;
  list.SMAZSEZNAM();
  std::string path;
  if (!f.SEZNAMUZIVATELU.empty() &&
      user_list_fresh(f.temp_path(f.SEZNAMUZIVATELU), f.client().conn.clock())) {
    path = f.temp_path(f.SEZNAMUZIVATELU);
  } else {
    Packet& b = f.compose();
    std::memcpy(b.bytes + slot::kSignature, f.config().PODPIS.data(), kSignatureBytes);
    int32_t r = f.CEKEJNAODPOVED(10, "getlist", false, true);
    if (!f.info().SPOJENO || f.POZADOVANAOBRAZOVKA == kScreenConnect) {
      f.client().conn.THREADODPOJSE();
      f.request_screen(kScreenConnect);
      return false;
    }
    if (r == 193 && !f.received_file().empty()) {
      f.SEZNAMUZIVATELU = f.received_file();
      path = f.temp_path(f.SEZNAMUZIVATELU);
    }
  }
  if (path.empty()) return true;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return true;
  char line[512];
  while (std::fgets(line, sizeof line, in)) {
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (name.empty()) continue;
    if (name.size() > 254) name.resize(254);
    // The list shows at most 32 characters of a name; the whole name rides along as the
    // entry's first field, so a long name still logs in as itself.
    if (list.PRIDEJPRVEK(name, name + '\0', false) != 0) break;
  }
  std::fclose(in);
  list.SETRIDSEZNAM(0, 0, false);
  return true;
}

namespace {

std::string chosen_name(Frame& f) {
  const toolkit::Seznam& list = f.tk().seznam;
  const int at = list.highlighted();
  if (at < 0 || at >= int(list.SEZNAM.size())) return "";
  const std::string& spec = list.SEZNAM[size_t(at)].SPEC;
  size_t end = spec.find('\0');
  return end == std::string::npos ? spec : spec.substr(0, end);
}

}  // namespace

bool user_list_fresh(const std::string& path, const Clock& clock) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // Minutes of the hour are compared the way the clock shows them. Time zones move by whole
  // minutes, so the file's minute follows from the distance in minutes to the present one.
  const int64_t now = clock.epoch_seconds();
  const int now_minute = clock.now().minute;
  auto floor_div = [](int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); };
  const int64_t apart = floor_div(now, 60) - floor_div(int64_t(st.st_mtime), 60);
  const int file_minute = int(((now_minute - apart) % 60 + 60) % 60);
  const int diff = now_minute > file_minute ? now_minute - file_minute : file_minute - now_minute;
  return diff <= 5;
}

std::string login_status_text(std::string pattern, const TDatum& date, const TCas& time) {
  replace_all(pattern, "%t", zero_filled(time.HOD % 100, 2) + ":" + zero_filled(time.MIN % 100, 2));
  replace_all(pattern, "%d",
              zero_filled(date.DEN % 100, 2) + "." + zero_filled(date.MES % 100, 2) + "." +
                  zero_filled(date.ROK % 10000, 4));
  return pattern;
}

// ------------------------------------------------------------------------------ login screen

void build_login_screen(Frame& f, Workspace&) {
  toolkit::Toolkit& tk = f.tk();
  TInfoKlient& k = f.info();
  tk.okna.SMAZOKNA();
  if (!load_user_list(f)) return;
  if (f.screen_left()) return;

  tk.tlacitka.VYMAZFRONTU();
  int32_t h = tk.okna.VYTVOROKNO(-1, -1, 250, 300, false, "uzivatel", "");
  if (h == toolkit::kNoFreeWindow) return;
  int w = h >> 8;
  f.status("connected");
  tk.okna.PRVNISEZNAMVOKNE(w, 10, 30, 200, 235, 12, 0);
  auto chosen = std::make_shared<bool>(false);
  toolkit::picture_button(f.tk(), w, "nahoru.bmp", [&tk] { tk.seznam.SEZNAMNAHORU(); tk.tlacitka.NUTNOVYKRESLIT = true; },
           -15, 30, kUp, 22, 20);
  toolkit::picture_button(f.tk(), w, "dolu.bmp", [&tk] { tk.seznam.SEZNAMDOLU(); tk.tlacitka.NUTNOVYKRESLIT = true; },
           -15, 60, kDown, 22, 20);
  toolkit::picture_button(f.tk(), w, "pomoc.bmp", [&f] { f.defer([&f] { f.help(); }); }, -15, -10, kF1);
  toolkit::picture_button(f.tk(), w, "prihlasit.bmp", [chosen, &tk] { *chosen = !tk.seznam.SEZNAM.empty(); }, 10, -10,
           kEnter);
  {
    toolkit::ModalScope<Modal> scope(f.modal, Modal::kUserList, "uzivatel");
    while (!*chosen && !f.screen_left()) f.event_step();
  }
  if (f.screen_left()) return;
  const std::string name = chosen_name(f);

  // Wrong passwords on this connection: the server blocks the computer at the third, so the
  // second one warns and the third says what happened.
  int wrong = 0;
  for (;;) {
    tk.okna.SMAZOKNA();
    h = tk.okna.VYTVOROKNO(-1, -1, 400, 55, false, "heslo", "");
    if (h == toolkit::kNoFreeWindow) return;
    w = h >> 8;
    toolkit::picture_button(f.tk(), w, "budiz.bmp", [&tk] { tk.okna.KONECZADAVANI = 1; }, -5, -5, kEnter);
    std::optional<std::string> password = read_password(f, w);
    if (!password) return;

    Packet& b = f.compose();
    b.ULOZRETEZEC(slot::kText, true, name);
    b.ULOZRETEZEC(slot::kText2, true, *password);
    b.SIFRUJHESLO();
    std::memcpy(b.bytes + slot::kSignature, f.config().PODPIS.data(), kSignatureBytes);
    const int32_t reply = f.send_and_wait(11, "login");
    if (reply == 194) {
      k.JMENO = name;
      b.get_raw(slot::kDateTime, &f.last_login_date, sizeof f.last_login_date);
      b.get_raw(slot::kDateTime + 6, &f.last_login_time, sizeof f.last_login_time);
      f.request_screen(kScreenMenu);
      break;
    }
    if (reply == 196) ++wrong;
    if (reply == 196 && wrong == 2) {
      f.HLASENICHYBY("heslo3");
    } else if (reply == 195 && wrong >= 2) {
      f.note_blocked();
      f.HLASENICHYBY("blokovan");
    } else {
      f.HLASENICHYBY();
    }
    f.status("connected");
    if (reply == 195 || !k.SPOJENO || f.POZADOVANAOBRAZOVKA == kScreenConnect || f.ending())
      return;
  }

  // Own record: the rights the menu shows, and the own id.
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, k.JMENO);
  if (f.request(27, "info") == 245) f.read_user_record();
  if (!k.SPOJENO) return;
  // A user who never logged in before has no previous login to show (the date is all zeros).
  const TDatum& last = f.last_login_date;
  const bool first = last.DEN == 0 && last.MES == 0 && last.ROK == 0;
  f.STAVOVYRADEK(first ? f.text("loged1")
                       : login_status_text(f.text("loged"), last, f.last_login_time));
}

}  // namespace ksv::client
