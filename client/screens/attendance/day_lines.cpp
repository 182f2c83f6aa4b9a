// Day lines: the figures of one day from its twelve stays, the overnight rule, and the list entry.
#include "client/screens/attendance/day_lines.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace ksv::client::attendance {

namespace {

constexpr int32_t kLastSecondOfDay = 23 * 3600 + 59 * 60 + 59;

bool stamped(const TCas& t) {
  return !is_free_slot(t);
}

int32_t seconds_of(const TCas& t) {
  return t.HOD * 3600 + t.MIN * 60 + t.SEC;
}

// Whole minutes from one moment to another, truncated towards zero.
int32_t minutes_from(int32_t from_seconds, int32_t to_seconds) {
  return (to_seconds - from_seconds) / 60;
}

HourMinute hour_minute(const TCas& t) {
  return HourMinute{t.HOD, t.MIN};
}

bool has_any_time(const TDochazka& d) {
  for (int i = 0; i < 12; ++i)
    if (stamped(d.PRICHODY[i]) || stamped(d.ODCHODY[i])) return true;
  return false;
}

// Removes the first stay of a day (the departure the night before has taken), moving the others
// down a slot so that the day's own stays start at slot 0 again.
void drop_first_stay(TDochazka& d) {
  const TDochazka free = empty_dochazka();
  std::copy(std::begin(d.PRICHODY) + 1, std::end(d.PRICHODY), std::begin(d.PRICHODY));
  std::copy(std::begin(d.ODCHODY) + 1, std::end(d.ODCHODY), std::begin(d.ODCHODY));
  d.PRICHODY[11] = free.PRICHODY[11];
  d.ODCHODY[11] = free.ODCHODY[11];
}

// A whole signed decimal number and nothing else ("-0" included). Minutes beyond a few thousand
// years are no day's figures; the bound keeps negation and the report's sums clear of overflow.
std::optional<int32_t> parse_int(const std::string& s) {
  constexpr int32_t kLimit = 1 << 30;
  int32_t v = 0;
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, v);
  if (s.empty() || ec != std::errc() || p != end || v > kLimit || v < -kLimit) return std::nullopt;
  return v;
}

std::optional<uint16_t> parse_word(const char* b, const char* e) {
  unsigned v = 0;
  auto [p, ec] = std::from_chars(b, e, v);
  if (b == e || ec != std::errc() || p != e || v > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(v);
}

}  // namespace

// ---- dates --------------------------------------------------------------------------------------

bool date_less(const TDatum& a, const TDatum& b) {
  if (a.ROK != b.ROK) return a.ROK < b.ROK;
  if (a.MES != b.MES) return a.MES < b.MES;
  return a.DEN < b.DEN;
}

bool same_date(const TDatum& a, const TDatum& b) {
  return a.DEN == b.DEN && a.MES == b.MES && a.ROK == b.ROK;
}

