// The catalogues the program editor picks from — threads (57), materials (58), placements (59),
// each fetched whole as a file — and a small list dialog to pick one entry from any of them.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "client/frame.h"
#include "client/workspace.h"
#include "protocol/records/catalogues.h"

namespace ksv::client::programs {

// The catalogue's records; nothing when the server or the transfer failed. Materials and
// placements come without their ID header (record 0) and without empty entries; the workspace's
// name caches are refreshed on the way.
std::optional<std::vector<TBarva>> fetch_threads(Frame& f, Workspace& ws);
std::optional<std::vector<TMaterial>> fetch_materials(Frame& f, Workspace& ws);
std::optional<std::vector<TUmisteni>> fetch_placements(Frame& f, Workspace& ws);

// The entries of a placement file that belong to the material.
std::vector<TUmisteni> placements_of(const std::vector<TUmisteni>& all, int32_t material);

// A pop-up list of the lines (at most 4096) with the arrows, Enter and Escape; the index of the
// chosen line, nothing when cancelled, empty or the screen was left. The list on show before is
// put back.
std::optional<size_t> pick_line(Frame& f, const std::string& title_key,
                                const std::vector<std::string>& lines);

// A user chosen from the user list and turned into an id with command 5; nothing when cancelled.
std::optional<int32_t> pick_user_id(Frame& f, Workspace& ws, const std::string& title_key);

}  // namespace ksv::client::programs
