// The attendance report: the text of a two-month sheet worked out by hand, a year's blocks.
#include "client/screens/attendance/report.h"

#include <gtest/gtest.h>

namespace ksv::client::attendance {
namespace {

const MonthNames kMonths = {"leden",
                            "\xFAnor",
                            "b\xF8"
                            "ezen",
                            "duben",
                            "kv\xEC"
                            "ten",
                            "\xE8"
                            "erven",
                            "\xE8"
                            "ervenec",
                            "srpen",
                            "z\xE1\xF8\xED",
                            "\xF8\xEDjen",
                            "listopad",
                            "prosinec"};

DayLine worked(int d, int m, int presence, int penalty, int pause, HourMinute first,
               HourMinute last) {
  return DayLine{
      TDatum{uint16_t(d), uint16_t(m), 2026}, false, false, penalty, pause, presence, first, last};
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Report, TwoMonths) {
  Sheet s{"Eva", "1.4.2026 - 31.5.2026", {}};
  s.lines.push_back(worked(30, 4, 510, 0, 30, {8, 0}, {16, 30}));
  DayLine holiday = worked(1, 5, 0, 0, 0, {0, 0}, {0, 0});
  holiday.holiday = true;
  s.lines.push_back(holiday);
  DayLine vacation = worked(4, 5, 300, 0, 0, {8, 0}, {13, 0});
  vacation.vacation = true;
  s.lines.push_back(vacation);
  s.lines.push_back(worked(5, 5, 500, 15, 30, {7, 45}, {16, 5}));

  EXPECT_EQ(report_text(s, kMonths),
            "*** Eva ***\n"
            "\n\n"
            "OBDOBI: 1.4.2026 - 31.5.2026\n"
            "\n\n\n"
            "* DUBEN 2026 *\n"
            "30.04.2026             480 min.  08:00 - 16:30\n"
            "\n"
            "CELKEM:  480 minut (8 hodin)\n"
            "DOVOLENA: 0 (0)\n"
            "\n\n"
            "-------------------------------\n"
            "\n\n"
            "* KV\xCCTEN 2026 *\n"
            "01.05.2026  SVATEK     480 min.\n"
            "04.05.2026  DOVOLENA     0 min.\n"
            "05.05.2026             485 min.  07:45 - 16:05\n"
            "\n"
            "CELKEM:  965 minut (16 hodin)\n"
            "DOVOLENA: 1 (0)\n"
            "\n\n"
            "===============================\n"
            "\n\n"
            "CELKEM: 1445 minut (24 hodin)\n"
            "DOVOLENA: 1\n");
}

TEST(Report, OneMonthsGrandTotalIsTheMonths) {
  Sheet s{"Eva",
          "",
          {worked(5, 5, 510, 0, 30, {8, 0}, {16, 30}), worked(6, 5, 240, 0, 0, {8, 0}, {12, 0})}};
  const std::string text = report_text(s, kMonths);
  EXPECT_EQ(count(text, "CELKEM:  720 minut (12 hodin)\n"), 2u);
  EXPECT_EQ(count(text, "CELKEM:"), 2u);
  EXPECT_EQ(count(text, "---"), 0u);
}

TEST(Report, YearHasOneBlockPerMonth) {
  Sheet s{"Eva", "1.1.2026 - 31.12.2026", {}};
  for (int m = 1; m <= 12; ++m) {
    DayLine a = worked(1, m, 60, 0, 0, {8, 0}, {9, 0});
    DayLine b = worked(2, m, 0, 0, 0, {0, 0}, {0, 0});
    b.vacation = true;
    s.lines.push_back(a);
    s.lines.push_back(b);
  }
  const std::string text = report_text(s, kMonths);
  EXPECT_EQ(count(text, "CELKEM:   60 minut (1 hodin)\n"), 12u);
  EXPECT_EQ(count(text, "CELKEM:  720 minut (12 hodin)\n"), 1u);
  EXPECT_EQ(count(text, "-------------------------------\n"), 11u);
  EXPECT_EQ(count(text, "\n* "), 12u);
  // The block of a month tells the vacation days taken before it.
  EXPECT_NE(text.find("DOVOLENA: 1 (0)\n"), std::string::npos);
  EXPECT_NE(text.find("DOVOLENA: 1 (11)\n"), std::string::npos);
  EXPECT_NE(text.find("DOVOLENA: 12\n"), std::string::npos);
  // The first month's heading follows the period directly: no block of zeros before it.
  EXPECT_NE(text.find("\n\n\n* LEDEN 2026 *\n01.01.2026"), std::string::npos);
  EXPECT_LT(text.find("* \xDANOR 2026 *"), text.find("* B\xD8"
                                                     "EZEN 2026 *"));
}

TEST(Report, EmptySheet) {
  EXPECT_EQ(report_text(Sheet{"Eva", "x", {}}, kMonths),
            "*** Eva ***\n\n\nOBDOBI: x\n\n\n\n===============================\n\n\n"
            "CELKEM:    0 minut (0 hodin)\nDOVOLENA: 0\n");
}

TEST(UpperCase, CzechLetters) {
  // ž š č ř ď ť ň ě á í é ú ů ý ó in Windows-1250, and what is no letter stays.
  EXPECT_EQ(upper_case("\x9E\x9A\xE8\xF8\xEF\x9D\xF2\xEC\xE1\xED\xE9\xFA\xF9\xFD\xF3 a1\xF7"),
            "\x8E\x8A\xC8\xD8\xCF\x8D\xD2\xCC\xC1\xCD\xC9\xDA\xD9\xDD\xD3 A1\xF7");
}

}  // namespace
}  // namespace ksv::client::attendance
