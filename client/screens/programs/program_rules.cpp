// The program editor's rules over the program record.
#include "client/screens/programs/program_rules.h"

#include <algorithm>
#include <cstdio>

namespace ksv::client::programs {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool same_code(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

}  // namespace

int used_thread_slots(const TProgramZak& p) { return std::clamp(p.BAREV, 0, kThreadSlots); }

const TBarva* find_thread(const std::vector<TBarva>& threads, std::string_view code) {
  if (code.empty()) return nullptr;
  for (const TBarva& t : threads)
    if (same_code(t.KOD.view(), code)) return &t;
  return nullptr;
}

bool add_history(TProgramZak& p, int32_t change, int32_t user) {
  for (THistorie& h : p.HISTORIE) {
    if (h.ZMENA >= 0 && h.ZMENA <= 255) continue;
    h.ZMENA = change;
    h.UZIVATEL = user;
    return true;
  }
  return false;
}

void toggle_sample(TProgramZak& p) { p.VZOREK = p.VZOREK ? 0 : 1; }

void toggle_customer_approval(TProgramZak& p) {
  if (p.VZOREK) p.SCHVALILZAK = p.SCHVALILZAK ? 0 : 1;
}

void cycle_kind(TProgramZak& p) { p.DATABANKA = uint8_t(p.DATABANKA >= 2 ? 0 : p.DATABANKA + 1); }

const char* kind_text_key(uint8_t databanka) {
  switch (databanka) {
    case 0: return "novy";
    case 1: return "uprava";
    default: return "datab.";
  }
}

bool approve(TProgramZak& p, int32_t user) {
  if ((p.VZOREK && !p.SCHVALILZAK) || p.STEHU == 0 || p.SCHVALENO) return false;
  p.SCHVALENO = 1;
  add_history(p, kHistoryApproval, user);
  return true;
}

void set_material(TProgramZak& p, int32_t material, int32_t user) {
  if (material == p.MATERIAL) return;
  p.MATERIAL = material;
  p.UMISTENI = -1;
  if (user != p.AUTOR) add_history(p, kHistoryMaterial, user);
}

void set_placement(TProgramZak& p, int32_t placement, int32_t user) {
  if (placement == p.UMISTENI) return;
  p.UMISTENI = placement;
  if (user != p.AUTOR) add_history(p, kHistoryPlacement, user);
}

CheckResult production_check(const TProgramZak& p, const std::vector<TBarva>& threads) {
  if (p.VZOREK && !p.SCHVALILZAK) return {kErrSampleNotApproved, {}};
  if (p.STEHU == 0) return {kErrNoStitches, {}};
  if (p.UMISTENI == -1) return {kErrNoPlacement, {}};
  if (p.MATERIAL == -1) return {kErrNoMaterial, {}};
  if (p.KUSU == 0) return {kErrNoPieces, {}};
  if (p.BAREV == 0) return {kErrNoColours, {}};
  const int n = used_thread_slots(p);
  for (int i = 0; i < n; ++i) {
    const std::string_view code = p.BARVY[i].view();
    if (code.empty()) break;
    if (!find_thread(threads, code)) return {kErrUnknownThread, std::string(code)};
  }
  return {};
}

CheckResult release_to_production(TProgramZak& p, const std::vector<TBarva>& threads,
                                  int32_t user) {
  CheckResult r = production_check(p, threads);
  if (r.code == 0 && !p.VYROBNI) {
    p.VYROBNI = 1;
    p.SCHVALIL = user;
  }
  return r;
}

std::string date_text(const TDatum& d) {
  if (d.DEN == 0) return {};
  char b[24];
  std::snprintf(b, sizeof b, "%02u.%02u.%04u", unsigned(d.DEN), unsigned(d.MES), unsigned(d.ROK));
  return b;
}

TDatum parse_date_text(const std::string& text) {
  TDatum d{};
  const int lo[3] = {1, 1, 1900}, hi[3] = {31, 12, 2098};
  uint16_t* part[3] = {&d.DEN, &d.MES, &d.ROK};
  size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t dot = text.find('.', at);
    const std::string piece = text.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
    if (piece.empty() || piece.size() > 4) break;
    int v = 0;
    bool digits = true;
    for (char c : piece) {
      digits = digits && c >= '0' && c <= '9';
      v = v * 10 + (c - '0');
    }
    if (!digits || v < lo[i] || v > hi[i]) break;
    *part[i] = uint16_t(v);
    if (dot == std::string::npos) break;
    at = dot + 1;
  }
  return d;
}

void apply_figures(TProgramZak& p, const DstFigures& f) {
  p.STEHU = f.stitches;
  p.BAREV = f.colours;
  p.X = f.width;
  p.Y = f.height;
}

}  // namespace ksv::client::programs
