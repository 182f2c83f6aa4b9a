// The orders area's record lists: columns, headings, sort marker and filling the one list.
#include "client/screens/orders/list_view.h"

#include <vector>

#include "client/record_list.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::client::orders {

namespace {

std::vector<std::string> fields_of(const std::string& spec) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t end; (end = spec.find('\0', from)) != std::string::npos; from = end + 1)
    out.push_back(spec.substr(from, end - from));
  return out;
}

std::string trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The text cut until it fits `width` pixels in the font now set.
std::string fitted(draw::Graph& g, std::string s, int width) {
  while (!s.empty() && g.TEXTWIDTH(s) > width) s.pop_back();
  return s;
}

// What a column shows for its field: the words of the state columns, the unit of the stitches.
struct Shown {
  std::string text;
  bool right = false;  // numbers stand right-aligned in their column
};

Shown order_column(int n, const std::string& v) {
  switch (n) {
    case 3: return {trimmed(v), true};
    case 6: return {v == "1" ? "Uzavreno" : "Otevreno", false};
    default: return {v, false};
  }
}

Shown program_column(int n, const std::string& v) {
  switch (n) {
    case 4: {
      // Closed or open, released to production or not, a sample or not; a star for approved.
      const int s = std::atoi(v.c_str());
      std::string t = (s & 1) ? "u-" : "o-";
      t += (s & 2) ? "v-" : "n-";
      t += (s & 4) ? "V-" : "N-";
      if (s & 8) t += "*";
      return {t, false};
    }
    case 6: return {trimmed(v) + " st.", true};
    default: return {v, false};
  }
}

}  // namespace

namespace {

// Columns inside the box: where each starts and how wide it is. A date takes some 90 pixels in
// the bold font of the highlighted row; the box ends at 575 (orders) and 605 (programs).
struct Layout {
  int32_t x[kColumns];
  int32_t width[kColumns];
};
constexpr Layout kOrderColumns{{10, 94, 196, 270, 314, 406, 498}, {80, 94, 72, 38, 88, 88, 76}};
constexpr Layout kProgramColumns{{10, 108, 218, 308, 396, 450, 512},
                                 {96, 108, 88, 86, 52, 60, 90}};

const Layout& columns_of(int32_t mode) {
  return (mode & 0x3F) == kProgramListMode ? kProgramColumns : kOrderColumns;
}

}  // namespace

int32_t column_x(int32_t list_mode, int column) { return columns_of(list_mode).x[column]; }

int32_t column_width(int32_t list_mode, int column) {
  return columns_of(list_mode).width[column];
}

void install_columns(Frame& f) {
  toolkit::Toolkit& tk = f.tk();
  tk.seznam.client_columns = [&tk](int mode, const toolkit::TPrvek& e, int offset, int row_top) {
    draw::Graph& g = tk.graph;
    // The other record lists (production) keep the client's common columns.
    if (mode != kOrderListMode && mode != kProgramListMode) {
      draw_record_columns(g, mode, e, offset, row_top);
      return;
    }
    // Rows have their text's foot 16 pixels below the row's top, as the names of other lists.
    const int32_t y = row_top + 16;
    const std::vector<std::string> fields = fields_of(e.SPEC);
    std::string name = e.NAZEV;
    // The name is drawn here, cut to its column, instead of running into the next one.
    g.OUTTEXTXY(offset + column_x(mode, 0), y, fitted(g, name, column_width(mode, 0)));
    for (int n = 1; n < kColumns && n <= int(fields.size()); ++n) {
      const Shown s = mode == kOrderListMode ? order_column(n, fields[size_t(n - 1)])
                                             : program_column(n, fields[size_t(n - 1)]);
      const int32_t w = column_width(mode, n);
      const std::string t = fitted(g, s.text, w);
      const int32_t x = offset + column_x(mode, n);
      g.OUTTEXTXY(s.right ? x + w - g.TEXTWIDTH(t) : x, y, t);
    }
  };
}

void fill_list(Frame& f, Workspace& ws, const ListPage& page, int32_t mode, int32_t sort_column) {
  toolkit::Seznam& list = f.tk().seznam;
  list.SMAZSEZNAM();
  for (const TSeznamDatabanky& r : page.lines) {
    if (skipped(r, mode)) continue;
    const ListLine l = mode == 7 ? program_line(r, ws.materials, ws.placements) : order_line(r);
    if (list.PRIDEJPRVEK(l.name, l.spec, false) == toolkit::kListFull) break;
  }
  if (sort_column >= 0 && list.PRVKU() > 0) list.SETRIDSEZNAM(sort_column, 0, false);
}

void draw_headings(Frame& f, int window, int32_t list_mode, int32_t list_x, const std::string& key,
                   int32_t y) {
  toolkit::Toolkit& tk = f.tk();
  if (!tk.okna.is_open(window)) return;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(window)];
  std::vector<std::string> names{tk.texty.text(key)};
  for (int i = 0; i < tk.texty.RADKU; ++i) names.push_back(tk.texty.TEXTBUFFER[size_t(i)]);
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  g.SETCOLOR(tk.images.NAJDIBARVU(192, 192, 255));
  g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
  g.SETTEXTJUSTIFY(0, 2);
  for (int c = 0; c < kColumns && c < int(names.size()); ++c)
    g.OUTTEXTXY(o.X + list_x + column_x(list_mode, c), o.Y + y,
                fitted(g, names[size_t(c)], column_width(list_mode, c)));
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

void draw_sort_marker(Frame& f, int window, int32_t list_mode, int32_t list_x, int column,
                      int32_t y) {
  toolkit::Toolkit& tk = f.tk();
  if (!tk.okna.is_open(window)) return;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(window)];
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  for (int c = 0; c < kColumns; ++c) {
    g.SETCOLOR(c == column ? tk.images.NAJDIBARVU(255, 255, 0) : tk.images.NAJDIBARVU(64, 64, 64));
    const int32_t x = o.X + list_x + column_x(list_mode, c);
    const int32_t w = column_width(list_mode, c);
    g.LINE(x, o.Y + y, x + w, o.Y + y);
    g.LINE(x, o.Y + y + 1, x + w, o.Y + y + 1);
  }
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

}  // namespace ksv::client::orders
