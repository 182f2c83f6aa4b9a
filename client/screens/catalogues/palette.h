// The palette window ("paleta"): the 256 colours of the fixed palette as a grid, one chosen with
// the mouse and confirmed with budiz (Enter); zrusit (Escape) keeps the colour as it was.
#pragma once
#include <cstdint>
#include <optional>

namespace ksv::client {
class Frame;
}

namespace ksv::client::catalogues {

// The colour chosen, nothing when cancelled or the screen was left. Confirming without a click
// keeps `current`. The window's key names what the colour is for ("paleta": a thread's).
std::optional<uint8_t> pick_colour(Frame& f, uint8_t current, const char* window_key = "paleta");

// Where the grid of a palette window opened at (x, y) stands, for tests that click on it.
inline constexpr int32_t kPaletteW = 240, kPaletteH = 235, kGridX = 40, kGridY = 30;
inline constexpr int32_t kCell = 10;  // one colour's cell, 8 pixels and a gap

}  // namespace ksv::client::catalogues
