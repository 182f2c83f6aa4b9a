// The slot table and everything that works on a slot as a whole: allocation, the fixed palette
// and colour conversion, brightness, clearing, colour replacement, drawing, grabbing, cropping,
// rescaling, and the dispatch of loading and saving by file extension.
//
// Sections: [slots] [colours] [drawing] [resizing] [dispatch]
#include "images/obrazky.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

namespace ksv::images {

int32_t bytes_per_pixel(int32_t code) {
  if (code == 0) return 1;
  if (code == 5) return 2;
  return code;
}

Obrazky::Obrazky(draw::PixelSurface* surface, std::string program_dir)
    : surface_(surface), PRACRADEK(kWorkRowBytes) {
  set_program_dir(std::move(program_dir));
  NASTAVPALETU();
}

Obrazky::~Obrazky() { ZRUSOBRAZKY(); }

void Obrazky::set_program_dir(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  ADRESAREXE = std::move(dir);
  LFNCESTA = ADRESAREXE.find(' ') != std::string::npos;
}

void Obrazky::set_executable_path(const std::string& exe_path) {
  std::string upper = exe_path;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  SOUBTEXTU = upper.find("KSVDB") != std::string::npos ? "dbtexty.dat" : "texty.dat";
  const size_t slash = exe_path.rfind('/');
  set_program_dir(slash == std::string::npos ? std::string("./") : exe_path.substr(0, slash + 1));
}

bool Obrazky::picture_fits(const TOBRAZEK& o, int32_t bpp) const {
  if (o.VEL <= 0 || o.BUFFER == nullptr) return false;
  if (o.VELX < 0 || o.VELY < 0 || o.VELX > o.MAXX || o.VELY > o.MAXY) return false;
  return int64_t{o.MAXX} * o.MAXY * bpp <= o.VEL;
}

// ---------------------------------------------------------------------------------- [slots]

int32_t Obrazky::ZALOZOBRAZEK(uint16_t slot, int32_t x, int32_t y, int32_t bpp) {
  if (bpp == 0) return kZeroBpp;
  if (slot >= kSlotCount) return VELKECISLO;
  TOBRAZEK& o = OBRAZKY[slot];
  if (o.VEL != 0) return kSlotTaken;
  // A negative or overflowing size cannot be allocated; the slot stays free rather than
  // holding a buffer smaller than its MAXX x MAXY x MAXBPP promise.
  int64_t size = int64_t{x} * y * bpp;
  if (x <= 0 || y <= 0 || bpp < 0 || size > INT32_MAX) return kZeroBpp;
  o.BUFFER = new (std::nothrow) uint8_t[size]();
  if (o.BUFFER == nullptr) return kZeroBpp;
  o.VEL = static_cast<int32_t>(size);
  o.MAXX = x;
  o.MAXY = y;
  o.MAXBPP = bpp;
  return kOk;
}

void Obrazky::ZRUSOBRAZEK(uint16_t slot) {
  if (slot >= kSlotCount || OBRAZKY[slot].VEL == 0) return;
  delete[] OBRAZKY[slot].BUFFER;
  OBRAZKY[slot].BUFFER = nullptr;
  OBRAZKY[slot].VEL = 0;
}

void Obrazky::ZRUSOBRAZKY() {
  for (uint16_t i = 0; i < kSlotCount; ++i) ZRUSOBRAZEK(i);
}

int32_t Obrazky::ZMENBUFFER(uint16_t slot, int32_t size) {
  if (slot >= kSlotCount) return VELKECISLO;
  TOBRAZEK& o = OBRAZKY[slot];
  if (o.VEL == 0) return OBRAZEKNEALOK;
  if (size <= 0) return kZeroBpp;
  uint8_t* fresh = new (std::nothrow) uint8_t[size]();
  if (fresh == nullptr) return kZeroBpp;
  delete[] o.BUFFER;
  o.BUFFER = fresh;
  o.VEL = size;
  return kOk;
}

uint8_t Obrazky::ZMENBPPBUF(uint16_t slot, int32_t newbpp) {
  if (slot >= kSlotCount) return VELKECISLO;
  TOBRAZEK& o = OBRAZKY[slot];
  if (o.VEL == 0) return OBRAZEKNEALOK;
  if (newbpp <= 0) return kOk;
  // The row width is taken in bytes of the format now held; format 0 counts one byte (taking
  // the code itself would make the width 0 and divide by it).
  int64_t w = (int64_t{o.MAXX} * bytes_per_pixel(o.BPP) / newbpp) * 3 / 4;
  if (w <= 0) return kOk;
  int64_t h = (o.VEL / w) / newbpp;
  int64_t big = std::max(w, h), small = std::min(w, h);
  if (o.MAXX > o.MAXY) {
    o.MAXX = static_cast<int32_t>(big);
    o.MAXY = static_cast<int32_t>(small);
  } else {
    o.MAXX = static_cast<int32_t>(small);
    o.MAXY = static_cast<int32_t>(big);
  }
  o.BPP = newbpp;
  return kOk;
}

// -------------------------------------------------------------------------------- [colours]

void Obrazky::NASTAVPALETU() {
  for (int i = 0; i < 256; ++i) {
    PALETA[i] = TRGB{static_cast<uint8_t>((i >> 5) * 32), static_cast<uint8_t>(((i >> 2) & 7) * 32),
                     static_cast<uint8_t>((i & 3) * 64)};
    if (surface_ != nullptr) surface_->SETRGBPALETTE(i, PALETA[i].R, PALETA[i].G, PALETA[i].B);
  }
}

uint8_t Obrazky::NAJDIBARVU(uint8_t r, uint8_t g, uint8_t b) const {
  if (NORMALIZACE > 0) {
    int bits = std::min(NORMALIZACE, 8);
    uint8_t mask = static_cast<uint8_t>(0xFF << bits);
    r &= mask;
    g &= mask;
    b &= mask;
  }
  return static_cast<uint8_t>((r & 0xE0) | ((g >> 5) << 2) | (b >> 6));
}

uint8_t Obrazky::NAJDIBARVUHC15(uint16_t p) const {
  return NAJDIBARVU(static_cast<uint8_t>((p & 31) * 8), static_cast<uint8_t>(((p >> 5) & 31) * 8),
                    static_cast<uint8_t>(((p >> 10) & 31) * 8));
}

uint8_t Obrazky::NAJDIBARVUHC16(uint16_t p) const {
  return NAJDIBARVU(static_cast<uint8_t>((p & 31) * 8), static_cast<uint8_t>(((p >> 5) & 63) * 4),
                    static_cast<uint8_t>((p >> 11) * 8));
}

uint16_t SNIZBARVY(uint32_t p, uint8_t code) {
  if (code == 3 || code == 4) {
    return static_cast<uint16_t>(((p & 0xF8) << 7) | (((p >> 8) & 0xF8) << 2) |
                                 (((p >> 16) & 0xFF) >> 3));
  }
  return static_cast<uint16_t>(p & 0xFFFF);
}

static uint32_t read_pixel(const uint8_t* at, int32_t b) {
  uint32_t p = 0;
  for (int32_t k = 0; k < b; ++k) p |= uint32_t{at[k]} << (8 * k);
  return p;
}

void Obrazky::PREVEDBARVY(uint16_t slot) {
  if (!PREVODBAR || !slot_ok(slot)) return;
  TOBRAZEK& o = OBRAZKY[slot];
  if (o.VELX == 0 || o.VELY == 0 || o.BPP == 0 || o.BPP < 0 || o.BPP > 5) return;
  const int32_t b = bytes_per_pixel(o.BPP);
  if (!picture_fits(o, b)) return;
  for (int32_t y = 0; y < o.VELY; ++y) {
    const uint8_t* src = o.BUFFER + int64_t{o.MAXX} * y * b;
    uint8_t* dst = o.BUFFER + int64_t{o.MAXX} * y;
    for (int32_t x = 0; x < o.VELX; ++x) {
      const uint8_t* px = src + int64_t{x} * b;
      uint8_t index = 0;
      switch (o.BPP) {
        case 1: {
          const TRGB& c = PRACPALETA[px[0]];
          index = NAJDIBARVU(c.R, c.G, c.B);
          break;
        }
        case 2: index = NAJDIBARVUHC16(static_cast<uint16_t>(read_pixel(px, 2))); break;
        case 3:
        case 4: index = NAJDIBARVU(px[2], px[1], px[0]); break;
        case 5: index = NAJDIBARVUHC15(static_cast<uint16_t>(read_pixel(px, 2))); break;
      }
      dst[x] = index;  // never ahead of the wider source still to be read
    }
  }
  o.BPP = 0;
}

void Obrazky::NORMALIZJAS(uint16_t slot, uint16_t r, uint16_t g, uint16_t b, uint8_t mode) {
  if (slot >= kSlotCount) return;
  TOBRAZEK& o = OBRAZKY[slot];
  if (o.VELX == 0 || o.VELY == 0 || o.VEL == 0 || o.BPP < 0 || o.BPP > 5) return;
  const int32_t bpp = bytes_per_pixel(o.BPP);
  if (!picture_fits(o, bpp)) return;
  for (int32_t y = 0; y < o.VELY; ++y) {
    // Rows are walked at the slot's own stride, so a picture narrower than its allocation is
    // adjusted where it really lies.
    uint8_t* row = o.BUFFER + int64_t{o.MAXX} * y * bpp;
    for (int32_t x = 0; x < o.VELX; ++x) {
      uint8_t* px = row + int64_t{x} * bpp;
      uint32_t p = read_pixel(px, bpp);
      uint32_t R = 0, G = 0, B = 0;
      switch (o.BPP) {
        case 0: R = PALETA[p].R; G = PALETA[p].G; B = PALETA[p].B; break;
        case 1: R = PRACPALETA[p].R; G = PRACPALETA[p].G; B = PRACPALETA[p].B; break;
        case 2: R = (p & 31) * 8; G = ((p >> 5) & 63) * 4; B = (p >> 8) & 0xF8; break;
        case 3:
        case 4: R = px[2]; G = px[1]; B = px[0]; break;
        case 5: R = (p & 31) * 8; G = ((p >> 5) & 31) * 8; B = ((p >> 10) & 31) * 8; break;
      }
      if (mode == 0) {
        R = std::min<uint32_t>(255, (R * r) >> 8);
        G = std::min<uint32_t>(255, (G * g) >> 8);
        B = std::min<uint32_t>(255, (B * b) >> 8);
      } else if (mode == 1) {
        if (R < 128 && G < 128 && B < 128) R *= 2, G *= 2, B *= 2;
      } else if (mode == 2) {
        if (R > 128 && G > 128 && B > 128) R /= 2, G /= 2, B /= 2;
      } else {
        continue;
      }
      switch (o.BPP) {
        case 0:
        case 1: px[0] = NAJDIBARVU(uint8_t(R), uint8_t(G), uint8_t(B)); break;
        case 2: {
          uint16_t q = uint16_t((R >> 3) | ((G >> 2) << 5) | ((B >> 3) << 11));
          px[0] = uint8_t(q), px[1] = uint8_t(q >> 8);
          break;
        }
        case 3:
        case 4: px[2] = uint8_t(R), px[1] = uint8_t(G), px[0] = uint8_t(B); break;
        case 5: {
          uint16_t q = uint16_t((R >> 3) | ((G >> 3) << 5) | ((B >> 3) << 10));
          px[0] = uint8_t(q), px[1] = uint8_t(q >> 8);
          break;
        }
      }
    }
  }
  if (o.BPP == 1) o.BPP = 0;
}

uint8_t Obrazky::VYMAZBUFFER(uint16_t slot, uint8_t value) {
  if (slot >= kSlotCount) return VELKECISLO;
  TOBRAZEK& o = OBRAZKY[slot];
  if (o.VEL == 0) return OBRAZEKNEALOK;
  if (o.VELX == 0 || o.VELY == 0) return kEmptyPicture;
  const int32_t b = bytes_per_pixel(o.BPP);
  if (!picture_fits(o, b)) return kEmptyPicture;
  for (int32_t y = 0; y < o.VELY; ++y)
    std::memset(o.BUFFER + int64_t{o.MAXX} * y * b, value, size_t(o.VELX) * b);
  return kOk;
}

uint8_t Obrazky::NAHRADBARVU(uint16_t slot, uint8_t old_index, uint8_t new_index) {
  if (slot >= kSlotCount) return VELKECISLO;
  TOBRAZEK& o = OBRAZKY[slot];
  if (o.VEL == 0) return OBRAZEKNEALOK;
  if (o.VELX == 0 || o.VELY == 0) return kEmptyPicture;
  if (o.BPP != 0) return OBRAZEKNENINULA;
  if (!picture_fits(o, 1)) return kEmptyPicture;
  for (int32_t y = 0; y < o.VELY; ++y) {
    uint8_t* row = o.BUFFER + int64_t{o.MAXX} * y;
    for (int32_t x = 0; x < o.VELX; ++x)
      if (row[x] == old_index) row[x] = new_index;
  }
  return kOk;
}

// -------------------------------------------------------------------------------- [drawing]

void Obrazky::ZOBRAZOBRAZEK(uint16_t slot, int32_t x, int32_t y) {
  ZOBRAZVYREZ(slot, x, y, 0, 0, 0, 0);
}

void Obrazky::ZOBRAZVYREZ(uint16_t slot, int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t w,
                          int32_t h) {
  if (!slot_ok(slot) || surface_ == nullptr) return;
  const TOBRAZEK& o = OBRAZKY[slot];
  if (o.BPP != 0 || o.VELX == 0 || o.VELY == 0 || !picture_fits(o, 1)) return;
  if (sx > o.VELX || sx < 0) sx = 0;
  if (sy > o.VELY || sy < 0) sy = 0;
  if (w == 0) w = o.VELX;
  if (h == 0) h = o.VELY;
  w = std::min(w, o.VELX - sx);
  h = std::min(h, o.VELY - sy);
  if (int64_t{x} + w > draw::kScreenW) w = draw::kScreenW - x;
  if (int64_t{y} + h > draw::kScreenH) h = draw::kScreenH - y;
  for (int32_t row = 0; row < h; ++row) {
    const uint8_t* line = o.BUFFER + int64_t{o.MAXX} * (sy + row) + sx;
    for (int32_t col = 0; col < w; ++col) surface_->PUTPIXEL(x + col, y + row, line[col]);
  }
}

void Obrazky::KOPIRUJOBRAZEK(uint16_t slot, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!slot_ok(slot)) return;
  TOBRAZEK& o = OBRAZKY[slot];
  if (int64_t{x} + w > draw::kScreenW) w = draw::kScreenW - x;
  if (int64_t{y} + h > draw::kScreenH) h = draw::kScreenH - y;
  // A rectangle lying wholly off the screen still grabs one pixel, as a zero size does, rather
  // than leaving a negative width in the slot.
  if (w <= 0) w = 1;
  if (h <= 0) h = 1;
  w = std::min(w, o.MAXX);
  h = std::min(h, o.MAXY);
  if (int64_t{o.MAXX} * o.MAXY > o.VEL) return;
  o.BPP = 0;
  o.VELX = w;
  o.VELY = h;
  for (int32_t row = 0; row < h; ++row) {
    uint8_t* line = o.BUFFER + int64_t{o.MAXX} * row;
    for (int32_t col = 0; col < w; ++col)
      line[col] = surface_ != nullptr ? surface_->GETPIXEL(x + col, y + row) : 0;
  }
}

