// One value of a catalogue entry typed into a small pop-up over its editor: the field starts with
// the value as it stands and may be emptied. A pop-up, so the editor's hot keys stay quiet while
// the user types (a 'k' in a name must not pick the code button).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ksv::client {
class Frame;
}

namespace ksv::client::catalogues {

// The text as confirmed (Windows-1250, at most max_length characters); nothing when cancelled
// or the screen was left. The box shows at most box_chars characters and scrolls beyond them.
std::optional<std::string> ask_text(Frame& f, const std::string& title_key, size_t max_length,
                                    int box_chars, const std::string& initial);

// A whole number in [min, max], or an emptied field (the value 0); nothing when cancelled or
// the screen was left. A number out of bounds is refused with the field left open.
std::optional<int32_t> ask_number(Frame& f, const std::string& title_key, int32_t min,
                                  int32_t max, int32_t initial);

}  // namespace ksv::client::catalogues
