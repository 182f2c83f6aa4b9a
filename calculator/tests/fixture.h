// Test helpers for the calculator: index pictures drawn from a row-per-string map or a function,
// put straight into an engine's working and result slots, or written as 8-bit BMP files.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calculator/engine.h"
#include "images/obrazky.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::calculator::testing {

using PixelFn = std::function<uint8_t(int x, int y)>;

// Fills slot `slot` (allocated here, w x h x 1) with a format-0 picture.
inline void make_picture(images::Obrazky& obr, uint16_t slot, int w, int h, const PixelFn& f) {
  ASSERT_EQ(obr.ZALOZOBRAZEK(slot, w, h, 1), 0);
  images::TOBRAZEK& o = obr.OBRAZKY[slot];
  o.VELX = w;
  o.VELY = h;
  o.BPP = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) o.BUFFER[int64_t{y} * o.MAXX + x] = f(x, y);
}

// A picture from rows of characters: '.' is index 0, '#' index 200, digits their own value
// times 10 plus 100 (so '1' is 110), anything else its character code.
inline PixelFn from_rows(std::vector<std::string> rows) {
  auto shared = std::make_shared<std::vector<std::string>>(std::move(rows));
  return [shared](int x, int y) -> uint8_t {
    const char c = (*shared)[size_t(y)][size_t(x)];
    if (c == '.') return 0;
    if (c == '#') return 200;
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(100 + (c - '0') * 10);
    return static_cast<uint8_t>(c);
  };
}

// An engine over a working picture (slot 0) and a cleared result picture (slot 1).
struct DirectEngine {
  images::Obrazky obr;
  Engine engine{obr};
  DirectEngine(int w, int h, const PixelFn& f, uint8_t marker = 0) {
    make_picture(obr, 0, w, h, f);
    make_picture(obr, 1, w, h, [marker](int, int) { return marker; });
    engine.attach_pictures(0, 1, marker);
  }
  int count_result(uint8_t index) const {
    int n = 0;
    for (int y = 0; y < engine.NOVAY; ++y)
      for (int x = 0; x < engine.NOVAX; ++x) n += engine.result_pixel(x, y) == index;
    return n;
  }
  int count_work(uint8_t index) const {
    int n = 0;
    for (int y = 0; y < engine.NOVAY; ++y)
      for (int x = 0; x < engine.NOVAX; ++x) n += engine.work_pixel(x, y) == index;
    return n;
  }
};

// Writes a w x h picture as an 8-bit BMP with the fixed palette; its indices load back
// unchanged under every colour reduction the calculator uses.
inline std::string write_bmp(const ksv::testing::TempDir& dir, const std::string& name, int w,
                             int h, const PixelFn& f) {
  images::Obrazky obr;
  make_picture(obr, 0, w, h, f);
  const std::string path = dir / name;
  EXPECT_EQ(obr.ULOZBMP(0, path), 0);
  return path;
}

// A segmentation input covering the whole of a w x h picture at exactly w x h working pixels:
// the area keeps the last column and row out, so the picture is one larger than the work.
inline SegmentationInput whole_picture(const std::string& path, int work_w, int work_h) {
  SegmentationInput in;
  in.SOUBORKALK = path;
  in.X1 = 0;
  in.Y1 = 0;
  in.X2 = work_w;
  in.Y2 = work_h;
  in.ROZMERX = work_w / 5;
  in.ROZMERY = work_h / 5;
  return in;
}

}  // namespace ksv::calculator::testing
