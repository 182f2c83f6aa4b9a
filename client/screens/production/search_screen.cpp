// The production search (screen 82): two switches — today's work or any day's, one's own work or
// everybody's. Searching returns to the list with the criteria kept and the list fetched anew;
// cancelling returns with the switches as they were.
#include "client/keys.h"
#include "client/screens/production/production.h"
#include "client/screens/production/production_rules.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::production {

using namespace keys;

namespace {

constexpr int32_t kWidth = 300, kHeight = 130;
constexpr int32_t kRow1 = 32, kRow2 = 62, kLabelX = 70, kLabelChars = 26;

}  // namespace

void build_search(Frame& f, Workspace& ws) {
  toolkit::Toolkit& tk = f.tk();
  tk.okna.SMAZOKNA();
  const int32_t h = tk.okna.VYTVOROKNO(-1, -1, kWidth, kHeight, false, "hledvyr", "");
  if (h == toolkit::kNoFreeWindow) return;
  const int w = h >> 8;
  const bool only_today = ws.JENDNES, everyone = ws.VSECHNY;
  enum { kWaiting, kSearch, kCancel } answer = kWaiting;

  const uint8_t ink = tk.images.NAJDIBARVU(0, 0, 64), paper = tk.images.NAJDIBARVU(255, 255, 255);
  auto show = [&] {
    tk.okna.VYPISUDAJOKNO(w, kLabelX, kRow1 + 2, ink, paper, kLabelChars,
                          f.text(ws.JENDNES ? "jendnes" : "ijindy"));
    tk.okna.VYPISUDAJOKNO(w, kLabelX, kRow2 + 2, ink, paper, kLabelChars,
                          f.text(ws.VSECHNY ? "vsechno" : "jenmoje"));
    tk.tlacitka.NUTNOVYKRESLIT = true;
  };
  Frame* fp = &f;
  toolkit::picture_button(tk, w, "zmena.bmp", [&] { ws.JENDNES = !ws.JENDNES; show(); }, 10, kRow1,
                          'd');
  toolkit::picture_button(tk, w, "zmena.bmp", [&] { ws.VSECHNY = !ws.VSECHNY; show(); }, 10, kRow2,
                          'o');
  toolkit::picture_button(tk, w, "pomoc.bmp", [fp] { fp->defer([fp] { fp->help(); }); }, 10, -10,
                          kF1);
  toolkit::picture_button(tk, w, "hledej.bmp", [&] { answer = kSearch; }, -65, -10, kEnter);
  toolkit::picture_button(tk, w, "zrusit.bmp", [&] { answer = kCancel; }, -10, -10, kEscape);
  show();

  while (!f.screen_left() && answer == kWaiting) f.event_step();
  if (f.screen_left()) return;
  if (answer == kSearch) {
    ws.KRITERIA = production_criteria(f.client().conn.clock().now().datum(), ws.JENDNES,
                                      ws.VSECHNY, f.info().MOJEID);
    ws.PONECHATKRITERIA = true;
    ws.NACISTZNOVU = true;
  } else {
    ws.JENDNES = only_today;
    ws.VSECHNY = everyone;
  }
  f.request_screen(kScreenList);
}

}  // namespace ksv::client::production
