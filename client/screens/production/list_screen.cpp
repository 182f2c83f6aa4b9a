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
constexpr int32_t kSwitchesX = 365, kSwitchesChars = 20;

class ListScreen {
 public:
  ListScreen(Frame& f, Workspace& ws) : f_(f), ws_(ws), tk_(f.tk()) {}
  void run();

 private:
  bool may(int bit) const { return TESTBIT(f_.info().MOJEPRAVA, bit); }
  void fetch();
  void name_people(const ListPage& page);
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
void ListScreen::name_people(const ListPage& page) {
  bool materials = false, placements = false;
  std::set<int32_t> operators;
  for (const TSeznamDatabanky& r : page.lines) {
    if (!listed(r, ListLayout::kProduction)) continue;
    materials |= r.MATERIAL != -1 && !ws_.materials.find(r.MATERIAL);
    placements |= r.UMISTENI != -1 && !ws_.placements.find(r.UMISTENI);
    if (r.MASIT != -1) operators.insert(r.MASIT);
  }
  if (materials) fetch_materials(f_, ws_);
  if (placements) fetch_placements(f_, ws_);
  for (int32_t id : operators) user_name_of(f_, ws_, id);
}

void ListScreen::show_page() {
  const ListPage page = read_list_page(f_.temp_path(ws_.list.file), ws_.list.page);
  ws_.list.records = page.records;
  ws_.list.pages = page_count(ws_.list.records);
  name_people(page);
  toolkit::Seznam& list = tk_.seznam;
  fill_list(list, page, ListLayout::kProduction, ws_, 0);
  tk_.okna.PRVNISEZNAMVOKNE(window_, kListX, kListY, kListW, kListH,
                            kListH / (tk_.texty.AKTVELFONTU + 1) - 1,
                            box_mode(ListLayout::kProduction));
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
    if (e.NAZEV != code || production_order(e) != order) continue;
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
  open_card(f_, ws_, production_order(e), e.NAZEV);
}

void ListScreen::run() {
  tk_.okna.SMAZOKNA();
  const int32_t h = tk_.okna.VYTVOROKNO(-1, -1, kWidth, kHeight, false, "vyroba", "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;

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
  draw_headings(tk_, window_, ListLayout::kProduction, kListX, "sloupvyr", kHeadingsY);

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
