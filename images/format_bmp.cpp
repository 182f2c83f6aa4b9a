// BMP reader and writer. Reads Windows (40-byte and later) and OS/2 (12-byte) headers with 8,
// 16, 24 or 32 bits per pixel, uncompressed, run-length coded or with 16/32-bit colour masks;
// writes the system's 8-bit layout. Limitations: 1- and 4-bit pictures are not supported (5).
#include <algorithm>
#include <bit>
#include <climits>

#include "images/format_io.h"
#include "images/obrazky.h"

namespace ksv::images {

namespace {

constexpr uint32_t kPixelOffset = 1078;  // 14 + 40 + 256 x 4

// One colour channel described by a bit mask of a 16- or 32-bit pixel.
struct Channel {
  uint32_t mask = 0;
  int shift = 0, bits = 0;
  explicit Channel(uint32_t m = 0) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = std::popcount(m);
  }
  // The channel scaled to 0..255.
  uint32_t value(uint32_t p) const {
    if (bits == 0) return 0;
    uint32_t v = (p & mask) >> shift;
    if (bits >= 8) return v >> (bits - 8);
    uint32_t out = 0;
    for (int have = 0; have < 8; have += bits) out = (out << bits) | v;  // replicate the bits
    return (out >> ((8 + bits - 1) / bits * bits - 8)) & 0xFF;
  }
};

struct Masks {
  Channel r, g, b;
};

// 16-bit files keep blue in the low bits (X1R5G5B5 unless masks say otherwise); the slot's
// format 2 keeps red there. Each pixel is repacked so the palette conversion sees true colours.
void repack_16(uint8_t* row, int64_t width, const Masks& m) {
  for (int64_t x = 0; x < width; ++x) {
    uint32_t p = uint32_t(row[2 * x]) | (uint32_t(row[2 * x + 1]) << 8);
    uint32_t q = (m.r.value(p) >> 3) | ((m.g.value(p) >> 2) << 5) | ((m.b.value(p) >> 3) << 11);
    row[2 * x] = uint8_t(q);
    row[2 * x + 1] = uint8_t(q >> 8);
  }
}

// 32-bit files with masks are brought to blue, green, red, unused.
void repack_32(uint8_t* row, int64_t width, const Masks& m) {
  for (int64_t x = 0; x < width; ++x) {
    uint8_t* px = row + 4 * x;
    uint32_t p = uint32_t(px[0]) | (uint32_t(px[1]) << 8) | (uint32_t(px[2]) << 16) |
                 (uint32_t(px[3]) << 24);
    px[0] = uint8_t(m.b.value(p));
    px[1] = uint8_t(m.g.value(p));
    px[2] = uint8_t(m.r.value(p));
    px[3] = 0;
  }
}

// Decodes run-length pairs over bytes into rows 0 (the file's first) to height - 1, handing
// each finished row to finish_row. Common encoders code every row over its width padded to
// four bytes, so the last run of a row may pass the picture's width: whatever passes the row
// is dropped, never written. A skip that leaves the picture ends it; pixels or a row end after
// the last row are more rows than the header declares and refuse the file (5), as does a file
// that ends inside a pair, a skip or a literal run (1).
template <typename FinishRow>
uint8_t decode_runs(ByteReader& in, RowSink& sink, int64_t height, int32_t bpp,
                    FinishRow&& finish_row) {
  const int64_t row_bytes = sink.row_bytes();
  int64_t x = 0, y = 0;
  // How many of n bytes starting at x still lie in the row.
  auto inside = [&](int64_t n) { return std::clamp<int64_t>(row_bytes - x, 0, n); };
  for (;;) {
    uint8_t first, second;
    if (!in.u8(first) || !in.u8(second)) {
      if (y >= height) return kOk;  // every row already stored: a missing end mark is harmless
      return kFileCannotOpen;
    }
    if (first != 0) {  // a run of one byte
      if (y >= height) return kNotSupported;
      std::memset(sink.row() + x, second, size_t(inside(first)));
      x = std::min<int64_t>(x + first, row_bytes);
      sink.touch(x);
    } else if (second == 0) {  // end of row
      if (y >= height) return kNotSupported;
      finish_row(y++);
      x = 0;
    } else if (second == 1) {  // end of picture
      if (y < height) finish_row(y++);
      return kOk;
    } else if (second == 2) {  // skip right and down; the pixels passed over stay cleared
      uint8_t dx, dy;
      if (!in.u8(dx) || !in.u8(dy)) return kFileCannotOpen;
      if (y + dy >= height) {  // rows not reached keep their cleared pixels, as at an end mark
        if (y < height) finish_row(y);
        return kOk;
      }
      for (int k = 0; k < dy; ++k) finish_row(y++);
      x = std::min<int64_t>(x + int64_t{dx} * bpp, row_bytes);
    } else {  // literal bytes, padded to an even count
      const int64_t n = second, kept = inside(n);
      if (y >= height) return kNotSupported;
      if (!in.read(sink.row() + x, size_t(kept))) return kFileCannotOpen;
      const size_t dropped = size_t(n - kept + n % 2);
      if (dropped > in.left() || !in.seek(in.pos() + dropped)) return kFileCannotOpen;
      x = std::min<int64_t>(x + n, row_bytes);
      sink.touch(x);
    }
  }
}

}  // namespace

