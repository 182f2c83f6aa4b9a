// Segmentation: preparation of the working picture, the size classes and their boundaries, the
// segment limit, deletion, and the hole clicks of the segment page.
#include <gtest/gtest.h>

#include "calculator/tests/fixture.h"

namespace ksv::calculator {
namespace {

using testing::whole_picture;
using testing::write_bmp;

// n pixels laid out row by row from (x0, y0) in rows of `width`: always one connected area.
bool in_blob(int x, int y, int x0, int y0, int width, int n) {
  if (x < x0 || x >= x0 + width || y < y0) return false;
  return (y - y0) * width + (x - x0) < n;
}

constexpr uint8_t kWhite = 255;

struct Segmented {
  images::Obrazky obr;
  EngineHooks hooks;
  std::unique_ptr<Engine> engine;
  int error = 0;
  Segmented(const SegmentationInput& in, EngineHooks h = {}) {
    engine = std::make_unique<Engine>(obr, std::move(h));
    error = engine->TRASUJSEGMENTY(in);
  }
  const TSEGMENT* at(int x, int y) const {
    for (int i = 0; i < engine->POCETSEGMENTU; ++i)
      if (engine->SEGMENT[i].X == x && engine->SEGMENT[i].Y == y) return &engine->SEGMENT[i];
    return nullptr;
  }
};

TEST(Segmentation, TypeFollowsAreaAgainstPictureSize) {
  // 500 x 500 working pixels: t = 976. Areas of c + 1 pixels (the seed is not counted).
  ksv::testing::TempDir dir;
  struct Case {
    int c;
    uint8_t typ;
  } cases[] = {{900, kTypeRovny}, {975, kTypeRovny}, {976, kTypeSaten}, {5000, kTypeSaten},
               {11712, kTypeSaten}, {11713, kTypeTatami}, {12000, kTypeTatami}};
  auto f = [&](int x, int y) -> uint8_t {
    for (int i = 0; i < 7; ++i)
      if (in_blob(x, y, 2 + i * 70, 2, 60, cases[i].c + 1)) return static_cast<uint8_t>(10 + i);
    return kWhite;
  };
  auto in = whole_picture(write_bmp(dir, "a.bmp", 501, 501, f), 500, 500);
  in.BARVAPODKL[0] = kWhite;
  Segmented s(in);
  ASSERT_EQ(s.error, 0);
  ASSERT_EQ(s.engine->NOVAX, 500);
  ASSERT_EQ(s.engine->POCETSEGMENTU, 7);
  for (int i = 0; i < 7; ++i) {
    const TSEGMENT* seg = s.at(2 + i * 70, 2);
    ASSERT_NE(seg, nullptr) << "area " << cases[i].c;
    EXPECT_EQ(seg->TYP, cases[i].typ) << "area " << cases[i].c;
    EXPECT_EQ(seg->AKTIVNI, 255);
    EXPECT_EQ(seg->BARVA, 10 + i);
    EXPECT_EQ(seg->SMER, 0);
  }
}

TEST(Segmentation, SmallAreasFormGroupsOrAreDropped) {
  // 40 x 40 working pixels: t = 6, so small areas keep the satin type and its light bit.
  ksv::testing::TempDir dir;
  const int sizes[] = {5, 6, 15, 16, 31, 32, 63, 64};  // filled pixels besides the seed
  auto f = [&](int x, int y) -> uint8_t {
    for (int i = 0; i < 8; ++i)
      if (in_blob(x, y, 1 + (i % 4) * 10, 1 + (i / 4) * 20, 8, sizes[i] + 1)) return 20;
    return kWhite;
  };
  auto in = whole_picture(write_bmp(dir, "g.bmp", 41, 41, f), 40, 40);
  in.BARVAPODKL[0] = kWhite;
  Segmented s(in);
  ASSERT_EQ(s.error, 0);
  EXPECT_EQ(s.engine->POCETSEGMENTU, 7);  // the five-pixel one is dropped
  EXPECT_EQ(s.at(1, 1), nullptr);
  const uint8_t expected_aktivni[] = {0, 32, 32, 64, 64, 128, 128, 255};
  for (int i = 1; i < 8; ++i) {
    const TSEGMENT* seg = s.at(1 + (i % 4) * 10, 1 + (i / 4) * 20);
    ASSERT_NE(seg, nullptr) << sizes[i];
    EXPECT_EQ(seg->AKTIVNI, expected_aktivni[i]) << sizes[i];
    EXPECT_EQ(seg->TYP, i < 7 ? (kTypeSaten | kLightBit) : kTypeSaten) << sizes[i];
  }
  EXPECT_EQ(s.engine->POC16, 2);
  EXPECT_EQ(s.engine->POC32, 2);
  EXPECT_EQ(s.engine->POC64, 2);
  // The dropped area comes back with the restored working picture.
  EXPECT_EQ(s.engine->work_pixel(1, 1), 20);
  EXPECT_EQ(s.engine->work_pixel(5, 1), 20);
}

TEST(Segmentation, ReservedIndicesAreShiftedAway) {
  ksv::testing::TempDir dir;
  // Index 0 (the marker) and index 1 (used-up pixels) in the picture itself.
  auto f = [](int x, int y) -> uint8_t {
    if (y < 10 && x < 10) return 0;
    if (y < 10 && x >= 20 && x < 30) return 1;
    if (y >= 20 && x < 10) return 100;
    return kWhite;
  };
  auto in = whole_picture(write_bmp(dir, "r.bmp", 41, 41, f), 40, 40);
  in.BARVAPODKL[0] = kWhite;
  {
    Segmented s(in);  // marker 0: both become 2
    ASSERT_EQ(s.error, 0);
    ASSERT_EQ(s.engine->POCETSEGMENTU, 3);
    EXPECT_EQ(s.at(0, 0)->BARVA, 2);
    EXPECT_EQ(s.at(20, 0)->BARVA, 2);
    EXPECT_EQ(s.at(0, 20)->BARVA, 100);
  }
  in.BARVAPOZADI = 100;  // marker 100: its pixels move to 101, index 1 to 0
  Segmented s(in);
  ASSERT_EQ(s.error, 0);
  ASSERT_EQ(s.engine->POCETSEGMENTU, 3);
  EXPECT_EQ(s.at(0, 0)->BARVA, 0);
  EXPECT_EQ(s.at(20, 0)->BARVA, 0);
  EXPECT_EQ(s.at(0, 20)->BARVA, 101);
}

TEST(Segmentation, DeclaredBackgroundEqualToTheMarkerIsStillBackground) {
  ksv::testing::TempDir dir;
  // A white logo on black, black declared as background, the marker left at 0.
  auto f = [](int x, int y) -> uint8_t { return (x >= 10 && x < 30 && y >= 10 && y < 30) ? kWhite : 0; };
  auto in = whole_picture(write_bmp(dir, "b.bmp", 41, 41, f), 40, 40);
  in.BARVAPODKL[0] = 0;
  Segmented s(in);
  ASSERT_EQ(s.error, 0);
  ASSERT_EQ(s.engine->POCETSEGMENTU, 1);
  EXPECT_EQ(s.engine->SEGMENT[0].BARVA, kWhite);
  EXPECT_EQ(s.engine->work_pixel(0, 0), 0);
}

TEST(Segmentation, ErrorsForNoSegmentAndTooMany) {
  ksv::testing::TempDir dir;
  {
    auto in = whole_picture(write_bmp(dir, "one.bmp", 21, 21, [](int, int) { return 77; }), 20, 20);
    in.BARVAPODKL[1] = 77;
    Segmented s(in);
    EXPECT_EQ(s.error, kErrNoSegment);
  }
  // Vertical strokes of 7 pixels (kept, group 16), two columns apart, 1000 to a band.
  auto strokes = [](int limit) {
    return [limit](int x, int y) -> uint8_t {
      const int band = y / 10, index = band * 1000 + x / 2;
      return (x % 2 == 0 && y % 10 < 7 && index < limit) ? 30 : kWhite;
    };
  };
  for (int limit : {4096, 4097}) {
    auto in = whole_picture(write_bmp(dir, "s.bmp", 2001, 51, strokes(limit)), 2000, 50);
    in.BARVAPODKL[0] = kWhite;
    Segmented s(in);
    if (limit == 4096) {
      EXPECT_EQ(s.error, 0);
      EXPECT_EQ(s.engine->POCETSEGMENTU, 4096);
      EXPECT_EQ(s.engine->POC16, 4096);
    } else {
      EXPECT_EQ(s.error, kErrTooMany);
    }
  }
}

TEST(Segmentation, MissingPictureAndEmptyAreaAreLoadErrors) {
  ksv::testing::TempDir dir;
  SegmentationInput in;
  in.SOUBORKALK = dir / "missing.bmp";
  in.X2 = in.Y2 = 10;
  in.ROZMERX = in.ROZMERY = 2;
  EXPECT_EQ(Segmented(in).error, kErrLoad);
  auto in2 = whole_picture(write_bmp(dir, "p.bmp", 11, 11, [](int, int) { return 5; }), 10, 10);
  in2.X2 = in2.X1;
  EXPECT_EQ(Segmented(in2).error, kErrLoad);
}

TEST(Segmentation, OneLargeAreaStaysOneSegment) {
  // Far more pixels than a fixed two-megabyte stack of pending points could hold.
  ksv::testing::TempDir dir;
  auto f = [](int x, int y) -> uint8_t {
    if ((x / 8 + y / 8) % 2 == 0 && x % 8 == 0 && y % 8 == 0) return kWhite;  // sparse holes
    return 44;
  };
  auto in = whole_picture(write_bmp(dir, "big.bmp", 2046, 1536, f), 2045, 1535);
  in.BARVAPODKL[0] = kWhite;
  Segmented s(in);
  ASSERT_EQ(s.error, 0);
  EXPECT_EQ(s.engine->POCETSEGMENTU, 1);
  EXPECT_EQ(s.engine->SEGMENT[0].TYP, kTypeTatami);
}

TEST(Segmentation, RescaleToTheRequestedSize) {
  ksv::testing::TempDir dir;
  // 20 x 10 picture, left half 60, right half 90, cropped to 19 x 9 and enlarged to 50 x 25.
  auto f = [](int x, int) -> uint8_t { return x < 10 ? 60 : 90; };
  SegmentationInput in;
  in.SOUBORKALK = write_bmp(dir, "h.bmp", 20, 10, f);
  in.X2 = 19;
  in.Y2 = 9;
  in.ROZMERX = 10;
  in.ROZMERY = 5;
  in.BARVAPOZADI = 255;
  Segmented s(in);
  ASSERT_EQ(s.error, 0);
  EXPECT_EQ(s.engine->NOVAX, 50);
  EXPECT_EQ(s.engine->NOVAY, 25);
  EXPECT_EQ(s.engine->work_pixel(0, 0), 60);
  EXPECT_EQ(s.engine->work_pixel(49, 0), 90);
  // The enlarging rescale leaves the last rows unwritten: they keep index 0.
  EXPECT_EQ(s.engine->work_pixel(0, 24), 0);
  ASSERT_EQ(s.engine->POCETSEGMENTU, 3);
  EXPECT_EQ(s.engine->SEGMENT[2].BARVA, 0);
}

TEST(Segmentation, DeletingSegmentsAndGroups) {
  ksv::testing::TempDir dir;
  // Three group-16 areas (7 pixels) and one big area.
  auto f = [](int x, int y) -> uint8_t {
    if (y == 1 && x >= 1 && x < 8) return 10;
    if (y == 3 && x >= 1 && x < 8) return 11;
    if (y == 5 && x >= 1 && x < 8) return 12;
    if (y >= 10 && y < 30 && x >= 10 && x < 30) return 13;
    return kWhite;
  };
  auto in = whole_picture(write_bmp(dir, "d.bmp", 41, 41, f), 40, 40);
  in.BARVAPODKL[0] = kWhite;
  Segmented s(in);
  ASSERT_EQ(s.error, 0);
  Engine& e = *s.engine;
  ASSERT_EQ(e.POCETSEGMENTU, 4);
  e.SMAZSEGMENT(0);
  EXPECT_EQ(e.SEGMENT[0].AKTIVNI, 0);
  EXPECT_EQ(e.POCETSMAZSEG, 1);
  EXPECT_EQ(e.work_pixel(4, 1), 0);  // erased to the marker
  e.SMAZSEGMENT(0);                   // twice changes nothing
  EXPECT_EQ(e.POCETSMAZSEG, 1);
  e.KTEREZRUSIT = 32;
  e.ZRUSITSEGMENTY();
  EXPECT_EQ(e.active_segments(), 1);
  EXPECT_EQ(e.SEGMENT[3].AKTIVNI, 255);
  e.SMAZSEGMENT(3);  // the last one stays
  EXPECT_EQ(e.active_segments(), 1);
  EXPECT_EQ(e.work_pixel(15, 15), 13);
}

TEST(Segmentation, QuestionAboutSmallSegments) {
  ksv::testing::TempDir dir;
  auto f = [](int x, int y) -> uint8_t {
    if (y == 1 && x >= 1 && x < 8) return 10;
    if (y == 3 && x >= 1 && x < 8) return 11;
    return kWhite;
  };
  auto in = whole_picture(write_bmp(dir, "q.bmp", 41, 41, f), 40, 40);
  in.BARVAPODKL[0] = kWhite;
  int asked = 0;
  EngineHooks yes;
  yes.ask_delete_small = [&] {
    ++asked;
    return true;
  };
  Segmented s(in, yes);
  ASSERT_EQ(s.error, 0);  // all small: one is kept rather than reporting none left
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(s.engine->active_segments(), 1);
  EXPECT_EQ(s.engine->SEGMENT[1].AKTIVNI, 32);
}

TEST(Segmentation, PreviewIsPaintedForAScreen) {
  ksv::testing::TempDir dir;
  // Two large areas and one small one; the preview shows the picture unscaled.
  auto f = [](int x, int y) -> uint8_t {
    if (y < 10 && x < 10) return 10;
    if (y >= 20 && y < 30 && x < 10) return 11;
    if (y == 35 && x < 7) return 12;
    return kWhite;
  };
  auto in = whole_picture(write_bmp(dir, "p.bmp", 41, 41, f), 40, 40);
  in.BARVAPODKL[0] = kWhite;
  int shown = 0, queued = 0;
  EngineHooks hooks;
  hooks.show_preview = [&] { ++shown; };
  hooks.run_queued_actions = [&] { ++queued; };
  Segmented s(in, hooks);
  ASSERT_EQ(s.error, 0);
  const images::TOBRAZEK& preview = s.obr.OBRAZKY[s.engine->HANDLENAHLEDU];
  EXPECT_DOUBLE_EQ(s.engine->POMERNAHL, 1.0);
  auto at = [&](int x, int y) { return preview.BUFFER[y * preview.MAXX + x]; };
  EXPECT_EQ(at(0, 0), 240);  // first large area, fill colour 0
  EXPECT_EQ(at(9, 9), 240);
  EXPECT_EQ(at(0, 25), 241);  // the counter moved on after the first large area
  EXPECT_EQ(at(3, 35), 242);  // small areas paint too, but do not move it on
  EXPECT_EQ(at(20, 20), 0);  // rebuilt after the background became the marker
  EXPECT_EQ(shown, 1 + 1 + 2);  // fitted, background removed, once per large area
  EXPECT_EQ(queued, 1 + 3);     // after fitting, after every kept segment
}

TEST(SegmentPage, TypeAndStyleSteps) {
  images::Obrazky obr;
  Engine e(obr);
  e.POCETSEGMENTU = 1;
  TSEGMENT& s = e.SEGMENT[0];
  s.TYP = 9;
  s.SMER = 0;
  e.next_type(0);
  EXPECT_EQ(s.TYP, 10);
  e.next_type(0);
  EXPECT_EQ(s.TYP, 1);
  s.TYP = kTypeSaten | kLightBit;
  e.next_type(0);
  EXPECT_EQ(s.TYP, 1);  // light types start again at strong 1
  e.next_style(0);
  EXPECT_EQ(s.TYP, 1 | kLightBit);
  EXPECT_EQ(s.SMER, 0);
  e.next_style(0);
  EXPECT_EQ(s.TYP, 1);
  EXPECT_EQ(s.SMER, 1);
}

TEST(SegmentPage, HoleClicksWalkUpThenLeft) {
  // A ring of index 50 around a background hole; the marker is 0.
  testing::DirectEngine d(20, 20, [](int x, int y) -> uint8_t {
    const bool ring = x >= 2 && x < 18 && y >= 2 && y < 18;
    const bool hole = x >= 6 && x < 14 && y >= 6 && y < 14;
    return ring && !hole ? 50 : 0;
  });
  Engine& e = d.engine;
  e.POCETSEGMENTU = 1;
  e.SEGMENT[0].X = 2;
  e.SEGMENT[0].Y = 2;
  EXPECT_FALSE(e.add_hole(0, 3, 3));  // on the segment itself
  EXPECT_TRUE(e.add_hole(0, 10, 12));
  EXPECT_EQ(e.SEGMENT[0].VYREZ[0].X, 6);
  EXPECT_EQ(e.SEGMENT[0].VYREZ[0].Y, 6);
  EXPECT_FALSE(e.add_hole(0, 8, 9));  // the same hole again
  EXPECT_FALSE(e.add_hole(0, 0, 5));  // outside: walks to the edge, not stored
  EXPECT_EQ(e.SEGMENT[0].VYREZ[1].X, 65535);
  e.clear_holes(0);
  EXPECT_EQ(e.SEGMENT[0].VYREZ[0].X, 65535);
}

}  // namespace
}  // namespace ksv::calculator
