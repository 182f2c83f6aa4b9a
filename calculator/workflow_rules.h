// The small fixed rules of the calculator's dialogs that the batch mode and the desktop
// workflow share: colour reduction from brightness and quality, the size proposal and limit,
// the conversion of a preview area to picture pixels, and the garment names.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace ksv::calculator {

constexpr int kPreviewW = 580;  // the area dialog's preview
constexpr int kPreviewH = 260;
constexpr int kPictureMaxW = 2048;  // larger pictures are refused (error 100)
constexpr int kPictureMaxH = 1535;

// HODNNORM: low bits cleared from each colour component while the picture loads. light is
// JASNYOBRAZEK, quality KVALITA 1 (curves), 2 (gradients) or 3 (photos).
int32_t colour_reduction(bool light, int quality);

// An area (X1, Y1, X2, Y2).
struct Area {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// The size proposed for an area in preview pixels: 1 picture pixel = 0.2 mm.
struct SizeMm {
  int32_t ROZMERX = 0, ROZMERY = 0;
};
SizeMm propose_size(const Area& preview_area, int32_t picture_w, int32_t picture_h,
                    int32_t preview_w, int32_t preview_h);

// The working picture of 5 pixels per millimetre must fit 2048 x 1535 (else error 104).
bool size_within_limit(int32_t rozmerx, int32_t rozmery);

// A preview area in picture pixels (integer division, as the dialog converts it).
Area preview_area_to_picture(const Area& preview_area, int32_t picture_w, int32_t picture_h,
                             int32_t preview_w, int32_t preview_h);

// The area the area dialog starts with: the whole preview, corners inclusive.
Area initial_preview_area(int32_t preview_w, int32_t preview_h);

// Garment names in MATERIAL order; "&Zbozi" steps through them.
extern const std::array<std::string_view, 8> kGarmentNames;
std::optional<int> garment_by_name(std::string_view name);
inline uint8_t next_garment(uint8_t material) { return static_cast<uint8_t>((material + 1) % 8); }

}  // namespace ksv::calculator
