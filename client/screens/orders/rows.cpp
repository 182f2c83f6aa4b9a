// The orders screens in the screen table.
#include "client/screen_table.h"

namespace ksv::client {

std::span<const ScreenRow> orders_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {7, "zakazky", {"zakazky.bmp", 150, 'z', all_bits({8, 58})}, all_bits({8, 58}), nullptr},
      {71, "zakazka", {}, always(), nullptr},
      {72, "hledzak", {}, always(), nullptr},
  };
  return kRows;
}

}  // namespace ksv::client
