// Tests of the slot table: allocation rules, palette and colour conversion, brightness, drawing
// and grabbing through a memory screen, cropping and rescaling.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "images/obrazky.h"
#include "images/testsupport/memory_surface.h"

namespace ksv::images {
namespace {

// Fills a format-0 picture of w x h with value (x + 7 y) & 255 so every pixel is recognisable.
void fill_pattern(Obrazky& img, uint16_t slot, int32_t w, int32_t h) {
  TOBRAZEK& o = img.OBRAZKY[slot];
  o.VELX = w;
  o.VELY = h;
  o.BPP = 0;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) o.BUFFER[y * o.MAXX + x] = uint8_t(x + 7 * y);
}

TEST(SlotAllocation, CodesInTheirOrderAndOccupiedSlotKeepsItsBuffer) {
  Obrazky img;
  EXPECT_EQ(img.ZALOZOBRAZEK(64, 10, 10, 1), VELKECISLO);
  EXPECT_EQ(img.ZALOZOBRAZEK(64, 10, 10, 0), 23);  // bpp is checked before the slot number
  EXPECT_EQ(img.ZALOZOBRAZEK(3, 10, 10, 0), 23);
  ASSERT_EQ(img.ZALOZOBRAZEK(3, 10, 20, 4), 0);
  const TOBRAZEK& o = img.OBRAZKY[3];
  EXPECT_EQ(o.VEL, 800);
  EXPECT_EQ(o.MAXX, 10);
  EXPECT_EQ(o.MAXY, 20);
  EXPECT_EQ(o.MAXBPP, 4);
  uint8_t* first = o.BUFFER;
  first[0] = 99;
  EXPECT_EQ(img.ZALOZOBRAZEK(3, 50, 50, 1), 20);
  EXPECT_EQ(o.BUFFER, first);
  EXPECT_EQ(o.VEL, 800);
  EXPECT_EQ(o.BUFFER[0], 99);

  img.ZRUSOBRAZEK(3);
  EXPECT_EQ(o.VEL, 0);
  EXPECT_EQ(img.ZALOZOBRAZEK(3, 5, 5, 1), 0);
  img.ZRUSOBRAZEK(200);  // out of range: nothing
  img.ZRUSOBRAZKY();
  for (const TOBRAZEK& s : img.OBRAZKY) EXPECT_EQ(s.VEL, 0);
}

TEST(SlotAllocation, ChangeBufferAndReshape) {
  Obrazky img;
  EXPECT_EQ(img.ZMENBUFFER(64, 10), VELKECISLO);
  EXPECT_EQ(img.ZMENBUFFER(1, 10), OBRAZEKNEALOK);
  ASSERT_EQ(img.ZALOZOBRAZEK(1, 10, 10, 1), 0);
  EXPECT_EQ(img.ZMENBUFFER(1, 4000), 0);
  EXPECT_EQ(img.OBRAZKY[1].VEL, 4000);
  EXPECT_EQ(img.OBRAZKY[1].MAXX, 10);

  EXPECT_EQ(img.ZMENBPPBUF(64, 1), VELKECISLO);
  EXPECT_EQ(img.ZMENBPPBUF(2, 1), OBRAZEKNEALOK);
  // 640 x 480 x 4 holding format 4, re-shaped for 1 byte: w = (640*4/1)*3/4 = 1920,
  // h = 1228800 / 1920 = 640; the wider slot keeps the larger value as MAXX.
  ASSERT_EQ(img.ZALOZOBRAZEK(5, 640, 480, 4), 0);
  img.OBRAZKY[5].BPP = 4;
  EXPECT_EQ(img.ZMENBPPBUF(5, 1), 0);
  EXPECT_EQ(img.OBRAZKY[5].MAXX, 1920);
  EXPECT_EQ(img.OBRAZKY[5].MAXY, 640);
  EXPECT_EQ(img.OBRAZKY[5].BPP, 1);
  // Format 0 counts as one byte instead of dividing by zero.
  ASSERT_EQ(img.ZALOZOBRAZEK(6, 100, 200, 1), 0);
  EXPECT_EQ(img.ZMENBPPBUF(6, 1), 0);
  EXPECT_EQ(img.OBRAZKY[6].MAXX, 75);
  EXPECT_EQ(img.OBRAZKY[6].MAXY, 266);
}

TEST(Colours, NearestIndexWithAndWithoutNormalisation) {
  Obrazky img;
  EXPECT_EQ(img.NAJDIBARVU(255, 255, 255), 255);
  EXPECT_EQ(img.NAJDIBARVU(0, 0, 0), 0);
  EXPECT_EQ(img.NAJDIBARVU(255, 0, 0), 0xE0);
  EXPECT_EQ(img.NAJDIBARVU(0, 0, 255), 0x03);
  EXPECT_EQ(img.NAJDIBARVU(0xE0, 0x3F, 0xFF), 0xE7);
  img.NORMALIZACE = 6;
  EXPECT_EQ(img.NAJDIBARVU(0xE0, 0x3F, 0xFF), 0xC3);
  img.NORMALIZACE = 40;  // more bits than a component has: black, not undefined behaviour
  EXPECT_EQ(img.NAJDIBARVU(255, 255, 255), 0);
  img.NORMALIZACE = 0;
  // Every fixed palette colour maps back to its own index.
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(img.NAJDIBARVU(img.PALETA[i].R, img.PALETA[i].G, img.PALETA[i].B), i);
  EXPECT_EQ(img.NAJDIBARVUHC15(31), 0xE0);           // red in the low bits
  EXPECT_EQ(img.NAJDIBARVUHC15(31 << 10), 0x03);     // blue in the high bits
  EXPECT_EQ(img.NAJDIBARVUHC16(63 << 5), 0x1C);      // all green
  EXPECT_EQ(img.NAJDIBARVUHC16(31u << 11), 0x03);
  // SNIZBARVY folds blue, green, red bytes into 15 bits; other codes pass through.
  EXPECT_EQ(SNIZBARVY(0x00FF0000, 3), 0x1F);
  EXPECT_EQ(SNIZBARVY(0x000000FF, 4), 0x7C00);
  EXPECT_EQ(SNIZBARVY(0x12345678, 2), 0x5678);
}

TEST(Colours, PaletteIsSentToTheScreen) {
  MemorySurface screen;
  Obrazky img(&screen);
  EXPECT_EQ(screen.palette(0xFF), (std::array<int, 3>{224, 224, 192}));
  EXPECT_EQ(screen.palette(0x25), (std::array<int, 3>{32, 32, 64}));
}

TEST(Colours, ConversionOfEveryFormatInPlace) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 4, 3, 4), 0);
  TOBRAZEK& o = img.OBRAZKY[0];
  o.VELX = 3;  // narrower than the allocation: rows lie at the MAXX stride
  o.VELY = 2;
  struct Case {
    int32_t code;
    std::vector<uint8_t> red_pixel;
  };
  const Case cases[] = {{2, {0x1F, 0x00}}, {3, {0, 0, 255}}, {4, {0, 0, 255, 9}}, {5, {0x1F, 0x00}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    o.BPP = c.code;
    const int b = bytes_per_pixel(c.code);
    std::memset(o.BUFFER, 0, size_t(o.VEL));
    // Second row, third pixel red; everything else black.
    std::memcpy(o.BUFFER + (o.MAXX * 1 + 2) * b, c.red_pixel.data(), size_t(b));
    img.PREVEDBARVY(0);
    EXPECT_EQ(o.BPP, 0);
    EXPECT_EQ(o.BUFFER[o.MAXX * 1 + 2], 0xE0);
    EXPECT_EQ(o.BUFFER[o.MAXX * 1 + 1], 0);
    EXPECT_EQ(o.BUFFER[0], 0);
  }
  // Format 1 goes through the picture's own palette.
  o.BPP = 1;
  img.PRACPALETA[7] = TRGB{0, 255, 0};
  o.BUFFER[o.MAXX + 1] = 7;
  img.PREVEDBARVY(0);
  EXPECT_EQ(o.BUFFER[o.MAXX + 1], 0x1C);
  // Disabled conversion leaves the picture alone.
  o.BPP = 3;
  img.PREVODBAR = false;
  img.PREVEDBARVY(0);
  EXPECT_EQ(o.BPP, 3);
}

