// Screens 31 and 32: the user picker over the user screen — another user to show, or the user
// whose rights are to be copied to the one on show.
#include "client/screens/users/user_picker.h"
#include "client/screens/users/user_rules.h"
#include "client/screens/users/users_screen.h"

namespace ksv::client {

namespace {

// The source of a copy, chosen on 32 and shown on 322.
TPrava& copy_source(Workspace& ws) { return ws.rights_source; }

}  // namespace

void build_other_user_picker(Frame& f, Workspace& ws) {
  std::optional<std::string> name = choose_user(f, "uzivatel");
  if (f.screen_left()) return;
  TPrava chosen{};
  if (name && fetch_user(f, *name, chosen)) ws.UZIVATEL = chosen;
  if (!f.screen_left()) f.request_screen(kScreenUsers);
}

void build_rights_source_picker(Frame& f, Workspace& ws) {
  // Rights are copied to the user on show, never from him to himself, nor from the copier.
  const std::string target(ws.UZIVATEL.UZIVATEL.view());
  std::optional<std::string> name = choose_user(f, "zkoho", target);
  if (f.screen_left()) return;
  TPrava source{};
  if (name && fetch_user(f, *name, source)) {
    copy_source(ws) = source;
    f.request_screen(kScreenRightsCopy);
    return;
  }
  if (!f.screen_left()) f.request_screen(kScreenUsers);
}

}  // namespace ksv::client
