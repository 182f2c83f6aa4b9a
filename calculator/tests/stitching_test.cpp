// Stitch simulation: needle points of single lines, satin border columns and fill rows counted
// by hand, the material rules, and whole segments stitched by type.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "calculator/tests/fixture.h"

namespace ksv::calculator {
namespace {

using testing::DirectEngine;

auto blank(uint8_t v = 0) {
  return [v](int, int) -> uint8_t { return v; };
}

TEST(Rounding, HalvesGoToEven) {
  EXPECT_EQ(rnd(1.5), 2);
  EXPECT_EQ(rnd(2.5), 2);
  EXPECT_EQ(rnd(13.5), 14);
  EXPECT_EQ(rnd(-1.5), -2);
  EXPECT_EQ(rnd(12345.5), 12346);
  EXPECT_EQ(rnd(12344.5), 12344);
  EXPECT_EQ(rnd(2.4999), 2);
  // The density factors as the table gives them.
  EXPECT_EQ(rnd(std::fabs(15 * -0.1)), 2);
  EXPECT_EQ(rnd(std::fabs(15 * -0.9)), 14);
}

TEST(Cara, HorizontalNeedlesEveryMaximumLength) {
  DirectEngine d(20, 10, blank());
  Engine& e = d.engine;
  e.HODNOTASTEHU = 2.5;
  e.CARA(0, 5, 10, 5, 50, 4);
  EXPECT_DOUBLE_EQ(e.POCETSTEHU, 7.5);  // needles at 0, 4 and 8
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(e.result_pixel(x, 5), (x % 4 == 0) ? 3 : 50) << x;
  EXPECT_EQ(e.result_pixel(10, 5), 0);  // the end point is not drawn
  // Backwards, and a line colour of 1-3 gets needle colour 0.
  e.POCETSTEHU = 0;
  e.CARA(10, 7, 0, 7, 2, 4);
  EXPECT_DOUBLE_EQ(e.POCETSTEHU, 7.5);  // 10, 6, 2
  EXPECT_EQ(e.result_pixel(10, 7), 0);
  EXPECT_EQ(e.result_pixel(9, 7), 2);
  EXPECT_EQ(e.result_pixel(0, 7), 0);
}

TEST(Cara, LinesOutsideThePicture) {
  DirectEngine d(20, 10, blank(9));
  Engine& e = d.engine;
  e.HODNOTASTEHU = 1;
  e.CARA(0, 10, 15, 10, 50, 4);  // the row NOVAY
  e.CARA(-1, 0, -1, 9, 50, 4);   // column -1
  e.CARA(3, 3, 3, 3, 50, 4);     // a point
  EXPECT_EQ(e.POCETSTEHU, 0);
  EXPECT_EQ(d.count_result(0), 200);
  // Points before the picture are skipped without counting: the first needle comes when the
  // counter reaches the maximum, three points in.
  e.CARA(-3, 2, 8, 2, 50, 4);
  EXPECT_EQ(e.POCETSTEHU, 2);  // x = 3 and 7
  EXPECT_EQ(e.result_pixel(0, 2), 50);
  EXPECT_EQ(e.result_pixel(3, 2), 3);
  EXPECT_EQ(e.result_pixel(7, 2), 3);
  // A slanted line ends at its first point outside.
  e.POCETSTEHU = 0;
  e.CARA(17, 0, 25, 4, 50, 100);
  EXPECT_EQ(e.POCETSTEHU, 1);
  EXPECT_EQ(e.result_pixel(17, 0), 3);
  EXPECT_EQ(e.result_pixel(18, 1), 50);
  EXPECT_EQ(e.result_pixel(19, 2), 50);
}

TEST(Cara, SlantedLinesNeedleAtTheirEndColumns) {
  DirectEngine d(20, 20, blank());
  Engine& e = d.engine;
  e.HODNOTASTEHU = 1;
  // Steep diagonal: the first point is already in column 1, so no needle there; the first
  // point in column x2 is one.
  e.CARA(0, 0, 3, 3, 50, 10);
  EXPECT_EQ(e.POCETSTEHU, 1);
  EXPECT_EQ(e.result_pixel(1, 0), 50);
  EXPECT_EQ(e.result_pixel(2, 1), 50);
  EXPECT_EQ(e.result_pixel(3, 2), 3);
  // Shallow: starts with a needle in column x1, then one every 4 points.
  e.POCETSTEHU = 0;
  e.CARA(0, 10, 10, 13, 50, 4);
  EXPECT_EQ(e.POCETSTEHU, 3);  // k = 1, 5, 9
  EXPECT_EQ(e.result_pixel(0, 10), 3);
  EXPECT_EQ(e.result_pixel(4, 12), 3);  // row 10 + rnd(5 * 3 / 10): rnd(1.5) = 2
  EXPECT_EQ(e.result_pixel(1, 11), 50);
}

TEST(Steil, ZigZagAlongAHorizontalPiece) {
  DirectEngine d(30, 30, blank());
  Engine& e = d.engine;
  e.HODNOTASTEHU = 1;
  // E = 1: the whole width goes across; five columns, each needled at both ends.
  e.VYKRESLISTEIL(0, 10, 10, 10, 50, 4, true);
  EXPECT_EQ(e.POCETSTEHU, 10);
  EXPECT_EQ(e.POSLPOZX, 10);
  EXPECT_EQ(e.POSLPOZY, 14);
  EXPECT_EQ(e.result_pixel(0, 10), 3);
  EXPECT_EQ(e.result_pixel(2, 12), 3);  // the first column's needle in its end column
  EXPECT_EQ(e.result_pixel(2, 14), 3);  // the second column starts with one
  // A following piece continues from the kept position when it is close enough.
  e.POCETSTEHU = 0;
  e.VYKRESLISTEIL(10, 12, 10, 20, 50, 4, false);
  EXPECT_EQ(e.POSLPOZY, 14 + 4 * 2);  // four steps of the pitch 2 + 0
}

TEST(Steil, ZeroEndCoordinateCountsAsBalanced) {
  DirectEngine d(30, 30, blank());
  Engine& e = d.engine;
  e.HODNOTASTEHU = 1;
  e.VYKRESLISTEIL(0, 0, 10, 0, 50, 4, true);  // E = 0 / 0
  // Balanced: the columns go the whole width across, alternating sides.
  EXPECT_EQ(e.POSLPOZX, 10);
  EXPECT_EQ(e.POSLPOZY, 4);
  EXPECT_EQ(e.result_pixel(0, 0), 3);
}

// Fills an n-row strip of 10 pixels from its top left corner.
double fill_strip(int rows, bool satin, bool vertical) {
  DirectEngine d(20, 20, [&](int x, int y) -> uint8_t {
    const int s = vertical ? y : x, r = vertical ? x : y;
    return (s < 10 && r < rows) ? 80 : 0;
  });
  d.engine.HODNOTASTEHU = 1;
  d.engine.VYSTEHUJSEGMENT(0, 0, 80, satin ? 10 : 3, vertical, satin);
  EXPECT_EQ(d.count_work(80), 0) << "every pixel used up";
  return d.engine.POCETSTEHU;
}

TEST(Fill, RowsCountedByHand) {
  for (bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    EXPECT_EQ(fill_strip(1, false, vertical), 1);
    EXPECT_EQ(fill_strip(2, false, vertical), 1);
    // Row 0 and the row it also marks, a step to row 2 (tatami: one connecting stitch), row 2.
    EXPECT_EQ(fill_strip(3, false, vertical), 3);
    // Satin runs straight from the end of one row to the end of the next: one needle for it
    // lying along the rows, two standing across them (its last columns reach x2).
    EXPECT_EQ(fill_strip(3, true, vertical), vertical ? 3 : 2);
  }
}

// Rows, branches left behind on the stack and parts above the current row are all reached in
// these shapes. (Not in every shape: a row that starts below a gap can be left over.)
TEST(Fill, ShapesWithBranchesAreUsedUpCompletely) {
  struct Shape {
    const char* name;
    std::function<bool(int, int)> in;
  } shapes[] = {
      {"U", [](int x, int y) { return (x < 6 || x >= 20 || y >= 30) && x < 26 && y < 36; }},
      {"comb", [](int x, int y) { return y < 4 || (x % 6 < 3 && y < 35); }},
      {"disc", [](int x, int y) { return (x - 20) * (x - 20) + (y - 20) * (y - 20) < 300; }},
  };
  for (const Shape& s : shapes) {
    for (bool vertical : {false, true}) {
      SCOPED_TRACE(std::string(s.name) + (vertical ? " vertical" : " horizontal"));
      DirectEngine d(40, 40, [&](int x, int y) -> uint8_t { return s.in(x, y) ? 60 : 0; });
      // Start from the last pixel in scan order, so the corner search has the whole way to go.
      int sx = -1, sy = -1;
      for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
          if (s.in(x, y)) sx = x, sy = y;
      d.engine.HODNOTASTEHU = 1;
      d.engine.VYSTEHUJSEGMENT(static_cast<uint16_t>(sx), static_cast<uint16_t>(sy), 60, 3,
                               vertical, false);
      EXPECT_EQ(d.count_work(60), 0);
      EXPECT_GT(d.engine.POCETSTEHU, 0);
    }
  }
}

TEST(Fill, UsedUpSeedFillsNothing) {
  DirectEngine d(10, 10, [](int x, int) -> uint8_t { return x < 5 ? 1 : 0; });
  d.engine.HODNOTASTEHU = 1;
  d.engine.VYSTEHUJSEGMENT(2, 2, 1, 3, false, false);
  EXPECT_EQ(d.engine.POCETSTEHU, 0);
}

TEST(Material, ParametersAndBorderWidths) {
  images::Obrazky obr;
  Engine e(obr);
  e.NOVAX = 500;
  e.NOVAY = 300;
  e.MATERIAL = 7;
  e.VYPOCTIPARAMETRY();
  EXPECT_NEAR(e.SILASTEILUNAS, 3.909, 0.001);
  EXPECT_EQ(rnd_int(5 * e.SILASTEILUNAS), 20);  // patch frame width; h = 10
  EXPECT_NEAR(e.SILASTEILU, 1.954, 0.001);
  e.NOVAX = 100;
  e.NOVAY = 100;
  e.VYPOCTIPARAMETRY();
  EXPECT_DOUBLE_EQ(e.SILASTEILUNAS, 0.97656250);  // 400 / 409.6
  EXPECT_DOUBLE_EQ(e.SILASTEILU, 0.5);             // at least 0.5
  e.NOVAX = e.NOVAY = 20;
  e.VYPOCTIPARAMETRY();
  EXPECT_DOUBLE_EQ(e.SILASTEILUNAS, 0.75);
  // Rounded stitch lengths: "Polo" light running stitch 0.5 mm = 2.5 px rounds to 2.
  EXPECT_EQ(rnd_int(5 * kMaterials[5].DELKASTEHUSLABA), 2);
  EXPECT_EQ(rnd_int(5 * kMaterials[0].DELKAPODSTEHOVANISLABA), 4);
}

// One segment stitched on its own: a 30 x 20 rectangle at (10, 10) in a 60 x 40 picture.
struct OneSegment {
  DirectEngine d{60, 40, [](int x, int y) -> uint8_t {
                   return x >= 10 && x < 40 && y >= 10 && y < 30 ? 120 : 0;
                 }};
  OneSegment(uint8_t typ, uint8_t material, uint8_t smer = 0) {
    Engine& e = d.engine;
    e.POCETSEGMENTU = 1;
    e.SEGMENT[0] = TSEGMENT{10, 10, {{65535, 65535}, {65535, 65535}, {65535, 65535}, {65535, 65535}},
                            255, 120, smer, typ};
    e.MATERIAL = material;
    e.estimate();
  }
  double total() const { return d.engine.POCETSTEHU; }
  int drawn() const { return 60 * 40 - d.count_result(0); }
};

TEST(Simulation, StrongTatamiOnShirtsAddsNothingForItsFill) {
  for (uint8_t m : {1, 4, 7}) {
    SCOPED_TRACE(kMaterials[m].name);
    OneSegment tatami(kTypeTatami, m), outline_only(kTypeAplikace, m);
    EXPECT_GT(tatami.total(), 0);
    // Same outline weight and length: the fill's needles weigh 0 ...
    EXPECT_DOUBLE_EQ(tatami.total(), outline_only.total());
    // ... but are drawn.
    EXPECT_GT(tatami.drawn(), outline_only.drawn() + 100);
  }
  OneSegment light(kTypeTatami | kLightBit, 1);
  EXPECT_GT(light.total(), OneSegment(kTypeTatami, 1).total());
}

TEST(Simulation, TypesAddTheirParts) {
  const double none = OneSegment(kTypeNone, 0).total();
  const double running = OneSegment(kTypeRovny, 0).total();
  const double satin = OneSegment(kTypeSaten, 0).total();
  const double satin_border = OneSegment(kTypeSatenSteil, 0).total();
  const double border = OneSegment(kTypeSteil, 0).total();
  EXPECT_EQ(none, 0);  // no weight set yet: the outline counts 0
  EXPECT_GT(running, 0);
  EXPECT_GT(satin, running);
  EXPECT_GT(satin_border, satin);
  EXPECT_GT(border, 0);
  // Vertical rows give a different count from horizontal ones on a wide rectangle.
  EXPECT_NE(OneSegment(kTypeTatami, 0, 1).total(), OneSegment(kTypeTatami, 0, 0).total());
  // Deleted segments are skipped.
  OneSegment gone(kTypeRovny, 0);
  gone.d.engine.SEGMENT[0].AKTIVNI = 0;
  gone.d.engine.estimate();
  EXPECT_EQ(gone.total(), 0);
}

TEST(Simulation, PatchFrameIsStitchedFirst) {
  // A segment of type 0 has no weight of its own: on a T-shirt it adds nothing, on a patch
  // its outline keeps the frame's weight.
  EXPECT_EQ(OneSegment(kTypeNone, 0).total(), 0);
  OneSegment patch(kTypeNone, 7);
  EXPECT_GT(patch.total(), 0);
  const Engine& e = patch.d.engine;
  // 60 x 40: SILASTEILUNAS = max(40 * 4 / 307, 0.75) -> s = rnd(3.75) = 4, h = 2; the frame
  // colour is the marker's colour lifted by 64 in each component.
  EXPECT_EQ(e.result_pixel(2, 2), 3);
  EXPECT_EQ(e.result_pixel(3, 2), 0x49);
  EXPECT_EQ(e.result_pixel(1, 1), 0);
}

TEST(Simulation, RunsAreRepeatable) {
  OneSegment a(kTypeTatamiSteil, 2), b(kTypeTatamiSteil, 2);
  EXPECT_EQ(a.total(), b.total());
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(a.d.engine.result_pixel(x, y), b.d.engine.result_pixel(x, y));
}

}  // namespace
}  // namespace ksv::calculator

