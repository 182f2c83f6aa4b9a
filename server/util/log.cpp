// Log lines to the console and to the day's file.
#include "server/util/log.h"

#include <cstdio>

namespace ksv::server {

Log::Log(Clock& clock, std::string log_dir, bool console)
    : clock_(clock), dir_(std::move(log_dir)), console_(console) {}

std::string format_moment(const DateTime& t) {
  char out[32];
  std::snprintf(out, sizeof out, "%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return out;
}

void Log::line(const std::string& text) {
  DateTime t = clock_.now();
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", t.hour, t.minute, t.second);
  std::lock_guard<std::mutex> lock(mu_);
  if (console_) {
    std::fprintf(stdout, "%s%s\n", stamp, text.c_str());
    std::fflush(stdout);
  }
  if (!dir_.empty()) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d.log", t.year, t.month, t.day);
    // A log that cannot be written must not stop the server; the console still has the line.
    if (std::FILE* f = std::fopen((dir_ + name).c_str(), "ab")) {
      std::fprintf(f, "%s%s\n", stamp, text.c_str());
      std::fclose(f);
    }
  }
  if (keep_) kept_.push_back(text);
}

std::vector<std::string> Log::lines() const {
  std::lock_guard<std::mutex> lock(mu_);
  return kept_;
}

bool Log::contains(const std::string& fragment) const {
  std::lock_guard<std::mutex> lock(mu_);
  for (const std::string& l : kept_)
    if (l.find(fragment) != std::string::npos) return true;
  return false;
}

}  // namespace ksv::server
