// libFuzzer target for one picture reader on arbitrary bytes, into a roomy slot and into slots
// smaller than most pictures (so rows are squeezed and mapped), under ASan/UBSan. The build
// compiles it once per format, naming the reader in KSV_FUZZ_READER (load_bmp_memory, ...).
//
// Nothing may be written past a buffer: the slots' pixel memory is allocated to the byte, and
// the readers' work row is poisoned past the picture's row while a reader fills it, so ASan
// stops on the first stray byte. After every load the slot must still describe a picture that
// lies inside its own allocation.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "images/obrazky.h"

#ifndef KSV_FUZZ_READER
#error "KSV_FUZZ_READER names the reader to fuzz"
#endif

namespace {

void check_slot(const ksv::images::TOBRAZEK& o, uint16_t slot) {
  const int64_t bytes = int64_t{o.MAXX} * o.VELY * ksv::images::bytes_per_pixel(o.BPP);
  if (o.VELX < 0 || o.VELY < 0 || o.VELX > o.MAXX || o.VELY > o.MAXY || bytes > o.VEL) {
    std::fprintf(stderr, "slot %u holds %d x %d (format %d) in %d x %d, %d bytes\n", slot,
                 o.VELX, o.VELY, o.BPP, o.MAXX, o.MAXY, o.VEL);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ksv::images::Obrazky* img = [] {
    auto* o = new ksv::images::Obrazky;
    o->ZALOZOBRAZEK(0, 64, 64, 4);
    o->ZALOZOBRAZEK(1, 7, 5, 4);
    o->ZALOZOBRAZEK(2, 16, 16, 1);
    return o;
  }();
  for (uint16_t slot = 0; slot < 3; ++slot) {
    img->KSV_FUZZ_READER(slot, data, size);
    check_slot(img->OBRAZKY[slot], slot);
  }
  return 0;
}
