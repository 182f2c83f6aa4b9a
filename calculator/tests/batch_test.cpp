// The batch command line: arguments, exit statuses, the printed result and JSON, edits replayed
// in order, and the dialog rules it shares with the desktop workflow.
#include <gtest/gtest.h>

#include <sstream>

#include "calculator/batch.h"
#include "calculator/tests/fixture.h"
#include "calculator/workflow_rules.h"

namespace ksv::calculator {
namespace {

using testing::write_bmp;

struct BatchRun {
  int status = -1;
  std::string out, err;
};

BatchRun batch(std::vector<std::string> args) {
  std::ostringstream out, err;
  BatchRun r;
  r.status = run_batch(args, "", out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// The value after "key": in a flat JSON text, as written by the batch mode.
std::string json_value(const std::string& json, const std::string& key, size_t from = 0) {
  const std::string k = "\"" + key + "\": ";
  size_t p = json.find(k, from);
  if (p == std::string::npos) return "";
  p += k.size();
  size_t e = json.find_first_of(",}", p);
  return json.substr(p, e - p);
}

int count_of(const std::string& s, const std::string& what) {
  int n = 0;
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}

// Two logos side by side on white: a red block and a blue bar with a green dot (7 pixels).
uint8_t logo(int x, int y) {
  if (x >= 5 && x < 45 && y >= 5 && y < 35) return 0xE0;   // red
  if (x >= 55 && x < 95 && y >= 10 && y < 20) return 0x03;  // blue
  if (y == 40 && x >= 60 && x < 67) return 0x1C;            // green
  return 255;
}

class Batch : public ::testing::Test {
 protected:
  ksv::testing::TempDir dir;
  std::string picture = write_bmp(dir, "logo.bmp", 100, 50, logo);
};

TEST_F(Batch, PrintsTheResultLine) {
  BatchRun r = batch({picture, "--size", "20x10", "--background", "255"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out.rfind("Stehu: ", 0), 0u);
  EXPECT_NE(r.out.find(" (20 x 10 mm)\n"), std::string::npos);
  EXPECT_EQ(r.err, "");
}

TEST_F(Batch, JsonHasTheTotalAndTheSegmentTable) {
  BatchRun r = batch({picture, "--size", "20x10", "--background", "250,250,250", "--json"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(json_value(r.out, "error"), "null");
  EXPECT_EQ(json_value(r.out, "novax"), "100");
  EXPECT_EQ(json_value(r.out, "novay"), "50");
  EXPECT_EQ(json_value(r.out, "poc16"), "1");
  EXPECT_EQ(count_of(r.out, "\"aktivni\""), 3);  // red, blue, green; white is background
  const double unrounded = std::stod(json_value(r.out, "total_unrounded"));
  EXPECT_GT(unrounded, 0);
  EXPECT_EQ(std::stol(json_value(r.out, "total")), static_cast<long>(rnd(unrounded)));
  // The same run again gives the same text.
  EXPECT_EQ(batch({picture, "--size", "20x10", "--background", "250,250,250", "--json"}).out, r.out);
}

TEST_F(Batch, SizeDefaultsToTheProposal) {
  // 100 x 50 pixels shown unscaled: the area is 0..99, proposed 100 / 5 = 20 mm wide; the
  // crop drops the last column and row, which the rescale to 100 x 50 fills again.
  BatchRun r = batch({picture, "--background", "255", "--json"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(json_value(r.out, "novax"), "100");
  EXPECT_EQ(json_value(r.out, "novay"), "50");
}

TEST_F(Batch, CalculatorErrorsExitWithTwo) {
  struct Case {
    std::vector<std::string> args;
    int code;
  } cases[] = {
      {{picture, "--size", "410x100"}, 104},
      {{picture, "--size", "100x308"}, 104},
      {{dir / "missing.bmp", "--size", "10x10"}, 5},
      {{write_bmp(dir, "flat.bmp", 30, 30, [](int, int) { return 9; }), "--size", "6x6",
        "--background", "9"},
       103},
      {{write_bmp(dir, "wide.bmp", 2049, 2, [](int, int) { return 9; }), "--size", "6x6"}, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[2]);
    auto args = c.args;
    args.push_back("--json");
    BatchRun r = batch(args);
    EXPECT_EQ(r.status, kExitCalculator);
    EXPECT_EQ(r.out.rfind("{\"error\": " + std::to_string(c.code) + ", \"message\": \"", 0), 0u) << r.out;
    EXPECT_EQ(count_of(r.out, "\n"), 1);
    EXPECT_NE(r.err.find("chyba " + std::to_string(c.code)), std::string::npos);
  }
}

TEST_F(Batch, LargestSizePasses) {
  BatchRun r = batch({picture, "--size", "409x307", "--background", "255", "--json"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(json_value(r.out, "novax"), "2045");
  EXPECT_EQ(json_value(r.out, "novay"), "1535");
}

TEST_F(Batch, BadArgumentsExitWithOneAndUsage) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {picture, "--size"},
      {picture, "--size", "20"},
      {picture, "--size", "0x10"},
      {picture, "--size", "20x10x"},
      {picture, "--quality", "4"},
      {picture, "--marker", "1"},
      {picture, "--marker", "256"},
      {picture, "--background", "1,2"},
      {picture, "--background", "1", "--background", "2", "--background", "3", "--background", "4"},
      {picture, "--garment", "Sako"},
      {picture, "--delete-small", "maybe"},
      {picture, "--edit", "typ"},
      {picture, "--edit", "set:0:11"},
      {picture, "--edit", "group:8"},
      {picture, "--edit", "hole:0:1"},
      {picture, "--area", "0,0,10,10"},
      {picture, "--save-result", "out.png"},
      {picture, "--light", "--dark"},
      {picture, "other.bmp"},
      {picture, "--frobnicate"},
      // Checked once the picture and the segments are known.
      {picture, "--size", "20x10", "--area", "0,0,101,50"},
      {picture, "--size", "20x10", "--area", "10,0,10,50"},
      {picture, "--size", "20x10", "--edit", "typ:50"},
      {picture, "--size", "20x10", "--edit", "hole:0:100:3"},
  };
  for (const auto& args : bad) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    SCOPED_TRACE(joined);
    BatchRun r = batch(args);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_EQ(r.out, "");
    // One line saying what is wrong, then where to read more; never the whole usage.
    EXPECT_EQ(count_of(r.err, "\n"), 2) << r.err;
    EXPECT_EQ(r.err.rfind("logocalc: ", 0), 0u);
    EXPECT_NE(r.err.find("\nlogocalc: try --help\n"), std::string::npos);
    // With --json the failure is one JSON object, wherever the option stands.
    auto json_args = args;
    json_args.insert(json_args.begin(), "--json");
    BatchRun j = batch(json_args);
    EXPECT_EQ(j.status, kExitUsage);
    EXPECT_EQ(j.out.rfind("{\"error\": \"usage\", \"message\": \"", 0), 0u) << j.out;
    EXPECT_EQ(j.out.substr(j.out.size() - 3), "\"}\n");
    EXPECT_EQ(count_of(j.out, "\n"), 1);
  }
  BatchRun zero = batch({picture, "--size", "0x10"});
  EXPECT_NE(zero.err.find("at least 1 mm"), std::string::npos) << zero.err;
  BatchRun quoted = batch({"--json", picture, "--garment", "a\"b\\c"});
  EXPECT_NE(quoted.out.find("'a\\\"b\\\\c'"), std::string::npos) << quoted.out;
  BatchRun help = batch({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("Usage: logocalc --batch PICTURE"), std::string::npos);
}

TEST_F(Batch, EditsReplayTheSegmentPage) {
  const std::vector<std::string> base = {picture, "--size", "20x10", "--background", "255", "--json"};
  auto with = [&](std::vector<std::string> extra) {
    auto args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    BatchRun r = batch(args);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    return r.out;
  };
  const std::string plain = with({});
  // The segment table: red (0), blue (1), green (2, group 16).
  const size_t first = plain.find("\"segments\"");
  EXPECT_EQ(json_value(plain, "typ", first), "1");
  const std::string typed = with({"--edit", "typ:0"});
  EXPECT_EQ(json_value(typed, "typ", typed.find("\"segments\"")), "2");
  EXPECT_NE(json_value(typed, "total"), json_value(plain, "total"));
  const std::string set = with({"--edit", "set:0:138:1"});
  EXPECT_EQ(json_value(set, "typ", set.find("\"segments\"")), "138");
  EXPECT_EQ(json_value(set, "smer", set.find("\"segments\"")), "1");
  // Deleting keeps the entry in the table, marked 0, and takes its stitches away.
  const std::string deleted = with({"--edit", "del:0"});
  EXPECT_EQ(json_value(deleted, "aktivni", deleted.find("\"segments\"")), "0");
  EXPECT_LT(std::stod(json_value(deleted, "total_unrounded")),
            std::stod(json_value(plain, "total_unrounded")));
  EXPECT_EQ(with({"--edit", "group:16"}), with({"--delete-small", "yes"}));
  EXPECT_NE(with({"--edit", "garment:Flees"}), plain);
  EXPECT_EQ(with({"--edit", "garment:Flees"}), with({"--garment", "2"}));
  // Order matters: styl after typ, not before.
  EXPECT_NE(with({"--edit", "typ:0", "--edit", "styl:0"}),
            with({"--edit", "styl:0", "--edit", "typ:0"}));
  // Edits on a deleted segment are refused.
  BatchRun r = batch({picture, "--size", "20x10", "--background", "255", "--edit", "del:0", "--edit",
                 "typ:0"});
  EXPECT_EQ(r.status, kExitUsage);
}

TEST_F(Batch, HolesAreTracedAsInnerOutlines) {
  auto ring = [](int x, int y) -> uint8_t {
    const bool outer = x >= 5 && x < 45 && y >= 5 && y < 45;
    const bool hole = x >= 15 && x < 35 && y >= 15 && y < 35;
    return outer && !hole ? 0xE0 : 255;
  };
  const std::string p = write_bmp(dir, "ring.bmp", 51, 51, ring);
  const std::vector<std::string> base = {p, "--size", "10x10", "--area", "0,0,50,50",
                                         "--background", "255", "--json", "--edit", "set:0:2"};
  auto with_hole = base;
  with_hole.insert(with_hole.end(), {"--edit", "hole:0:25:25"});
  const BatchRun a = batch(base), b = batch(with_hole);
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  // The hole's outline adds running stitches and a satin border of its own.
  EXPECT_GT(std::stod(json_value(b.out, "total_unrounded")),
            std::stod(json_value(a.out, "total_unrounded")) + 20);
  auto cleared = with_hole;
  cleared.insert(cleared.end(), {"--edit", "clearholes:0"});
  EXPECT_EQ(batch(cleared).out, a.out);
}

TEST_F(Batch, SavesTheResultPicture) {
  const std::string out = dir / "result.bmp";
  BatchRun r = batch({picture, "--size", "20x10", "--background", "255", "--save-result", out});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(dir.file_size("result.bmp"), 1078 + 100 * 50);
  images::Obrazky obr;
  ASSERT_EQ(obr.ZALOZOBRAZEK(0, 100, 50, 4), 0);
  ASSERT_EQ(obr.NAHRAJBMP(0, out), 0);
  // Background stays the marker (0); the stitches are drawn over the logo.
  EXPECT_EQ(obr.OBRAZKY[0].BUFFER[0], 0);
  BatchRun bad = batch({picture, "--size", "20x10", "--save-result", dir / "no/such/dir.bmp"});
  EXPECT_EQ(bad.status, kExitWriteFailed);
  EXPECT_NE(bad.err.find("cannot write"), std::string::npos);
  BatchRun bad_json =
      batch({picture, "--size", "20x10", "--save-result", dir / "no/such/dir.bmp", "--json"});
  EXPECT_EQ(bad_json.status, kExitWriteFailed);
  EXPECT_EQ(bad_json.out.rfind("{\"error\": \"write\", \"message\": \"cannot write ", 0), 0u)
      << bad_json.out;
}

// A size of another shape than the area stretches the logo: more than 2 % is said on stderr,
// and the estimate is still made.
TEST_F(Batch, StretchingSizeWarns) {
  const std::vector<std::string> base = {picture, "--background", "255", "--area", "0,0,100,50"};
  auto with_size = [&](const std::string& size) {
    auto args = base;
    args.insert(args.end(), {"--size", size});
    BatchRun r = batch(args);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    return r.err;
  };
  EXPECT_EQ(with_size("20x10"), "");
  EXPECT_EQ(with_size("102x50"), "");  // 2 % wider: still the same shape
  EXPECT_NE(with_size("103x50").find("warning"), std::string::npos);
  EXPECT_NE(with_size("20x11").find("warning"), std::string::npos);
  EXPECT_NE(with_size("10x10").find("stretched"), std::string::npos);
}

TEST(WorkflowRules, ColourReductionTable) {
  EXPECT_EQ(colour_reduction(true, 1), 4);
  EXPECT_EQ(colour_reduction(false, 1), 3);
  EXPECT_EQ(colour_reduction(true, 2), 6);
  EXPECT_EQ(colour_reduction(false, 2), 5);
  EXPECT_EQ(colour_reduction(true, 3), 7);
  EXPECT_EQ(colour_reduction(false, 3), 6);
}

TEST(WorkflowRules, SizeProposalLimitAndAreaConversion) {
  EXPECT_TRUE(size_within_limit(409, 307));
  EXPECT_FALSE(size_within_limit(410, 307));
  EXPECT_FALSE(size_within_limit(409, 308));
  // A 1160 x 520 picture in the 580 x 260 preview: every preview pixel is two picture pixels.
  const Area a = initial_preview_area(580, 260);
  EXPECT_EQ(a.X2, 579);
  const Area p = preview_area_to_picture(a, 1160, 520, 580, 260);
  EXPECT_EQ(p.X1, 0);
  EXPECT_EQ(p.X2, 1158);
  EXPECT_EQ(p.Y2, 518);
  const SizeMm s = propose_size(a, 1160, 520, 580, 260);
  EXPECT_EQ(s.ROZMERX, 232);
  EXPECT_EQ(s.ROZMERY, 104);
  const SizeMm part = propose_size(Area{100, 50, 199, 99}, 1000, 400, 500, 200);
  EXPECT_EQ(part.ROZMERX, 40);
  EXPECT_EQ(part.ROZMERY, 20);
}

TEST(WorkflowRules, GarmentNames) {
  EXPECT_EQ(garment_by_name("kosile"), 1);
  EXPECT_EQ(garment_by_name("Nasivka"), 7);
  EXPECT_EQ(garment_by_name("Nasivkaa"), std::nullopt);
  EXPECT_EQ(next_garment(7), 0);
  EXPECT_EQ(kGarmentNames[next_garment(0)], "Kosile");
}

}  // namespace
}  // namespace ksv::calculator
