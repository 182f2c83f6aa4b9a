// Screen 4, attendance. The buttons only name what is to be done; the screen's own loop does it,
// so a whole exchange with the server never runs inside the button poll that fired it.
//
// Sections: layout · the sheet on the screen · the actions · the loop.
#include "client/screens/attendance/attendance_screen.h"

#include "client/frame.h"
#include "client/keys.h"
#include "client/screens/attendance/day_lines.h"
#include "client/screens/attendance/fetch.h"
#include "client/screens/attendance/local_files.h"
#include "client/screens/attendance/sheet_file.h"
#include "client/screens/users/user_picker.h"
#include "client/workspace.h"
#include "protocol/rights.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/toolkit.h"

namespace ksv::client::attendance {

namespace {

// ---- layout -------------------------------------------------------------------------------------

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 445;
constexpr int32_t kListX = 10, kListY = 72, kListW = 555, kListH = 342, kListRows = 18;
constexpr int32_t kHeaderY = 28, kTitlesY = 50, kDetailY = 420;
constexpr uint8_t kHeaderChars = 60;
// The attendance columns start right of the date, which the list draws as the entry's name.
constexpr int32_t kColumnOffset = 95;
constexpr int32_t kListMode = (kColumnOffset << 8) | 7;
// Where the list draws the name and its columns (vacation or holiday, penalty, break,
// presence), from the left edge of the box.
constexpr int32_t kColumnX[] = {10, kColumnOffset + 20, kColumnOffset + 130, kColumnOffset + 195,
                                kColumnOffset + 280};
constexpr int32_t kButtonX = -10, kButtonTop = 28, kButtonStep = 24;
constexpr uint8_t kPageUp = 73, kPageDown = 81;  // second codes of the extended keys

constexpr int kOtherUserRight = 57;

enum class Action { kNone, kUser, kMonth, kYear, kSave, kOpen, kImport, kReport, kVacation };

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
    text.replace(at, what.size(), with);
  return text;
}

class AttendanceScreen {
 public:
  explicit AttendanceScreen(Frame& f) : f_(f), tk_(f.tk()) { sheet_.user = f.info().JMENO; }

  void run();

 private:
  void build();
  void show_sheet();
  void redraw_list();
  void show_header();
  void show_titles();
  void show_detail();
  void move(void (toolkit::Seznam::*step)());

  void choose_user();
  void fetch(bool whole_year);
  void toggle_vacation();
  void finish(const LocalResult& r);

