#include "client/screens/pricing/calculation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace ksv::client::pricing {

int stitch_class(int32_t stitches) {
  for (int c = 0; c < kClasses; ++c)
    if (stitches < kClassBound[c]) return c;
  return kClasses - 1;
}

std::optional<int> tier_of(int32_t pieces) {
  if (pieces < 0) return std::nullopt;
  for (int t = 0; t < kTiers; ++t)
    if (pieces < kTierBound[t]) return t;
  return std::nullopt;
}

std::string tier_range(int tier) {
  const int32_t from = tier == 0 ? 0 : kTierBound[tier - 1];
  return std::to_string(from) + ".." + std::to_string(kTierBound[tier] - 1);
}

std::array<double, kTiers> prices(const Job& job, const PriceSettings& s) {
  std::array<double, kTiers> out{};
  const int c = stitch_class(job.stitches);
  const double thousands = (double(job.stitches) + s.extra_stitches) / 1000.0;
  for (int t = 0; t < kTiers; ++t) {
    double p = thousands * s.table[t][c] / 10.0 + s.extra_price;
    for (int e = 0; e < kExtras; ++e) {
      if (!job.extras[e]) continue;
      double add = s.extra[e] / 10.0;
      if (e == kSmallAppliques) add *= job.small_appliques;
      if (e == kLargeAppliques) add *= job.large_appliques;
      p += add;
    }
    if (job.minimum) {
      const int32_t m = job.special_minimum ? s.special_minimum[t] : s.minimum[t];
      // Tenths are compared whole; the small allowance keeps 15.00 computed as 14.999… at 15.
      if (std::floor(p * 10.0 + 1e-7) < m) p = m / 10.0;
    }
    out[t] = p;
  }
  return out;
}

std::string money(double price) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", price);
  std::string s = buf;
  if (auto dot = s.find('.'); dot != std::string::npos) s[dot] = ',';
  return s;
}

std::optional<OrderNotes> added_to_order(const Job& job, const PriceSettings& s,
                                         const std::string& size, const std::string& calculation) {
  auto tier = tier_of(job.pieces);
  if (!tier) return std::nullopt;
  const auto p = prices(job, s);
  return OrderNotes{size + ";" + job.description,
                    calculation + ";" + std::to_string(job.pieces) + "=" + money(p[*tier])};
}

namespace {

const char* yes_no(bool b) { return b ? "1" : "0"; }

std::optional<int32_t> whole(const std::string& v) {
  int32_t n = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (v.empty() || ec != std::errc() || p != v.data() + v.size() || n < 0) return std::nullopt;
  return n;
}

}  // namespace

std::string saved_text(const Job& job) {
  std::ostringstream o;
  o << "stehu=" << job.stitches << "\n"
    << "kusu=" << job.pieces << "\n"
    << "popis=" << job.description << "\n";
  for (int e = 0; e < kExtras; ++e) o << "navic" << e << "=" << yes_no(job.extras[e]) << "\n";
  o << "malych=" << job.small_appliques << "\n"
    << "velkych=" << job.large_appliques << "\n"
    << "minimum=" << yes_no(job.minimum) << "\n"
    << "specmin=" << yes_no(job.special_minimum) << "\n";
  return o.str();
}

std::optional<Job> job_from_text(const std::string& text) {
  Job job;
  std::istringstream in(text);
  std::string line;
  bool any = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "popis") {
      job.description = value.substr(0, kDescriptionChars);
      any = true;
      continue;
    }
    auto n = whole(value);
    int32_t* number = key == "stehu"     ? &job.stitches
                      : key == "kusu"    ? &job.pieces
                      : key == "malych"  ? &job.small_appliques
                      : key == "velkych" ? &job.large_appliques
                                         : nullptr;
    bool* flag = key == "minimum" ? &job.minimum : key == "specmin" ? &job.special_minimum : nullptr;
    if (key.size() == 6 && key.compare(0, 5, "navic") == 0 && key[5] >= '0' &&
        key[5] < '0' + kExtras)
      flag = &job.extras[size_t(key[5] - '0')];
    if (!number && !flag) continue;
    if (!n || (flag && *n > 1)) return std::nullopt;
    if (number) *number = *n;
    if (flag) *flag = *n == 1;
    any = true;
  }
  if (!any) return std::nullopt;
  return job;
}

std::string report_text(const Job& job, const PriceSettings& s) {
  std::ostringstream o;
  o << "*** " << job.description << " ***\n"
    << job.pieces << " kusu\n"
    << job.stitches << " stehu\n"
    << "---\n";
  for (int e = 0; e < kExtras; ++e) {
    if (!job.extras[e]) continue;
    if (e == kSmallAppliques)
      o << "Malych nasivek/aplikaci: " << job.small_appliques << "\n";
    else if (e == kLargeAppliques)
      o << "Velkych nasivek/aplikaci: " << job.large_appliques << "\n";
    else
      o << kExtraName[e] << "\n";
  }
  if (job.minimum && job.special_minimum) o << "Vyjimecne ceny: ANO\n";
  o << "---\n";
  const auto p = prices(job, s);
  for (int t = 0; t < kTiers; ++t) o << tier_range(t) << " kusu: " << money(p[t]) << ",- Kc\n";
  o << "---\n";
  return o.str();
}

}  // namespace ksv::client::pricing
