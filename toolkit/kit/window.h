// Window: one window of the toolkit held by a scope. It opens with VYTVOROKNO and closes with
// SMAZOKNO when the scope ends, unless it was released to outlive it (a screen whose windows
// stay until the next screen is built) or was closed already. A window closed behind its back
// (SMAZOKNA of a new screen) is never closed twice, even when its entry was opened anew since.
//
//   Window w(tk, -1, -1, 300, 100, true, "potvrdit");
//   if (!w) return;                      // all four windows in use
//   picture_button(tk, w.index(), "budiz.bmp", [&] { done = true; }, 10, 30, 13);
#pragma once
#include <cstdint>
#include <string>

#include "toolkit/toolkit.h"

namespace ksv::toolkit {

class Window {
 public:
  // x or y of -1 centres the window on the screen.
  Window(Toolkit& tk, int32_t x, int32_t y, int32_t width, int32_t height, bool popup,
         const std::string& title_key, const std::string& body_key = "");
  ~Window() { close(); }
  Window(Window&& other) noexcept;
  Window& operator=(Window&&) = delete;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The window is on the screen (it opened, and nobody has closed it since).
  bool is_open() const;
  explicit operator bool() const { return is_open(); }
  // Index of the window entry (0-3), -1 when it did not open.
  int index() const { return index_; }
  // Its place on the screen (0 when it is not open).
  int32_t x() const;
  int32_t y() const;
  int32_t width() const;
  int32_t height() const;

  // Closes it now (nothing when it is closed already).
  void close();
  // Leaves it on the screen when the scope ends; its index.
  int release();

 private:
  Toolkit* tk_;
  int index_ = -1;
  uint32_t generation_ = 0;
};

}  // namespace ksv::toolkit
