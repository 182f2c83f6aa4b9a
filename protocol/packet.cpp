// Packet header, slots and password scrambling.
#include "protocol/packet.h"

namespace ksv {

namespace {
bool fits(int p, size_t n) { return p >= 0 && size_t(p) + n <= size_t(kPacketSize); }
}  // namespace

void Packet::NASTAVPRIKAZ(uint8_t code, uint16_t block, bool flag) {
  bytes[0] = code;
  bytes[1] = uint8_t(block >> 8);
  bytes[2] = uint8_t(block & 0xFF);
  bytes[3] = flag ? 0 : 1;
}

bool Packet::ZJISTIPRIKAZ(uint8_t& code, uint16_t& block) const {
  code = bytes[0];
  block = this->block();
  return bytes[3] == 0;
}

bool Packet::ULOZCISLO(int p, int32_t value) { return put_raw(p, &value, 4); }

bool Packet::get_number(int p, int32_t& out) const { return get_raw(p, &out, 4); }

int32_t Packet::ZISKEJCISLO(int p) const {
  int32_t v = 0;
  get_raw(p, &v, 4);
  return v;
}

bool Packet::put_raw(int p, const void* src, size_t n) {
  if (!fits(p, n)) return false;
  std::memcpy(bytes + p, src, n);
  return true;
}

bool Packet::get_raw(int p, void* dst, size_t n) const {
  if (!fits(p, n)) {
    std::memset(dst, 0, n);
    return false;
  }
  std::memcpy(dst, bytes + p, n);
  return true;
}

bool Packet::ULOZRETEZEC(int p, bool counted, std::string_view s) {
  if (s.size() > 255) return false;
  uint8_t n = uint8_t(s.size());
  if (counted) {
    if (!fits(p, 4 + 1 + n)) return false;
    int32_t len = n;
    std::memcpy(bytes + p, &len, 4);
    p += 4;
  } else if (!fits(p, 1 + n)) {
    return false;
  }
  bytes[p] = n;
  if (n) std::memcpy(bytes + p + 1, s.data(), n);
  return true;
}

bool Packet::ZISKEJRETEZEC(int p, bool counted, std::string& out) const {
  out.clear();
  if (counted) {
    int32_t n = 0;
    if (!get_number(p, n)) return false;
    if (n < 0 || n > 255 || !fits(p + 4, size_t(n) + 1)) return false;
    // The string's own length byte follows the count; the count is what a reader trusts.
    out.assign(reinterpret_cast<const char*>(bytes + p + 5), size_t(n));
    return true;
  }
  if (p < 0 || p > kPlainStringMaxOffset) return false;
  uint8_t n = bytes[p];
  out.assign(reinterpret_cast<const char*>(bytes + p + 1), n);
  return true;
}

std::string Packet::ZISKEJRETEZEC(int p, bool counted) const {
  std::string s;
  ZISKEJRETEZEC(p, counted, s);
  return s;
}

void Packet::SIFRUJHESLO() {
  for (int i = 0; i < 256; ++i) {
    uint8_t b = bytes[slot::kPassword + i];
    bytes[slot::kPassword + i] = uint8_t((b ^ 127) + 1 - i);
  }
}

void Packet::DESIFRUJHESLO() {
  for (int i = 0; i < 256; ++i) {
    uint8_t b = bytes[slot::kPassword + i];
    bytes[slot::kPassword + i] = uint8_t(uint8_t(b + i - 1) ^ 127);
  }
}

}  // namespace ksv
