// Screen 61, the camera plan: every field of one camera's plan, the week of hours in a grid,
// a day copied onto another, the users whose presence switches the camera off, and the holiday
// calendar. Reading the plan needs the camera right; storing it (and so switching a camera)
// needs the plan right, which the server checks as well.
#include "client/frame.h"
#include "client/keys.h"
#include "client/pickers.h"
#include "client/screens/devices/calendar_dialog.h"
#include "client/screens/devices/camera_link.h"
#include "client/screens/devices/devices_screens.h"
#include "client/screens/devices/plan_value.h"
#include "client/workspace.h"
#include "toolkit/kit/grid_editor.h"
#include "toolkit/kit/picture_button.h"

namespace ksv::client::devices {

namespace {

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 445;
constexpr int32_t kFieldTop = 30, kFieldStep = 23, kToggleX = 15, kLabelX = 75, kValueX = 160;
constexpr int32_t kGridY = kFieldTop + 7 * kFieldStep + 8;
constexpr int32_t kButtonX = -10, kButtonTop = 28, kButtonStep = 24;
constexpr int kDays = 7, kHours = 24;
constexpr int32_t kScreenCameras = 6;

enum class Action {
  kNone, kStore, kFetch, kCalendar, kSupervisor, kClearSupervisors, kCopyDay, kUse, kSystem,
  kRandom, kHoliday, kRatio, kArrivalMinutes, kArrivalSeconds, kCell
};

class PlanScreen {
 public:
  PlanScreen(Frame& f, Workspace& ws) : f_(f), ws_(ws), tk_(f.tk()), camera_(ws.camera) {}
  void run();

 private:
  void build();
  void show_fields();
  void fetch();
  void store();
  void add_supervisor();
  void copy_day();
  void edit_cell();
  std::optional<int32_t> ask_number(const std::string& key, uint8_t length, int32_t top);