  Frame& f_;
  toolkit::Toolkit& tk_;
  int window_ = -1;
  Sheet sheet_;
  Action pending_ = Action::kNone;
};

void AttendanceScreen::build() {
  tk_.okna.SMAZOKNA();
  window_ = -1;
  // The buttons below call into this screen: none may be left behind once it has been left.
  if (f_.screen_left()) return;
  const int32_t h =
      tk_.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, "dochazka", "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  int32_t y = kButtonTop;
  auto add = [&](const char* picture, uint8_t key, std::function<void()> action) {
    toolkit::picture_button(tk_, window_, picture, std::move(action), kButtonX, y, key);
    y += kButtonStep;
  };
  auto later = [this](Action a) { return [this, a] { pending_ = a; }; };
  add("pomoc.bmp", keys::kF1, [this] { f_.defer([this] { f_.help(); }); });
  add("budiz.bmp", keys::kEscape, [this] { f_.request_screen(kScreenMenu); });
  if (TESTBIT(f_.info().MOJEPRAVA, kOtherUserRight)) add("uzivatel.bmp", 'u', later(Action::kUser));
  add("mesic.bmp", 'm', later(Action::kMonth));
  add("rok.bmp", 'r', later(Action::kYear));
  add("dovolena.bmp", 'v', later(Action::kVacation));
  add("uloz.bmp", 's', later(Action::kSave));
  add("otevri.bmp", 'o', later(Action::kOpen));
  add("dochazka.bmp", 'i', later(Action::kImport));
  add("export.bmp", 'e', later(Action::kReport));
  y += kButtonStep / 2;
  toolkit::picture_button(
      tk_, window_, "nahoru.bmp", [this] { move(&toolkit::Seznam::SEZNAMNAHORU); }, -38, y,
      keys::kUp, 22, 20);
  toolkit::picture_button(
      tk_, window_, "dolu.bmp", [this] { move(&toolkit::Seznam::SEZNAMDOLU); }, kButtonX, y,
      keys::kDown, 22, 20);
  y += kButtonStep;
  toolkit::picture_button(
      tk_, window_, "stranap.bmp", [this] { move(&toolkit::Seznam::STRANKANAHORU); }, kButtonX, y,
      kPageUp);
  y += kButtonStep;
  toolkit::picture_button(
      tk_, window_, "stranad.bmp", [this] { move(&toolkit::Seznam::STRANKADOLU); }, kButtonX, y,
      kPageDown);
  show_sheet();
}

// ---- the sheet on the screen --------------------------------------------------------------------

void AttendanceScreen::show_sheet() {
  toolkit::Seznam& list = tk_.seznam;
  list.SMAZSEZNAM();
  for (const DayLine& line : sheet_.lines)
    if (list.PRIDEJPRVEK(line_name(line), line_columns(line), false) != 0) break;
  tk_.okna.PRVNISEZNAMVOKNE(window_, kListX, kListY, kListW, kListH, kListRows, kListMode);
  show_header();
  show_titles();
  show_detail();
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void AttendanceScreen::redraw_list() {
  toolkit::Seznam& l = tk_.seznam;
  l.VYPISSEZNAM(l.SEZX, l.SEZY, l.VELSEZX, l.VELSEZY, l.VELSTRANKY, l.AKTMODSEZNAMU);
  show_detail();
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void AttendanceScreen::show_header() {
  std::string text = replaced(f_.text("dochhlava"), "%u", sheet_.user);
  text = replaced(text, "%o", sheet_.period);
  tk_.okna.VYPISUDAJOKNO(window_, kListX, kHeaderY, 255, tk_.images.NAJDIBARVU(0, 0, 64),
                         kHeaderChars, text);
}

void AttendanceScreen::show_titles() {
  const std::string all = f_.text("dochsloupce");
  size_t from = 0;
  for (int32_t x : kColumnX) {
    const size_t end = all.find(';', from);
    const std::string title = all.substr(from, end == std::string::npos ? end : end - from);
    tk_.okna.VYPISUDAJOKNO(window_, kListX + x - 1, kTitlesY, tk_.images.NAJDIBARVU(192, 192, 128),
                           tk_.images.NAJDIBARVU(64, 64, 64), uint8_t(title.size() + 2), title);
    if (end == std::string::npos) break;
    from = end + 1;
  }
}

// The list shows the figures; the times of the day under the cursor and what it is credited
// stand below it.
void AttendanceScreen::show_detail() {
  const int at = tk_.seznam.highlighted();
  std::string text;
  if (at >= 0 && size_t(at) < sheet_.lines.size()) {
    const DayLine& d = sheet_.lines[size_t(at)];
    text = replaced(f_.text("dochradek"), "%d", date_text(d.date));
    text = replaced(text, "%p", clock_text(d.first));
    text = replaced(text, "%o", clock_text(d.last));
    text = replaced(text, "%z", std::to_string(credited_minutes(d)));
  }
  tk_.okna.VYPISUDAJOKNO(window_, kListX, kDetailY, 255, tk_.images.NAJDIBARVU(0, 0, 64),
                         kHeaderChars, text);
}

void AttendanceScreen::move(void (toolkit::Seznam::*step)()) {
  (tk_.seznam.*step)();
  show_detail();
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// ---- the actions --------------------------------------------------------------------------------

void AttendanceScreen::choose_user() {
  std::optional<std::string> name = ksv::client::choose_user(f_, "uzivatel");
  build();  // the picker used the screen's window and list
  if (!name || *name == sheet_.user) return;
  // Another user's sheet starts empty: nothing of the previous user's days may stay on show
  // under the new name.
  sheet_ = Sheet{*name, "", {}};
  show_sheet();
}

void AttendanceScreen::fetch(bool whole_year) {
  int month = 0, year = 0;
  if (!whole_year) {
    InputResult m = f_.VSTUPNIDIALOG("mesic", 2);
    if (!m.confirmed) return;
    if (!valid_month(m.number)) {
      f_.status("dochmesic");
      return;
    }
    month = m.number;
  }
  InputResult y = f_.VSTUPNIDIALOG("rok", 4);
  if (!y.confirmed) return;
  if (!valid_year(y.number)) {
    f_.status("dochrok");
    return;
  }
  year = y.number;

  sheet_.lines.clear();
  sheet_.period = whole_year ? year_period(year) : month_period(month, year);
  show_sheet();
  const TKalendar calendar = fetch_calendar(f_);
  if (f_.screen_left()) return;
  std::optional<std::vector<TDoch>> records =
      whole_year ? fetch_year(f_, sheet_.user, year) : fetch_month(f_, sheet_.user, month, year);
  if (f_.screen_left()) return;
  if (!records) {
    f_.status("dochnenacteno");
    return;
  }
  sheet_.lines = build_day_lines(std::move(*records), &calendar);
  show_sheet();
}

void AttendanceScreen::toggle_vacation() {
  const int at = tk_.seznam.highlighted();
  if (at < 0 || size_t(at) >= sheet_.lines.size()) return;
  DayLine& d = sheet_.lines[size_t(at)];
  d.vacation = !d.vacation;
  tk_.seznam.ZMENSPECPAR(at, 1, d.vacation ? "1" : "0");
  redraw_list();
}

void AttendanceScreen::finish(const LocalResult& r) {
  // The browser and the dialogs were drawn over the screen. The cursor stays on its day when
  // the days are the same ones.
  const toolkit::Seznam& l = tk_.seznam;
  const size_t before = l.SEZNAM.size();
  const uint16_t page = l.AKTSTRANKA, row = l.AKTPRVEK;
  build();
  if (window_ >= 0 && l.SEZNAM.size() == before && page + row < int(before)) {
    tk_.seznam.AKTSTRANKA = page;
    tk_.seznam.AKTPRVEK = row;
    redraw_list();
  }
  if (!r.status_key.empty()) f_.STAVOVYRADEK(replaced(f_.text(r.status_key), "%s", r.detail));
}

// ---- the loop -----------------------------------------------------------------------------------

void AttendanceScreen::run() {
  build();
  while (window_ >= 0 && !f_.screen_left()) {
    f_.event_step();
    const Action a = pending_;
    pending_ = Action::kNone;
    switch (a) {
      case Action::kNone:
        break;
      case Action::kUser:
        choose_user();
        break;
      case Action::kMonth:
        fetch(false);
        break;
      case Action::kYear:
        fetch(true);
        break;
      case Action::kVacation:
        toggle_vacation();
        break;
      case Action::kSave:
        finish(save_sheet(f_, sheet_));
        break;
      case Action::kOpen:
        finish(open_sheet(f_, sheet_));
        break;
      case Action::kImport:
        finish(import_records(f_, sheet_));
        break;
      case Action::kReport:
        finish(write_and_open_report(f_, sheet_));
        break;
    }
    // Buttons pressed while an action ran were pressed at a screen that was not listening.
    pending_ = Action::kNone;
  }
  // The buttons call into this screen, which ends here.
  tk_.okna.SMAZOKNA();
}

}  // namespace

void build_attendance(Frame& f, Workspace&) {
  AttendanceScreen screen(f);
  screen.run();
}

}  // namespace ksv::client::attendance
