// Backend: what a display must offer the drawing layer — show a finished 640 × 480 indexed frame
// through its palette, and deliver keys, mouse and the close request. The SDL2 window and the
// headless framebuffer both implement it; the graph object never knows which one it has.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace ksv::draw {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};
using Palette = std::array<Rgb, 256>;

// Input as the program polls it. Keys are bytes; an extended key is queued as 0 followed by its
// second code (F1 = 0, 59), exactly as READKEY hands it out.
struct InputState {
  std::deque<uint8_t> keys;
  int mouse_x = 0;
  int mouse_y = 0;
  int buttons = 0;  // bit 0 left, bit 1 right, bit 2 third button
  bool close_requested = false;
};

class Backend {
 public:
  virtual ~Backend() = default;
  // False when the display cannot be opened (reported by GRAPHRESULT).
  virtual bool open(const std::string& title) = 0;
  virtual void close() = 0;
  // Shows a whole frame: 640 × 480 bytes, row by row, each an index into the palette.
  virtual void present(const uint8_t* pixels, const Palette& palette) = 0;
  // Moves pending keyboard and mouse events into the input state. Called on every input poll.
  virtual void pump(InputState& input) = 0;
  virtual void delay(int ms) = 0;
  virtual const char* name() const = 0;
};

// Picks the display: KSV_VIDEO=headless (or sdl), otherwise the SDL2 window when one is built and
// a display is present (DISPLAY or WAYLAND_DISPLAY), otherwise headless. A headless display
// replays the steps of the file named by KSV_SCRIPT when that variable is set.
std::unique_ptr<Backend> make_backend();

}  // namespace ksv::draw
