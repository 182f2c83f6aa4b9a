// The rights set: an Int64 used as 64 bits numbered 0 (least significant) to 63.
#pragma once
#include <cstdint>

namespace ksv {

inline bool TESTBIT(int64_t x, int64_t n) {
  if (n < 0 || n >= 64) return false;
  return (uint64_t(x) >> n) & 1u;
}
inline void NASTAVBIT(int64_t& x, int64_t n) {
  if (n >= 0 && n < 64) x = int64_t(uint64_t(x) | (uint64_t(1) << n));
}
inline void NULUJBIT(int64_t& x, int64_t n) {
  if (n >= 0 && n < 64) x = int64_t(uint64_t(x) & ~(uint64_t(1) << n));
}
inline void NEGUJBIT(int64_t& x, int64_t n) {
  if (n >= 0 && n < 64) x = int64_t(uint64_t(x) ^ (uint64_t(1) << n));
}

}  // namespace ksv
