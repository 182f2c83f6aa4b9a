// Screen 6, the cameras: one camera's frames of one day, page by page; a frame shown in the
// "snimek" window, where its brightness can be mended; the state of both cameras with the user
// whose presence switches each off; and the way to the camera plan. The buttons only name what
// is to be done; the screen's loop does it, outside the button poll.
#include "client/dates.h"
#include "client/frame.h"
#include "client/keys.h"
#include "client/pickers.h"
#include "client/screens/devices/camera_link.h"
#include "client/screens/devices/devices_screens.h"
#include "client/screens/devices/frame_list.h"
#include "client/screens/devices/frame_picture.h"
#include "client/workspace.h"
#include "protocol/rights.h"
#include "toolkit/kit/dialog.h"
#include "toolkit/kit/picture_button.h"

namespace ksv::client::devices {

namespace {

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 445;
constexpr int32_t kListX = 10, kListY = 56, kListW = 420, kListH = 286, kListRows = 15;
constexpr int32_t kListMode = (110 << 8) | 1;  // time as the name, date and mark as text
constexpr int32_t kHeaderY = 28, kStateY = 360, kStateStep = 24;
constexpr int32_t kButtonX = -10, kButtonTop = 28, kButtonStep = 24;
constexpr uint8_t kPageUp = 73, kPageDown = 81;
constexpr int kPlanRight = 25;
constexpr int32_t kScreenPlan = 61;

enum class Action {
  kNone, kFetch, kShow, kPagePrev, kPageNext, kCameraPrev, kCameraNext, kDayPrev, kDayNext,
  kToggle0, kToggle1, kPlan
};

struct CameraState {
  bool known = false;
  bool on = false;
  std::string user;
};

class CameraScreen {
 public:
  CameraScreen(Frame& f, Workspace& ws) : f_(f), ws_(ws), tk_(f.tk()) {
    day_ = f.client().conn.clock().now().datum();
  }
  void run();

 private:
  void build();
  void show_list();
  void show_header();
  void show_states();
  void fetch_list();
  void fetch_states();
  void show_frame();
  void picture_window();
  void toggle_camera(int camera);
  void move(void (toolkit::Seznam::*step)());

