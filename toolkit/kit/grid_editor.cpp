// GridEditor: cursor movement, paging, mouse presses and drawing of a table (see the header).
#include "toolkit/kit/grid_editor.h"

#include <algorithm>

#include "toolkit/kit/style_guard.h"

namespace ksv::toolkit {
namespace {

constexpr int kUp = kExtendedKey + 72, kDown = kExtendedKey + 80;
constexpr int kLeft = kExtendedKey + 75, kRight = kExtendedKey + 77;
constexpr int kPageUp = kExtendedKey + 73, kPageDown = kExtendedKey + 81;
constexpr int kHome = kExtendedKey + 71, kEnd = kExtendedKey + 79;

}  // namespace

GridEditor::GridEditor(Toolkit& tk, int rows, int cols, const GridLayout& layout)
    : tk_(tk), rows_(std::max(rows, 1)), cols_(std::max(cols, 1)), l_(layout) {
  l_.visible_rows = std::clamp(l_.visible_rows, 1, rows_);
  l_.visible_cols = std::clamp(l_.visible_cols, 1, cols_);
}

void GridEditor::move_to(int row, int col) {
  row_ = std::clamp(row, 0, rows_ - 1);
  col_ = std::clamp(col, 0, cols_ - 1);
  follow_cursor();
}

void GridEditor::follow_cursor() {
  if (row_ < top_) top_ = row_;
  if (row_ >= top_ + l_.visible_rows) top_ = row_ - l_.visible_rows + 1;
  if (col_ < left_) left_ = col_;
  if (col_ >= left_ + l_.visible_cols) left_ = col_ - l_.visible_cols + 1;
}

void GridEditor::fire() {
  if (activate) activate(row_, col_);
}

bool GridEditor::key(int k) {
  switch (k) {
    case kUp: move_to(row_ - 1, col_); return true;
    case kDown: move_to(row_ + 1, col_); return true;
    case kLeft: move_to(row_, col_ - 1); return true;
    case kRight: move_to(row_, col_ + 1); return true;
    case kPageUp:
      // A whole page: the view moves with the cursor, so the rows shown are all new.
      top_ = std::max(top_ - l_.visible_rows, 0);
      move_to(row_ - l_.visible_rows, col_);
      return true;
    case kPageDown:
      top_ = std::min(top_ + l_.visible_rows, rows_ - l_.visible_rows);
      move_to(row_ + l_.visible_rows, col_);
      return true;
    case kHome: move_to(0, 0); return true;
    case kEnd: move_to(rows_ - 1, cols_ - 1); return true;
    case ' ':
    case 13: fire(); return true;
    default: return false;
  }
}

bool GridEditor::cell_at(int32_t x, int32_t y, int& row, int& col) const {
  const int32_t cx = x - l_.x - l_.label_w, cy = y - l_.y - l_.header_h;
  if (cx < 0 || cy < 0) return false;
  const int c = cx / l_.cell_w, r = cy / l_.cell_h;
  if (c >= l_.visible_cols || r >= l_.visible_rows) return false;
  if (top_ + r >= rows_ || left_ + c >= cols_) return false;
  row = top_ + r;
  col = left_ + c;
  return true;
}

bool GridEditor::mouse(int32_t x, int32_t y, int buttons) {
  const bool pressed = (buttons & 1) && !(last_buttons_ & 1);
  last_buttons_ = buttons;
  int r, c;
  if (!pressed || !cell_at(x, y, r, c)) return false;
  const bool on_cursor = r == row_ && c == col_;
  move_to(r, c);
  if (on_cursor || press_activates) fire();
  return true;
}

std::vector<int> GridEditor::poll() {
  Tlacitka& b = tk_.tlacitka;
  std::vector<int> others;
  bool changed = false;
  for (int k; (k = b.take_key()) >= 0;) {
    if (key(k))
      changed = true;
    else
      others.push_back(k);
  }
  changed |= mouse(b.MYSX, b.MYSY, b.TLACM);
  if (changed) draw();
  return others;
}

void GridEditor::draw() {
  draw::Graph& g = tk_.graph;
  images::Obrazky& img = tk_.images;
  ViewportGuard view(g);
  StyleGuard style(g);
  g.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
  g.SETWRITEMODE(0);
  g.SETTEXTSTYLE(4, 0, std::min<int>(tk_.texty.AKTVELFONTU, l_.cell_h - 2));
  g.SETTEXTJUSTIFY(1, 1);
  const int body = img.NAJDIBARVU(64, 64, 64), grid = img.NAJDIBARVU(128, 128, 128);
  const int cursor = img.NAJDIBARVU(255, 255, 0), text = img.NAJDIBARVU(255, 255, 255);
  const int32_t left = l_.x + l_.label_w, top = l_.y + l_.header_h;

  // Labels of the rows and columns in view: they tell which page is shown.
  g.SETFILLSTYLE(1, body);
  if (l_.header_h > 0) g.BAR(l_.x, l_.y, left + l_.visible_cols * l_.cell_w, top - 1);
  if (l_.label_w > 0) g.BAR(l_.x, top, left - 1, top + l_.visible_rows * l_.cell_h);
  g.SETCOLOR(text);
  for (int c = 0; c < l_.visible_cols && col_label && l_.header_h > 0; ++c)
    g.OUTTEXTXY(left + c * l_.cell_w + l_.cell_w / 2, l_.y + l_.header_h / 2,
                col_label(left_ + c));
  for (int r = 0; r < l_.visible_rows && row_label && l_.label_w > 0; ++r)
    g.OUTTEXTXY(l_.x + l_.label_w / 2, top + r * l_.cell_h + l_.cell_h / 2, row_label(top_ + r));

  for (int r = 0; r < l_.visible_rows; ++r)
    for (int c = 0; c < l_.visible_cols; ++c) {
      const int row = top_ + r, col = left_ + c;
      const int32_t x1 = left + c * l_.cell_w, y1 = top + r * l_.cell_h;
      const int32_t x2 = x1 + l_.cell_w - 1, y2 = y1 + l_.cell_h - 1;
      g.SETFILLSTYLE(1, cell_background ? cell_background(row, col) : body);
      g.BAR(x1, y1, x2, y2);
      g.SETCOLOR(grid);
      g.RECTANGLE(x1, y1, x2, y2);
      if (cell_text) {
        ViewportGuard clip(g);
        g.SETVIEWPORT(x1 + 1, y1 + 1, x2 - 1, y2 - 1, true);
        g.SETCOLOR(text);
        g.OUTTEXTXY(l_.cell_w / 2 - 1, l_.cell_h / 2 - 1, cell_text(row, col));
      }
      if (row == row_ && col == col_) {
        g.SETCOLOR(cursor);
        g.RECTANGLE(x1, y1, x2, y2);
        g.RECTANGLE(x1 + 1, y1 + 1, x2 - 1, y2 - 1);
      }
    }
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

}  // namespace ksv::toolkit
