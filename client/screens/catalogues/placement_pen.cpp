#include "client/screens/catalogues/placement_pen.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ksv::client::catalogues {

void draw_dot(PixelView v, Point p, uint8_t colour) {
  const int64_t x0 = std::max<int64_t>(p.x, 0), y0 = std::max<int64_t>(p.y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t(p.x) + kPenWidth, v.width);
  const int64_t y1 = std::min<int64_t>(int64_t(p.y) + kPenWidth, v.height);
  for (int64_t y = y0; y < y1; ++y)
    for (int64_t x = x0; x < x1; ++x) v.pixels[size_t(y) * size_t(v.stride) + size_t(x)] = colour;
}

void draw_segment(PixelView v, Point a, Point b, uint8_t colour) {
  // Bresenham over 64-bit steps: the mouse may stand far outside the picture, and a segment
  // that crosses it must still be drawn where it crosses.
  const int64_t dx = std::llabs(int64_t(b.x) - a.x), dy = -std::llabs(int64_t(b.y) - a.y);
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int64_t err = dx + dy;
  int64_t x = a.x, y = a.y;
  // Points far outside cost nothing but time; a segment is at most a few screens long.
  for (;;) {
    if (x > -kPenWidth && y > -kPenWidth && x < v.width && y < v.height)
      draw_dot(v, {int32_t(x), int32_t(y)}, colour);
    if (x == b.x && y == b.y) break;
    const int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void Pen::set_tool(Tool tool) {
  tool_ = tool;
  reset();
}

void Pen::reset() {
  stroking_ = false;
  was_down_ = true;
  before_.clear();
}

void Pen::keep_picture(PixelView v) {
  before_.resize(size_t(v.width) * size_t(v.height));
  for (int32_t y = 0; y < v.height; ++y)
    std::memcpy(before_.data() + size_t(y) * size_t(v.width),
                v.pixels + size_t(y) * size_t(v.stride), size_t(v.width));
}

bool Pen::put_back_picture(PixelView v) const {
  if (before_.size() != size_t(v.width) * size_t(v.height)) return false;
  for (int32_t y = 0; y < v.height; ++y)
    std::memcpy(v.pixels + size_t(y) * size_t(v.stride),
                before_.data() + size_t(y) * size_t(v.width), size_t(v.width));
  return true;
}

bool Pen::feed(PixelView v, Point p, bool down) {
  const bool pressed = down && !was_down_;
  was_down_ = down;
  if (tool_ == Tool::kNone || !v.pixels || v.width <= 0 || v.height <= 0) {
    stroking_ = false;
    return false;
  }
  if (!down) {
    stroking_ = false;
    before_.clear();
    return false;
  }
  if (pressed) {
    if (!v.contains(p.x, p.y)) return false;
    stroking_ = true;
    anchor_ = last_ = p;
    if (tool_ == Tool::kLine) keep_picture(v);
    draw_dot(v, p, colour_);
    return true;
  }
  if (!stroking_ || p == last_) return false;
  if (tool_ == Tool::kPencil) {
    draw_segment(v, last_, p, colour_);
  } else {
    // A picture that changed size under the line cannot be put back; the line then stops.
    if (!put_back_picture(v)) {
      stroking_ = false;
      return false;
    }
    draw_segment(v, anchor_, p, colour_);
  }
  last_ = p;
  return true;
}

}  // namespace ksv::client::catalogues
