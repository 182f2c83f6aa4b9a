// The count dialog of the production card.
#include "client/screens/production/count_dialog.h"

#include "client/keys.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::production {

std::optional<int32_t> ask_count(Frame& f, const std::string& title_key, int32_t min, int32_t max,
                                 std::optional<int32_t> initial) {
  toolkit::Toolkit& tk = f.tk();
  toolkit::Window w(tk, -1, -1, 260, 60, true, title_key);
  if (!w) return std::nullopt;
  toolkit::picture_button(tk, w.index(), "budiz.bmp", [&tk] { tk.okna.KONECZADAVANI = 1; }, -65,
                          30, keys::kEnter);
  toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&tk] { tk.okna.KONECZADAVANI = 2; }, -10,
                          30, keys::kEscape);
  f.DIALOGOTEVREN = true;
  f.VYSLEDEKDIALOGU = kDialogOpen;
  tk.trace.event("dialog", title_key);
  toolkit::ModalScope<Modal> scope(f.modal, Modal::kInput, title_key);
  toolkit::NumberField field(tk, w.x() + 10, w.y() + 30, min, max, initial, false);
  field.field().text_colour = tk.images.NAJDIBARVU(0, 0, 64);
  field.field().background = tk.images.NAJDIBARVU(255, 255, 255);
  const toolkit::NumberInput in = field.edit();
  w.close();
  f.DIALOGOTEVREN = false;
  f.VYSLEDEKDIALOGU = kDialogNone;
  if (!in.confirmed || in.empty) return std::nullopt;
  return in.value;
}

}  // namespace ksv::client::production