uint8_t Obrazky::load_bmp_memory(uint16_t slot, const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  uint8_t head[18];
  if (!in.read(head, sizeof head)) return kFileCannotOpen;
  if (head[0] != 'B' || head[1] != 'M') return kNotSupported;
  const uint32_t data_offset = uint32_t(head[10]) | (uint32_t(head[11]) << 8) |
                               (uint32_t(head[12]) << 16) | (uint32_t(head[13]) << 24);
  const uint32_t header_size = uint32_t(head[14]) | (uint32_t(head[15]) << 8) |
                               (uint32_t(head[16]) << 16) | (uint32_t(head[17]) << 24);
  int64_t width = 0, height = 0;
  uint32_t bits = 0, compression = 0;
  Masks masks;
  bool top_down = false;
  std::array<TRGB, 256> palette = PRACPALETA;

  if (header_size >= 40) {
    // Windows header; the later versions (52 to 124 bytes) begin the same way and carry their
    // colour masks at byte 40 of the header.
    int32_t w, h;
    uint16_t planes, bitcount;
    uint32_t image_size, xres, yres, used, important;
    if (!in.i32(w) || !in.i32(h) || !in.u16(planes) || !in.u16(bitcount) || !in.u32(compression) ||
        !in.u32(image_size) || !in.u32(xres) || !in.u32(yres) || !in.u32(used) ||
        !in.u32(important))
      return kFileCannotOpen;
    width = w;
    height = h;
    bits = bitcount;
    if (height < 0) {  // a negative height stores the rows top-down
      top_down = true;
      height = -height;
    }
    if (compression == 3 && (bits == 16 || bits == 32)) {
      // Masks sit right after the 40 bytes read so far, inside a later header or after this one.
      uint32_t mr, mg, mb;
      if (!in.u32(mr) || !in.u32(mg) || !in.u32(mb)) return kFileCannotOpen;
      masks = Masks{Channel(mr), Channel(mg), Channel(mb)};
    }
    if (!in.seek(std::max<size_t>(in.pos(), 14 + size_t{header_size}))) return kFileCannotOpen;
    if (bits == 8) {
      uint32_t colours = used == 0 ? 256 : used;
      if (colours > 256) return kNotSupported;
      for (uint32_t i = 0; i < colours; ++i) {
        uint8_t q[4];
        if (!in.read(q, 4)) return kFileCannotOpen;
        palette[i] = TRGB{q[2], q[1], q[0]};
      }
    }
  } else {
    // OS/2 header: width, height, planes, bits as Words.
    uint16_t w, h, planes, bitcount;
    if (!in.u16(w) || !in.u16(h) || !in.u16(planes) || !in.u16(bitcount)) return kFileCannotOpen;
    width = w;
    height = h;
    bits = bitcount;
    if (bits == 8) {
      // The palette is whatever lies before the pixels, at most 256 triples. OS/2 triples are
      // blue, green, red like the Windows quads.
      size_t n = data_offset > in.pos() ? std::min<size_t>(data_offset - in.pos(), 768) : 0;
      for (size_t i = 0; i + 3 <= n; i += 3) {
        uint8_t t[3];
        if (!in.read(t, 3)) return kFileCannotOpen;
        palette[i / 3] = TRGB{t[2], t[1], t[0]};
      }
    }
  }
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return kNotSupported;
  const bool bitfields = compression == 3 && (bits == 16 || bits == 32);
  if (bits == 16 && !bitfields)
    masks = Masks{Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
  const int32_t bpp = int32_t(bits / 8);
  const int32_t code = bits == 8 ? 1 : bits == 16 ? 2 : bpp;
  // A height of -2^31 turns top-down into 2^31 rows, one more than any row number can hold.
  if (width < 0 || height > INT32_MAX) return kNotSupported;
  if (width * bpp > kWorkRowBytes) return kRowTooWide;

  // The pixels start at the file's own offset when it lies past the headers read so far.
  if (data_offset >= in.pos() && data_offset < size) in.seek(data_offset);

  RowSink sink(*this, slot);
  if (uint8_t rc = sink.begin(width, height, code, kWorkRowBytes)) return rc;
  if (bits == 8) PRACPALETA = palette;
  const int64_t row_bytes = width * bpp;
  auto picture_row = [&](int64_t file_row) { return top_down ? file_row : height - 1 - file_row; };
  auto finish_row = [&](int64_t file_row) {
    if (bits == 16) repack_16(sink.row(), width, masks);
    if (bits == 32 && bitfields) repack_32(sink.row(), width, masks);
    sink.store(picture_row(file_row));
  };

  if (compression == 0 || bitfields) {
    const int64_t padded = (row_bytes + 3) / 4 * 4;
    for (int64_t y = 0; y < height; ++y) {
      if (!in.read(sink.row(), size_t(row_bytes))) return kFileCannotOpen;
      sink.touch(row_bytes);
      if (!in.seek(std::min<size_t>(in.pos() + size_t(padded - row_bytes), in.size())))
        return kFileCannotOpen;
      finish_row(y);
    }
  } else if (uint8_t rc = decode_runs(in, sink, height, bpp, finish_row)) {
    return rc;
  }
  sink.finish();
  return kOk;
}

uint8_t Obrazky::NAHRAJBMP(uint16_t slot, const std::string& name) {
  std::vector<uint8_t> data;
  if (!read_whole_file(name, data)) return kFileCannotOpen;
  return load_bmp_memory(slot, data.data(), data.size());
}

uint8_t Obrazky::save_bmp_memory(uint16_t slot, std::vector<uint8_t>& out) const {
  if (slot >= kSlotCount) return kNotSupported;
  const TOBRAZEK& o = OBRAZKY[slot];
  if (o.VEL == 0 || o.VELX < 1 || o.VELY < 1) return kNotSupported;
  // One byte per pixel is written; its palette must be the one the indices refer to.
  if (o.BPP != 0 && o.BPP != 1) return kNotSupported;
  if (!picture_fits(o, 1)) return kNotSupported;
  const std::array<TRGB, 256>& pal = o.BPP == 1 ? PRACPALETA : PALETA;
  const uint32_t w = uint32_t(o.VELX), h = uint32_t(o.VELY);
  const uint32_t padded = (w + 3) / 4 * 4;
  out.clear();
  out.reserve(kPixelOffset + size_t{padded} * h);
  auto put16 = [&](uint32_t v) { out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8)); };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  out.push_back('B');
  out.push_back('M');
  put32(kPixelOffset + padded * h);  // file size
  put32(0);                          // reserved
  put32(kPixelOffset);
  put32(40);
  put32(w);
  put32(h);
  put16(1);      // planes
  put16(8);      // bits per pixel
  put32(0);      // no compression
  put32(w * h);  // image size
  put32(w);      // horizontal resolution: the width, as the workshop's files have it
  put32(h);
  put32(256);
  put32(256);
  for (const TRGB& c : pal) {
    out.push_back(c.B);
    out.push_back(c.G);
    out.push_back(c.R);
    out.push_back(0);
  }
  for (int64_t y = int64_t{h} - 1; y >= 0; --y) {
    const uint8_t* row = o.BUFFER + int64_t{o.MAXX} * y;
    out.insert(out.end(), row, row + w);
    out.insert(out.end(), padded - w, uint8_t('0'));
  }
  return kOk;
}

uint8_t Obrazky::ULOZBMP(uint16_t slot, const std::string& name) {
  std::vector<uint8_t> data;
  if (uint8_t rc = save_bmp_memory(slot, data)) return rc;
  return write_whole_file(name, data) ? kOk : kFileCannotWrite;
}

}  // namespace ksv::images
