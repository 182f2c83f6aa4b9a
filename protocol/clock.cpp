// The real and the fake clock.
#include "protocol/clock.h"

#include <chrono>

namespace ksv {

DateTime to_datetime(int64_t epoch, bool local) {
  time_t t = time_t(epoch);
  struct tm tm {};
  if (local)
    localtime_r(&t, &tm);
  else
    gmtime_r(&t, &tm);
  DateTime d;
  d.year = tm.tm_year + 1900;
  d.month = tm.tm_mon + 1;
  d.day = tm.tm_mday;
  d.hour = tm.tm_hour;
  d.minute = tm.tm_min;
  d.second = tm.tm_sec;
  d.weekday = tm.tm_wday;
  return d;
}

int64_t RealClock::epoch_seconds() const { return int64_t(::time(nullptr)); }

int64_t RealClock::monotonic_ms() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

DateTime RealClock::now() const { return to_datetime(epoch_seconds(), true); }

FakeClock::FakeClock() { set(2026, 1, 15, 10, 0, 0); }

FakeClock::FakeClock(int year, int month, int day, int hour, int minute, int second) {
  set(year, month, day, hour, minute, second);
}

void FakeClock::set(int year, int month, int day, int hour, int minute, int second) {
  struct tm tm {};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  int64_t t = int64_t(timegm(&tm));
  // Keep the monotonic counter moving forward whatever the new wall time is.
  base_ = t - mono_ms_ / 1000;
  t_ = t;
}

DateTime FakeClock::now() const { return to_datetime(t_, false); }

}  // namespace ksv
