// The choice of another user for the attendance screen.
#pragma once
#include <optional>
#include <string>

namespace ksv::client {
class Frame;
}

namespace ksv::client::attendance {

// The user list of the server in a picker window; the name chosen, nothing when cancelled.
std::optional<std::string> pick_user(Frame& f);

}  // namespace ksv::client::attendance
