// bmp2tga IN.bmp OUT.tga — converts a BMP picture to a 24-bit Targa picture, top row first.
#include "tools/converters/convert_common.h"

int main(int argc, char** argv) {
  std::string in, out;
  int rc = ksv::convert::parse_args(argc, argv, "Converts a BMP picture to a 24-bit TGA.", ".tga", true, in, out);
  if (rc >= 0) return rc;
  ksv::convert::Rgb picture;
  if (!ksv::convert::read_picture(in, picture)) return 1;
  return ksv::convert::write_tga(out, picture) ? 0 : 1;
}
