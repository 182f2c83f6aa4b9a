// Screen 11: a material's name and the speed its programs are stitched at.
#include <optional>
#include <string>
#include <vector>

#include "client/pickers.h"
#include "client/screens/catalogues/editor_form.h"
#include "client/screens/catalogues/editors.h"
#include "client/screens/catalogues/entry_keys.h"
#include "client/screens/catalogues/entry_store.h"
#include "client/screens/catalogues/field_dialog.h"

namespace ksv::client::catalogues {

namespace {

enum Action { kName = 1, kSpeed };
enum Row { kNameRow, kSpeedRow, kRows };
constexpr int32_t kWidth = 420;
// Stitches a minute; no machine of the workshop comes near the top.
constexpr int32_t kMaxSpeed = 5000;

class MaterialEditor {
 public:
  MaterialEditor(Frame& f, Workspace& ws) : f_(f), ws_(ws), form_(f, ws, "material2", kRows, kWidth) {}
  void run();

 private:
  void build();
  void show();
  void save();
  void look_up();

  Frame& f_;
  Workspace& ws_;
  EditorForm form_;
  TMaterial m_{};
};

void MaterialEditor::build() {
  if (!form_.open()) return;
  form_.row_button(kNameRow, "nazev.bmp", 'n', kName);
  form_.row_button(kSpeedRow, "rychlost.bmp", 'r', kSpeed);
  show();
}

void MaterialEditor::show() {
  form_.show(kNameRow, m_.NAZEV.str());
  // An unknown speed is planned with the default; say both.
  form_.show(kSpeedRow, m_.RYCHLOST > 0
                            ? std::to_string(m_.RYCHLOST) + " " + f_.text("katstehmin")
                            : f_.text("katneznama") + " (" +
                                  std::to_string(kDefaultMaterialSpeed) + ")");
}

void MaterialEditor::save() {
  if (m_.NAZEV.empty()) {
    f_.status("katbeznazvu");
    return;
  }
  const EntrySave s = save_material(f_, ws_, m_);
  if (s.saved) f_.status(s.replaced ? "katprepsano" : "katpridano");
}

// A name that is listed already: say that saving replaces it, and start from its speed unless
// one was typed.
void MaterialEditor::look_up() {
  std::optional<std::vector<TMaterial>> listed = fetch_materials(f_, ws_);
  if (!listed) return;
  for (const TMaterial& m : *listed)
    if (same_key(m, m_)) {
      if (m_.RYCHLOST == 0) m_.RYCHLOST = known_material_speed(m);
      f_.status("katexistuje");
    }
}

void MaterialEditor::run() {
  build();
  while (!f_.screen_left()) {
    switch (form_.next_action()) {
      case 0: continue;
      case kName:
        if (auto s = ask_text(f_, "jmenmat", kMaterialNameChars, 40, m_.NAZEV.str())) {
          m_.NAZEV.assign(*s);
          if (!m_.NAZEV.empty()) look_up();
        }
        break;
      case kSpeed:
        if (auto v = ask_number(f_, "rychlost", 0, kMaxSpeed, m_.RYCHLOST)) m_.RYCHLOST = *v;
        break;
      case EditorForm::kSave: save(); break;
    }
    if (!f_.screen_left()) show();
  }
}

}  // namespace

void build_material_editor(Frame& f, Workspace& ws) {
  MaterialEditor e(f, ws);
  e.run();
}

}  // namespace ksv::client::catalogues
