// Screen 5, the alarm: the settings of the two circuits toggled row by row, the e-mail address
// for alarm notices, and the circuits' state and detections as the server reports them. The
// buttons only name what is to be done; the screen's loop does it, so an exchange with the server
// never runs inside the button poll that fired it.
#include "client/frame.h"
#include "client/keys.h"
#include "client/screens/devices/alarm_rows.h"
#include "client/screens/devices/devices_screens.h"
#include "protocol/commands.h"
#include "toolkit/kit/picture_button.h"

namespace ksv::client::devices {

namespace {

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 445;
constexpr int32_t kRowTop = 36, kRowStep = 24, kToggleX = 15, kLabelX = 75, kValueX = 330;
constexpr int32_t kEmailY = kRowTop + kAlarmRows * kRowStep + 8;
constexpr int32_t kButtonX = -10, kButtonTop = 36, kButtonStep = 24;
constexpr uint8_t kValueChars = 6, kLabelChars = 30;

enum class Action { kNone, kSave, kFetch, kEmail, kToggle };

class AlarmScreen {
 public:
  explicit AlarmScreen(Frame& f) : f_(f), tk_(f.tk()) {}
  void run();

 private:
  void build();
  void show_rows();
  void fetch();
  void save();
  void edit_email();

  Frame& f_;
  toolkit::Toolkit& tk_;
  int window_ = -1;
  TAlarm alarm_{};
  bool loaded_ = false;  // nothing is saved before the server's record has been read
  Action pending_ = Action::kNone;
  int toggle_ = -1;
};

void AlarmScreen::build() {
  tk_.okna.SMAZOKNA();
  window_ = -1;
  if (f_.screen_left()) return;
  const int32_t h = tk_.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, "alarm", "");
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
  add("uloz.bmp", 's', later(Action::kSave));
  add("obnovit.bmp", 'o', later(Action::kFetch));
  add("zmen.bmp", 'e', later(Action::kEmail));
  for (int i = 0; i < kAlarmToggles; ++i)
    toolkit::picture_button(
        tk_, window_, "zmena.bmp",
        [this, i] {
          pending_ = Action::kToggle;
          toggle_ = i;
        },
        kToggleX, kRowTop + i * kRowStep - 3, uint8_t('1' + i));
  show_rows();
}

void AlarmScreen::show_rows() {
  const int32_t ink = tk_.images.NAJDIBARVU(0, 0, 0);
  const int32_t paper = tk_.images.NAJDIBARVU(192, 192, 192);
  const int32_t alert = tk_.images.NAJDIBARVU(192, 0, 0);
  const auto rows = alarm_rows(alarm_);
  for (int i = 0; i < kAlarmRows; ++i) {
    const int32_t y = kRowTop + i * kRowStep;
    const AlarmRow& r = rows[size_t(i)];
    tk_.okna.VYPISUDAJOKNO(window_, kLabelX, y, ink, paper, kLabelChars, f_.text(r.label_key));
    const std::string value = loaded_ && !r.value_key.empty() ? f_.text(r.value_key) : "";
    tk_.okna.VYPISUDAJOKNO(window_, kValueX, y, r.value_key == "ano!" ? alert : ink, paper,
                           kValueChars, value);
  }
  tk_.okna.VYPISUDAJOKNO(window_, kToggleX, kEmailY, ink, paper, 8, f_.text("alarmmail"));
  tk_.okna.VYPISUDAJOKNO(window_, kLabelX, kEmailY, ink, tk_.images.NAJDIBARVU(255, 255, 255),
                         uint8_t(kEmailChars + 1), alarm_.EMAIL.str());
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void AlarmScreen::fetch() {
  f_.compose();
  if (f_.request(req::kAlarmGet, "getalarm") != rep::kAlarm) return;
  TAlarm got{};
  if (!f_.client().conn.BUFFERPACKET.get_raw(slot::kText, &got, sizeof got)) return;
  alarm_ = got;
  loaded_ = true;
  show_rows();
}

void AlarmScreen::save() {
  if (!loaded_) {
    f_.status("alarmnenacten");
    return;
  }
  Packet& b = f_.compose();
  b.put_raw(slot::kText, &alarm_, sizeof alarm_);
  if (f_.request(req::kAlarmSet, "setalarm") != rep::kAlarm) return;
  f_.status("alarmulozen");
}

void AlarmScreen::edit_email() {
  InputResult in = f_.VSTUPNIDIALOG("alarmmail", uint8_t(kEmailChars));
  build();  // the dialog was drawn over the rows
  if (!in.confirmed) return;
  set_alarm_email(alarm_, in.text);
  show_rows();
}

void AlarmScreen::run() {
  build();
  if (window_ >= 0) fetch();
  while (window_ >= 0 && !f_.screen_left()) {
    f_.event_step();
    const Action a = pending_;
    pending_ = Action::kNone;
    switch (a) {
      case Action::kNone:
        break;
      case Action::kSave:
        save();
        break;
      case Action::kFetch:
        fetch();
        break;
      case Action::kEmail:
        edit_email();
        break;
      case Action::kToggle:
        if (loaded_) {
          toggle_alarm_setting(alarm_, toggle_);
          show_rows();
        }
        break;
    }
    pending_ = Action::kNone;
  }
  tk_.okna.SMAZOKNA();
}

}  // namespace

void build_alarm(Frame& f, Workspace&) {
  AlarmScreen screen(f);
  screen.run();
}

}  // namespace ksv::client::devices
