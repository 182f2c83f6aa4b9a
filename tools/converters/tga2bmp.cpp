// tga2bmp IN.tga OUT.bmp — converts a Targa picture, bottom or top row first as its header says,
// to a 24-bit BMP.
#include "tools/converters/convert_common.h"

int main(int argc, char** argv) {
  std::string in, out;
  int rc = ksv::convert::parse_args(argc, argv, "Converts a TGA picture to a 24-bit BMP.", ".bmp", true, in, out);
  if (rc >= 0) return rc;
  ksv::convert::Rgb picture;
  if (!ksv::convert::read_picture(in, picture)) return 1;
  return ksv::convert::write_bmp(out, picture) ? 0 : 1;
}
