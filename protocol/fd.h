// Fd: owns a file descriptor and closes it when the scope ends, so every early return of the
// file routines releases what it opened; write_all completes short writes.
#pragma once
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace ksv {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes now and reports the result: a failed close can be the first sign of a lost write.
  bool close() {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Writes all n bytes, going on after short writes and interrupted calls.
inline bool write_all(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (w == 0) return false;
    p += w;
    n -= size_t(w);
  }
  return true;
}

}  // namespace ksv
