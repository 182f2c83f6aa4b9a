// File helpers and the row store shared by the BMP, PCX and KSV readers.
#include "images/format_io.h"

#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace ksv::images {

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

bool read_whole_file(const std::string& name, std::vector<uint8_t>& out) {
  File f(std::fopen(name.c_str(), "rb"));
  if (!f) return false;
  out.clear();
  // Sized once from the file's length where it has one; read on in chunks past it (a file that
  // grows meanwhile, or a pipe) so nothing is cut short.
  if (std::fseek(f.get(), 0, SEEK_END) == 0) {
    long length = std::ftell(f.get());
    if (length > 0) out.reserve(size_t(length));
    std::rewind(f.get());
  }
  size_t have = 0;
  for (;;) {
    size_t want = std::max<size_t>(out.capacity() - have, 65536);
    out.resize(have + want);
    size_t n = std::fread(out.data() + have, 1, want, f.get());
    have += n;
    if (n < want) break;
  }
  out.resize(have);
  return std::ferror(f.get()) == 0;
}

bool write_whole_file(const std::string& name, const std::vector<uint8_t>& data) {
  File f(std::fopen(name.c_str(), "wb"));
  if (!f) return false;
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), f.get()) != data.size()) return false;
  return std::fclose(f.release()) == 0;
}

uint8_t RowSink::begin(int64_t width, int64_t height, int32_t code, int64_t row_limit) {
  if (slot_ >= kSlotCount) return kBppTooLarge;
  TOBRAZEK& o = owner_.OBRAZKY[slot_];
  const int32_t bpp = bytes_per_pixel(code);
  if (width <= 0 || height <= 0) return kNotSupported;
  // Checked in 64 bits before anything is sized from it.
  if (width * bpp > row_limit || width * bpp > kWorkRowBytes) return kRowTooWide;
  if (o.VEL == 0 || o.MAXBPP < bpp) return kBppTooLarge;
  if (o.MAXX <= 0 || o.MAXY <= 0 || int64_t{o.MAXX} * o.MAXY * bpp > o.VEL) return kBppTooLarge;
  width_ = width;
  height_ = height;
  code_ = code;
  bpp_ = bpp;
  row_bytes_ = width * bpp;
  o.BPP = code;
  o.VELX = static_cast<int32_t>(std::min<int64_t>(width, o.MAXX));
  o.VELY = static_cast<int32_t>(std::min<int64_t>(height, o.MAXY));
  // Rows a run-length file skips or never reaches show as index 0, not as the slot's old picture.
  std::memset(o.BUFFER, 0, size_t(int64_t{o.MAXX} * o.VELY * bpp));
  zero_rows_.assign(size_t(o.VELY), true);
  dirty_ = row_bytes_;
  clear_row();
  std::vector<uint8_t>& work = owner_.PRACRADEK;
  ASAN_POISON_MEMORY_REGION(work.data() + row_bytes_, work.size() - size_t(row_bytes_));
  guarded_ = true;
  return kOk;
}

RowSink::~RowSink() {
  if (!guarded_) return;
  std::vector<uint8_t>& work = owner_.PRACRADEK;
  ASAN_UNPOISON_MEMORY_REGION(work.data() + row_bytes_, work.size() - size_t(row_bytes_));
}

void RowSink::store(int64_t y) {
  TOBRAZEK& o = owner_.OBRAZKY[slot_];
  if (y < 0 || y >= height_) return;
  int32_t target = POUZITRADEK(static_cast<int32_t>(y), static_cast<int32_t>(height_), o.MAXY);
  if (target >= o.VELY) target = o.VELY - 1;
  uint8_t* dst = o.BUFFER + int64_t{o.MAXX} * target * bpp_;
  const size_t stored = size_t(std::min<int64_t>(width_, o.MAXX)) * bpp_;
  if (dirty_ == 0) {  // an empty row: the slot row only needs to be zero
    if (!zero_rows_[size_t(target)]) {
      std::memset(dst, 0, stored);
      zero_rows_[size_t(target)] = true;
    }
    return;
  }
  uint8_t* work = row();
  // NORMALIZRADEK knows format 0 only as "copies nothing"; a one-byte picture squeezes as 1.
  const int32_t squeeze_code = code_ == 0 ? 1 : code_;
  NORMALIZRADEK(work, static_cast<int32_t>(width_), o.MAXX, squeeze_code);
  std::memcpy(dst, work, stored);
  zero_rows_[size_t(target)] = false;
  touch(int64_t(stored));
  clear_row();
}

void RowSink::finish() {
  owner_.ORIGX = static_cast<int32_t>(width_);
  owner_.ORIGY = static_cast<int32_t>(height_);
  owner_.PREVEDBARVY(slot_);
}

}  // namespace ksv::images
