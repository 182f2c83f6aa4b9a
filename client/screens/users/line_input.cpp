// The typed line of the user and message dialogs.
#include "client/screens/users/line_input.h"

#include "client/keys.h"

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

}  // namespace ksv::client
