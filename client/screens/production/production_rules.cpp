// Production criteria, list lines and the piece counts of the card.
#include "client/screens/production/production_rules.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "client/workspace.h"

namespace ksv::client::production {

namespace {

constexpr int32_t kNobody = -1;

std::string cut(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

std::string name_or_dash(const NameCache& names, int32_t id) {
  return id == kNobody ? std::string("-") : names.name_or_unknown(id);
}

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

bool in_production(const TSeznamDatabanky& r) {
  return !r.KOD.empty() && r.VYROBNI && !r.UZAVRENO && !r.UZAVRENA;
}

ProductionLine production_line(const TSeznamDatabanky& r, const Workspace& ws) {
  const std::string fields[] = {
      cut(r.ZAKAZNIK.view(), 16),
      cut(r.POPISMAT.view(), 32),
      cut(name_or_dash(ws.materials, r.MATERIAL), 32),
      cut(name_or_dash(ws.placements, r.UMISTENI), 10),
      cut(name_or_dash(ws.users, r.MASIT), 10),
      r.CISLO.str(),
  };
  ProductionLine l;
  l.name = r.KOD.str();
  for (std::string f : fields) {
    // A code 0 inside a text would end its field early and shift every field after it.
    std::replace(f.begin(), f.end(), '\0', ' ');
    l.spec += f;
    l.spec += '\0';
  }
  return l;
}

std::string line_field(const std::string& spec, int n) {
  size_t from = 0;
  for (int i = 0; i < n; ++i) {
    const size_t end = spec.find('\0', from);
    if (end == std::string::npos) return "";
    from = end + 1;
  }
  const size_t end = spec.find('\0', from);
  if (end == std::string::npos) return "";
  return spec.substr(from, end - from);
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
