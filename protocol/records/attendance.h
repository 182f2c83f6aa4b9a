// Attendance and calendar records: one user's day TDochazka (144 bytes, one file per user and
// day under "dochazka"), a line of the month list TDoch (150 bytes), and the holiday calendar
// TKalendar (384 bytes, "kalendar.dat").
#pragma once
#include <cstring>

#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)

// TDochazka — OFFSET SIZE FIELD
//      0   72 PRICHODY  12 arrival times
//     72   72 ODCHODY   12 departure times
// Slot i of both arrays is one stay. A free slot is all 0xFF, so its HOD reads 65535.
struct TDochazka {
  TCas PRICHODY[12]{};  //  0
  TCas ODCHODY[12]{};   // 72
};

// TDoch — OFFSET SIZE FIELD
//      0    6 DEN   the day
//      6  144 CASY  that day's times
struct TDoch {
  TDatum DEN{};      // 0
  TDochazka CASY{};  // 6
};

// TKalendar — 12 months × 32 bytes, month-major: byte (m-1)*32 + (d-1) is day d of month m, and
// non-zero marks a holiday. The 32nd byte of each month is never a day.
struct TKalendar {
  uint8_t days[12][32]{};  // 0

  // Out-of-range dates are simply not holidays, so a bad date from a client cannot index past
  // the table.
  bool is_holiday(int month, int day) const {
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    return days[month - 1][day - 1] != 0;
  }
};

#pragma pack(pop)

// The hour a free attendance slot reads.
inline constexpr uint16_t kFreeSlotHour = 0xFFFF;

inline bool is_free_slot(const TCas& c) { return c.HOD == kFreeSlotHour; }

// A day file as it starts: every slot free (all 144 bytes 0xFF).
inline TDochazka empty_dochazka() {
  TDochazka d;
  std::memset(static_cast<void*>(&d), 0xFF, sizeof d);
  return d;
}

static_assert(sizeof(TDochazka) == 144);
static_assert(offsetof(TDochazka, PRICHODY) == 0);
static_assert(offsetof(TDochazka, ODCHODY) == 72);
static_assert(kIsRecord<TDochazka>);

static_assert(sizeof(TDoch) == 150);
static_assert(offsetof(TDoch, DEN) == 0);
static_assert(offsetof(TDoch, CASY) == 6);
static_assert(kIsRecord<TDoch>);

static_assert(sizeof(TKalendar) == 384);
static_assert(offsetof(TKalendar, days) == 0);
static_assert(kIsRecord<TKalendar>);

}  // namespace ksv