  Frame& f_;
  Workspace& ws_;
  toolkit::Toolkit& tk_;
  int window_ = -1;
  int camera_ = 0;
  TDatum day_{};
  std::vector<FrameEntry> frames_;
  size_t page_ = 0;
  CameraState states_[kCameraCount];
  Action pending_ = Action::kNone;
};

void CameraScreen::build() {
  tk_.okna.SMAZOKNA();
  window_ = -1;
  if (f_.screen_left()) return;
  const int32_t h =
      tk_.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, "kamery", "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  int32_t y = kButtonTop;
  auto later = [this](Action a) { return [this, a] { pending_ = a; }; };
  auto add = [&](const char* picture, uint8_t key, std::function<void()> action) {
    toolkit::picture_button(tk_, window_, picture, std::move(action), kButtonX, y, key);
    y += kButtonStep;
  };
  add("pomoc.bmp", keys::kF1, [this] { f_.defer([this] { f_.help(); }); });
  add("budiz.bmp", keys::kEscape, [this] { f_.request_screen(kScreenMenu); });
  add("obnovit.bmp", 'o', later(Action::kFetch));
  add("zobrazit.bmp", keys::kEnter, later(Action::kShow));
  toolkit::picture_button(
      tk_, window_, "nahoru.bmp", [this] { move(&toolkit::Seznam::SEZNAMNAHORU); }, -38, y,
      keys::kUp, 22, 20);
  toolkit::picture_button(
      tk_, window_, "dolu.bmp", [this] { move(&toolkit::Seznam::SEZNAMDOLU); }, kButtonX, y,
      keys::kDown, 22, 20);
  y += kButtonStep;
  add("stranap.bmp", kPageUp, later(Action::kPagePrev));
  add("stranad.bmp", kPageDown, later(Action::kPageNext));
  add("kamerap.bmp", 'k', later(Action::kCameraPrev));
  add("kamerad.bmp", 'l', later(Action::kCameraNext));
  add("datump.bmp", 'd', later(Action::kDayPrev));
  add("datumd.bmp", 'f', later(Action::kDayNext));
  add("nastavit.bmp", 'n', later(Action::kPlan));
  if (TESTBIT(f_.info().MOJEPRAVA, kPlanRight))
    for (int c = 0; c < kCameraCount; ++c)
      toolkit::picture_button(tk_, window_, "zmena.bmp",
                              later(c == 0 ? Action::kToggle0 : Action::kToggle1), kListX,
                              kStateY + c * kStateStep - 3, uint8_t('0' + c));
  show_list();
  show_states();
}

void CameraScreen::show_header() {
  const std::string text = f_.text("kamera") + " " + std::to_string(camera_ + 1) + " " +
                           f_.text("kamz") + " " + std::to_string(kCameraCount) + "    " +
                           f_.text("kamstrana") + " " +
                           std::to_string(page_ + 1) + " / " +
                           std::to_string(page_count(frames_.size())) + "    " +
                           format_date(day_);
  tk_.okna.VYPISUDAJOKNO(window_, kListX, kHeaderY, 255, tk_.images.NAJDIBARVU(0, 0, 64), 60,
                         text);
}

void CameraScreen::show_list() {
  toolkit::Seznam& list = tk_.seznam;
  list.SMAZSEZNAM();
  const size_t from = page_ * kFramesPerPage;
  const std::string date = format_date(day_);
  for (size_t i = from; i < frames_.size() && i < from + kFramesPerPage; ++i) {
    const FrameEntry& e = frames_[i];
    // A series frame cannot be fetched by its time: it stays in the list, marked.
    std::string spec = date;
    if (!e.single) spec += "  " + f_.text("kamserie");
    spec.push_back('\0');
    if (list.PRIDEJPRVEK(frame_label(e), spec, false) != 0) break;
  }
  tk_.okna.PRVNISEZNAMVOKNE(window_, kListX, kListY, kListW, kListH, kListRows, kListMode);
  show_header();
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void CameraScreen::show_states() {
  const int32_t paper = tk_.images.NAJDIBARVU(192, 192, 192);
  for (int c = 0; c < kCameraCount; ++c) {
    const CameraState& s = states_[c];
    std::string text = f_.text("kamera") + " " + std::to_string(c + 1) + "  ";
    if (s.known) text += f_.text(s.on ? "kamzap" : "kamvyp") + "   " + s.user;
    tk_.okna.VYPISUDAJOKNO(window_, kListX + 60, kStateY + c * kStateStep, 0, paper, 45, text);
  }
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void CameraScreen::move(void (toolkit::Seznam::*step)()) {
  (tk_.seznam.*step)();
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void CameraScreen::fetch_list() {
  std::optional<std::string> text = fetch_frame_list(f_, camera_, day_);
  if (f_.screen_left()) return;
  // A list that did not arrive leaves the one on show.
  if (!text) return;
  frames_ = parse_frame_list(*text);
  page_ = 0;
  show_list();
}

void CameraScreen::fetch_states() {
  for (int c = 0; c < kCameraCount && !f_.screen_left(); ++c) {
    std::optional<CameraPlan> p = fetch_plan(f_, c);
    if (!p) continue;
    CameraState& s = states_[c];
    s.known = true;
    s.on = p->system_on && p->plan.POUZIVAT;
    s.user = "--- N/A ---";
    for (int32_t id : p->plan.VYPINATDOHLED)
      if (id != 0) {
        const std::string name = user_name_of(f_, ws_, id);
        s.user = name == "???" ? "--- ??? ---" : name;
        break;
      }
  }
  if (!f_.screen_left()) show_states();
}

void CameraScreen::toggle_camera(int camera) {
  std::optional<CameraPlan> p = fetch_plan(f_, camera);
  if (!p || f_.screen_left()) return;
  const bool on = p->system_on && p->plan.POUZIVAT;
  p->plan.POUZIVAT = on ? 0 : 1;
  // Switching a camera on means the camera system has to run as well.
  if (!on) p->system_on = true;
  if (!store_plan(f_, camera, *p)) return;
  fetch_states();
}

void CameraScreen::show_frame() {
  const int at = tk_.seznam.highlighted();
  const size_t index = page_ * kFramesPerPage + size_t(at < 0 ? 0 : at);
  if (at < 0 || index >= frames_.size()) return;
  const FrameEntry& e = frames_[index];
  if (!e.single) {
    f_.status("kamserienelze");
    return;
  }
  std::optional<std::string> path = fetch_frame(f_, camera_, day_, e.time);
  if (f_.screen_left()) return;
  if (!path) return;  // the error dialog has said why; the last picture stays in its slot
  if (!load_frame_picture(tk_.images, *path)) {
    f_.status("kamobrazek");
    return;
  }
  picture_window();
  build();
}

void CameraScreen::picture_window() {
  images::Obrazky& img = tk_.images;
  bool closed = false;
  int shown_in = -1;
  auto draw = [this, &img, &shown_in] {
    if (shown_in < 0) return;
    const images::TOBRAZEK& o = img.OBRAZKY[kFrameSlot];
    tk_.okna.VLOZOBRAZEKDOOKNA(shown_in, kFrameSlot, (kFrameW + 20 - o.VELX) / 2, 28);
  };
  toolkit::run_dialog(
      tk_, f_.modal, Modal::kNotice, "snimek", {kFrameW + 20, kFrameH + 66, "snimek"},
      [&](toolkit::Window& w) {
        shown_in = w.index();
        toolkit::picture_button(tk_, w.index(), "Budiz.bmp", [&closed] { closed = true; }, 10,
                                -8, keys::kEscape);
        toolkit::picture_button(
            tk_, w.index(), "Normalizuj.bmp",
            [&] {
              normalise_frame(img);
              draw();
            },
            0, -8, 'n');
        toolkit::picture_button(
            tk_, w.index(), "Zesvetlit.bmp",
            [&] {
              brighten_frame(img);
              draw();
            },
            -10, -8, 'z');
        draw();
      },
      [&] { return closed || f_.screen_left(); }, [this] { f_.event_step(); });
}

void CameraScreen::run() {
  build();
  if (window_ >= 0) {
    fetch_list();
    fetch_states();
  }
  while (window_ >= 0 && !f_.screen_left()) {
    f_.event_step();
    const Action a = pending_;
    pending_ = Action::kNone;
    switch (a) {
      case Action::kNone:
        break;
      case Action::kFetch:
        fetch_list();
        fetch_states();
        break;
      case Action::kShow:
        show_frame();
        break;
      case Action::kPagePrev:
        if (page_ > 0) --page_, show_list();
        break;
      case Action::kPageNext:
        if (page_ + 1 < page_count(frames_.size())) ++page_, show_list();
        break;
      case Action::kCameraPrev:
      case Action::kCameraNext:
        camera_ = (camera_ + 1) % kCameraCount;  // two cameras: either way is the other one
        frames_.clear();
        fetch_list();
        show_list();
        break;
      case Action::kDayPrev:
      case Action::kDayNext:
        day_ = step_day(day_, a == Action::kDayPrev ? -1 : 1);
        frames_.clear();
        fetch_list();
        show_list();
        break;
      case Action::kToggle0:
      case Action::kToggle1:
        toggle_camera(a == Action::kToggle0 ? 0 : 1);
        break;
      case Action::kPlan:
        ws_.camera = camera_;
        f_.request_screen(kScreenPlan);
        break;
    }
    pending_ = Action::kNone;
  }
  tk_.okna.SMAZOKNA();
}

}  // namespace

void build_cameras(Frame& f, Workspace& ws) {
  CameraScreen screen(f, ws);
  screen.run();
}

}  // namespace ksv::client::devices
