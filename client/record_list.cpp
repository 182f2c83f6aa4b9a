// Record lists: entries from TSeznamDatabanky records, pages of the list file, the sort column,
// the headings and their marker, and the drawing of the columns.
#include "client/record_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "client/dates.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::client {

namespace {

constexpr int32_t kRecordSize = int32_t(sizeof(TSeznamDatabanky));
constexpr int32_t kNone = -1;  // an id field that names nobody and nothing

std::string cut(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

// Millimetres from tenths, rounded half away from zero.
std::string millimetres(int32_t tenths) { return std::to_string(std::lround(tenths / 10.0)); }

std::string name_of(const NameCache& names, int32_t id) {
  return id == kNone ? std::string("-") : names.name_or_unknown(id);
}

// The program's state flags (closed, released to production, sample, sample approved) as the
// list keeps them: one number, 1 + 2 + 4 + 8.
int32_t program_state(const TSeznamDatabanky& r) {
  return (r.UZAVRENO ? 1 : 0) + 2 * (r.VYROBNI ? 1 : 0) + 4 * (r.VZOREK ? 1 : 0) +
         8 * (r.SCHVALENO ? 1 : 0);
}

// ... and as the list shows them, a letter for each field: u-/o- closed or open (uzavreno,
// otevreno), v-/n- released to production or not, V-/N- a sample or not; a star for approved.
std::string state_prefixes(int32_t s) {
  std::string t = (s & 1) ? "u-" : "o-";
  t += (s & 2) ? "v-" : "n-";
  t += (s & 4) ? "V-" : "N-";
  if (s & 8) t += "*";
  return t;
}

std::string trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// ---- column layouts ----------------------------------------------------------------------------

// A column inside the box. Numbers stand right-aligned; values (numbers, sizes) are drawn whole,
// since a value cut short reads as another value, while names are cut to their column.
struct Column {
  int32_t x;
  int32_t width;
  bool right = false;
  bool whole = false;
};

struct Layout {
  int count;
  Column c[kSortColumns];
};

// Placed for the boxes the screens show them in: a date takes some 90 pixels in the bold font of
// the highlighted row; the highlight ends 10 pixels short of the box (orders and production
// 580 wide, the editor's programs 610).
constexpr Layout kOrderColumns{
    7,
    {{10, 80}, {94, 92}, {190, 68}, {260, 36, true, true}, {302, 92}, {396, 92}, {492, 76}}};
constexpr Layout kProgramColumns{7,
                                 {{10, 96},
                                  {108, 108},
                                  {218, 88},
                                  {308, 86},
                                  {396, 52},
                                  {450, 60, false, true},
                                  {512, 84, true, true}}};
constexpr Layout kProductionColumns{
    6, {{10, 82}, {96, 116}, {216, 130}, {350, 86}, {440, 66}, {510, 60}}};

const Layout* layout_of(int mode) {
  switch (mode & 0x3F) {
    case list_mode(ListLayout::kOrders): return &kOrderColumns;
    case list_mode(ListLayout::kPrograms): return &kProgramColumns;
    case list_mode(ListLayout::kProduction): return &kProductionColumns;
    default: return nullptr;
  }
}

// What column n (from 1) shows of its field: the words of the state columns, the unit of the
// stitches; the padding of the numbers goes, their column aligns them.
std::string shown(int mode, int n, const std::string& v) {
  if (mode == list_mode(ListLayout::kOrders)) {
    if (n == 3) return trimmed(v);
    if (n == 6) return v == "1" ? "Uzavreno" : "Otevreno";
  } else if (mode == list_mode(ListLayout::kPrograms)) {
    if (n == 4) return state_prefixes(int32_t(std::strtol(v.c_str(), nullptr, 10)));
    if (n == 6) return trimmed(v) + " st.";
  }
  return v;
}

// The text cut until it fits `width` pixels in the font now set.
std::string fitted(draw::Graph& g, std::string s, int width) {
  while (!s.empty() && g.TEXTWIDTH(s) > width) s.pop_back();
  return s;
}

}  // namespace

// ---- entries -----------------------------------------------------------------------------------

std::string right_aligned(int32_t v, int width) {
  std::string s = std::to_string(v);
  if (int(s.size()) < width) s.insert(0, size_t(width) - s.size(), ' ');
  return s;
}

bool listed(const TSeznamDatabanky& r, ListLayout layout) {
  switch (layout) {
    case ListLayout::kOrders: return !r.CISLO.empty();
    case ListLayout::kPrograms: return !r.KOD.empty();
    case ListLayout::kProduction:
      // The search also returns programs not yet released (the server leaves out only released
      // ones without its production switch); those have not passed the checks of release and
      // are not work for the machines yet.
      return !r.KOD.empty() && r.VYROBNI && !r.UZAVRENO && !r.UZAVRENA;
  }
  return false;
}

std::optional<toolkit::TPrvek> list_entry(const TSeznamDatabanky& r, ListLayout layout,
                                          const Workspace& ws) {
  if (!listed(r, layout)) return std::nullopt;
  std::vector<std::string> f;
  toolkit::TPrvek e;
  switch (layout) {
    case ListLayout::kOrders:
      e.NAZEV = r.CISLO.str();
      f = {list_date(r.DATUM),
           cut(r.ZAKAZNIK.view(), 10),
           right_aligned(r.PROGRAMU, kCountWidth),
           list_date(r.VYSIT),
           list_date(r.TERMIN),
           r.UZAVRENA ? "1" : "0"};
      break;
    case ListLayout::kPrograms:
      e.NAZEV = r.KOD.str();
      f = {cut(name_of(ws.materials, r.MATERIAL), 13),
           name_of(ws.placements, r.UMISTENI),
           cut(r.POPISMAT.view(), 10),
           right_aligned(program_state(r), kStateWidth),
           millimetres(r.X) + "x" + millimetres(r.Y),
           right_aligned(r.STEHU, kStitchWidth)};
      break;
    case ListLayout::kProduction:
      e.NAZEV = r.KOD.str();
      f = {cut(r.ZAKAZNIK.view(), 16),
           cut(r.POPISMAT.view(), 32),
           cut(name_of(ws.materials, r.MATERIAL), 32),
           cut(name_of(ws.placements, r.UMISTENI), 10),
           cut(name_of(ws.users, r.MASIT), 10),
           r.CISLO.str()};
      break;
  }
  for (std::string& field : f) {
    // A code 0 inside a text would end its field early and shift every column after it.
    std::replace(field.begin(), field.end(), '\0', ' ');
    e.SPEC += field;
    e.SPEC += '\0';
  }
  return e;
}

std::string entry_field(const std::string& spec, int n) {
  size_t from = 0;
  for (int i = 0; i < n; ++i) {
    const size_t end = spec.find('\0', from);
    if (end == std::string::npos) return "";
    from = end + 1;
  }
  const size_t end = spec.find('\0', from);
  return end == std::string::npos ? std::string() : spec.substr(from, end - from);
}

std::string production_order(const toolkit::TPrvek& e) {
  return entry_field(e.SPEC, kProductionColumns.count - 1);
}

// ---- pages -------------------------------------------------------------------------------------

uint16_t page_count(int32_t records) {
  if (records <= 0) return 1;
  return uint16_t((records + kPageRecords - 1) / kPageRecords);
}

ListPage read_list_page(const std::string& path, uint16_t page) {
  ListPage out;
  // No name would open the temp directory itself.
  if (path.empty() || path.back() == '/') return out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long size = std::ftell(f);
    out.records = size > 0 ? int32_t(size / kRecordSize) : 0;
  }
  const long first = long(page) * kPageRecords;
  if (first < out.records && std::fseek(f, first * kRecordSize, SEEK_SET) == 0) {
    const size_t want = size_t(std::min<long>(kPageRecords, out.records - first));
    out.lines.resize(want);
    out.lines.resize(std::fread(out.lines.data(), sizeof(TSeznamDatabanky), want, f));
  }
  std::fclose(f);
  return out;
}

