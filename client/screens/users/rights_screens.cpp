// The rights editor (33) and the copying of rights (322). The editor stores the edited rights
// of the user on show with command 61 when the own rights allow it; copying hands the chosen
// rights of another user to the one on show as delegated rights (62), valid until his validity
// date, which must not be past.
#include "client/screens/users/rights_grid.h"
#include "client/screens/users/user_rules.h"
#include "client/screens/users/users_screen.h"
#include "protocol/rights.h"

namespace ksv::client {

namespace {

// Command 61: the user's rights become `rights`.
bool store_rights(Frame& f, const std::string& name, int64_t rights) {
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, name);
  b.put_int64(slot::kInt64, rights);
  return f.request(61, "rights") == 232;
}

}  // namespace

void build_rights_editor(Frame& f, Workspace& ws) {
  TPrava& u = ws.UZIVATEL;
  const UserActions can = user_actions(f.info().MOJEPRAVA, f.info().JMENO, u);
  RightsGrid grid;
  grid.title_key = "prava1";
  grid.rights = u.PRAVA;
  grid.delegated = u.PREDANAPRAVA;
  grid.selectable = can.store_rights ? -1 : 0;
  const GridAnswer answer = edit_rights(f, grid);
  if (answer == GridAnswer::kLeft) return;
  if (answer == GridAnswer::kConfirmed && grid.changed && can.store_rights) {
    if (is_new_user(u)) {
      // A new user takes his rights with him when he is created.
      u.PRAVA = grid.rights;
    } else if (store_rights(f, std::string(u.UZIVATEL.view()), grid.rights)) {
      u.PRAVA = grid.rights;
      TInfoKlient& k = f.info();
      // The menu follows the own rights at once, delegated ones included; the server grants
      // them from the next login on.
      if (u.UZIVATEL.view() == k.JMENO) k.MOJEPRAVA = effective_rights(u);
      f.notice("prava1", "pristeprihlaseni");
    }
  }
  if (!f.screen_left()) f.request_screen(kScreenUsers);
}

void build_rights_copy(Frame& f, Workspace& ws) {
  TPrava& target = ws.UZIVATEL;
  const TPrava& source = ws.rights_source;
  if (!user_actions(f.info().MOJEPRAVA, f.info().JMENO, target).delegate) {
    f.request_screen(kScreenUsers);
    return;
  }
  RightsGrid grid;
  grid.title_key = "preved";
  grid.selectable = f.info().MOJEPRAVA;
  grid.rights = offered_rights(source.PRAVA, grid.selectable);
  for (;;) {
    const GridAnswer answer = edit_rights(f, grid);
    if (answer == GridAnswer::kLeft) return;
    if (answer == GridAnswer::kCancelled) break;
    // Delegated rights past their date are cleared at the next login: the copy would vanish.
    if (!valid_from_today(target.PLATIDO, f.client().conn.clock().now())) {
      f.notice("preved", "platnostminula");
      break;
    }
    const std::string name(target.UZIVATEL.view());
    if (send_validity(f, name, target.PLATIDO, offered_rights(grid.rights, f.info().MOJEPRAVA)))
      fetch_user(f, name, target);
    break;
  }
  if (!f.screen_left()) f.request_screen(kScreenUsers);
}

}  // namespace ksv::client
