// The attendance report: a text a person prints or reads — the user and the period, the days of
// each month with what each is credited, a block of totals after every month, and the totals of
// the whole period at the end.
#pragma once
#include <array>
#include <string>

#include "client/screens/attendance/sheet_file.h"

namespace ksv::client::attendance {

// Month names, January first, as the texts file gives them (keys "mesic1" to "mesic12").
using MonthNames = std::array<std::string, 12>;

// The report of a sheet, lines ended by "\n", in the program's single-byte code page (the caller
// converts it for the file it writes).
std::string report_text(const Sheet& sheet, const MonthNames& months);

// Upper case of a text in the code page, accented letters included ("březen" → "BŘEZEN").
std::string upper_case(std::string text);

}  // namespace ksv::client::attendance
