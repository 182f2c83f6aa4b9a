// Typing and showing dates in the client.
#include "client/dates.h"

#include <cstdio>

namespace ksv::client {

namespace {

// A part of the date: digits only, within [low, high]; -1 otherwise.
int part_value(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 4) return -1;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v >= low && v <= high ? v : -1;
}

}  // namespace

TDatum parse_date(const std::string& text) {
  TDatum d{};
  std::string parts[3];
  int n = 0;
  for (char c : text) {
    if (c == '.') {
      if (++n == 3) break;  // anything after a third dot is not part of the date
    } else {
      parts[n] += c;
    }
  }
  const int day = part_value(parts[0], 1, 31);
  if (day < 0) return d;
  d.DEN = uint16_t(day);
  const int month = part_value(parts[1], 1, 12);
  if (month < 0) return d;
  d.MES = uint16_t(month);
  const int year = part_value(parts[2], 1900, 2098);
  if (year < 0) return d;
  d.ROK = uint16_t(year);
  return d;
}

std::string format_date(const TDatum& d) {
  if (d.DEN == 0) return "";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02u.%02u.%04u", unsigned(d.DEN % 100), unsigned(d.MES % 100),
                unsigned(d.ROK % 10000));
  return buf;
}

std::string list_date(const TDatum& d) {
  if (d.DEN == 0) return "";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u.%02u.%02u", unsigned(d.ROK % 10000), unsigned(d.MES % 100),
                unsigned(d.DEN % 100));
  return buf;
}

}  // namespace ksv::client
