// Choosing a user or a material for a search criterion: a pop-up list of names with "-" for
// "anyone", the choice turned into an id. The screen's own list is kept aside meanwhile.
#pragma once
#include <cstdint>
#include <optional>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client::orders {

constexpr int32_t kAnyone = -1;

// The chosen user's id (kAnyone for "-"); nullopt when cancelled or the name has no id.
std::optional<int32_t> pick_user(Frame& f, Workspace& ws);
// The chosen material's id (kAnyone for "-"); nullopt when cancelled.
std::optional<int32_t> pick_material(Frame& f, Workspace& ws);

}  // namespace ksv::client::orders
