// Outline tracing: walks the edge of one colour area pixel by pixel, using up every pixel it
// visits (index 1), and stores the outline as straight pieces where the walking direction
// changes over more than two pixels.
#include <cmath>

#include "calculator/engine.h"

namespace ksv::calculator {

// Index 1 marks pixels already used up, so it never belongs to an area: otherwise an area
// whose seed an earlier outline had used up would be traced as index 1 and the walk, which
// relies on turning every visited pixel into a non-member, would never end.
bool Engine::JEBODVSEGMENTU(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= NOVAX || y >= NOVAY) return false;
  if (traced_index_ == kVisited) return false;
  return work_pixel(x, y) == traced_index_;
}

void Engine::mark_visited(int32_t x, int32_t y) {
  uint8_t& p = work_[int64_t{y} * work_stride_ + x];
  if (p != kVisited) {
    p = kVisited;
    visited_.push_back(y * NOVAX + x);
    if (fill_active_) {  // the pixel leaves a stretch the fill's corner search remembers
      auto& [lo, hi] = clear_runs_[size_t(fill_vertical_ ? x : y)];
      const int32_t s = fill_vertical_ ? y : x;
      if (lo <= s && s <= hi) {
        if (s - lo >= hi - s)
          hi = s - 1;
        else
          lo = s + 1;
      }
    }
  }
}

bool Engine::HLEDEJKONTURY(int32_t& x, int32_t& y, uint16_t sx, uint16_t sy) {
  auto I = [&](int dx, int dy) { return JEBODVSEGMENTU(x + dx, y + dy); };
  int mx = 0, my = 0;
  if (I(-1, 1) && !I(-1, 0) && !I(0, -1) && !I(1, -1) && !I(-1, -1)) {
    mx = -1, my = 1;
  } else if (I(1, 1) && !I(-1, 0) && !I(0, 1) && !I(-1, 1)) {
    mx = 1, my = 1;
  } else if (I(1, -1) && !I(-1, 1) && !I(0, 1) && !I(1, 1) && !I(1, 0)) {
    mx = 1, my = -1;
  } else if (I(-1, -1) && !I(1, 1) && !I(1, 0) && !I(1, -1) && !I(0, -1)) {
    mx = -1, my = -1;
  } else if (I(0, -1) && !I(1, 0)) {
    mx = 0, my = -1;
  } else if (I(1, 0) && !I(1, 1)) {
    mx = 1, my = 0;
  } else if (I(-1, 0)) {
    mx = -1, my = 0;
  } else if (I(0, 1) && !I(-1, 0) && !I(-1, -1)) {
    mx = 0, my = 1;
  } else {
    return true;  // nowhere to go: the outline is closed
  }
  x += mx;
  y += my;
  return x + mx == sx && y + my == sy;
}

void Engine::append_piece(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (CARSEGMENTU >= kMaxPieces) return;
  CARASEG[CARSEGMENTU++] = TCARASEGMENTU{static_cast<uint16_t>(x1), static_cast<uint16_t>(y1),
                                         static_cast<uint16_t>(x2), static_cast<uint16_t>(y2),
                                         TYPCARY};
}

namespace {
int step_direction(int dx, int dy) {
  if (dx == -1 && dy == 1) return 1;
  if (dx == 0 && dy == 1) return 2;
  if (dx == 1 && dy == 1) return 3;
  if (dx == 1 && dy == 0) return 6;
  if (dx == 1 && dy == -1) return 9;
  if (dx == 0 && dy == -1) return 8;
  if (dx == -1 && dy == -1) return 7;
  return 5;  // a step to the left, or no step
}
}  // namespace

void Engine::NAJDICARYSEGMENTU(uint16_t x, uint16_t y) {
  if (x >= NOVAX || y >= NOVAY) return;
  traced_index_ = work_pixel(x, y);
  mark_visited(x, y);
  int32_t px = x, py = y;          // previous point
  int32_t startx = x, starty = y;  // start of the piece being collected
  int direction = 0;               // 0: none recorded yet
  int32_t length = 0;
  bool closed = false;
  while (!closed) {
    int32_t cx = px, cy = py;
    closed = HLEDEJKONTURY(cx, cy, x, y);
    mark_visited(cx, cy);
    const int dx = cx - px, dy = cy - py;
    const int d = step_direction(dx, dy);
    length += static_cast<int32_t>(std::lround(std::sqrt(double(dx * dx + dy * dy))));
    if (direction == 0) {
      direction = d;
    } else if (d != direction && length > 2) {
      append_piece(startx, starty, px, py);
      length = 0;
      startx = px;
      starty = py;
      direction = d;
      if (CARSEGMENTU >= kMaxPieces) return;  // a full table ends the outline as it stands
    }
    px = cx;
    py = cy;
  }
  append_piece(startx, starty, px, py);
}

}  // namespace ksv::calculator
