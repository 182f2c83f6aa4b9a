// The production list (screen 8): the programs released to production of the open orders, by
// default those due today for every operator, a page of 4096 at a time; from here a program's
// card is opened and the search (82) chooses another day or only one's own work.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

#include "client/keys.h"
#include "client/pickers.h"
#include "client/record_list.h"
#include "client/screens/orders/order_rules.h"
#include "client/screens/orders/orders.h"
#include "client/screens/production/production.h"
#include "client/screens/production/production_rules.h"
#include "protocol/rights.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::production {

using namespace keys;

namespace {

constexpr int32_t kWidth = 600, kHeight = 400;
constexpr int32_t kHeadingsY = 37;
constexpr int32_t kListX = 10, kListY = 44, kListW = 580, kListH = 316;
constexpr int32_t kListMode = 6;  // the client draws the columns of this list
constexpr int32_t kSwitchesX = 365, kSwitchesChars = 20;

// Where each column starts inside the list's box and how wide it is: the code, the customer,
// the material text, the material, the placement, the operator.
constexpr int32_t kColumnX[] = {10, 96, 216, 350, 440, 510};
constexpr int32_t kColumnW[] = {82, 116, 130, 86, 66, 60};
constexpr int kColumns = 6;

std::string fitted(draw::Graph& g, std::string s, int width) {
  while (!s.empty() && g.TEXTWIDTH(s) > width) s.pop_back();
  return s;
}

void install_columns(Frame& f) {
  toolkit::Toolkit& tk = f.tk();
  tk.seznam.client_columns = [&tk](int mode, const toolkit::TPrvek& e, int offset, int row_top) {
    draw::Graph& g = tk.graph;
    // The other record lists keep the client's common columns.
    if (mode != kListMode) {
      draw_record_columns(g, mode, e, offset, row_top);
      return;
    }
    const int32_t y = row_top + 16;  // the text's foot, as the list draws names
    g.OUTTEXTXY(offset + kColumnX[0], y, fitted(g, e.NAZEV, kColumnW[0]));
    for (int c = 1; c < kColumns; ++c)
      g.OUTTEXTXY(offset + kColumnX[c], y, fitted(g, line_field(e.SPEC, c - 1), kColumnW[c]));
  };
}

void draw_headings(Frame& f, int window) {
  toolkit::Toolkit& tk = f.tk();
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(window)];
  std::vector<std::string> names{tk.texty.text("sloupvyr")};
  for (int i = 0; i < tk.texty.RADKU; ++i) names.push_back(tk.texty.TEXTBUFFER[size_t(i)]);
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  g.SETCOLOR(tk.images.NAJDIBARVU(192, 192, 255));
  g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
  g.SETTEXTJUSTIFY(0, 2);
  for (int c = 0; c < kColumns && c < int(names.size()); ++c)
    g.OUTTEXTXY(o.X + kListX + kColumnX[c], o.Y + kHeadingsY,
                fitted(g, names[size_t(c)], kColumnW[c]));
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

class ListScreen {
 public:
  ListScreen(Frame& f, Workspace& ws) : f_(f), ws_(ws), tk_(f.tk()) {}
  void run();

 private:
  bool may(int bit) const { return TESTBIT(f_.info().MOJEPRAVA, bit); }
  void fetch();
  void name_people(const orders::ListPage& page);
  void show_page();
  void highlight_last_card();
  void show_switches();
  void turn_page(int by);
  void open_highlighted();

