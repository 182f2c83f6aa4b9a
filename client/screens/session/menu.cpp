// The main menu: a column of picture buttons, the frame's own (help, the server's time, restart)
// merged with the menu entries of the screen table, each present only when the own rights allow
// it. Choosing a screen's entry runs that row's menu action or requests the screen.
#include <algorithm>
#include <functional>
#include <vector>

#include "client/keys.h"
#include "client/screen_table.h"
#include "client/screens/session/session.h"

namespace ksv::client {

namespace {

using namespace keys;

constexpr int32_t kMenuX = 5, kMenuY = 5, kMenuWidth = 70, kMenuHeight = 410;
constexpr int32_t kEntryHeight = 20;

struct Entry {
  const char* picture;
  int32_t y;
  uint8_t key;
  std::function<void()> action;
};

// Where an entry's top lands in the window: a negative offset counts from the bottom edge.
int32_t top_of(int32_t y) { return y >= 0 ? y : kMenuHeight + y - kEntryHeight - 1; }

}  // namespace

void build_menu(Frame& f, Workspace& ws) {
  toolkit::Toolkit& tk = f.tk();
  const TInfoKlient& k = f.info();
  tk.okna.SMAZOKNA();
  ws.on_menu();
  const int32_t h = tk.okna.VYTVOROKNO(kMenuX, kMenuY, kMenuWidth, kMenuHeight, false, "menu", "");
  if (h == toolkit::kNoFreeWindow) return;
  const int w = h >> 8;

  std::vector<Entry> entries;
  entries.push_back({"pomoc.bmp", -10, kF1, [&f] { f.help(); }});
  entries.push_back({"cas.bmp", 240, 'c', [&f] {
                       // The transport sets the machine's clock on the reply, when allowed to.
                       f.compose();
                       f.request(13, "time");
                     }});
  if (admin_name().allows(k.MOJEPRAVA, k.JMENO))
    entries.push_back({"restart.bmp", -45, kCtrlR, [&f] {
                         f.compose();
                         f.request(2, "rest");
                       }});
  for (const ScreenRow& row : screen_table()) {
    const MenuEntry& m = row.menu;
    if (!m.picture || !m.shown.allows(k.MOJEPRAVA, k.JMENO)) continue;
    const int32_t screen = row.number;
    const MenuAction action = m.action;
    entries.push_back({m.picture, m.y, m.key, [&f, &ws, screen, action] {
                         if (action)
                           action(f, ws);
                         else
                           f.request_screen(screen);
                       }});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return top_of(a.y) < top_of(b.y); });

  f.menu_entries.clear();
  for (Entry& e : entries) {
    // A whole command exchange never runs inside the poll that fired the button.
    toolkit::picture_button(f.tk(), w, e.picture, [&f, action = std::move(e.action)] { f.defer(action); }, 0, e.y, e.key);
    f.menu_entries.push_back(e.picture);
  }
}

}  // namespace ksv::client
