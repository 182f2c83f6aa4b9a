// Attendance day files, presence and the month list.
#include "server/store/attendance.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "protocol/file_util.h"
#include "protocol/record_file.h"

namespace ksv::server {

namespace {

std::string two(int n) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", n);
  return b;
}

std::string four(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%04d", n);
  return b;
}

}  // namespace

Attendance::Attendance(std::string base, Clock& clock) : base_(std::move(base)), clock_(clock) {
  if (base_.empty()) base_ = "./";
  if (base_.back() != '/') base_ += '/';
}

std::string Attendance::day_dir(int year, int month, int day) {
  return "dochazka/" + four(year) + "-" + two(month) + "-" + two(day) + "/";
}

std::string Attendance::day_file(int32_t user_id, int year, int month, int day) const {
  return base_ + day_dir(year, month, day) + std::to_string(user_id);
}

bool present_in(const TDochazka& day) {
  bool present = false;
  for (int i = 0; i < 12; ++i) {
    bool arrival = !is_free_slot(day.PRICHODY[i]);
    bool departure = !is_free_slot(day.ODCHODY[i]);
    if (!arrival && !departure) break;
    present = arrival && !departure;
  }
  return present;
}

bool Attendance::record_event(int32_t user_id, TerminalEvent event) {
  if (user_id < 0) return false;
  std::lock_guard<std::mutex> lock(mu_);
  const DateTime now = clock_.now();
  const std::string dir = base_ + day_dir(now.year, now.month, now.day);
  // Another writer may have made the directory in between; only its absence afterwards counts.
  if (!directory_exists(dir) && !make_directory(dir) && !directory_exists(dir)) return false;
  const std::string path = day_file(user_id, now.year, now.month, now.day);

  TDochazka day = empty_dochazka();
  if (file_exists(path)) {
    std::optional<TDochazka> old = read_record<TDochazka>(path, 0);
    // A damaged file is started afresh rather than left blocking every later event.
    if (old) day = *old;
  }
  for (int i = 0; i < 12; ++i) {
    if (event == TerminalEvent::kArrival) {
      if (is_free_slot(day.PRICHODY[i]) && is_free_slot(day.ODCHODY[i])) {
        day.PRICHODY[i] = now.cas();
        break;
      }
    } else if (is_free_slot(day.ODCHODY[i])) {
      day.ODCHODY[i] = now.cas();
      break;
    }
  }
  return write_records<TDochazka>(path, std::vector<TDochazka>{day});
}

bool Attendance::user_present(int32_t user_id) const {
  const DateTime now = clock_.now();
  std::optional<TDochazka> day =
      read_record<TDochazka>(day_file(user_id, now.year, now.month, now.day), 0);
  return day && present_in(*day);
}

bool Attendance::anybody_present() const {
  const DateTime now = clock_.now();
  const std::string dir = base_ + day_dir(now.year, now.month, now.day);
  std::optional<std::vector<DirEntry>> entries = list_directory(dir);
  if (!entries) return false;
  for (const DirEntry& e : *entries) {
    if (e.is_directory) continue;
    std::optional<TDochazka> day = read_record<TDochazka>(dir + e.name, 0);
    if (day && present_in(*day)) return true;
  }
  return false;
}

bool Attendance::write_month(int32_t user_id, int month, int year,
                             const std::string& out_path) const {
  std::vector<TDoch> lines;
  const std::string pattern = four(year) + "-" + two(month) + "-*";
  std::optional<std::vector<DirEntry>> days = list_directory(base_ + "dochazka", pattern);
  if (days) {
    for (const DirEntry& d : *days) {
      if (!d.is_directory || d.name.size() < 2) continue;
      const char a = d.name[d.name.size() - 2], b = d.name[d.name.size() - 1];
      if (!std::isdigit(static_cast<unsigned char>(a)) ||
          !std::isdigit(static_cast<unsigned char>(b)))
        continue;
      // A file that cannot be read is left out of the list.
      std::optional<TDochazka> rec = read_record<TDochazka>(
          base_ + "dochazka/" + d.name + "/" + std::to_string(user_id), 0);
      if (!rec) continue;
      TDoch line;
      line.DEN = TDatum{uint16_t((a - '0') * 10 + (b - '0')), uint16_t(month), uint16_t(year)};
      line.CASY = *rec;
      lines.push_back(line);
    }
  }
  // The listing comes in whatever order the file system keeps; clients read the days in order.
  std::sort(lines.begin(), lines.end(),
            [](const TDoch& x, const TDoch& y) { return x.DEN.DEN < y.DEN.DEN; });
  return write_records<TDoch>(out_path, lines);
}

}  // namespace ksv::server
