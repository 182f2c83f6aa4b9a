// The typed line of the user and message dialogs.
#include "client/screens/users/line_input.h"

#include <algorithm>

#include "client/keys.h"
#include "toolkit/kit/text_field.h"

namespace ksv::client {

std::optional<std::string> type_line(Frame& f, int window, const LineInput& in, const int& done) {
  toolkit::Toolkit& tk = f.tk();
  const toolkit::TOkno& o = tk.okna.OKNO[window];
  const int32_t x = o.X + in.x, y = o.Y + in.y;
  const uint8_t bg = tk.images.NAJDIBARVU(0, 0, 64);
  std::string typed = in.initial.substr(0, in.max_length);
  auto show = [&] {
    std::string shown = in.masked ? std::string(typed.size(), '*') : typed;
    shown += "_";
    if (shown.size() > size_t(in.box_chars)) shown.erase(0, shown.size() - size_t(in.box_chars));
    tk.okna.VYPISUDAJ(x, y, 255, bg, uint8_t(in.box_chars), shown);
    tk.tlacitka.NUTNOVYKRESLIT = true;
  };
  show();
  while (done == 0) {
    f.event_step();
    if (f.screen_left()) return std::nullopt;
    bool changed = false;
    while (tk.tlacitka.JEKLAV()) {
      const uint8_t k = tk.tlacitka.ZISKKLAV();
      if (k == keys::kBackspace) {
        if (!typed.empty()) typed.pop_back();
      } else if (k >= 32 && typed.size() < in.max_length) {
        typed.push_back(char(k));
      }
      changed = true;
    }
    if (changed) show();
  }
  return typed;
}

// The dialog of one field: its title, the field, budiz (Enter) and zrusit (Escape). The typed
// text, or nothing when cancelled.
std::optional<std::string> ask_field(Frame& f, const std::string& title_key, size_t length,
                                     bool masked, const std::string& initial) {
  toolkit::Toolkit& tk = f.tk();
  int done = 0;
  std::optional<std::string> typed;
  {
    const int32_t width = std::max<int32_t>(int32_t(length) * (tk.texty.AKTVELFONTU / 2), 200) + 30;
    toolkit::Window w(tk, -1, -1, width, 85, true, title_key);
    if (!w) return std::nullopt;
    // The buttons end either input: the masked line's loop watches `done`, the text field
    // KONECZADAVANI.
    toolkit::picture_button(tk, w.index(), "budiz.bmp", [&] { done = 1; tk.okna.KONECZADAVANI = 1; },
                            10, -5, keys::kEnter);
    toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&] { done = 2; tk.okna.KONECZADAVANI = 2; },
                            -10, -5, keys::kEscape);
    tk.tlacitka.VYMAZFRONTU();
    f.DIALOGOTEVREN = true;
    toolkit::ModalScope<Modal> scope(f.modal, Modal::kInput, title_key);
    tk.trace.event("dialog", title_key);
    if (masked) {
      // A password is typed anew, never shown.
      LineInput in;
      in.box_chars = int(length) + 1;
      in.max_length = length;
      in.masked = true;
      typed = type_line(f, w.index(), in, done);
    } else {
      toolkit::TextField field(tk, w.x() + 10, w.y() + 30, int(length) + 1, length, initial);
      field.text_colour = 255;
      field.background = tk.images.NAJDIBARVU(0, 0, 64);
      done = field.edit() ? 1 : 2;
      typed = field.text();
    }
    f.DIALOGOTEVREN = false;
  }
  if (done != 1 || f.screen_left()) return std::nullopt;
  return typed;
}

}  // namespace ksv::client
