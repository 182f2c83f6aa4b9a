// bmp2gif IN.bmp [OUT.gif] — converts a BMP picture to a GIF. A picture of at most 256 colours
// keeps them exactly; a richer one is mapped onto the fixed 3-3-2 palette of the programs.
#include <gif_lib.h>

#include <map>

#include "tools/converters/convert_common.h"

int main(int argc, char** argv) {
  std::string in, out;
  int rc = ksv::convert::parse_args(argc, argv, "Converts a BMP picture to a GIF.", ".gif", false, in, out);
  if (rc >= 0) return rc;
  ksv::convert::Rgb picture;
  if (!ksv::convert::read_picture(in, picture)) return 1;
  const size_t count = size_t(picture.width) * picture.height;

  std::map<uint32_t, int> index_of;
  for (size_t i = 0; i < count && index_of.size() <= 256; ++i) {
    const uint8_t* p = &picture.pixels[i * 3];
    index_of.emplace(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2], 0);
  }
  GifColorType colours[256] = {};
  std::vector<GifByteType> indices(count);
  if (index_of.size() <= 256) {
    int next = 0;
    for (auto& [rgb, index] : index_of) {
      index = next;
      colours[next++] = GifColorType{GifByteType(rgb >> 16), GifByteType(rgb >> 8), GifByteType(rgb)};
    }
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* p = &picture.pixels[i * 3];
      indices[i] = GifByteType(index_of[uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]]);
    }
  } else {
    for (int i = 0; i < 256; ++i)
      colours[i] = GifColorType{GifByteType((i >> 5) * 32), GifByteType(((i >> 2) & 7) * 32), GifByteType((i & 3) * 64)};
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* p = &picture.pixels[i * 3];
      indices[i] = GifByteType((p[0] & 0xE0) | ((p[1] >> 5) << 2) | (p[2] >> 6));
    }
  }

  int error = 0;
  GifFileType* gif = EGifOpenFileName(out.c_str(), false, &error);
  if (gif == nullptr) return ksv::convert::fail(out, "cannot create");
  ColorMapObject* map = GifMakeMapObject(256, colours);
  bool ok = map != nullptr && EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < picture.height; ++y)
    ok = EGifPutLine(gif, &indices[size_t(y) * picture.width], picture.width) == GIF_OK;
  if (map) GifFreeMapObject(map);
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  if (!ok) {
    std::remove(out.c_str());
    return ksv::convert::fail(out, "cannot write");
  }
  return 0;
}
