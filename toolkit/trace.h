// Trace: one line per event of a desktop program, for support and for scripted tests.
//
// With the environment variable KSV_TRACE naming a file, the program appends one line per event:
//
//   <milliseconds since the trace was opened> TAB <event> TAB <details> LF
//
// Events of KSVDB: "screen N", "send CODE", "reply CODE", "dialog KEY", "upload NAME BYTES",
// "download NAME BYTES", "open PATH"; of logocalc: "screen KEY", "result TOTAL". Each line is
// written with one write() on a descriptor opened with O_APPEND, so a reader (a test waiting for
// a reply, a support person running tail -f) never sees half a line.
#pragma once
#include <chrono>
#include <string>
#include <string_view>

namespace ksv::toolkit {

class Trace {
 public:
  Trace() = default;
  ~Trace();
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  // Opens (appending, creating) the file; an empty path turns the trace off. False, with a line
  // on stderr, when the file cannot be opened: the program runs on without a trace.
  bool open(const std::string& path);
  // open() with the file named by KSV_TRACE, if any.
  bool open_from_env();
  void close();
  bool on() const { return fd_ >= 0; }

  // One event line. Tabs and line breaks inside the details are replaced by spaces, so a line
  // always has exactly three fields.
  void event(std::string_view name, std::string_view details = {});

 private:
  int fd_ = -1;
  std::chrono::steady_clock::time_point start_{};
};

}  // namespace ksv::toolkit
