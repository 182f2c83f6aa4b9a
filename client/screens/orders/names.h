// Names the orders screens show for ids: users (by command 6, one at a time), and the material
// and placement catalogues (commands 58 and 59, fetched whole once per visit of the menu).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client::orders {

// The user's name, from the cache or asked of the server; "???" when nobody has the id, "" for
// the id -1.
std::string user_name(Frame& f, Workspace& ws, int32_t id);

// Fills ws.materials and ws.placements when they are empty.
void load_catalogue_names(Frame& f, Workspace& ws);

// Records of a catalogue file (record 0, the id header, left out; records without a name too).
struct CatalogueName {
  int32_t id;
  std::string name;
};
std::vector<CatalogueName> read_materials(const std::string& path);
std::vector<CatalogueName> read_placements(const std::string& path);

}  // namespace ksv::client::orders
