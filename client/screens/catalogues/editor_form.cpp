// The editor form: window, rows, the three buttons along the bottom.
#include "client/screens/catalogues/editor_form.h"

#include "client/keys.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::catalogues {

namespace {

constexpr int32_t kTop = 30, kRowStep = 26, kValueX = 70, kBottom = 45;
constexpr int32_t kSampleW = 30, kSampleH = 14;

}  // namespace

EditorForm::EditorForm(Frame& f, Workspace& ws, const char* window_key, int rows, int32_t width)
    : f_(f), ws_(ws), window_key_(window_key), rows_(rows), width_(width) {}

int32_t EditorForm::row_y(int row) const { return kTop + kRowStep * row; }

bool EditorForm::open() {
  toolkit::Toolkit& tk = f_.tk();
  tk.okna.SMAZOKNA();
  window_ = -1;
  if (f_.screen_left()) return false;
  const int32_t h = tk.okna.VYTVOROKNO(-1, -1, width_, row_y(rows_) + kBottom, false,
                                       window_key_, "");
  if (h == toolkit::kNoFreeWindow) return false;
  window_ = h >> 8;
  toolkit::picture_button(tk, window_, "pridat.bmp", [this] { pending_ = kSave; }, 10, -10, 'a');
  toolkit::picture_button(tk, window_, "pomoc.bmp", [this] { f_.defer([this] { f_.help(); }); },
                          0, -10, keys::kF1);
  toolkit::picture_button(tk, window_, "budiz.bmp",
                          [this] { f_.request_screen(ws_.pop_return(kScreenMenu)); }, -10, -10,
                          keys::kEscape);
  return true;
}

void EditorForm::row_button(int row, const char* picture, uint8_t key, int action) {
  toolkit::picture_button(f_.tk(), window_, picture, [this, action] { pending_ = action; }, 10,
                          row_y(row), key);
}

void EditorForm::show(int row, const std::string& text, int colour) {
  toolkit::Toolkit& tk = f_.tk();
  if (!tk.okna.is_open(window_)) return;
  const int32_t room = width_ - kValueX - 15 - (colour >= 0 ? kSampleW + 10 : 0);
  const int chars = room / (tk.texty.AKTVELFONTU / 2);
  const std::string shown = int(text.size()) > chars ? text.substr(0, size_t(chars - 3)) + "..." : text;
  tk.okna.VYPISUDAJOKNO(window_, kValueX, row_y(row) + 2, 255, tk.images.NAJDIBARVU(0, 0, 64),
                        uint8_t(chars), shown);
  if (colour >= 0) {
    draw::Graph& g = tk.graph;
    toolkit::StyleGuard style(g);
    const int32_t x = tk.okna.MISTOX(window_, 0) + width_ - 15 - kSampleW;
    const int32_t y = tk.okna.MISTOY(window_, 0) + row_y(row) + 3;
    g.SETFILLSTYLE(1, 255);
    g.BAR(x - 1, y - 1, x + kSampleW, y + kSampleH);
    g.SETFILLSTYLE(1, colour);
    g.BAR(x, y, x + kSampleW - 1, y + kSampleH - 1);
  }
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

int EditorForm::next_action() {
  f_.event_step();
  const int a = pending_;
  pending_ = 0;
  return a;
}

}  // namespace ksv::client::catalogues