namespace ksv::calculator {
namespace {

// Pixels used up before the run (index 1) are handed to the next filled segment like those its
// own outline used up: with half the area used up, the fill stitches the same as on the whole.
TEST(Simulation, UsedUpPixelsJoinTheNextFill) {
  auto run = [](const testing::PixelFn& f, uint8_t typ) {
    DirectEngine d(30, 20, f);
    Engine& e = d.engine;
    e.POCETSEGMENTU = 1;
    e.SEGMENT[0] = TSEGMENT{2, 2, {{65535, 65535}, {65535, 65535}, {65535, 65535}, {65535, 65535}},
                            255, 50, 0, typ};
    e.estimate();
    return e.POCETSTEHU;
  };
  auto whole = [](int x, int y) -> uint8_t { return x >= 2 && x < 28 && y >= 2 && y < 18 ? 50 : 0; };
  auto half = [](int x, int y) -> uint8_t {
    if (x < 2 || x >= 28 || y < 2 || y >= 18) return 0;
    return x < 15 ? 50 : 1;
  };
  // Tatami minus the same outline alone (Aplikace: same weight and length) is the fill.
  const double fill_whole = run(whole, kTypeTatami) - run(whole, kTypeAplikace);
  const double fill_half = run(half, kTypeTatami) - run(half, kTypeAplikace);
  EXPECT_GT(fill_whole, 0);
  EXPECT_EQ(fill_half, fill_whole);
}

}  // namespace
}  // namespace ksv::calculator

