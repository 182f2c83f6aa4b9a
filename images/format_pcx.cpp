// PCX reader: 8 bits per plane, one plane (256-colour palette at the end of the file) or three
// planes (red, green, blue), run-length encoded. Writing PCX is not supported (5).
#include "images/format_io.h"
#include "images/obrazky.h"

namespace ksv::images {

namespace {
constexpr int64_t kPcxRowLimit = 16384;  // decoded bytes of all planes of one row
}

uint8_t Obrazky::load_pcx_memory(uint16_t slot, const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  uint8_t h[128];
  if (!in.read(h, sizeof h)) return kFileCannotOpen;
  auto word = [&](int at) { return int64_t(h[at] | (h[at + 1] << 8)); };
  const int encoding = h[2], bits = h[3], planes = h[65];
  const int64_t xmin = word(4), ymin = word(6), xmax = word(8), ymax = word(10);
  const int64_t bytes_per_line = word(66);
  if (encoding != 1 || bits != 8 || (planes != 1 && planes != 3)) return kNotSupported;
  if (xmax < xmin || ymax < ymin) return kNotSupported;
  const int64_t width = xmax - xmin + 1, height = ymax - ymin + 1;
  // Each plane's line must hold the whole width; a shorter one would have the regrouping read
  // past the decoded row.
  if (bytes_per_line < width) return kNotSupported;
  const int64_t line = bytes_per_line * planes;
  if (line > kPcxRowLimit) return kRowTooWide;

  RowSink sink(*this, slot);
  if (uint8_t rc = sink.begin(width, height, planes == 1 ? 1 : 3, kPcxRowLimit)) return rc;
  // The encoded line is decoded after the pixel row proper: planes are regrouped from there.
  std::vector<uint8_t> planar(size_t(line), 0);
  for (int64_t y = 0; y < height; ++y) {
    int64_t x = 0;
    while (x < line) {
      uint8_t b;
      if (!in.u8(b)) return kFileCannotOpen;
      if (b >= 192) {
        const int count = b & 63;
        uint8_t value;
        if (!in.u8(value)) return kFileCannotOpen;
        if (x + count > line) return kNotSupported;  // a run may not leave its row
        std::memset(planar.data() + x, value, size_t(count));
        x += count;
      } else {
        planar[size_t(x++)] = b;
      }
    }
    uint8_t* row = sink.row();
    if (planes == 1) {
      std::memcpy(row, planar.data(), size_t(width));
    } else {
      // Planes come red, green, blue; the slot's three-byte pixels are blue, green, red.
      const uint8_t* red = planar.data();
      const uint8_t* green = red + bytes_per_line;
      const uint8_t* blue = green + bytes_per_line;
      for (int64_t i = 0; i < width; ++i) {
        row[3 * i] = blue[i];
        row[3 * i + 1] = green[i];
        row[3 * i + 2] = red[i];
      }
    }
    sink.touch(width * planes);
    sink.store(y);
  }
  if (planes == 1) {
    // The palette: a marker byte 12 then 768 bytes of red, green, blue, at the end of the file.
    if (size < 769 + 128) return kNotSupported;
    ByteReader tail(data + size - 769, 769);
    uint8_t marker;
    tail.u8(marker);
    if (marker != 12) return kNotSupported;
    for (TRGB& c : PRACPALETA) {
      tail.u8(c.R);
      tail.u8(c.G);
      tail.u8(c.B);
    }
  }
  sink.finish();
  return kOk;
}

uint8_t Obrazky::NAHRAJPCX(uint16_t slot, const std::string& name) {
  std::vector<uint8_t> data;
  if (!read_whole_file(name, data)) return kFileCannotOpen;
  return load_pcx_memory(slot, data.data(), data.size());
}

uint8_t Obrazky::ULOZPCX(uint16_t, const std::string&) { return kNotSupported; }

}  // namespace ksv::images
