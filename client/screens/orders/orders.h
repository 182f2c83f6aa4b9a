// The orders area: the orders browser (7), the order editor (71) and the order search (72), and
// the steps they share — fetching a list by the criteria, opening an order into AKTZAKAZKA.
#pragma once
#include <cstdint>
#include <string>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client::orders {

constexpr int32_t kScreenBrowser = 7;
constexpr int32_t kScreenEditor = 71;
constexpr int32_t kScreenSearch = 72;
constexpr int32_t kScreenProgram = 73;
constexpr int32_t kScreenCalculation = 74;
constexpr int32_t kScreenPlanReport = 75;

// Rights the orders screens test (bits of MOJEPRAVA).
constexpr int kRightNewProgram = 1;
constexpr int kRightOpenOrder = 8;
constexpr int kRightEditOrder = 9;  // create, save and duplicate orders
constexpr int kRightDeleteOrder = 60;

void build_browser(Frame& f, Workspace& ws);
void build_editor(Frame& f, Workspace& ws);
void build_search(Frame& f, Workspace& ws);

// Sends the list request with KRITERIA and fetches the list file it names; the file's name in
// temp/ (ws.list.file), empty when nothing arrived. Page, page count and record count restart.
void fetch_list(Frame& f, Workspace& ws);

// Opens the order on the server (17), fetches its header "info.dat" into AKTZAKAZKA and asks for
// the editor. False when the order could not be opened; the user has been told why.
bool open_order(Frame& f, Workspace& ws, const std::string& number);

// Own rights.
bool has_right(Frame& f, int bit);

}  // namespace ksv::client::orders
