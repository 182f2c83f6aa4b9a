// Picking one line from a pop-up list.
#include "client/screens/programs/line_picker.h"

#include <cstdlib>

#include "client/keys.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::programs {

using namespace keys;

std::optional<size_t> pick_line(Frame& f, const std::string& title_key,
                                const std::vector<std::string>& lines) {
  toolkit::Toolkit& tk = f.tk();
  toolkit::ListGuard keep(tk.seznam);
  tk.seznam.SMAZSEZNAM();
  for (size_t i = 0; i < lines.size(); ++i)
    if (tk.seznam.PRIDEJPRVEK(lines[i].substr(0, toolkit::kNameLength),
                              lines[i] + '\0' + std::to_string(i) + '\0', false) != 0)
      break;
  if (tk.seznam.SEZNAM.empty()) return std::nullopt;
  enum { kWaiting, kChosen, kCancelled } answer = kWaiting;
  f.DIALOGOTEVREN = true;
  f.dialog(
      Modal::kPicker, title_key, {420, 300, title_key},
      [&](toolkit::Window& w) {
        tk.okna.PRVNISEZNAMVOKNE(w.index(), 10, 30, 370, 225, 11, 0);
        auto redraw = [&tk] { tk.tlacitka.NUTNOVYKRESLIT = true; };
        toolkit::picture_button(tk, w.index(), "nahoru.bmp",
                                [&tk, redraw] { tk.seznam.SEZNAMNAHORU(); redraw(); }, -15, 30, kUp,
                                22, 20);
        toolkit::picture_button(tk, w.index(), "dolu.bmp",
                                [&tk, redraw] { tk.seznam.SEZNAMDOLU(); redraw(); }, -15, 60, kDown,
                                22, 20);
        toolkit::picture_button(tk, w.index(), "budiz.bmp", [&] { answer = kChosen; }, 10, -10,
                                kEnter);
        toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&] { answer = kCancelled; }, -10,
                                -10, kEscape);
      },
      [&] { return answer != kWaiting || f.screen_left(); });
  f.DIALOGOTEVREN = false;
  if (answer != kChosen || f.screen_left()) return std::nullopt;
  const int at = tk.seznam.highlighted();
  if (at < 0 || at >= int(tk.seznam.SEZNAM.size())) return std::nullopt;
  // The list may have been sorted: the line's own index rides in its second field.
  const std::string idx = tk.seznam.VRATSPECPARAM(at, 2);
  return size_t(std::strtoul(idx.c_str(), nullptr, 10));
}

}  // namespace ksv::client::programs
