#include "client/screens/devices/frame_list.h"

#include <algorithm>
#include <cstdio>

namespace ksv::client::devices {

namespace {

bool two_digits(const std::string& s, size_t at, int limit, uint16_t& out) {
  if (at + 2 > s.size() || s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9')
    return false;
  const int v = (s[at] - '0') * 10 + (s[at + 1] - '0');
  if (v > limit) return false;
  out = uint16_t(v);
  return true;
}

bool parse_single(const std::string& name, TCas& t) {
  if (name.size() != 12 || name[2] != '-' || name[5] != '-' || name.compare(8, 4, ".jpg") != 0)
    return false;
  return two_digits(name, 0, 23, t.HOD) && two_digits(name, 3, 59, t.MIN) &&
         two_digits(name, 6, 59, t.SEC);
}

int days_in_month(int month, int year) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::vector<FrameEntry> parse_frame_list(const std::string& text) {
  std::vector<FrameEntry> out;
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(from, end - from);
    from = end + 1;
    if (!name.empty() && name.back() == '\r') name.pop_back();
    if (name.empty()) continue;
    FrameEntry e;
    e.single = parse_single(name, e.time);
    e.file = std::move(name);
    out.push_back(std::move(e));
  }
  // The directory listing comes in no particular order; the day reads from morning on.
  std::stable_sort(out.begin(), out.end(), [](const FrameEntry& a, const FrameEntry& b) {
    if (a.single != b.single) return a.single;
    return a.file < b.file;
  });
  return out;
}

std::string frame_label(const FrameEntry& e) {
  if (!e.single) {
    const size_t dot = e.file.rfind(".jpg");
    return dot == std::string::npos ? e.file : e.file.substr(0, dot);
  }
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", unsigned(e.time.HOD), unsigned(e.time.MIN),
                unsigned(e.time.SEC));
  return buf;
}

size_t page_count(size_t entries) {
  return entries == 0 ? 1 : (entries + kFramesPerPage - 1) / kFramesPerPage;
}

TDatum step_day(const TDatum& d, int days) {
  int day = d.DEN, month = d.MES, year = d.ROK;
  if (month < 1 || month > 12 || day < 1) return d;
  for (; days > 0; --days)
    if (++day > days_in_month(month, year)) {
      day = 1;
      if (++month > 12) month = 1, ++year;
    }
  for (; days < 0; ++days)
    if (--day < 1) {
      if (--month < 1) month = 12, --year;
      day = days_in_month(month, year);
    }
  TDatum out = d;
  out.DEN = uint16_t(day);
  out.MES = uint16_t(month);
  out.ROK = uint16_t(year);
  return out;
}

}  // namespace ksv::client::devices
