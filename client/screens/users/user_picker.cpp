// The user picker over the one list.
#include "client/screens/users/user_picker.h"

#include "client/keys.h"
#include "client/screens/session/session.h"

namespace ksv::client {

namespace {

// The whole name rides in the entry's first field; the list shows at most 32 characters of it.
std::string entry_name(const toolkit::TPrvek& e) {
  const size_t end = e.SPEC.find('\0');
  return end == std::string::npos ? e.SPEC : e.SPEC.substr(0, end);
}

}  // namespace

std::optional<std::string> choose_user(Frame& f, const std::string& title_key,
                                       const std::string& leave_out) {
  using namespace keys;
  toolkit::Toolkit& tk = f.tk();
  toolkit::ListGuard keep(tk.seznam);
  if (!load_user_list(f) || f.screen_left()) return std::nullopt;
  std::vector<toolkit::TPrvek>& entries = tk.seznam.SEZNAM;
  if (!leave_out.empty())
    std::erase_if(entries, [&](const toolkit::TPrvek& e) { return entry_name(e) == leave_out; });

  enum { kWaiting, kChosen, kCancelled } answer = kWaiting;
  f.DIALOGOTEVREN = true;
  f.dialog(
      Modal::kUserList, title_key, {250, 300, title_key},
      [&](toolkit::Window& w) {
        tk.okna.PRVNISEZNAMVOKNE(w.index(), 10, 30, 200, 225, 11, 0);
        auto redraw = [&tk] { tk.tlacitka.NUTNOVYKRESLIT = true; };
        toolkit::picture_button(tk, w.index(), "nahoru.bmp", [&tk, redraw] { tk.seznam.SEZNAMNAHORU(); redraw(); },
                                -15, 30, kUp, 22, 20);
        toolkit::picture_button(tk, w.index(), "dolu.bmp", [&tk, redraw] { tk.seznam.SEZNAMDOLU(); redraw(); },
                                -15, 60, kDown, 22, 20);
        toolkit::picture_button(tk, w.index(), "budiz.bmp",
                                [&] { if (!tk.seznam.SEZNAM.empty()) answer = kChosen; }, 10, -10,
                                kEnter);
        toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&] { answer = kCancelled; }, -10, -10,
                                kEscape);
      },
      [&] { return answer != kWaiting || f.screen_left(); });
  f.DIALOGOTEVREN = false;
  if (answer != kChosen || f.screen_left()) return std::nullopt;
  const int at = tk.seznam.highlighted();
  if (at < 0 || at >= int(entries.size())) return std::nullopt;
  return entry_name(entries[size_t(at)]);
}

}  // namespace ksv::client
