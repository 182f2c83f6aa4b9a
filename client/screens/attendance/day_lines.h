// Day lines of the attendance screen: what one day's raw arrival and departure times come to —
// presence, breaks, penalties, first arrival and last departure — computed on the client from the
// month lists the server sends (TDoch records), and how a line is shown in the list.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/records/attendance.h"

namespace ksv::client::attendance {

// A holiday counts as a full working day, whatever was recorded on it.
constexpr int32_t kHolidayMinutes = 480;
// A stay whose start or end is missing is charged a quarter of an hour.
constexpr int32_t kMissingStampMinutes = 15;

struct HourMinute {
  uint16_t hour = 0, minute = 0;
  bool operator==(const HourMinute&) const = default;
};

struct DayLine {
  TDatum date{};
  bool vacation = false;  // marked by the user on the screen
  bool holiday = false;   // from the holiday calendar
  int32_t penalty = 0;    // minutes
  int32_t pause = 0;      // minutes of breaks (shown and stored with a leading "-")
  int32_t presence = 0;   // minutes from the first arrival to the last departure
  HourMinute first{};     // first arrival; 00:00 when there was none
  HourMinute last{};      // last departure; 00:00 when there was none

  bool operator==(const DayLine& o) const;
};

// ---- dates --------------------------------------------------------------------------------------

bool date_less(const TDatum& a, const TDatum& b);
bool same_date(const TDatum& a, const TDatum& b);
int days_in_month(int month, int year);
// A real calendar date with a four-digit year.
bool valid_date(const TDatum& d);
// The day after d (d must be valid).
TDatum next_day(const TDatum& d);

// ---- the month list -----------------------------------------------------------------------------

// Records in date order; records of one day keep their order. The server hands the days out in
// whatever order its directory listing gives.
void sort_records(std::vector<TDoch>& records);

// A year as twelve month lists, indexed January first, joined into one list in month order.
std::vector<TDoch> join_months(const std::vector<std::vector<TDoch>>& months);

// ---- computing the lines ------------------------------------------------------------------------

// One day's figures. `next` is the record that follows in date order (nullptr when none); when the
// day's last stay was never closed and `next` is the following calendar day opening with a
// departure that has no arrival, that departure ends this day's stay and *took_next is set.
DayLine compute_day_line(const TDoch& day, const TDoch* next, bool* took_next);

// All lines of a month or year list: sorted by date, records with an impossible date left out, a
// departure taken by the previous night's line removed from its own day (a day left with no other
// time has no line of its own). Holidays come from the calendar (nullptr: none known).
std::vector<DayLine> build_day_lines(std::vector<TDoch> records, const TKalendar* calendar);

// The credit of a line in the report: a holiday counts a full working day, a vacation day
// nothing, any other day its presence plus its penalty minus its breaks, never below zero.
int32_t credited_minutes(const DayLine& line);

// ---- list entries -------------------------------------------------------------------------------

// "dd.mm.yyyy"
std::string date_text(const TDatum& d);
// "hh:mm"
std::string clock_text(const HourMinute& c);
// Parses "dd.mm.yyyy" into a valid date.
std::optional<TDatum> parse_date(const std::string& text);
// Parses "hh:mm" (hours of one or more digits, minutes 00–59).
std::optional<HourMinute> parse_clock(const std::string& text);

// The list entry of a line: the name is the date, the columns (each ended by code 0) are the
// vacation mark, the holiday mark, penalty, "-" break, presence, first arrival, last departure.
std::string line_name(const DayLine& line);
std::string line_columns(const DayLine& line);

// The seven columns of an entry as a line, for an entry named by the date `name`; nullopt when a
// column is missing or malformed.
std::optional<DayLine> line_from_columns(const std::string& name,
                                         const std::vector<std::string>& columns);

}  // namespace ksv::client::attendance
