// Packet header, slots, bounds and password scrambling.
#include "protocol/packet.h"

#include <gtest/gtest.h>

namespace ksv {
namespace {

TEST(Packet, HeaderCarriesBlockHighByteFirstAndFlagInverted) {
  Packet p;
  p.NASTAVPRIKAZ(30, 0, false);
  EXPECT_EQ(p.bytes[0], 30);
  EXPECT_EQ(p.bytes[1], 0);
  EXPECT_EQ(p.bytes[2], 0);
  EXPECT_EQ(p.bytes[3], 1);
  uint8_t code = 0;
  uint16_t block = 7;
  EXPECT_FALSE(p.ZJISTIPRIKAZ(code, block));
  EXPECT_EQ(code, 30);
  EXPECT_EQ(block, 0);

  p.NASTAVPRIKAZ(220, 300, true);
  EXPECT_EQ(p.bytes[1], 1);
  EXPECT_EQ(p.bytes[2], 44);
  EXPECT_EQ(p.bytes[3], 0);
  EXPECT_TRUE(p.ZJISTIPRIKAZ(code, block));
  EXPECT_EQ(block, 300);
  p.NASTAVPRIKAZ(220, 65535, true);
  EXPECT_EQ(p.block(), 65535);
}

TEST(Packet, NumberAndCountedStringSlots) {
  Packet p;
  ASSERT_TRUE(p.ULOZCISLO(908, -1));
  for (int i = 908; i < 912; ++i) EXPECT_EQ(p.bytes[i], 255);
  EXPECT_EQ(p.ZISKEJCISLO(908), -1);

  ASSERT_TRUE(p.ULOZRETEZEC(4, true, "abc"));
  const uint8_t want[] = {3, 0, 0, 0, 3, 'a', 'b', 'c'};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(p.bytes[4 + i], want[i]) << i;
  EXPECT_EQ(p.ZISKEJRETEZEC(4, true), "abc");

  ASSERT_TRUE(p.ULOZRETEZEC(600, false, "plain"));
  EXPECT_EQ(p.bytes[600], 5);
  EXPECT_EQ(p.ZISKEJRETEZEC(600, false), "plain");
}

TEST(Packet, RefusesSlotsOutsideThePacket) {
  Packet p;
  std::string out = "untouched";
  // Negative, above 255 and running past byte 1023: refused, nothing read.
  p.ULOZCISLO(4, -5);
  EXPECT_FALSE(p.ZISKEJRETEZEC(4, true, out));
  EXPECT_TRUE(out.empty());
  p.ULOZCISLO(4, 256);
  EXPECT_FALSE(p.ZISKEJRETEZEC(4, true, out));
  p.ULOZCISLO(1000, 20);  // 1000 + 4 + 21 > 1024
  EXPECT_FALSE(p.ZISKEJRETEZEC(1000, true, out));
  p.ULOZCISLO(1000, 19);  // ends exactly at byte 1023
  EXPECT_TRUE(p.ZISKEJRETEZEC(1000, true, out));
  EXPECT_EQ(out.size(), 19u);

  // A plain string read copies 256 bytes, so it needs p <= 768.
  EXPECT_TRUE(p.ZISKEJRETEZEC(768, false, out));
  EXPECT_FALSE(p.ZISKEJRETEZEC(769, false, out));
  EXPECT_FALSE(p.ZISKEJRETEZEC(-1, false, out));

  // Writes that would not fit leave the packet as it was.
  Packet before = p;
  EXPECT_FALSE(p.ULOZCISLO(1021, 7));
  EXPECT_FALSE(p.ULOZCISLO(-4, 7));
  EXPECT_FALSE(p.ULOZRETEZEC(1015, true, "abcdef"));
  EXPECT_FALSE(p.ULOZRETEZEC(4, true, std::string(256, 'x')));
  EXPECT_EQ(0, memcmp(before.bytes, p.bytes, kPacketSize));
  EXPECT_EQ(p.ZISKEJCISLO(1022), 0);
}

TEST(Packet, ScramblingIsUndoneForEveryByteValue) {
  Packet p;
  for (int v = 0; v < 256; ++v) {
    for (int i = 0; i < 256; ++i) p.bytes[slot::kPassword + i] = uint8_t(v + i);
    Packet orig = p;
    p.SIFRUJHESLO();
    // Outside the area nothing moves; inside, the formula ((b xor 127) + 1 - i) mod 256 holds.
    EXPECT_EQ(0, memcmp(p.bytes, orig.bytes, slot::kPassword));
    EXPECT_EQ(p.bytes[slot::kPassword + 5], uint8_t((uint8_t(v + 5) ^ 127) + 1 - 5));
    p.DESIFRUJHESLO();
    ASSERT_EQ(0, memcmp(p.bytes, orig.bytes, kPacketSize)) << "value " << v;
  }
}

}  // namespace
}  // namespace ksv
