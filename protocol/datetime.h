// Calendar types shared by records and packets: TDatum and TCas (three Words each), a broken-down
// local moment, and CASOVYROZDIL, the seconds between two moments used by the liveness timers.
#pragma once
#include <cstdint>

namespace ksv {

#pragma pack(push, 1)
struct TDatum {
  uint16_t DEN = 0;  // 0  day
  uint16_t MES = 0;  // 2  month
  uint16_t ROK = 0;  // 4  four-digit year
};
struct TCas {
  uint16_t HOD = 0;  // 0  hour; 65535 marks an empty attendance slot
  uint16_t MIN = 0;  // 2
  uint16_t SEC = 0;  // 4
};
#pragma pack(pop)
static_assert(sizeof(TDatum) == 6 && sizeof(TCas) == 6);

// One local moment as the system reads it: date, time and day of the week (0 = Sunday).
struct DateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
  int weekday = 6;

  TDatum datum() const { return TDatum{uint16_t(day), uint16_t(month), uint16_t(year)}; }
  TCas cas() const { return TCas{uint16_t(hour), uint16_t(minute), uint16_t(second)}; }
};

// Seconds from the first moment to the second. Any change of date counts as exactly one
// midnight between the two moments: |86400 - t1| + t2.
int64_t CASOVYROZDIL(uint16_t h1, uint16_t m1, uint16_t s1, uint16_t d1, uint16_t mo1, uint16_t y1,
                     uint16_t h2, uint16_t m2, uint16_t s2, uint16_t d2, uint16_t mo2, uint16_t y2);

inline int64_t CASOVYROZDIL(const DateTime& a, const DateTime& b) {
  return CASOVYROZDIL(uint16_t(a.hour), uint16_t(a.minute), uint16_t(a.second), uint16_t(a.day),
                      uint16_t(a.month), uint16_t(a.year), uint16_t(b.hour), uint16_t(b.minute),
                      uint16_t(b.second), uint16_t(b.day), uint16_t(b.month), uint16_t(b.year));
}

}  // namespace ksv
