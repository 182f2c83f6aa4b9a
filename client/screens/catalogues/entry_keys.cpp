#include "client/screens/catalogues/entry_keys.h"

#include <algorithm>

namespace ksv::client::catalogues {

namespace {

bool same_upper(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    if (up(a[i]) != up(b[i])) return false;
  }
  return true;
}

}  // namespace

bool same_key(const TMaterial& a, const TMaterial& b) {
  return same_upper(a.NAZEV.view(), b.NAZEV.view());
}
bool same_key(const TBarva& a, const TBarva& b) {
  return same_upper(a.KOD.view(), b.KOD.view()) && (a.SLABA != 0) == (b.SLABA != 0);
}
bool same_key(const TUmisteni& a, const TUmisteni& b) {
  return same_upper(a.POPIS.view(), b.POPIS.view()) && a.MATERIAL == b.MATERIAL;
}

TMaterial material_to_send(TMaterial edited, const std::vector<TMaterial>& listed) {
  edited.ID = 0;
  for (const TMaterial& m : listed)
    if (same_key(m, edited)) edited.ID = m.ID;
  return edited;
}

TUmisteni placement_to_send(TUmisteni edited, const std::vector<TUmisteni>& listed) {
  edited.ID = 0;
  for (const TUmisteni& u : listed)
    if (same_key(u, edited)) edited.ID = u.ID;
  return edited;
}

std::optional<size_t> listed_at(const TBarva& b, const std::vector<TBarva>& listed) {
  for (size_t i = 0; i < listed.size(); ++i)
    if (same_key(listed[i], b)) return i;
  return std::nullopt;
}

Size fitted(Size picture, Size box) {
  if (picture.w <= 0 || picture.h <= 0) return {1, 1};
  if (picture.w <= box.w && picture.h <= box.h) return picture;
  // Scale by the tighter of the two sides; compare as cross products to stay in integers.
  Size out;
  if (int64_t(picture.w) * box.h >= int64_t(picture.h) * box.w) {
    out = {box.w, int32_t(int64_t(picture.h) * box.w / picture.w)};
  } else {
    out = {int32_t(int64_t(picture.w) * box.h / picture.h), box.h};
  }
  return {std::max(out.w, 1), std::max(out.h, 1)};
}

}  // namespace ksv::client::catalogues