TEST(Colours, BrightnessModes) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 4, 1, 3), 0);
  TOBRAZEK& o = img.OBRAZKY[0];
  o.BPP = 3;
  o.VELX = 2;
  o.VELY = 1;
  const uint8_t px[] = {100, 50, 20, 200, 150, 130};  // (b, g, r) dark, then light
  std::memcpy(o.BUFFER, px, sizeof px);
  img.NORMALIZJAS(0, 512, 256, 128, 0);  // red doubled, green kept, blue halved
  EXPECT_EQ(o.BUFFER[2], 40);
  EXPECT_EQ(o.BUFFER[1], 50);
  EXPECT_EQ(o.BUFFER[0], 50);
  EXPECT_EQ(o.BUFFER[5], 255);  // 130 * 2 capped
  std::memcpy(o.BUFFER, px, sizeof px);
  img.NORMALIZJAS(0, 0, 0, 0, 1);  // lighten: only the pixel below 128 everywhere
  EXPECT_EQ(o.BUFFER[0], 200);
  EXPECT_EQ(o.BUFFER[3], 200);
  std::memcpy(o.BUFFER, px, sizeof px);
  img.NORMALIZJAS(0, 0, 0, 0, 2);  // darken: only the pixel above 128 everywhere
  EXPECT_EQ(o.BUFFER[0], 100);
  EXPECT_EQ(o.BUFFER[3], 100);
  EXPECT_EQ(o.BUFFER[5], 65);

  // A format 1 picture becomes format 0; a picture narrower than its allocation is adjusted in
  // its own rows, not in a packed reading of the buffer.
  ASSERT_EQ(img.ZALOZOBRAZEK(1, 8, 2, 1), 0);
  TOBRAZEK& p = img.OBRAZKY[1];
  p.BPP = 1;
  p.VELX = 2;
  p.VELY = 2;
  img.PRACPALETA[3] = TRGB{64, 64, 64};
  std::memset(p.BUFFER, 3, 16);
  img.NORMALIZJAS(1, 0, 0, 0, 1);
  EXPECT_EQ(p.BPP, 0);
  EXPECT_EQ(p.BUFFER[8], img.NAJDIBARVU(128, 128, 128));
  EXPECT_EQ(p.BUFFER[2], 3);  // outside the picture
}

