// The production plan: the orders of a search by their deadline, each with its pieces and an
// estimate of the machine time, as the text report "zaklist.txt". Plain functions over the
// search lines, so the report can be checked without a screen or a server.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/datetime.h"
#include "protocol/records/criteria.h"
#include "protocol/records/orders.h"

namespace ksv::client::production {

// What the plan asks the server for: the search in force (so a plan follows what the user
// searched), as orders (mode 6) with their programs examined — every program, sample or not,
// released or not, so the sums hold all the work — and without the range of the day the order
// was made in, which the orders browser sets to today.
TKriteria plan_criteria(const TKriteria& search);

// Minutes on the machine for an order line: STEHU / PROGRAMU stitches per program, times X
// pieces, one sixth of it, with a tenth added for changing the pieces, at `speed` stitches a
// minute, plus a minute, rounded. An order without programs (or a speed of 0) needs 0 minutes.
int64_t plan_minutes(int32_t stitches, int32_t programs, int32_t pieces, int32_t speed);

// A deadline the plan can place on a day: day 1-31, month 1-12 and a year.
bool dated(const TDatum& d);

struct PlanTexts {
  std::string heading;  // the report's first line
  std::string undated;  // the heading of the orders whose deadline is no date
};

// The report in the workshop's code page, lines ended by LF: the heading and two empty lines,
// then the dated orders by (year, month, day), each day under "dd.mm.yyyy:", then those without
// a date under their own heading. Orders keep their list order within a day. `speed` gives the
// stitches a minute of an order line's material.
std::string plan_report(const std::vector<TSeznamDatabanky>& lines,
                        const std::function<int32_t(int32_t material)>& speed,
                        const PlanTexts& texts);

// One line of the report (without its LF).
std::string plan_line(const TSeznamDatabanky& r, int32_t speed);

}  // namespace ksv::client::production
