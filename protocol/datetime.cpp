// The liveness time difference.
#include "protocol/datetime.h"

namespace ksv {

int64_t CASOVYROZDIL(uint16_t h1, uint16_t m1, uint16_t s1, uint16_t d1, uint16_t mo1, uint16_t y1,
                     uint16_t h2, uint16_t m2, uint16_t s2, uint16_t d2, uint16_t mo2, uint16_t y2) {
  int64_t t1 = int64_t(h1) * 3600 + int64_t(m1) * 60 + s1;
  int64_t t2 = int64_t(h2) * 3600 + int64_t(m2) * 60 + s2;
  if (d1 == d2 && mo1 == mo2 && y1 == y2) return t2 > t1 ? t2 - t1 : t1 - t2;
  int64_t to_midnight = 86400 - t1;
  return (to_midnight < 0 ? -to_midnight : to_midnight) + t2;
}

}  // namespace ksv