TEST(Colours, ClearAndReplace) {
  Obrazky img;
  EXPECT_EQ(img.VYMAZBUFFER(64, 0), VELKECISLO);
  EXPECT_EQ(img.VYMAZBUFFER(0, 0), OBRAZEKNEALOK);
  EXPECT_EQ(img.NAHRADBARVU(0, 1, 2), OBRAZEKNEALOK);
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 4, 4, 3), 0);
  EXPECT_EQ(img.VYMAZBUFFER(0, 1), 5);
  EXPECT_EQ(img.NAHRADBARVU(0, 1, 2), 5);
  TOBRAZEK& o = img.OBRAZKY[0];
  o.VELX = 2;
  o.VELY = 2;
  o.BPP = 3;
  EXPECT_EQ(img.VYMAZBUFFER(0, 7), 0);
  EXPECT_EQ(o.BUFFER[5], 7);
  EXPECT_EQ(o.BUFFER[6], 0);  // third pixel of the first row: outside the picture
  EXPECT_EQ(o.BUFFER[4 * 3 + 5], 7);
  EXPECT_EQ(img.NAHRADBARVU(0, 7, 9), OBRAZEKNENINULA);
  EXPECT_EQ(o.BUFFER[0], 7);
  o.BPP = 0;
  o.BUFFER[1] = 3;
  EXPECT_EQ(img.NAHRADBARVU(0, 7, 9), 0);
  EXPECT_EQ(o.BUFFER[0], 9);
  EXPECT_EQ(o.BUFFER[1], 3);
  EXPECT_EQ(o.BUFFER[2], 7);  // outside the picture: not replaced
}

