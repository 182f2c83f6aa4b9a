// PixelSurface: the smallest face of the drawing layer — the indexed 640 × 480 screen with its
// 256-entry palette. Picture code (image slots) draws and grabs through it, so it never needs
// to know whether a window or the headless framebuffer is behind it.
#pragma once
#include <cstdint>

namespace ksv::draw {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;

class PixelSurface {
 public:
  virtual ~PixelSurface() = default;
  // Coordinates are screen coordinates relative to the current viewport; pixels outside the
  // screen (or outside a clipping viewport) are ignored by PUTPIXEL and read as 0 by GETPIXEL.
  virtual void PUTPIXEL(int x, int y, uint8_t index) = 0;
  virtual uint8_t GETPIXEL(int x, int y) const = 0;
  virtual void SETRGBPALETTE(int index, int r, int g, int b) = 0;
};

}  // namespace ksv::draw
