// Sheets on the user's computer: the ".dch" text round trip, refusing foreign text, ".adc" import.
#include "client/screens/attendance/sheet_file.h"

#include <gtest/gtest.h>

#include "client/screens/attendance/tests/records.h"
#include "protocol/record_file.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::client::attendance {
namespace {

using test_records::day;

Sheet sample() {
  Sheet s;
  s.user = "Nov\xE1k\tB\\c";  // an accented name in the code page, with a tab and a backslash
  s.period = month_period(5, 2026);
  s.lines =
      build_day_lines({day(1, 5, 2026, {{"8:00", "16:00"}}),
                       day(4, 5, 2026, {{"8:00", "12:00"}, {"12:30", "16:30"}, {"", "17:00"}})},
                      nullptr);
  s.lines[0].holiday = true;
  s.lines[1].vacation = true;
  return s;
}

TEST(DchFile, TextIsReadableAndOpensBackByteForByte) {
  const Sheet s = sample();
  const std::string text = dch_text(s);
  EXPECT_EQ(text,
            "DCH1\tNov\xE1k\\tB\\\\c\t1.5.2026 - 31.5.2026\n"
            "01.05.2026\t0\t1\t0\t-0\t480\t08:00\t16:00\n"
            "04.05.2026\t1\t0\t15\t-30\t510\t08:00\t16:30\n");
  std::optional<Sheet> back = parse_dch(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, s);
  EXPECT_EQ(dch_text(*back), text);

  ksv::testing::TempDir dir;
  ASSERT_TRUE(save_dch(dir.path() + "may.dch", s));
  std::optional<Sheet> loaded = load_dch(dir.path() + "may.dch");
  ASSERT_TRUE(loaded);
  ASSERT_TRUE(save_dch(dir.path() + "again.dch", *loaded));
  EXPECT_EQ(read_whole_file(dir.path() + "again.dch"), read_whole_file(dir.path() + "may.dch"));

  Sheet empty{"Eva", "", {}};
  EXPECT_EQ(parse_dch(dch_text(empty)), empty);
}

TEST(DchFile, ForeignTextIsRefused) {
  const std::string good = dch_text(sample());
  EXPECT_FALSE(parse_dch(""));
  EXPECT_FALSE(parse_dch(good.substr(0, good.size() - 1)));  // cut short
  EXPECT_FALSE(parse_dch("DCH2" + good.substr(4)));
  EXPECT_FALSE(parse_dch("DCH1\tEva\\x\t\n"));                                  // unknown escape
  EXPECT_FALSE(parse_dch("DCH1\tEva\t\n\n"));                                   // an empty day line
  EXPECT_FALSE(parse_dch("DCH1\tEva\t\n01.05.2026\t0\t0\t0\t-0\t0\t08:00\n"));  // a column short

  std::string full = "DCH1\tEva\t\n";
  for (size_t i = 0; i < kMaxSheetLines; ++i) full += "01.05.2026\t0\t0\t0\t-0\t0\t00:00\t00:00\n";
  EXPECT_TRUE(parse_dch(full));
  EXPECT_FALSE(parse_dch(full + "01.05.2026\t0\t0\t0\t-0\t0\t00:00\t00:00\n"));

  ksv::testing::TempDir dir;
  EXPECT_FALSE(load_dch(dir.path() + "missing.dch"));
  EXPECT_FALSE(save_dch(dir.path() + "no/such/dir.dch", sample()));
}

TEST(AdcFile, WholeRecordsOnly) {
  ksv::testing::TempDir dir;
  std::vector<TDoch> recs = {day(2, 5, 2026, {{"8:00", "16:00"}}),
                             day(1, 5, 2026, {{"7:00", "15:00"}})};
  std::string bytes(reinterpret_cast<const char*>(recs.data()), recs.size() * sizeof(TDoch));
  dir.write_file("a.adc", bytes + std::string(70, '\x01'));  // a torn third record
  std::optional<std::vector<TDoch>> read = read_adc(dir.path() + "a.adc");
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 2u);
  std::vector<DayLine> lines = build_day_lines(*read, nullptr);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].date.DEN, 1);
  EXPECT_EQ(period_of_lines(lines), "1.5.2026 - 2.5.2026");

  dir.write_file("big.adc", std::string((kMaxSheetLines + 1) * sizeof(TDoch), '\0'));
  EXPECT_FALSE(read_adc(dir.path() + "big.adc"));
  EXPECT_FALSE(read_adc(dir.path() + "none.adc"));
}

TEST(Period, RunsToTheMonthsLastDay) {
  EXPECT_EQ(month_period(2, 2026), "1.2.2026 - 28.2.2026");
  EXPECT_EQ(month_period(2, 2028), "1.2.2028 - 29.2.2028");
  EXPECT_EQ(month_period(12, 2026), "1.12.2026 - 31.12.2026");
  EXPECT_EQ(year_period(2026), "1.1.2026 - 31.12.2026");
}

}  // namespace
}  // namespace ksv::client::attendance
