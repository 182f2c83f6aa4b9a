// The user administration screens in the screen table.
#include "client/screen_table.h"
#include "client/frame.h"
#include "client/screens/users/users_screen.h"
#include "client/workspace.h"

namespace ksv::client {

namespace {

// User administration opens on the own user, whose record is fetched first.
void open_own_user(Frame& f, Workspace& ws) {
  if (fetch_user(f, f.info().JMENO, ws.UZIVATEL) && f.info().SPOJENO &&
      f.POZADOVANAOBRAZOVKA != kScreenConnect)
    f.request_screen(kScreenUsers);
}

}  // namespace

std::span<const ScreenRow> users_screens() {
  // number, window key, menu entry {picture, y, key, shown to, action}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {3, "uzivatele", {"uzivatel.bmp", 30, 'u', always(), open_own_user}, always(), build_users_screen},
      {31, "uzivatel", {}, all_bits({18, 22}), build_other_user_picker},
      {32, "uzivatel", {}, all_bits({62}), build_rights_source_picker},
      {33, "prava1", {}, always(), build_rights_editor},
      {321, "platnost", {}, all_bits({62}), build_validity_screen},
      {322, "preved", {}, all_bits({62}), build_rights_copy},
  };
  return kRows;
}

}  // namespace ksv::client
