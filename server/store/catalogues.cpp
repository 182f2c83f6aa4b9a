// Saving, deleting and finding catalogue entries, and the placement pictures.
#include "server/store/catalogues.h"

#include <cstdio>
#include <vector>

#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "server/store/orders.h"

namespace ksv::server {

namespace {

// Materials and placements keep their ID counter in record 0, which is never an entry: a
// record with an empty name must not be taken for it.
constexpr size_t kFirstEntry = 1;

template <class T, class Same>
SaveResult save_entry(const std::string& path, const T& rec, bool may_replace, size_t first,
                      bool give_id, Same same) {
  SaveResult result = SaveResult::kSaved;
  bool ok = update_records<T>(path, [&](std::vector<T>& v) {
    for (size_t i = first; i < v.size(); ++i) {
      if (!same(v[i], rec)) continue;
      if (!may_replace) {
        result = SaveResult::kNoRight;
        return false;
      }
      v[i] = rec;
      return true;
    }
    T added = rec;
    if constexpr (requires { added.ID; }) {
      if (give_id) {
        if (v.empty()) v.push_back(T{});  // a file without its header gets one
        v[0].ID += 1;
        added.ID = v[0].ID;
      }
    }
    v.push_back(added);
    return true;
  });
  return ok ? result : SaveResult::kFileError;
}

template <class T, class Same>
bool delete_entry(const std::string& path, const T& key, size_t first, Same same,
                  std::optional<T>* removed = nullptr) {
  return update_records<T>(path, [&](std::vector<T>& v) {
    for (size_t i = first; i < v.size(); ++i) {
      if (!same(v[i], key)) continue;
      if (removed) *removed = v[i];
      v.erase(v.begin() + std::ptrdiff_t(i));
      return true;
    }
    return false;
  });
}

}  // namespace

bool same_thread(const TBarva& a, const TBarva& b) {
  return upper_ascii(a.KOD.view()) == upper_ascii(b.KOD.view()) && (a.SLABA != 0) == (b.SLABA != 0);
}
bool same_material(const TMaterial& a, const TMaterial& b) {
  return upper_ascii(a.NAZEV.view()) == upper_ascii(b.NAZEV.view());
}
bool same_placement(const TUmisteni& a, const TUmisteni& b) {
  return upper_ascii(a.POPIS.view()) == upper_ascii(b.POPIS.view()) && a.MATERIAL == b.MATERIAL;
}

Catalogues::Catalogues(std::string base) : base_(std::move(base)) {
  if (base_.empty()) base_ = "./";
  if (base_.back() != '/') base_ += '/';
}

std::string Catalogues::picture_path(int32_t id) const {
  return base_ + "umisten/" + std::to_string(id) + ".ksv";
}

SaveResult Catalogues::save_thread(const TBarva& rec, bool may_replace) {
  return save_entry(file(kThreadFile), rec, may_replace, 0, false, same_thread);
}
SaveResult Catalogues::save_material(const TMaterial& rec, bool may_replace) {
  return save_entry(file(kMaterialFile), rec, may_replace, kFirstEntry, true, same_material);
}
SaveResult Catalogues::save_placement(const TUmisteni& rec, bool may_replace) {
  return save_entry(file(kPlacementFile), rec, may_replace, kFirstEntry, true, same_placement);
}

bool Catalogues::delete_thread(const TBarva& key) {
  return delete_entry(file(kThreadFile), key, 0, same_thread);
}
bool Catalogues::delete_material(const TMaterial& key) {
  return delete_entry(file(kMaterialFile), key, kFirstEntry, same_material);
}
bool Catalogues::delete_placement(const TUmisteni& key) {
  std::optional<TUmisteni> removed;
  if (!delete_entry(file(kPlacementFile), key, kFirstEntry, same_placement, &removed))
    return false;
  if (removed && file_exists(picture_path(removed->ID))) erase_file(picture_path(removed->ID));
  return true;
}

PictureResult Catalogues::copy_placement_picture(const TUmisteni& key,
                                                 const std::string& out_path) const {
  ScanResult<TUmisteni> found = find_record<TUmisteni>(
      file(kPlacementFile), [&](const TUmisteni& r) { return same_placement(r, key); },
      kFirstEntry);
  if (!found.readable()) return PictureResult::kFileError;
  if (!found.found()) return PictureResult::kNotFound;
  const std::string picture = picture_path(found.record.ID);
  if (!file_exists(picture)) return PictureResult::kNoPicture;
  return copy_file(picture, out_path) ? PictureResult::kCopied : PictureResult::kFileError;
}

std::optional<int32_t> Catalogues::placement_id_exact(const TUmisteni& rec) const {
  ScanResult<TUmisteni> found = find_record<TUmisteni>(
      file(kPlacementFile),
      [&](const TUmisteni& r) { return r.POPIS.same_text(rec.POPIS) && r.MATERIAL == rec.MATERIAL; },
      kFirstEntry);
  if (!found.found()) return std::nullopt;
  return found.record.ID;
}

std::string picture_upload_name(int32_t id, int slot) {
  char b[48];
  std::snprintf(b, sizeof b, "%d%%%02d.ksv", id, slot);
  return b;
}

std::optional<int32_t> picture_upload_id(const std::string& name, int slot) {
  char tail[16];
  std::snprintf(tail, sizeof tail, "%%%02d.ksv", slot);
  const size_t at = name.find('%');
  if (at == 0 || at == std::string::npos || name.compare(at, std::string::npos, tail) != 0)
    return std::nullopt;
  // The part before "%" names a file in "umisten": only an ID in decimal is taken.
  if (at > 9) return std::nullopt;
  int32_t id = 0;
  for (size_t i = 0; i < at; ++i) {
    if (name[i] < '0' || name[i] > '9') return std::nullopt;
    id = id * 10 + (name[i] - '0');
  }
  return id;
}

}  // namespace ksv::server
