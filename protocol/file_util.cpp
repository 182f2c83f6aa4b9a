// File and directory utilities over POSIX calls; every call's result is checked at once.
#include "protocol/file_util.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "protocol/fd.h"
#include "protocol/record_file.h"

namespace ksv {
namespace {

struct DirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

std::string directory_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string without_trailing_slash(std::string path) {
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool is_dot_or_dotdot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

bool copy_file(const std::string& from, const std::string& to) {
  Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.ok()) return false;
  struct stat src {};
  if (::fstat(in.get(), &src) != 0 || S_ISDIR(src.st_mode)) return false;
  struct stat dst {};
  if (::stat(to.c_str(), &dst) == 0) {
    if (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) return false;
    if (S_ISDIR(dst.st_mode)) return false;
  }

  const std::string dir = directory_of(to);
  std::string tmp = (dir == "/" ? std::string("/") : dir + "/") + kAtomicTempPrefix + "XXXXXX";
  Fd out(::mkstemp(tmp.data()));
  if (!out.ok()) return false;
  ::fcntl(out.get(), F_SETFD, FD_CLOEXEC);

  bool ok = ::fchmod(out.get(), 0644) == 0;
  std::unique_ptr<char[]> buf(new char[kCopyBlock]);
  while (ok) {
    ssize_t r = ::read(in.get(), buf.get(), kCopyBlock);
    if (r < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else if (r == 0) {
      break;
    } else {
      ok = write_all(out.get(), buf.get(), size_t(r));
    }
  }
  ok = out.close() && ok;
  if (ok) ok = ::rename(tmp.c_str(), to.c_str()) == 0;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

bool rename_file(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool erase_file(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool file_exists(const std::string& path) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) return false;
  struct stat st {};
  return ::fstat(fd.get(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool directory_exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool make_directory(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

bool remove_directory(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

bool clear_directory(const std::string& path) {
  const std::string dir = without_trailing_slash(path);
  DirPtr d(::opendir(dir.c_str()));
  if (!d) return false;
  bool all_ok = true;
  // Deleting entries while reading the same directory stream may make readdir skip some, so
  // collect the names first.
  std::vector<std::string> victims;
  for (;;) {
    errno = 0;
    dirent* e = ::readdir(d.get());
    if (!e) {
      if (errno != 0) all_ok = false;
      break;
    }
    if (is_dot_or_dotdot(e->d_name)) continue;
    std::string full = dir + "/" + e->d_name;
    struct stat st {};
    if (::lstat(full.c_str(), &st) != 0) {
      all_ok = false;
      continue;
    }
    if (S_ISDIR(st.st_mode)) continue;
    victims.push_back(std::move(full));
  }
  for (const std::string& v : victims) {
    if (::unlink(v.c_str()) != 0 && errno != ENOENT) all_ok = false;
  }
  return all_ok;
}

std::optional<std::vector<DirEntry>> list_directory(const std::string& dir,
                                                    const std::string& pattern, bool ignore_case) {
  const std::string base = without_trailing_slash(dir);
  DirPtr d(::opendir(base.c_str()));
  if (!d) return std::nullopt;
  const size_t prefix_len = std::strlen(kAtomicTempPrefix);
  const int flags = ignore_case ? FNM_CASEFOLD : 0;
  std::vector<DirEntry> out;
  for (;;) {
    errno = 0;
    dirent* e = ::readdir(d.get());
    if (!e) {
      if (errno != 0) return std::nullopt;
      break;
    }
    if (is_dot_or_dotdot(e->d_name)) continue;
    if (std::strncmp(e->d_name, kAtomicTempPrefix, prefix_len) == 0) continue;
    if (::fnmatch(pattern.c_str(), e->d_name, flags) != 0) continue;
    DirEntry entry;
    entry.name = e->d_name;
    std::string full = base + "/" + e->d_name;
    struct stat st {};
    // A dangling link is listed as what it is rather than dropped.
    if (::stat(full.c_str(), &st) == 0 || ::lstat(full.c_str(), &st) == 0) {
      entry.is_directory = S_ISDIR(st.st_mode);
      entry.size = entry.is_directory ? 0 : uint64_t(st.st_size);
      entry.mtime = int64_t(st.st_mtime);
    } else {
      continue;  // removed between readdir and stat
    }
    out.push_back(std::move(entry));
  }
  return out;
}

bool is_plain_name(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '/' || c == '\0') return false;
  }
  return true;
}

}  // namespace ksv
