// The stitch file reader: header figures as the server must get them, and the stitch records.
#include <gtest/gtest.h>

#include "client/screens/programs/dst.h"
#include "client/screens/programs/tests/dst_maker.h"

namespace ksv::client::programs::testing {
namespace {

TEST(DstHeader, PaddedNumbersAreTrimmedAndSummed) {
  std::optional<DstFigures> f = read_dst_header(header_with(
      {"ST:   5432", "CO:  3", "+X:  350", "-X:  250", "+Y:  120", "-Y:   80"}));
  ASSERT_TRUE(f);
  EXPECT_EQ(f->stitches, 5432);
  EXPECT_EQ(f->colours, 4) << "three changes, four colours";
  EXPECT_EQ(f->width, 600);
  EXPECT_EQ(f->height, 200);

  // Zero is fine when it is written as a number.
  f = read_dst_header(header_with({"ST:      0", "CO:  0", "+X:    0", "-X:00000", "+Y:0", "-Y:0"}));
  ASSERT_TRUE(f);
  EXPECT_EQ(f->colours, 1);
  EXPECT_EQ(f->width, 0);
}

TEST(DstHeader, AnythingButDigitsMakesTheHeaderUnreadable) {
  const std::vector<std::string> good = {"ST:   5432", "CO:  3",  "+X:  350",
                                         "-X:  250",   "+Y:  120", "-Y:   80"};
  ASSERT_TRUE(read_dst_header(header_with(good)));
  struct Case {
    size_t field;
    const char* text;
  };
  for (Case c : {Case{1, "CO: x"}, Case{1, "CO:"}, Case{1, "CO:   "}, Case{0, "ST: 12a"},
                 Case{2, "+X: -350"}, Case{3, "-X: 2 5"}, Case{5, "-Y:1234567890"},
                 Case{2, "-X:  350"} /* fields out of order */, Case{0, "ST"}}) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> f = good;
    f[c.field] = c.text;
    EXPECT_FALSE(read_dst_header(header_with(f)));
  }
  // A header cut short, or a file shorter than the header.
  EXPECT_FALSE(read_dst_header(header_with({"ST:   5432", "CO:  3", "+X:  350"})));
  std::string whole = header_with(good);
  EXPECT_FALSE(read_dst_header(whole.substr(0, 511)));
  EXPECT_FALSE(read_dst_header(""));
  // Line feeds after the CRs are tolerated.
  std::string crlf = "LA:X\r\nST:1\r\nCO:0\r\n+X:1\r\n-X:1\r\n+Y:1\r\n-Y:1\r\n";
  crlf.resize(kDstHeaderSize, ' ');
  ASSERT_TRUE(read_dst_header(crlf));
  EXPECT_EQ(read_dst_header(crlf)->width, 2);
}

TEST(DstRecords, EachBitMovesByItsWeight) {
  struct Case {
    uint8_t r[3];
    int32_t dx, dy;
  };
  // Worked out from the record layout by hand.
  const Case cases[] = {
      {{0x01, 0x00, 0x03}, 1, 0},     {{0x02, 0x00, 0x03}, -1, 0},
      {{0x04, 0x00, 0x03}, 9, 0},     {{0x08, 0x00, 0x03}, -9, 0},
      {{0x00, 0x01, 0x03}, 3, 0},     {{0x00, 0x02, 0x03}, -3, 0},
      {{0x00, 0x04, 0x03}, 27, 0},    {{0x00, 0x08, 0x03}, -27, 0},
      {{0x00, 0x00, 0x07}, 81, 0},    {{0x00, 0x00, 0x0B}, -81, 0},
      {{0x80, 0x00, 0x03}, 0, 1},     {{0x40, 0x00, 0x03}, 0, -1},
      {{0x20, 0x00, 0x03}, 0, 9},     {{0x10, 0x00, 0x03}, 0, -9},
      {{0x00, 0x80, 0x03}, 0, 3},     {{0x00, 0x40, 0x03}, 0, -3},
      {{0x00, 0x20, 0x03}, 0, 27},    {{0x00, 0x10, 0x03}, 0, -27},
      {{0x00, 0x00, 0x23}, 0, 81},    {{0x00, 0x00, 0x13}, 0, -81},
      {{0x05, 0x05, 0x07}, 121, 0},   {{0x50, 0x50, 0x13}, 0, -121},
      {{0x81, 0x42, 0x83}, -2, -2},
  };
  for (const Case& c : cases) {
    int32_t dx = 99, dy = 99;
    dst_move(c.r, dx, dy);
    EXPECT_EQ(dx, c.dx) << int(c.r[0]) << " " << int(c.r[1]) << " " << int(c.r[2]);
    EXPECT_EQ(dy, c.dy) << int(c.r[0]) << " " << int(c.r[1]) << " " << int(c.r[2]);
  }
}

TEST(DstRecords, JumpsColourChangesAndTheEnd) {
  std::string f(kDstHeaderSize, ' ');
  const uint8_t recs[] = {
      0x01, 0x00, 0x03,  // stitch +1, 0
      0x00, 0x00, 0x83,  // jump, no move
      0x00, 0x04, 0x83,  // jump +27
      0x00, 0x00, 0xC3,  // colour change
      0x80, 0x00, 0x03,  // stitch 0, +1
      0x00, 0x00, 0xF3,  // end
      0x01, 0x00, 0x03,  // after the end: not part of the design
  };
  f.append(reinterpret_cast<const char*>(recs), sizeof recs);
  std::vector<Stitch> s = decode_dst_stitches(f);
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(s[0].kind, StitchKind::kStitch);
  EXPECT_EQ(s[1].kind, StitchKind::kJump);
  EXPECT_EQ(s[2].x, 28);
  EXPECT_EQ(s[3].kind, StitchKind::kColourChange);
  EXPECT_EQ(s[4].kind, StitchKind::kStitch);
  EXPECT_EQ(s[4].x, 28);
  EXPECT_EQ(s[4].y, 1);

  // Without an end record the file's end ends the design; a torn record is dropped.
  std::string torn(kDstHeaderSize, ' ');
  torn.append(reinterpret_cast<const char*>(recs), 5);
  EXPECT_EQ(decode_dst_stitches(torn).size(), 1u);
  EXPECT_TRUE(decode_dst_stitches(torn.substr(0, 300)).empty());
}

TEST(DstRecords, AFileWrittenByTheTestMakerReadsBack) {
  DesignBuilder d;
  d.to(300, 0).change().jump(-150, 200).to(-150, -40);
  const std::string file = d.file();
  std::optional<DstFigures> f = read_dst_header(file);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->stitches, d.count);
  EXPECT_EQ(f->colours, 2);
  EXPECT_EQ(f->width, 450);
  EXPECT_EQ(f->height, 240);
  std::vector<Stitch> s = decode_dst_stitches(file);
  ASSERT_EQ(int(s.size()), d.count);
  EXPECT_EQ(s.back().x, -150);
  EXPECT_EQ(s.back().y, -40);
}

}  // namespace
}  // namespace ksv::client::programs::testing
