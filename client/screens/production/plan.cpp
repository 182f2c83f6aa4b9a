// The production plan's report.
#include "client/screens/production/plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "client/dates.h"

namespace ksv::client::production {

TKriteria plan_criteria(const TKriteria& search) {
  TKriteria k = search;
  k.mode = 6;
  k.programs = 1;
  k.without_sample = 1;
  k.production = 1;
  k.from = {};
  k.to = {};
  return k;
}

int64_t plan_minutes(int32_t stitches, int32_t programs, int32_t pieces, int32_t speed) {
  // An order whose programs were all deleted (or never made) has no stitches to share out.
  if (programs <= 0 || speed <= 0) return 0;
  const double minutes = double(stitches) / programs * pieces / 6.0 * 1.1 / speed + 1.0;
  return std::llround(minutes);
}

bool dated(const TDatum& d) {
  return d.DEN >= 1 && d.DEN <= 31 && d.MES >= 1 && d.MES <= 12 && d.ROK >= 1;
}

std::string plan_line(const TSeznamDatabanky& r, int32_t speed) {
  char pieces[16];
  std::snprintf(pieces, sizeof pieces, "%9d", int(r.X));
  std::string s = "       " + r.CISLO.str() + " (" + r.POPIS.str() + "), " + pieces + " kusu (" +
                  std::to_string(plan_minutes(r.STEHU, r.PROGRAMU, r.X, speed)) + " min.) - " +
                  r.ZAKAZNIK.str();
  if (r.UZAVRENA) s += "   HOTOVO";
  return s;
}

std::string plan_report(const std::vector<TSeznamDatabanky>& lines,
                        const std::function<int32_t(int32_t material)>& speed,
                        const PlanTexts& texts) {
  std::vector<const TSeznamDatabanky*> order;
  for (const TSeznamDatabanky& r : lines)
    if (!r.CISLO.empty()) order.push_back(&r);
  // A deadline that is no date (empty, or day 40) cannot be placed among the days: those
  // orders come last, so every order is in the plan however its deadline was typed.
  auto key = [](const TSeznamDatabanky* r) {
    const TDatum& d = r->TERMIN;
    return dated(d) ? (uint64_t(d.ROK) << 32) | (uint64_t(d.MES) << 16) | d.DEN : UINT64_MAX;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](const TSeznamDatabanky* a, const TSeznamDatabanky* b) { return key(a) < key(b); });

  std::string out = texts.heading + "\n\n\n";
  uint64_t day = 0;
  bool first = true;
  for (const TSeznamDatabanky* r : order) {
    const uint64_t k = key(r);
    if (first || k != day) {
      out += k == UINT64_MAX ? texts.undated : format_date(r->TERMIN) + ":";
      out += "\n";
      day = k;
      first = false;
    }
    out += plan_line(*r, speed(r->MATERIAL));
    out += "\n";
  }
  return out;
}

}  // namespace ksv::client::production
