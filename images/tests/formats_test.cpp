// Tests of the picture formats: BMP written and read in every supported depth and header, PCX
// with one and three planes, the ".ksv" chunks, hostile files, and the extension dispatch.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "images/obrazky.h"
#include "images/testsupport/picture_builders.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::images {
namespace {

using testing::Bytes;

constexpr uint8_t kRed = 0xE0, kGreen = 0x1C, kBlue = 0x03;

// A slot able to take any picture up to 64 x 64 at 4 bytes per pixel.
struct Fixture {
  Obrazky img;
  Fixture() { EXPECT_EQ(img.ZALOZOBRAZEK(0, 64, 64, 4), 0); }
  TOBRAZEK& slot() { return img.OBRAZKY[0]; }
  uint8_t at(int x, int y) { return slot().BUFFER[slot().MAXX * y + x]; }
  uint8_t load_bmp(const Bytes& b) { return img.load_bmp_memory(0, b.data(), b.size()); }
  uint8_t load_pcx(const Bytes& b) { return img.load_pcx_memory(0, b.data(), b.size()); }
  uint8_t load_ksv(const Bytes& b) { return img.load_ksv_memory(0, b.data(), b.size()); }
};

// A 3 x 2 format-0 picture with distinct indices.
void small_picture(Obrazky& img, uint16_t slot) {
  TOBRAZEK& o = img.OBRAZKY[slot];
  o.VELX = 3, o.VELY = 2, o.BPP = 0;
  const uint8_t top[] = {kRed, kGreen, kBlue}, bottom[] = {0xFF, 0x00, 0x25};
  std::memcpy(o.BUFFER, top, 3);
  std::memcpy(o.BUFFER + o.MAXX, bottom, 3);
}

TEST(BmpSave, ExactLayoutWithZeroCharacterPadding) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 10, 10, 1), 0);
  small_picture(img, 0);
  Bytes out;
  ASSERT_EQ(img.save_bmp_memory(0, out), 0);
  ASSERT_EQ(out.size(), 1086u);
  auto u32 = [&](size_t at) { return out[at] | out[at + 1] << 8 | out[at + 2] << 16 | out[at + 3] << 24; };
  EXPECT_EQ(out[0], 'B');
  EXPECT_EQ(u32(2), 1086);
  EXPECT_EQ(u32(10), 1078);
  EXPECT_EQ(u32(14), 40);
  EXPECT_EQ(u32(18), 3);
  EXPECT_EQ(u32(22), 2);
  EXPECT_EQ(out[28], 8);
  EXPECT_EQ(u32(34), 6);
  EXPECT_EQ(u32(38), 3);  // the width stands in the resolution field
  EXPECT_EQ(u32(46), 256);
  // Palette entry 0xE0 is pure red, stored blue, green, red, 0.
  EXPECT_EQ(u32(54 + 4 * 0xE0), 0x00E00000);
  // Bottom row first, then "0" padding.
  const uint8_t rows[] = {0xFF, 0x00, 0x25, '0', kRed, kGreen, kBlue, '0'};
  EXPECT_EQ(std::memcmp(out.data() + 1078, rows, 8), 0);

  img.OBRAZKY[0].VELY = 0;
  EXPECT_EQ(img.save_bmp_memory(0, out), 5);
  EXPECT_EQ(img.save_bmp_memory(1, out), 5);  // free slot
}

TEST(BmpLoad, SavedPictureLoadsBackWithItsColours) {
  Fixture f;
  Obrazky src;
  ASSERT_EQ(src.ZALOZOBRAZEK(0, 10, 10, 1), 0);
  small_picture(src, 0);
  Bytes file;
  ASSERT_EQ(src.save_bmp_memory(0, file), 0);
  ASSERT_EQ(f.load_bmp(file), 0);
  EXPECT_EQ(f.slot().VELX, 3);
  EXPECT_EQ(f.slot().VELY, 2);
  EXPECT_EQ(f.slot().BPP, 0);
  EXPECT_EQ(f.img.ORIGX, 3);
  EXPECT_EQ(f.at(0, 0), kRed);
  EXPECT_EQ(f.at(2, 0), kBlue);
  EXPECT_EQ(f.at(0, 1), 0xFF);
  EXPECT_EQ(f.at(2, 1), 0x25);
}