void Obrazky::ORIZNIOBRAZEK(uint16_t slot, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!slot_ok(slot)) return;
  TOBRAZEK& o = OBRAZKY[slot];
  if (o.BPP != 0 || o.VELX == 0 || o.VELY == 0 || !picture_fits(o, 1)) return;
  if (x2 < x1 || y2 < y1 || x2 > o.VELX || y2 > o.VELY || x1 < 0 || y1 < 0) return;
  const int32_t w = x2 - x1, h = y2 - y1;
  // Only the h rows that stay are moved: row y2 itself may lie past the allocation.
  for (int32_t row = 0; row < h; ++row)
    std::memmove(o.BUFFER + int64_t{o.MAXX} * row, o.BUFFER + int64_t{o.MAXX} * (y1 + row) + x1,
                 size_t(w));
  o.VELX = w;
  o.VELY = h;
}

// ------------------------------------------------------------------------------- [resizing]

int32_t VELIKOSTOBR(int32_t x, int32_t y, int32_t code) {
  return static_cast<int32_t>(int64_t{x} * y * bytes_per_pixel(code));
}

int32_t POUZITRADEK(int32_t row, int32_t total, int32_t limit) {
  if (total > limit) return static_cast<int32_t>(std::min<int64_t>(limit, int64_t{limit} * row / total));
  return row;
}