void fill_list(toolkit::Seznam& list, const ListPage& page, ListLayout layout, const Workspace& ws,
               int32_t sort_column) {
  list.SMAZSEZNAM();
  for (const TSeznamDatabanky& r : page.lines) {
    const std::optional<toolkit::TPrvek> e = list_entry(r, layout, ws);
    if (e && list.PRIDEJPRVEK(e->NAZEV, e->SPEC, false) == toolkit::kListFull) break;
  }
  if (sort_column >= 0 && list.PRVKU() > 0) list.SETRIDSEZNAM(sort_column, 0, false);
}

void build_page(toolkit::Seznam& list, const std::string& path, ListLayout layout, Workspace& ws) {
  ListState& s = ws.list;
  ListPage page = read_list_page(path, s.page);
  s.records = page.records;
  s.pages = page_count(s.records);
  if (s.page >= s.pages) {
    s.page = uint16_t(s.pages - 1);
    page = read_list_page(path, s.page);
  }
  fill_list(list, page, layout, ws, s.sort_column);
}

bool next_page(ListState& s) {
  if (s.page + 1 >= s.pages) return false;
  ++s.page;
  return true;
}

bool previous_page(ListState& s) {
  if (s.page == 0) return false;
  --s.page;
  return true;
}

int32_t advance_sort(ListState& s) {
  const int32_t previous = s.sort_column;
  s.sort_column = (s.sort_column + 1) % kSortColumns;
  return previous;
}