  Frame& f_;
  Workspace& ws_;
  toolkit::Toolkit& tk_;
  int window_ = -1;
  std::function<void()> action_;
};

void ListScreen::fetch() {
  ws_.list.reset();
  ws_.list.sort_column = 0;
  write_criteria(f_.compose(), ws_.KRITERIA);
  if (f_.request(63, "listzak") != 252) return;
  ws_.list.file = f_.download_named_in_reply();
}

// The names the lines show: a catalogue is fetched (again) only when a line names an entry it
// does not know yet, each operator's name once.
void ListScreen::name_people(const orders::ListPage& page) {
  bool materials = false, placements = false;
  std::set<int32_t> operators;
  for (const TSeznamDatabanky& r : page.lines) {
    if (!in_production(r)) continue;
    materials |= r.MATERIAL != -1 && !ws_.materials.find(r.MATERIAL);
    placements |= r.UMISTENI != -1 && !ws_.placements.find(r.UMISTENI);
    if (r.MASIT != -1) operators.insert(r.MASIT);
  }
  if (materials) fetch_materials(f_, ws_);
  if (placements) fetch_placements(f_, ws_);
  for (int32_t id : operators) user_name_of(f_, ws_, id);
}

void ListScreen::show_page() {
  const orders::ListPage page =
      orders::read_list_page(f_.temp_path(ws_.list.file), ws_.list.page);
  ws_.list.records = ws_.list.file.empty() ? 0 : page.records;
  ws_.list.pages = orders::page_count(ws_.list.records);
  name_people(page);
  toolkit::Seznam& list = tk_.seznam;
  list.SMAZSEZNAM();
  for (const TSeznamDatabanky& r : page.lines) {
    if (!in_production(r)) continue;
    const ProductionLine l = production_line(r, ws_);
    if (list.PRIDEJPRVEK(l.name, l.spec, false) == toolkit::kListFull) break;
  }
  if (list.PRVKU() > 0) list.SETRIDSEZNAM(0, 0, false);
  tk_.okna.PRVNISEZNAMVOKNE(window_, kListX, kListY, kListW, kListH,
                            kListH / (tk_.texty.AKTVELFONTU + 1) - 1, kListMode | 0x80);
  highlight_last_card();
  char text[96];
  std::snprintf(text, sizeof text, "%s %u/%u (%d)", f_.text("strana").c_str(),
                unsigned(ws_.list.page + 1), unsigned(ws_.list.pages), list.PRVKU());
  f_.STAVOVYRADEK(text);
}

// Back from a card, the cursor stands on its program again, so the operator goes on down the
// list from where the work was.
void ListScreen::highlight_last_card() {
  toolkit::Seznam& list = tk_.seznam;
  const std::string order = ws_.AKTZAKAZKA.CISLO.str(), code = ws_.AKTPROGRAM.KOD.str();
  if (order.empty() || code.empty()) return;
  for (int i = 0; i < list.PRVKU(); ++i) {
    const toolkit::TPrvek& e = list.SEZNAM[size_t(i)];
    if (e.NAZEV != code || line_order(e.SPEC) != order) continue;
    list.AKTSTRANKA = uint16_t(std::max(0, i - list.VELSTRANKY / 2));
    list.AKTPRVEK = uint16_t(i - list.AKTSTRANKA);
    list.VYPISSEZNAM(list.SEZX, list.SEZY, list.VELSEZX, list.VELSEZY, list.VELSTRANKY,
                     list.AKTMODSEZNAMU);
    tk_.tlacitka.NUTNOVYKRESLIT = true;
    return;
  }
}

// Which work the list holds, beside the buttons: a day or any day, one's own or everybody's.
void ListScreen::show_switches() {
  const std::string text = f_.text(ws_.JENDNES ? "kratdnes" : "kratkdykoli") + ", " +
                           f_.text(ws_.VSECHNY ? "kratvsech" : "kratmoje");
  tk_.okna.VYPISUDAJOKNO(window_, kSwitchesX, kHeight - 30, tk_.images.NAJDIBARVU(192, 192, 255),
                         tk_.images.NAJDIBARVU(64, 64, 64), kSwitchesChars, text);
}

void ListScreen::turn_page(int by) {
  const int page = int(ws_.list.page) + by;
  if (page < 0 || page >= int(ws_.list.pages)) return;
  ws_.list.page = uint16_t(page);
  show_page();
}

void ListScreen::open_highlighted() {
  const toolkit::Seznam& list = tk_.seznam;
  const int at = list.highlighted();
  if (at < 0 || at >= list.PRVKU()) return;
  const toolkit::TPrvek& e = list.SEZNAM[size_t(at)];
  open_card(f_, ws_, line_order(e.SPEC), e.NAZEV);
}

void ListScreen::run() {
  tk_.okna.SMAZOKNA();
  const int32_t h = tk_.okna.VYTVOROKNO(-1, -1, kWidth, kHeight, false, "vyroba", "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  install_columns(f_);

  // A button only notes what it asks for; the loop below does it, outside the button poll.
  auto act = [this](std::function<void()> a) { return [this, a] { action_ = a; }; };
  auto button = [&](const char* picture, std::function<void()> a, int32_t x, uint8_t key,
                    int32_t width = 50) {
    toolkit::picture_button(tk_, window_, picture, act(std::move(a)), x, -10, key, width);
  };
  button("pomoc.bmp", [this] { f_.help(); }, 10, kF1);
  button("budiz.bmp", [this] { f_.request_screen(kScreenMenu); }, -10, kEscape);
  button("nahoru.bmp", [this] { tk_.seznam.SEZNAMNAHORU(); }, 70, kUp, 22);
  button("dolu.bmp", [this] { tk_.seznam.SEZNAMDOLU(); }, 100, kDown, 22);
  button("stranap.bmp", [this] { turn_page(-1); }, 130, kLeft);
  button("stranad.bmp", [this] { turn_page(+1); }, 185, kRight);
  if (may(kRightOpenProgram)) button("otevri.bmp", [this] { open_highlighted(); }, 245, kEnter);
  button("hledej.bmp", [this] { f_.request_screen(kScreenSearch); }, 305, kCtrlH);
  draw_headings(f_, window_);

  if (!ws_.PONECHATKRITERIA) {
    ws_.JENDNES = true;
    ws_.VSECHNY = true;
    ws_.KRITERIA = production_criteria(f_.client().conn.clock().now().datum(), true, true,
                                       f_.info().MOJEID);
  }
  show_switches();
  if (ws_.NACISTZNOVU) {
    ws_.NACISTZNOVU = false;
    fetch();
  }
  if (!f_.screen_left()) show_page();

  while (!f_.screen_left()) {
    f_.event_step();
    if (action_ && !f_.screen_left()) {
      std::function<void()> a = std::move(action_);
      action_ = nullptr;
      a();
    }
  }
}

}  // namespace

void build_list(Frame& f, Workspace& ws) {
  ListScreen s(f, ws);
  s.run();
}

}  // namespace ksv::client::production
