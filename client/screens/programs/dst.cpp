// Reading the stitch file: the header figures and the stitch records.
#include "client/screens/programs/dst.h"

#include <array>

namespace ksv::client::programs {

namespace {

// The fields after the label, in the order the header writes them.
constexpr std::array<std::string_view, 6> kFieldNames = {"ST:", "CO:", "+X:", "-X:", "+Y:", "-Y:"};

constexpr size_t kRecordSize = 3;

// The header's text fields, each without its CR; a line feed some writers add is dropped too.
std::vector<std::string_view> header_fields(std::string_view header, size_t wanted) {
  std::vector<std::string_view> fields;
  while (fields.size() < wanted) {
    const size_t cr = header.find('\r');
    if (cr == std::string_view::npos) break;
    std::string_view f = header.substr(0, cr);
    if (!f.empty() && f.front() == '\n') f.remove_prefix(1);
    fields.push_back(f);
    header.remove_prefix(cr + 1);
  }
  return fields;
}

bool is_end(const uint8_t* r) { return r[0] == 0 && r[1] == 0 && r[2] == 0xF3; }

StitchKind kind_of(uint8_t flags) {
  if ((flags & 0xC0) == 0xC0) return StitchKind::kColourChange;
  if (flags & 0x80) return StitchKind::kJump;
  return StitchKind::kStitch;  // bit 6 alone (sequins) still moves the needle like a stitch
}

}  // namespace

std::optional<int32_t> dst_number(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  // Nine digits keep the sum of two extents inside a LongInt.
  if (text.empty() || text.size() > 9) return std::nullopt;
  int32_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

std::optional<DstFigures> read_dst_header(std::string_view file) {
  if (file.size() < kDstHeaderSize) return std::nullopt;
  std::vector<std::string_view> fields =
      header_fields(file.substr(0, kDstHeaderSize), 1 + kFieldNames.size());
  if (fields.size() != 1 + kFieldNames.size()) return std::nullopt;
  std::array<int32_t, kFieldNames.size()> v{};
  for (size_t i = 0; i < kFieldNames.size(); ++i) {
    std::string_view f = fields[i + 1];
    if (f.substr(0, 3) != kFieldNames[i]) return std::nullopt;
    std::optional<int32_t> n = dst_number(f.substr(3));
    if (!n) return std::nullopt;
    v[i] = *n;
  }
  DstFigures d;
  d.stitches = v[0];
  d.colours = v[1] + 1;
  d.width = v[2] + v[3];
  d.height = v[4] + v[5];
  return d;
}

void dst_move(const uint8_t r[3], int32_t& dx, int32_t& dy) {
  auto bit = [](uint8_t b, int n) { return (b >> n) & 1; };
  dx = bit(r[0], 0) - bit(r[0], 1) + 9 * (bit(r[0], 2) - bit(r[0], 3)) +
       3 * (bit(r[1], 0) - bit(r[1], 1)) + 27 * (bit(r[1], 2) - bit(r[1], 3)) +
       81 * (bit(r[2], 2) - bit(r[2], 3));
  dy = bit(r[0], 7) - bit(r[0], 6) + 9 * (bit(r[0], 5) - bit(r[0], 4)) +
       3 * (bit(r[1], 7) - bit(r[1], 6)) + 27 * (bit(r[1], 5) - bit(r[1], 4)) +
       81 * (bit(r[2], 5) - bit(r[2], 4));
}

std::vector<Stitch> decode_dst_stitches(std::string_view file) {
  std::vector<Stitch> out;
  if (file.size() <= kDstHeaderSize) return out;
  const auto* p = reinterpret_cast<const uint8_t*>(file.data());
  int32_t x = 0, y = 0;
  for (size_t at = kDstHeaderSize; at + kRecordSize <= file.size(); at += kRecordSize) {
    const uint8_t* r = p + at;
    if (is_end(r)) break;
    int32_t dx = 0, dy = 0;
    dst_move(r, dx, dy);
    x += dx;
    y += dy;
    out.push_back({x, y, kind_of(r[2])});
  }
  return out;
}

}  // namespace ksv::client::programs
