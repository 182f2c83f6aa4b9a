// Day records for the attendance tests, written the way a person reads a time sheet.
#pragma once
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "protocol/records/attendance.h"

namespace ksv::client::attendance::test_records {

// "hh:mm" or "hh:mm:ss"; "" is an empty slot.
inline TCas at(const char* text) {
  if (text[0] == '\0') return TCas{kFreeSlotHour, kFreeSlotHour, kFreeSlotHour};
  unsigned h = 0, m = 0, s = 0;
  std::sscanf(text, "%u:%u:%u", &h, &m, &s);
  return TCas{uint16_t(h), uint16_t(m), uint16_t(s)};
}

// One day: stay i is {arrival, departure}.
inline TDoch day(int d, int m, int y,
                 std::initializer_list<std::pair<const char*, const char*>> stays) {
  TDoch r;
  r.DEN = TDatum{uint16_t(d), uint16_t(m), uint16_t(y)};
  r.CASY = empty_dochazka();
  int i = 0;
  for (const auto& [a, b] : stays) {
    r.CASY.PRICHODY[i] = at(a);
    r.CASY.ODCHODY[i] = at(b);
    ++i;
  }
  return r;
}

}  // namespace ksv::client::attendance::test_records
