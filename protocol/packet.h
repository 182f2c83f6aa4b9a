// The 1024-byte packet and its typed slots.
//
// Layout (all payload numbers little-endian; the header's block number high byte first):
//   0       command code (0 = nothing present)
//   1-2     block number, byte 1 = high byte
//   3       flag, stored inverted: 0 = true, 1 = false
//   4-1023  payload slots: numbers (LongInt), counted strings (LongInt n, then length byte and
//           n characters), plain strings (length byte and characters; a reader copies 256 bytes)
//
// The slot accessors are bounds-checked: a slot that would reach outside the packet, or a
// counted string whose length is negative or above 255, is refused with false. The command
// handlers turn such a refusal into the general failure reply.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ksv {

constexpr int kPacketSize = 1024;
constexpr int kTransferBlock = 1016;  // file data bytes per transfer packet, from offset 8
// The stdio buffer of a file being transferred: 64 blocks go to or from the disk at a time.
constexpr size_t kTransferFileBuffer = 64 * 1024;
constexpr int kPlainStringMaxOffset = kPacketSize - 256;  // 768: a plain read copies 256 bytes

// Fixed offsets used by the command catalogue.
namespace slot {
constexpr int kText = 4;          // counted string: main text argument; transfer: data length
constexpr int kData = 8;          // transfer data; server messages: sender's counted string
constexpr int kText2 = 300;       // counted string: password, message text
constexpr int kPassword = 304;    // the 256 scrambled password bytes
constexpr int kText3 = 600;       // counted string: third text argument
constexpr int kSignature = 768;   // 256-byte client signature
constexpr int kInt64 = 900;
constexpr int kNumber = 908;      // LongInt: the numeric argument or result
constexpr int kRights = 912;      // Int64 rights set
constexpr int kDate = 920;        // three Words (a time is sent as second, minute, hour)
constexpr int kDateTime = 928;    // six Words
}  // namespace slot

struct Packet {
  uint8_t bytes[kPacketSize] = {};

  void clear() { std::memset(bytes, 0, sizeof bytes); }
  uint8_t code() const { return bytes[0]; }

  // Header.
  void NASTAVPRIKAZ(uint8_t code, uint16_t block, bool flag);
  bool ZJISTIPRIKAZ(uint8_t& code, uint16_t& block) const;
  uint16_t block() const { return uint16_t(bytes[1] << 8 | bytes[2]); }
  bool flag() const { return bytes[3] == 0; }

  // Number slot: 4 bytes at p. Out of bounds → false and nothing written / value 0.
  bool ULOZCISLO(int p, int32_t value);
  int32_t ZISKEJCISLO(int p) const;
  bool get_number(int p, int32_t& out) const;

  // String slots. A refused write leaves the packet untouched; a refused read gives false.
  bool ULOZRETEZEC(int p, bool counted, std::string_view s);
  bool ZISKEJRETEZEC(int p, bool counted, std::string& out) const;
  std::string ZISKEJRETEZEC(int p, bool counted) const;  // "" when refused

  // Raw records copied byte for byte (dates, Int64 sets, whole records).
  bool put_raw(int p, const void* src, size_t n);
  bool get_raw(int p, void* dst, size_t n) const;
  bool put_int64(int p, int64_t v) { return put_raw(p, &v, 8); }
  int64_t get_int64(int p) const {
    int64_t v = 0;
    get_raw(p, &v, 8);
    return v;
  }
  bool put_word(int p, uint16_t v) { return put_raw(p, &v, 2); }
  uint16_t get_word(int p) const {
    uint16_t v = 0;
    get_raw(p, &v, 2);
    return v;
  }

  // Password area (bytes 304..559), scrambled by the sender and restored by the receiver.
  void SIFRUJHESLO();
  void DESIFRUJHESLO();
};

static_assert(sizeof(Packet) == kPacketSize);

}  // namespace ksv