int32_t NORMALIZRADEK(uint8_t* row, int32_t len, int32_t limit, int32_t code) {
  if (len <= limit) return len;
  int32_t b = 0;
  switch (code) {
    case 1: b = 1; break;
    case 2:
    case 5: b = 2; break;
    case 3: b = 3; break;
    case 4: b = 4; break;
  }
  if (b > 0 && limit > 0) {
    // Pixel i goes to i x limit div len, later pixels overwriting earlier ones: position t ends
    // up holding the last i that maps there, ceil((t + 1) x len / limit) - 1. Copying only
    // those, forward, never overwrites a pixel still to be read (that i is at least t).
    for (int64_t t = 0; t < limit; ++t) {
      const int64_t i = ((t + 1) * len + limit - 1) / limit - 1;
      std::memmove(row + t * b, row + i * b, size_t(b));
    }
  }
  return limit;
}

void Obrazky::ZMENVELIKOST(const uint8_t* src, uint8_t* dst, int32_t sw, int32_t sh, int32_t& w,
                           int32_t& h, int32_t smaxx, int32_t /*smaxy*/, int32_t dmaxx,
                           int32_t /*dmaxy*/, int32_t code, int32_t mode) {
  const int32_t b = bytes_per_pixel(code);
  if (b <= 0 || sw <= 0 || sh <= 0) return;
  const int64_t sstride = int64_t{smaxx} * b, dstride = int64_t{dmaxx} * b;
  const bool plain = (mode == 1 && w <= sw && h <= sh) || (mode == 2 && w >= sw && h >= sh) ||
                     (mode == 0 && w == sw && h == sh);
  if (plain) {
    for (int32_t i = 0; i < sh; ++i) std::memmove(dst + dstride * i, src + sstride * i, size_t(sw) * b);
    w = sw;
    h = sh;
    return;
  }
  if (w == sw && h == sh) return;
  if (w <= 0 || h <= 0) return;
  // The work row holds both the source row and the widened row.
  if (int64_t{std::max(sw, w)} * b > kWorkRowBytes) return;
  uint8_t* work = PRACRADEK.data();
  // The column mapping is the same for every row: worked out once. Widening reads pixel
  // trunc(sw / w x j) into position j (walking down, so sources are never overwritten first);
  // narrowing moves pixel k to k x w div sw (walking up, later pixels winning).
  std::vector<int32_t> columns(size_t(w > sw ? w : sw));
  if (w > sw) {
    for (int32_t j = 0; j < w; ++j) columns[size_t(j)] = static_cast<int32_t>(double(sw) / w * j);
  } else if (w < sw) {
    for (int32_t k = 0; k < sw; ++k) columns[size_t(k)] = static_cast<int32_t>(int64_t{k} * w / sw);
  }
  int32_t prev = 0;
  for (int32_t i = 0; i < sh; ++i) {
    const int32_t f = static_cast<int32_t>(double(h) / sh * i);
    std::memcpy(work, src + sstride * i, size_t(sw) * b);
    if (w > sw) {
      if (b == 1) {
        for (int32_t j = w - 1; j >= 0; --j) work[j] = work[columns[size_t(j)]];
      } else {
        for (int32_t j = w - 1; j >= 0; --j)
          std::memmove(work + int64_t{j} * b, work + int64_t{columns[size_t(j)]} * b, size_t(b));
      }
    } else if (w < sw) {
      if (b == 1) {
        for (int32_t k = 0; k < sw; ++k) work[columns[size_t(k)]] = work[k];
      } else {
        for (int32_t k = 0; k < sw; ++k)
          std::memmove(work + int64_t{columns[size_t(k)]} * b, work + int64_t{k} * b, size_t(b));
      }
    }
    if (f > prev) {
      for (int32_t r = prev; r <= f; ++r) std::memcpy(dst + dstride * r, work, size_t(w) * b);
    } else {
      std::memcpy(dst + dstride * f, work, size_t(w) * b);
    }
    prev = f;
  }
}