TEST(BmpLoad, EveryDepthOfPureRedIsRed) {
  // One red pixel and one blue pixel in each depth.
  struct Case {
    const char* name;
    uint16_t bits;
    uint32_t compression;
    Bytes row, extra;
  };
  const Case cases[] = {
      {"24", 24, 0, {0, 0, 255, 255, 0, 0}, {}},
      {"32", 32, 0, {0, 0, 255, 0, 255, 0, 0, 0}, {}},
      {"16 default X1R5G5B5", 16, 0, {0x00, 0x7C, 0x1F, 0x00}, {}},
      {"16 masks 565", 16, 3, {0x00, 0xF8, 0x1F, 0x00}, {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}},
      {"32 masks RGBX", 32, 3, {0, 0, 0, 255, 0, 255, 0, 0},
       {0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    Bytes file = testing::windows_bmp(2, 1, c.bits, c.compression, testing::bottom_up_padded({c.row}), {}, c.extra);
    ASSERT_EQ(f.load_bmp(file), 0);
    EXPECT_EQ(f.slot().BPP, 0);
    EXPECT_EQ(f.at(0, 0), kRed);
    EXPECT_EQ(f.at(1, 0), kBlue);
  }
}

TEST(BmpLoad, LaterWindowsHeaderWithMasksInside) {
  // A 124-byte header as current tools write it, masks at byte 40 of the header: read as a
  // Windows header, not as the old 12-byte one.
  Bytes in_header = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};  // red, green, blue masks
  in_header.resize(124 - 40, 0);
  Bytes file = testing::windows_bmp(2, 1, 32, 3, {0, 0, 255, 0, 255, 0, 0, 0}, {}, in_header);
  file[14] = 124;
  Fixture f;
  ASSERT_EQ(f.load_bmp(file), 0);
  EXPECT_EQ(f.at(0, 0), kRed);
  EXPECT_EQ(f.at(1, 0), kBlue);
}

TEST(BmpLoad, PaletteHeadersOs2AndTopDown) {
  Bytes quads(256 * 4, 0);
  quads[4 * 1 + 2] = 255;  // entry 1 red
  quads[4 * 2 + 0] = 255;  // entry 2 blue
  {
    Fixture f;
    ASSERT_EQ(f.load_bmp(testing::windows_bmp(2, 2, 8, 0, testing::bottom_up_padded({{1, 2}, {2, 1}}), quads)), 0);
    EXPECT_EQ(f.at(0, 0), kRed);
    EXPECT_EQ(f.at(1, 0), kBlue);
    EXPECT_EQ(f.at(0, 1), kBlue);
  }
  {
    // Only two colours declared: the file is shorter, and still reads right.
    Fixture f;
    Bytes two(quads.begin(), quads.begin() + 8);
    two[2] = 0, two[4 + 1] = 255, two[4 + 2] = 0;  // entry 0 black, entry 1 green
    ASSERT_EQ(f.load_bmp(testing::windows_bmp(1, 1, 8, 0, {1, 0, 0, 0}, two, {}, 2)), 0);
    EXPECT_EQ(f.at(0, 0), kGreen);
    Fixture g;
    EXPECT_EQ(g.load_bmp(testing::windows_bmp(1, 1, 8, 0, {1, 0, 0, 0}, two, {}, 300)), 5);
  }
  {
    // OS/2: triples blue, green, red.
    Fixture f;
    Bytes triples = {0, 0, 0, 0, 0, 255, 255, 0, 0};
    ASSERT_EQ(f.load_bmp(testing::os2_bmp(2, 1, 8, {1, 2, 0, 0}, triples)), 0);
    EXPECT_EQ(f.at(0, 0), kRed);
    EXPECT_EQ(f.at(1, 0), kBlue);
  }
  {
    Fixture f;  // negative height: rows stored top first
    ASSERT_EQ(f.load_bmp(testing::windows_bmp(1, -2, 24, 0, {0, 0, 255, 0, 255, 0, 0, 0})), 0);
    EXPECT_EQ(f.at(0, 0), kRed);
    EXPECT_EQ(f.at(0, 1), kBlue);
  }
}

TEST(BmpLoad, RunLengthPairsWithSkips) {
  Fixture f;
  Bytes quads(256 * 4, 0);
  quads[4 * 7 + 1] = 255;  // entry 7 green
  quads[4 * 9 + 2] = 255;  // entry 9 red
  // 6 x 3, bottom-up: a run of three 7s and a literal of three 9s (padded to an even count),
  // end of row, a skip of 2 right and 1 down past the middle row, a run of two 9s, end.
  const Bytes rle = {3, 7, 0, 3, 9, 9, 9, 0,   // bottom row: 7 7 7 9 9 9
                     0, 0,                     // end of row
                     0, 2, 2, 1,               // skip to x = 2 of the top row
                     2, 9,                     // 9 9 at x = 2, 3 of the top row
                     0, 1};
  ASSERT_EQ(f.load_bmp(testing::windows_bmp(6, 3, 8, 1, rle, quads)), 0);
  EXPECT_EQ(f.at(0, 2), kGreen);
  EXPECT_EQ(f.at(5, 2), kRed);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(f.at(x, 1), 0) << "the middle row is skipped";
  EXPECT_EQ(f.at(1, 0), 0);
  EXPECT_EQ(f.at(2, 0), kRed);
  EXPECT_EQ(f.at(3, 0), kRed);
  EXPECT_EQ(f.at(4, 0), 0);
}

// A palette with entry 1 red, 2 green, 3 blue, everything else black.
Bytes rgb_quads() {
  Bytes quads(256 * 4, 0);
  quads[4 * 1 + 2] = 255;
  quads[4 * 2 + 1] = 255;
  quads[4 * 3 + 0] = 255;
  return quads;
}

TEST(BmpLoad, RunsCodedOverThePaddedWidthAreCutAtThePicturesEdge) {
  // 33 x 2 coded the way common encoders do it: each row over 36 pixels, the width padded to
  // four bytes. Bottom row: 20 red, then a run of 16 green of which 13 lie in the picture. Top
  // row: a literal of 36, 30 blue, 3 red, then 3 green that lie past the edge.
  Bytes rle = {20, 1, 16, 2, 0, 0, 0, 36};
  rle.insert(rle.end(), 30, 3);
  rle.insert(rle.end(), 3, 1);
  rle.insert(rle.end(), 3, 2);
  rle.insert(rle.end(), {0, 0, 0, 1});
  const Bytes file = testing::windows_bmp(33, 2, 8, 1, rle, rgb_quads());
  auto expect_rows = [](const TOBRAZEK& o) {
    ASSERT_EQ(o.VELX, 33);
    ASSERT_EQ(o.VELY, 2);
    auto at = [&](int x, int y) { return int(o.BUFFER[o.MAXX * y + x]); };
    for (int x = 0; x < 33; ++x) {
      EXPECT_EQ(at(x, 0), x < 30 ? kBlue : kRed) << "top row, x = " << x;
      EXPECT_EQ(at(x, 1), x < 20 ? kRed : kGreen) << "bottom row, x = " << x;
    }
  };
  Fixture roomy;  // 64 pixels a row: what passes the picture must not reach the slot either
  ASSERT_EQ(roomy.load_bmp(file), 0);
  expect_rows(roomy.slot());
  for (int x = 33; x < 40; ++x) EXPECT_EQ(roomy.at(x, 0) | roomy.at(x, 1), 0) << x;
  Obrazky exact;  // a slot of exactly the picture's bytes
  ASSERT_EQ(exact.ZALOZOBRAZEK(0, 33, 2, 1), 0);
  ASSERT_EQ(exact.load_bmp_memory(0, file.data(), file.size()), 0);
  expect_rows(exact.OBRAZKY[0]);
}

TEST(BmpLoad, OddLiteralsAndSkipsPastTheRowKeepThePlaceInTheFile) {
  Fixture f;
  // 5 x 2: an odd literal of 7 passing the row (and its pad byte), a skip past the right edge
  // with a run after it that lies wholly outside, then the top row as a run of 5 blue.
  const Bytes rle = {0, 7, 1, 1, 1, 1, 1, 2, 2, 0,  // bottom row: 5 red, 2 dropped, the pad
                     0, 2, 9, 0, 4, 2,              // skip to x = 9, 4 green all outside
                     0, 0, 5, 3, 0, 1};
  ASSERT_EQ(f.load_bmp(testing::windows_bmp(5, 2, 8, 1, rle, rgb_quads())), 0);
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(f.at(x, 1), kRed) << x;
    EXPECT_EQ(f.at(x, 0), kBlue) << x;
  }
  EXPECT_EQ(f.at(5, 1), 0);
  EXPECT_EQ(f.at(6, 1), 0);
}

