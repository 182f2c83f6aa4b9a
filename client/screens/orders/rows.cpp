// The orders screens in the screen table.
#include "client/screen_table.h"
#include "client/screens/orders/orders.h"

namespace ksv::client {

std::span<const ScreenRow> orders_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {7, "zakazky", {"zakazky.bmp", 150, 'z', all_bits({8, 58})}, all_bits({8, 58}),
       orders::build_browser},
      {71, "zakazka", {}, all_bits({8}), orders::build_editor},
      {72, "hledzak", {}, always(), orders::build_search},
  };
  return kRows;
}

}  // namespace ksv::client
