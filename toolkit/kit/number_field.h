// NumberField: a whole number typed into a field, told apart from an empty field ("0" is the
// number 0, not "nothing typed") and kept within bounds: only digits (and a leading minus when
// the lower bound is negative) can be typed, and a confirmation outside the bounds, or of an
// empty field where a number is required, is refused with the field left open and marked.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "toolkit/kit/text_field.h"

namespace ksv::toolkit {

struct NumberInput {
  bool confirmed = false;  // false: cancelled, nothing changes
  bool empty = true;       // confirmed with nothing typed
  int32_t value = 0;       // the number when confirmed and not empty
};

class NumberField {
 public:
  NumberField(Toolkit& tk, int32_t x, int32_t y, int32_t min, int32_t max,
              std::optional<int32_t> initial = std::nullopt, bool allow_empty = true);
  NumberField(const NumberField&) = delete;
  NumberField& operator=(const NumberField&) = delete;

  NumberInput edit();
  TextField& field() { return field_; }

  // The text as a number within [min, max]; nullopt for anything else (an empty text too).
  static std::optional<int32_t> parse(const std::string& text, int32_t min, int32_t max);

 private:
  int32_t min_, max_;
  bool allow_empty_;
  TextField field_;
};

}  // namespace ksv::toolkit
