// Drawing on a placement picture. The pencil draws wherever the left button is held, joining
// each mouse sample to the one before, so a quick stroke has no gaps (the mouse is read once a
// pass, and a hand moves many pixels between two passes). The line runs from where the button
// went down to where it is let go and follows the mouse meanwhile: the picture as it was at the
// press is put back under every new position, so only the last line stays. Both draw with a
// square tip of kPenWidth pixels, cut at the picture's edges; a press outside the picture (on a
// button, say) starts nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ksv::client::catalogues {

// Thick enough to be seen on a picture of 230 × 150, thin enough to mark a place on a shirt.
inline constexpr int32_t kPenWidth = 2;

// A picture of palette indices held elsewhere (an image slot), rows `stride` bytes apart.
struct PixelView {
  uint8_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  int32_t stride = 0;

  bool contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint8_t at(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(stride) + size_t(x)]; }
};

struct Point {
  int32_t x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

// The tip at p: kPenWidth × kPenWidth pixels from p towards the right and down, cut at the edges.
void draw_dot(PixelView v, Point p, uint8_t colour);
// Every point from a to b with the tip (both ends included).
void draw_segment(PixelView v, Point a, Point b, uint8_t colour);

enum class Tool { kNone, kPencil, kLine };

class Pen {
 public:
  // Another tool (or none) ends the stroke under way; what it drew stays.
  void set_tool(Tool tool);
  Tool tool() const { return tool_; }
  void set_colour(uint8_t colour) { colour_ = colour; }
  uint8_t colour() const { return colour_; }
  // Forgets the stroke under way and the button's last state: after a dialog, or when the
  // picture was replaced, a button still held does not go on drawing.
  void reset();

  // One mouse sample, p in picture coordinates, with the left button held or not. True when
  // the picture changed.
  bool feed(PixelView v, Point p, bool down);
  bool stroking() const { return stroking_; }

 private:
  void keep_picture(PixelView v);
  bool put_back_picture(PixelView v) const;

  Tool tool_ = Tool::kNone;
  uint8_t colour_ = 0;  // black
  bool was_down_ = true;  // a button held when the tool is taken up is not a press
  bool stroking_ = false;
  Point last_{}, anchor_{};
  std::vector<uint8_t> before_;  // the picture at the press of a line, row after row
};

}  // namespace ksv::client::catalogues
