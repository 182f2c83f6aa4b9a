// The palette window over the thread editor.
#include "client/screens/catalogues/palette.h"

#include "client/frame.h"
#include "client/keys.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::catalogues {

std::optional<uint8_t> pick_colour(Frame& f, uint8_t current, const char* window_key) {
  toolkit::Toolkit& tk = f.tk();
  toolkit::Window w(tk, -1, -1, kPaletteW, kPaletteH, true, window_key);
  if (!w) return std::nullopt;
  toolkit::picture_button(tk, w.index(), "budiz.bmp", [&tk] { tk.okna.KONECZADAVANI = 1; }, 10,
                          -8, keys::kEnter);
  toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&tk] { tk.okna.KONECZADAVANI = 2; }, -10,
                          -8, keys::kEscape);
  tk.tlacitka.VYMAZFRONTU();
  f.DIALOGOTEVREN = true;
  toolkit::ModalScope<Modal> scope(f.modal, Modal::kPicker, window_key);
  tk.trace.event("dialog", window_key);
  int16_t chosen;
  {
    toolkit::StyleGuard style(tk.graph);
    // The grid starts on the colour the thread has, so confirming at once keeps it.
    tk.graph.SETCOLOR(current);
    chosen = tk.okna.VYBERBARVU(int16_t(w.x() + kGridX), int16_t(w.y() + kGridY), 1, false);
  }
  f.DIALOGOTEVREN = false;
  if (chosen < 0 || chosen > 255 || f.screen_left()) return std::nullopt;
  return uint8_t(chosen);
}

}  // namespace ksv::client::catalogues
