// The orders screens' rules that hold no screen state (see order_rules.h).
#include "client/screens/orders/order_rules.h"

#include <algorithm>

#include "protocol/client.h"

namespace ksv::client::orders {

// ---- criteria ----------------------------------------------------------------------------------

TKriteria browser_criteria(const TDatum& today) {
  TKriteria k;  // mode 6, ids -1, texts empty, switches 0
  k.from = today;
  k.to = today;
  return k;
}

TKriteria search_criteria() {
  TKriteria k;
  k.programs = 1;
  k.without_sample = 1;
  k.production = 1;
  return k;
}

TKriteria program_list_criteria() {
  TKriteria k;
  k.mode = 7;
  k.without_sample = 1;
  k.production = 1;
  return k;
}

// ---- typed texts -------------------------------------------------------------------------------

std::string customer_text(const std::string& typed) {
  const bool digits = !typed.empty() && typed.find_first_not_of("0123456789") == std::string::npos;
  if (!digits) return typed;
  const size_t nz = typed.find_first_not_of('0');
  return nz == std::string::npos ? std::string("0") : typed.substr(nz);
}

// ---- new order and copy -------------------------------------------------------------------------

std::string new_order_number(const std::string& typed) {
  // A number is written in decimal, whatever its length: leading zeros go, a lone 0 stays.
  if (!typed.empty() && typed.find_first_not_of("0123456789") == std::string::npos)
    return customer_text(typed);
  std::string s = typed;
  ODSTRANDIAKRITIKU(s);
  return s;
}

int max_code_length(int k) {
  const int at = kCopyCodes + 17 * k;
  return std::clamp(kPacketSize - at - 1, 0, 16);
}

std::optional<size_t> code_that_does_not_fit(const std::vector<std::string>& codes) {
  for (size_t i = 0; i < codes.size(); ++i)
    if (int(codes[i].size()) > max_code_length(int(i) + 1)) return i;
  return std::nullopt;
}

bool put_copy_request(Packet& p, const std::string& source, const std::string& new_number,
                      const std::vector<std::string>& codes) {
  if (codes.size() > size_t(kMaxCopiedPrograms) || code_that_does_not_fit(codes)) return false;
  p.ULOZRETEZEC(slot::kText, true, source);
  p.ULOZRETEZEC(kCopyNumber, true, new_number);
  p.ULOZCISLO(kCopyCount, int32_t(codes.size()));
  for (size_t i = 0; i < codes.size(); ++i) {
    const int at = kCopyCodes + 17 * int(i + 1);
    const uint8_t len = uint8_t(codes[i].size());
    p.put_raw(at, &len, 1);
    if (len) p.put_raw(at + 1, codes[i].data(), len);
  }
  return true;
}

}  // namespace ksv::client::orders
