// GridEditor: a table of values edited in place — the 64 rights bits, the 7 × 24 hours of a
// camera week plan, the tiers of a price table — with one cursor instead of one button per
// value. The arrow keys and a mouse press move the cursor; Space or Enter (or a press on the
// cell under the cursor) hands the cell to the screen's callback, which edits or toggles it.
// A table larger than its box is shown a page at a time and the view follows the cursor;
// PgUp and PgDn move by a page of rows.
//
// The grid runs inside the screen's own wait loop: after each button poll, poll() takes the
// queued keys and the mouse the poll saw, and hands back the keys that were not the grid's.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/toolkit.h"

namespace ksv::toolkit {

struct GridLayout {
  int32_t x = 0, y = 0;            // top-left corner of the box on the screen
  int32_t cell_w = 40, cell_h = 18;
  int visible_rows = 8, visible_cols = 8;
  int32_t label_w = 0;             // width of the row labels left of the cells (0: none)
  int32_t header_h = 0;            // height of the column labels above them (0: none)
};

class GridEditor {
 public:
  GridEditor(Toolkit& tk, int rows, int cols, const GridLayout& layout);

  // What a cell shows, and its background colour (the box's colour when not set).
  std::function<std::string(int row, int col)> cell_text;
  std::function<int(int row, int col)> cell_background;
  std::function<std::string(int row)> row_label;
  std::function<std::string(int col)> col_label;
  // Edits or toggles a cell; the grid redraws afterwards.
  std::function<void(int row, int col)> activate;
  // A press on any cell activates it at once (a table of switches), instead of moving the
  // cursor first.
  bool press_activates = false;

  // One key as Tlacitka::take_key gives it; true when it was the grid's.
  bool key(int key);
  // A mouse state; a press (the left button going down) on a cell moves the cursor there, or
  // activates the cell under the cursor. True when it did something.
  bool mouse(int32_t x, int32_t y, int buttons);
  // After a button poll: the queued keys and the mouse it saw; redraws when anything changed.
  // The keys the grid had no use for, in the order they came (as take_key gives them).
  std::vector<int> poll();
  void draw();

  void move_to(int row, int col);
  int row() const { return row_; }
  int col() const { return col_; }
  int top_row() const { return top_; }    // the view's first row
  int left_col() const { return left_; }  // and first column
  // The cell at a screen position; false when the position is on no visible cell.
  bool cell_at(int32_t x, int32_t y, int& row, int& col) const;

 private:
  void follow_cursor();
  void fire();

  Toolkit& tk_;
  int rows_, cols_;
  GridLayout l_;
  int row_ = 0, col_ = 0, top_ = 0, left_ = 0;
  int last_buttons_ = 0;
};

}  // namespace ksv::toolkit
