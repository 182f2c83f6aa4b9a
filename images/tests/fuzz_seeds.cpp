// Writes small seed pictures for the fuzz targets (DIR/bmp, DIR/pcx, DIR/ksv), built from the
// same builders and savers as the tests, so no binary picture is kept in the repository.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "images/obrazky.h"
#include "images/testsupport/picture_builders.h"

using ksv::images::testing::Bytes;
namespace b = ksv::images::testing;

static bool put(const std::string& path, const Bytes& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: images_fuzz_seeds DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  for (const char* sub : {"", "/bmp", "/pcx", "/ksv"}) mkdir((dir + sub).c_str(), 0755);
  bool ok = true;

  ksv::images::Obrazky img;
  img.ZALOZOBRAZEK(0, 12, 5, 1);
  ksv::images::TOBRAZEK& o = img.OBRAZKY[0];
  o.VELX = 12, o.VELY = 5, o.BPP = 0;
  for (int i = 0; i < 60; ++i) o.BUFFER[i] = uint8_t(i < 30 ? 7 : i * 13);
  Bytes saved;
  img.save_bmp_memory(0, saved);
  ok &= put(dir + "/bmp/indexed8", saved);
  img.save_ksv_memory(0, saved);
  ok &= put(dir + "/ksv/mixed", saved);

  const Bytes quads(16, 0x40);
  ok &= put(dir + "/bmp/rle8", b::windows_bmp(6, 3, 8, 1, {3, 7, 0, 3, 9, 9, 9, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 1}, quads, {}, 4));
  // Rows coded over a width padded to four pixels, as common encoders write them.
  ok &= put(dir + "/bmp/rle8_padded_rows", b::windows_bmp(5, 2, 8, 1, {8, 3, 0, 0, 0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0, 1}, quads, {}, 4));
  ok &= put(dir + "/bmp/rgb24", b::windows_bmp(2, 2, 24, 0, b::bottom_up_padded({{0, 0, 255, 255, 0, 0}, {1, 2, 3, 4, 5, 6}})));
  ok &= put(dir + "/bmp/rgb16", b::windows_bmp(2, 1, 16, 0, {0x00, 0x7C, 0x1F, 0x00}));
  ok &= put(dir + "/bmp/masks16", b::windows_bmp(2, 1, 16, 3, {0x00, 0xF8, 0x1F, 0x00}, {}, {0, 0xF8, 0, 0, 0xE0, 7, 0, 0, 0x1F, 0, 0, 0}));
  ok &= put(dir + "/bmp/rgb32", b::windows_bmp(1, -2, 32, 0, {1, 2, 3, 4, 5, 6, 7, 8}));
  ok &= put(dir + "/bmp/os2", b::os2_bmp(2, 1, 8, {1, 0, 0, 0}, {0, 0, 0, 0, 0, 255}));

  Bytes palette(768, 0x80);
  ok &= put(dir + "/pcx/one_plane", b::pcx_file(3, 2, 1, 4, {{5, 5, 6, 0}, {200, 6, 6, 0}}, palette));
  ok &= put(dir + "/pcx/three_planes", b::pcx_file(2, 2, 3, 2, {{255, 255, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6}}));
  return ok ? 0 : 1;
}
