// Attendance sheets kept on the user's computer: the ".dch" text file the screen saves and opens
// (a header line with the user and the period, then one line per day line), and the import of
// ".adc" files, which hold raw TDoch records as the server's month lists do.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "client/screens/attendance/day_lines.h"

namespace ksv::client::attendance {

// What the screen shows: whose attendance, over which period, day by day. The user name and the
// period are in the system's single-byte code page, as everywhere inside the program.
struct Sheet {
  std::string user;
  std::string period;
  std::vector<DayLine> lines;

  bool operator==(const Sheet&) const = default;
};

// No sheet holds more lines than the one list can show.
constexpr size_t kMaxSheetLines = 4096;

// The ".dch" text: "DCH1", the user and the period on the first line, then per day the date and
// the seven columns of its list entry, all separated by tabs, every line ended by "\n". A tab,
// line break or backslash inside the user name or period is written as \t, \n, \r or \\.
std::string dch_text(const Sheet& sheet);
// The sheet back from its text; nullopt when the text is not a sheet this program wrote (a bad
// header, a malformed line, more lines than the list holds).
std::optional<Sheet> parse_dch(const std::string& text);

// The file's own versions: false or nullopt when it cannot be written or read.
bool save_dch(const std::string& path, const Sheet& sheet);
std::optional<Sheet> load_dch(const std::string& path);

// The whole TDoch records of an ".adc" file; a piece shorter than a record at its end is left
// out. nullopt when the file cannot be read or holds more records than the list can show.
std::optional<std::vector<TDoch>> read_adc(const std::string& path);

// Period texts: "1.5.2026 - 31.5.2026" for a month (running to the month's real last day),
// "1.1.2026 - 31.12.2026" for a year, and from the first to the last date of some lines (empty
// for none) for an imported file.
std::string month_period(int month, int year);
std::string year_period(int year);
std::string period_of_lines(const std::vector<DayLine>& lines);

}  // namespace ksv::client::attendance
