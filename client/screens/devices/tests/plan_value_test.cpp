// The week plan's values as the server reads them and as the plan screen writes them.
#include <gtest/gtest.h>

#include "client/screens/devices/plan_value.h"

namespace ksv::client::devices {
namespace {

TEST(PlanValue, ReadsLikeTheServer) {
  const Series a = decode_series(-20130);
  EXPECT_EQ(a.X * 10000 + a.Y * 100 + a.Z, 20130);
  EXPECT_EQ(a.X, 2);
  EXPECT_EQ(a.Y, 1);
  EXPECT_EQ(a.Z, 30);
  const Series b = decode_series(-7);
  EXPECT_EQ(b.X * 100 + b.Y * 10 + b.Z, 115);
  const Series c = decode_series(-30);
  EXPECT_EQ(c.X * 1000 + c.Y * 100 + c.Z, 1130);
  const Series d = decode_series(-1234);  // four digits: X stays 1, "12" is Y
  EXPECT_EQ(d.X * 10000 + d.Y * 100 + d.Z, 11234);
}

TEST(PlanValue, EveryEncodedSeriesReadsBackAndHasFiveDigits) {
  for (int64_t x : {1, 2, 9, 10, 99, 150, 214747})
    for (int64_t y = 1; y <= 99; y += 7)
      for (int64_t z : {0, 1, 5, 30, 99}) {
        const std::optional<int32_t> v = encode_series(x, y, z);
        ASSERT_TRUE(v) << x << "/" << y << "/" << z;
        EXPECT_LE(*v, -10000);  // never one to four digits
        const Series s = decode_series(*v);
        EXPECT_EQ(s.X, x);
        EXPECT_EQ(s.Y, y);
        EXPECT_EQ(s.Z, z);
      }
  EXPECT_EQ(encode_series(2, 1, 30), -20130);
  EXPECT_FALSE(encode_series(0, 1, 30));
  EXPECT_FALSE(encode_series(2, 0, 30));
  EXPECT_FALSE(encode_series(2, 100, 30));
  EXPECT_FALSE(encode_series(2, 1, 100));
  EXPECT_FALSE(encode_series(2, 1, -1));
  EXPECT_FALSE(encode_series(214749, 1, 1));  // past a LongInt
}

TEST(PlanValue, CellsTypedAndShown) {
  EXPECT_EQ(parse_plan_cell("2/1/30"), -20130);
  EXPECT_EQ(parse_plan_cell("60"), 60);
  EXPECT_EQ(parse_plan_cell(""), 0);
  EXPECT_EQ(parse_plan_cell("-"), 0);
  EXPECT_FALSE(parse_plan_cell("-60"));
  EXPECT_FALSE(parse_plan_cell("1/30"));
  EXPECT_FALSE(parse_plan_cell("2/0/30"));
  EXPECT_FALSE(parse_plan_cell("a/1/3"));
  EXPECT_FALSE(parse_plan_cell("9999999999"));
  EXPECT_EQ(plan_cell_text(-20130), "2/1/30");
  EXPECT_EQ(plan_cell_text(0), "-");
  EXPECT_EQ(plan_cell_text(45), "45");
  for (int32_t v : {-20130, -990199, 0, 45})
    EXPECT_EQ(parse_plan_cell(plan_cell_text(v)), v);
}

TEST(PlanValue, PlansTheServerCannotRunAreRefused) {
  TPlanKamer p{};
  EXPECT_EQ(plan_problem(p), "");
  p.SVATEK = 1;
  EXPECT_EQ(plan_problem(p), "planpomer");
  p.SVATEKINTERVAL = 32;
  EXPECT_EQ(plan_problem(p), "");
  p.NAHODNE = 1;
  p.TYDEN[3][10] = -10130;  // one frame a cycle
  EXPECT_EQ(plan_problem(p), "plannahoda");
  p.TYDEN[3][10] = -130;  // an old short value: read as one frame
  EXPECT_EQ(plan_problem(p), "plannahoda");
  p.TYDEN[3][10] = -20130;
  EXPECT_EQ(plan_problem(p), "");
  p.NAHODNE = 0;
  p.TYDEN[3][10] = -10130;
  EXPECT_EQ(plan_problem(p), "");
}

}  // namespace
}  // namespace ksv::client::devices
