// A one-line text field for the long texts of the order form (up to 255 characters): it shows
// the end of the text when the text is wider than the field, and hands the text back as typed —
// digits stay text. It ends the way the toolkit's input field ends: a button sets KONECZADAVANI
// (1 or 4 keep the text, anything else drops it), or the program ends.
#pragma once
#include <cstdint>
#include <string>

#include "toolkit/toolkit.h"

namespace ksv::client::orders {

// The part of `text` shown in a field `width` pixels wide: its end, so the caret stays in view.
std::string visible_tail(draw::Graph& g, const std::string& text, int32_t width);

// Edits `text` at screen position (x, y), `width` pixels wide, at most `max_length` characters.
// True when the field was confirmed; `text` is changed only then.
bool edit_text(toolkit::Toolkit& tk, int32_t x, int32_t y, int32_t width, size_t max_length,
               std::string& text);

}  // namespace ksv::client::orders
