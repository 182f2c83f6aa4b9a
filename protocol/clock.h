// Clock: every reading of the date and time goes through one of these, so tests can stand at
// 23:59:50, at 00:30 or at any hour of a camera plan without touching the machine's clock.
#pragma once
#include <cstdint>
#include <ctime>

#include "protocol/datetime.h"

namespace ksv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since the epoch; the local broken-down moment is derived from it.
  virtual int64_t epoch_seconds() const = 0;
  // Milliseconds of a monotonic counter, for pauses and benchmarks.
  virtual int64_t monotonic_ms() const = 0;
  virtual DateTime now() const = 0;
};

// The machine's clock, in local time.
class RealClock final : public Clock {
 public:
  int64_t epoch_seconds() const override;
  int64_t monotonic_ms() const override;
  DateTime now() const override;
};

// A clock that stands still until a test moves it. Its moments are read as UTC so a test's
// 00:30 is 00:30 whatever the machine's time zone.
class FakeClock final : public Clock {
 public:
  FakeClock();  // 2026-01-15 10:00:00
  FakeClock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  void set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  void advance(int64_t seconds) { t_ += seconds; mono_ms_ += seconds * 1000; }
  void advance_ms(int64_t ms) { mono_ms_ += ms; t_ = base_ + mono_ms_ / 1000; }

  int64_t epoch_seconds() const override { return t_; }
  int64_t monotonic_ms() const override { return mono_ms_; }
  DateTime now() const override;

 private:
  int64_t t_ = 0;
  int64_t base_ = 0;
  int64_t mono_ms_ = 0;
};

// Breaks an epoch time into a DateTime, as UTC or as local time.
DateTime to_datetime(int64_t epoch, bool local);

}  // namespace ksv
