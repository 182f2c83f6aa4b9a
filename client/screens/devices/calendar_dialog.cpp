#include "client/screens/devices/calendar_dialog.h"

#include "client/frame.h"
#include "client/keys.h"
#include "protocol/commands.h"
#include "toolkit/kit/grid_editor.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/window.h"

namespace ksv::client::devices {

namespace {

constexpr int kWeekCols = 7, kMonthRows = 5;
constexpr int32_t kWindowW = 420, kWindowH = 250;

std::vector<std::string> month_names(const std::string& all) {
  std::vector<std::string> out;
  size_t from = 0;
  while (true) {
    const size_t end = all.find(" / ", from);
    out.push_back(all.substr(from, end == std::string::npos ? end : end - from));
    if (end == std::string::npos) break;
    from = end + 3;
  }
  return out;
}

}  // namespace

int calendar_days(int month) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month >= 1 && month <= 12 ? kDays[month - 1] : 0;
}

void run_calendar(Frame& f) {
  toolkit::Toolkit& tk = f.tk();
  TKalendar cal{};
  f.compose();
  if (f.request(req::kCalendarGet, "readkalend") != rep::kCalendar) return;
  if (!f.client().conn.BUFFERPACKET.get_raw(slot::kText, &cal, sizeof cal)) return;

  const std::vector<std::string> names = month_names(f.text("svatky"));
  int month = f.client().conn.clock().now().month;
  enum { kOpen, kSave, kClose } state = kOpen;
  bool turn = false;
  int step = 0;

  toolkit::Window w(tk, -1, -1, kWindowW, kWindowH, true, "kalendar");
  if (!w) return;
  toolkit::GridLayout layout;
  layout.x = w.x() + 15;
  layout.y = w.y() + 56;
  layout.cell_w = 40;
  layout.cell_h = 22;
  layout.visible_rows = kMonthRows;
  layout.visible_cols = kWeekCols;
  toolkit::GridEditor grid(tk, kMonthRows, kWeekCols, layout);
  grid.press_activates = true;
  const int on = tk.images.NAJDIBARVU(192, 0, 0), off = tk.images.NAJDIBARVU(64, 64, 64);
  auto day_of = [](int row, int col) { return row * kWeekCols + col + 1; };
  grid.cell_text = [&](int row, int col) {
    const int d = day_of(row, col);
    return d <= calendar_days(month) ? std::to_string(d) : std::string();
  };
  grid.cell_background = [&](int row, int col) {
    const int d = day_of(row, col);
    return d <= calendar_days(month) && cal.days[month - 1][d - 1] ? on : off;
  };
  grid.activate = [&](int row, int col) {
    const int d = day_of(row, col);
    if (d > calendar_days(month)) return;
    uint8_t& b = cal.days[month - 1][d - 1];
    b = b ? 0 : 1;
  };
  auto heading = [&] {
    const std::string name = size_t(month - 1) < names.size() ? names[size_t(month - 1)] : "";
    tk.okna.VYPISUDAJOKNO(w.index(), 15, 30, 255, tk.images.NAJDIBARVU(0, 0, 64), 20,
                          std::to_string(month) + ". " + name);
  };
  toolkit::picture_button(tk, w.index(), "datump.bmp", [&] { turn = true, step = -1; }, -70, 28, ',');
  toolkit::picture_button(tk, w.index(), "datumd.bmp", [&] { turn = true, step = 1; }, -15, 28, '.');
  toolkit::picture_button(tk, w.index(), "uloz.bmp", [&state] { state = kSave; }, 15, -8, 's');
  toolkit::picture_button(tk, w.index(), "budiz.bmp", [&state] { state = kClose; }, -15, -8,
                          keys::kEscape);
  heading();
  grid.draw();
  toolkit::ModalScope<Modal> scope(f.modal, Modal::kPicker, "kalendar");
  while (state != kClose && !f.screen_left()) {
    f.event_step();
    grid.poll();
    if (turn) {
      turn = false;
      month = (month - 1 + step + 12) % 12 + 1;
      heading();
      grid.draw();
    }
    if (state == kSave) {
      state = kOpen;
      Packet& b = f.compose();
      b.put_raw(slot::kText, &cal, sizeof cal);
      if (f.request(req::kCalendarSet, "setkalend") == rep::kCalendar) f.status("kalulozen");
    }
  }
}

}  // namespace ksv::client::devices
