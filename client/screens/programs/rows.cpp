// The program screens in the screen table.
#include "client/screen_table.h"

namespace ksv::client {

std::span<const ScreenRow> programs_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {73, "podzakazka", {}, always(), nullptr},
  };
  return kRows;
}

}  // namespace ksv::client