TEST(BmpLoad, ASkipPastTheLastRowEndsThePicture) {
  Fixture f;
  // A row of green, then a skip 5 rows down in a picture of 3: whatever follows is not read.
  const Bytes rle = {6, 2, 0, 2, 0, 5, 6, 1, 0, 0, 0};
  ASSERT_EQ(f.load_bmp(testing::windows_bmp(6, 3, 8, 1, rle, rgb_quads())), 0);
  EXPECT_EQ(f.at(0, 2), kGreen);
  EXPECT_EQ(f.at(5, 2), kGreen);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(f.at(x, 0) | f.at(x, 1), 0) << x;
}

TEST(BmpLoad, BrokenRunLengthFilesAreRefused) {
  const Bytes quads = rgb_quads();
  const Bytes more_rows_than_declared[] = {
      {0, 0, 0, 0, 0, 0, 0, 0, 1, 1},   // a fourth row end in a picture of 3
      {0, 0, 0, 0, 0, 0, 2, 1, 0, 1},   // a run after the last row
      {0, 0, 0, 0, 0, 0, 0, 3, 1, 1, 1, 0},  // a literal after the last row
  };
  for (const Bytes& rle : more_rows_than_declared) {
    Fixture f;
    EXPECT_EQ(f.load_bmp(testing::windows_bmp(6, 3, 8, 1, rle, quads)), 5);
  }
  const Bytes cut_short[] = {
      {2, 1, 0},           // inside a pair
      {0, 5, 1, 1},        // inside a literal
      {0, 5, 1, 1, 1, 1, 1},  // before a literal's pad byte
      {0, 2, 1},           // inside a skip
      {0, 40, 1, 1, 1},    // inside a literal that passes the row
  };
  for (const Bytes& rle : cut_short) {
    Fixture f;
    EXPECT_EQ(f.load_bmp(testing::windows_bmp(6, 3, 8, 1, rle, quads)), 1);
  }
  // A top-down height of -2^31: more rows than a row number holds.
  Fixture f;
  EXPECT_EQ(f.load_bmp(testing::windows_bmp(6, INT32_MIN, 8, 1, {0, 1}, quads)), 5);
  EXPECT_EQ(f.slot().VELX, 0) << "a refused file leaves the slot as it was";
}

