// The placement picture in its image slot: a picture file read through the readers and the
// converters of SUPPORT/ and fitted into the preview with its proportions kept, a blank picture
// to draw on, and the view the pen draws through.
//
// A reader squeezes a picture larger than the slot it loads into, each side on its own, so the
// slot's size no longer tells the picture's proportions; the fitted size is taken from the
// picture's size in the file instead.
#pragma once
#include <cstdint>
#include <string>

#include "client/screens/catalogues/entry_keys.h"
#include "client/screens/catalogues/placement_pen.h"
#include "images/obrazky.h"

namespace ksv::client::catalogues {

inline constexpr uint8_t kBlankColour = 0xFF;  // white
// The largest picture kept before it is fitted: a larger one is squeezed while it is read.
inline constexpr int32_t kScratchW = 640, kScratchH = 480;

// Loads the file into `slot` (allocated for the preview at one byte a pixel), fitted into
// kPreview. `scratch` must be a free slot; it is used while loading and freed again. The result
// code of the reader (images::kOk when loaded); on any failure `slot` is left as it was.
uint8_t load_fitted(images::Obrazky& im, uint16_t slot, uint16_t scratch, const std::string& path);

// A white picture of the preview's full size.
void make_blank(images::Obrazky& im, uint16_t slot);

// The picture the slot holds, for the pen; an empty view when it holds none (or not in the
// fixed palette).
PixelView view_of(images::TOBRAZEK& o);

// The slot holds a picture.
bool holds_picture(const images::TOBRAZEK& o);

}  // namespace ksv::client::catalogues
