// Builders of small picture files in memory (BMP, OS/2 BMP, PCX) for tests, fuzz seeds and the
// benchmark, so no binary picture is ever kept in the repository.
#pragma once
#include <cstdint>
#include <vector>

namespace ksv::images::testing {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); }
inline void put32(Bytes& b, uint32_t v) { put16(b, v & 0xFFFF), put16(b, v >> 16); }

// Rows given top first, each row_bytes long, written bottom-up with zero padding to 4 bytes.
inline Bytes bottom_up_padded(const std::vector<Bytes>& rows) {
  Bytes out;
  for (size_t i = rows.size(); i-- > 0;) {
    out.insert(out.end(), rows[i].begin(), rows[i].end());
    out.insert(out.end(), (4 - rows[i].size() % 4) % 4, 0);
  }
  return out;
}

// A Windows BMP with a 40-byte header. palette: blue, green, red, 0 quads; extra: bytes between
// the header and the palette (colour masks); colours_used 0 = 256.
inline Bytes windows_bmp(int32_t w, int32_t h, uint16_t bits, uint32_t compression, const Bytes& pixels,
                         const Bytes& palette = {}, const Bytes& extra = {}, uint32_t colours_used = 0) {
  Bytes b;
  const uint32_t offset = 14 + 40 + uint32_t(extra.size() + palette.size());
  b.push_back('B');
  b.push_back('M');
  put32(b, offset + uint32_t(pixels.size()));
  put32(b, 0);
  put32(b, offset);
  put32(b, 40);
  put32(b, uint32_t(w));
  put32(b, uint32_t(h));
  put16(b, 1);
  put16(b, bits);
  put32(b, compression);
  put32(b, uint32_t(pixels.size()));
  put32(b, 2835);
  put32(b, 2835);
  put32(b, colours_used);
  put32(b, 0);
  b.insert(b.end(), extra.begin(), extra.end());
  b.insert(b.end(), palette.begin(), palette.end());
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

// An OS/2 BMP (12-byte header); palette: blue, green, red triples.
inline Bytes os2_bmp(uint16_t w, uint16_t h, uint16_t bits, const Bytes& pixels, const Bytes& palette = {}) {
  Bytes b;
  const uint32_t offset = 14 + 12 + uint32_t(palette.size());
  b.push_back('B');
  b.push_back('M');
  put32(b, offset + uint32_t(pixels.size()));
  put32(b, 0);
  put32(b, offset);
  put32(b, 12);
  put16(b, w);
  put16(b, h);
  put16(b, 1);
  put16(b, bits);
  b.insert(b.end(), palette.begin(), palette.end());
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

// PCX run-length coding of one line: runs of up to 63, bytes of 192 and above always as a run.
inline Bytes pcx_encode(const Bytes& line) {
  Bytes out;
  for (size_t i = 0; i < line.size();) {
    size_t run = 1;
    while (i + run < line.size() && line[i + run] == line[i] && run < 63) ++run;
    if (run > 1 || line[i] >= 192) {
      out.push_back(uint8_t(192 + run));
      out.push_back(line[i]);
    } else {
      out.push_back(line[i]);
    }
    i += run;
  }
  return out;
}

// A PCX file. planes_rows: for each row the plane lines (each bytes_per_line long) one after
// another; palette768: red, green, blue for 256 colours, appended with its marker when given.
inline Bytes pcx_file(uint16_t w, uint16_t h, uint8_t planes, uint16_t bytes_per_line,
                      const std::vector<Bytes>& plane_rows, const Bytes& palette768 = {}) {
  Bytes b(128, 0);
  b[0] = 10;
  b[1] = 5;
  b[2] = 1;
  b[3] = 8;
  b[8] = uint8_t(w - 1), b[9] = uint8_t((w - 1) >> 8);
  b[10] = uint8_t(h - 1), b[11] = uint8_t((h - 1) >> 8);
  b[65] = planes;
  b[66] = uint8_t(bytes_per_line), b[67] = uint8_t(bytes_per_line >> 8);
  b[68] = 1;
  for (const Bytes& row : plane_rows) {
    Bytes enc = pcx_encode(row);
    b.insert(b.end(), enc.begin(), enc.end());
  }
  if (!palette768.empty()) {
    b.push_back(12);
    b.insert(b.end(), palette768.begin(), palette768.end());
  }
  return b;
}

}  // namespace ksv::images::testing
