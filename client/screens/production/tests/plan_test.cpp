// The production plan's report: machine minutes, the order of the days across a year's end,
// deadlines that are no date, and the criteria the plan asks for.
#include "client/screens/production/plan.h"

#include <gtest/gtest.h>

namespace ksv::client::production {
namespace {

TSeznamDatabanky order(const char* number, TDatum due, int32_t programs = 1, int32_t pieces = 0,
                       int32_t stitches = 0) {
  TSeznamDatabanky r{};
  r.CISLO.assign(number);
  r.POPIS.assign("popis");
  r.ZAKAZNIK.assign("Sokol");
  r.TERMIN = due;
  r.PROGRAMU = programs;
  r.X = pieces;
  r.STEHU = stitches;
  r.MATERIAL = -1;
  return r;
}

int32_t standard_speed(int32_t) { return 800; }
const PlanTexts kTexts{"Plan", "Bez terminu:"};

TEST(PlanMinutes, WorkedOutByHand) {
  // 10000 / 2 stitches a program, 60 pieces: 300000 / 6 = 50000, +10 % = 55000, at 800 a minute
  // 68.75, plus one: 69.75.
  EXPECT_EQ(plan_minutes(10000, 2, 60, 800), 70);
  EXPECT_EQ(plan_minutes(10000, 2, 60, 400), 139);  // 137.5 + 1 = 138.5, rounded up
  EXPECT_EQ(plan_minutes(0, 3, 10, 800), 1);         // nothing to stitch: the minute to set up
}

TEST(PlanMinutes, AnOrderWithoutProgramsOrSpeedNeedsNoTime) {
  EXPECT_EQ(plan_minutes(5000, 0, 10, 800), 0);
  EXPECT_EQ(plan_minutes(5000, -1, 10, 800), 0);
  EXPECT_EQ(plan_minutes(5000, 1, 10, 0), 0);
}

TEST(PlanMinutes, LargeFiguresDoNotOverflow) {
  // 2e9 stitches times 2e9 pieces would overflow any 32-bit product.
  EXPECT_GT(plan_minutes(2000000000, 1, 2000000000, 800), int64_t(1) << 40);
}

TEST(PlanLine, HasTheReportsColumns) {
  TSeznamDatabanky r = order("Z7", {1, 2, 2026}, 2, 60, 10000);
  EXPECT_EQ(plan_line(r, 800), "       Z7 (popis),        60 kusu (70 min.) - Sokol");
  r.UZAVRENA = 1;
  EXPECT_EQ(plan_line(r, 800), "       Z7 (popis),        60 kusu (70 min.) - Sokol   HOTOVO");
}

TEST(PlanReport, DaysRunOnAcrossTheYearsEnd) {
  const std::vector<TSeznamDatabanky> lines = {
      order("C", {15, 1, 2026}), order("A", {31, 12, 2025}), order("B", {1, 1, 2026}),
      order("A2", {31, 12, 2025})};
  EXPECT_EQ(plan_report(lines, standard_speed, kTexts),
            "Plan\n\n\n"
            "31.12.2025:\n"
            "       A (popis),         0 kusu (1 min.) - Sokol\n"
            "       A2 (popis),         0 kusu (1 min.) - Sokol\n"
            "01.01.2026:\n"
            "       B (popis),         0 kusu (1 min.) - Sokol\n"
            "15.01.2026:\n"
            "       C (popis),         0 kusu (1 min.) - Sokol\n");
}

TEST(PlanReport, DeadlinesThatAreNoDateComeLastAndTheReportEnds) {
  const std::vector<TSeznamDatabanky> lines = {
      order("BAD", {40, 1, 2025}), order("NONE", {0, 0, 0}), order("M13", {1, 13, 2025}),
      order("OK", {2, 1, 2025}), order("EMPTY", {5, 1, 2025}, 0, 5, 100)};
  EXPECT_EQ(plan_report(lines, standard_speed, kTexts),
            "Plan\n\n\n"
            "02.01.2025:\n"
            "       OK (popis),         0 kusu (1 min.) - Sokol\n"
            "05.01.2025:\n"
            "       EMPTY (popis),         5 kusu (0 min.) - Sokol\n"
            "Bez terminu:\n"
            "       BAD (popis),         0 kusu (1 min.) - Sokol\n"
            "       NONE (popis),         0 kusu (1 min.) - Sokol\n"
            "       M13 (popis),         0 kusu (1 min.) - Sokol\n");
}

TEST(PlanReport, EachLineUsesItsMaterialsSpeedAndEmptyListsGiveTheHeadingAlone) {
  TSeznamDatabanky slow = order("S", {3, 3, 2026}, 2, 60, 10000);
  slow.MATERIAL = 4;
  const auto speed = [](int32_t m) { return m == 4 ? 400 : 800; };
  EXPECT_NE(plan_report({slow}, speed, kTexts).find("(139 min.)"), std::string::npos);
  EXPECT_EQ(plan_report({}, speed, kTexts), "Plan\n\n\n");
  // A line without an order number is no order.
  EXPECT_EQ(plan_report({order("", {3, 3, 2026})}, speed, kTexts), "Plan\n\n\n");
}

TEST(PlanCriteria, OrdersWithAllTheirProgramsWhateverDayTheyWereMade) {
  TKriteria search;
  search.mode = 7;
  search.from = {10, 3, 2026};
  search.to = {10, 3, 2026};
  search.customer.assign("Sokol");
  search.due = {1, 4, 2026};
  const TKriteria k = plan_criteria(search);
  EXPECT_EQ(k.mode, 6);
  EXPECT_EQ(k.programs, 1);
  EXPECT_EQ(k.without_sample, 1);
  EXPECT_EQ(k.production, 1);
  EXPECT_EQ(k.from.DEN, 0);
  EXPECT_EQ(k.to.DEN, 0);
  // What the user searched for is kept.
  EXPECT_EQ(k.customer.str(), "Sokol");
  EXPECT_EQ(k.due.DEN, 1);
}

}  // namespace
}  // namespace ksv::client::production
