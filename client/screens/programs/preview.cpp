// Drawing a stitch file into the preview picture.
#include "client/screens/programs/preview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "client/screens/programs/program_rules.h"

namespace ksv::client::programs {

namespace {

// A ring of clearly different colours on white: black, red, blue, green, purple, orange,
// teal, brown (RRRGGGBB).
constexpr std::array<uint8_t, 8> kStandIns = {0x00, 0xE0, 0x03, 0x18, 0x83, 0xF0, 0x12, 0x84};

constexpr int kMargin = 2;

struct Segment {
  int32_t x0, y0, x1, y1;
  size_t block;
};

// The drawn segments of the design: every stitch from where the needle stood.
std::vector<Segment> segments_of(const std::vector<Stitch>& stitches) {
  std::vector<Segment> out;
  int32_t x = 0, y = 0;
  size_t block = 0;
  for (const Stitch& s : stitches) {
    if (s.kind == StitchKind::kStitch) out.push_back({x, y, s.x, s.y, block});
    if (s.kind == StitchKind::kColourChange) ++block;
    x = s.x;
    y = s.y;
  }
  return out;
}

void plot(PreviewImage& img, int x, int y, uint8_t colour) {
  if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
  img.pixels[size_t(y) * size_t(img.width) + size_t(x)] = colour;
}

void line(PreviewImage& img, int x0, int y0, int x1, int y1, uint8_t colour) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    plot(img, x0, y0, colour);
    if (x0 == x1 && y0 == y1) return;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

}  // namespace

uint8_t fallback_colour(size_t block) { return kStandIns[block % kStandIns.size()]; }

std::vector<uint8_t> block_colours(const TProgramZak& program, const std::vector<TBarva>& threads) {
  const int n = used_thread_slots(program);
  std::vector<uint8_t> out;
  out.reserve(size_t(n));
  for (int i = 0; i < n; ++i) {
    const TBarva* t = find_thread(threads, program.BARVY[i].view());
    out.push_back(t ? t->BARVA : fallback_colour(size_t(i)));
  }
  return out;
}

PreviewImage render_preview(const std::vector<Stitch>& stitches,
                            const std::vector<uint8_t>& colours, int width, int height) {
  PreviewImage img;
  img.width = std::max(width, 1);
  img.height = std::max(height, 1);
  img.pixels.assign(size_t(img.width) * size_t(img.height), kPreviewBackground);

  const std::vector<Segment> segs = segments_of(stitches);
  if (segs.empty()) return img;
  int32_t minx = segs[0].x0, maxx = minx, miny = segs[0].y0, maxy = miny;
  for (const Segment& s : segs) {
    minx = std::min({minx, s.x0, s.x1});
    maxx = std::max({maxx, s.x0, s.x1});
    miny = std::min({miny, s.y0, s.y1});
    maxy = std::max({maxy, s.y0, s.y1});
  }
  // The largest scale at which the whole design fits inside the margins, in both directions.
  const double room_x = std::max(img.width - 1 - 2 * kMargin, 0);
  const double room_y = std::max(img.height - 1 - 2 * kMargin, 0);
  const double span_x = double(maxx) - minx, span_y = double(maxy) - miny;
  double scale = 1.0;
  if (span_x > 0 && span_y > 0) scale = std::min(room_x / span_x, room_y / span_y);
  else if (span_x > 0) scale = room_x / span_x;
  else if (span_y > 0) scale = room_y / span_y;
  const double left = kMargin + (room_x - span_x * scale) / 2;
  const double top = kMargin + (room_y - span_y * scale) / 2;
  // The design's y grows upwards, the picture's downwards.
  auto px = [&](int32_t x) { return int(std::lround(left + (double(x) - minx) * scale)); };
  auto py = [&](int32_t y) { return int(std::lround(top + (double(maxy) - y) * scale)); };

  for (const Segment& s : segs) {
    const uint8_t c = s.block < colours.size() ? colours[s.block] : fallback_colour(s.block);
    line(img, px(s.x0), py(s.y0), px(s.x1), py(s.y1), c);
  }
  return img;
}

}  // namespace ksv::client::programs
