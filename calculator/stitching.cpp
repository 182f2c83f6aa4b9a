// Stitch simulation: every active segment is stitched by its type — outline lines, tatami or
// satin fill rows, satin border columns — into the result picture, and every needle point adds
// the current stitch weight to the total. Lengths are in working pixels (5 per millimetre).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "calculator/engine.h"

namespace ksv::calculator {

// Garment table: stitch lengths in millimetres, density factors as the workshop tuned them.
const std::array<Material, 8> kMaterials = {{
    // name      podst.S podst.L steh.S steh.L saten.S saten.L tatami.S tatami.L
    {"Triko", 1.5, 0.75, 2, 1.25, -0.2, -1.4, -0.1, -1.0},
    {"Kosile", 2, 1.0, 2.5, 1.5, -0.1, -1.2, 0, -0.9},
    {"Flees", 1.5, 0.75, 2, 1.25, -0.6, -1.6, -0.3, -1.4},
    {"Cepice", 1.0, 0.5, 1.5, 0.75, -0.4, -1.5, -0.2, -1.2},
    {"Bunda", 2.5, 1.25, 3, 1.75, -0.1, -1.2, 0, -0.9},
    {"Polo", 1.25, 0.5, 1.25, 0.5, -0.3, -1.5, -0.1, -1.2},
    {"Zastera", 2, 1.0, 2.5, 1.5, -0.3, -1.5, -0.1, -1.1},
    {"Nasivka", 2, 1.0, 2, 1.5, -0.2, -1.3, 0, -1.0},
}};

constexpr int KROKBARVY = 64;       // frame colour step away from the background colour
constexpr int ROZTEC = 2;           // satin border pitch, pixels
constexpr int HLOUBKAZABERU = 2;    // fill row step, pixels
constexpr uint16_t HUSTOTASTEHUMM = 3;  // tatami stitch length, millimetres
constexpr uint16_t kSatinLengthMm = 10;
constexpr uint16_t kBorderStitchMax = 50;

double rnd(double v) { return std::nearbyint(v); }  // the default mode rounds halves to even
int32_t rnd_int(double v) { return static_cast<int32_t>(rnd(v)); }

void Engine::VYPOCTIPARAMETRY() {
  material = kMaterials[MATERIAL % kMaterials.size()];
  const double v = NOVAX > NOVAY ? NOVAY * 4 / 307.0 : NOVAX * 4 / 409.6;
  SILASTEILUNAS = std::max(v, 0.75);
  SILASTEILU = std::max(v / 2, 0.5);
}

void Engine::estimate() {
  VYPOCTIPARAMETRY();
  obr.VYMAZBUFFER(PODKLADOVELOGO2, BARVAPOZADI);
  VYKRESLIVYPOCITEJSTEHY();
}

// ------------------------------------------------------------------------------ stitch line

void Engine::CARA(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t colour,
                  uint16_t max_len) {
  const int32_t maxlen = max_len == 0 ? 65535 : max_len;
  const uint8_t needle = (colour == 1 || colour == 2 || colour == 3) ? 0 : 3;
  int32_t counter = 1;
  int32_t last_needle_x = 65535;
  auto put = [&](int32_t x, int32_t y, uint8_t v) { result_[int64_t{y} * result_stride_ + x] = v; };
  auto needle_at = [&](int32_t x, int32_t y) {
    put(x, y, needle);
    counter = 1;
    POCETSTEHU += HODNOTASTEHU;
  };
  if (x1 == x2 && y1 == y2) return;
  if (x1 == x2) {
    if (x1 < 0 || x1 >= NOVAX) return;
    const int32_t step = y2 > y1 ? 1 : -1;
    for (int32_t y = y1; y != y2; y += step) {
      if (y < 0 || y >= NOVAY) continue;
      if (counter == maxlen || y == y1) {
        needle_at(x1, y);
      } else {
        ++counter;
        put(x1, y, colour);
      }
    }
    return;
  }
  if (y1 == y2) {
    if (y1 < 0 || y1 >= NOVAY) return;
    const int32_t step = x2 > x1 ? 1 : -1;
    for (int32_t x = x1; x != x2; x += step) {
      if (x < 0 || x >= NOVAX) continue;
      if (counter == maxlen || x == x1) {
        needle_at(x, y1);
      } else {
        ++counter;
        put(x, y1, colour);
      }
    }
    return;
  }
  const int32_t dx = x2 - x1, dy = y2 - y1;
  const int32_t n = std::max(std::abs(dx), std::abs(dy));
  const bool shallow = std::abs(dy) < std::abs(dx);
  const int32_t sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
  for (int32_t k = 1; k <= n; ++k) {
    int32_t x, y;
    if (shallow) {
      x = x1 + (k - 1) * sx;
      y = y1 + rnd_int(double(int64_t{k} * dy) / n);
    } else {
      y = y1 + (k - 1) * sy;
      x = x1 + rnd_int(double(int64_t{k} * dx) / n);
    }
    if (x < 0 || y < 0 || x >= NOVAX || y >= NOVAY) return;
    if (counter == maxlen || ((x == x1 || x == x2) && x != last_needle_x)) {
      needle_at(x, y);
      last_needle_x = x;
    } else {
      ++counter;
      put(x, y, colour);
    }
  }
}

// --------------------------------------------------------------------- satin border column

void Engine::VYKRESLISTEIL(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t colour,
                           uint16_t width, bool first) {
  const int32_t S = width;
  const int32_t dx = x2 - x1, dy = y2 - y1;
  int32_t n;
  int dir;
  double E;
  // A zero end coordinate would divide by zero; such a piece counts as balanced (E = 1).
  auto ratio = [](int32_t a, int32_t b) { return b == 0 ? 1.0 : double(a) / double(b); };
  if (std::abs(dx) < std::abs(dy)) {
    n = std::abs(dy);
    dir = dy > 0 ? 2 : 8;
    E = ratio(x1, x2);
  } else {
    n = std::abs(dx);
    dir = dx > 0 ? 6 : 4;
    E = ratio(y1, y2);
  }
  if (first) {
    POSLPOZX = x1;
    POSLPOZY = y1;
  } else {
    if (std::abs(POSLPOZX - x1) > S / 2) POSLPOZX = x1;
    if (std::abs(POSLPOZY - y1) > S / 2) POSLPOZY = y1;
  }
  const double g = E < 1 ? E : 1 / E;
  const int32_t a = rnd_int((1 - g) * S), b = rnd_int(g * S);
  int32_t sigma = 1;
  for (int32_t k = 0; k < n; k += 2) {  // odd k join the kept position to itself: nothing
    int32_t nx, ny, C;
    switch (dir) {
      case 2:
        C = x1 + rnd_int(double(int64_t{k} * dx) / std::abs(dy));
        nx = C + sigma * b;
        ny = E < 1 ? POSLPOZY + ROZTEC + sigma * a : POSLPOZY + ROZTEC - sigma * a;
        break;
      case 8:
        C = x1 + rnd_int(double(int64_t{k} * dx) / std::abs(dy));
        nx = C + sigma * b;
        ny = E < 1 ? POSLPOZY - ROZTEC + sigma * a : POSLPOZY - ROZTEC - sigma * a;
        break;
      case 6:
        C = y1 + rnd_int(double(int64_t{k} * dy) / std::abs(dx));
        nx = E >= 1 ? POSLPOZX + ROZTEC + sigma * a : POSLPOZX + ROZTEC - sigma * a;
        ny = C + sigma * b;
        break;
      default:  // 4
        C = y1 + rnd_int(double(int64_t{k} * dy) / std::abs(dx));
        nx = E >= 1 ? POSLPOZX - ROZTEC - sigma * a : POSLPOZX - ROZTEC + sigma * a;
        ny = C + sigma * b;
        break;
    }
    sigma = -sigma;
    CARA(POSLPOZX, POSLPOZY, nx, ny, colour, kBorderStitchMax);
    POSLPOZX = nx;
    POSLPOZY = ny;
  }
}

// ------------------------------------------------------------------------------ fill rows

// A pixel belongs to the fill while it still has the segment's working index; used-up pixels
// (index 1) never do, whatever the working index.
bool Engine::in_fill(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= NOVAX || y >= NOVAY) return false;
  if (fill_index_ == kVisited) return false;
  return work_pixel(x, y) == fill_index_;
}

