// The attendance screen's requests: calendar (22) and month lists (35, then the file it names).
#include "client/screens/attendance/fetch.h"

#include "client/frame.h"
#include "client/screens/attendance/day_lines.h"
#include "protocol/record_file.h"

namespace ksv::client::attendance {

namespace {

constexpr uint8_t kGetCalendar = 22, kGetMonth = 35;
constexpr int32_t kCalendarReply = 238, kMonthReply = 250;
constexpr int kMonthSlot = 300, kYearSlot = 304;

}  // namespace

bool valid_month(int month) {
  return month >= 1 && month <= 12;
}
bool valid_year(int year) {
  return year >= kFirstYear && year <= kLastYear;
}

TKalendar fetch_calendar(Frame& f) {
  TKalendar calendar{};
  f.compose();
  if (f.request(kGetCalendar, "readkalend") == kCalendarReply)
    f.client().conn.BUFFERPACKET.get_raw(slot::kText, &calendar, sizeof calendar);
  return calendar;
}

std::optional<std::vector<TDoch>> fetch_month(Frame& f, const std::string& user, int month,
                                              int year) {
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, user);
  b.ULOZCISLO(kMonthSlot, month);
  b.ULOZCISLO(kYearSlot, year);
  if (f.request(kGetMonth, "getdoch") != kMonthReply) return std::nullopt;
  f.status("recvfile");
  const std::string name = f.download_named_in_reply();
  f.status("wait");
  if (name.empty()) return std::nullopt;
  return read_records<TDoch>(f.temp_path(name));
}

std::optional<std::vector<TDoch>> fetch_year(Frame& f, const std::string& user, int year) {
  std::vector<std::vector<TDoch>> months;
  for (int m = 1; m <= 12; ++m) {
    std::optional<std::vector<TDoch>> month = fetch_month(f, user, m, year);
    if (!month) return std::nullopt;
    months.push_back(std::move(*month));
  }
  return join_months(months);
}

}  // namespace ksv::client::attendance
