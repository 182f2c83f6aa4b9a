// Record lists: the list files the server writes for the orders browser, the program list of an
// order and the production list (TSeznamDatabanky records, 892 bytes each), shown one page of
// 4096 records at a time in the toolkit's one list, sorted by a column chosen with the sort
// button and marked under its heading. The client makes the entries and draws their columns
// (list modes 4 to 6): each list has its columns placed and sized to fit its box, numbers stand
// right-aligned, names are cut to their column.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/workspace.h"
#include "protocol/records/orders.h"
#include "toolkit/seznamy.h"
#include "toolkit/toolkit.h"

namespace ksv::client {

constexpr int32_t kPageRecords = toolkit::kListSize;  // records per page: the list's capacity
constexpr int32_t kSortColumns = 7;                   // the name and six columns

// What a list shows of each record, and the mode the list box draws it with.
enum class ListLayout {
  kOrders = 4,      // orders (criteria mode 6)
  kPrograms = 5,    // the programs of the open order (criteria mode 7)
  kProduction = 6,  // the production list (criteria mode 7, released programs of open orders)
};
constexpr int32_t list_mode(ListLayout l) { return int32_t(l); }
// The mode a screen shows the list with: the box leaves the name to the columns (bit 0x80),
// which draw it cut to its column instead of letting it run into the next one.
constexpr int32_t box_mode(ListLayout l) { return list_mode(l) | 0x80; }

// ---- entries -----------------------------------------------------------------------------------

// Widths of the right-aligned number fields: the list sorts texts byte by byte, and numbers
// padded on the left to one width sort as numbers.
constexpr int kCountWidth = 4;   // programs of an order
constexpr int kStateWidth = 2;   // a program's state flags, 0 to 15
constexpr int kStitchWidth = 8;  // stitches of a program
// v right-aligned in width characters (never cut).
std::string right_aligned(int32_t v, int width);

// Whether the layout makes an entry of the record: an order needs its number, a program its
// code; the production list takes only programs released to production, neither they nor their
// order closed.
bool listed(const TSeznamDatabanky& r, ListLayout layout);

// The list entry of a record: its name and its fields, each ended by code 0; nothing when the
// layout leaves the record out.
//   orders:     CISLO; DATUM, customer (10), PROGRAMU, VYSIT, TERMIN, UZAVRENA 0/1
//   programs:   KOD; material (13), placement, material text (10), the state UZAVRENO +
//               2 VYROBNI + 4 VZOREK + 8 SCHVALENO, "WxH" in millimetres, STEHU
//   production: KOD; customer (16), material text (32), material (32), placement (10), the
//               operator MASIT (10); then, not shown, the order number the card opens
// Material, placement and user names come from the workspace's caches: "-" where none is set,
// "???" for an id the catalogue does not know.
std::optional<toolkit::TPrvek> list_entry(const TSeznamDatabanky& r, ListLayout layout,
                                          const Workspace& ws);

// Field n (from 0) of an entry's fields; "" when it has fewer.
std::string entry_field(const std::string& spec, int n);
// The order number a production entry belongs to.
std::string production_order(const toolkit::TPrvek& e);

// ---- pages -------------------------------------------------------------------------------------

// Pages a list of `records` records fills; at least 1.
uint16_t page_count(int32_t records);

struct ListPage {
  int32_t records = 0;                  // in the whole file
  std::vector<TSeznamDatabanky> lines;  // those of the page asked for
};
// Reads page `page` of a list file. A page is its 4096 records, the ones left out included:
// reading on to fill the list would show the first records of the next page on this one as
// well. A page past the end is empty; a missing file (or no name) an empty list; a torn last
// record is left out.
ListPage read_list_page(const std::string& path, uint16_t page);

// Fills the list with the entries of a page and sorts it by `sort_column` (none when negative).
void fill_list(toolkit::Seznam& list, const ListPage& page, ListLayout layout, const Workspace& ws,
               int32_t sort_column);

// Fills the list with page ws.list.page of the list file at `path` (ws.list.file's), sorted by
// the workspace's sort column; sets the numbers of records and of pages, and moves back to the
// last page when the file no longer reaches the one on record.
void build_page(toolkit::Seznam& list, const std::string& path, ListLayout layout, Workspace& ws);

// The page buttons: true when there was a page to move to.
bool next_page(ListState& s);
bool previous_page(ListState& s);

// The sort button: the next column (0 to 6, then 0 again); the column before it, -1 at first.
int32_t advance_sort(ListState& s);

// ---- drawing -----------------------------------------------------------------------------------

// Where column c (0 the name) of a layout starts inside the list's box and how wide it is;
// dates, names and numbers need different widths, so the columns are not all alike. A column
// the layout does not have is 0 wide.
int32_t column_x(ListLayout layout, int column);
int32_t column_width(ListLayout layout, int column);
// The columns a layout shows, the name included.
int columns_of(ListLayout layout);

// The column headings (the lines of the text key) over a list whose box starts at `list_x`
// inside the window; `y` is the headings' foot.
void draw_headings(toolkit::Toolkit& tk, int window, ListLayout layout, int32_t list_x,
                   const std::string& key, int32_t y);
// The yellow line under the heading of `column` at `y`; the other headings' lines are wiped.
void draw_sort_marker(toolkit::Toolkit& tk, int window, ListLayout layout, int32_t list_x,
                      int32_t column, int32_t y);

// Draws the name and the columns of an entry of the modes 4 to 6 (installed as
// Seznam::client_columns); the box is to be shown with box_mode().
void draw_record_columns(draw::Graph& g, int mode, const toolkit::TPrvek& e, int offset,
                         int row_top);

}  // namespace ksv::client
