// Record lists: the list files the server writes for the orders browser, the program list of an
// order and the production list (TSeznamDatabanky records, 892 bytes each), shown one page of
// 4096 records at a time in the toolkit's one list, sorted by a column chosen with the sort
// button and marked under its heading. The columns are drawn by the client (list modes 4 to 6).
#pragma once
#include <cstdint>
#include <optional>
#include <string>

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
  kProduction = 6,  // the production list (criteria mode 7, open orders and programs only)
};
constexpr int32_t list_mode(ListLayout l) { return int32_t(l); }

// The list entry of a record: its name and its columns, each ended by code 0. Nothing when the
// layout leaves the record out (no order number, no program code, closed for production).
// Material, placement and user names come from the workspace's caches ("???" when unknown).
std::optional<toolkit::TPrvek> list_entry(const TSeznamDatabanky& r, ListLayout layout,
                                          const Workspace& ws);

// Fills the list with page ws.list.page of the list file at `path`, sorted by the workspace's
// sort column (unsorted before the first sort); sets the number of records and of pages. False,
// with an empty list, when the file cannot be read.
bool build_page(toolkit::Seznam& list, const std::string& path, ListLayout layout, Workspace& ws);

// The page buttons: true when there was a page to move to.
bool next_page(ListState& s);
bool previous_page(ListState& s);

// The sort button: the next column (0 to 6, then 0 again); the column before it, -1 at first.
int32_t advance_sort(ListState& s);
// The marker under the heading of the sort column of a window: the previous one overdrawn in
// grey, the new one drawn in yellow (heading row 25 pixels below the window's top).
void draw_sort_marker(toolkit::Toolkit& tk, int window, int32_t previous, int32_t column);

// Draws the columns of the record list modes 4 to 6 (installed as Seznam::client_columns).
void draw_record_columns(draw::Graph& g, int mode, const toolkit::TPrvek& e, int offset,
                         int row_top);

}  // namespace ksv::client
