// The pop-up of one field: title, field, budiz (Enter) and zrusit (Escape).
#include "client/screens/catalogues/field_dialog.h"

#include <algorithm>
#include <functional>

#include "client/frame.h"
#include "client/keys.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::catalogues {

namespace {

constexpr int32_t kFieldX = 10, kFieldY = 30, kHeight = 85, kMinWidth = 200;

// Opens the pop-up for a field of box_chars characters and runs `edit` in it; edit gets the
// field's screen position and says whether the field was confirmed.
bool run_field(Frame& f, const std::string& title_key, int box_chars,
               const std::function<bool(int32_t x, int32_t y)>& edit) {
  toolkit::Toolkit& tk = f.tk();
  const int32_t width =
      std::min(std::max(box_chars * (tk.texty.AKTVELFONTU / 2), kMinWidth) + 2 * kFieldX + 10,
               int32_t(draw::kScreenW) - 20);
  toolkit::Window w(tk, -1, -1, width, kHeight, true, title_key);
  if (!w) return false;
  toolkit::picture_button(tk, w.index(), "budiz.bmp", [&tk] { tk.okna.KONECZADAVANI = 1; },
                          kFieldX, -5, keys::kEnter);
  toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&tk] { tk.okna.KONECZADAVANI = 2; },
                          -kFieldX, -5, keys::kEscape);
  tk.tlacitka.VYMAZFRONTU();
  f.DIALOGOTEVREN = true;
  toolkit::ModalScope<Modal> scope(f.modal, Modal::kInput, title_key);
  tk.trace.event("dialog", title_key);
  const bool confirmed = edit(w.x() + kFieldX, w.y() + kFieldY);
  f.DIALOGOTEVREN = false;
  return confirmed && !f.screen_left();
}

}  // namespace

std::optional<std::string> ask_text(Frame& f, const std::string& title_key, size_t max_length,
                                    int box_chars, const std::string& initial) {
  toolkit::Toolkit& tk = f.tk();
  std::string typed;
  const int chars = std::min<int>(box_chars, int(max_length) + 1);
  const bool ok = run_field(f, title_key, chars, [&](int32_t x, int32_t y) {
    toolkit::TextField field(tk, x, y, chars, max_length, initial.substr(0, max_length));
    field.text_colour = 255;
    field.background = tk.images.NAJDIBARVU(0, 0, 64);
    const bool confirmed = field.edit();
    typed = field.text();
    return confirmed;
  });
  if (!ok) return std::nullopt;
  return typed;
}

std::optional<int32_t> ask_number(Frame& f, const std::string& title_key, int32_t min,
                                  int32_t max, int32_t initial) {
  toolkit::Toolkit& tk = f.tk();
  toolkit::NumberInput in;
  const bool ok = run_field(f, title_key, 12, [&](int32_t x, int32_t y) {
    toolkit::NumberField field(tk, x, y, min, max,
                               initial != 0 ? std::optional<int32_t>(initial) : std::nullopt);
    field.field().text_colour = 255;
    field.field().background = tk.images.NAJDIBARVU(0, 0, 64);
    in = field.edit();
    return in.confirmed;
  });
  if (!ok) return std::nullopt;
  return in.empty ? 0 : in.value;
}

}  // namespace ksv::client::catalogues