void Obrazky::ZMVELIKOSTI(uint16_t src, uint16_t dst, int32_t w, int32_t h, int32_t mode) {
  if (src >= kSlotCount || dst >= kSlotCount) return;
  // Both slots must hold what their fields claim, and whatever the rescale may write (the
  // requested size, or the source size for a plain copy) must fit the destination allocation.
  const TOBRAZEK& s = OBRAZKY[src];
  TOBRAZEK& d = OBRAZKY[dst];
  if (!picture_fits(s, 1) || d.VEL <= 0 || int64_t{d.MAXX} * d.MAXY > d.VEL) return;
  if (w <= 0 || h <= 0 || s.VELX <= 0 || s.VELY <= 0) return;
  const bool plain = (mode == 1 && w <= s.VELX && h <= s.VELY) ||
                     (mode == 2 && w >= s.VELX && h >= s.VELY) ||
                     (mode == 0 && w == s.VELX && h == s.VELY);
  const int32_t out_w = plain ? s.VELX : w, out_h = plain ? s.VELY : h;
  if (out_w > d.MAXX || out_h > d.MAXY) return;
  if (src == dst) return;
  ZMENVELIKOST(s.BUFFER, d.BUFFER, s.VELX, s.VELY, w, h, s.MAXX, s.MAXY, d.MAXX, d.MAXY, 1, mode);
  d.VELX = w;
  d.VELY = h;
  d.BPP = 0;
}

