// HeadlessBackend: in-memory frames, injected input and the replay of KSV_SCRIPT step files.
// A script advances one step per input poll of the program, so a replay is deterministic: the
// same script against the same program gives the same screenshots on every machine.
#include "toolkit/draw/headless.h"

#include "toolkit/cp1250.h"
#include "toolkit/draw/graph.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace ksv::draw {
namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool parse_int(const std::string& s, int& out) {
  if (s.empty()) return false;
  size_t i = s[0] == '-' ? 1 : 0;
  if (i == s.size()) return false;
  long v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
    if (v > 100000) return false;
  }
  out = static_cast<int>(s[0] == '-' ? -v : v);
  return true;
}

int button_bit(const std::string& name) {
  std::string n = lower(name);
  if (n.empty() || n == "left") return 1;
  if (n == "right") return 2;
  if (n == "middle") return 4;
  return 0;
}

}  // namespace

std::vector<uint8_t> parse_key_name(const std::string& name) {
  static const struct {
    const char* name;
    uint8_t code;
    bool extended;
  } kNames[] = {
      {"enter", 13, false},  {"escape", 27, false}, {"esc", 27, false},
      {"tab", 9, false},     {"backspace", 8, false}, {"space", 32, false},
      {"f1", 59, true},      {"f2", 60, true},      {"f3", 61, true},   {"f4", 62, true},
      {"f5", 63, true},      {"f6", 64, true},      {"f7", 65, true},   {"f8", 66, true},
      {"f9", 67, true},      {"f10", 68, true},     {"home", 71, true}, {"up", 72, true},
      {"pgup", 73, true},    {"left", 75, true},    {"right", 77, true}, {"end", 79, true},
      {"down", 80, true},    {"pgdn", 81, true},    {"insert", 82, true}, {"delete", 83, true},
  };
  if (name.size() == 1) return {static_cast<uint8_t>(name[0])};
  std::string n = lower(name);
  for (const auto& k : kNames)
    if (n == k.name) return k.extended ? std::vector<uint8_t>{0, k.code} : std::vector<uint8_t>{k.code};
  if (n.size() == 6 && n.rfind("ctrl+", 0) == 0 && n[5] >= 'a' && n[5] <= 'z')
    return {static_cast<uint8_t>(n[5] - 'a' + 1)};
  int v = 0;
  if (parse_int(n, v) && v >= 0 && v <= 255) return {static_cast<uint8_t>(v)};
  return {};
}

void HeadlessBackend::text(const std::string& utf8) {
  for (char c : toolkit::utf8_to_cp1250(utf8)) key(static_cast<uint8_t>(c));
}

bool HeadlessBackend::open(const std::string& title) {
  title_ = title;
  open_ = true;
  return true;
}

void HeadlessBackend::present(const uint8_t* pixels, const Palette& palette) {
  shown_.assign(pixels, pixels + static_cast<size_t>(640) * 480);
  shown_palette_ = palette;
}

bool HeadlessBackend::screenshot(const std::string& path) const {
  if (shown_.empty()) {
    std::vector<uint8_t> black(static_cast<size_t>(640) * 480, 0);
    return write_png_file(path, black.data(), shown_palette_);
  }
  return write_png_file(path, shown_.data(), shown_palette_);
}

void HeadlessBackend::pump(InputState& input) {
  ++polls_;
  run_steps(input);
  for (uint8_t k : pending_keys_) input.keys.push_back(k);
  pending_keys_.clear();
  input.mouse_x = mouse_x_;
  input.mouse_y = mouse_y_;
  input.buttons = buttons_;
  if (close_) input.close_requested = true;
}

