// The user administration screens in the screen table.
#include "client/screen_table.h"
#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client {

namespace {

// User administration opens on the own user, whose record is fetched first.
void open_own_user(Frame& f, Workspace& ws) {
  f.compose().ULOZRETEZEC(slot::kText, true, f.info().JMENO);
  if (f.request(27, "info") == 245) ws.UZIVATEL = f.read_user_record();
  if (f.info().SPOJENO && f.POZADOVANAOBRAZOVKA != kScreenConnect) f.request_screen(3);
}

}  // namespace

std::span<const ScreenRow> users_screens() {
  // number, window key, menu entry {picture, y, key, shown to, action}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {3, "uzivatele", {"uzivatel.bmp", 30, 'u', always(), open_own_user}, always(), nullptr},
      {31, "uzivatel", {}, always(), nullptr},
      {32, "uzivatel", {}, always(), nullptr},
      {33, "prava1", {}, always(), nullptr},
      {321, "platnost", {}, always(), nullptr},
      {322, "prava1", {}, always(), nullptr},
  };
  return kRows;
}

}  // namespace ksv::client