TEST(Drawing, WidePictureIsCutAtTheScreenEdge) {
  MemorySurface screen;
  Obrazky img(&screen);
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 700, 2, 1), 0);
  fill_pattern(img, 0, 700, 2);
  img.ZOBRAZOBRAZEK(0, 0, 0);
  EXPECT_EQ(screen.puts(), 640 * 2);
  EXPECT_EQ(screen.GETPIXEL(639, 1), uint8_t(639 + 7));
  MemorySurface again;
  img.set_surface(&again);
  img.ZOBRAZOBRAZEK(0, 600, 10);
  EXPECT_EQ(again.puts(), 40 * 2);
  EXPECT_EQ(again.GETPIXEL(600, 10), 0);
  EXPECT_EQ(again.GETPIXEL(639, 11), uint8_t(39 + 7));
  // Not format 0: nothing is drawn.
  img.OBRAZKY[0].BPP = 3;
  MemorySurface none;
  img.set_surface(&none);
  img.ZOBRAZOBRAZEK(0, 0, 0);
  EXPECT_EQ(none.puts(), 0);
}

TEST(Drawing, PartOfAPicture) {
  MemorySurface screen;
  Obrazky img(&screen);
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 20, 10, 1), 0);
  fill_pattern(img, 0, 20, 10);
  img.ZOBRAZVYREZ(0, 100, 100, 15, 8, 10, 10);  // cut to 5 x 2 inside the picture
  EXPECT_EQ(screen.puts(), 10);
  EXPECT_EQ(screen.GETPIXEL(100, 100), uint8_t(15 + 56));
  EXPECT_EQ(screen.GETPIXEL(104, 101), uint8_t(19 + 63));
  MemorySurface whole;
  img.set_surface(&whole);
  img.ZOBRAZVYREZ(0, 0, 0, 25, 3, 0, 0);  // start past the width: from column 0, full width
  EXPECT_EQ(whole.puts(), 20 * 7);
  EXPECT_EQ(whole.GETPIXEL(0, 0), uint8_t(21));
}

TEST(Drawing, GrabTheScreen) {
  MemorySurface screen;
  Obrazky img(&screen);
  for (int x = 0; x < 640; ++x) screen.PUTPIXEL(x, 470, uint8_t(x));
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 100, 50, 1), 0);
  img.KOPIRUJOBRAZEK(0, 600, 470, 0, 30);  // width 0 becomes 1; height cut to 10
  EXPECT_EQ(img.OBRAZKY[0].VELX, 1);
  EXPECT_EQ(img.OBRAZKY[0].VELY, 10);
  img.KOPIRUJOBRAZEK(0, 500, 470, 300, 5);  // cut to the screen (140), then to MAXX (100)
  EXPECT_EQ(img.OBRAZKY[0].VELX, 100);
  EXPECT_EQ(img.OBRAZKY[0].VELY, 5);
  EXPECT_EQ(img.OBRAZKY[0].BUFFER[99], uint8_t(599));
  img.KOPIRUJOBRAZEK(0, 700, 10, 5, 5);  // wholly off screen: one pixel, never a negative size
  EXPECT_EQ(img.OBRAZKY[0].VELX, 1);
  img.KOPIRUJOBRAZEK(1, 0, 0, 5, 5);  // free slot: left alone
  EXPECT_EQ(img.OBRAZKY[1].VEL, 0);
}

TEST(Drawing, CropInPlace) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 10, 6, 1), 0);
  fill_pattern(img, 0, 10, 6);
  img.ORIZNIOBRAZEK(0, 5, 5, 4, 6);  // x2 < x1: nothing
  img.ORIZNIOBRAZEK(0, 0, 0, 11, 6);  // x2 past the width: nothing
  EXPECT_EQ(img.OBRAZKY[0].VELX, 10);
  img.ORIZNIOBRAZEK(0, 3, 2, 10, 6);  // down to the bottom edge of a full allocation
  const TOBRAZEK& o = img.OBRAZKY[0];
  EXPECT_EQ(o.VELX, 7);
  EXPECT_EQ(o.VELY, 4);
  EXPECT_EQ(o.BUFFER[0], uint8_t(3 + 14));
  EXPECT_EQ(o.BUFFER[3 * o.MAXX + 6], uint8_t(9 + 35));
}

