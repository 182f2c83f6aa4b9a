// The converters' own Targa writer. Targa lets a file keep its rows bottom row first (the
// format's default) or top row first, saying which in bit 5 of the header's last byte; readers
// that ignore the bit take the rows as top first. Our files are therefore written top row first
// and say so: every reader shows them the right way up, whether it honours the bit or not.
//
// Layout (little-endian):
//   0  id length 0           1  colour map type 0      2  image type 10: run-length true colour
//   3  colour map, 5 bytes 0 8  x origin 0 (2)         10 y origin 0 (2)
//   12 width (2)             14 height (2)             16 bits per pixel 24
//   17 descriptor 0x20: rows top first, left to right, no alpha bits
//   18 packets, row by row: a head byte with bit 7 set repeats the one pixel after it
//      (head & 127) + 1 times; with bit 7 clear (head + 1) pixels follow. Pixels are blue, green,
//      red. No packet crosses from one row into the next.
#include <cstdio>
#include <cstring>

#include "tools/converters/convert_common.h"

namespace ksv::convert {

namespace {

constexpr int kMaxPacket = 128;
constexpr uint8_t kTopFirst = 0x20;

void put_pixel(std::vector<uint8_t>& out, const uint8_t* rgb) {
  out.push_back(rgb[2]);
  out.push_back(rgb[1]);
  out.push_back(rgb[0]);
}

void encode_row(std::vector<uint8_t>& out, const uint8_t* row, int width) {
  auto same = [&](int a, int b) { return std::memcmp(row + 3 * a, row + 3 * b, 3) == 0; };
  for (int x = 0; x < width;) {
    int run = 1;
    while (x + run < width && run < kMaxPacket && same(x, x + run)) ++run;
    if (run >= 2) {
      out.push_back(uint8_t(0x80 | (run - 1)));
      put_pixel(out, row + 3 * x);
      x += run;
      continue;
    }
    // Literal pixels up to the next pair of equal ones, which start a run of their own.
    int n = 1;
    while (x + n < width && n < kMaxPacket && !(x + n + 1 < width && same(x + n, x + n + 1))) ++n;
    out.push_back(uint8_t(n - 1));
    for (int i = 0; i < n; ++i) put_pixel(out, row + 3 * (x + i));
    x += n;
  }
}

}  // namespace

bool encode_tga(const Rgb& p, std::vector<uint8_t>& out) {
  if (p.width < 1 || p.height < 1 || p.width > 65535 || p.height > 65535) return false;
  out.assign(18, 0);
  out[2] = 10;
  out[12] = uint8_t(p.width), out[13] = uint8_t(p.width >> 8);
  out[14] = uint8_t(p.height), out[15] = uint8_t(p.height >> 8);
  out[16] = 24;
  out[17] = kTopFirst;
  for (int y = 0; y < p.height; ++y) encode_row(out, &p.pixels[size_t(y) * p.width * 3], p.width);
  return true;
}

bool write_tga(const std::string& name, const Rgb& p) {
  std::vector<uint8_t> data;
  if (!encode_tga(p, data)) {
    fail(name, "a Targa picture holds at most 65535 x 65535 pixels");
    return false;
  }
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (f == nullptr) {
    fail(name, "cannot create");
    return false;
  }
  const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  if (std::fclose(f) != 0 || !written) {
    std::remove(name.c_str());
    fail(name, "cannot write");
    return false;
  }
  return true;
}

}  // namespace ksv::convert