TEST(BmpLoad, RefusedFiles) {
  Fixture f;
  EXPECT_EQ(f.load_bmp(testing::windows_bmp(8, 1, 1, 0, {0, 0, 0, 0}, Bytes(8, 0))), 5);
  EXPECT_EQ(f.load_bmp(testing::windows_bmp(8, 1, 4, 0, {0, 0, 0, 0}, Bytes(64, 0))), 5);
  EXPECT_EQ(f.load_bmp(testing::windows_bmp(0, 1, 24, 0, {})), 5);
  EXPECT_EQ(f.load_bmp(testing::windows_bmp(11000, 1, 24, 0, {})), 3);  // 33000-byte row
  EXPECT_EQ(f.load_bmp(testing::windows_bmp(4, 4, 24, 0, Bytes(20, 0))), 1);  // pixels cut short
  Bytes not_bmp = testing::windows_bmp(1, 1, 24, 0, {0, 0, 0, 0});
  not_bmp[0] = 'X';
  EXPECT_EQ(f.load_bmp(not_bmp), 5);
  EXPECT_EQ(f.load_bmp(Bytes(10, 'B')), 1);
  // A slot allocated for one byte per pixel cannot take a 24-bit picture.
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 8, 8, 1), 0);
  Bytes rgb = testing::windows_bmp(1, 1, 24, 0, {0, 0, 255, 0});
  EXPECT_EQ(img.load_bmp_memory(0, rgb.data(), rgb.size()), 6);
  EXPECT_EQ(img.OBRAZKY[0].VELX, 0);
  EXPECT_EQ(img.load_bmp_memory(1, rgb.data(), rgb.size()), 6);  // free slot
}

