// NumberField: digits only, bounds checked on confirmation (see the header).
#include "toolkit/kit/number_field.h"

#include <algorithm>

namespace ksv::toolkit {
namespace {

size_t digits(int64_t v) {
  size_t n = v < 0 ? 2 : 1;
  for (v = v < 0 ? -v : v; v >= 10; v /= 10) ++n;
  return n;
}

}  // namespace

NumberField::NumberField(Toolkit& tk, int32_t x, int32_t y, int32_t min, int32_t max,
                         std::optional<int32_t> initial, bool allow_empty)
    : min_(std::min(min, max)),
      max_(std::max(min, max)),
      allow_empty_(allow_empty),
      field_(tk, x, y, static_cast<int>(std::max(digits(min_), digits(max_))) + 1,
             std::max(digits(min_), digits(max_)),
             initial ? std::to_string(*initial) : std::string()) {
  field_.refused_background = tk.images.NAJDIBARVU(160, 0, 0);
  field_.accept = [this](uint8_t ch, size_t at) {
    return (ch >= '0' && ch <= '9') || (ch == '-' && at == 0 && min_ < 0 &&
                                        field_.text().find('-') == std::string::npos);
  };
  field_.valid = [this](const std::string& text) {
    return text.empty() ? allow_empty_ : parse(text, min_, max_).has_value();
  };
}

std::optional<int32_t> NumberField::parse(const std::string& text, int32_t min, int32_t max) {
  size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
  if (i == text.size() || text.size() > 12) return std::nullopt;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    v = v * 10 + (text[i] - '0');
  }
  if (text[0] == '-') v = -v;
  if (v < min || v > max) return std::nullopt;
  return static_cast<int32_t>(v);
}

NumberInput NumberField::edit() {
  NumberInput in;
  in.confirmed = field_.edit();
  if (!in.confirmed) return in;
  const std::optional<int32_t> v = parse(field_.text(), min_, max_);
  in.empty = !v.has_value();
  in.value = v.value_or(0);
  return in;
}

}  // namespace ksv::toolkit