void Obrazky::ZMENSIPOMVEL(uint16_t src, uint16_t dst) {
  if (src >= kSlotCount || dst >= kSlotCount) return;
  const TOBRAZEK& s = OBRAZKY[src];
  const TOBRAZEK& d = OBRAZKY[dst];
  int32_t w = s.VELX, h = s.VELY;
  if (w > d.MAXX && s.VELX > 0) {
    double k = double(d.MAXX) / s.VELX;
    w = static_cast<int32_t>(w * k);
    h = static_cast<int32_t>(h * k);
  }
  if (h > d.MAXY && h > 0) {
    double k = double(d.MAXY) / h;
    w = static_cast<int32_t>(w * k);
    h = static_cast<int32_t>(h * k);
  }
  ZMVELIKOSTI(src, dst, w, h, 2);
}

// ------------------------------------------------------------------------------- [dispatch]

// The extension is the text after the first full stop of the file's own name; a full stop in
// a directory of the path does not count.
static std::string extension_of(const std::string& name) {
  size_t base = name.rfind('/');
  base = base == std::string::npos ? 0 : base + 1;
  size_t dot = name.find('.', base);
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

uint8_t Obrazky::NAHRAJOBRAZEK(uint16_t slot, const std::string& name) {
  const std::string ext = extension_of(name);
  if (ext == "bmp" || ext == "BMP") return NAHRAJBMP(slot, name);
  if (ext == "pcx" || ext == "PCX") return NAHRAJPCX(slot, name);
  if (ext == "tga" || ext == "TGA") return NAHRAJTGA(slot, name);
  if (ext == "gif" || ext == "GIF") return NAHRAJGIF(slot, name);
  if (ext == "ksv" || ext == "KSV") return NAHRAJKSV(slot, name);
  if (ext == "jpg" || ext == "JPG") return NAHRAJJPG(slot, name);
  return kNotSupported;
}

uint8_t Obrazky::ULOZOBRAZEK(uint16_t slot, const std::string& name) {
  const std::string ext = extension_of(name);
  if (ext == "bmp") return ULOZBMP(slot, name);
  if (ext == "pcx") return ULOZPCX(slot, name);
  if (ext == "tga") return ULOZTGA(slot, name);
  if (ext == "gif") return ULOZGIF(slot, name);
  if (ext == "ksv") return ULOZKSV(slot, name);
  if (ext == "jpg") return ULOZJPG(slot, name);
  return kNotSupported;
}

}  // namespace ksv::images
