// FontCache: the text faces of the drawing layer, rendered monochrome by FreeType and kept per
// (font, size, character), so drawing a screen of text costs table look-ups after the first frame.
// The layer's font numbers map to DejaVu faces; size is the text height in pixels.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ksv::draw {

struct Glyph {
  int width = 0, rows = 0;  // bitmap size
  int left = 0, top = 0;    // bitmap offset from the pen position (top = rows above baseline)
  int advance = 0;          // whole pixels, so measuring and drawing agree
  std::vector<uint8_t> bits;  // width × rows, 1 = ink
};

struct FaceMetrics {
  int ascent = 0;   // pixels above the baseline
  int descent = 0;  // pixels below it
};

class FontCache {
 public:
  FontCache();
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  // Nullptr when no face could be loaded (text then draws nothing and measures 0).
  const Glyph* glyph(int font, int size, uint8_t ch);
  FaceMetrics metrics(int font, int size);
  int text_width(int font, int size, const std::string& text);

  // Pixel em size used for a requested text size. Sizes below 8 are taken as a scale factor of
  // 8 pixels, so a title asked for at size 2 stays readable.
  static int em_pixels(int size);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ksv::draw