TEST(Resizing, FitIntoASmallerAllocationKeepsTheAspect) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 1000, 500, 1), 0);
  ASSERT_EQ(img.ZALOZOBRAZEK(1, 400, 400, 1), 0);
  fill_pattern(img, 0, 1000, 500);
  img.ZMENSIPOMVEL(0, 1);
  EXPECT_EQ(img.OBRAZKY[1].VELX, 400);
  EXPECT_EQ(img.OBRAZKY[1].VELY, 200);
  EXPECT_EQ(img.OBRAZKY[1].BPP, 0);
  // Column j of the result comes from the last source column k with k * 400 / 1000 == j, and
  // row 0 from source row 3: its row 1 is past the previous one, so rows 0 and 1 both take it.
  EXPECT_EQ(img.OBRAZKY[1].BUFFER[0], uint8_t(2 + 21));
  EXPECT_EQ(img.OBRAZKY[1].BUFFER[399], uint8_t(999 + 21));
  // A tall picture is limited by the height.
  ASSERT_EQ(img.ZALOZOBRAZEK(2, 100, 800, 1), 0);
  fill_pattern(img, 2, 100, 800);
  img.ZMENSIPOMVEL(2, 1);
  EXPECT_EQ(img.OBRAZKY[1].VELX, 50);
  EXPECT_EQ(img.OBRAZKY[1].VELY, 400);
  // A picture that already fits is copied as it is.
  ASSERT_EQ(img.ZALOZOBRAZEK(3, 100, 300, 1), 0);
  fill_pattern(img, 3, 100, 300);
  img.ZMENSIPOMVEL(3, 1);
  EXPECT_EQ(img.OBRAZKY[1].VELX, 100);
  EXPECT_EQ(img.OBRAZKY[1].VELY, 300);
  EXPECT_EQ(img.OBRAZKY[1].BUFFER[400 * 299 + 99], uint8_t(99 + 7 * 299));
}

TEST(Resizing, ReduceOnlyCopiesASmallerPictureAndReportsItsSize) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 30, 20, 1), 0);
  ASSERT_EQ(img.ZALOZOBRAZEK(1, 50, 50, 1), 0);
  fill_pattern(img, 0, 30, 20);
  int32_t w = 50, h = 40;
  TOBRAZEK& s = img.OBRAZKY[0];
  TOBRAZEK& d = img.OBRAZKY[1];
  img.ZMENVELIKOST(s.BUFFER, d.BUFFER, 30, 20, w, h, s.MAXX, s.MAXY, d.MAXX, d.MAXY, 1, 2);
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 20);
  for (int y = 0; y < 20; ++y)
    EXPECT_EQ(std::memcmp(d.BUFFER + y * d.MAXX, s.BUFFER + y * s.MAXX, 30), 0);
  // Through the slots the destination takes the source size.
  img.ZMVELIKOSTI(0, 1, 50, 40, 2);
  EXPECT_EQ(d.VELX, 30);
  EXPECT_EQ(d.VELY, 20);
}

TEST(Resizing, EnlargeAndShrinkRowsAndColumns) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 4, 2, 1), 0);
  ASSERT_EQ(img.ZALOZOBRAZEK(1, 8, 4, 1), 0);
  TOBRAZEK& s = img.OBRAZKY[0];
  const uint8_t px[] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::memcpy(s.BUFFER, px, 8);
  s.VELX = 4, s.VELY = 2, s.BPP = 0;
  img.ZMVELIKOSTI(0, 1, 8, 4, 0);
  const TOBRAZEK& d = img.OBRAZKY[1];
  EXPECT_EQ(d.VELX, 8);
  EXPECT_EQ(d.VELY, 4);
  // Columns are widened by repeating; source row 1 maps to destination row 2, and since that
  // is past the previous row every row from 0 to 2 receives it. Row 3 lies beyond the last
  // mapped row and is not written.
  const uint8_t widened[] = {5, 5, 6, 6, 7, 7, 8, 8};
  for (int y = 0; y < 3; ++y) EXPECT_EQ(std::memcmp(d.BUFFER + 8 * y, widened, 8), 0) << y;
  EXPECT_EQ(d.BUFFER[8 * 3], 0);
  // Narrowing: pixel k lands at k * w / sw, later ones winning.
  img.ZMVELIKOSTI(1, 0, 3, 2, 0);
  EXPECT_EQ(s.VELX, 3);
  EXPECT_EQ(s.VELY, 2);
  const uint8_t narrowed[] = {6, 7, 8};
  EXPECT_EQ(std::memcmp(s.BUFFER, narrowed, 3), 0);
}

