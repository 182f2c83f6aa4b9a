// run_dialog: one modal dialog from opening to closing, the shape every dialog of the desktop
// programs has — a pop-up window (only its own buttons react while it is up), its buttons and
// content, the key queue emptied so keys typed before cannot answer it, the program's wait-loop
// pass until the dialog is answered or the program ends, and the window closed on every way out.
//
//   bool yes = false, answered = false;
//   run_dialog(tk, {130, 60, "potvrdit"},
//              [&](Window& w) { picture_button(tk, w.index(), "budiz.bmp", [&] { ... }, 10, 30, 13); },
//              [&] { return answered; }, [&] { frame.event_step(); });
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "toolkit/kit/modal.h"
#include "toolkit/kit/window.h"
#include "toolkit/toolkit.h"

namespace ksv::toolkit {

struct DialogSpec {
  DialogSpec(int32_t width, int32_t height, std::string title_key, std::string body_key = "")
      : width(width), height(height), title_key(std::move(title_key)), body_key(std::move(body_key)) {}
  // Somewhere else than the centre of the screen.
  DialogSpec& at(int32_t left, int32_t top) {
    x = left;
    y = top;
    return *this;
  }

  int32_t x = -1, y = -1;  // -1 centres on the screen
  int32_t width, height;
  std::string title_key;
  std::string body_key;
};

// `setup` places the buttons and draws the content; `done` is asked before every pass; `pass`
// is one step of the program's wait loop. The window is cut to the screen's size. False when
// no window was free (then neither setup nor the loop ran).
bool run_dialog(Toolkit& tk, const DialogSpec& spec, const std::function<void(Window&)>& setup,
                const std::function<bool()>& done, const std::function<void()>& pass);

// The same, marked in the program's modal state as `kind` with `key` while it is open.
template <typename Kind>
bool run_dialog(Toolkit& tk, ModalState<Kind>& modal, Kind kind, const std::string& key,
                const DialogSpec& spec, const std::function<void(Window&)>& setup,
                const std::function<bool()>& done, const std::function<void()>& pass) {
  ModalScope<Kind> scope(modal, kind, key);
  return run_dialog(tk, spec, setup, done, pass);
}

}  // namespace ksv::toolkit
