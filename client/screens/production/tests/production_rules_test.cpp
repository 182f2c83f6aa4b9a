// The production list's criteria, and what recording pieces does to a program.
#include "client/screens/production/production_rules.h"

#include <gtest/gtest.h>

namespace ksv::client::production {
namespace {

constexpr TDatum kToday{10, 3, 2026};

TEST(ProductionCriteria, TodayIsTheWorkDueForEveryone) {
  const TKriteria k = production_criteria(kToday, true, true, 7);
  EXPECT_EQ(k.mode, 7);
  EXPECT_EQ(k.production, 1);
  EXPECT_EQ(k.without_sample, 1);
  EXPECT_EQ(k.embroider_by.DEN, 10);
  EXPECT_EQ(k.embroider_by.MES, 3);
  EXPECT_EQ(k.embroider_by.ROK, 2026);
  // Neither the day embroidered nor the day the order was made narrows the list.
  EXPECT_EQ(k.embroidered_on.DEN, 0);
  EXPECT_EQ(k.from.DEN, 0);
  EXPECT_EQ(k.to.DEN, 0);
  EXPECT_EQ(k.due.DEN, 0);
  EXPECT_EQ(k.to_embroider, -1);
  for (int32_t id : {k.author, k.material, k.embroidered_by, k.program_author, k.handled_by})
    EXPECT_EQ(id, -1);
}

TEST(ProductionCriteria, AnyDayAndOnlyMine) {
  const TKriteria k = production_criteria(kToday, false, false, 7);
  EXPECT_EQ(k.embroider_by.DEN, 0);
  EXPECT_EQ(k.to_embroider, 7);
}

TEST(Pieces, EmbroideredNeverGoBelowNothing) {
  TProgramZak p{};
  p.KUSUSITI = 3;
  p.VYSIL = -1;
  record_embroidered(p, -5, 7, kToday);
  EXPECT_EQ(p.KUSUSITI, 0);
  EXPECT_EQ(p.VYSIL, 7);
  EXPECT_EQ(p.VYSITOKDY.DEN, 10);
  EXPECT_EQ(p.VYSITOKDY.ROK, 2026);
  record_embroidered(p, 4, 7, kToday);
  record_embroidered(p, 2, 7, kToday);
  EXPECT_EQ(p.KUSUSITI, 6);
  p.KUSUSITI = 2147483000;
  record_embroidered(p, kMaxTypedPieces, 7, kToday);
  EXPECT_EQ(p.KUSUSITI, 2147483647) << "a count at the limit stays there";
}

TEST(Pieces, HandledTakesTheNumberTypedZeroIncluded) {
  TProgramZak p{};
  p.KUSUMAN = 4;
  record_handled(p, 0, 8, kToday);
  EXPECT_EQ(p.KUSUMAN, 0);
  EXPECT_EQ(p.MANIPULACE, 8);
  EXPECT_EQ(p.MANIPUL.MES, 3);
  const TProgramZak before = p;
  EXPECT_FALSE(record_changed(before, p));
  record_handled(p, 12, 8, kToday);
  EXPECT_TRUE(record_changed(before, p));
}

TEST(Card, SizeInWholeMillimetres) {
  TProgramZak p{};
  p.X = 355;
  p.Y = 200;
  p.STEHU = 5432;
  EXPECT_EQ(size_text(p), "36 x 20 mm (5432st.)");
}

}  // namespace
}  // namespace ksv::client::production
