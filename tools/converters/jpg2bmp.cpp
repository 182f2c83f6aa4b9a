// jpg2bmp IN.jpg [OUT.bmp] — converts a JPEG picture to a 24-bit BMP. Without OUT the BMP is
// written beside the input, named by the input's name before its first full stop.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "tools/converters/convert_common.h"
#include "tools/converters/jpeg_errors.h"

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
  jpeg.out_color_space = JCS_RGB;
  jpeg_start_decompress(&jpeg);
  picture.width = int(jpeg.output_width);
  picture.height = int(jpeg.output_height);
  picture.pixels.resize(size_t(picture.width) * picture.height * 3);
  while (jpeg.output_scanline < jpeg.output_height) {
    JSAMPROW row = &picture.pixels[size_t(jpeg.output_scanline) * picture.width * 3];
    jpeg_read_scanlines(&jpeg, &row, 1);
  }
  jpeg_finish_decompress(&jpeg);
  jpeg_destroy_decompress(&jpeg);
  std::fclose(file);
  return ksv::convert::write_bmp(out, picture) ? 0 : 1;
}