// The start corner: up along the row axis whenever possible; otherwise slide forward along the
// stitch axis, and once that fails, backward, until neither works.
//
// Some shapes (bars joined at one end, stitched along the bars) send the search down the same
// long row again and again, each time to use up one more pixel at its end. So the stretches a
// search has slid along are remembered per row: every pixel there still belongs to the fill
// and has nothing above it (pixels only ever leave the fill, and mark_visited shortens a
// stretch when one of its own pixels is used up), and a later search crosses them in one step
// where it would have slid pixel by pixel to the same place.
void Engine::find_start_corner(int32_t& nx, int32_t& ny, bool vertical) {
  // (sx, sy) is one step along the stitch axis, (rx, ry) one row along the row axis.
  const int32_t sx = vertical ? 0 : 1, sy = vertical ? 1 : 0;
  const int32_t rx = vertical ? 1 : 0, ry = vertical ? 0 : 1;
  auto row_of = [&] { return vertical ? nx : ny; };
  auto pos_of = [&] { return vertical ? ny : nx; };
  auto move_to = [&](int32_t s) { (vertical ? ny : nx) = s; };
  bool forward = true;
  bool known_in = in_fill(nx, ny);
  int32_t run_row = -1, run_lo = 1, run_hi = 0;  // the stretch this search has crossed
  auto keep_run = [&] {
    if (run_row >= 0 && run_lo <= run_hi) clear_runs_[size_t(run_row)] = {run_lo, run_hi};
    run_lo = 1;
    run_hi = 0;
  };
  auto note = [&] {  // the current pixel belongs to the fill and has nothing above it
    const int32_t r = row_of(), p = pos_of();
    if (r != run_row) {
      keep_run();
      run_row = r;
    }
    if (run_lo > run_hi) run_lo = run_hi = p;
    run_lo = std::min(run_lo, p);
    run_hi = std::max(run_hi, p);
  };
  for (;;) {
    if (in_fill(nx - rx, ny - ry)) {
      nx -= rx;
      ny -= ry;
      forward = true;
      known_in = true;
      continue;
    }
    if (known_in && use_run_cache) {
      note();
      const auto [lo, hi] = clear_runs_[size_t(row_of())];
      const int32_t p = pos_of();
      if (lo <= p && p <= hi) {
        move_to(forward ? hi : lo);
        note();
      }
    }
    if (forward) {
      if (in_fill(nx + sx, ny + sy)) {
        nx += sx;
        ny += sy;
        known_in = true;
        continue;
      }
      forward = false;
    }
    if (in_fill(nx - sx, ny - sy)) {
      nx -= sx;
      ny -= sy;
      known_in = true;
      continue;
    }
    keep_run();
    return;
  }
}

