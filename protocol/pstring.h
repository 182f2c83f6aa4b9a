// PString<N>: the length-prefixed string of the record files and the packet — one length byte
// followed by N character bytes, N + 1 bytes in all. Bytes past the length are kept as they lie,
// so a record read and written back is byte-for-byte the same.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ksv {

template <int N>
struct PString {
  static_assert(N >= 1 && N <= 255);
  uint8_t len = 0;
  char chars[N] = {};

  static constexpr int kCapacity = N;

  PString() = default;
  PString(std::string_view s) { assign(s); }  // NOLINT: implicit on purpose, like the language's strings

  // Stores at most N characters; a longer text is cut, as an assignment to String[N] does.
  void assign(std::string_view s) {
    size_t n = s.size() < size_t(N) ? s.size() : size_t(N);
    len = uint8_t(n);
    if (n) std::memcpy(chars, s.data(), n);
  }
  // The stored length is untrusted on disk: never read past the N characters.
  size_t size() const { return len <= N ? len : N; }
  bool empty() const { return size() == 0; }
  std::string_view view() const { return std::string_view(chars, size()); }
  std::string str() const { return std::string(view()); }
  bool operator==(std::string_view s) const { return view() == s; }
  // Only the meaningful characters take part; the garbage past the length does not.
  bool same_text(const PString& o) const { return view() == o.view(); }
};

}  // namespace ksv
