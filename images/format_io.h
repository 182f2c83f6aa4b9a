// Shared pieces of the format readers: a bounds-checked little-endian reader over a file held in
// memory, and RowSink, which squeezes decoded rows into a slot the way every reader must.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "images/obrazky.h"

namespace ksv::images {

// A file's bytes; every read reports whether the file was long enough.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool read(void* out, size_t n) {
    if (n > size_ - pos_) return false;
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
  }
  bool u8(uint8_t& v) { return read(&v, 1); }
  bool u16(uint16_t& v) {
    uint8_t b[2];
    if (!read(b, 2)) return false;
    v = uint16_t(b[0] | (b[1] << 8));
    return true;
  }
  bool u32(uint32_t& v) {
    uint8_t b[4];
    if (!read(b, 4)) return false;
    v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return true;
  }
  bool i32(int32_t& v) {
    uint32_t u;
    if (!u32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool seek(size_t pos) {
    if (pos > size_) return false;
    pos_ = pos;
    return true;
  }
  size_t pos() const { return pos_; }
  size_t size() const { return size_; }
  size_t left() const { return size_ - pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Reads a whole file; false when it cannot be opened or read.
bool read_whole_file(const std::string& name, std::vector<uint8_t>& out);
// Writes a whole file; false on any short write.
bool write_whole_file(const std::string& name, const std::vector<uint8_t>& data);

// Stores the rows of a picture of width x height pixels in format `code` into a slot. Rows wider
// than the slot are squeezed (NORMALIZRADEK), a taller picture has its rows mapped onto the
// slot's (POUZITRADEK); nothing is ever written outside the allocation.
class RowSink {
 public:
  RowSink(Obrazky& owner, uint16_t slot) : owner_(owner), slot_(slot) {}
  ~RowSink();
  RowSink(const RowSink&) = delete;
  RowSink& operator=(const RowSink&) = delete;

  // Checks the slot can take the picture and takes it over: 0, or 3 (row too wide for the work
  // row of row_limit bytes), 5 (empty), 6 (bytes per pixel too large). Only a success changes
  // the slot.
  uint8_t begin(int64_t width, int64_t height, int32_t code, int64_t row_limit);
  // The work row a decoder fills: the picture's row bytes, zeroed. A decoder reports how far it
  // wrote with touch(), so a row left empty (a run-length skip) costs next to nothing. Under
  // AddressSanitizer the rest of the work row is poisoned while the sink lives, so a decoder that
  // writes past the picture's row stops the sanitizer builds and the fuzz targets at once.
  uint8_t* row() { return owner_.PRACRADEK.data(); }
  int64_t row_bytes() const { return row_bytes_; }
  void touch(int64_t end) { dirty_ = end > dirty_ ? end : dirty_; }
  // Squeezes the work row and stores it as picture row y (0 = top).
  void store(int64_t y);
  // Clips the slot's size, remembers the file's size, converts the colours.
  void finish();

 private:
  Obrazky& owner_;
  uint16_t slot_;
  void clear_row() {
    std::memset(owner_.PRACRADEK.data(), 0, size_t(dirty_));
    dirty_ = 0;
  }
  int64_t width_ = 0, height_ = 0, row_bytes_ = 0;
  int64_t dirty_ = 0;             // bytes of the work row that may be non-zero
  std::vector<bool> zero_rows_;   // slot rows known to hold only zeros
  bool guarded_ = false;          // the work row past row_bytes_ is poisoned
  int32_t code_ = 0, bpp_ = 1;
};

}  // namespace ksv::images
