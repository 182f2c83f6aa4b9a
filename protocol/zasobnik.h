// ZASOBNIK: a typed stack over one 2 MiB byte array with one position counter. Elements are
// pushed and popped as bytes, Words or LongInts; the counter counts elements of the width in
// use, so one stack serves one width at a time. Full and empty are reported by false.
#pragma once
#include <cstdint>
#include <memory>

namespace ksv {

class Zasobnik {
 public:
  static constexpr int32_t kBytes = 2097152;

  Zasobnik() : data_(new uint8_t[kBytes]) {}
  int32_t POZICE = -1;  // -1 when empty

  bool VLOZB(uint8_t b);
  bool VYJMIB(uint8_t& b);
  bool VLOZW(uint16_t w);
  bool VYJMIW(uint16_t& w);
  bool VLOZD(int32_t d);
  bool VYJMID(int32_t& d);
  void clear() { POZICE = -1; }

 private:
  template <typename T>
  bool push(T v);
  template <typename T>
  bool pop(T& v);
  std::unique_ptr<uint8_t[]> data_;
};

}  // namespace ksv
