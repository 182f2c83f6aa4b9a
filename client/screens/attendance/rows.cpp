// The attendance screens in the screen table.
#include "client/screen_table.h"
#include "client/screens/attendance/attendance_screen.h"

namespace ksv::client {

std::span<const ScreenRow> attendance_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {4,
       "dochazka",
       {"dochazka.bmp", 60, 'd', all_bits({6})},
       all_bits({6}),
       attendance::build_attendance},
  };
  return kRows;
}

}  // namespace ksv::client