namespace ksv::calculator {
namespace {

// The corner search's remembered stretches change nothing: random shapes and combs of bars,
// filled with and without them, give the same total, the same drawing and the same used-up
// pixels.
TEST(Fill, RememberedStretchesChangeNothing) {
  std::mt19937 random(12345);
  for (int round = 0; round < 120; ++round) {
    const int w = 20 + int(random() % 60), h = 20 + int(random() % 60);
    std::vector<uint8_t> pic(size_t(w) * h, 0);
    if (round % 3 == 0) {  // bars joined at one end
      const int gap = 3 + int(random() % 5);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pic[size_t(y) * w + x] = (x % gap != 1 || y < 2) ? 90 : 0;
    } else {
      for (int k = 0; k < 12; ++k) {
        const int x0 = int(random() % w), y0 = int(random() % h);
        const int x1 = std::min(w, x0 + 1 + int(random() % 25)), y1 = std::min(h, y0 + 1 + int(random() % 25));
        const uint8_t v = (random() % 4 == 0) ? 0 : 90;
        for (int y = y0; y < y1; ++y)
          for (int x = x0; x < x1; ++x) pic[size_t(y) * w + x] = v;
      }
    }
    int sx = -1, sy = -1;
    for (int y = 0; y < h && sx < 0; ++y)
      for (int x = 0; x < w && sx < 0; ++x)
        if (pic[size_t(y) * w + x] == 90) sx = x, sy = y;
    if (sx < 0) continue;
    const bool vertical = random() % 2, satin = random() % 2;
    auto fill = [&](bool cache) {
      auto d = std::make_unique<DirectEngine>(w, h, [&](int x, int y) { return pic[size_t(y) * w + x]; });
      d->engine.use_run_cache = cache;
      d->engine.HODNOTASTEHU = 1;
      d->engine.VYSTEHUJSEGMENT(uint16_t(sx), uint16_t(sy), 90, satin ? 10 : 3, vertical, satin);
      return d;
    };
    auto a = fill(true), b = fill(false);
    SCOPED_TRACE(round);
    ASSERT_EQ(a->engine.POCETSTEHU, b->engine.POCETSTEHU);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(a->engine.result_pixel(x, y), b->engine.result_pixel(x, y)) << x << "," << y;
        ASSERT_EQ(a->engine.work_pixel(x, y), b->engine.work_pixel(x, y)) << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace ksv::calculator