TEST(BmpLoad, LargerPictureIsSqueezedIntoTheSlot) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 4, 2, 3), 0);
  // 8 x 4, 24-bit: columns alternate red and blue, rows from the top: red rows, blue rows.
  std::vector<Bytes> rows;
  for (int y = 0; y < 4; ++y) {
    Bytes row;
    for (int x = 0; x < 8; ++x) {
      const bool red = (x + y) % 2 == 0;
      row.insert(row.end(), {uint8_t(red ? 0 : 255), 0, uint8_t(red ? 255 : 0)});
    }
    rows.push_back(row);
  }
  Bytes file = testing::windows_bmp(8, 4, 24, 0, testing::bottom_up_padded(rows));
  ASSERT_EQ(img.load_bmp_memory(0, file.data(), file.size()), 0);
  EXPECT_EQ(img.OBRAZKY[0].VELX, 4);
  EXPECT_EQ(img.OBRAZKY[0].VELY, 2);
  EXPECT_EQ(img.ORIGX, 8);
  EXPECT_EQ(img.ORIGY, 4);
  // Slot pixel x takes picture pixel 2x + 1; rows arrive bottom-up, so slot row y keeps the
  // upper of its two rows, 2y. Odd column on an even row: blue.
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(img.OBRAZKY[0].BUFFER[4 * y + x], kBlue) << x << "," << y;
}

TEST(PcxLoad, OnePlaneWithItsPaletteAndThreePlanes) {
  Bytes palette(768, 0);
  palette[3 * 5] = 255;      // entry 5 red
  palette[3 * 6 + 2] = 255;  // entry 6 blue
  {
    Fixture f;
    ASSERT_EQ(f.load_pcx(testing::pcx_file(3, 2, 1, 4, {{5, 5, 6, 0}, {6, 6, 6, 0}}, palette)), 0);
    EXPECT_EQ(f.slot().VELX, 3);
    EXPECT_EQ(f.slot().VELY, 2);
    EXPECT_EQ(f.at(0, 0), kRed);
    EXPECT_EQ(f.at(2, 0), kBlue);
    EXPECT_EQ(f.at(1, 1), kBlue);
  }
  {
    // Three planes of a pure red picture: red plane 255, green and blue 0.
    Fixture f;
    const Bytes row = {255, 255, 0, 0, 0, 0};
    ASSERT_EQ(f.load_pcx(testing::pcx_file(2, 2, 3, 2, {row, row})), 0);
    EXPECT_EQ(f.at(0, 0), kRed);
    EXPECT_EQ(f.at(1, 1), kRed);
    Fixture g;
    const Bytes mixed = {0, 0, 255, 0, 0, 255};  // pixel 0 green, pixel 1 blue
    ASSERT_EQ(g.load_pcx(testing::pcx_file(2, 1, 3, 2, {mixed})), 0);
    EXPECT_EQ(g.at(0, 0), kGreen);
    EXPECT_EQ(g.at(1, 0), kBlue);
  }
}

