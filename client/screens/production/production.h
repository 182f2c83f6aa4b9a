// The production area: the list of work for the embroidery machines (8) with its search (82),
// the production card of one program (81) and the machine-time plan written as a report (75).
#pragma once
#include <cstdint>
#include <string>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client::production {

constexpr int32_t kScreenList = 8;
constexpr int32_t kScreenPlan = 75;
constexpr int32_t kScreenCard = 81;
constexpr int32_t kScreenSearch = 82;
constexpr int32_t kScreenOrders = 7;

// Rights of the production screens (bits of MOJEPRAVA). Recording pieces needs only the right
// to open programs, which the card needs anyway: the operators at the machines record what they
// embroidered. Saving the program as the program editor does needs its saving right.
constexpr int kRightOpenProgram = 0;
constexpr int kRightSaveProgram = 1;

void build_list(Frame& f, Workspace& ws);
void build_search(Frame& f, Workspace& ws);
void build_card(Frame& f, Workspace& ws);
void build_plan(Frame& f, Workspace& ws);

// Opens the order (17) and the program (40) of a list line, fetching "info.dat" into AKTZAKAZKA,
// "prog.dat" into AKTPROGRAM and the program's stitch file, and asks for the card. When any
// step fails, only what was opened is closed again and the list stays; false then.
bool open_card(Frame& f, Workspace& ws, const std::string& order, const std::string& program);

}  // namespace ksv::client::production
