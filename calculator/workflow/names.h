// Small rules of the calculator's desktop screens that need no screen: the file chooser's masks
// and folder moves, the name the result is saved under, and the segment list's entries.
// Kept apart so they can be checked on their own.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calculator/engine.h"

namespace ksv::calculator::ui {

// The file chooser's masks in the order the mask button steps through them.
constexpr std::array<std::string_view, 6> kMasks = {"*.jpg", "*.bmp", "*.pcx",
                                                    "*.gif", "*.tga", "*.ksv"};
inline uint16_t next_mask(uint16_t index) { return static_cast<uint16_t>((index + 1) % kMasks.size()); }

// Folder moves of the chooser; folders are written with a trailing "/". Going up from the root
// stays at the root.
std::string parent_folder(const std::string& folder);
std::string child_folder(const std::string& folder, const std::string& name);
// A picture of w x h pixels shrunk to fit a square of `box` pixels, keeping its shape (never
// enlarged, never below one pixel).
struct Size {
  int32_t w = 0, h = 0;
};
Size fit_into(int32_t w, int32_t h, int32_t box);

// The last name of a folder path ("loga" of "/prog/loga/"); empty for the root.
std::string last_folder_name(const std::string& folder);

// The name the result is saved under after the save dialog's field was confirmed, from what the
// field returned: a typed text replaces the name, a number typed alone becomes its digits (the
// field hands digits back as a number only), an empty field keeps the previous name; everything
// from the first full stop on is dropped.
std::string edited_save_name(const std::string& previous, int32_t number, const std::string& text);
// A name fit to become loga/NAME.bmp: not empty, no directory separators, no control characters.
bool is_safe_save_name(const std::string& name);

// The segment list: an entry's fields (BARVA, TYP, SMER, holes; each ended by code 0) and the
// number of pages of 4096 active segments.
std::string segment_spec(const TSEGMENT& s);
int holes_of(const TSEGMENT& s);
uint16_t page_count(int32_t active_segments);

}  // namespace ksv::calculator::ui
