// The orders browser (screen 7): the orders the criteria select, a page of 4096 at a time,
// sortable by any of its seven columns; from here orders are opened, created and searched for.
#include <cstdio>

#include "client/keys.h"
#include "client/record_list.h"
#include "client/screens/orders/order_rules.h"
#include "client/screens/orders/orders.h"
#include "protocol/commands.h"
#include "protocol/rights.h"
#include "toolkit/kit/picture_button.h"

namespace ksv::client::orders {

using namespace keys;

namespace {

constexpr int32_t kWidth = 600, kHeight = 400;
constexpr int32_t kHeadingsY = 37;  // the headings' foot; the sort marker under them
constexpr int32_t kMarkerY = 40;
constexpr int32_t kListX = 10, kListY = 44, kListW = 580, kListH = 316;

// Which page of how many, and how many orders in all, in the status line.
void show_page_status(Frame& f, Workspace& ws) {
  char text[64];
  std::snprintf(text, sizeof text, "%s %u/%u (%d)", f.text("strana").c_str(),
                unsigned(ws.list.page + 1), unsigned(ws.list.pages), int(ws.list.records));
  f.STAVOVYRADEK(text);
}

// Shows the page on record in ws.list from the list file, sorted by the chosen column.
void show_page(Frame& f, Workspace& ws, int w) {
  build_page(f.tk().seznam, f.temp_path(ws.list.file), ListLayout::kOrders, ws);
  f.tk().okna.PRVNISEZNAMVOKNE(w, kListX, kListY, kListW, kListH,
                               kListH / (f.tk().texty.AKTVELFONTU + 1) - 1,
                               box_mode(ListLayout::kOrders));
  show_page_status(f, ws);
}

void next_sort_column(Frame& f, Workspace& ws, int w, bool sort) {
  advance_sort(ws.list);
  draw_sort_marker(f.tk(), w, ListLayout::kOrders, kListX, ws.list.sort_column, kMarkerY);
  if (!sort) return;
  toolkit::Seznam& list = f.tk().seznam;
  if (list.PRVKU() > 0) list.SETRIDSEZNAM(ws.list.sort_column, 0, false);
  list.PRVNIVYPISSEZ(list.SEZX, list.SEZY, list.VELSEZX, list.VELSEZY, list.VELSTRANKY,
                     list.AKTMODSEZNAMU);
}

void turn_page(Frame& f, Workspace& ws, int w, int by) {
  if (by > 0 ? next_page(ws.list) : previous_page(ws.list)) show_page(f, ws, w);
}

// The number of the new order, typed in a dialog; the order is created and opened.
void new_order(Frame& f, Workspace& ws) {
  ws.AKTZAKAZKA = TPolozkaDatabanky{};
  const InputResult in = f.VSTUPNIDIALOG("novazak", 16);
  if (!in.confirmed || in.text.empty()) return;
  const std::string number = new_order_number(in.text);
  f.compose().ULOZRETEZEC(slot::kText, true, number);
  if (f.request(req::kCreateOrder, "newzak") != rep::kOrderCreated) return;
  ws.JENCIST = f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kText) == 1;
  open_order(f, ws, number);
}

void open_highlighted(Frame& f, Workspace& ws) {
  const toolkit::Seznam& list = f.tk().seznam;
  if (list.PRVKU() == 0) return;
  // Refused (held elsewhere, gone): the user stays in the list, which says where it stands.
  if (!open_order(f, ws, list.SEZNAM[size_t(list.highlighted())].NAZEV.substr(0, 16)) &&
      !f.screen_left())
    show_page_status(f, ws);
}

}  // namespace

bool has_right(Frame& f, int bit) { return TESTBIT(f.info().MOJEPRAVA, bit); }

void fetch_list(Frame& f, Workspace& ws) {
  const int32_t sort = ws.list.sort_column;
  ws.list.reset();
  ws.list.sort_column = sort;
  write_criteria(f.compose(), ws.KRITERIA);
  if (f.request(req::kList, "listzak") != rep::kListFile) return;
  ws.list.file = f.download_named_in_reply();
}

void build_browser(Frame& f, Workspace& ws) {
  toolkit::Toolkit& tk = f.tk();
  tk.okna.SMAZOKNA();
  const int32_t h = tk.okna.VYTVOROKNO(-1, -1, kWidth, kHeight, false, "zakazky", "");
  if (h == toolkit::kNoFreeWindow) return;
  const int w = h >> 8;

  auto button = [&](const char* picture, int32_t x, uint8_t key, std::function<void()> action,
                    int32_t width = 50) {
    toolkit::picture_button(tk, w, picture, std::move(action), x, -10, key, width);
  };
  // Handlers run inside the button poll; whatever talks to the server runs after it.
  Frame* fp = &f;
  Workspace* wp = &ws;
  button("pomoc.bmp", 10, kF1, [fp] { fp->defer([fp] { fp->help(); }); });
  button("budiz.bmp", -10, kEscape, [fp] { fp->request_screen(kScreenMenu); });
  if (has_right(f, kRightEditOrder))
    button("nova.bmp", 70, kSpace, [fp, wp] { fp->defer([fp, wp] { new_order(*fp, *wp); }); });
  button("plan.bmp", 130, kCtrlP, [fp, wp] {
    wp->push_return(kScreenBrowser);
    fp->request_screen(kScreenPlanReport);
  });
  button("tridit.bmp", 188, kTab, [fp, wp, w] { next_sort_column(*fp, *wp, w, true); });
  button("nahoru.bmp", 245, kUp, [&tk] { tk.seznam.SEZNAMNAHORU(); }, 22);
  button("dolu.bmp", 275, kDown, [&tk] { tk.seznam.SEZNAMDOLU(); }, 22);
  button("stranap.bmp", 305, kLeft, [fp, wp, w] { turn_page(*fp, *wp, w, -1); });
  button("stranad.bmp", 360, kRight, [fp, wp, w] { turn_page(*fp, *wp, w, +1); });
  if (has_right(f, kRightOpenOrder))
    button("edituj.bmp", 420, kEnter,
           [fp, wp] { fp->defer([fp, wp] { open_highlighted(*fp, *wp); }); });
  button("hledej.bmp", 480, kCtrlH, [fp, wp] {
    // The search starts afresh: any date, programs examined.
    wp->KRITERIA = search_criteria();
    fp->request_screen(kScreenSearch);
  });

  draw_headings(tk, w, ListLayout::kOrders, kListX, "sloupzak", kHeadingsY);
  ws.list.sort_column = -1;
  next_sort_column(f, ws, w, false);
  if (!ws.PONECHATKRITERIA) ws.KRITERIA = browser_criteria(f.client().conn.clock().now().datum());
  if (ws.NACISTZNOVU) {
    ws.NACISTZNOVU = false;
    fetch_list(f, ws);
  }
  show_page(f, ws, w);
}

}  // namespace ksv::client::orders
