// The session screens in the screen table.
#include "client/screen_table.h"
#include "client/screens/session/session.h"

namespace ksv::client {

std::span<const ScreenRow> session_screens() {
  // number, window key, menu entry, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {0, "pripoj", {}, always(), build_connection_screen},
      {1, "uzivatel", {}, always(), build_login_screen},
      {2, "menu", {}, always(), build_menu},
  };
  return kRows;
}

}  // namespace ksv::client
