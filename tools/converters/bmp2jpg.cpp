// bmp2jpg IN.bmp [OUT.jpg] — converts a BMP picture to a JPEG of high quality.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "tools/converters/convert_common.h"
#include "tools/converters/jpeg_errors.h"

namespace {
constexpr int kQuality = 95;
}  // namespace

int main(int argc, char** argv) {
  std::string in, out;
  int rc = ksv::convert::parse_args(argc, argv, "Converts a BMP picture to a JPEG.", ".jpg", false, in, out);
  if (rc >= 0) return rc;
  ksv::convert::Rgb picture;
  if (!ksv::convert::read_picture(in, picture)) return 1;
  std::FILE* file = std::fopen(out.c_str(), "wb");
  if (file == nullptr) return ksv::convert::fail(out, "cannot create");
  jpeg_compress_struct jpeg;
  ksv::convert::JpegErrors errors;
  jpeg.err = ksv::convert::init_jpeg_errors(errors, "bmp2jpg");
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&jpeg);
    std::fclose(file);
    std::remove(out.c_str());
    return 1;
  }
  jpeg_create_compress(&jpeg);
  jpeg_stdio_dest(&jpeg, file);
  jpeg.image_width = JDIMENSION(picture.width);
  jpeg.image_height = JDIMENSION(picture.height);
  jpeg.input_components = 3;
  jpeg.in_color_space = JCS_RGB;
  jpeg_set_defaults(&jpeg);
  jpeg_set_quality(&jpeg, kQuality, TRUE);
  jpeg_start_compress(&jpeg, TRUE);
  while (jpeg.next_scanline < jpeg.image_height) {
    JSAMPROW row = &picture.pixels[size_t(jpeg.next_scanline) * picture.width * 3];
    jpeg_write_scanlines(&jpeg, &row, 1);
  }
  jpeg_finish_compress(&jpeg);
  jpeg_destroy_compress(&jpeg);
  if (std::fclose(file) != 0) {
    std::remove(out.c_str());
    return ksv::convert::fail(out, "cannot write");
  }
  return 0;
}
