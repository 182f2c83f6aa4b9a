// Window: a toolkit window owned by a scope (see window.h).
#include "toolkit/kit/window.h"

namespace ksv::toolkit {

Window::Window(Toolkit& tk, int32_t x, int32_t y, int32_t width, int32_t height, bool popup,
               const std::string& title_key, const std::string& body_key)
    : tk_(&tk) {
  const int32_t handle = tk.okna.VYTVOROKNO(x, y, width, height, popup, title_key, body_key);
  if (handle == kNoFreeWindow) return;
  index_ = handle >> 8;
  generation_ = tk.okna.generation(index_);
}

Window::Window(Window&& other) noexcept
    : tk_(other.tk_), index_(other.index_), generation_(other.generation_) {
  other.index_ = -1;
}

bool Window::is_open() const {
  return index_ >= 0 && tk_->okna.is_open(index_) && tk_->okna.generation(index_) == generation_;
}

int32_t Window::x() const { return is_open() ? tk_->okna.OKNO[index_].X : 0; }
int32_t Window::y() const { return is_open() ? tk_->okna.OKNO[index_].Y : 0; }
int32_t Window::width() const { return is_open() ? tk_->okna.OKNO[index_].VX : 0; }
int32_t Window::height() const { return is_open() ? tk_->okna.OKNO[index_].VY : 0; }

void Window::close() {
  if (is_open()) tk_->okna.SMAZOKNO(index_);
  index_ = -1;
}

int Window::release() {
  const int index = is_open() ? index_ : -1;
  index_ = -1;
  return index;
}

}  // namespace ksv::toolkit
