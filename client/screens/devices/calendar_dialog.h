// The holiday calendar: fetched from the server (22), a day toggled per press, a month a page,
// stored back (23). Only the bytes of the days pressed change.
#pragma once
#include <optional>

#include "protocol/records/attendance.h"

namespace ksv::client {
class Frame;
}

namespace ksv::client::devices {

// Days of a month as the calendar page lays them out (29 for February, which a leap year may
// have).
int calendar_days(int month);

// Runs the calendar window until it is closed or the screen is left.
void run_calendar(Frame& f);

}  // namespace ksv::client::devices
