// The messages screens in the screen table.
#include "client/screen_table.h"
#include "client/screens/messages/messages_screen.h"

namespace ksv::client {

std::span<const ScreenRow> messages_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {9, "zpravy", {"zpravy.bmp", 210, 'p', all_bits({54})}, all_bits({54}), build_messages_screen},
  };
  return kRows;
}

}  // namespace ksv::client
