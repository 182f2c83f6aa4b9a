// Outline tracing: the walk ends on every shape (lines, used-up seeds), its pieces join into one
// chain along the edge, and holes are traced as inner outlines.
#include <gtest/gtest.h>

#include <cstdlib>

#include "calculator/tests/fixture.h"

namespace ksv::calculator {
namespace {

using testing::DirectEngine;

TEST(Tracing, OnePixelLineEndsWhenNoRuleApplies) {
  DirectEngine d(12, 3, [](int x, int y) -> uint8_t { return y == 1 && x >= 2 && x < 9 ? 40 : 0; });
  Engine& e = d.engine;
  e.CARSEGMENTU = 0;
  e.NAJDICARYSEGMENTU(2, 1);
  // Six steps right, then nowhere to go: one piece along the line and the closing piece.
  ASSERT_EQ(e.CARSEGMENTU, 2);
  const TCARASEGMENTU& p = e.CARASEG[0];
  EXPECT_EQ(p.X1, 2);
  EXPECT_EQ(p.Y1, 1);
  EXPECT_EQ(p.X2, 8);
  EXPECT_EQ(p.Y2, 1);
  EXPECT_TRUE(p.VNEJSI);
  EXPECT_EQ(e.CARASEG[1].X1, 8);
  EXPECT_EQ(e.CARASEG[1].X2, 8);
  // Every pixel of the line is used up.
  EXPECT_EQ(d.count_work(40), 0);
  EXPECT_EQ(d.count_work(kVisited), 7);
}

TEST(Tracing, SeedAlreadyUsedUpEnds) {
  // An outline walked into this seed earlier: it holds index 1 now, next to more index 1.
  DirectEngine d(6, 6, [](int x, int y) -> uint8_t { return x >= 1 && x < 5 && y >= 1 && y < 5 ? 1 : 0; });
  Engine& e = d.engine;
  e.CARSEGMENTU = 0;
  e.NAJDICARYSEGMENTU(1, 1);
  ASSERT_EQ(e.CARSEGMENTU, 1);
  EXPECT_EQ(e.CARASEG[0].X1, e.CARASEG[0].X2);
  EXPECT_EQ(e.CARASEG[0].Y1, e.CARASEG[0].Y2);
}

// The pieces of one outline form a chain: each starts where the one before ended.
void expect_chain(const Engine& e, int from, int to) {
  for (int i = from + 1; i < to; ++i) {
    EXPECT_EQ(e.CARASEG[i].X1, e.CARASEG[i - 1].X2) << "piece " << i;
    EXPECT_EQ(e.CARASEG[i].Y1, e.CARASEG[i - 1].Y2) << "piece " << i;
  }
}

TEST(Tracing, FilledShapesGiveAChainAlongTheirEdge) {
  struct Shape {
    const char* name;
    std::function<bool(int, int)> in;
  } shapes[] = {
      {"square", [](int x, int y) { return x >= 3 && x < 23 && y >= 3 && y < 23; }},
      {"disc", [](int x, int y) { return (x - 15) * (x - 15) + (y - 15) * (y - 15) < 100; }},
      {"diamond", [](int x, int y) { return std::abs(x - 15) + std::abs(y - 15) < 10; }},
      {"L", [](int x, int y) { return (x >= 3 && x < 8 && y >= 3 && y < 25) || (x >= 3 && x < 25 && y >= 20 && y < 25); }},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.name);
    DirectEngine d(30, 30, [&](int x, int y) -> uint8_t { return s.in(x, y) ? 70 : 0; });
    Engine& e = d.engine;
    int sx = -1, sy = -1;
    for (int y = 0; y < 30 && sx < 0; ++y)
      for (int x = 0; x < 30; ++x)
        if (s.in(x, y)) {
          sx = x, sy = y;
          break;
        }
    e.CARSEGMENTU = 0;
    e.NAJDICARYSEGMENTU(static_cast<uint16_t>(sx), static_cast<uint16_t>(sy));
    ASSERT_GE(e.CARSEGMENTU, 3);
    EXPECT_EQ(e.CARASEG[0].X1, sx);
    EXPECT_EQ(e.CARASEG[0].Y1, sy);
    expect_chain(e, 0, e.CARSEGMENTU);
    // Every piece end lies on the shape's edge (inside, with a neighbour outside).
    for (int i = 0; i < e.CARSEGMENTU; ++i) {
      const int x = e.CARASEG[i].X2, y = e.CARASEG[i].Y2;
      EXPECT_TRUE(s.in(x, y)) << x << "," << y;
      EXPECT_TRUE(!s.in(x - 1, y) || !s.in(x + 1, y) || !s.in(x, y - 1) || !s.in(x, y + 1) ||
                  !s.in(x - 1, y - 1) || !s.in(x + 1, y + 1) || !s.in(x + 1, y - 1) ||
                  !s.in(x - 1, y + 1))
          << x << "," << y;
    }
    // The walk comes back next to where it started.
    const TCARASEGMENTU& last = e.CARASEG[e.CARSEGMENTU - 1];
    EXPECT_LE(std::abs(last.X2 - sx), 1);
    EXPECT_LE(std::abs(last.Y2 - sy), 1);
  }
}

TEST(Tracing, HoleOutlinesAreInnerPieces) {
  DirectEngine d(30, 30, [](int x, int y) -> uint8_t {
    const bool outer = x >= 3 && x < 27 && y >= 3 && y < 27;
    const bool hole = x >= 10 && x < 20 && y >= 10 && y < 20;
    return outer && !hole ? 90 : 0;
  });
  Engine& e = d.engine;
  e.CARSEGMENTU = 0;
  e.TYPCARY = true;
  e.NAJDICARYSEGMENTU(3, 3);
  const int outer = e.CARSEGMENTU;
  e.TYPCARY = false;
  e.NAJDICARYSEGMENTU(10, 10);  // the hole's seed, as a click registers it
  ASSERT_GT(e.CARSEGMENTU, outer + 2);
  for (int i = outer; i < e.CARSEGMENTU; ++i) {
    EXPECT_FALSE(e.CARASEG[i].VNEJSI);
    EXPECT_GE(e.CARASEG[i].X2, 10);
    EXPECT_LT(e.CARASEG[i].X2, 20);
  }
  expect_chain(e, outer, e.CARSEGMENTU);
}

}  // namespace
}  // namespace ksv::calculator
