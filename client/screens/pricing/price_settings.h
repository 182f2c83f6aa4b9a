// The price settings: the first 134 bytes of the server's 1016-byte settings block, read into
// named tables and written back into the very block they came from, so the bytes past them —
// which this client does not use but another may — go back to the server unchanged.
//
// OFFSET SIZE  CONTENTS (little-endian Words)
//      0    2  extra stitches added to every job
//      2    2  extra price in crowns added to every piece
//      4   10  multiplier (reserved, kept as it lies)
//     14   72  price table [tier 0..8][class 0..3], tenths of a crown per 1000 stitches
//     86   18  minimum price per piece for each tier, tenths of a crown
//    104   18  special minimum per piece for each tier, tenths of a crown
//    122   12  price of each of the six extras, tenths of a crown
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/records/settings.h"

namespace ksv::client::pricing {

inline constexpr int kTiers = 9, kClasses = 4, kExtras = 6;
inline constexpr size_t kUsedBytes = 134;
// A Word holds no more; a larger value is refused rather than cut to its low bits.
inline constexpr int32_t kMaxValue = 65535;

struct PriceSettings {
  uint16_t extra_stitches = 0;
  uint16_t extra_price = 0;
  std::array<uint8_t, 10> multiplier{};
  std::array<std::array<uint16_t, kClasses>, kTiers> table{};
  std::array<uint16_t, kTiers> minimum{};
  std::array<uint16_t, kTiers> special_minimum{};
  std::array<uint16_t, kExtras> extra{};

  // The settings read from the block as the server sent it.
  static PriceSettings from_block(const TKalkulace& block);
  // The block with bytes 0..133 replaced by these settings and the rest as `base` held it.
  TKalkulace into_block(const TKalkulace& base) const;
};

// One editable value of the settings, as the settings screen walks them: the two single values,
// the table row by row, then the minimum and special minimum and the extras.
enum class Field { kExtraStitches, kExtraPrice, kTable, kMinimum, kSpecial, kExtra };
struct Cell {
  Field field;
  int row = 0;     // tier, or extra
  int column = 0;  // class (table only)
};
uint16_t& value_at(PriceSettings& s, const Cell& c);

// A typed value checked for a Word: nothing for text that is no whole number from 0 to 65535.
std::optional<uint16_t> parse_value(const std::string& text);

}  // namespace ksv::client::pricing
