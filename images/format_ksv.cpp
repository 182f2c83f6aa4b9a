// The system's own ".ksv" picture format: palette-index pictures, each row a run of chunks.
//
//   offset size  field
//   0      4     VELX    row length in bytes (LongInt, little-endian)
//   4      4     VELY    rows
//   8      4     ZNACKA  "KSVv"
//   then VELY rows, top first; each row is chunks ended by a head of 0:
//     head 1..32767          that many literal bytes follow
//     head 32768 + n         one byte follows, repeated n times
#include "images/format_io.h"
#include "images/obrazky.h"

namespace ksv::images {

namespace {
constexpr char kMarker[4] = {'K', 'S', 'V', 'v'};
constexpr uint16_t kRepeat = 0x8000;
constexpr int32_t kMaxChunk = 0x7FFF;
}  // namespace

uint8_t Obrazky::load_ksv_memory(uint16_t slot, const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  int32_t velx, vely;
  char marker[4];
  if (!in.i32(velx) || !in.i32(vely) || !in.read(marker, 4)) return kFileCannotOpen;
  if (velx <= 0 || vely <= 0 || std::memcmp(marker, kMarker, 4) != 0) return kNotSupported;

  RowSink sink(*this, slot);
  if (uint8_t rc = sink.begin(velx, vely, 0, kWorkRowBytes)) return rc;
  for (int32_t y = 0; y < vely; ++y) {
    uint8_t* row = sink.row();
    int64_t x = 0;
    for (;;) {
      uint16_t head;
      if (!in.u16(head)) return kFileCannotOpen;
      if (head == 0) break;
      if (head & kRepeat) {
        const int64_t n = head & kMaxChunk;
        uint8_t value;
        if (!in.u8(value)) return kFileCannotOpen;
        if (x + n > velx) return kNotSupported;  // a chunk may not run past its row
        std::memset(row + x, value, size_t(n));
        x += n;
      } else {
        if (x + head > velx) return kNotSupported;
        if (!in.read(row + x, head)) return kFileCannotOpen;
        x += head;
      }
    }
    sink.touch(x);
    sink.store(y);
  }
  sink.finish();
  return kOk;
}

uint8_t Obrazky::NAHRAJKSV(uint16_t slot, const std::string& name) {
  std::vector<uint8_t> data;
  if (!read_whole_file(name, data)) return kFileCannotOpen;
  return load_ksv_memory(slot, data.data(), data.size());
}

uint8_t Obrazky::save_ksv_memory(uint16_t slot, std::vector<uint8_t>& out) const {
  if (slot >= kSlotCount) return kNotSupported;
  const TOBRAZEK& o = OBRAZKY[slot];
  if (o.VEL == 0 || o.VELX < 2 || o.VELY < 1 || !picture_fits(o, 1)) return kNotSupported;
  // Rows are stored as palette indices; any other format would be written as garbage.
  if (o.BPP != 0) return kNotSupported;
  out.clear();
  // Worst case, every byte literal: the bytes, a head per 32767 of them and the end head.
  out.reserve(12 + size_t(o.VELY) * (size_t(o.VELX) + 2 * (size_t(o.VELX) / kMaxChunk + 2)));
  auto put16 = [&](uint32_t v) { out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8)); };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  put32(uint32_t(o.VELX));
  put32(uint32_t(o.VELY));
  out.insert(out.end(), kMarker, kMarker + 4);
  const int32_t w = o.VELX;
  for (int32_t y = 0; y < o.VELY; ++y) {
    const uint8_t* row = o.BUFFER + int64_t{o.MAXX} * y;
    int32_t literal_from = 0;  // start of the bytes not yet written
    auto flush_literal = [&](int32_t to) {
      while (literal_from < to) {
        const int32_t n = std::min(to - literal_from, kMaxChunk);
        put16(uint32_t(n));
        out.insert(out.end(), row + literal_from, row + literal_from + n);
        literal_from += n;
      }
    };
    int32_t x = 0;
    while (x < w) {
      int32_t run = 1;
      while (x + run < w && row[x + run] == row[x]) ++run;
      if (run >= 2) {
        flush_literal(x);
        for (int32_t left = run; left > 0;) {
          const int32_t n = std::min(left, kMaxChunk);
          put16(kRepeat + uint32_t(n));
          out.push_back(row[x]);
          left -= n;
        }
        x += run;
        literal_from = x;
      } else {
        ++x;
      }
    }
    flush_literal(w);
    put16(0);
  }
  return kOk;
}

uint8_t Obrazky::ULOZKSV(uint16_t slot, const std::string& name) {
  std::vector<uint8_t> data;
  if (uint8_t rc = save_ksv_memory(slot, data)) return rc;
  return write_whole_file(name, data) ? kOk : kFileCannotWrite;
}

}  // namespace ksv::images
