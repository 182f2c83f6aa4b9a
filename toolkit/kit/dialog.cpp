// run_dialog: the loop of one modal dialog (see dialog.h).
#include "toolkit/kit/dialog.h"

#include <algorithm>

namespace ksv::toolkit {

bool run_dialog(Toolkit& tk, const DialogSpec& spec, const std::function<void(Window&)>& setup,
                const std::function<bool()>& done, const std::function<void()>& pass) {
  Window w(tk, spec.x, spec.y, std::min(spec.width, draw::kScreenW),
           std::min(spec.height, draw::kScreenH), true, spec.title_key, spec.body_key);
  if (!w) return false;
  if (setup) setup(w);
  tk.tlacitka.VYMAZFRONTU();
  // A dialog whose window was closed under it (a new screen built by a handler) has nothing
  // left to wait for.
  while (w.is_open() && !tk.tlacitka.ended() && !done()) pass();
  return true;
}

}  // namespace ksv::toolkit
