// The orders area's lists on the one list of the toolkit: the order lines (list mode 4) and the
// program lines (mode 5), the columns drawn for them, the headings with the sort marker, and a
// page of a list file turned into list entries.
#pragma once
#include <cstdint>
#include <string>

#include "client/frame.h"
#include "client/screens/orders/order_rules.h"
#include "client/workspace.h"

namespace ksv::client::orders {

constexpr int32_t kOrderListMode = 4;
constexpr int32_t kProgramListMode = 5;
constexpr int kColumns = 7;  // the name and six columns

// Where column c (0 the name) of a list of that mode starts inside the list's box, and how wide
// it is. Dates, names and numbers need different widths, so the columns are not all alike.
int32_t column_x(int32_t list_mode, int column);
int32_t column_width(int32_t list_mode, int column);

// Draws the mode 4 and 5 columns of the one list from now on.
void install_columns(Frame& f);

// Fills the one list with the lines of a page (records without a name left out) and sorts it by
// `sort_column` (none when negative). `mode` is the search mode the page came from (6 or 7).
void fill_list(Frame& f, Workspace& ws, const ListPage& page, int32_t mode, int32_t sort_column);

// The column headings (the lines of the text key) over a list whose box starts at `list_x`
// inside the window; `y` is the headings' baseline.
void draw_headings(Frame& f, int window, int32_t list_mode, int32_t list_x, const std::string& key,
                   int32_t y);
// The yellow line under the heading of `column`; the other headings' lines are wiped.
void draw_sort_marker(Frame& f, int window, int32_t list_mode, int32_t list_x, int column,
                      int32_t y);

}  // namespace ksv::client::orders
