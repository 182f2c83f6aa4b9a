#include "client/screens/devices/plan_value.h"

#include <cstdlib>
#include <limits>

namespace ksv::client::devices {

namespace {

bool all_digits(const std::string& s) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

Series decode_series(int32_t value) {
  const std::string digits = std::to_string(-int64_t(value));
  Series s;
  std::string rest = digits;
  if (digits.size() >= 5) {
    s.X = std::atoll(digits.substr(0, digits.size() - 4).c_str());
    rest = digits.substr(digits.size() - 4);
  }
  if (rest.size() >= 3) {
    s.Y = std::atoll(rest.substr(0, rest.size() - 2).c_str());
    s.Z = std::atoll(rest.substr(rest.size() - 2).c_str());
  } else if (rest.size() == 2) {
    s.Z = std::atoll(rest.c_str());
  }
  return s;
}

std::optional<int32_t> encode_series(int64_t x, int64_t y, int64_t z) {
  if (x < 1 || y < 1 || y > 99 || z < 0 || z > 99) return std::nullopt;
  const int64_t v = x * 10000 + y * 100 + z;
  if (v > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return int32_t(-v);
}

std::string plan_cell_text(int32_t value) {
  if (value == 0) return "-";
  if (value > 0) return std::to_string(value);
  const Series s = decode_series(value);
  return std::to_string(s.X) + "/" + std::to_string(s.Y) + "/" + std::to_string(s.Z);
}

std::optional<int32_t> parse_plan_cell(const std::string& text) {
  if (text.empty() || text == "-") return 0;
  const size_t a = text.find('/');
  if (a == std::string::npos) {
    if (!all_digits(text)) return std::nullopt;
    return int32_t(std::atol(text.c_str()));
  }
  const size_t b = text.find('/', a + 1);
  if (b == std::string::npos) return std::nullopt;
  const std::string x = text.substr(0, a), y = text.substr(a + 1, b - a - 1), z = text.substr(b + 1);
  if (!all_digits(x) || !all_digits(y) || !all_digits(z)) return std::nullopt;
  return encode_series(std::atoll(x.c_str()), std::atoll(y.c_str()), std::atoll(z.c_str()));
}

std::string plan_problem(const TPlanKamer& plan) {
  if (plan.SVATEK && plan.SVATEKINTERVAL == 0) return "planpomer";
  if (plan.NAHODNE)
    for (const auto& day : plan.TYDEN)
      for (int32_t v : day)
        if (v < 0 && decode_series(v).X <= 1) return "plannahoda";
  return "";
}

}  // namespace ksv::client::devices
