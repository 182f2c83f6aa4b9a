// HeadlessBackend: a display without a window. Frames are kept in memory (and written as PNG on
// request); keys, mouse moves and clicks come from the test that drives it, or from a script of
// steps replayed one input poll at a time (see toolkit/SCRIPT.md for the step format).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/draw/backend.h"

namespace ksv::draw {

class HeadlessBackend final : public Backend {
 public:
  HeadlessBackend() = default;

  bool open(const std::string& title) override;
  void close() override { open_ = false; }
  void present(const uint8_t* pixels, const Palette& palette) override;
  void pump(InputState& input) override;
  void delay(int ms) override { virtual_ms_ += ms; }  // no wall-clock waiting
  const char* name() const override { return "headless"; }

  // --- injection by tests (takes effect at the next input poll) ---
  void key(uint8_t code) { pending_keys_.push_back(code); }
  void extended_key(uint8_t second) { pending_keys_.push_back(0), pending_keys_.push_back(second); }
  // Typed text arrives as UTF-8, as from a window system, and reaches the program as 1250 bytes.
  void text(const std::string& utf8);
  void move_mouse(int x, int y) { mouse_x_ = x, mouse_y_ = y; }
  void set_buttons(int bits) { buttons_ = bits; }
  void request_close() { close_ = true; }

  // --- the frame last presented, as a user would see it ---
  const std::vector<uint8_t>& shown() const { return shown_; }
  bool screenshot(const std::string& path) const;
  const std::string& title() const { return title_; }
  long polls() const { return polls_; }
  long virtual_ms() const { return virtual_ms_; }

  // --- scripts ---
  // Loads steps; false with a message in script_error() when a line cannot be understood.
  bool load_script(const std::string& path);
  bool load_script_text(const std::string& text);
  const std::string& script_error() const { return script_error_; }
  bool script_done() const { return next_step_ >= steps_.size() && hold_ == 0; }
  // When the steps run out the display asks the program to close, as a user closing the window.
  void set_close_at_end(bool on) { close_at_end_ = on; }

  struct Step {
    enum Kind { kKeys, kMouse, kDown, kUp, kWait, kShot, kClose, kSettle } kind;
    std::vector<uint8_t> keys;
    int x = 0, y = 0, n = 0;
    std::string path;
  };

 private:
  void run_steps(InputState& input);

  bool open_ = false;
  std::string title_;
  std::vector<uint8_t> shown_;
  Palette shown_palette_{};
  std::vector<uint8_t> pending_keys_;
  int mouse_x_ = 0, mouse_y_ = 0, buttons_ = 0;
  bool close_ = false;
  long polls_ = 0;
  long virtual_ms_ = 0;

  std::vector<Step> steps_;
  size_t next_step_ = 0;
  int hold_ = 0;
  int settle_ = 6;  // polls each mouse step is held, so buttons see hover, press and release
  bool close_at_end_ = false;
  std::string script_error_;
};

// Parses one key name of a script ("Enter", "F1", "Ctrl+C", "a", "27") into the bytes READKEY
// hands out; empty when the name is unknown.
std::vector<uint8_t> parse_key_name(const std::string& name);

}  // namespace ksv::draw
