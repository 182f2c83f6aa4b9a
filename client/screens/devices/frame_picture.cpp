#include "client/screens/devices/frame_picture.h"

#include <algorithm>

#include "images/obrazky.h"

namespace ksv::client::devices {

namespace {

constexpr uint8_t kLoaded = 0;
constexpr uint8_t kFactorMode = 0, kLightenMode = 1;
constexpr uint16_t kUnchanged = 256;  // factors are in 1/256

bool holds_picture(const images::Obrazky& img) {
  const images::TOBRAZEK& o = img.OBRAZKY[kFrameSlot];
  return o.VEL > 0 && o.VELX > 0 && o.VELY > 0 && o.BPP == 0;
}

}  // namespace

bool load_frame_picture(images::Obrazky& img, const std::string& path) {
  // A large enough slot for the usual camera picture; a larger one is squeezed into it.
  if (img.OBRAZKY[kFrameSlot].VEL == 0) img.ZALOZOBRAZEK(kFrameSlot, kFrameW, kFrameH, 4);
  if (img.NAHRAJOBRAZEK(kFrameSlot, path) != kLoaded) return false;
  img.PREVEDBARVY(kFrameSlot);
  return holds_picture(img);
}

void normalise_frame(images::Obrazky& img) {
  if (!holds_picture(img)) return;
  const images::TOBRAZEK& o = img.OBRAZKY[kFrameSlot];
  int top = 0;
  for (int32_t y = 0; y < o.VELY; ++y)
    for (int32_t x = 0; x < o.VELX; ++x) {
      const auto& c = img.PALETA[o.BUFFER[int64_t{o.MAXX} * y + x]];
      top = std::max({top, int(c.R), int(c.G), int(c.B)});
    }
  if (top == 0 || top >= 255) return;
  const uint16_t factor = uint16_t(std::min(255 * kUnchanged / top, 255 * int(kUnchanged)));
  img.NORMALIZJAS(kFrameSlot, factor, factor, factor, kFactorMode);
}

void brighten_frame(images::Obrazky& img) {
  if (!holds_picture(img)) return;
  img.NORMALIZJAS(kFrameSlot, kUnchanged, kUnchanged, kUnchanged, kLightenMode);
}

}  // namespace ksv::client::devices