// ---- drawing -----------------------------------------------------------------------------------

int columns_of(ListLayout layout) { return layout_of(list_mode(layout))->count; }

int32_t column_x(ListLayout layout, int column) {
  const Layout& l = *layout_of(list_mode(layout));
  return column >= 0 && column < l.count ? l.c[column].x : 0;
}

int32_t column_width(ListLayout layout, int column) {
  const Layout& l = *layout_of(list_mode(layout));
  return column >= 0 && column < l.count ? l.c[column].width : 0;
}

void draw_headings(toolkit::Toolkit& tk, int window, ListLayout layout, int32_t list_x,
                   const std::string& key, int32_t y) {
  if (!tk.okna.is_open(window)) return;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(window)];
  std::vector<std::string> names{tk.texty.text(key)};
  for (int i = 0; i < tk.texty.RADKU; ++i) names.push_back(tk.texty.TEXTBUFFER[size_t(i)]);
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  g.SETCOLOR(tk.images.NAJDIBARVU(192, 192, 255));
  g.SETTEXTSTYLE(4, 0, tk.texty.AKTVELFONTU);
  g.SETTEXTJUSTIFY(0, 2);
  for (int c = 0; c < columns_of(layout) && c < int(names.size()); ++c)
    g.OUTTEXTXY(o.X + list_x + column_x(layout, c), o.Y + y,
                fitted(g, names[size_t(c)], column_width(layout, c)));
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

void draw_sort_marker(toolkit::Toolkit& tk, int window, ListLayout layout, int32_t list_x,
                      int32_t column, int32_t y) {
  if (!tk.okna.is_open(window)) return;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(window)];
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  // Every other column's line is wiped in the window's colour, so only one marker ever shows.
  const uint8_t yellow = tk.images.NAJDIBARVU(255, 255, 0);
  const uint8_t ground = tk.images.NAJDIBARVU(64, 64, 64);
  for (int c = 0; c < columns_of(layout); ++c) {
    g.SETCOLOR(c == column ? yellow : ground);
    const int32_t x = o.X + list_x + column_x(layout, c);
    const int32_t w = column_width(layout, c);
    g.LINE(x, o.Y + y, x + w, o.Y + y);
    g.LINE(x, o.Y + y + 1, x + w, o.Y + y + 1);
  }
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

void draw_record_columns(draw::Graph& g, int mode, const toolkit::TPrvek& e, int offset,
                         int row_top) {
  const Layout* l = layout_of(mode);
  if (!l) return;
  mode &= 0x3F;
  // Rows have their text's foot 16 pixels below the row's top, as the names of other lists.
  const int y = row_top + 16;
  for (int n = 0; n < l->count; ++n) {
    const Column& c = l->c[n];
    std::string t = n == 0 ? e.NAZEV : shown(mode, n, entry_field(e.SPEC, n - 1));
    if (!c.whole) t = fitted(g, t, c.width);
    const int x = offset + c.x;
    g.OUTTEXTXY(c.right ? x + c.width - g.TEXTWIDTH(t) : x, y, t);
  }
}

}  // namespace ksv::client
