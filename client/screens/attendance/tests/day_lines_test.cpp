// Day lines: the figures of ordinary days, forgotten stamps, the overnight rule and the list entry.
#include "client/screens/attendance/day_lines.h"

#include <gtest/gtest.h>

#include "client/screens/attendance/tests/records.h"

namespace ksv::client::attendance {
namespace {

using test_records::day;

DayLine only_line(const TDoch& r) {
  return compute_day_line(r, nullptr, nullptr);
}

TEST(DayLine, DayWithLunchBreak) {
  DayLine l = only_line(day(5, 5, 2026, {{"8:00", "12:00"}, {"12:30", "16:30"}}));
  EXPECT_EQ(l.presence, 510);  // presence spans the break
  EXPECT_EQ(l.pause, 30);
  EXPECT_EQ(l.penalty, 0);
  EXPECT_EQ(l.first, (HourMinute{8, 0}));
  EXPECT_EQ(l.last, (HourMinute{16, 30}));
  EXPECT_EQ(credited_minutes(l), 480);
}

TEST(DayLine, ForgottenStamps) {
  // A departure with no arrival costs a quarter of an hour, but not in the first stay.
  DayLine late = only_line(day(5, 5, 2026, {{"8:00", "12:00"}, {"12:30", "16:30"}, {"", "17:00"}}));
  EXPECT_EQ(late.penalty, 15);
  EXPECT_EQ(late.presence, 510);
  EXPECT_EQ(late.last, (HourMinute{16, 30}));
  DayLine first = only_line(day(5, 5, 2026, {{"", "6:00"}, {"8:00", "16:00"}}));
  EXPECT_EQ(first.penalty, 0);

  // A second arrival with no departure before it is a 15-minute break; presence then runs from
  // that arrival.
  DayLine twice = only_line(day(5, 5, 2026, {{"8:00", ""}, {"9:00", "17:00"}}));
  EXPECT_EQ(twice.pause, 15);
  EXPECT_EQ(twice.presence, 480);
  EXPECT_EQ(twice.first, (HourMinute{8, 0}));

  // Seconds count, and minutes are whole: 8:00:50 to 12:00:10 is 239 minutes.
  EXPECT_EQ(only_line(day(5, 5, 2026, {{"8:00:50", "12:00:10"}})).presence, 239);
}

TEST(DayLine, ArrivalInTheFirstHourAfterMidnight) {
  // Hour 0 is a time like any other: the first arrival stays 00:30 and the second stay is a
  // stay after a break, not a new first arrival.
  DayLine l = only_line(day(6, 5, 2026, {{"0:30", "8:00"}, {"12:00", "16:00"}}));
  EXPECT_EQ(l.first, (HourMinute{0, 30}));
  EXPECT_EQ(l.pause, 240);
  EXPECT_EQ(l.presence, 930);
  EXPECT_EQ(l.last, (HourMinute{16, 0}));
}

TEST(DayLine, EmptyDay) {
  DayLine l = only_line(day(6, 5, 2026, {}));
  EXPECT_EQ(l, (DayLine{TDatum{6, 5, 2026}}));
}

TEST(DayLines, NightShiftTakesTheNextMorningsDeparture) {
  std::vector<DayLine> lines =
      build_day_lines({day(5, 5, 2026, {{"22:00", ""}}), day(6, 5, 2026, {{"", "6:00"}})}, nullptr);
  ASSERT_EQ(lines.size(), 1u);  // the morning's record is used up by the night
  EXPECT_EQ(lines[0].presence, 119 + 360);
  EXPECT_EQ(lines[0].first, (HourMinute{22, 0}));
  EXPECT_EQ(lines[0].last, (HourMinute{6, 0}));
}

TEST(DayLines, NightShiftKeepsTheRestOfTheNextDay) {
  // The morning's departure ends the night; the stay later that day is the day's own line.
  std::vector<DayLine> lines = build_day_lines(
      {day(5, 5, 2026, {{"22:00", ""}}), day(6, 5, 2026, {{"", "6:00"}, {"14:00", "18:00"}})},
      nullptr);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].presence, 479);
  EXPECT_EQ(lines[1].date.DEN, 6);
  EXPECT_EQ(lines[1].presence, 240);
  EXPECT_EQ(lines[1].first, (HourMinute{14, 0}));
  EXPECT_EQ(lines[1].penalty, 0);
}

TEST(DayLines, ForgottenCheckoutDoesNotSwallowAnotherDay) {
  // Two days later: the open stay ends at midnight and the later day keeps its departure.
  std::vector<DayLine> gap = build_day_lines(
      {day(5, 5, 2026, {{"22:00", ""}}), day(7, 5, 2026, {{"", "6:00"}, {"8:00", "12:00"}})},
      nullptr);
  ASSERT_EQ(gap.size(), 2u);
  EXPECT_EQ(gap[0].presence, 119);
  EXPECT_EQ(gap[0].last, (HourMinute{23, 59}));
  EXPECT_EQ(gap[1].presence, 240);

  // The next day, but opening with an arrival: an ordinary day, left whole.
  std::vector<DayLine> next = build_day_lines(
      {day(5, 5, 2026, {{"8:00", ""}}), day(6, 5, 2026, {{"8:00", "16:00"}})}, nullptr);
  ASSERT_EQ(next.size(), 2u);
  EXPECT_EQ(next[0].presence, 16 * 60 - 1);
  EXPECT_EQ(next[1].presence, 480);
}