void Engine::VYSTEHUJSEGMENT(uint16_t x, uint16_t y, uint16_t colour, uint16_t DELKASTEHU,
                             bool SVISLE, bool SATIN) {
  if (x >= NOVAX || y >= NOVAY) return;
  const int32_t sx = SVISLE ? 0 : 1, sy = SVISLE ? 1 : 0;
  const int32_t rx = SVISLE ? 1 : 0, ry = SVISLE ? 0 : 1;
  const auto line_colour = static_cast<uint8_t>(colour);
  const auto max_len = static_cast<uint16_t>(5 * DELKASTEHU);
  int32_t nx = x, ny = y;
  int32_t cx = nx, cy = ny;
  fill_index_ = work_pixel(x, y);
  branch_stack_.clear();
  clear_runs_.assign(size_t(SVISLE ? NOVAX : NOVAY), {1, 0});
  fill_vertical_ = SVISLE;
  fill_active_ = true;
  auto stitch_to_n = [&] {
    CARA(cx, cy, nx, ny, line_colour, max_len);
    cx = nx;
    cy = ny;
  };
  find_start_corner(nx, ny, SVISLE);
  cx = nx;
  cy = ny;
  int32_t travel = 1;  // +1 forward along the stitch axis, -1 backward
  for (;;) {
    if (in_fill(nx - rx, ny - ry)) {
      // An unstitched part lies above this row: stitch to here and continue from its corner.
      stitch_to_n();
      find_start_corner(nx, ny, SVISLE);
      cx = nx;
      cy = ny;
      travel = -travel;
      continue;
    }
    mark_visited(nx, ny);
    const int32_t r = SVISLE ? nx : ny;
    if (r % 2 == 0 && in_fill(nx + rx, ny + ry)) mark_visited(nx + rx, ny + ry);
    const int32_t tx = nx + travel * sx, ty = ny + travel * sy;
    if (in_fill(tx, ty)) {
      const int32_t bx = nx, by = ny;  // the point just left
      nx = tx;
      ny = ty;
      // A branch: the row two steps on ends here but continues below the point just left.
      if (!in_fill(nx + HLOUBKAZABERU * rx, ny + HLOUBKAZABERU * ry) &&
          in_fill(bx + HLOUBKAZABERU * rx, by + HLOUBKAZABERU * ry))
        branch_stack_.emplace_back(static_cast<uint16_t>(bx), static_cast<uint16_t>(by));
      continue;
    }
    // End of a stitch row.
    stitch_to_n();
    if (in_fill(nx + HLOUBKAZABERU * rx, ny + HLOUBKAZABERU * ry)) {
      nx += HLOUBKAZABERU * rx;
      ny += HLOUBKAZABERU * ry;
      travel = -travel;
      if (!SATIN) stitch_to_n();
      continue;
    }
    if (branch_stack_.empty()) break;
    nx = branch_stack_.back().first;
    ny = branch_stack_.back().second;
    branch_stack_.pop_back();
    cx = nx;
    cy = ny;
  }
  stitch_to_n();
  fill_active_ = false;
}

