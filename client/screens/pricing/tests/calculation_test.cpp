// Pricing: classes and tiers at their bounds, the formula's units, the minimum, the extras, the
// settings block kept whole past the bytes the client uses, and saved calculations.
#include "client/screens/pricing/calculation.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ksv::client::pricing {
namespace {

PriceSettings flat(uint16_t value) {
  PriceSettings s;
  for (auto& row : s.table) row.fill(value);
  return s;
}

TEST(Pricing, StitchClassBounds) {
  EXPECT_EQ(stitch_class(0), 0);
  EXPECT_EQ(stitch_class(8500), 0);
  EXPECT_EQ(stitch_class(8501), 1);
  EXPECT_EQ(stitch_class(14500), 1);
  EXPECT_EQ(stitch_class(14501), 2);
  EXPECT_EQ(stitch_class(19500), 2);
  EXPECT_EQ(stitch_class(19501), 3);
  EXPECT_EQ(stitch_class(999999), 3);
  EXPECT_EQ(stitch_class(1000000), 3);
  EXPECT_EQ(stitch_class(50000000), 3);
}

TEST(Pricing, TiersAndTheirRanges) {
  EXPECT_EQ(tier_of(0), 0);
  EXPECT_EQ(tier_of(11), 0);
  EXPECT_EQ(tier_of(12), 1);
  EXPECT_EQ(tier_of(4999), 7);
  EXPECT_EQ(tier_of(5000), 8);
  EXPECT_EQ(tier_of(99999), 8);
  EXPECT_FALSE(tier_of(100000));  // falls in no tier: nothing to add to an order
  EXPECT_FALSE(tier_of(-1));
  EXPECT_EQ(tier_range(0), "0..11");
  EXPECT_EQ(tier_range(1), "12..99");
  EXPECT_EQ(tier_range(8), "5000..99999");
}

TEST(Pricing, TableValueIsTenthsOfACrownPerThousandStitches) {
  PriceSettings s = flat(0);
  s.table[3][0] = 250;
  s.table[3][1] = 250;
  Job job;
  job.stitches = 1000;
  EXPECT_DOUBLE_EQ(prices(job, s)[3], 25.0);
  job.stitches = 10000;  // class 1
  EXPECT_DOUBLE_EQ(prices(job, s)[3], 250.0);
  EXPECT_DOUBLE_EQ(prices(job, s)[2], 0.0);  // other tiers have their own values
}

TEST(Pricing, ExtraStitchesAndExtraPrice) {
  PriceSettings s = flat(100);  // 10 crowns per 1000
  s.extra_stitches = 500;
  s.extra_price = 3;
  Job job;
  job.stitches = 1500;
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 23.0);  // 2000 stitches × 10 + 3
}

TEST(Pricing, MinimumLiftsOnlyWhatIsBelowIt) {
  PriceSettings s = flat(0);
  s.minimum.fill(150);
  s.special_minimum.fill(300);
  Job job;
  job.minimum = true;
  s.extra_price = 0;
  s.extra[0] = 149;  // 14.9
  job.extras[0] = true;
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 15.0);
  s.extra[0] = 150;
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 15.0);
  s.extra[0] = 151;
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 15.1);

  // 14.99 is 149 whole tenths: lifted.
  PriceSettings t = flat(1499);
  t.minimum.fill(150);
  Job j2;
  j2.stitches = 100;
  j2.minimum = true;
  EXPECT_DOUBLE_EQ(prices(j2, t)[4], 15.0);
  j2.minimum = false;
  EXPECT_NEAR(prices(j2, t)[4], 14.99, 1e-9);

  job.special_minimum = true;
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 30.0);
  job.minimum = false;  // the special minimum alone does nothing
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 15.1);
}

TEST(Pricing, AppliquesCountTheirPieces) {
  PriceSettings s = flat(0);
  s.extra[kSmallAppliques] = 20;
  s.extra[kLargeAppliques] = 50;
  s.extra[4] = 7;
  Job job;
  job.small_appliques = 3;
  job.large_appliques = 2;
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 0.0);  // counts without the extra switched on
  job.extras[kSmallAppliques] = true;
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 6.0);
  job.extras[kLargeAppliques] = true;
  job.extras[4] = true;
  EXPECT_DOUBLE_EQ(prices(job, s)[0], 16.7);
}

