// The card's count dialog: one whole number typed in a small pop-up, kept within bounds by the
// toolkit's number field (a number outside them, or nothing, cannot be confirmed).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "client/frame.h"

namespace ksv::client::production {

// The number confirmed, nothing when cancelled. `title_key` names the dialog (and its modal key).
std::optional<int32_t> ask_count(Frame& f, const std::string& title_key, int32_t min, int32_t max,
                                 std::optional<int32_t> initial = std::nullopt);

}  // namespace ksv::client::production
