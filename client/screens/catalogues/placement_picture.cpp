#include "client/screens/catalogues/placement_picture.h"

#include <algorithm>

namespace ksv::client::catalogues {

namespace {

// Frees the scratch slot on every way out of a load.
class ScratchSlot {
 public:
  ScratchSlot(images::Obrazky& im, uint16_t slot) : im_(im), slot_(slot) {
    // Four bytes a pixel: the readers keep a true-colour picture as it is until it is converted.
    ok_ = im.ZALOZOBRAZEK(slot, kScratchW, kScratchH, 4) == images::kOk;
  }
  ~ScratchSlot() {
    if (ok_) im_.ZRUSOBRAZEK(slot_);
  }
  ScratchSlot(const ScratchSlot&) = delete;
  ScratchSlot& operator=(const ScratchSlot&) = delete;
  bool ok() const { return ok_; }

 private:
  images::Obrazky& im_;
  uint16_t slot_;
  bool ok_ = false;
};

}  // namespace

uint8_t load_fitted(images::Obrazky& im, uint16_t slot, uint16_t scratch, const std::string& path) {
  if (slot >= images::kSlotCount || im.OBRAZKY[slot].VEL == 0) return images::OBRAZEKNEALOK;
  ScratchSlot s(im, scratch);
  if (!s.ok()) return images::kSlotTaken;
  if (uint8_t rc = im.NAHRAJOBRAZEK(scratch, path); rc != images::kOk) return rc;
  const images::TOBRAZEK& loaded = im.OBRAZKY[scratch];
  if (loaded.BPP != 0 || !holds_picture(loaded)) return images::kNotSupported;
  const images::TOBRAZEK& target = im.OBRAZKY[slot];
  const Size fit = fitted({im.ORIGX, im.ORIGY}, {std::min(kPreview.w, target.MAXX),
                                                 std::min(kPreview.h, target.MAXY)});
  // The scratch slot holds at least the fitted size in both directions (its sides are larger
  // than the preview's), so this only ever reduces or copies.
  im.ZMVELIKOSTI(scratch, slot, fit.w, fit.h, 0);
  const images::TOBRAZEK& out = im.OBRAZKY[slot];
  if (out.VELX != fit.w || out.VELY != fit.h || out.BPP != 0) return images::kNotSupported;
  return images::kOk;
}

void make_blank(images::Obrazky& im, uint16_t slot) {
  if (slot >= images::kSlotCount) return;
  images::TOBRAZEK& o = im.OBRAZKY[slot];
  if (o.VEL == 0) return;
  o.VELX = std::min(kPreview.w, o.MAXX);
  o.VELY = std::min(kPreview.h, o.MAXY);
  o.BPP = 0;
  im.VYMAZBUFFER(slot, kBlankColour);
}

bool holds_picture(const images::TOBRAZEK& o) {
  return o.VEL > 0 && o.BUFFER && o.VELX > 0 && o.VELY > 0 && o.VELX <= o.MAXX &&
         o.VELY <= o.MAXY;
}

PixelView view_of(images::TOBRAZEK& o) {
  if (!holds_picture(o) || o.BPP != 0) return {};
  return {o.BUFFER, o.VELX, o.VELY, o.MAXX};
}

}  // namespace ksv::client::catalogues
