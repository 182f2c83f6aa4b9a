// What the catalogue editors send: the server replaces an entry with the same key by the record
// it receives, ID included, so an edited record must carry the ID of the entry it replaces —
// a record with ID 0 over "bavlna" would cut every program and picture off that material.
// Keys are compared as the server compares them: ASCII upper case, the thread code together
// with its weight, the placement description together with its material.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "protocol/records/catalogues.h"

namespace ksv::client::catalogues {

// The longest material name: the bytes after it hold the speed.
inline constexpr size_t kMaterialNameChars = 251;

bool same_key(const TMaterial& a, const TMaterial& b);
bool same_key(const TBarva& a, const TBarva& b);
bool same_key(const TUmisteni& a, const TUmisteni& b);

// The record as it is to be sent: the ID of the listed entry it replaces, or 0 for a new one.
TMaterial material_to_send(TMaterial edited, const std::vector<TMaterial>& listed);
TUmisteni placement_to_send(TUmisteni edited, const std::vector<TUmisteni>& listed);

// The listed entry with the record's key; nothing when the record is new.
std::optional<size_t> listed_at(const TBarva& b, const std::vector<TBarva>& listed);

// A picture of w × h fitted into the placement preview (230 × 150) keeping its aspect ratio;
// never smaller than 1 × 1, never enlarged.
struct Size {
  int32_t w, h;
  bool operator==(const Size&) const = default;
};
inline constexpr Size kPreview{230, 150};
Size fitted(Size picture, Size box = kPreview);

}  // namespace ksv::client::catalogues
