// FontCache: FreeType faces by font number and a glyph cache keyed by face, pixel size and byte.
// Bytes are Windows-1250, the single-byte page our texts use, and are drawn with the glyph of
// their Unicode character; rendering is monochrome so a glyph is drawn in exactly one palette
// colour.
#include "toolkit/draw/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <map>
#include <sys/stat.h>

#include "toolkit/cp1250.h"

namespace ksv::draw {
namespace {

constexpr const char* kDefaultFontDir = "/usr/share/fonts/truetype/dejavu/";

enum FaceId { kSans = 0, kSansBold = 1, kMono = 2, kSerif = 3, kFaceCount = 4 };

const char* face_file(int id) {
  switch (id) {
    case kSansBold: return "DejaVuSans-Bold.ttf";
    case kMono: return "DejaVuSansMono.ttf";
    case kSerif: return "DejaVuSerif.ttf";
    default: return "DejaVuSans.ttf";
  }
}

// The layer's table: 0 a typewriter face, 1, 2 and 4 sans, 3 serif, 5 mono; 20 is our bold face
// for titles, highlighted rows and button captions. Anything else falls back to sans.
int face_for_font(int font) {
  switch (font) {
    case 0:
    case 5: return kMono;
    case 3: return kSerif;
    case 20: return kSansBold;
    default: return kSans;
  }
}

bool file_exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

struct FontCache::Impl {
  FT_Library lib = nullptr;
  FT_Face faces[kFaceCount] = {};
  bool tried[kFaceCount] = {};
  std::unordered_map<uint32_t, Glyph> glyphs;
  std::map<uint32_t, FaceMetrics> metrics;
  int current_face = -1, current_em = -1;

  FT_Face face(int id) {
    if (!lib) return nullptr;
    if (!tried[id]) {
      tried[id] = true;
      const char* env = std::getenv("KSV_FONT_DIR");
      std::string dir = env && *env ? std::string(env) : kDefaultFontDir;
      if (dir.back() != '/') dir += '/';
      std::string path = dir + face_file(id);
      if (!file_exists(path)) path = dir + face_file(kSans);  // a missing style falls back
      if (FT_New_Face(lib, path.c_str(), 0, &faces[id]) != 0) faces[id] = nullptr;
    }
    return faces[id];
  }

  FT_Face sized(int id, int em) {
    FT_Face f = face(id);
    if (!f) return nullptr;
    if (current_face != id || current_em != em) {
      FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(em));
      current_face = id;
      current_em = em;
    } else if (f->size->metrics.y_ppem != em) {
      FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(em));
    }
    return f;
  }
};

FontCache::FontCache() : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->lib) != 0) impl_->lib = nullptr;
}

FontCache::~FontCache() {
  for (FT_Face f : impl_->faces)
    if (f) FT_Done_Face(f);
  if (impl_->lib) FT_Done_FreeType(impl_->lib);
}

int FontCache::em_pixels(int size) {
  if (size <= 0) size = 1;
  int height = size < 8 ? size * 8 : size;
  // The requested size is the line height; DejaVu's ascent plus descent is about 8/7 of its em.
  return (height * 7 + 4) / 8;
}

const Glyph* FontCache::glyph(int font, int size, uint8_t ch) {
  int id = face_for_font(font);
  int em = em_pixels(size);
  uint32_t key = (static_cast<uint32_t>(id) << 24) | (static_cast<uint32_t>(em & 0xFFFF) << 8) | ch;
  auto it = impl_->glyphs.find(key);
  if (it != impl_->glyphs.end()) return &it->second;

  FT_Face f = impl_->sized(id, em);
  if (!f) return nullptr;
  Glyph g;
  // The five bytes the code page leaves undefined show as "?".
  FT_ULong cp = toolkit::cp1250_to_unicode(ch);
  if (cp == 0 && ch != 0) cp = '?';
  if (FT_Load_Char(f, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
    FT_GlyphSlot s = f->glyph;
    const FT_Bitmap& bm = s->bitmap;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.left = s->bitmap_left;
    g.top = s->bitmap_top;
    g.advance = static_cast<int>((s->advance.x + 32) >> 6);
    g.bits.assign(static_cast<size_t>(g.width) * g.rows, 0);
    for (int y = 0; y < g.rows; ++y) {
      const unsigned char* row = bm.buffer + y * bm.pitch;
      for (int x = 0; x < g.width; ++x) {
        bool ink = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] >> (7 - (x & 7))) & 1
                                                       : row[x] >= 128;
        g.bits[static_cast<size_t>(y) * g.width + x] = ink ? 1 : 0;
      }
    }
  }
  return &impl_->glyphs.emplace(key, std::move(g)).first->second;
}

FaceMetrics FontCache::metrics(int font, int size) {
  int id = face_for_font(font);
  int em = em_pixels(size);
  uint32_t key = (static_cast<uint32_t>(id) << 16) | static_cast<uint32_t>(em & 0xFFFF);
  auto it = impl_->metrics.find(key);
  if (it != impl_->metrics.end()) return it->second;
  FaceMetrics m{em * 4 / 5, em / 5};
  if (FT_Face f = impl_->sized(id, em)) {
    m.ascent = static_cast<int>((f->size->metrics.ascender + 63) >> 6);
    m.descent = static_cast<int>((-f->size->metrics.descender + 63) >> 6);
  }
  impl_->metrics[key] = m;
  return m;
}

int FontCache::text_width(int font, int size, const std::string& text) {
  int w = 0;
  for (unsigned char c : text) {
    const Glyph* g = glyph(font, size, c);
    if (g) w += g->advance;
  }
  return w;
}

}  // namespace ksv::draw
