// What the attendance screen asks of the server: the holiday calendar and the day records of one
// user's month (the server's month list, fetched as a file) or of a whole year (twelve month
// lists joined in month order).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "protocol/records/attendance.h"

namespace ksv::client {
class Frame;
}

namespace ksv::client::attendance {

// Months and years the screen asks for.
constexpr int kFirstYear = 2000, kLastYear = 2098;
bool valid_month(int month);
bool valid_year(int year);

// The calendar from the server; every day a working day when the server does not give it.
TKalendar fetch_calendar(Frame& f);

// The records of one user's month; nullopt when the server refused (the error dialog has told
// why) or the list did not arrive.
std::optional<std::vector<TDoch>> fetch_month(Frame& f, const std::string& user, int month,
                                              int year);

// The records of a whole year, January first. A year with any month missing is not a year:
// nullopt then, rather than a report that quietly leaves months out.
std::optional<std::vector<TDoch>> fetch_year(Frame& f, const std::string& user, int year);

}  // namespace ksv::client::attendance
