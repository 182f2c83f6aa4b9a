// The alarm and camera screens in the screen table.
#include "client/screen_table.h"
#include "client/screens/devices/devices_screens.h"

namespace ksv::client {

std::span<const ScreenRow> devices_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {5, "alarm", {"alarm.bmp", 90, 'a', all_bits({53})}, all_bits({53}), devices::build_alarm},
      {6, "kamery", {"kamery.bmp", 120, 'k', all_bits({24})}, all_bits({24}), devices::build_cameras},
      {61, "nastkamer", {}, all_bits({24}), devices::build_camera_plan},
  };
  return kRows;
}

}  // namespace ksv::client
