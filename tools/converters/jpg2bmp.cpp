// jpg2bmp IN.jpg [OUT.bmp] — converts a JPEG picture (colour, grey or CMYK) to a 24-bit BMP.
// Without OUT the BMP is written beside the input, named by the input's name before its first
// full stop.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "tools/converters/convert_common.h"
#include "tools/converters/jpeg_errors.h"

namespace {

// Files with an Adobe marker, nearly all CMYK files, store each ink inverted (255 = no ink).
void inks_to_rgb(const uint8_t* inks, uint8_t* rgb, int width, bool inverted) {
  for (int x = 0; x < width; ++x, inks += 4, rgb += 3) {
    const int flip = inverted ? 0 : 255;
    const int c = inks[0] ^ flip, m = inks[1] ^ flip, y = inks[2] ^ flip, k = inks[3] ^ flip;
    rgb[0] = uint8_t(c * k / 255);
    rgb[1] = uint8_t(m * k / 255);
    rgb[2] = uint8_t(y * k / 255);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string in, out;
  int rc = ksv::convert::parse_args(argc, argv, "Converts a JPEG picture to a 24-bit BMP.", ".bmp", false, in, out);
  if (rc >= 0) return rc;
  std::FILE* file = std::fopen(in.c_str(), "rb");
  if (file == nullptr) return ksv::convert::fail(in, "cannot open");
  jpeg_decompress_struct jpeg;
  ksv::convert::JpegErrors errors;
  jpeg.err = ksv::convert::init_jpeg_errors(errors, "jpg2bmp");
  ksv::convert::Rgb picture;
  std::vector<uint8_t> inks;  // one row of a CMYK picture
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&jpeg);
    std::fclose(file);
    return 1;
  }
  jpeg_create_decompress(&jpeg);
  jpeg_stdio_src(&jpeg, file);
  jpeg_read_header(&jpeg, TRUE);
  if (static_cast<long long>(jpeg.image_width) * jpeg.image_height > ksv::convert::kMaxPixels) {
    jpeg_destroy_decompress(&jpeg);
    std::fclose(file);
    return ksv::convert::fail(in, "picture too large");
  }
  // Pictures from print work are often CMYK (or YCCK, which the library turns into CMYK); the
  // library gives those only as inks, which become red, green and blue here.
  const bool cmyk = jpeg.jpeg_color_space == JCS_CMYK || jpeg.jpeg_color_space == JCS_YCCK;
  jpeg.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&jpeg);
  picture.width = int(jpeg.output_width);
  picture.height = int(jpeg.output_height);
  picture.pixels.resize(size_t(picture.width) * picture.height * 3);
  inks.resize(cmyk ? size_t(picture.width) * 4 : 0);
  while (jpeg.output_scanline < jpeg.output_height) {
    uint8_t* rgb = &picture.pixels[size_t(jpeg.output_scanline) * picture.width * 3];
    JSAMPROW row = cmyk ? inks.data() : rgb;
    jpeg_read_scanlines(&jpeg, &row, 1);
    if (cmyk) inks_to_rgb(inks.data(), rgb, picture.width, jpeg.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&jpeg);
  jpeg_destroy_decompress(&jpeg);
  std::fclose(file);
  return ksv::convert::write_bmp(out, picture) ? 0 : 1;
}
