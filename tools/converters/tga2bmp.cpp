// tga2bmp IN.tga OUT.bmp — converts a Targa picture to a 24-bit BMP, the right way up and the
// right way round whichever corner the file stores first, transparent parts on white.
#include <algorithm>
#include <cstdio>

#include "tools/converters/convert_common.h"

namespace {

// The descriptor (byte 17 of the header) names the corner of the first stored pixel: bit 5 set
// for a top corner, bit 4 set for a right one. The reader places the rows by bit 5 but always
// takes a row as stored left to right, so rows stored right to left are turned round here. Its
// low four bits count the alpha bits of a pixel; without them a fourth byte is not alpha.
struct Descriptor {
  bool right_to_left = false;
  bool alpha = false;
};

Descriptor read_descriptor(const std::string& name) {
  Descriptor d;
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr) return d;
  unsigned char head[18];
  if (std::fread(head, 1, sizeof head, f) == sizeof head) {
    d.right_to_left = (head[17] & 0x10) != 0;
    d.alpha = (head[17] & 0x0F) != 0;
  }
  std::fclose(f);
  return d;
}

void mirror_rows(ksv::convert::Rgb& p) {
  for (int y = 0; y < p.height; ++y) {
    uint8_t* row = &p.pixels[size_t(y) * p.width * 3];
    for (int l = 0, r = p.width - 1; l < r; ++l, --r) std::swap_ranges(row + 3 * l, row + 3 * l + 3, row + 3 * r);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string in, out;
  int rc = ksv::convert::parse_args(argc, argv, "Converts a TGA picture to a 24-bit BMP.", ".bmp", true, in, out);
  if (rc >= 0) return rc;
  const Descriptor descriptor = read_descriptor(in);
  ksv::convert::Rgb picture;
  if (!ksv::convert::read_picture(in, picture, descriptor.alpha)) return 1;
  if (descriptor.right_to_left) mirror_rows(picture);
  return ksv::convert::write_bmp(out, picture) ? 0 : 1;
}
