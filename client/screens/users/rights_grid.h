// The 64 rights bits as a grid with a cursor: two columns (bits 0-31 and 32-63), half of each
// on a page, every cell the text of "bit" + its number and "ANO" or "NE". Bits the user holds
// by delegation are shown as "ANO" in a colour of their own; bits that cannot be chosen are
// dimmed. Shared by the rights editor (33) and the copying of rights (322).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "client/frame.h"

namespace ksv::client {

struct RightsGrid {
  std::string title_key;       // window title
  int64_t rights = 0;          // the bits being edited; the result on confirmation
  int64_t delegated = 0;       // shown as held in the delegation colour
  int64_t selectable = -1;     // the bits that can be toggled (-1: all; 0: look only)
  bool changed = false;        // a bit was toggled
};

// Cell of a bit: column = bit / 32, row = bit % 32.
constexpr int rights_grid_bit(int row, int col) { return col * 32 + row; }

enum class GridAnswer { kConfirmed, kCancelled, kLeft };

// Shows the grid in a window of its own with budiz (Enter), zrusit (Escape) and help until it
// is answered. Space toggles the bit under the cursor (also a press on it).
GridAnswer edit_rights(Frame& frame, RightsGrid& grid);

}  // namespace ksv::client
