// Round trips through the SUPPORT/ converters (TGA, GIF, JPG), run from the build's runnable tree
// exactly as the programs run them, and the rules around them: a program directory with a space,
// a failing converter, and the user's own BMP beside the picture left untouched.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "images/obrazky.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::images {
namespace {

const std::string kProgramDir = KSV_SUPPORT_PARENT;

// A 48 x 32 picture of six flat 16 x 16 blocks in distinct fixed-palette colours.
constexpr uint8_t kBlocks[6] = {0xE0, 0x1C, 0x03, 0xFF, 0x00, 0x6D};

void draw_blocks(Obrazky& img, uint16_t slot) {
  TOBRAZEK& o = img.OBRAZKY[slot];
  o.VELX = 48, o.VELY = 32, o.BPP = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x) o.BUFFER[y * o.MAXX + x] = kBlocks[(y / 16) * 3 + x / 16];
}

struct Converters : ::testing::Test {
  ksv::testing::TempDir dir;
  Obrazky img{nullptr, kProgramDir};
  void SetUp() override {
    ASSERT_EQ(img.ZALOZOBRAZEK(0, 48, 32, 1), 0);
    ASSERT_EQ(img.ZALOZOBRAZEK(1, 64, 64, 4), 0);
    draw_blocks(img, 0);
  }
  void expect_same_picture() {
    const TOBRAZEK& a = img.OBRAZKY[0];
    const TOBRAZEK& b = img.OBRAZKY[1];
    ASSERT_EQ(b.VELX, 48);
    ASSERT_EQ(b.VELY, 32);
    ASSERT_EQ(b.BPP, 0);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 48; ++x)
        ASSERT_EQ(b.BUFFER[y * b.MAXX + x], a.BUFFER[y * a.MAXX + x]) << x << "," << y;
  }
};

TEST_F(Converters, TgaAndGifKeepEveryPixel) {
  for (const char* name : {"logo.tga", "logo.gif"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(img.ULOZOBRAZEK(0, dir / name), 0);
    EXPECT_GT(dir.file_size(name), 0);
    img.OBRAZKY[1].VELX = 0;
    ASSERT_EQ(img.NAHRAJOBRAZEK(1, dir / name), 0);
    expect_same_picture();
  }
  EXPECT_FALSE(dir.exists("logo.bmp"));  // no BMP is left beside the pictures
}

TEST_F(Converters, UpperCaseExtensionsLoad) {
  ASSERT_EQ(img.ULOZOBRAZEK(0, dir / "a.gif"), 0);
  ASSERT_EQ(std::rename((dir / "a.gif").c_str(), (dir / "A.GIF").c_str()), 0);
  ASSERT_EQ(img.NAHRAJOBRAZEK(1, dir / "A.GIF"), 0);
  expect_same_picture();
}

TEST_F(Converters, JpegKeepsTheColoursOfFlatBlocks) {
  ASSERT_EQ(img.ULOZOBRAZEK(0, dir / "logo.jpg"), 0);
  img.PREVODBAR = false;  // compare true colours: JPEG is lossy by a few steps
  ASSERT_EQ(img.NAHRAJOBRAZEK(1, dir / "logo.jpg"), 0);
  const TOBRAZEK& b = img.OBRAZKY[1];
  ASSERT_EQ(b.BPP, 3);
  ASSERT_EQ(b.VELX, 48);
  for (int block = 0; block < 6; ++block) {
    const int x = (block % 3) * 16 + 8, y = (block / 3) * 16 + 8;
    const uint8_t* px = b.BUFFER + (y * b.MAXX + x) * 3;
    const TRGB& want = img.PALETA[kBlocks[block]];
    EXPECT_NEAR(px[2], want.R, 12) << block;
    EXPECT_NEAR(px[1], want.G, 12) << block;
    EXPECT_NEAR(px[0], want.B, 12) << block;
  }
}

TEST_F(Converters, UsersOwnBmpBesideThePictureIsKept) {
  ASSERT_EQ(img.ULOZOBRAZEK(0, dir / "logo.jpg"), 0);
  dir.write_file("logo.bmp", "the user's own picture");
  ASSERT_EQ(img.NAHRAJOBRAZEK(1, dir / "logo.jpg"), 0);
  ASSERT_EQ(img.ULOZOBRAZEK(0, dir / "logo.gif"), 0);
  EXPECT_EQ(dir.read_file("logo.bmp"), "the user's own picture");
}

TEST_F(Converters, FailuresReportFive) {
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "missing.jpg"), 5);
  dir.write_file("broken.gif", "GIF89a but nothing else");
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "broken.gif"), 5);
  EXPECT_EQ(img.ULOZOBRAZEK(0, dir / "no/such/dir/x.tga"), 5);
  // A program directory whose path holds a space: refused before anything is run.
  ASSERT_EQ(img.ULOZOBRAZEK(0, dir / "ok.jpg"), 0);
  img.set_program_dir("/opt/ksv with space/logocalc");
  EXPECT_TRUE(img.LFNCESTA);
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "ok.jpg"), 5);
  EXPECT_EQ(img.ULOZOBRAZEK(0, dir / "new.tga"), 5);
  EXPECT_FALSE(dir.exists("new.tga"));
  // No converters at all.
  img.set_program_dir(dir.path());
  EXPECT_EQ(img.NAHRAJOBRAZEK(1, dir / "ok.jpg"), 5);
}

TEST_F(Converters, SingleArgumentFormWritesBesideTheInput) {
  ASSERT_EQ(img.ULOZOBRAZEK(0, dir / "pic.gif"), 0);
  const std::string cmd = "'" + kProgramDir + "SUPPORT/gif2bmp' '" + (dir / "pic.gif") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  ASSERT_TRUE(dir.exists("pic.bmp"));
  ASSERT_EQ(img.NAHRAJOBRAZEK(1, dir / "pic.bmp"), 0);
  expect_same_picture();
  const std::string usage = "'" + kProgramDir + "SUPPORT/bmp2jpg' >/dev/null 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(usage.c_str())), 2);
}

}  // namespace
}  // namespace ksv::images
