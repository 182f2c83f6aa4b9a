// Rights bits, the typed stack and the liveness time difference.
#include <gtest/gtest.h>

#include "protocol/datetime.h"
#include "protocol/rights.h"
#include "protocol/zasobnik.h"

namespace ksv {
namespace {

TEST(Rights, BitOperationsTouchOnlyTheirBit) {
  EXPECT_TRUE(TESTBIT(-1, 63));
  EXPECT_FALSE(TESTBIT(-1, 64));
  EXPECT_FALSE(TESTBIT(-1, 1000));
  int64_t x = 0;
  NASTAVBIT(x, 60);
  EXPECT_EQ(uint64_t(x), uint64_t(1) << 60);
  x = -1;
  NULUJBIT(x, 31);
  EXPECT_FALSE(TESTBIT(x, 31));
  for (int n = 32; n < 64; ++n) EXPECT_TRUE(TESTBIT(x, n)) << n;
  for (int n = 0; n < 31; ++n) EXPECT_TRUE(TESTBIT(x, n)) << n;
  NEGUJBIT(x, 31);
  NEGUJBIT(x, 63);
  EXPECT_EQ(uint64_t(x), ~(uint64_t(1) << 63));
}

TEST(Zasobnik, LimitsForEveryWidthAndUnderflow) {
  Zasobnik z;
  uint8_t b;
  EXPECT_FALSE(z.VYJMIB(b));
  EXPECT_EQ(z.POZICE, -1);
  for (int i = 0; i < Zasobnik::kBytes; ++i) ASSERT_TRUE(z.VLOZB(uint8_t(i)));
  EXPECT_FALSE(z.VLOZB(1));
  EXPECT_EQ(z.POZICE, 2097151);
  ASSERT_TRUE(z.VYJMIB(b));
  EXPECT_EQ(b, uint8_t(Zasobnik::kBytes - 1));

  z.clear();
  for (int i = 0; i < 1048576; ++i) ASSERT_TRUE(z.VLOZW(uint16_t(i)));
  EXPECT_FALSE(z.VLOZW(1));
  uint16_t w;
  ASSERT_TRUE(z.VYJMIW(w));
  EXPECT_EQ(w, 65535);

  z.clear();
  for (int i = 0; i < 524288; ++i) ASSERT_TRUE(z.VLOZD(-i));
  EXPECT_FALSE(z.VLOZD(1));
  EXPECT_EQ(z.POZICE, 524287);
  int32_t d;
  ASSERT_TRUE(z.VYJMID(d));
  EXPECT_EQ(d, -524287);
  while (z.VYJMID(d)) {
  }
  EXPECT_EQ(d, 0);
  EXPECT_EQ(z.POZICE, -1);
}

TEST(TimeDifference, MidnightCountsOnceAndProbeThreshold) {
  // 23:59:50 on one day and 00:00:20 on the next.
  EXPECT_EQ(CASOVYROZDIL(23, 59, 50, 14, 3, 2026, 0, 0, 20, 15, 3, 2026), 30);
  EXPECT_EQ(CASOVYROZDIL(10, 0, 0, 1, 1, 2026, 10, 1, 1, 1, 1, 2026), 61);
  EXPECT_EQ(CASOVYROZDIL(10, 1, 1, 1, 1, 2026, 10, 0, 0, 1, 1, 2026), 61);
  // Days apart still count as one midnight.
  int64_t d = CASOVYROZDIL(1, 0, 0, 1, 1, 2026, 23, 0, 0, 9, 1, 2026);
  EXPECT_EQ(d, 86400 - 3600 + 23 * 3600);
  EXPECT_LT(d, 2 * 86400);
}

}  // namespace
}  // namespace ksv
