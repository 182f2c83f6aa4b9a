// The calculation screens in the screen table.
#include "client/keys.h"
#include "client/screen_table.h"
#include "client/screens/pricing/calculation_screen.h"

namespace ksv::client {

std::span<const ScreenRow> pricing_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      // The order editor leads here whatever the rights; the menu only with 9 and 58.
      {74,
       "kalkulace",
       {"kalkulace.bmp", 270, keys::kCtrlC, all_bits({9, 58})},
       always(),
       pricing::build_calculation},
      {76, "nastkalkulace", {}, all_bits({49}), pricing::build_settings},
  };
  return kRows;
}

}  // namespace ksv::client