int days_in_month(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool valid_date(const TDatum& d) {
  return d.ROK >= 1000 && d.ROK <= 9999 && d.DEN >= 1 && d.DEN <= days_in_month(d.MES, d.ROK);
}

TDatum next_day(const TDatum& d) {
  TDatum n = d;
  if (++n.DEN > days_in_month(n.MES, n.ROK)) {
    n.DEN = 1;
    if (++n.MES > 12) {
      n.MES = 1;
      ++n.ROK;
    }
  }
  return n;
}

bool DayLine::operator==(const DayLine& o) const {
  return same_date(date, o.date) && vacation == o.vacation && holiday == o.holiday &&
         penalty == o.penalty && pause == o.pause && presence == o.presence && first == o.first &&
         last == o.last;
}

// ---- the month list -----------------------------------------------------------------------------

void sort_records(std::vector<TDoch>& records) {
  std::stable_sort(records.begin(), records.end(),
                   [](const TDoch& a, const TDoch& b) { return date_less(a.DEN, b.DEN); });
}

std::vector<TDoch> join_months(const std::vector<std::vector<TDoch>>& months) {
  std::vector<TDoch> all;
  for (const std::vector<TDoch>& m : months) all.insert(all.end(), m.begin(), m.end());
  return all;
}

// ---- computing the lines ------------------------------------------------------------------------

DayLine compute_day_line(const TDoch& day, const TDoch* next, bool* took_next) {
  if (took_next) *took_next = false;
  DayLine line;
  line.date = day.DEN;
  const TDochazka& t = day.CASY;

  // Whether first, current and last hold a time is kept apart from the time itself: an arrival
  // at 00:30 is a time like any other.
  TCas first{}, current{}, last{};
  bool have_first = false, have_current = false, have_last = false;

  for (int i = 0; i < 12; ++i) {
    const TCas& a = t.PRICHODY[i];
    const TCas& d = t.ODCHODY[i];
    const bool arrived = stamped(a), departed = stamped(d);
    int32_t interval = 0;

    if (arrived) {
      if (!have_first) {
        first = a;
        have_first = true;
      } else {
        // A later arrival: the time since the last departure was a break; with no departure
        // in between the stamp was forgotten and a quarter of an hour stands for it.
        current = a;
        have_current = true;
        line.pause +=
            have_last ? minutes_from(seconds_of(last), seconds_of(current)) : kMissingStampMinutes;
      }
    }

    if (departed) {
      if (!arrived) {
        // A departure with no arrival in its stay is a forgotten arrival stamp, except in the
        // first stay, where it is the end of the night before.
        if (i != 0) line.penalty += kMissingStampMinutes;
      } else if (!have_current) {
        last = d;
        have_last = true;
        interval = minutes_from(seconds_of(first), seconds_of(last));
      } else {
        // Presence runs from the last departure, so it spans the break as the first stay's does.
        interval = minutes_from(seconds_of(have_last ? last : current), seconds_of(d));
        last = d;
        have_last = true;
      }
    } else if (!arrived) {
      // The day's times end here. Someone who arrived but never left within the day worked
      // past midnight: the day runs to 23:59:59 and, when the next day opens with a departure
      // that has no arrival, to that departure.
      if (have_first && !have_last) {
        last = TCas{23, 59, 59};
        have_last = true;
        interval = minutes_from(seconds_of(first), kLastSecondOfDay);
        if (next != nullptr && valid_date(day.DEN) && same_date(next->DEN, next_day(day.DEN)) &&
            stamped(next->CASY.ODCHODY[0]) && !stamped(next->CASY.PRICHODY[0])) {
          last = next->CASY.ODCHODY[0];
          interval += seconds_of(last) / 60;
          if (took_next) *took_next = true;
        }
        line.presence = interval;
      }
      break;
    }
    line.presence += interval;
  }

  if (have_first) line.first = hour_minute(first);
  if (have_last) line.last = hour_minute(last);
  return line;
}

std::vector<DayLine> build_day_lines(std::vector<TDoch> records, const TKalendar* calendar) {
  std::erase_if(records, [](const TDoch& r) { return !valid_date(r.DEN); });
  sort_records(records);
  std::vector<DayLine> lines;
  lines.reserve(records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    bool took = false;
    const TDoch* next = i + 1 < records.size() ? &records[i + 1] : nullptr;
    DayLine line = compute_day_line(records[i], next, &took);
    line.holiday = calendar != nullptr && calendar->is_holiday(line.date.MES, line.date.DEN);
    lines.push_back(line);
    if (took) {
      drop_first_stay(records[i + 1].CASY);
      if (!has_any_time(records[i + 1].CASY)) ++i;
    }
  }
  return lines;
}

int32_t credited_minutes(const DayLine& line) {
  if (line.holiday) return kHolidayMinutes;
  if (line.vacation) return 0;
  return std::max(0, line.presence + line.penalty - line.pause);
}

// ---- list entries -------------------------------------------------------------------------------

std::string date_text(const TDatum& d) {
  char b[32];
  std::snprintf(b, sizeof b, "%02u.%02u.%04u", unsigned(d.DEN), unsigned(d.MES), unsigned(d.ROK));
  return b;
}

std::string clock_text(const HourMinute& c) {
  char b[16];
  std::snprintf(b, sizeof b, "%02u:%02u", unsigned(c.hour), unsigned(c.minute));
  return b;
}

std::optional<TDatum> parse_date(const std::string& text) {
  if (text.size() != 10 || text[2] != '.' || text[5] != '.') return std::nullopt;
  const char* s = text.data();
  std::optional<uint16_t> d = parse_word(s, s + 2), m = parse_word(s + 3, s + 5),
                          y = parse_word(s + 6, s + 10);
  if (!d || !m || !y) return std::nullopt;
  TDatum date{*d, *m, *y};
  if (!valid_date(date)) return std::nullopt;
  return date;
}

std::optional<HourMinute> parse_clock(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const char* s = text.data();
  std::optional<uint16_t> h = parse_word(s, s + colon),
                          m = parse_word(s + colon + 1, s + text.size());
  if (!h || !m) return std::nullopt;
  return HourMinute{*h, *m};
}

std::string line_name(const DayLine& line) {
  return date_text(line.date);
}

std::string line_columns(const DayLine& line) {
  std::string s;
  auto column = [&s](const std::string& text) {
    s += text;
    s += '\0';
  };
  column(line.vacation ? "1" : "0");
  column(line.holiday ? "1" : "0");
  column(std::to_string(line.penalty));
  // The break is shown as what it takes away.
  column(line.pause == 0 ? "-0" : std::to_string(-line.pause));
  column(std::to_string(line.presence));
  column(clock_text(line.first));
  column(clock_text(line.last));
  return s;
}

std::optional<DayLine> line_from_columns(const std::string& name,
                                         const std::vector<std::string>& columns) {
  if (columns.size() != 7) return std::nullopt;
  std::optional<TDatum> date = parse_date(name);
  if (!date) return std::nullopt;
  auto flag = [](const std::string& s) -> std::optional<bool> {
    if (s == "0") return false;
    if (s == "1") return true;
    return std::nullopt;
  };
  std::optional<bool> vacation = flag(columns[0]), holiday = flag(columns[1]);
  std::optional<int32_t> penalty = parse_int(columns[2]), minus_pause = parse_int(columns[3]),
                         presence = parse_int(columns[4]);
  std::optional<HourMinute> first = parse_clock(columns[5]), last = parse_clock(columns[6]);
  if (!vacation || !holiday || !penalty || !minus_pause || !presence || !first || !last)
    return std::nullopt;
  DayLine line;
  line.date = *date;
  line.vacation = *vacation;
  line.holiday = *holiday;
  line.penalty = *penalty;
  line.pause = -*minus_pause;
  line.presence = *presence;
  line.first = *first;
  line.last = *last;
  return line;
}

}  // namespace ksv::client::attendance
