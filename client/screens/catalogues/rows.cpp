// The catalogue editor screens in the screen table.
#include "client/screen_table.h"
#include "client/screens/catalogues/editors.h"
#include "client/screens/catalogues/placement_editor.h"

namespace ksv::client {

std::span<const ScreenRow> catalogues_screens() {
  // number, window key, menu entry {picture, y, key, shown to}, who may open it, builder
  static constexpr ScreenRow kRows[] = {
      {10, "barevnice", {}, all_bits({10}), catalogues::build_thread_editor},
      {11, "material2", {}, all_bits({12}), catalogues::build_material_editor},
      {12, "umisteni2", {}, all_bits({14}), build_placement_editor},
  };
  return kRows;
}

}  // namespace ksv::client
