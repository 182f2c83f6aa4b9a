// The form the thread and material editors share: one window of rows, each a picture button
// with its value beside it, and along the bottom pridat (save the entry), pomoc and budiz
// (back to the screen that opened the picker). Buttons only name what is to be done; the
// editor's loop does it, so no exchange runs inside the button poll.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client::catalogues {

class EditorForm {
 public:
  // `rows` value rows in a window of `width` titled window_key.
  EditorForm(Frame& f, Workspace& ws, const char* window_key, int rows, int32_t width);

  // Removes the screen's windows and opens the form; false when no window could be had.
  bool open();
  // The button of a row; `action` runs from the loop.
  void row_button(int row, const char* picture, uint8_t key, int action);
  // The value of a row, and a colour sample right of it (-1: none).
  void show(int row, const std::string& text, int colour = -1);
  // The next action the user asked for (0 when none), after one event step. Leaving (budiz)
  // requests the screen to return to; the loop ends on screen_left().
  int next_action();

  static constexpr int kSave = 1000;  // pridat: the actions of the rows are below this

 private:
  int32_t row_y(int row) const;

  Frame& f_;
  Workspace& ws_;
  const char* window_key_;
  int rows_;
  int32_t width_;
  int window_ = -1;
  int pending_ = 0;
};

}  // namespace ksv::client::catalogues
