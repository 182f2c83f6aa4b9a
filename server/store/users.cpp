// User file operations.
#include "server/store/users.h"

#include <cstdio>

#include "protocol/record_file.h"

namespace ksv::server {

namespace {

// Index of the user named so, from record 1 on; 0 when there is none.
size_t index_of(const std::vector<TPrava>& v, std::string_view name) {
  if (name.empty()) return 0;
  for (size_t i = 1; i < v.size(); ++i)
    if (v[i].UZIVATEL == name) return i;
  return 0;
}

// A non-empty attendance code already held by a record other than the user named `owner`.
bool code_taken(const std::vector<TPrava>& v, std::string_view code,
                const std::string_view* owner = nullptr) {
  if (code.empty()) return false;
  for (const TPrava& p : v)
    if (!p.KODDOCHAZKY.empty() && p.KODDOCHAZKY == code && !(owner && p.UZIVATEL == *owner))
      return true;
  return false;
}

// Edits the user file with `change`; a refusal from `change` writes nothing.
template <class F>
UserResult edit(const std::string& path, F&& change) {
  std::optional<std::vector<TPrava>> v = read_records<TPrava>(path);
  if (!v || v->empty()) return UserResult::kFileError;
  UserResult r = change(*v);
  if (r != UserResult::kOk) return r;
  return write_records<TPrava>(path, *v) ? UserResult::kOk : UserResult::kFileError;
}

}  // namespace

bool delegation_expired(const TDatum& until, const DateTime& today) {
  if (today.year != until.ROK) return today.year > until.ROK;
  if (today.month != until.MES) return today.month > until.MES;
  return today.day > until.DEN;
}

bool UserStore::create_default() {
  std::vector<TPrava> v(2);
  v[1].ID = 0;
  v[1].UZIVATEL.assign(kAdminName);
  v[1].HESLO.assign(kAdminDefaultPassword);
  v[1].PRAVA = -1;  // all 64 bits
  return write_records<TPrava>(path_, v);
}

int32_t UserStore::id_by_name(std::string_view name) const {
  auto r = find_record<TPrava>(path_, [&](const TPrava& p) { return p.UZIVATEL == name; });
  return r.found() ? r.record.ID : -1;
}

std::string UserStore::name_by_id(int32_t id) const {
  auto r = find_record<TPrava>(path_,
                               [&](const TPrava& p) { return p.ID == id && !p.UZIVATEL.empty(); });
  return r.found() ? r.record.UZIVATEL.str() : std::string();
}

int32_t UserStore::id_by_code(std::string_view code) const {
  auto r = find_record<TPrava>(path_, [&](const TPrava& p) { return p.KODDOCHAZKY == code; });
  return r.found() ? r.record.ID : -1;
}

std::optional<TPrava> UserStore::find(std::string_view name) const {
  std::optional<std::vector<TPrava>> v = read_records<TPrava>(path_);
  if (!v) return std::nullopt;
  size_t i = index_of(*v, name);
  if (i == 0) return std::nullopt;
  return (*v)[i];
}

std::optional<std::vector<TPrava>> UserStore::all() const { return read_records<TPrava>(path_); }

UserResult UserStore::create(std::string_view name, std::string_view password,
                             std::string_view code, int64_t rights, int32_t* new_id) {
  if (name.empty() || name.size() > 255 || password.size() > 255 || code.size() > 255)
    return UserResult::kRefused;
  // A line break or other control character would split the user list the clients read.
  for (unsigned char c : name)
    if (c < 32) return UserResult::kRefused;
  return edit(path_, [&](std::vector<TPrava>& v) {
    for (const TPrava& p : v)
      if (p.UZIVATEL == name) return UserResult::kRefused;
    if (code_taken(v, code)) return UserResult::kRefused;
    TPrava rec = v[0];  // delegation and last-login fields come from the header, as created
    v[0].ID += 1;
    rec.ID = v[0].ID;
    rec.UZIVATEL.assign(name);
    rec.HESLO.assign(password);
    rec.KODDOCHAZKY.assign(code);
    rec.PRAVA = rights;
    v.push_back(rec);
    if (new_id) *new_id = rec.ID;
    return UserResult::kOk;
  });
}

UserResult UserStore::remove(std::string_view name) {
  if (name == kAdminName) return UserResult::kRefused;
  return edit(path_, [&](std::vector<TPrava>& v) {
    size_t i = index_of(v, name);
    if (i == 0) return UserResult::kRefused;
    v.erase(v.begin() + std::ptrdiff_t(i));
    return UserResult::kOk;
  });
}

UserResult UserStore::save(std::string_view name, std::string_view password,
                           std::string_view code, int64_t rights) {
  if (password.size() > 255 || code.size() > 255) return UserResult::kRefused;
  return edit(path_, [&](std::vector<TPrava>& v) {
    size_t i = index_of(v, name);
    if (i == 0) return UserResult::kRefused;
    if (code_taken(v, code, &name)) return UserResult::kRefused;
    v[i].HESLO.assign(password);
    v[i].KODDOCHAZKY.assign(code);
    if (!(name == kAdminName)) v[i].PRAVA = rights;
    return UserResult::kOk;
  });
}

UserResult UserStore::set_rights(std::string_view name, int64_t rights) {
  if (name == kAdminName) return UserResult::kRefused;
  return edit(path_, [&](std::vector<TPrava>& v) {
    size_t i = index_of(v, name);
    if (i == 0) return UserResult::kRefused;
    v[i].PRAVA = rights;
    return UserResult::kOk;
  });
}

UserResult UserStore::delegate(std::string_view name, int64_t rights, const TDatum& until) {
  return edit(path_, [&](std::vector<TPrava>& v) {
    size_t i = index_of(v, name);
    if (i == 0) return UserResult::kRefused;
    v[i].PREDANAPRAVA |= rights;
    v[i].PLATIDO = until;
    return UserResult::kOk;
  });
}

UserResult UserStore::set_password(std::string_view name, std::string_view password) {
  if (password.size() > 255) return UserResult::kRefused;
  return edit(path_, [&](std::vector<TPrava>& v) {
    size_t i = index_of(v, name);
    if (i == 0) return UserResult::kRefused;
    v[i].HESLO.assign(password);
    return UserResult::kOk;
  });
}

bool UserStore::write_list(const std::string& out_path, bool with_ids) const {
  std::optional<std::vector<TPrava>> v = read_records<TPrava>(path_);
  if (!v) return false;
  std::string text;
  for (size_t i = 1; i < v->size(); ++i) {
    text += (*v)[i].UZIVATEL.view();
    if (with_ids) text += ";" + std::to_string((*v)[i].ID);
    text += "\n";
  }
  return write_file_atomic(out_path, text.data(), text.size());
}

UserResult UserStore::stamp_login(std::string_view name, const DateTime& now, TPrava& before) {
  return edit(path_, [&](std::vector<TPrava>& v) {
    size_t i = index_of(v, name);
    if (i == 0) return UserResult::kRefused;
    before = v[i];
    v[i].NAPOSLEDY.DATUM = now.datum();
    v[i].NAPOSLEDY.CAS = now.cas();
    if (delegation_expired(v[i].PLATIDO, now)) {
      v[i].PREDANAPRAVA = 0;
      v[i].PLATIDO = TDatum{};
    }
    return UserResult::kOk;
  });
}

}  // namespace ksv::server
