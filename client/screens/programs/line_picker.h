// A pop-up list of text lines to choose one from — the program's attachments, its history —
// with the arrows, Enter and Escape; the list on show before is put back.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "client/frame.h"

namespace ksv::client::programs {

// The index of the chosen line (at most 4096 are offered); nothing when cancelled, empty or the
// screen was left.
std::optional<size_t> pick_line(Frame& f, const std::string& title_key,
                                const std::vector<std::string>& lines);

}  // namespace ksv::client::programs