TEST(Resizing, RequestsThatWouldLeaveTheDestinationDoNothing) {
  Obrazky img;
  ASSERT_EQ(img.ZALOZOBRAZEK(0, 100, 100, 1), 0);
  ASSERT_EQ(img.ZALOZOBRAZEK(1, 10, 10, 1), 0);
  fill_pattern(img, 0, 100, 100);
  img.ZMVELIKOSTI(0, 1, 20, 20, 0);  // larger than the destination allocation
  EXPECT_EQ(img.OBRAZKY[1].VELX, 0);
  img.ZMVELIKOSTI(0, 1, 5, 5, 1);  // enlarge-only would copy 100 x 100 into 10 x 10
  EXPECT_EQ(img.OBRAZKY[1].VELX, 0);
  img.ZMVELIKOSTI(0, 64, 5, 5, 0);
  img.ZMVELIKOSTI(0, 1, 5, 5, 0);
  EXPECT_EQ(img.OBRAZKY[1].VELX, 5);
}

TEST(Resizing, RowHelpers) {
  EXPECT_EQ(VELIKOSTOBR(10, 10, 0), 100);
  EXPECT_EQ(VELIKOSTOBR(10, 10, 5), 200);
  EXPECT_EQ(VELIKOSTOBR(10, 10, 3), 300);
  EXPECT_EQ(POUZITRADEK(5, 10, 20), 5);
  EXPECT_EQ(POUZITRADEK(9, 10, 5), 4);
  EXPECT_EQ(POUZITRADEK(1, 10, 5), 0);
  uint8_t row[] = {10, 11, 20, 21, 30, 31, 40, 41};  // four 2-byte pixels
  EXPECT_EQ(NORMALIZRADEK(row, 4, 8, 2), 4);
  EXPECT_EQ(NORMALIZRADEK(row, 4, 2, 2), 2);
  const uint8_t squeezed[] = {20, 21, 40, 41};
  EXPECT_EQ(std::memcmp(row, squeezed, 4), 0);
}

}  // namespace
}  // namespace ksv::images

namespace ksv::images {
namespace {

TEST(StartUp, ProgramDirectoryAndTextsFile) {
  Obrazky img;
  img.set_executable_path("/opt/ksv/client/KSVDB");
  EXPECT_EQ(img.ADRESAREXE, "/opt/ksv/client/");
  EXPECT_EQ(img.SOUBTEXTU, "dbtexty.dat");
  EXPECT_FALSE(img.LFNCESTA);
  img.set_executable_path("/home/dilna/ksvdb-tools/logocalc");  // the path, upper-cased, counts
  EXPECT_EQ(img.SOUBTEXTU, "dbtexty.dat");
  img.set_executable_path("/opt/my programs/logocalc");
  EXPECT_EQ(img.ADRESAREXE, "/opt/my programs/");
  EXPECT_EQ(img.SOUBTEXTU, "texty.dat");
  EXPECT_TRUE(img.LFNCESTA);
  img.set_program_dir("/srv/x");
  EXPECT_EQ(img.ADRESAREXE, "/srv/x/");
}

}  // namespace
}  // namespace ksv::images

namespace ksv::images {
namespace {

// The row squeeze keeps, for every position, the last pixel that maps onto it; checked against
// the pixel-by-pixel definition over many widths.
TEST(Resizing, RowSqueezeMatchesPixelByPixelCopy) {
  for (int32_t len = 1; len < 90; ++len) {
    for (int32_t limit = 1; limit < len; ++limit) {
      std::vector<uint8_t> row(size_t(len) * 3), want;
      for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(i * 7 + 1);
      want = row;
      for (int32_t i = 0; i < len; ++i)
        std::memmove(&want[size_t(i * limit / len) * 3], &want[size_t(i) * 3], 3);
      ASSERT_EQ(NORMALIZRADEK(row.data(), len, limit, 3), limit);
      ASSERT_EQ(std::memcmp(row.data(), want.data(), size_t(limit) * 3), 0) << len << " into " << limit;
    }
  }
}

}  // namespace
}  // namespace ksv::images