TEST(PcxLoad, RefusedFiles) {
  Bytes palette(768, 0);
  Fixture f;
  Bytes good = testing::pcx_file(3, 1, 1, 4, {{5, 5, 6, 0}}, palette);
  Bytes bad_palette = good;
  bad_palette[bad_palette.size() - 769] = 11;
  EXPECT_EQ(f.load_pcx(bad_palette), 5);
  Bytes two_planes = good;
  two_planes[65] = 2;
  EXPECT_EQ(f.load_pcx(two_planes), 5);
  Bytes four_bits = good;
  four_bits[3] = 4;
  EXPECT_EQ(f.load_pcx(four_bits), 5);
  Bytes short_line = good;
  short_line[66] = 2;  // 2 bytes per line for a width of 3
  EXPECT_EQ(f.load_pcx(short_line), 5);
  Bytes wide = good;
  wide[66] = 0x01, wide[67] = 0x60;  // 24577 bytes per line
  wide[8] = 0x00, wide[9] = 0x10;
  EXPECT_EQ(f.load_pcx(wide), 3);
  // A run that would leave its row.
  Bytes header(good.begin(), good.begin() + 128);
  Bytes overrun = header;
  overrun.insert(overrun.end(), {192 + 9, 5});
  overrun.insert(overrun.end(), palette.begin(), palette.end());
  EXPECT_EQ(f.load_pcx(overrun), 5);
  EXPECT_EQ(f.load_pcx(header), 1);  // no pixel data at all
  EXPECT_EQ(f.load_pcx(Bytes(50, 10)), 1);
}

TEST(KsvFormat, RepeatChunkForTenEqualBytes) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 10, 1, 1), 0);
  TOBRAZEK& o = img.OBRAZKY[0];
  o.VELX = 10, o.VELY = 1, o.BPP = 0;
  std::memset(o.BUFFER, 0x42, 10);
  Bytes out;
  ASSERT_EQ(img.save_ksv_memory(0, out), 0);
  const Bytes expected = {10, 0, 0, 0, 1, 0, 0, 0, 'K', 'S', 'V', 'v', 0x0A, 0x80, 0x42, 0, 0};
  EXPECT_EQ(out, expected);
}

TEST(KsvFormat, MixedRowsRoundTrip) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 40, 3, 1), 0);
  TOBRAZEK& o = img.OBRAZKY[0];
  o.VELX = 37, o.VELY = 3, o.BPP = 0;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 37; ++x) o.BUFFER[y * 40 + x] = uint8_t(x < 12 ? x : x < 30 ? 200 : x * y);
  Bytes out;
  ASSERT_EQ(img.save_ksv_memory(0, out), 0);
  EXPECT_LT(out.size(), 12u + 3 * 37);
  Fixture f;
  f.slot().BPP = 3;
  ASSERT_EQ(f.load_ksv(out), 0);
  EXPECT_EQ(f.slot().BPP, 0);
  EXPECT_EQ(f.slot().VELX, 37);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(f.at(x, y), o.BUFFER[y * 40 + x]) << x << "," << y;
  // Too narrow to save, or not a palette picture.
  o.VELX = 1;
  EXPECT_EQ(img.save_ksv_memory(0, out), 5);
  o.VELX = 37, o.BPP = 3;
  EXPECT_EQ(img.save_ksv_memory(0, out), 5);
}