TEST(DayLines, ShortStayIsNotANightShift) {
  // A stay of under a minute is a closed stay of 0 minutes, not one running past midnight.
  std::vector<DayLine> lines = build_day_lines({day(5, 5, 2026, {{"8:00:00", "8:00:40"}}),
                                                day(6, 5, 2026, {{"", "6:00"}, {"8:00", "9:00"}})},
                                               nullptr);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].presence, 0);
  EXPECT_EQ(lines[0].last, (HourMinute{8, 0}));
  EXPECT_EQ(lines[1].presence, 60);
}

TEST(DayLines, NightShiftAcrossMonthAndYearEnds) {
  std::vector<DayLine> year = build_day_lines(
      {day(1, 1, 2027, {{"", "5:00"}}), day(31, 12, 2026, {{"23:00", ""}})}, nullptr);
  ASSERT_EQ(year.size(), 1u);
  EXPECT_EQ(year[0].presence, 59 + 300);

  // 2028 is a leap year: 28 February is followed by the 29th, not by 1 March.
  std::vector<DayLine> leap = build_day_lines(
      {day(28, 2, 2028, {{"23:00", ""}}), day(1, 3, 2028, {{"", "5:00"}})}, nullptr);
  ASSERT_EQ(leap.size(), 2u);
  EXPECT_EQ(leap[0].presence, 59);
}

TEST(DayLines, DateOrderHolidaysAndImpossibleDates) {
  TKalendar cal{};
  cal.days[4][0] = 1;  // 1 May
  std::vector<TDoch> reversed;
  for (int d = 10; d >= 1; --d) reversed.push_back(day(d, 5, 2026, {{"8:00", "9:00"}}));
  reversed.push_back(day(31, 4, 2026, {{"8:00", "9:00"}}));  // there is no 31 April
  std::vector<DayLine> lines = build_day_lines(reversed, &cal);
  ASSERT_EQ(lines.size(), 10u);
  for (int d = 1; d <= 10; ++d) EXPECT_EQ(lines[d - 1].date.DEN, d);
  EXPECT_TRUE(lines[0].holiday);
  EXPECT_FALSE(lines[1].holiday);
}

TEST(DayLines, YearJoinedFromMonths) {
  std::vector<std::vector<TDoch>> months(12);
  months[0] = {day(31, 1, 2026, {{"22:00", ""}})};
  months[1] = {day(2, 2, 2026, {{"8:00", "9:00"}}), day(1, 2, 2026, {{"", "6:00"}})};
  months[11] = {day(24, 12, 2026, {{"8:00", "9:00"}})};
  std::vector<DayLine> lines = build_day_lines(join_months(months), nullptr);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].presence, 119 + 360);  // the night crosses into February's list
  EXPECT_EQ(lines[1].date.DEN, 2);
  EXPECT_EQ(lines[2].date.MES, 12);
}

TEST(Credit, HolidayVacationAndClamp) {
  DayLine l{TDatum{1, 5, 2026}};
  l.presence = 10;
  l.pause = 30;
  EXPECT_EQ(credited_minutes(l), 0);  // never below zero
  l.penalty = 25;
  EXPECT_EQ(credited_minutes(l), 5);
  l.vacation = true;
  EXPECT_EQ(credited_minutes(l), 0);
  l.holiday = true;  // a holiday wins over a vacation mark and over what was recorded
  EXPECT_EQ(credited_minutes(l), 480);
}

TEST(ListEntry, ColumnsAndBack) {
  DayLine l{TDatum{5, 5, 2026}, true, false, 15, 30, 510, {8, 0}, {16, 30}};
  EXPECT_EQ(line_name(l), "05.05.2026");
  EXPECT_EQ(line_columns(l), std::string("1\0"
                                         "0\0"
                                         "15\0"
                                         "-30\0"
                                         "510\0"
                                         "08:00\0"
                                         "16:30\0",
                                         27));
  DayLine zero{TDatum{6, 5, 2026}};
  EXPECT_EQ(line_columns(zero), std::string("0\0"
                                            "0\0"
                                            "0\0"
                                            "-0\0"
                                            "0\0"
                                            "00:00\0"
                                            "00:00\0",
                                            23));

  for (const DayLine& d :
       {l, zero, DayLine{TDatum{29, 2, 2028}, false, true, 0, -7, 3, {0, 5}, {23, 59}}}) {
    std::vector<std::string> cols;
    std::string c = line_columns(d);
    for (size_t from = 0, at; (at = c.find('\0', from)) != std::string::npos; from = at + 1)
      cols.push_back(c.substr(from, at - from));
    EXPECT_EQ(line_from_columns(line_name(d), cols), d);
  }
}

TEST(ListEntry, MalformedColumnsRefused) {
  const std::vector<std::string> good = {"0", "0", "0", "-30", "510", "08:00", "16:30"};
  ASSERT_TRUE(line_from_columns("05.05.2026", good));
  EXPECT_FALSE(line_from_columns("31.04.2026", good));
  EXPECT_FALSE(line_from_columns("5.5.2026", good));
  for (size_t i = 0; i < good.size(); ++i) {
    std::vector<std::string> bad = good;
    bad[i] = i < 2 ? "2" : i < 5 ? "1x" : "8";
    EXPECT_FALSE(line_from_columns("05.05.2026", bad)) << i;
  }
  std::vector<std::string> huge = good;
  huge[3] = "-2147483648";  // would overflow when negated
  EXPECT_FALSE(line_from_columns("05.05.2026", huge));
  EXPECT_FALSE(line_from_columns("05.05.2026", {"0", "0", "0"}));
}

}  // namespace
}  // namespace ksv::client::attendance
