#include "client/screens/pricing/price_settings.h"

#include <charconv>

namespace ksv::client::pricing {

namespace {

uint16_t word_at(const uint8_t* b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
void put_word(uint8_t* b, size_t at, uint16_t v) {
  b[at] = uint8_t(v & 0xFF);
  b[at + 1] = uint8_t(v >> 8);
}

constexpr size_t kTableAt = 14, kMinimumAt = 86, kSpecialAt = 104, kExtraAt = 122;
static_assert(kExtraAt + 2 * kExtras == kUsedBytes);
static_assert(kTableAt + 2 * kTiers * kClasses == kMinimumAt);

}  // namespace

PriceSettings PriceSettings::from_block(const TKalkulace& block) {
  const uint8_t* b = block.REZERVA;
  PriceSettings s;
  s.extra_stitches = word_at(b, 0);
  s.extra_price = word_at(b, 2);
  for (size_t i = 0; i < s.multiplier.size(); ++i) s.multiplier[i] = b[4 + i];
  for (int t = 0; t < kTiers; ++t) {
    for (int c = 0; c < kClasses; ++c) s.table[t][c] = word_at(b, kTableAt + 2 * (t * kClasses + c));
    s.minimum[t] = word_at(b, kMinimumAt + 2 * t);
    s.special_minimum[t] = word_at(b, kSpecialAt + 2 * t);
  }
  for (int e = 0; e < kExtras; ++e) s.extra[e] = word_at(b, kExtraAt + 2 * e);
  return s;
}

TKalkulace PriceSettings::into_block(const TKalkulace& base) const {
  TKalkulace out = base;
  uint8_t* b = out.REZERVA;
  put_word(b, 0, extra_stitches);
  put_word(b, 2, extra_price);
  for (size_t i = 0; i < multiplier.size(); ++i) b[4 + i] = multiplier[i];
  for (int t = 0; t < kTiers; ++t) {
    for (int c = 0; c < kClasses; ++c) put_word(b, kTableAt + 2 * (t * kClasses + c), table[t][c]);
    put_word(b, kMinimumAt + 2 * t, minimum[t]);
    put_word(b, kSpecialAt + 2 * t, special_minimum[t]);
  }
  for (int e = 0; e < kExtras; ++e) put_word(b, kExtraAt + 2 * e, extra[e]);
  return out;
}

uint16_t& value_at(PriceSettings& s, const Cell& c) {
  switch (c.field) {
    case Field::kExtraStitches: return s.extra_stitches;
    case Field::kExtraPrice: return s.extra_price;
    case Field::kTable: return s.table[c.row][c.column];
    case Field::kMinimum: return s.minimum[c.row];
    case Field::kSpecial: return s.special_minimum[c.row];
    case Field::kExtra: break;
  }
  return s.extra[c.row];
}

std::optional<uint16_t> parse_value(const std::string& text) {
  int64_t v = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || p != end || v < 0 || v > kMaxValue) return std::nullopt;
  return uint16_t(v);
}

}  // namespace ksv::client::pricing
