// The three catalogues: threads "nite.dat" (TBarva, no header), materials "material.dat"
// (TMaterial) and placements "umisten.dat" (TUmisteni), the last two with the ID header in
// record 0; and the placement pictures "umisten/<ID>.ksv".
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/records/catalogues.h"

namespace ksv::server {

inline constexpr const char* kThreadFile = "nite.dat";
inline constexpr const char* kMaterialFile = "material.dat";
inline constexpr const char* kPlacementFile = "umisten.dat";

enum class SaveResult { kSaved, kNoRight, kFileError };
enum class PictureResult { kCopied, kNoPicture, kNotFound, kFileError };

class Catalogues {
 public:
  // base: the data tree, ending in "/".
  explicit Catalogues(std::string base);

  // Save: an entry with the same key is overwritten by the record as received (only with
  // `may_replace`, else kNoRight and nothing changes); a new material or placement takes the
  // next ID of the header and is appended; a new thread is appended as received.
  SaveResult save_thread(const TBarva& rec, bool may_replace);
  SaveResult save_material(const TMaterial& rec, bool may_replace);
  SaveResult save_placement(const TUmisteni& rec, bool may_replace);

  // Delete: the entry with the same key goes and the later ones move up; a missing entry leaves
  // the file as it is. A placement's picture is erased with it. False on a file error.
  bool delete_thread(const TBarva& key);
  bool delete_material(const TMaterial& key);
  bool delete_placement(const TUmisteni& key);

  // The picture of the placement found by key, copied to `out_path`.
  PictureResult copy_placement_picture(const TUmisteni& key, const std::string& out_path) const;

  // The ID of the placement with exactly this description and material (record 0 excluded).
  std::optional<int32_t> placement_id_exact(const TUmisteni& rec) const;

  // "umisten/<id>.ksv"
  std::string picture_path(int32_t id) const;
  std::string file(const char* name) const { return base_ + name; }

 private:
  std::string base_;
};

// Keys: a thread by its code in upper case together with SLABA, a material by its name in upper
// case, a placement by its description in upper case together with MATERIAL.
bool same_thread(const TBarva& a, const TBarva& b);
bool same_material(const TMaterial& a, const TMaterial& b);
bool same_placement(const TUmisteni& a, const TUmisteni& b);

// The name a client uploads a placement picture under: "<id>%<slot, two digits>.ksv".
std::string picture_upload_name(int32_t id, int slot);

// The placement ID an uploaded file stands for, when its name (without directory) is
// "<decimal id>%<slot, two digits>.ksv".
std::optional<int32_t> picture_upload_id(const std::string& name, int slot);

}  // namespace ksv::server
