// Duplicating the open order: a dialog for the new number and the programs to take along, then
// the copy. The server copies only an order that no session holds — this one included — so the
// order is released for the copy and opened again after it.
#include <algorithm>

#include "client/keys.h"
#include "client/screens/orders/editor.h"
#include "client/screens/orders/order_rules.h"
#include "client/screens/orders/orders.h"
#include "toolkit/kit/text_field.h"
#include "protocol/client.h"
#include "protocol/commands.h"
#include "toolkit/kit/modal.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::client::orders {

using namespace keys;

namespace {

constexpr int kColumnRows = 12;
constexpr int32_t kNarrow = 220, kWide = 420, kColumnStep = 200;
constexpr int32_t kFirstRow = 56, kRowStep = 22;

struct CopyChoice {
  std::string number;
  std::vector<std::string> codes;  // the chosen ones, in list order
};

std::optional<CopyChoice> ask(Frame& f, const std::vector<std::string>& all) {
  toolkit::Toolkit& tk = f.tk();
  const std::vector<std::string> codes(all.begin(),
                                       all.begin() + std::min<long>(long(all.size()), kMaxCopiedPrograms));
  std::vector<bool> chosen(codes.size(), true);
  const int rows = std::max(1, std::min(int(codes.size()), kColumnRows));
  const int32_t width = codes.size() > size_t(kColumnRows) ? kWide : kNarrow;
  const int32_t height = kFirstRow + rows * kRowStep + 35;
  const int32_t h = tk.okna.VYTVOROKNO(-1, -1, width, height, true, "duplikuj", "");
  if (h == toolkit::kNoFreeWindow) return std::nullopt;
  const int w = h >> 8;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(w)];
  const int32_t ox = o.X, oy = o.Y;
  draw::Graph& g = tk.graph;

  auto text_at = [&](int32_t x, int32_t y, const std::string& s, uint8_t colour) {
    toolkit::StyleGuard style(g);
    g.SETFILLSTYLE(1, tk.images.NAJDIBARVU(92, 92, 92));
    g.BAR(ox + x, oy + y, ox + x + g.TEXTWIDTH("W") + 2, oy + y + tk.texty.AKTVELFONTU);
    g.SETCOLOR(colour);
    g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
    g.SETTEXTJUSTIFY(0, 0);  // y is the text's top
    g.OUTTEXTXY(ox + x, oy + y + 1, s);
    tk.tlacitka.NUTNOVYKRESLIT = true;
  };
  auto place = [&](size_t i, int32_t& x, int32_t& y) {
    x = 10 + int32_t(i / kColumnRows) * kColumnStep;
    y = kFirstRow + int32_t(i % kColumnRows) * kRowStep;
  };
  const uint8_t white = tk.images.NAJDIBARVU(255, 255, 255);
  auto mark = [&](size_t i) {
    int32_t x, y;
    place(i, x, y);
    text_at(x, y, chosen[i] ? "A" : "N", chosen[i] ? tk.images.NAJDIBARVU(255, 255, 0) : white);
  };
  {
    toolkit::StyleGuard style(g);
    g.SETCOLOR(white);
    g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
    g.SETTEXTJUSTIFY(0, 0);  // y is the text's top
    g.OUTTEXTXY(ox + 10, oy + 31, "nazev:");
    for (size_t i = 0; i < codes.size(); ++i) {
      int32_t x, y;
      place(i, x, y);
      g.OUTTEXTXY(ox + x + 20, oy + y + 1, codes[i]);
    }
  }
  for (size_t i = 0; i < codes.size(); ++i) {
    mark(i);
    int32_t x, y;
    place(i, x, y);
    toolkit::picture_button(tk, w, "zmena.bmp", [&, i] {
      chosen[i] = !chosen[i];
      mark(i);
    }, x + 150, y, 0, 40, 18);
  }
  toolkit::picture_button(tk, w, "Budiz.bmp", [&tk] { tk.okna.KONECZADAVANI = 1; }, 10, -5, kEnter);
  toolkit::picture_button(tk, w, "Zrusit.bmp", [&tk] { tk.okna.KONECZADAVANI = 2; }, -10, -5,
                          kEscape);

  std::string number;
  bool confirmed;
  {
    toolkit::ModalScope<Modal> marked(f.modal, Modal::kInput, "duplikuj");
    tk.trace.event("dialog", "duplikuj");
    f.DIALOGOTEVREN = true;
    toolkit::TextField input(tk, ox + 70, oy + 30, (width - 80) / (tk.texty.AKTVELFONTU / 2), 16);
    input.text_colour = white;
    input.background = tk.images.NAJDIBARVU(0, 0, 96);
    confirmed = input.edit();
    number = input.text();
    f.DIALOGOTEVREN = false;
  }
  tk.okna.SMAZOKNO(w);
  if (!confirmed) return std::nullopt;
  CopyChoice c;
  c.number = number;
  for (size_t i = 0; i < codes.size(); ++i)
    if (chosen[i]) c.codes.push_back(codes[i]);
  return c;
}

}  // namespace

void duplicate_order(Frame& f, Workspace& ws, EditorState& st) {
  std::optional<CopyChoice> c = ask(f, st.codes);
  if (!c) return;
  std::string number = c->number;
  ODSTRANDIAKRITIKU(number);
  if (number.empty()) return;
  if (code_that_does_not_fit(c->codes)) {
    // The last places of the request end at the packet's end; such a code would be cut.
    f.notice("duplikuj", "dupldlouhy");
    return;
  }
  // The copy is made from the server's files: changes not saved yet would not be in it.
  if (st.editable && has_right(f, kRightEditOrder)) {
    f.status("ulozitdupl");
    if (f.POTVRZENI()) save_order(f, ws);
  }
  const std::string source = ws.AKTZAKAZKA.CISLO.str();
  f.compose();
  if (f.request(req::kCloseOrder, "closezak") != rep::kOrderClosed) return;
  st.released = true;
  put_copy_request(f.compose(), source, number, c->codes);
  f.request(req::kCopyOrder, "dupl");
  if (!f.info().SPOJENO) return;
  if (!open_order(f, ws, source)) {
    ws.NACISTZNOVU = true;
    if (f.POZADOVANAOBRAZOVKA != kScreenConnect) f.request_screen(kScreenBrowser);
  }
}

}  // namespace ksv::client::orders
