// File and directory utilities the data store and the devices use: copy, rename, erase, tests
// for existence, one-level directory make/remove/clear, and a wildcard directory listing.
// Each returns a success flag (or an empty optional) and never throws.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ksv {

// The block size of copy_file().
inline constexpr size_t kCopyBlock = 65536;

// Copies `from` to `to` in 65536-byte blocks, creating or replacing `to`. The copy is written
// beside `to` and renamed over it at the end, so a failed copy leaves any old `to` untouched.
// Fails when either side cannot be opened, on any read or write error, and when both names are
// the same file (replacing a file with itself must not empty it).
bool copy_file(const std::string& from, const std::string& to);

// Renames; an existing `to` is replaced (the Linux rule).
bool rename_file(const std::string& from, const std::string& to);

// Deletes one file (not a directory).
bool erase_file(const std::string& path);

// True when the path can be opened for reading and is not a directory.
bool file_exists(const std::string& path);

// True when the path is a directory.
bool directory_exists(const std::string& path);

// One level: the parent must exist. Fails when the directory already exists.
bool make_directory(const std::string& path);

// One level: the directory must be empty.
bool remove_directory(const std::string& path);

// Deletes every entry of the directory that is not itself a directory (a symbolic link is
// deleted, never followed); subdirectories are left alone, not descended into. A trailing "/"
// on the path is dropped first. True when the directory could be read and every deletion
// succeeded; a failed deletion does not stop the others.
bool clear_directory(const std::string& path);

// One entry of a directory listing. mtime is seconds since the epoch (ksv::to_datetime turns
// it into a local date and time).
struct DirEntry {
  std::string name;
  bool is_directory = false;
  uint64_t size = 0;
  int64_t mtime = 0;
};

// The entries of `dir` whose names match the shell pattern (like "*.jpg" or "2026-01-*"); "."
// and ".." are never listed, nor the temporary files of an atomic rewrite in progress. "*"
// matches names beginning with "." too. With ignore_case, "*.jpg" also finds "A.JPG". Order is
// the directory's own. Empty optional when the directory cannot be read.
std::optional<std::vector<DirEntry>> list_directory(const std::string& dir,
                                                    const std::string& pattern = "*",
                                                    bool ignore_case = false);

// True for a name that stays inside the directory it is appended to: not empty, not "." or
// "..", no "/" and no NUL. Use it on every file or directory name that comes from a client.
bool is_plain_name(std::string_view name);

}  // namespace ksv
