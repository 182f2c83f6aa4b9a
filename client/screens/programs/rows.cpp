// The program screens in the screen table.
#include "client/screen_table.h"
#include "client/screens/programs/program_screen.h"

namespace ksv::client {

std::span<const ScreenRow> programs_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {73, "podzakazka", {}, always(), programs::build_program_screen},
  };
  return kRows;
}

}  // namespace ksv::client
