// Pickers and look-ups the working screens share: users by id (commands 5 and 6), and the three
// catalogues — threads (57), materials (58), placements (59) — fetched as list files, offered in
// a pop-up list over the screen that opened them and used to name ids in list columns. The
// list on show before a picker is put back when it closes, so that screen carries on as it was.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/frame.h"
#include "client/workspace.h"
#include "protocol/records/catalogues.h"

namespace ksv::client {

// The id of the user with this name (command 5, "readid"); -1 when the server knows no such
// user or did not answer.
int32_t user_id_of(Frame& frame, const std::string& name);
// The name of the user with this id, from the workspace's cache or else from the server
// (command 6, "readname"); "???" when nobody has that id.
std::string user_name_of(Frame& frame, Workspace& ws, int32_t id);
// A user chosen from the user list and turned into an id; nothing when cancelled or unknown.
std::optional<int32_t> pick_user_id(Frame& frame, Workspace& ws, const std::string& title_key);

// The records of a catalogue list file as the server sends it: the material and placement
// lists start with their ID header, which is no entry; records without a name or code are
// left out. An unreadable file gives no records.
std::vector<TBarva> read_thread_list(const std::string& path);
std::vector<TMaterial> read_material_list(const std::string& path);
std::vector<TUmisteni> read_placement_list(const std::string& path);

// Fetches a catalogue from the server and refills the workspace's names from it (threads by
// code). Nothing when the list did not arrive (the error dialog has said why).
std::optional<std::vector<TBarva>> fetch_threads(Frame& frame, Workspace& ws);
std::optional<std::vector<TMaterial>> fetch_materials(Frame& frame, Workspace& ws);
std::optional<std::vector<TUmisteni>> fetch_placements(Frame& frame, Workspace& ws);

// The editor screens the pickers lead to.
constexpr int32_t kThreadEditor = 10, kMaterialEditor = 11, kPlacementEditor = 12;

// The pickers (window keys "nite", "material", "umisteni"): the catalogue fetched anew, the
// entry under the cursor chosen with Enter, Escape cancels. With the right to save entries
// (10 threads, 12 materials, 14 placements) pridat (Insert) leaves for the editor screen, which
// comes back to the screen that opened the picker; nothing is chosen then. With the right to
// delete them (11, 13, 15) smaz (Delete) deletes the entry under the cursor once confirmed.
// Placements can be limited to those of one material (-1: all).
std::optional<TBarva> pick_thread(Frame& frame, Workspace& ws);
std::optional<TMaterial> pick_material(Frame& frame, Workspace& ws);
std::optional<TUmisteni> pick_placement(Frame& frame, Workspace& ws, int32_t material = -1);

}  // namespace ksv::client
