// The orders screens' rules that hold no screen state (see order_rules.h).
#include "client/screens/orders/order_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "client/workspace.h"
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

// ---- list lines --------------------------------------------------------------------------------

namespace {

std::string field(const std::string& s) { return s + '\0'; }

std::string first(const std::string& s, size_t n) { return s.substr(0, n); }

}  // namespace

std::string right_aligned(int32_t v, int width) {
  std::string s = std::to_string(v);
  if (int(s.size()) < width) s.insert(0, size_t(width) - s.size(), ' ');
  return s;
}

ListLine order_line(const TSeznamDatabanky& r) {
  ListLine l;
  l.name = r.CISLO.str();
  l.spec = field(list_date(r.DATUM)) + field(first(r.ZAKAZNIK.str(), 10)) +
           field(right_aligned(r.PROGRAMU, kCountWidth)) + field(list_date(r.VYSIT)) +
           field(list_date(r.TERMIN)) + field(r.UZAVRENA ? "1" : "0");
  return l;
}

ListLine program_line(const TSeznamDatabanky& r, const NameCache& materials,
                      const NameCache& placements) {
  // Sizes are kept in tenths of a millimetre; the list shows whole millimetres.
  auto mm = [](int32_t tenths) { return int32_t(std::lround(tenths / 10.0)); };
  const int state = (r.UZAVRENO ? 1 : 0) + 2 * (r.VYROBNI ? 1 : 0) + 4 * (r.VZOREK ? 1 : 0) +
                    8 * (r.SCHVALENO ? 1 : 0);
  auto name = [](const NameCache& c, int32_t id) {
    return id == -1 ? std::string() : c.name_or_unknown(id);
  };
  ListLine l;
  l.name = r.KOD.str();
  l.spec = field(first(name(materials, r.MATERIAL), 13)) + field(name(placements, r.UMISTENI)) +
           field(first(r.POPISMAT.str(), 10)) + field(right_aligned(state, 2)) +
           field(std::to_string(mm(r.X)) + "x" + std::to_string(mm(r.Y))) +
           field(right_aligned(r.STEHU, kStitchWidth));
  return l;
}

bool skipped(const TSeznamDatabanky& r, int32_t mode) {
  return mode == 7 ? r.KOD.empty() : r.CISLO.empty();
}

// ---- pages of a list file ----------------------------------------------------------------------

uint16_t page_count(int32_t records) {
  if (records <= 0) return 1;
  return uint16_t((records + kPageSize - 1) / kPageSize);
}

ListPage read_list_page(const std::string& path, uint16_t page) {
  ListPage out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long size = std::ftell(f);
    out.records = size > 0 ? int32_t(size / long(sizeof(TSeznamDatabanky))) : 0;
  }
  const long first_record = long(page) * kPageSize;
  if (first_record < out.records &&
      std::fseek(f, first_record * long(sizeof(TSeznamDatabanky)), SEEK_SET) == 0) {
    const size_t want = size_t(std::min<long>(kPageSize, out.records - first_record));
    out.lines.resize(want);
    out.lines.resize(std::fread(out.lines.data(), sizeof(TSeznamDatabanky), want, f));
  }
  std::fclose(f);
  return out;
}

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
