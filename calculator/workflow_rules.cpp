// The fixed rules of the calculator's dialogs (see workflow_rules.h).
#include "calculator/workflow_rules.h"

#include "calculator/engine.h"

namespace ksv::calculator {

int32_t colour_reduction(bool light, int quality) {
  // More merging for pictures with smooth shades; light pictures tolerate one bit more.
  static constexpr int32_t kTable[3][2] = {{3, 4}, {5, 6}, {6, 7}};  // [quality-1][light]
  if (quality < 1) quality = 1;
  if (quality > 3) quality = 3;
  return kTable[quality - 1][light ? 1 : 0];
}

SizeMm propose_size(const Area& a, int32_t picture_w, int32_t picture_h, int32_t preview_w,
                    int32_t preview_h) {
  SizeMm s;
  if (preview_w > 0)
    s.ROZMERX = static_cast<int32_t>(int64_t{a.X2 - a.X1 + 1} * picture_w / preview_w / 5);
  if (preview_h > 0)
    s.ROZMERY = static_cast<int32_t>(int64_t{a.Y2 - a.Y1 + 1} * picture_h / preview_h / 5);
  return s;
}

bool size_within_limit(int32_t rozmerx, int32_t rozmery) {
  return int64_t{kPixelsPerMm} * rozmerx <= kWorkMaxX && int64_t{kPixelsPerMm} * rozmery <= kWorkMaxY;
}

Area preview_area_to_picture(const Area& a, int32_t picture_w, int32_t picture_h,
                             int32_t preview_w, int32_t preview_h) {
  Area r = a;
  if (preview_w > 0) {
    r.X1 = static_cast<int32_t>(int64_t{a.X1} * picture_w / preview_w);
    r.X2 = static_cast<int32_t>(int64_t{a.X2} * picture_w / preview_w);
  }
  if (preview_h > 0) {
    r.Y1 = static_cast<int32_t>(int64_t{a.Y1} * picture_h / preview_h);
    r.Y2 = static_cast<int32_t>(int64_t{a.Y2} * picture_h / preview_h);
  }
  return r;
}

Area initial_preview_area(int32_t preview_w, int32_t preview_h) {
  return Area{0, 0, preview_w - 1, preview_h - 1};
}

const std::array<std::string_view, 8> kGarmentNames = {
    "Triko", "Kosile", "Flees", "Cepice", "Bunda", "Polo", "Zastera", "Nasivka"};

std::optional<int> garment_by_name(std::string_view name) {
  for (int i = 0; i < 8; ++i) {
    const std::string_view g = kGarmentNames[i];
    if (g.size() != name.size()) continue;
    bool same = true;
    for (size_t k = 0; k < g.size() && same; ++k)
      same = (g[k] | 0x20) == (name[k] | 0x20);
    if (same) return i;
  }
  return std::nullopt;
}

}  // namespace ksv::calculator
