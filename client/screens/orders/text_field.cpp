// The scrolling text field of the order form.
#include "client/screens/orders/text_field.h"

#include "toolkit/kit/style_guard.h"

namespace ksv::client::orders {

std::string visible_tail(draw::Graph& g, const std::string& text, int32_t width) {
  size_t from = 0;
  while (from < text.size() && g.TEXTWIDTH(text.substr(from)) > width) ++from;
  return text.substr(from);
}

bool edit_text(toolkit::Toolkit& tk, int32_t x, int32_t y, int32_t width, size_t max_length,
               std::string& text) {
  draw::Graph& g = tk.graph;
  const int f = tk.texty.AKTVELFONTU;
  const uint8_t fg = tk.images.NAJDIBARVU(255, 255, 255), bg = tk.images.NAJDIBARVU(0, 0, 96);
  std::string edit = text.substr(0, max_length);
  auto show = [&] {
    toolkit::StyleGuard style(g);
    toolkit::ViewportGuard view(g);
    const draw::ViewPortType& v = view.saved();
    g.SETFILLSTYLE(1, bg);
    g.BAR(x, y, x + width, y + f);
    g.SETVIEWPORT(v.x1 + x, v.y1 + y, v.x1 + x + width, v.y1 + y + f, true);
    g.SETCOLOR(fg);
    g.SETTEXTSTYLE(4, 0, f);
    g.SETTEXTJUSTIFY(0, 0);
    g.OUTTEXTXY(1, 1, visible_tail(g, edit + "_", width - 2));
    tk.tlacitka.NUTNOVYKRESLIT = true;
  };
  show();
  tk.okna.KONECZADAVANI = 0;
  tk.tlacitka.VYMAZFRONTU();
  while (tk.okna.KONECZADAVANI == 0 && !tk.tlacitka.ended()) {
    tk.okna.OBSLUHAKOMUNIKACE();
    tk.tlacitka.OBSLUHATLAC();
    while (tk.tlacitka.JEKLAV() && tk.okna.KONECZADAVANI == 0) {
      const uint8_t k = tk.tlacitka.ZISKKLAV();
      if (k == 8) {
        if (!edit.empty()) edit.pop_back();
      } else if (k >= 32 && edit.size() < max_length) {
        edit.push_back(char(k));
      }
      show();
    }
  }
  const bool confirmed = tk.okna.KONECZADAVANI == 1 || tk.okna.KONECZADAVANI == 4;
  if (confirmed) text = edit;
  return confirmed;
}

}  // namespace ksv::client::orders
