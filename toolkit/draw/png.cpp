// write_png_file: a 640 × 480 indexed frame as an 8-bit palette PNG, for screenshots of the
// headless display and of tests.
#include <png.h>

#include <cstdio>

#include "toolkit/draw/graph.h"

namespace ksv::draw {

bool write_png_file(const std::string& path, const uint8_t* pixels, const Palette& palette) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, kScreenW, kScreenH, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colors[256];
  for (int i = 0; i < 256; ++i) colors[i] = png_color{palette[i].r, palette[i].g, palette[i].b};
  png_set_PLTE(png, info, colors, 256);
  png_write_info(png, info);
  for (int y = 0; y < kScreenH; ++y)
    png_write_row(png, const_cast<png_bytep>(pixels + static_cast<size_t>(y) * kScreenW));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace ksv::draw
