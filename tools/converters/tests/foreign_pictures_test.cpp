// The converters on pictures as other programs make them, written here with the format
// libraries rather than by our own converters: a CMYK JPEG as print work delivers it, and a GIF
// with a transparent colour. Each is converted with the SUPPORT/ program and its BMP read back
// in true colour.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "images/obrazky.h"
#include "protocol/testsupport/temp_dir.h"

namespace {

using ksv::images::Obrazky;

// Runs SUPPORT/<program> IN OUT; true when it succeeded.
bool convert(const std::string& program, const std::string& in, const std::string& out) {
  const std::string cmd = "'" + std::string(KSV_SUPPORT_DIR) + program + "' '" + in + "' '" + out + "' 2>/dev/null";
  return std::system(cmd.c_str()) == 0;
}

struct Rgb {
  int r, g, b;
};

// The colour at (x, y) of a BMP, read by the system's reader without palette mapping.
Rgb pixel_of(Obrazky& img, const std::string& bmp, int x, int y) {
  img.PREVODBAR = false;
  if (img.OBRAZKY[0].VEL == 0) img.ZALOZOBRAZEK(0, 64, 64, 4);
  EXPECT_EQ(img.NAHRAJBMP(0, bmp), 0);
  const ksv::images::TOBRAZEK& o = img.OBRAZKY[0];
  EXPECT_EQ(o.BPP, 3);
  const uint8_t* p = o.BUFFER + (size_t(y) * o.MAXX + x) * 3;
  return {p[2], p[1], p[0]};
}

void expect_near(const Rgb& got, const Rgb& want, int tolerance, const char* what) {
  EXPECT_NEAR(got.r, want.r, tolerance) << what;
  EXPECT_NEAR(got.g, want.g, tolerance) << what;
  EXPECT_NEAR(got.b, want.b, tolerance) << what;
}

// A 32 x 16 CMYK JPEG with an Adobe marker, inks inverted as such files keep them (255 = no
// ink): the left half full magenta and yellow (red), the right half full cyan (sky blue).
void write_cmyk_jpeg(const std::string& name) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  jpeg_compress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = 32, c.image_height = 16, c.input_components = 4, c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  ASSERT_TRUE(c.write_Adobe_marker);
  std::vector<JSAMPLE> row(32 * 4);
  for (int x = 0; x < 32; ++x) {
    const JSAMPLE red[4] = {255, 0, 0, 255}, cyan[4] = {0, 255, 255, 255};
    std::copy(x < 16 ? red : cyan, (x < 16 ? red : cyan) + 4, &row[size_t(x) * 4]);
  }
  for (int y = 0; y < 16; ++y) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}

TEST(ForeignPictures, CmykJpegKeepsItsColours) {
  ksv::testing::TempDir dir;
  write_cmyk_jpeg(dir / "print.jpg");
  ASSERT_TRUE(convert("jpg2bmp", dir / "print.jpg", dir / "print.bmp"));
  Obrazky img;
  expect_near(pixel_of(img, dir / "print.bmp", 4, 8), {255, 0, 0}, 12, "red half");
  expect_near(pixel_of(img, dir / "print.bmp", 28, 8), {0, 255, 255}, 12, "cyan half");
}

// An 8 x 4 GIF: index 0 black (and transparent), 1 red, 2 green, 3 blue; the left column red,
// the rest transparent, except a green pixel top right and a blue one bottom right.
void write_gif(const std::string& name, int transparent) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(name.c_str(), false, &error);
  ASSERT_NE(gif, nullptr);
  GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  ASSERT_EQ(EGifPutScreenDesc(gif, 8, 4, 2, 0, map), GIF_OK);
  if (transparent >= 0) {
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = transparent;
    GifByteType ext[4];
    EGifGCBToExtension(&gcb, ext);
    ASSERT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext), GIF_OK);
  }
  ASSERT_EQ(EGifPutImageDesc(gif, 0, 0, 8, 4, false, nullptr), GIF_OK);
  for (int y = 0; y < 4; ++y) {
    GifPixelType line[8] = {1, 0, 0, 0, 0, 0, 0, GifPixelType(y == 0 ? 2 : y == 3 ? 3 : 0)};
    ASSERT_EQ(EGifPutLine(gif, line, 8), GIF_OK);
  }
  GifFreeMapObject(map);
  ASSERT_EQ(EGifCloseFile(gif, &error), GIF_OK);
}

TEST(ForeignPictures, TransparentGifPixelsAreWhite) {
  ksv::testing::TempDir dir;
  Obrazky img;
  write_gif(dir / "logo.gif", 0);
  ASSERT_TRUE(convert("gif2bmp", dir / "logo.gif", dir / "logo.bmp"));
  expect_near(pixel_of(img, dir / "logo.bmp", 0, 2), {255, 0, 0}, 0, "red column");
  expect_near(pixel_of(img, dir / "logo.bmp", 3, 2), {255, 255, 255}, 0, "transparent");
  expect_near(pixel_of(img, dir / "logo.bmp", 7, 0), {0, 255, 0}, 0, "green, top right");
  expect_near(pixel_of(img, dir / "logo.bmp", 7, 3), {0, 0, 255}, 0, "blue, bottom right");
  // Without a transparent colour, index 0 is the black of the colour map.
  write_gif(dir / "opaque.gif", -1);
  ASSERT_TRUE(convert("gif2bmp", dir / "opaque.gif", dir / "opaque.bmp"));
  expect_near(pixel_of(img, dir / "opaque.bmp", 3, 2), {0, 0, 0}, 0, "opaque black");
}

}  // namespace
