// libFuzzer target: the KSV reader on arbitrary bytes, into a roomy slot and into a slot smaller
// than most pictures (so rows are squeezed and mapped), under ASan/UBSan.
#include <cstddef>
#include <cstdint>

#include "images/obrazky.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ksv::images::Obrazky* img = [] {
    auto* o = new ksv::images::Obrazky;
    o->ZALOZOBRAZEK(0, 64, 64, 4);
    o->ZALOZOBRAZEK(1, 7, 5, 4);
    o->ZALOZOBRAZEK(2, 16, 16, 1);
    return o;
  }();
  for (uint16_t slot = 0; slot < 3; ++slot) img->load_ksv_memory(slot, data, size);
  return 0;
}
