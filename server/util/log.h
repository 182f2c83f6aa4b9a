// The server's one log routine: every composed log line goes to the console and to the dated
// file log/yyyy-mm-dd.log of the data tree. The accept thread logs too, so lines are serialised.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "protocol/clock.h"

namespace ksv::server {

class Log {
 public:
  // log_dir ends with "/"; an empty log_dir writes to the console only.
  Log(Clock& clock, std::string log_dir, bool console = true);

  void line(const std::string& text);

  // Tests read back what was logged.
  void keep_lines(bool keep) { keep_ = keep; }
  std::vector<std::string> lines() const;
  bool contains(const std::string& fragment) const;
  void set_console(bool on) { console_ = on; }

 private:
  Clock& clock_;
  std::string dir_;
  bool console_;
  bool keep_ = false;
  mutable std::mutex mu_;
  std::vector<std::string> kept_;
};

// "dd.mm.yyyy hh:mm:ss", the form used inside log lines.
std::string format_moment(const DateTime& t);

}  // namespace ksv::server
