// The user file "uzivatel.dat": lookups, the user-administration changes and the login
// bookkeeping. Record 0 is the header holding the last ID given out; users start at record 1.
// Every change is checked completely before the file is rewritten (atomically), so a refused
// change leaves the file as it was.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/clock.h"
#include "protocol/records/users.h"

namespace ksv::server {

inline constexpr const char* kUserFile = "uzivatel.dat";
inline constexpr const char* kAdminName = "admin";
inline constexpr const char* kAdminDefaultPassword = "vlna";

enum class UserResult { kOk, kRefused, kFileError };

// True when the delegation's last valid day lies before today (year, then month, then day).
bool delegation_expired(const TDatum& until, const DateTime& today);

class UserStore {
 public:
  explicit UserStore(std::string path) : path_(std::move(path)) {}

  // A fresh file: the zero header and the administrator with every right.
  bool create_default();

  // The lookups the rest of the server uses. They scan from record 0, so only an empty name or
  // code can find the header. -1 / "" when unknown or when the file cannot be read.
  int32_t id_by_name(std::string_view name) const;
  std::string name_by_id(int32_t id) const;
  int32_t id_by_code(std::string_view code) const;

  // A user record (record 1 on; the header is never a user).
  std::optional<TPrava> find(std::string_view name) const;
  std::optional<std::vector<TPrava>> all() const;

  UserResult create(std::string_view name, std::string_view password, std::string_view code,
                    int64_t rights, int32_t* new_id = nullptr);
  UserResult remove(std::string_view name);
  UserResult save(std::string_view name, std::string_view password, std::string_view code,
                  int64_t rights);
  UserResult set_rights(std::string_view name, int64_t rights);
  UserResult delegate(std::string_view name, int64_t rights, const TDatum& until);
  UserResult set_password(std::string_view name, std::string_view password);

  // The list of commands 7 and 10: one line per user, "name;id" or "name", each ended by "\n".
  bool write_list(const std::string& out_path, bool with_ids) const;

  // A successful login: NAPOSLEDY := now, and an expired delegation is cleared. `before` is the
  // record as it was (its NAPOSLEDY is the previous login).
  UserResult stamp_login(std::string_view name, const DateTime& now, TPrava& before);

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace ksv::server