TEST(Pricing, SettingsBlockKeepsTheBytesPastTheTables) {
  TKalkulace block;
  for (size_t i = 0; i < sizeof block.REZERVA; ++i) block.REZERVA[i] = uint8_t(i * 7 + 1);
  PriceSettings s = PriceSettings::from_block(block);
  EXPECT_EQ(s.extra_stitches, 1 | (8 << 8));
  // Unchanged settings give the same block back.
  TKalkulace same = s.into_block(block);
  EXPECT_EQ(0, std::memcmp(same.REZERVA, block.REZERVA, sizeof block.REZERVA));

  s.table[8][3] = 65535;
  s.extra[5] = 1234;
  s.extra_price = 7;
  TKalkulace out = s.into_block(block);
  for (size_t i = kUsedBytes; i < sizeof out.REZERVA; ++i)
    ASSERT_EQ(out.REZERVA[i], block.REZERVA[i]) << "byte " << i;
  EXPECT_EQ(out.REZERVA[2], 7);
  EXPECT_EQ(out.REZERVA[3], 0);
  EXPECT_EQ(out.REZERVA[84], 0xFF);  // table [8][3], the last of the table
  EXPECT_EQ(out.REZERVA[85], 0xFF);
  EXPECT_EQ(out.REZERVA[132], 1234 & 0xFF);
  EXPECT_EQ(out.REZERVA[133], 1234 >> 8);
  PriceSettings back = PriceSettings::from_block(out);
  EXPECT_EQ(back.table[8][3], 65535);
  EXPECT_EQ(back.extra[5], 1234);
}

TEST(Pricing, TypedValuesMustFitAWord) {
  EXPECT_EQ(parse_value("0"), 0);
  EXPECT_EQ(parse_value("65535"), 65535);
  EXPECT_FALSE(parse_value("65536"));  // refused, not cut to 0
  EXPECT_FALSE(parse_value("-1"));
  EXPECT_FALSE(parse_value(""));
  EXPECT_FALSE(parse_value("12a"));
}

TEST(Pricing, AddedToOrderUsesTheTierOfThePieces) {
  PriceSettings s = flat(0);
  s.table[1][0] = 250;
  Job job;
  job.stitches = 1000;
  job.pieces = 50;
  job.description = "logo hrud";
  auto notes = added_to_order(job, s, "XL", "");
  ASSERT_TRUE(notes);
  EXPECT_EQ(notes->size, "XL;logo hrud");
  EXPECT_EQ(notes->calculation, ";50=25,00");
  job.pieces = 100000;
  EXPECT_FALSE(added_to_order(job, s, "XL", ""));
}

TEST(Pricing, SavedCalculationRoundTrip) {
  Job job;
  job.stitches = 12345;
  job.pieces = 300;
  job.description = "znak = klub";
  job.extras = {true, false, true, false, false, true};
  job.small_appliques = 3;
  job.minimum = true;
  auto back = job_from_text(saved_text(job));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->stitches, 12345);
  EXPECT_EQ(back->pieces, 300);
  EXPECT_EQ(back->description, "znak = klub");
  EXPECT_EQ(back->extras, job.extras);
  EXPECT_EQ(back->small_appliques, 3);
  EXPECT_TRUE(back->minimum);
  EXPECT_FALSE(back->special_minimum);

  EXPECT_FALSE(job_from_text("stehu=-5\n"));
  EXPECT_FALSE(job_from_text("minimum=2\n"));
  EXPECT_FALSE(job_from_text("not a calculation\n"));
  EXPECT_TRUE(job_from_text("kusu=5\r\nneznamy=x\r\n"));
}

TEST(Pricing, ReportListsJobExtrasAndTiers) {
  PriceSettings s = flat(100);
  Job job;
  job.stitches = 2000;
  job.pieces = 20;
  job.description = "cepice";
  job.extras[kSmallAppliques] = true;
  job.small_appliques = 2;
  job.extras[1] = true;
  const std::string r = report_text(job, s);
  EXPECT_NE(r.find("*** cepice ***"), std::string::npos);
  EXPECT_NE(r.find("20 kusu"), std::string::npos);
  EXPECT_NE(r.find("2000 stehu"), std::string::npos);
  EXPECT_NE(r.find("Malych nasivek/aplikaci: 2"), std::string::npos);
  EXPECT_NE(r.find("Kovova nit"), std::string::npos);
  EXPECT_EQ(r.find("Velkych"), std::string::npos);
  EXPECT_NE(r.find("5000..99999 kusu: 20,00,- Kc"), std::string::npos);
}

}  // namespace
}  // namespace ksv::client::pricing
