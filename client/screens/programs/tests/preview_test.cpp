// The preview: a design made here, drawn where its stitches belong, in its threads' colours.
#include <gtest/gtest.h>

#include "client/screens/programs/preview.h"
#include "client/screens/programs/program_rules.h"
#include "client/screens/programs/tests/dst_maker.h"

namespace ksv::client::programs::testing {
namespace {

TBarva thread(const char* code, uint8_t colour) {
  TBarva t{};
  t.KOD.assign(code);
  t.BARVA = colour;
  return t;
}

constexpr uint8_t kRed = 0xE0, kBlue = 0x03;

// A 20 x 10 mm design: the bottom edge in the first thread, a jump to the top left corner, the
// top edge in the second thread.
//   design span 200 x 100, room 225 x 145 inside the 2-pixel margins: scale 1.125;
//   x: 2 + 1.125 x;  y: 18.25 + 1.125 (100 - y)  (the design is centred vertically)
TEST(Preview, TheDesignIsDrawnWhereItsStitchesBelong) {
  DesignBuilder d;
  d.to(200, 0).change().jump(0, 100).to(200, 100);
  PreviewImage img = render_preview(decode_dst_stitches(d.file()), {kRed, kBlue});
  ASSERT_EQ(img.width, 230);
  ASSERT_EQ(img.height, 150);

  for (int x : {2, 60, 114, 227}) {
    EXPECT_EQ(img.at(x, 131), kRed) << "bottom edge at x " << x;
    EXPECT_EQ(img.at(x, 18), kBlue) << "top edge at x " << x;
    EXPECT_EQ(img.at(x, 75), kPreviewBackground) << "nothing between the edges";
  }
  // The margins stay empty, and the jump from the bottom right to the top left is not drawn.
  EXPECT_EQ(img.at(1, 131), kPreviewBackground);
  EXPECT_EQ(img.at(228, 18), kPreviewBackground);
  EXPECT_EQ(img.at(114, 17), kPreviewBackground);
  EXPECT_EQ(img.at(114, 132), kPreviewBackground);
  int drawn = 0;
  for (uint8_t p : img.pixels) drawn += p != kPreviewBackground;
  EXPECT_EQ(drawn, 2 * 226) << "two lines of 226 pixels and nothing else";
}

TEST(Preview, TallDesignsAreCentredAcrossAndBlocksWithoutAThreadStayApart) {
  // 10 wide and 100 high: scale 1.45 from the height; x centred at 2 + (225 - 14.5) / 2.
  DesignBuilder d;
  d.to(0, 100).change().jump(10, 0).to(10, 100);
  PreviewImage img = render_preview(decode_dst_stitches(d.file()), {});
  EXPECT_EQ(img.at(107, 2), fallback_colour(0)) << "left edge, top";
  EXPECT_EQ(img.at(107, 147), fallback_colour(0)) << "left edge, bottom";
  EXPECT_EQ(img.at(122, 75), fallback_colour(1)) << "right edge in the next stand-in colour";
  EXPECT_NE(fallback_colour(0), fallback_colour(1));
  EXPECT_EQ(img.at(114, 75), kPreviewBackground);

  // Nothing to draw: a blank picture, not a crash.
  PreviewImage blank = render_preview({}, {});
  for (uint8_t p : blank.pixels) ASSERT_EQ(p, kPreviewBackground);
  // A design of jumps only draws nothing either.
  DesignBuilder j;
  j.jump(50, 50);
  for (uint8_t p : render_preview(decode_dst_stitches(j.file()), {}).pixels)
    ASSERT_EQ(p, kPreviewBackground);
}

TEST(Preview, ThreadColoursComeFromTheCatalogueForAtMost32Blocks) {
  TProgramZak p{};
  p.BAREV = 3;
  p.BARVY[0].assign("r1");
  p.BARVY[1].assign("B2");
  p.BARVY[2].assign("nope");
  const std::vector<TBarva> threads = {thread("B2", kBlue), thread("R1", kRed)};
  EXPECT_EQ(block_colours(p, threads), (std::vector<uint8_t>{kRed, kBlue, fallback_colour(2)}));

  // BAREV counts colour changes in the file and can exceed the 32 codes the record holds.
  p.BAREV = 40;
  EXPECT_EQ(block_colours(p, threads).size(), 32u);
  p.BAREV = -3;
  EXPECT_TRUE(block_colours(p, threads).empty());
}

}  // namespace
}  // namespace ksv::client::programs::testing
