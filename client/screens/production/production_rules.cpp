// Production criteria and the piece counts of the card.
#include "client/screens/production/production_rules.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ksv::client::production {

namespace {

constexpr int32_t kNobody = -1;

}  // namespace

TKriteria production_criteria(const TDatum& today, bool only_today, bool everyone, int32_t me) {
  TKriteria k;  // every id -1, every text empty, every date zero
  k.mode = 7;
  // Released programs are what production is about; without the switch the server leaves them
  // out. Programs without a sample are the usual case, so they are asked for too.
  k.production = 1;
  k.without_sample = 1;
  // "Today" is the work due: the orders to be embroidered by today, overdue ones included. The
  // date embroidered stays empty — asking for it would list only what is done already.
  if (only_today) k.embroider_by = today;
  k.to_embroider = everyone ? kNobody : me;
  return k;
}

void record_embroidered(TProgramZak& p, int32_t pieces, int32_t me, const TDatum& today) {
  const int64_t sum = int64_t(p.KUSUSITI) + pieces;
  p.KUSUSITI = int32_t(std::clamp<int64_t>(sum, 0, INT32_MAX));
  p.VYSIL = me;
  p.VYSITOKDY = today;
}

void record_handled(TProgramZak& p, int32_t pieces, int32_t me, const TDatum& today) {
  p.KUSUMAN = std::max<int32_t>(pieces, 0);
  p.MANIPULACE = me;
  p.MANIPUL = today;
}

std::string size_text(const TProgramZak& p) {
  auto mm = [](int32_t tenths) { return std::to_string(std::lround(tenths / 10.0)); };
  return mm(p.X) + " x " + mm(p.Y) + " mm (" + std::to_string(p.STEHU) + "st.)";
}

bool record_changed(const TProgramZak& before, const TProgramZak& now) {
  return std::memcmp(&before, &now, sizeof before) != 0;
}

}  // namespace ksv::client::production