TEST(KsvFormat, BadFilesLeaveOrRefuse) {
  Fixture f;
  f.slot().VELX = 5, f.slot().VELY = 6, f.slot().BPP = 0;
  f.slot().BUFFER[0] = 77;
  Bytes wrong_marker = {2, 0, 0, 0, 1, 0, 0, 0, 'K', 'S', 'V', 'V', 2, 0, 1, 2, 0, 0};
  EXPECT_EQ(f.load_ksv(wrong_marker), 5);
  EXPECT_EQ(f.slot().VELX, 5);
  EXPECT_EQ(f.slot().VELY, 6);
  EXPECT_EQ(f.slot().BUFFER[0], 77);
  EXPECT_EQ(f.load_ksv({2, 0, 0, 0, 0, 0, 0, 0, 'K', 'S', 'V', 'v'}), 5);  // no rows
  EXPECT_EQ(f.load_ksv({2, 0, 0, 0, 1, 0}), 1);                          // short header
  EXPECT_EQ(f.load_ksv({2, 0, 0, 0, 1, 0, 0, 0, 'K', 'S', 'V', 'v', 2, 0, 1}), 1);  // short row
  EXPECT_EQ(f.load_ksv({2, 0, 0, 0, 1, 0, 0, 0, 'K', 'S', 'V', 'v', 3, 0, 1, 2, 3, 0, 0}), 5);
  EXPECT_EQ(f.load_ksv({2, 0, 0, 0, 1, 0, 0, 0, 'K', 'S', 'V', 'v', 0xFF, 0xFF, 1, 0, 0}), 5);
  EXPECT_EQ(f.load_ksv({0x01, 0x90, 0, 0, 1, 0, 0, 0, 'K', 'S', 'V', 'v', 0, 0}), 3);  // 36865 wide
}

TEST(Dispatch, ByExtensionAsWritten) {
  ksv::testing::TempDir dir;
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 10, 10, 1), 0);
  ASSERT_EQ(img.ZALOZOBRAZEK(1, 10, 10, 4), 0);
  small_picture(img, 0);
  EXPECT_EQ(img.ULOZOBRAZEK(0, dir / "logo.bmp"), 0);
  EXPECT_EQ(img.ULOZOBRAZEK(0, dir / "logo.ksv"), 0);
  EXPECT_EQ(img.ULOZOBRAZEK(0, dir / "LOGO.BMP"), 5);  // saving knows the lower-case forms only
  EXPECT_EQ(img.ULOZOBRAZEK(0, dir / "logo.pcx"), 5);
  EXPECT_EQ(img.ULOZOBRAZEK(0, dir / "logo"), 5);
  EXPECT_FALSE(dir.exists("LOGO.BMP"));
  EXPECT_EQ(dir.file_size("logo.bmp"), 1086);

  ASSERT_EQ(std::rename((dir / "logo.bmp").c_str(), (dir / "copy.BMP").c_str()), 0);
  ASSERT_EQ(std::rename((dir / "logo.ksv").c_str(), (dir / "copy.KSV").c_str()), 0);
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "copy.BMP"), 0);
  EXPECT_EQ(img.OBRAZKY[1].BUFFER[2], kBlue);
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "copy.KSV"), 0);
  ASSERT_EQ(std::rename((dir / "copy.BMP").c_str(), (dir / "logo.Bmp").c_str()), 0);
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "logo.Bmp"), 5);  // mixed case: no reader
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "missing.bmp"), 1);
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "logo.png"), 5);
  EXPECT_EQ(img.ULOZBMP(0, dir / "no/such/dir/x.bmp"), 2);
  // A full stop in a folder name is not the picture's extension.
  ASSERT_EQ(mkdir((dir / "pics.v2").c_str(), 0755), 0);
  EXPECT_EQ(img.ULOZOBRAZEK(0, dir / "pics.v2/logo.ksv"), 0);
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "pics.v2/logo.ksv"), 0);
}

}  // namespace
}  // namespace ksv::images
