// libFuzzer target for one picture reader on arbitrary bytes, into a roomy slot and into slots
// smaller than most pictures (so rows are squeezed and mapped), under ASan/UBSan. The build
// compiles it once per format, naming the reader in KSV_FUZZ_READER (load_bmp_memory, ...).
#include <cstddef>
#include <cstdint>

#include "images/obrazky.h"

#ifndef KSV_FUZZ_READER
#error "KSV_FUZZ_READER names the reader to fuzz"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ksv::images::Obrazky* img = [] {
    auto* o = new ksv::images::Obrazky;
    o->ZALOZOBRAZEK(0, 64, 64, 4);
    o->ZALOZOBRAZEK(1, 7, 5, 4);
    o->ZALOZOBRAZEK(2, 16, 16, 1);
    return o;
  }();
  for (uint16_t slot = 0; slot < 3; ++slot) img->KSV_FUZZ_READER(slot, data, size);
  return 0;
}
