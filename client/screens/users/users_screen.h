// The user administration screens: the user on show (3) with its name, password and code
// dialogs, the pickers of another user (31) and of the user whose rights are copied (32), the
// validity date of delegated rights (321), the rights editor (33) and the copying of rights (322).
#pragma once
#include <string>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client {

void build_users_screen(Frame& frame, Workspace& ws);
void build_other_user_picker(Frame& frame, Workspace& ws);
void build_rights_source_picker(Frame& frame, Workspace& ws);
void build_validity_screen(Frame& frame, Workspace& ws);
void build_rights_editor(Frame& frame, Workspace& ws);
void build_rights_copy(Frame& frame, Workspace& ws);

// Fetches a user's record (command 27). True when it came (the own rights are taken from it
// when it is the own one).
bool fetch_user(Frame& frame, const std::string& name, TPrava& into);
// Command 62 for a user: rights added to the delegated ones, valid until the date. True when
// the server took it.
bool send_validity(Frame& frame, const std::string& name, const TDatum& until, int64_t rights);

// Screen numbers of the area.
constexpr int32_t kScreenUsers = 3;
constexpr int32_t kScreenOtherUser = 31;
constexpr int32_t kScreenRightsSource = 32;
constexpr int32_t kScreenRightsEditor = 33;
constexpr int32_t kScreenValidity = 321;
constexpr int32_t kScreenRightsCopy = 322;

}  // namespace ksv::client