  Frame& f_;
  Workspace& ws_;
  toolkit::Toolkit& tk_;
  int camera_;
  int window_ = -1;
  CameraPlan plan_{};
  bool loaded_ = false;
  std::unique_ptr<toolkit::GridEditor> grid_;
  Action pending_ = Action::kNone;
  int cell_row_ = 0, cell_col_ = 0;
};

void PlanScreen::build() {
  tk_.okna.SMAZOKNA();
  window_ = -1;
  grid_.reset();
  if (f_.screen_left()) return;
  const int32_t h =
      tk_.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, "nastkamer", "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  auto later = [this](Action a) { return [this, a] { pending_ = a; }; };
  int32_t y = kButtonTop;
  auto add = [&](const char* picture, uint8_t key, std::function<void()> action) {
    toolkit::picture_button(tk_, window_, picture, std::move(action), kButtonX, y, key);
    y += kButtonStep;
  };
  add("pomoc.bmp", keys::kF1, [this] { f_.defer([this] { f_.help(); }); });
  add("budiz.bmp", keys::kEscape, [this] { f_.request_screen(kScreenCameras); });
  add("nastavit.bmp", 'n', later(Action::kStore));
  add("obnovit.bmp", 'o', later(Action::kFetch));
  add("kalendar.bmp", 'a', later(Action::kCalendar));
  add("uzivatel.bmp", 'u', later(Action::kSupervisor));
  add("predej.bmp", 'p', later(Action::kCopyDay));
  // One button per field, in the order of the rows.
  const std::pair<uint8_t, Action> fields[] = {
      {'1', Action::kUse},    {'2', Action::kSystem},         {'3', Action::kRandom},
      {'4', Action::kHoliday}, {'5', Action::kRatio},         {'6', Action::kArrivalMinutes},
      {'7', Action::kClearSupervisors}};
  for (int i = 0; i < 7; ++i)
    toolkit::picture_button(tk_, window_, "zmena.bmp", later(fields[i].second), kToggleX,
                            kFieldTop + i * kFieldStep - 3, fields[i].first);
  toolkit::picture_button(tk_, window_, "zmena.bmp", later(Action::kArrivalSeconds),
                          kValueX + 150, kFieldTop + 5 * kFieldStep - 3, '8');

  toolkit::GridLayout layout;
  layout.x = kWindowX + 10;
  layout.y = kWindowY + kGridY;
  layout.cell_w = 42;
  layout.cell_h = 22;
  layout.visible_rows = kDays;
  layout.visible_cols = 12;
  layout.label_w = 40;
  layout.header_h = 20;
  grid_ = std::make_unique<toolkit::GridEditor>(tk_, kDays, kHours, layout);
  const std::string day_names = f_.text("pldny");
  grid_->row_label = [day_names](int row) {
    return row * 3 + 2 <= int(day_names.size()) ? day_names.substr(size_t(row) * 3, 2)
                                                 : std::to_string(row);
  };
  grid_->col_label = [](int col) { return std::to_string(col); };
  grid_->cell_text = [this](int row, int col) {
    return loaded_ ? plan_cell_text(plan_.plan.TYDEN[row][col]) : std::string();
  };
  grid_->activate = [this](int row, int col) {
    cell_row_ = row;
    cell_col_ = col;
    pending_ = Action::kCell;
  };
  show_fields();
}

void PlanScreen::show_fields() {
  const int32_t ink = 0, paper = tk_.images.NAJDIBARVU(192, 192, 192);
  const TPlanKamer& p = plan_.plan;
  auto yes_no = [this](bool b) { return f_.text(b ? "alarmano" : "alarmne"); };
  auto seconds = [this](int64_t n) { return std::to_string(n) + " " + f_.text("plsec"); };
  std::string supervisors;
  for (int32_t id : p.VYPINATDOHLED)
    if (id != 0) supervisors += (supervisors.empty() ? "" : ", ") + user_name_of(f_, ws_, id);
  if (supervisors.empty()) supervisors = "--- N/A ---";
  const std::pair<const char*, std::string> rows[] = {
      {"plkamera", std::to_string(camera_ + 1) + "  " + yes_no(p.POUZIVAT)},
      {"plsystem", yes_no(plan_.system_on)},
      {"plnahoda", yes_no(p.NAHODNE)},
      {"plsvatek", yes_no(p.SVATEK)},
      {"plpomer", std::to_string(p.SVATEKINTERVAL) + "/16"},
      {"plprichod", std::to_string(p.POPRICHODU.MINUT) + " " + f_.text("plmin")},
      {"pldohled", supervisors},
  };
  for (int i = 0; i < 7; ++i) {
    const int32_t y = kFieldTop + i * kFieldStep;
    tk_.okna.VYPISUDAJOKNO(window_, kLabelX, y, ink, paper, 10, f_.text(rows[i].first));
    tk_.okna.VYPISUDAJOKNO(window_, kValueX, y, ink, paper, i == 6 ? 42 : 12,
                           loaded_ ? rows[i].second : "");
  }
  tk_.okna.VYPISUDAJOKNO(window_, kValueX + 210, kFieldTop + 5 * kFieldStep, ink, paper, 12,
                         loaded_ ? seconds(p.POPRICHODU.INTERVAL) : "");
  if (grid_) grid_->draw();
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void PlanScreen::fetch() {
  std::optional<CameraPlan> p = fetch_plan(f_, camera_);
  if (f_.screen_left() || !p) return;
  plan_ = *p;
  loaded_ = true;
  show_fields();
}

void PlanScreen::store() {
  if (!loaded_) return;
  const std::string problem = plan_problem(plan_.plan);
  if (!problem.empty()) {
    f_.status(problem);
    return;
  }
  if (store_plan(f_, camera_, plan_)) f_.status("planulozen");
}

std::optional<int32_t> PlanScreen::ask_number(const std::string& key, uint8_t length,
                                              int32_t top) {
  InputResult in = f_.VSTUPNIDIALOG(key, length);
  build();
  if (!in.confirmed) return std::nullopt;
  if (in.text.empty() || in.text.find_first_not_of("0123456789") != std::string::npos ||
      in.number < 0 || in.number > top) {
    f_.status("planspatne");
    return std::nullopt;
  }
  return in.number;
}

void PlanScreen::add_supervisor() {
  std::optional<int32_t> id = pick_user_id(f_, ws_, "uzivatel");
  build();
  if (!id) return;
  TPlanKamer& p = plan_.plan;
  // An entry of 0 is a free one: a user with id 0 (the administrator) cannot be told from it.
  if (*id == 0) {
    f_.status("dohledadmin");
    return;
  }
  for (int32_t v : p.VYPINATDOHLED)
    if (v == *id) return;
  for (int32_t& v : p.VYPINATDOHLED)
    if (v == 0) {
      v = *id;
      show_fields();
      return;
    }
  f_.status("dohledplno");
}

void PlanScreen::copy_day() {
  if (!grid_) return;
  const int from = grid_->row();
  std::optional<int32_t> to = ask_number("plkam", 1, kDays);
  if (!to || *to < 1) return;
  std::copy(std::begin(plan_.plan.TYDEN[from]), std::end(plan_.plan.TYDEN[from]),
            std::begin(plan_.plan.TYDEN[*to - 1]));
  show_fields();
}

void PlanScreen::edit_cell() {
  const int row = cell_row_, col = cell_col_;
  InputResult in = f_.VSTUPNIDIALOG("plhodnota", 12);
  build();
  if (grid_) grid_->move_to(row, col);
  if (!in.confirmed) return;
  std::optional<int32_t> v = parse_plan_cell(in.text);
  if (!v) {
    f_.status("planspatne");
    return;
  }
  plan_.plan.TYDEN[row][col] = *v;
  show_fields();
}

void PlanScreen::run() {
  build();
  if (window_ >= 0) fetch();
  while (window_ >= 0 && !f_.screen_left()) {
    f_.event_step();
    if (grid_ && loaded_) grid_->poll();
    const Action a = pending_;
    pending_ = Action::kNone;
    if (!loaded_ && a != Action::kFetch) continue;
    TPlanKamer& p = plan_.plan;
    switch (a) {
      case Action::kNone: break;
      case Action::kStore: store(); break;
      case Action::kFetch: fetch(); break;
      case Action::kCalendar:
        run_calendar(f_);
        build();
        break;
      case Action::kSupervisor: add_supervisor(); break;
      case Action::kClearSupervisors:
        std::fill(std::begin(p.VYPINATDOHLED), std::end(p.VYPINATDOHLED), 0);
        show_fields();
        break;
      case Action::kCopyDay: copy_day(); break;
      case Action::kUse: p.POUZIVAT = !p.POUZIVAT, show_fields(); break;
      case Action::kSystem: plan_.system_on = !plan_.system_on, show_fields(); break;
      case Action::kRandom: p.NAHODNE = !p.NAHODNE, show_fields(); break;
      case Action::kHoliday: p.SVATEK = !p.SVATEK, show_fields(); break;
      case Action::kRatio:
        if (auto v = ask_number("plpomer", 3, 255)) p.SVATEKINTERVAL = uint8_t(*v);
        show_fields();
        break;
      case Action::kArrivalMinutes:
        if (auto v = ask_number("plprichod", 5, 65535)) p.POPRICHODU.MINUT = uint16_t(*v);
        show_fields();
        break;
      case Action::kArrivalSeconds:
        if (auto v = ask_number("plsec", 9, 999999999)) p.POPRICHODU.INTERVAL = *v;
        show_fields();
        break;
      case Action::kCell: edit_cell(); break;
    }
    pending_ = Action::kNone;
  }
  grid_.reset();
  tk_.okna.SMAZOKNA();
}

}  // namespace

void build_camera_plan(Frame& f, Workspace& ws) {
  PlanScreen screen(f, ws);
  screen.run();
}

}  // namespace ksv::client::devices
