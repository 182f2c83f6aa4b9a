// The typed stack. The push limit for a width is the last element index that fits the array.
#include "protocol/zasobnik.h"

#include <cstring>

namespace ksv {

template <typename T>
bool Zasobnik::push(T v) {
  constexpr int32_t limit = kBytes / int32_t(sizeof(T)) - 1;  // 2097151, 1048575, 524287
  if (POZICE >= limit) return false;
  ++POZICE;
  std::memcpy(data_.get() + size_t(POZICE) * sizeof(T), &v, sizeof(T));
  return true;
}

template <typename T>
bool Zasobnik::pop(T& v) {
  if (POZICE < 0) return false;
  std::memcpy(&v, data_.get() + size_t(POZICE) * sizeof(T), sizeof(T));
  --POZICE;
  return true;
}

bool Zasobnik::VLOZB(uint8_t b) { return push(b); }
bool Zasobnik::VYJMIB(uint8_t& b) { return pop(b); }
bool Zasobnik::VLOZW(uint16_t w) { return push(w); }
bool Zasobnik::VYJMIW(uint16_t& w) { return pop(w); }
bool Zasobnik::VLOZD(int32_t d) { return push(d); }
bool Zasobnik::VYJMID(int32_t& d) { return pop(d); }

}  // namespace ksv