void HeadlessBackend::run_steps(InputState& input) {
  if (hold_ > 0) {
    --hold_;
    return;
  }
  while (next_step_ < steps_.size()) {
    const Step& s = steps_[next_step_];
    switch (s.kind) {
      case Step::kKeys:
        // Typing waits until the program has read what was typed before.
        if (!input.keys.empty() || !pending_keys_.empty()) return;
        pending_keys_.insert(pending_keys_.end(), s.keys.begin(), s.keys.end());
        ++next_step_;
        return;
      case Step::kMouse:
        move_mouse(s.x, s.y);
        hold_ = settle_;
        ++next_step_;
        return;
      case Step::kDown:
        buttons_ |= s.n;
        hold_ = settle_;
        ++next_step_;
        return;
      case Step::kUp:
        buttons_ &= ~s.n;
        hold_ = settle_;
        ++next_step_;
        return;
      case Step::kWait:
        hold_ = s.n;
        ++next_step_;
        return;
      case Step::kShot:
        screenshot(s.path);
        ++next_step_;
        break;
      case Step::kSettle:
        settle_ = s.n;
        ++next_step_;
        break;
      case Step::kClose:
        close_ = true;
        ++next_step_;
        return;
    }
  }
  if (close_at_end_ && input.keys.empty() && pending_keys_.empty()) close_ = true;
}

bool HeadlessBackend::load_script(const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    script_error_ = "cannot read script " + path;
    return false;
  }
  std::stringstream ss;
  ss << in.rdbuf();
  return load_script_text(ss.str());
}

bool HeadlessBackend::load_script_text(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  std::vector<Step> steps;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    std::istringstream words(line.substr(start));
    std::string cmd;
    words >> cmd;
    cmd = lower(cmd);
    std::string rest;
    std::getline(words, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    std::istringstream args(rest);
    std::vector<std::string> a;
    for (std::string w; args >> w;) a.push_back(w);
    auto fail = [&](const std::string& why) {
      script_error_ = "script line " + std::to_string(number) + ": " + why;
      return false;
    };
    Step st{Step::kWait, {}, 0, 0, 0, {}};
    if (cmd == "key") {
      if (a.empty()) return fail("key needs at least one key name");
      st.kind = Step::kKeys;
      for (const auto& k : a) {
        auto bytes = parse_key_name(k);
        if (bytes.empty()) return fail("unknown key '" + k + "'");
        st.keys.insert(st.keys.end(), bytes.begin(), bytes.end());
      }
      steps.push_back(st);
    } else if (cmd == "text") {
      if (rest.empty()) return fail("text needs something to type");
      st.kind = Step::kKeys;
      const std::string typed = toolkit::utf8_to_cp1250(rest);  // scripts are UTF-8 files
      st.keys.assign(typed.begin(), typed.end());
      steps.push_back(st);
    } else if (cmd == "mouse" || cmd == "click") {
      int x = 0, y = 0;
      if (a.size() < 2 || !parse_int(a[0], x) || !parse_int(a[1], y))
        return fail(cmd + " needs X Y");
      int bit = button_bit(a.size() > 2 ? a[2] : "");
      if (bit == 0) return fail("unknown mouse button '" + a[2] + "'");
      st.kind = Step::kMouse;
      st.x = x;
      st.y = y;
      steps.push_back(st);
      if (cmd == "click") {
        steps.push_back(Step{Step::kDown, {}, 0, 0, bit, {}});
        steps.push_back(Step{Step::kUp, {}, 0, 0, bit, {}});
      }
    } else if (cmd == "down" || cmd == "up") {
      int bit = button_bit(a.empty() ? "" : a[0]);
      if (bit == 0) return fail("unknown mouse button '" + a[0] + "'");
      steps.push_back(Step{cmd == "down" ? Step::kDown : Step::kUp, {}, 0, 0, bit, {}});
    } else if (cmd == "wait" || cmd == "settle") {
      int n = 0;
      if (a.size() != 1 || !parse_int(a[0], n) || n < 0) return fail(cmd + " needs a count of polls");
      steps.push_back(Step{cmd == "wait" ? Step::kWait : Step::kSettle, {}, 0, 0, n, {}});
    } else if (cmd == "screenshot") {
      if (rest.empty()) return fail("screenshot needs a file name");
      steps.push_back(Step{Step::kShot, {}, 0, 0, 0, rest});
    } else if (cmd == "close") {
      steps.push_back(Step{Step::kClose, {}, 0, 0, 0, {}});
    } else {
      return fail("unknown step '" + cmd + "'");
    }
  }
  steps_ = std::move(steps);
  next_step_ = 0;
  hold_ = 0;
  script_error_.clear();
  return true;
}

}  // namespace ksv::draw
