// Stitch files for tests, written the way the machine's own software writes them: the padded
// 512-byte header, then one 3-byte record per move (long moves split into steps of at most 121)
// and the end record.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "client/screens/programs/dst.h"

namespace ksv::client::programs::testing {

// Balanced ternary: v in -121..121 as five digits -1/0/1 of weight 1, 3, 9, 27, 81.
inline void ternary(int32_t v, int digits[5]) {
  for (int i = 0; i < 5; ++i) {
    int r = ((v % 3) + 3) % 3;
    if (r == 2) r = -1;
    digits[i] = r;
    v = (v - r) / 3;
  }
}

inline void encode_move(int32_t dx, int32_t dy, StitchKind kind, uint8_t rec[3]) {
  int x[5], y[5];
  ternary(dx, x);
  ternary(dy, y);
  rec[0] = rec[1] = 0;
  rec[2] = 0x03;
  auto set = [&](int byte, int plus_bit, int minus_bit, int d) {
    if (d > 0) rec[byte] |= uint8_t(1 << plus_bit);
    if (d < 0) rec[byte] |= uint8_t(1 << minus_bit);
  };
  set(0, 0, 1, x[0]);  // x 1
  set(1, 0, 1, x[1]);  // x 3
  set(0, 2, 3, x[2]);  // x 9
  set(1, 2, 3, x[3]);  // x 27
  set(2, 2, 3, x[4]);  // x 81
  set(0, 7, 6, y[0]);
  set(1, 7, 6, y[1]);
  set(0, 5, 4, y[2]);
  set(1, 5, 4, y[3]);
  set(2, 5, 4, y[4]);
  if (kind == StitchKind::kJump) rec[2] |= 0x80;
  if (kind == StitchKind::kColourChange) rec[2] |= 0xC0;
}

// A design given as absolute positions; a step longer than 121 becomes several records of the
// same kind.
struct DesignBuilder {
  std::vector<uint8_t> records;
  int32_t x = 0, y = 0;
  int32_t minx = 0, maxx = 0, miny = 0, maxy = 0;
  int count = 0, changes = 0;

  DesignBuilder& to(int32_t nx, int32_t ny, StitchKind kind = StitchKind::kStitch) {
    while (x != nx || y != ny) {
      const int32_t dx = std::clamp(nx - x, -121, 121), dy = std::clamp(ny - y, -121, 121);
      put(dx, dy, kind);
    }
    return *this;
  }
  DesignBuilder& jump(int32_t nx, int32_t ny) { return to(nx, ny, StitchKind::kJump); }
  DesignBuilder& change() {
    put(0, 0, StitchKind::kColourChange);
    ++changes;
    return *this;
  }
  void put(int32_t dx, int32_t dy, StitchKind kind) {
    uint8_t r[3];
    encode_move(dx, dy, kind, r);
    records.insert(records.end(), r, r + 3);
    x += dx;
    y += dy;
    minx = std::min(minx, x);
    maxx = std::max(maxx, x);
    miny = std::min(miny, y);
    maxy = std::max(maxy, y);
    ++count;
  }

  // The whole file, header padded with spaces as real files are.
  std::string file(const std::string& label = "TEST") const {
    char h[160];
    int n = std::snprintf(h, sizeof h,
                          "LA:%-16s\rST:%7d\rCO:%3d\r+X:%5d\r-X:%5d\r+Y:%5d\r-Y:%5d\r"
                          "AX:+%5d\rAY:+%5d\rMX:+%5d\rMY:+%5d\rPD:******\r\x1a",
                          label.c_str(), count, changes, maxx, -minx, maxy, -miny, x, y, 0, 0);
    std::string out(h, size_t(n));
    out.resize(kDstHeaderSize, ' ');
    out.append(records.begin(), records.end());
    out += std::string("\x00\x00\xF3", 3);
    return out;
  }
};

// A header with the given field texts (after the label), padded to 512 bytes.
inline std::string header_with(const std::vector<std::string>& fields) {
  std::string h = "LA:DESIGN          \r";
  for (const std::string& f : fields) h += f + "\r";
  h += "\x1a";
  h.resize(kDstHeaderSize, ' ');
  return h;
}

}  // namespace ksv::client::programs::testing
