// The editor's preview of a stitch file: the design drawn stitch by stitch, scaled to fit the
// 230 x 150 slot with its proportions kept, each colour block in the colour of its thread.
// Pixels are indices into the fixed RRRGGGBB palette, ready for an image slot of format 0.
#pragma once
#include <cstdint>
#include <vector>

#include "client/screens/programs/dst.h"
#include "protocol/records/catalogues.h"
#include "protocol/records/orders.h"

namespace ksv::client::programs {

inline constexpr int kPreviewWidth = 230;
inline constexpr int kPreviewHeight = 150;
inline constexpr uint8_t kPreviewBackground = 0xFF;  // white

struct PreviewImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height, rows top first
  uint8_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// The palette colour of each colour block: the thread of BARVY[i] looked up by code in the
// catalogue, for the first min(BAREV, 32) blocks; a code that is empty or unknown gets a
// stand-in colour, so that neighbouring blocks stay apart.
std::vector<uint8_t> block_colours(const TProgramZak& program, const std::vector<TBarva>& threads);

// The stand-in colour of block i when its thread is not known.
uint8_t fallback_colour(size_t block);

// Draws the stitches (jumps move without drawing; each colour change starts the next block)
// into a width x height picture on a white ground. A design of a single point is drawn as that
// point in the middle; no stitches give a blank picture.
PreviewImage render_preview(const std::vector<Stitch>& stitches,
                            const std::vector<uint8_t>& colours, int width = kPreviewWidth,
                            int height = kPreviewHeight);

}  // namespace ksv::client::programs
