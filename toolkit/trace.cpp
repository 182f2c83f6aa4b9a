#include "toolkit/trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ksv::toolkit {

Trace::~Trace() { close(); }

bool Trace::open(const std::string& path) {
  close();
  if (path.empty()) return true;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    std::fprintf(stderr, "trace: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  start_ = std::chrono::steady_clock::now();
  return true;
}

bool Trace::open_from_env() {
  const char* path = std::getenv("KSV_TRACE");
  return open(path ? path : "");
}

void Trace::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void Trace::event(std::string_view name, std::string_view details) {
  if (fd_ < 0) return;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start_)
                .count();
  std::string line = std::to_string(ms);
  line += '\t';
  line += name;
  line += '\t';
  for (char c : details) line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
  line += '\n';
  // O_APPEND makes the one write atomic with respect to other writers of the same file.
  ssize_t n = ::write(fd_, line.data(), line.size());
  if (n != static_cast<ssize_t>(line.size())) {
    std::fprintf(stderr, "trace: write failed, trace closed\n");
    close();
  }
}

}  // namespace ksv::toolkit
