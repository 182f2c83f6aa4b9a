// gif2bmp IN.gif [OUT.bmp] — converts the first frame of a GIF picture to a 24-bit BMP, its
// transparent pixels white. Without OUT the BMP is written beside the input, named by the
// input's name before its first full stop.
#include <gif_lib.h>

#include "tools/converters/convert_common.h"

int main(int argc, char** argv) {
  std::string in, out;
  int rc = ksv::convert::parse_args(argc, argv, "Converts the first frame of a GIF picture to a 24-bit BMP.",
                                    ".bmp", false, in, out);
  if (rc >= 0) return rc;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(in.c_str(), &error);
  if (gif == nullptr) return ksv::convert::fail(in, GifErrorString(error) ? GifErrorString(error) : "cannot open");
  if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1 || gif->SWidth <= 0 || gif->SHeight <= 0) {
    DGifCloseFile(gif, &error);
    return ksv::convert::fail(in, "not a readable GIF picture");
  }
  const SavedImage& frame = gif->SavedImages[0];
  const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
  if (map == nullptr) {
    DGifCloseFile(gif, &error);
    return ksv::convert::fail(in, "no colour map");
  }
  if (static_cast<long long>(gif->SWidth) * gif->SHeight > ksv::convert::kMaxPixels) {
    DGifCloseFile(gif, &error);
    return ksv::convert::fail(in, "picture too large");
  }
  // The frame is placed on the logical screen, filled with the background colour.
  ksv::convert::Rgb picture;
  picture.width = gif->SWidth;
  picture.height = gif->SHeight;
  picture.pixels.assign(size_t(picture.width) * picture.height * 3, 0);
  // A transparent pixel has no colour of its own; it shows the ground the picture lies on,
  // which for a logo is white.
  GraphicsControlBlock control{};
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  if (gif->ImageCount > 0) DGifSavedExtensionToGCB(gif, 0, &control);
  auto colour = [&](int index, uint8_t* px) {
    if (index == control.TransparentColor) {
      px[0] = px[1] = px[2] = 255;
      return;
    }
    if (index < 0 || index >= map->ColorCount) return;
    px[0] = map->Colors[index].Red;
    px[1] = map->Colors[index].Green;
    px[2] = map->Colors[index].Blue;
  };
  for (size_t i = 0; i < size_t(picture.width) * picture.height; ++i)
    colour(gif->SBackGroundColor, &picture.pixels[i * 3]);
  const GifImageDesc& d = frame.ImageDesc;
  // Interlaced frames store rows in four passes; map each stored row to its place.
  std::vector<int> row_of(size_t(d.Height > 0 ? d.Height : 0));
  if (d.Interlace) {
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    int stored = 0;
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < d.Height; y += step[pass]) row_of[size_t(stored++)] = y;
  } else {
    for (int y = 0; y < d.Height; ++y) row_of[size_t(y)] = y;
  }
  for (int r = 0; r < d.Height; ++r) {
    const int y = d.Top + row_of[size_t(r)];
    if (y < 0 || y >= picture.height) continue;
    for (int c = 0; c < d.Width; ++c) {
      const int x = d.Left + c;
      if (x < 0 || x >= picture.width) continue;
      colour(frame.RasterBits[size_t(r) * d.Width + c], &picture.pixels[(size_t(y) * picture.width + x) * 3]);
    }
  }
  DGifCloseFile(gif, &error);
  return ksv::convert::write_bmp(out, picture) ? 0 : 1;
}