// ------------------------------------------------------------------------ whole simulation

namespace {
bool fills_and_covers_outline(uint8_t type) {
  return type == kTypeTatami || type == kTypeTatamiSteil || type == kTypeSaten ||
         type == kTypeSatenSteil;
}
}  // namespace

void Engine::VYKRESLIVYPOCITEJSTEHY() {
  refresh_picture_pointers();
  if (work_ == nullptr || result_ == nullptr) return;
  if (ZALOHAPODKLADU != kNoSlot) obr.ZMENSIPOMVEL(PODKLADOVELOGO, ZALOHAPODKLADU);
  POCETSTEHU = 0;
  // Log the pixels already used up (a second run on the same picture, or a marker of 1), so
  // the hand-back below sees every index-1 pixel without scanning the picture per segment.
  visited_.clear();
  for (int32_t yy = 0; yy < NOVAY; ++yy) {
    const uint8_t* row = work_ + yy * work_stride_;
    for (int32_t xx = 0; xx < NOVAX; ++xx)
      if (row[xx] == kVisited) visited_.push_back(yy * NOVAX + xx);
  }
  const Material& m = material;

  if (MATERIAL == 7) {  // a patch: its frame is stitched first
    const int32_t s = rnd_int(5 * SILASTEILUNAS), h = s / 2;
    const images::TRGB bg = obr.PALETA[BARVAPOZADI];
    auto step = [](uint8_t c) { return static_cast<uint8_t>(c < 191 ? c + KROKBARVY : c - KROKBARVY); };
    const int32_t saved_norm = obr.NORMALIZACE;
    obr.NORMALIZACE = 0;
    const uint8_t frame = obr.NAJDIBARVU(step(bg.R), step(bg.G), step(bg.B));
    obr.NORMALIZACE = saved_norm;
    HODNOTASTEHU = 2;
    const auto len = static_cast<uint16_t>(rnd_int(5 * m.DELKAPODSTEHOVANISILNA));
    const int32_t pieces[4][4] = {{h, h, NOVAX - h, h},
                                  {h, NOVAY - h - 1, NOVAX - h, NOVAY - h},
                                  {h, h, h, NOVAY - h},
                                  {NOVAX - h, h, NOVAX - h, NOVAY - h}};
    for (const auto& p : pieces) CARA(p[0], p[1], p[2], p[3], frame, len);
    for (int i = 0; i < 4; ++i)
      VYKRESLISTEIL(pieces[i][0], pieces[i][1], pieces[i][2], pieces[i][3], frame,
                    static_cast<uint16_t>(s), i == 0);
  }

  for (int32_t i = 0; i < POCETSEGMENTU; ++i) {
    const TSEGMENT seg = SEGMENT[i];
    if (seg.AKTIVNI == 0) continue;
    if (seg.X < 0 || seg.Y < 0 || seg.X >= NOVAX || seg.Y >= NOVAY) continue;
    const uint8_t index = work_pixel(seg.X, seg.Y);
    const uint8_t type = seg.TYP & 0x7F;
    const bool light = (seg.TYP & kLightBit) != 0;
    switch (type) {
      case kTypeNone: break;
      case kTypeTatami: case kTypeAplikace: HODNOTASTEHU = 5; break;
      case kTypeTatamiSteil: HODNOTASTEHU = 8; break;
      case kTypeAplikaceSteil: HODNOTASTEHU = 7; break;
      case kTypeRovny: HODNOTASTEHU = 1; break;
      case kTypeSaten: case kTypeSatenSteil:
        HODNOTASTEHU = m.DELKAPODSTEHOVANISILNA > 2 ? 4 : 3;
        break;
      case kTypeDvojity: case kTypeSteil: HODNOTASTEHU = 2; break;
      case kTypeTrojity: HODNOTASTEHU = 3; break;
      default: break;
    }
    const bool running = type == kTypeRovny || type == kTypeDvojity || type == kTypeTrojity;
    double mm;
    if (light)
      mm = running ? m.DELKASTEHUSLABA : m.DELKAPODSTEHOVANISLABA;
    else
      mm = running ? m.DELKASTEHUSILNA : m.DELKAPODSTEHOVANISILNA;
    const auto outline_len = static_cast<uint16_t>(rnd_int(5 * mm));

    CARSEGMENTU = 0;
    TYPCARY = true;
    NAJDICARYSEGMENTU(static_cast<uint16_t>(seg.X), static_cast<uint16_t>(seg.Y));
    if (CARSEGMENTU == 0 && (seg.TYP == 2 || seg.TYP == 4 || seg.TYP == 9 || seg.TYP == 10))
      continue;
    TYPCARY = false;
    for (const auto& v : seg.VYREZ)
      if (v.X != 65535) NAJDICARYSEGMENTU(v.X, v.Y);
    for (int32_t p = 0; p < CARSEGMENTU; ++p) {
      const TCARASEGMENTU& c = CARASEG[p];
      CARA(c.X1, c.Y1, c.X2, c.Y2, seg.BARVA, outline_len);
    }

    if (fills_and_covers_outline(type) && index != kVisited) {
      // Every used-up pixel (this outline, earlier fills) takes the segment's index, so the
      // fill covers the outline. The log holds every index-1 pixel of the picture.
      for (int32_t pos : visited_) {
        uint8_t& p = work_[int64_t{pos / NOVAX} * work_stride_ + pos % NOVAX];
        if (p == kVisited) p = index;
      }
      visited_.clear();
    }

    const bool vertical = seg.SMER == 1;
    if (type == kTypeTatami || type == kTypeTatamiSteil) {
      HODNOTASTEHU = rnd(std::fabs(15 * (light ? m.HUSTOTATATAMISLABA : m.HUSTOTATATAMISILNA)));
      VYSTEHUJSEGMENT(static_cast<uint16_t>(seg.X), static_cast<uint16_t>(seg.Y), seg.BARVA,
                      HUSTOTASTEHUMM, vertical, false);
    } else if (type == kTypeSaten || type == kTypeSatenSteil) {
      HODNOTASTEHU = rnd(std::fabs(15 * (light ? m.HUSTOTASATENSLABA : m.HUSTOTASATENSILNA)));
      VYSTEHUJSEGMENT(static_cast<uint16_t>(seg.X), static_cast<uint16_t>(seg.Y), seg.BARVA,
                      kSatinLengthMm, vertical, true);
    }

    if (type == kTypeTatamiSteil || type == kTypeAplikaceSteil || type == kTypeSteil ||
        type == kTypeSatenSteil) {
      HODNOTASTEHU = rnd(std::fabs(15 * (light ? m.HUSTOTASATENSLABA : m.HUSTOTASATENSILNA)));
      const double width = type == kTypeAplikaceSteil ? SILASTEILUNAS : SILASTEILU;
      const auto w = static_cast<uint16_t>(rnd_int(5 * width));
      for (int32_t p = 0; p < CARSEGMENTU; ++p) {
        const TCARASEGMENTU& c = CARASEG[p];
        VYKRESLISTEIL(c.X1, c.Y1, c.X2, c.Y2, seg.BARVA, w, p == 0);
      }
    }
  }
}

}  // namespace ksv::calculator
