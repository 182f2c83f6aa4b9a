// The production screens in the screen table.
#include "client/screen_table.h"

namespace ksv::client {

std::span<const ScreenRow> production_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {8, "vyroba", {"vyroba.bmp", 180, 'v', all_bits({8})}, all_bits({8}), nullptr},
      {75, "vyroba", {}, always(), nullptr},
      {81, "vyrobni", {}, always(), nullptr},
      {82, "hledvyr", {}, always(), nullptr},
  };
  return kRows;
}

}  // namespace ksv::client
