// A line typed into a dialog window, for the user screens and the message window: the text
// exactly as typed (a code of digits keeps its leading zeros), optionally echoed as asterisks,
// the box showing the end of a text longer than itself. The dialog's buttons end the input by
// setting `done`; Backspace takes the last character back.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "client/frame.h"

namespace ksv::client {

struct LineInput {
  int32_t x = 10, y = 30;     // in the window
  int box_chars = 40;         // characters the box shows
  size_t max_length = 40;     // characters it takes
  bool masked = false;        // asterisks instead of the characters
  std::string initial;
};

// Runs until `done` is non-zero; the text then. Nothing when the screen is left meanwhile.
std::optional<std::string> type_line(Frame& frame, int window, const LineInput& in,
                                     const int& done);

// A dialog of one field: the window titled by title_key, the field, budiz (Enter) to confirm
// and zrusit (Escape) to cancel. The typed text, or nothing when cancelled or left.
std::optional<std::string> ask_field(Frame& frame, const std::string& title_key, size_t length,
                                     bool masked, const std::string& initial);

}  // namespace ksv::client
