// Byte-level reading and the atomic rewrite under the record-file helpers. Every system call is
// checked at once; EINTR is retried; nothing throws.
#include "protocol/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "protocol/fd.h"

namespace ksv {
namespace {

int open_read(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

int fsync_retry(int fd) {
  int r;
  do {
    r = ::fsync(fd);
  } while (r != 0 && errno == EINTR);
  return r;
}

// The directory part of a path, for the temporary file and the directory flush.
std::string directory_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::optional<std::string> read_whole_file(const std::string& path) {
  Fd fd(open_read(path));
  if (!fd.ok()) return std::nullopt;
  std::string out;
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    out.reserve(size_t(st.st_size));
  }
  char buf[65536];
  for (;;) {
    ssize_t r = ::read(fd.get(), buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;  // includes a directory opened by mistake (EISDIR)
    }
    if (r == 0) break;
    out.append(buf, size_t(r));
  }
  return out;
}

bool read_file_at(const std::string& path, uint64_t offset, void* buf, size_t size) {
  Fd fd(open_read(path));
  if (!fd.ok()) return false;
  if (offset > uint64_t(std::numeric_limits<off_t>::max())) return false;
  char* p = static_cast<char*>(buf);
  size_t done = 0;
  while (done < size) {
    ssize_t r = ::pread(fd.get(), p + done, size - done, off_t(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) return false;  // the file ends inside the record
    done += size_t(r);
  }
  return true;
}

std::optional<uint64_t> readable_file_size(const std::string& path) {
  Fd fd(open_read(path));
  if (!fd.ok()) return std::nullopt;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return uint64_t(st.st_size);
}

bool write_file_atomic(const std::string& path, const void* data, size_t size) {
  if (path.empty() || path.back() == '/') return false;
  const std::string dir = directory_of(path);

  // Keep the permission bits of the file we replace; a new data file is 0644.
  mode_t mode = 0644;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) return false;
    mode = old.st_mode & 07777;
  }

  std::string tmp = (dir == "/" ? std::string("/") : dir + "/") + kAtomicTempPrefix + "XXXXXX";
  Fd fd(::mkstemp(tmp.data()));
  if (!fd.ok()) return false;
  ::fcntl(fd.get(), F_SETFD, FD_CLOEXEC);

  bool ok = ::fchmod(fd.get(), mode) == 0 &&
            write_all(fd.get(), static_cast<const char*>(data), size) &&
            fsync_retry(fd.get()) == 0;
  ok = fd.close() && ok;
  if (ok) ok = ::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    return false;
  }

  // Make the rename itself durable. Some file systems refuse to flush a directory; the new
  // content is in place either way, so that is not reported as a failure.
  Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (d.ok()) fsync_retry(d.get());
  return true;
}

}  // namespace ksv
