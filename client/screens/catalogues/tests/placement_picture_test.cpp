// Placement pictures read from files and fitted into the preview: the proportions of the file,
// not of the squeezed copy a reader makes of a large picture; small pictures kept as they are;
// a file that cannot be read leaves the picture shown before; the ".ksv" sent reads back alike.
#include "client/screens/catalogues/placement_picture.h"

#include <gtest/gtest.h>

#include <string>

#include "images/testsupport/picture_builders.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::client::catalogues {
namespace {

using images::testing::Bytes;

constexpr uint16_t kSlot = 3, kScratch = 9;

// A 24-bit BMP of w × h: the left half red, the right half blue.
Bytes halves_bmp(int32_t w, int32_t h) {
  std::vector<Bytes> rows;
  for (int32_t y = 0; y < h; ++y) {
    Bytes row;
    for (int32_t x = 0; x < w; ++x) {
      const bool left = x < w / 2;
      row.push_back(left ? 0 : 255);  // blue
      row.push_back(0);               // green
      row.push_back(left ? 255 : 0);  // red
    }
    rows.push_back(row);
  }
  return images::testing::windows_bmp(w, h, 24, 0, images::testing::bottom_up_padded(rows));
}

class PlacementPicture : public ::testing::Test {
 protected:
  PlacementPicture() : im(nullptr, dir.path()) {
    EXPECT_EQ(im.ZALOZOBRAZEK(kSlot, kPreview.w, kPreview.h, 1), images::kOk);
  }
  std::string file(const std::string& name, const Bytes& b) {
    dir.write_file(name, std::string(b.begin(), b.end()));
    return dir / name;
  }
  const images::TOBRAZEK& slot() const { return im.OBRAZKY[kSlot]; }
  uint8_t at(int32_t x, int32_t y) const { return slot().BUFFER[size_t(y) * slot().MAXX + x]; }

  ksv::testing::TempDir dir;
  images::Obrazky im;
  const uint8_t red = im.NAJDIBARVU(255, 0, 0), blue = im.NAJDIBARVU(0, 0, 255);
};

TEST_F(PlacementPicture, ALargePictureIsFittedWithTheProportionsOfTheFile) {
  // Wider than the scratch slot: the reader squeezes it to 640 × 200 on the way in, which would
  // make it 230 × 71 if the squeezed copy's proportions were taken.
  ASSERT_EQ(load_fitted(im, kSlot, kScratch, file("wide.bmp", halves_bmp(1000, 200))), images::kOk);
  EXPECT_EQ(slot().VELX, 230);
  EXPECT_EQ(slot().VELY, 46);
  EXPECT_EQ(slot().BPP, 0);
  EXPECT_EQ(at(10, 20), red);
  EXPECT_EQ(at(220, 20), blue);
  EXPECT_EQ(im.OBRAZKY[kScratch].VEL, 0) << "the scratch slot is freed";

  ASSERT_EQ(load_fitted(im, kSlot, kScratch, file("tall.bmp", halves_bmp(120, 900))), images::kOk);
  EXPECT_EQ(slot().VELX, 20);
  EXPECT_EQ(slot().VELY, 150);
  EXPECT_EQ(at(2, 149), red);
  EXPECT_EQ(at(17, 0), blue);

  // A small picture is kept at its size, not blown up.
  ASSERT_EQ(load_fitted(im, kSlot, kScratch, file("small.bmp", halves_bmp(40, 30))), images::kOk);
  EXPECT_EQ(slot().VELX, 40);
  EXPECT_EQ(slot().VELY, 30);
  EXPECT_EQ(at(0, 0), red);
  EXPECT_EQ(at(39, 29), blue);
}

TEST_F(PlacementPicture, AFileThatCannotBeReadLeavesThePictureAsItWas) {
  ASSERT_EQ(load_fitted(im, kSlot, kScratch, file("small.bmp", halves_bmp(40, 30))), images::kOk);
  Bytes broken = halves_bmp(40, 30);
  broken[0] = 'X';
  EXPECT_NE(load_fitted(im, kSlot, kScratch, file("broken.bmp", broken)), images::kOk);
  EXPECT_NE(load_fitted(im, kSlot, kScratch, dir / "missing.bmp"), images::kOk);
  EXPECT_NE(load_fitted(im, kSlot, kScratch, file("notes.txt", halves_bmp(40, 30))), images::kOk);
  EXPECT_EQ(slot().VELX, 40);
  EXPECT_EQ(slot().VELY, 30);
  EXPECT_EQ(at(0, 0), red);
  EXPECT_EQ(im.OBRAZKY[kScratch].VEL, 0);
  // A scratch slot that is taken is not overwritten.
  ASSERT_EQ(im.ZALOZOBRAZEK(kScratch, 4, 4, 1), images::kOk);
  EXPECT_NE(load_fitted(im, kSlot, kScratch, dir / "small.bmp"), images::kOk);
  EXPECT_EQ(im.OBRAZKY[kScratch].MAXX, 4);
}

TEST_F(PlacementPicture, ADrawnPictureReadsBackFromItsKsvFileAlike) {
  make_blank(im, kSlot);
  EXPECT_EQ(slot().VELX, kPreview.w);
  EXPECT_EQ(slot().VELY, kPreview.h);
  EXPECT_EQ(at(229, 149), kBlankColour);
  PixelView v = view_of(im.OBRAZKY[kSlot]);
  ASSERT_EQ(v.width, kPreview.w);
  draw_segment(v, {0, 0}, {229, 149}, red);
  draw_segment(v, {0, 149}, {229, 0}, blue);
  const std::vector<uint8_t> drawn(slot().BUFFER, slot().BUFFER + size_t(slot().MAXX) * slot().MAXY);
  ASSERT_EQ(im.ULOZKSV(kSlot, dir / "sent.ksv"), images::kOk);

  im.VYMAZBUFFER(kSlot, 0);
  ASSERT_EQ(load_fitted(im, kSlot, kScratch, dir / "sent.ksv"), images::kOk);
  EXPECT_EQ(slot().VELX, kPreview.w);
  EXPECT_EQ(slot().VELY, kPreview.h);
  EXPECT_EQ(std::vector<uint8_t>(slot().BUFFER, slot().BUFFER + drawn.size()), drawn);

  // A slot without a picture gives the pen nothing to draw on.
  im.OBRAZKY[kSlot].VELX = 0;
  EXPECT_EQ(view_of(im.OBRAZKY[kSlot]).pixels, nullptr);
}

}  // namespace
}  // namespace ksv::client::catalogues
