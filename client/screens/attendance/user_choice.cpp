// The choice of another user for the attendance screen: the server's user list in a picker.
#include "client/screens/attendance/user_choice.h"

#include <cstdio>
#include <cstring>

#include "client/frame.h"
#include "client/keys.h"
#include "toolkit/kit/list_guard.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/window.h"

namespace ksv::client::attendance {

std::optional<std::string> pick_user(Frame& f) {
  toolkit::Toolkit& tk = f.tk();
  Packet& b = f.compose();
  std::memcpy(b.bytes + slot::kSignature, f.config().PODPIS.data(), kSignatureBytes);
  if (f.CEKEJNAODPOVED(10, "getlist", true, true) != 193 || f.received_file().empty())
    return std::nullopt;

  toolkit::ListGuard keep(tk.seznam);
  toolkit::Seznam& list = tk.seznam;
  list.SMAZSEZNAM();
  if (std::FILE* in = std::fopen(f.temp_path(f.received_file()).c_str(), "rb")) {
    char line[512];
    while (std::fgets(line, sizeof line, in)) {
      std::string name(line);
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
      if (name.empty()) continue;
      if (name.size() > 254) name.resize(254);
      // A long name is cut in the list; the whole of it rides along as the first field.
      if (list.PRIDEJPRVEK(name, name + '\0', false) != 0) break;
    }
    std::fclose(in);
  }
  list.SETRIDSEZNAM(0, 0, false);

  int answer = 0;  // 1 chosen, 2 cancelled
  f.dialog(
      Modal::kUserList, "uzivatel", {250, 300, "uzivatel"},
      [&](toolkit::Window& w) {
        const int i = w.index();
        tk.okna.PRVNISEZNAMVOKNE(i, 10, 30, 200, 235, 12, 0);
        auto redraw = [&tk] { tk.tlacitka.NUTNOVYKRESLIT = true; };
        toolkit::picture_button(
            tk, i, "nahoru.bmp",
            [&tk, redraw] {
              tk.seznam.SEZNAMNAHORU();
              redraw();
            },
            -15, 30, keys::kUp, 22, 20);
        toolkit::picture_button(
            tk, i, "dolu.bmp",
            [&tk, redraw] {
              tk.seznam.SEZNAMDOLU();
              redraw();
            },
            -15, 60, keys::kDown, 22, 20);
        toolkit::picture_button(
            tk, i, "budiz.bmp", [&answer, &list] { answer = list.SEZNAM.empty() ? 2 : 1; }, 10, -10,
            keys::kEnter);
        toolkit::picture_button(
            tk, i, "zrusit.bmp", [&answer] { answer = 2; }, -15, -10, keys::kEscape);
      },
      [&answer] { return answer != 0; });
  if (answer != 1 || f.screen_left()) return std::nullopt;
  const std::string& spec = list.SEZNAM[size_t(list.highlighted())].SPEC;
  return spec.substr(0, spec.find('\0'));
}

}  // namespace ksv::client::attendance
