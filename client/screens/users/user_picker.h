// The user picker: the user list in a window of its own, the cursor moved with the arrow
// buttons, Enter to choose and Escape to cancel. User administration chooses the user to show
// or the one whose rights are copied with it; the messages screen chooses a recipient.
#pragma once
#include <optional>
#include <string>

#include "client/frame.h"

namespace ksv::client {

// The chosen name; nothing when cancelled, when the list is empty or the screen was left. The
// list on show before is put back afterwards. `leave_out` is a name not offered (empty: none).
std::optional<std::string> choose_user(Frame& frame, const std::string& title_key,
                                       const std::string& leave_out = "");

}  // namespace ksv::client
