// The production screens in the screen table.
#include "client/screen_table.h"
#include "client/screens/production/production.h"

namespace ksv::client {

std::span<const ScreenRow> production_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {8, "vyroba", {"vyroba.bmp", 180, 'v', all_bits({8})}, all_bits({8}), production::build_list},
      {75, "makevyr", {}, always(), production::build_plan},
      {81, "vyrobni", {}, always(), production::build_card},
      {82, "hledvyr", {}, always(), production::build_search},
  };
  return kRows;
}

}  // namespace ksv::client
