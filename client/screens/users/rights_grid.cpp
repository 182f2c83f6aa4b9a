// The rights grid over the screen kit's grid editor.
#include "client/screens/users/rights_grid.h"

#include <utility>
#include <vector>

#include "client/keys.h"
#include "protocol/rights.h"
#include "toolkit/kit/grid_editor.h"

namespace ksv::client {

namespace {

using namespace keys;

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 440;
constexpr int kRowsShown = 16;

}  // namespace

GridAnswer edit_rights(Frame& f, RightsGrid& grid) {
  toolkit::Toolkit& tk = f.tk();
  const images::Obrazky& img = tk.images;
  const int held = img.NAJDIBARVU(0, 112, 0), by_delegation = img.NAJDIBARVU(176, 96, 0);
  const int not_held = img.NAJDIBARVU(64, 64, 64), locked = img.NAJDIBARVU(0, 0, 96);
  const std::string yes = "ANO", no = "NE";

  tk.okna.SMAZOKNA();
  toolkit::Window w(tk, kWindowX, kWindowY, kWindowW, kWindowH, false, grid.title_key);
  if (!w) return GridAnswer::kLeft;
  toolkit::GridLayout layout;
  layout.x = w.x() + 15;
  layout.y = w.y() + 30;
  layout.cell_w = 300;
  layout.cell_h = 21;
  layout.visible_rows = kRowsShown;
  layout.visible_cols = 2;
  layout.header_h = 20;
  toolkit::GridEditor editor(tk, 32, 2, layout);
  editor.col_label = [&](int col) {
    const int first = rights_grid_bit(editor.top_row(), col);
    return f.text("bity") + " " + std::to_string(first) + " - " + std::to_string(first + kRowsShown - 1);
  };
  editor.cell_text = [&](int row, int col) {
    const int bit = rights_grid_bit(row, col);
    const bool on = TESTBIT(grid.rights, bit) || TESTBIT(grid.delegated, bit);
    return std::to_string(bit) + " " + f.text("bit" + std::to_string(bit)) + ": " + (on ? yes : no);
  };
  editor.cell_background = [&](int row, int col) {
    const int bit = rights_grid_bit(row, col);
    if (TESTBIT(grid.rights, bit)) return held;
    if (TESTBIT(grid.delegated, bit)) return by_delegation;
    return TESTBIT(grid.selectable, bit) ? not_held : locked;
  };
  editor.activate = [&](int row, int col) {
    const int bit = rights_grid_bit(row, col);
    if (!TESTBIT(grid.selectable, bit)) {
      f.status("jenprohlizeni");
      return;
    }
    NEGUJBIT(grid.rights, bit);
    grid.changed = true;
  };

  enum { kOpen, kConfirmed, kCancelled } state = kOpen;
  toolkit::picture_button(tk, w.index(), "budiz.bmp", [&state] { state = kConfirmed; }, 15, -8, kEnter);
  toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&state] { state = kCancelled; }, 75, -8, kEscape);
  toolkit::picture_button(tk, w.index(), "pomoc.bmp", [&f] { f.defer([&f] { f.help(); }); }, -15, -8, kF1);
  {
    // The legend of the colours, beside the buttons.
    draw::Graph& g = tk.graph;
    toolkit::StyleGuard style(g);
    toolkit::ViewportGuard view(g);
    g.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
    g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
    g.SETTEXTJUSTIFY(0, 0);
    const int32_t y = w.y() + w.height() - 27;
    int32_t x = w.x() + 150;
    std::vector<std::pair<int, const char*>> legend = {{held, "maprava"}, {by_delegation, "predana"}};
    if (grid.selectable != -1) legend.push_back({locked, "nelze"});
    for (auto [colour, key] : legend) {
      g.SETFILLSTYLE(1, colour);
      g.BAR(x, y, x + 14, y + 14);
      g.SETCOLOR(255);
      g.OUTTEXTXY(x + 20, y + 1, f.text(key));
      x += 20 + g.TEXTWIDTH(f.text(key)) + 20;
    }
  }
  editor.draw();
  toolkit::ModalScope<Modal> scope(f.modal, Modal::kInput, grid.title_key);
  while (state == kOpen && !f.screen_left()) {
    f.event_step();
    editor.poll();
  }
  if (f.screen_left()) return GridAnswer::kLeft;
  return state == kConfirmed ? GridAnswer::kConfirmed : GridAnswer::kCancelled;
}

}  // namespace ksv::client
