// The program editor's rules: history slots, approval, material and placement changes, and the
// checks before production in their fixed order.
#include <gtest/gtest.h>

#include <cstring>

#include "client/screens/programs/program_rules.h"

namespace ksv::client::programs::testing {
namespace {

constexpr int32_t kAuthor = 7, kOther = 9;

TProgramZak fresh() {
  TProgramZak p{};
  p.AUTOR = kAuthor;
  p.SCHVALIL = p.MATERIAL = p.VZOROVAL = p.VYSIL = p.MASIT = p.MANIPULACE = p.UMISTENI = -1;
  clear_history(p);
  return p;
}

// A program that passes every check: two known threads, stitches, placement, material, pieces.
TProgramZak ready() {
  TProgramZak p = fresh();
  p.STEHU = 5432;
  p.UMISTENI = 3;
  p.MATERIAL = 2;
  p.KUSU = 50;
  p.BAREV = 2;
  p.BARVY[0].assign("1001");
  p.BARVY[1].assign("1002");
  return p;
}

std::vector<TBarva> catalogue() {
  std::vector<TBarva> t(2);
  t[0].KOD.assign("1001");
  t[1].KOD.assign("1002");
  return t;
}

int used(const TProgramZak& p) {
  int n = 0;
  for (const THistorie& h : p.HISTORIE) n += h.ZMENA != -1;
  return n;
}

TEST(History, FirstFreeSlotAndNoMoreThan64) {
  TProgramZak p = fresh();
  ASSERT_TRUE(add_history(p, 1, kOther));
  ASSERT_TRUE(add_history(p, 2, kOther));
  EXPECT_EQ(p.HISTORIE[1].ZMENA, 2);
  EXPECT_EQ(p.HISTORIE[1].UZIVATEL, kOther);
  // A hole, or a slot holding no change code, is taken first.
  p.HISTORIE[0] = kFreeHistorie;
  p.HISTORIE[5].ZMENA = 300;
  ASSERT_TRUE(add_history(p, 5, kOther));
  EXPECT_EQ(p.HISTORIE[0].ZMENA, 5);
  for (int i = 0; i < 62; ++i) ASSERT_TRUE(add_history(p, 1, kAuthor)) << i;
  EXPECT_EQ(used(p), 64);
  const TProgramZak full = p;
  EXPECT_FALSE(add_history(p, 2, kOther)) << "the 65th entry";
  EXPECT_EQ(std::memcmp(&p, &full, sizeof p), 0) << "nothing overwritten";
}

TEST(Checks, ProductionChecksRunInTheirOrder) {
  TProgramZak p = fresh();
  p.VZOREK = 1;
  p.BAREV = 2;
  p.BARVY[0].assign("1001");
  p.BARVY[1].assign("7777");
  const std::vector<TBarva> t = catalogue();
  EXPECT_EQ(production_check(p, t).code, 132);
  p.SCHVALILZAK = 1;
  EXPECT_EQ(production_check(p, t).code, 133) << "no stitches comes before the missing thread";
  p.STEHU = 100;
  EXPECT_EQ(production_check(p, t).code, 134);
  p.UMISTENI = 4;
  EXPECT_EQ(production_check(p, t).code, 135);
  p.MATERIAL = 1;
  EXPECT_EQ(production_check(p, t).code, 136);
  p.KUSU = 10;
  CheckResult r = production_check(p, t);
  EXPECT_EQ(r.code, 138);
  EXPECT_EQ(r.subject, "7777") << "the dialog names the missing code";
  p.BAREV = 0;
  EXPECT_EQ(production_check(p, t).code, 137);
}

TEST(Checks, ThreadCodesAreCheckedUpToTheFirstEmptyOneAndNeverPast32) {
  std::vector<TBarva> t = catalogue();
  TProgramZak p = ready();
  p.BARVY[1].assign("1001");
  p.BARVY[0].assign("  ");  // not empty: a code that is not in the catalogue
  EXPECT_EQ(production_check(p, t).code, 138);
  p.BARVY[0].assign("");
  p.BARVY[1].assign("7777");
  EXPECT_EQ(production_check(p, t).code, 0) << "the scan stops at the first empty code";

  // 40 colours: only the 32 codes of the record are looked at.
  p = ready();
  p.BAREV = 40;
  for (auto& c : p.BARVY) c.assign("1002");
  EXPECT_EQ(production_check(p, t).code, 0);
  // Codes compare in upper case, as the catalogue keeps them.
  t[0].KOD.assign("AB1");
  p = ready();
  p.BARVY[0].assign("ab1");
  EXPECT_EQ(production_check(p, t).code, 0);
}

TEST(Checks, ReleaseSetsProductionOnceAndRecordsWhoReleased) {
  const std::vector<TBarva> t = catalogue();
  TProgramZak p = ready();
  p.KUSU = 0;
  EXPECT_EQ(release_to_production(p, t, kOther).code, 136);
  EXPECT_FALSE(p.VYROBNI);
  EXPECT_EQ(p.SCHVALIL, -1);
  p.KUSU = 1;
  EXPECT_EQ(release_to_production(p, t, kOther).code, 0);
  EXPECT_TRUE(p.VYROBNI);
  EXPECT_EQ(p.SCHVALIL, kOther);
  // Pressed again by someone else: still released, the first name stays.
  EXPECT_EQ(release_to_production(p, t, kAuthor).code, 0);
  EXPECT_EQ(p.SCHVALIL, kOther);
}

TEST(Toggles, ApprovalNeedsStitchesAndTheCustomersYesForASample) {
  TProgramZak p = fresh();
  EXPECT_FALSE(approve(p, kOther)) << "no stitches";
  p.STEHU = 10;
  p.VZOREK = 1;
  EXPECT_FALSE(approve(p, kOther)) << "a sample the customer has not approved";
  toggle_customer_approval(p);
  ASSERT_TRUE(p.SCHVALILZAK);
  EXPECT_TRUE(approve(p, kOther));
  EXPECT_TRUE(p.SCHVALENO);
  EXPECT_EQ(p.HISTORIE[0].ZMENA, kHistoryApproval);
  EXPECT_EQ(p.HISTORIE[0].UZIVATEL, kOther);
  EXPECT_FALSE(approve(p, kOther)) << "already approved";
  EXPECT_EQ(used(p), 1);

  // The customer's approval only changes on a sample.
  TProgramZak q = fresh();
  toggle_customer_approval(q);
  EXPECT_FALSE(q.SCHVALILZAK);
  // The kind cycles through its three values.
  cycle_kind(q);
  cycle_kind(q);
  EXPECT_EQ(q.DATABANKA, 2);
  cycle_kind(q);
  EXPECT_EQ(q.DATABANKA, 0);
}

TEST(Toggles, MaterialAndPlacementChangesByOthersAreHistory) {
  TProgramZak p = fresh();
  p.UMISTENI = 4;
  set_material(p, 2, kAuthor);
  EXPECT_EQ(p.MATERIAL, 2);
  EXPECT_EQ(p.UMISTENI, -1) << "placements belong to a material";
  EXPECT_EQ(used(p), 0) << "the author's own change";
  set_placement(p, 5, kOther);
  set_material(p, 3, kOther);
  EXPECT_EQ(p.HISTORIE[0].ZMENA, kHistoryPlacement);
  EXPECT_EQ(p.HISTORIE[1].ZMENA, kHistoryMaterial);
  p.UMISTENI = 6;
  set_material(p, 3, kOther);
  EXPECT_EQ(p.UMISTENI, 6) << "the same material again changes nothing";
  EXPECT_EQ(used(p), 2);
}

}  // namespace
}  // namespace ksv::client::programs::testing
