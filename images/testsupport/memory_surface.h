// MemorySurface: a 640 x 480 indexed screen in memory, for tests and tools that draw pictures
// without a window. Pixels off the screen are ignored and read as 0, as on the real screen.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/draw/surface.h"

namespace ksv::images {

class MemorySurface : public draw::PixelSurface {
 public:
  MemorySurface() : pixels_(size_t(draw::kScreenW) * draw::kScreenH, 0) {}
  void PUTPIXEL(int x, int y, uint8_t index) override {
    if (inside(x, y)) pixels_[size_t(y) * draw::kScreenW + x] = index, ++puts_;
  }
  uint8_t GETPIXEL(int x, int y) const override {
    return inside(x, y) ? pixels_[size_t(y) * draw::kScreenW + x] : 0;
  }
  void SETRGBPALETTE(int index, int r, int g, int b) override {
    if (index >= 0 && index < 256) palette_[index] = {r, g, b};
  }
  long puts() const { return puts_; }
  const std::array<int, 3>& palette(int index) const { return palette_[index]; }

 private:
  static bool inside(int x, int y) { return x >= 0 && y >= 0 && x < draw::kScreenW && y < draw::kScreenH; }
  std::vector<uint8_t> pixels_;
  std::array<std::array<int, 3>, 256> palette_{};
  long puts_ = 0;
};

}  // namespace ksv::images
