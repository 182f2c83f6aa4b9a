// Record lists: entries from TSeznamDatabanky records, pages of the list file, the sort column
// and its marker, and the drawing of the columns.
#include "client/record_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "client/dates.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::client {

namespace {

constexpr int32_t kRecordSize = int32_t(sizeof(TSeznamDatabanky));
constexpr int kColumnPitch = 80;   // list columns stand 80 pixels apart
constexpr int kHeadingRow = 25;    // the column headings' line, below the window's top

std::string cut(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

// Millimetres from tenths, rounded half away from zero.
std::string millimetres(int32_t tenths) { return std::to_string(std::lround(tenths / 10.0)); }

// The fields of an entry's SPEC, in order.
std::vector<std::string> fields_of(const std::string& spec) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t at; (at = spec.find('\0', from)) != std::string::npos; from = at + 1)
    out.push_back(spec.substr(from, at - from));
  return out;
}

// The program's state flags (closed, released to production, sample, sample approved) as the
// list keeps them: one number, 1 + 2 + 4 + 8.
int32_t program_flags(const TSeznamDatabanky& r) {
  return (r.UZAVRENO ? 1 : 0) + 2 * (r.VYROBNI ? 1 : 0) + 4 * (r.VZOREK ? 1 : 0) +
         8 * (r.SCHVALENO ? 1 : 0);
}

// ... and as the list shows them: u-/o- closed or open, v-/n- released to production or not,
// then for a program with a sample V- when it is approved and N- while it is not.
std::string flag_prefixes(int32_t flags) {
  std::string s = (flags & 1) ? "u-" : "o-";
  s += (flags & 2) ? "v-" : "n-";
  if (flags & 4) s += (flags & 8) ? "V-" : "N-";
  return s;
}

}  // namespace

std::optional<toolkit::TPrvek> list_entry(const TSeznamDatabanky& r, ListLayout layout,
                                          const Workspace& ws) {
  std::vector<std::string> f;
  std::string name;
  switch (layout) {
    case ListLayout::kOrders:
      if (r.CISLO.empty()) return std::nullopt;
      name = r.CISLO.str();
      f = {list_date(r.DATUM),  cut(r.ZAKAZNIK.view(), 10), std::to_string(r.PROGRAMU),
           list_date(r.VYSIT),  list_date(r.TERMIN),        r.UZAVRENA ? "1" : "0"};
      break;
    case ListLayout::kPrograms:
      if (r.KOD.empty()) return std::nullopt;
      name = r.KOD.str();
      f = {cut(ws.materials.name_or_unknown(r.MATERIAL), 13),
           ws.placements.name_or_unknown(r.UMISTENI),
           cut(r.POPISMAT.view(), 10),
           std::to_string(program_flags(r)),
           millimetres(r.X) + "x" + millimetres(r.Y),
           std::to_string(r.STEHU)};
      break;
    case ListLayout::kProduction:
      if (r.KOD.empty() || r.UZAVRENA || r.UZAVRENO) return std::nullopt;
      name = r.KOD.str();
      f = {cut(r.ZAKAZNIK.view(), 16), cut(r.POPISMAT.view(), 32),
           cut(ws.materials.name_or_unknown(r.MATERIAL), 32),
           cut(ws.placements.name_or_unknown(r.UMISTENI), 10),
           cut(ws.users.name_or_unknown(r.MASIT), 10)};
      break;
  }
  toolkit::TPrvek e;
  e.NAZEV = name;
  for (std::string& field : f) {
    // A code 0 inside a text would end its field early and shift every column after it.
    for (char& c : field)
      if (c == '\0') c = ' ';
    e.SPEC += field;
    e.SPEC += '\0';
  }
  return e;
}

bool build_page(toolkit::Seznam& list, const std::string& path, ListLayout layout, Workspace& ws) {
  list.SMAZSEZNAM();
  ListState& s = ws.list;
  s.records = 0;
  s.pages = 1;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return false;
  if (std::fseek(in, 0, SEEK_END) == 0) {
    const long size = std::ftell(in);
    s.records = size > 0 ? int32_t(size / kRecordSize) : 0;
  }
  s.pages = uint16_t(std::max<int32_t>(1, (s.records + kPageRecords - 1) / kPageRecords));
  if (s.page >= s.pages) s.page = uint16_t(s.pages - 1);
  // A page past the end (the file shrank) reads nothing rather than failing.
  if (std::fseek(in, long(s.page) * kPageRecords * kRecordSize, SEEK_SET) != 0)
    std::fseek(in, 0, SEEK_END);
  // A page is its 4096 records, the ones left out included: reading on to fill the list would
  // show the first records of the next page on this one as well.
  TSeznamDatabanky r;
  for (int32_t n = 0; n < kPageRecords && std::fread(&r, sizeof r, 1, in) == 1; ++n) {
    std::optional<toolkit::TPrvek> e = list_entry(r, layout, ws);
    if (e) list.PRIDEJPRVEK(e->NAZEV, e->SPEC, false);
  }
  std::fclose(in);
  if (s.sort_column >= 0 && list.PRVKU() > 0) list.SETRIDSEZNAM(s.sort_column, 0, false);
  return true;
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

void draw_sort_marker(toolkit::Toolkit& tk, int window, int32_t previous, int32_t column) {
  if (!tk.okna.is_open(window)) return;
  const toolkit::TOkno& o = tk.okna.OKNO[size_t(window)];
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  const int32_t w = (o.VX - 20) / kSortColumns - 10;
  auto line = [&](int32_t c, uint8_t colour) {
    if (c < 0 || c >= kSortColumns) return;
    const int32_t x = o.X + 10 + c * (w + 10);
    g.SETCOLOR(colour);
    g.LINE(x, o.Y + kHeadingRow, x + w - 1, o.Y + kHeadingRow);
  };
  line(previous, tk.images.NAJDIBARVU(92, 92, 92));
  line(column, tk.images.NAJDIBARVU(255, 255, 0));
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

void draw_record_columns(draw::Graph& g, int mode, const toolkit::TPrvek& e, int offset,
                         int row_top) {
  std::vector<std::string> f = fields_of(e.SPEC);
  const int y = row_top + 16;  // the text line of the row, as the list draws the name
  if (mode == list_mode(ListLayout::kOrders) && f.size() >= 6)
    f[5] = f[5] == "1" ? "Uzavreno" : "Otevreno";
  if (mode == list_mode(ListLayout::kPrograms) && f.size() >= 6) {
    f[3] = flag_prefixes(int32_t(std::strtol(f[3].c_str(), nullptr, 10)));
    f[5] += " st.";
  }
  for (size_t i = 0; i < f.size(); ++i)
    g.OUTTEXTXY(offset + 10 + kColumnPitch * int(i + 1), y, f[i]);
}

}  // namespace ksv::client
