// Screen 10: a thread's code, description, colour from the palette and weight.
#include <optional>
#include <string>
#include <vector>

#include "client/pickers.h"
#include "client/screens/catalogues/editor_form.h"
#include "client/screens/catalogues/editors.h"
#include "client/screens/catalogues/entry_keys.h"
#include "client/screens/catalogues/entry_store.h"
#include "client/screens/catalogues/field_dialog.h"
#include "client/screens/catalogues/palette.h"

namespace ksv::client::catalogues {

namespace {

enum Action { kCode = 1, kDescription, kColour, kWeight };
enum Row { kCodeRow, kDescriptionRow, kColourRow, kWeightRow, kRows };
constexpr int32_t kWidth = 380;

class ThreadEditor {
 public:
  ThreadEditor(Frame& f, Workspace& ws) : f_(f), ws_(ws), form_(f, ws, "barevnice", kRows, kWidth) {}
  void run();

 private:
  void build();
  void show();
  void save();
  void look_up();

  Frame& f_;
  Workspace& ws_;
  EditorForm form_;
  TBarva t_{};
};

void ThreadEditor::build() {
  if (!form_.open()) return;
  form_.row_button(kCodeRow, "kod.bmp", 'k', kCode);
  form_.row_button(kDescriptionRow, "popis.bmp", 'p', kDescription);
  form_.row_button(kColourRow, "barva.bmp", 'b', kColour);
  form_.row_button(kWeightRow, "typ.bmp", 't', kWeight);
  show();
}

void ThreadEditor::show() {
  form_.show(kCodeRow, t_.KOD.str());
  form_.show(kDescriptionRow, t_.PANTONE.str());
  form_.show(kColourRow, std::to_string(t_.BARVA), t_.BARVA);
  form_.show(kWeightRow, f_.text("slaba") + ": " + f_.text(t_.SLABA ? "ano" : "ne"));
}

void ThreadEditor::save() {
  // Programs name their threads by code: a thread without one could never be chosen.
  if (t_.KOD.empty()) {
    f_.status("katbezkodu");
    return;
  }
  const EntrySave s = save_thread(f_, ws_, t_);
  if (s.saved) f_.status(s.replaced ? "katprepsano" : "katpridano");
}

// A code and weight that are listed already: say that saving replaces the thread, and start
// from its description and colour when none were given.
void ThreadEditor::look_up() {
  if (t_.KOD.empty()) return;
  std::optional<std::vector<TBarva>> listed = fetch_threads(f_, ws_);
  if (!listed) return;
  std::optional<size_t> at = listed_at(t_, *listed);
  if (!at) return;
  if (t_.PANTONE.empty() && t_.BARVA == 0) {
    t_.PANTONE = (*listed)[*at].PANTONE;
    t_.BARVA = (*listed)[*at].BARVA;
  }
  f_.status("katexistuje");
}

void ThreadEditor::run() {
  build();
  while (!f_.screen_left()) {
    switch (form_.next_action()) {
      case 0: continue;
      case kCode:
        if (auto s = ask_text(f_, "kodnite", t_.KOD.kCapacity, 10, t_.KOD.str())) {
          t_.KOD.assign(*s);
          look_up();
        }
        break;
      case kDescription:
        if (auto s = ask_text(f_, "popisnite", t_.PANTONE.kCapacity, 26, t_.PANTONE.str()))
          t_.PANTONE.assign(*s);
        break;
      case kColour:
        if (auto c = pick_colour(f_, t_.BARVA)) t_.BARVA = *c;
        // The palette's own drawing went over the form.
        build();
        break;
      case kWeight:
        t_.SLABA = !t_.SLABA;
        look_up();
        break;
      case EditorForm::kSave: save(); break;
    }
    if (!f_.screen_left()) show();
  }
}

}  // namespace

void build_thread_editor(Frame& f, Workspace& ws) {
  ThreadEditor e(f, ws);
  e.run();
}

}  // namespace ksv::client::catalogues
