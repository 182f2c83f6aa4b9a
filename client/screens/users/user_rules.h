// What the user screens let the logged-in user do with the user on show, decided by the own
// rights (MOJEPRAVA) the way the server decides its commands, so a button is offered only when
// its command would be carried out; and the dates that delegated rights may run to.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/datetime.h"
#include "protocol/records/users.h"

namespace ksv::client {

// The administrator's rights are all 64 bits and stay so: never offered for a change.
constexpr std::string_view kAdminName = "admin";

// The user on show is new: filled in on the screen and not yet created on the server.
inline bool is_new_user(const TPrava& u) { return u.ID < 0; }

struct UserActions {
  bool create = false;         // a new user may be started and created (bit 20)
  bool other_user = false;     // another user may be opened (bits 18 and 22)
  bool remove = false;         // the user on show may be deleted (bit 21)
  bool save = false;           // its record may be saved: own always, another's with 23
  bool rename = false;         // the name can be typed: only a new user's
  bool store_rights = false;   // edited rights may be stored: own 17, another's 19
  bool delegate = false;       // rights copied to it and its validity date set (bit 62)
};

UserActions user_actions(int64_t own_rights, std::string_view own_name, const TPrava& shown);

// The rights the rights editor starts from and shows as held: own rights include the delegated
// ones, as the server grants them at login.
int64_t effective_rights(const TPrava& u);

// Copying rights: only bits the copier holds himself can be handed on.
inline int64_t offered_rights(int64_t source_rights, int64_t own_rights) {
  return source_rights & own_rights;
}

// A real calendar date (years 1900 to 2999).
bool valid_date(const TDatum& d);
// The day `until` is today or later: delegated rights with an earlier (or no) date would be
// cleared at the user's next login.
bool valid_from_today(const TDatum& until, const DateTime& today);
// dd.mm.yyyy, zero-filled.
std::string date_text(const TDatum& d);

}  // namespace ksv::client
