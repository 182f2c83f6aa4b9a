// Record files: headerless sequences of fixed-size records (record n at byte n × sizeof(T)).
// Reads take whole records only; every change rewrites the file atomically, so a crash leaves
// the old file or the new one, never a torn record. Nothing here throws: failures are a false
// return or an empty optional.
//
// The files are small (a few hundred records at most), so a change is always
//   read all records → change the vector → rewrite the whole file atomically
// and the helpers below (write_record, append_record, delete_record) are that pattern spelled
// out; update_records() gives callers the same pattern for changes of their own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "protocol/records/base.h"

namespace ksv {

// ---- bytes -------------------------------------------------------------------------------------

// The whole content of a file; empty optional when it cannot be opened or read.
std::optional<std::string> read_whole_file(const std::string& path);

// Exactly `size` bytes from `offset`; false when the file is shorter, unreadable or missing.
bool read_file_at(const std::string& path, uint64_t offset, void* buf, size_t size);

// Size in bytes of a file that can be opened for reading.
std::optional<uint64_t> readable_file_size(const std::string& path);

// Replaces (or creates) `path` with exactly these bytes: written to a temporary file in the same
// directory, flushed to disk, renamed over the old name, and the directory flushed too. On any
// failure the old file is left as it was and the temporary file is removed. An existing file
// keeps its permission bits; a new one gets 0644.
bool write_file_atomic(const std::string& path, const void* data, size_t size);

// Temporary files of write_file_atomic() start with this; directory listings skip them.
inline constexpr const char* kAtomicTempPrefix = ".ksv-tmp-";

// ---- records -----------------------------------------------------------------------------------

// All whole records of the file. A trailing piece shorter than one record (a file damaged by
// some other writer) is not returned; *partial_tail tells whether there was one.
template <class T>
std::optional<std::vector<T>> read_records(const std::string& path, bool* partial_tail = nullptr) {
  static_assert(kIsRecord<T>);
  if (partial_tail) *partial_tail = false;
  std::optional<std::string> bytes = read_whole_file(path);
  if (!bytes) return std::nullopt;
  const size_t count = bytes->size() / sizeof(T);
  if (partial_tail) *partial_tail = bytes->size() % sizeof(T) != 0;
  std::vector<T> out(count);
  if (count) std::memcpy(static_cast<void*>(out.data()), bytes->data(), count * sizeof(T));
  return out;
}

// Record n, if the file holds all of it.
template <class T>
std::optional<T> read_record(const std::string& path, size_t n) {
  static_assert(kIsRecord<T>);
  if (n > std::numeric_limits<uint64_t>::max() / sizeof(T) - 1) return std::nullopt;
  T rec{};
  if (!read_file_at(path, uint64_t(n) * sizeof(T), &rec, sizeof(T))) return std::nullopt;
  return rec;
}

// Number of whole records in the file.
template <class T>
std::optional<size_t> count_records(const std::string& path) {
  static_assert(kIsRecord<T>);
  std::optional<uint64_t> size = readable_file_size(path);
  if (!size) return std::nullopt;
  return size_t(*size / sizeof(T));
}

// Creates or replaces the file with exactly these records, atomically.
template <class T>
bool write_records(const std::string& path, std::span<const T> records) {
  static_assert(kIsRecord<T>);
  return write_file_atomic(path, records.data(), records.size_bytes());
}
template <class T>
bool write_records(const std::string& path, const std::vector<T>& records) {
  return write_records(path, std::span<const T>(records));
}

// Reads every record of an existing file, lets `change` edit the vector, and rewrites the file
// atomically. `change` may return bool: false means "nothing to write" and the file is left
// untouched (the call still returns true). A missing or unreadable file is a failure and is not
// created. A trailing partial record is dropped by the rewrite.
template <class T, class F>
bool update_records(const std::string& path, F&& change) {
  std::optional<std::vector<T>> records = read_records<T>(path);
  if (!records) return false;
  if constexpr (std::is_void_v<std::invoke_result_t<F&, std::vector<T>&>>) {
    change(*records);
  } else {
    if (!change(*records)) return true;
  }
  return write_records<T>(path, *records);
}

// Replaces record n of an existing file; fails when the file has no record n.
template <class T>
bool write_record(const std::string& path, size_t n, const T& rec) {
  bool in_range = false;
  bool ok = update_records<T>(path, [&](std::vector<T>& v) {
    if (n >= v.size()) return false;
    in_range = true;
    v[n] = rec;
    return true;
  });
  return ok && in_range;
}

// Adds a record at the end of an existing file.
template <class T>
bool append_record(const std::string& path, const T& rec) {
  return update_records<T>(path, [&](std::vector<T>& v) { v.push_back(rec); });
}

// Removes record n: every later record moves one place forward and the file is one record
// shorter. Fails when the file has no record n.
template <class T>
bool delete_record(const std::string& path, size_t n) {
  bool in_range = false;
  bool ok = update_records<T>(path, [&](std::vector<T>& v) {
    if (n >= v.size()) return false;
    in_range = true;
    v.erase(v.begin() + std::ptrdiff_t(n));
    return true;
  });
  return ok && in_range;
}

// The outcome of a scan: the file could not be read, no record matched, or the first match.
enum class ScanStatus { kUnreadable, kNotFound, kFound };

template <class T>
struct ScanResult {
  ScanStatus status = ScanStatus::kUnreadable;
  size_t index = 0;
  T record{};

  bool found() const { return status == ScanStatus::kFound; }
  bool readable() const { return status != ScanStatus::kUnreadable; }
};

// The first record, from record `from` on, for which pred(record) is true.
template <class T, class Pred>
ScanResult<T> find_record(const std::string& path, Pred&& pred, size_t from = 0) {
  ScanResult<T> result;
  std::optional<std::vector<T>> records = read_records<T>(path);
  if (!records) return result;
  result.status = ScanStatus::kNotFound;
  for (size_t i = from; i < records->size(); ++i) {
    if (pred(static_cast<const T&>((*records)[i]))) {
      result.status = ScanStatus::kFound;
      result.index = i;
      result.record = (*records)[i];
      break;
    }
  }
  return result;
}

}  // namespace ksv
