// Fuzzes the packet readers: arbitrary 1024-byte packets through every slot accessor at every
// offset the catalogue uses and at hostile ones. ASan catches any access outside the packet.
#include <cstdint>
#include <cstring>
#include <string>

#include "protocol/packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ksv::Packet p;
  std::memcpy(p.bytes, data, size < size_t(ksv::kPacketSize) ? size : size_t(ksv::kPacketSize));
  uint8_t code;
  uint16_t block;
  p.ZJISTIPRIKAZ(code, block);
  std::string s;
  // Offsets taken from the input itself, plus the fixed ones.
  int offsets[] = {4, 8, 300, 600, 768, 900, 908, 912, 920, 928, 1019, 1020, 1023, -1,
                   int(size ? data[0] * 4 + (size > 1 ? data[1] : 0) : 0)};
  for (int off : offsets) {
    p.ZISKEJRETEZEC(off, true, s);
    if (s.size() > 255) __builtin_trap();
    p.ZISKEJRETEZEC(off, false, s);
    if (s.size() > 255) __builtin_trap();
    (void)p.ZISKEJCISLO(off);
    (void)p.get_int64(off);
  }
  ksv::Packet q = p;
  q.DESIFRUJHESLO();
  q.SIFRUJHESLO();
  if (std::memcmp(p.bytes, q.bytes, ksv::kPacketSize) != 0) __builtin_trap();
  if (!s.empty()) q.ULOZRETEZEC(offsets[14], true, s);
  return 0;
}
