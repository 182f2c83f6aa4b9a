// Times the calculator on a synthetic multi-colour logo at 2045 x 1535 working pixels (409 x 307
// mm), a quarter and a sixteenth of that area: segmentation (loading included) and the stitch
// simulation, each beside a plain four-neighbour flood-fill labelling of the same working
// picture, so the growth with area and the distance to the plain labelling are both visible.
// Two extremes follow at the largest size: one area over the whole picture (the fill's longest
// stack) and bars joined at one end stitched along their length (the corner search's longest
// slides).
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "calculator/engine.h"
#include "images/obrazky.h"

namespace {

using ksv::calculator::Engine;
using ksv::calculator::SegmentationInput;

// CPU time of this process (page faults included): the build machines are shared, and wall
// time there measures the neighbours as much as the calculator. Best of several rounds.
struct Clock {
  using time_point = double;
  static double now() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
  }
};
double ms_since(double t) { return Clock::now() - t; }

// A logo drawn in unit coordinates: a ring with a bar through it, lettering-like strokes,
// a striped band, scattered dots (small segments) and a thin frame, on white.
uint8_t logo(double u, double v) {
  const double dx = u - 0.27, dy = v - 0.45, r = std::sqrt(dx * dx + dy * dy);
  if (r < 0.22 && r > 0.15) return 0xE0;                      // red ring
  if (std::fabs(dy) < 0.03 && std::fabs(dx) < 0.2) return 0x1F;  // bar
  if (r < 0.15 && std::fmod(std::fabs(dx) * 40, 1.0) < 0.2) return 0x03;
  if (u > 0.55 && u < 0.95 && v > 0.2 && v < 0.5) {           // lettering
    const double lu = std::fmod((u - 0.55) * 10, 1.0);
    if (lu < 0.15 || (lu < 0.7 && std::fmod(v * 20, 1.0) < 0.25)) return 0x6C;
  }
  if (v > 0.62 && v < 0.8 && u > 0.5 && u < 0.96)               // striped band
    return std::fmod(u * 30, 1.0) < 0.5 ? 0x9A : 0x49;
  if (v > 0.85 && v < 0.95 && std::fmod(u * 60, 1.0) < 0.3 && std::fmod(v * 60, 1.0) < 0.4)
    return 0x1C;                                                // dots
  if (u < 0.01 || u > 0.99 || v < 0.01 || v > 0.99) return 0x90;  // frame
  return 0xFF;
}

// Plain labelling: every pixel gets the number of its four-connected area of one index.
int plain_labelling(const uint8_t* pic, int64_t stride, int w, int h) {
  std::vector<int32_t> label(size_t(w) * h, -1);
  std::vector<int32_t> stack;
  int areas = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (label[size_t(y) * w + x] >= 0) continue;
      const uint8_t c = pic[y * stride + x];
      label[size_t(y) * w + x] = areas;
      stack.push_back(y * w + x);
      while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        const int px = p % w, py = p / w;
        auto visit = [&](int qx, int qy) {
          if (qx < 0 || qy < 0 || qx >= w || qy >= h) return;
          int32_t& l = label[size_t(qy) * w + qx];
          if (l < 0 && pic[qy * stride + qx] == c) {
            l = areas;
            stack.push_back(qy * w + qx);
          }
        };
        visit(px + 1, py);
        visit(px, py + 1);
        visit(px - 1, py);
        visit(px, py - 1);
      }
      ++areas;
    }
  return areas;
}

struct Figures {
  double segmentation = 1e9, simulation = 1e9, labelling = 1e9;
  int segments = 0, areas = 0;
  double total = 0;
};

// One colour over the whole picture but a white corner: the worst case for the fill's stack.
uint8_t plain_area(double u, double v) { return u < 0.01 && v < 0.01 ? 0xFF : 0x6C; }

// Vertical bars joined at the top, to be stitched along the bars: the corner search's
// worst case.
uint8_t bars(double u, double v) { return (std::fmod(u * 227, 1.0) < 0.85 || v < 0.002) ? 0x6C : 0xFF; }

Figures measure(const std::string& dir, int mm_x, int mm_y, int rounds,
                uint8_t (*picture)(double, double) = logo, bool vertical = false) {
  const int w = mm_x * 5, h = mm_y * 5;
  const std::string file = dir + "/logo_" + std::to_string(w) + ".bmp";
  {
    ksv::images::Obrazky obr;
    obr.ZALOZOBRAZEK(0, w + 1, h + 1, 1);
    ksv::images::TOBRAZEK& o = obr.OBRAZKY[0];
    o.VELX = w + 1;
    o.VELY = h + 1;
    o.BPP = 0;
    for (int y = 0; y <= h; ++y)
      for (int x = 0; x <= w; ++x) o.BUFFER[int64_t{y} * o.MAXX + x] = picture(double(x) / w, double(y) / h);
    if (obr.ULOZBMP(0, file) != 0) std::exit(1);
  }
  SegmentationInput in;
  in.SOUBORKALK = file;
  in.X2 = w;
  in.Y2 = h;
  in.ROZMERX = mm_x;
  in.ROZMERY = mm_y;
  in.BARVAPODKL[0] = 0xFF;
  Figures f;
  for (int round = 0; round < rounds; ++round) {
    ksv::images::Obrazky obr;
    Engine engine(obr);
    auto t = Clock::now();
    if (engine.TRASUJSEGMENTY(in) != 0) std::exit(1);
    f.segmentation = std::min(f.segmentation, ms_since(t));
    f.segments = engine.POCETSEGMENTU;
    if (vertical)
      for (int i = 0; i < engine.POCETSEGMENTU; ++i) engine.SEGMENT[i].SMER = 1;
    const ksv::images::TOBRAZEK& work = obr.OBRAZKY[engine.PODKLADOVELOGO];
    t = Clock::now();
    f.areas = plain_labelling(work.BUFFER, work.MAXX, w, h);
    f.labelling = std::min(f.labelling, ms_since(t));
    t = Clock::now();
    engine.estimate();
    f.simulation = std::min(f.simulation, ms_since(t));
    f.total = engine.POCETSTEHU;
  }
  std::remove(file.c_str());
  return f;
}

}  // namespace

int main() {
  char tmpl[] = "/tmp/ksv_calc_bench_XXXXXX";
  if (mkdtemp(tmpl) == nullptr) return 1;
  const std::string dir = tmpl;
  std::printf("%-22s %9s %9s %9s %9s %7s %11s %9s\n", "working picture", "pixels", "segment",
              "simulate", "together", "plain", "together/", "segments");
  std::printf("%-22s %9s %9s %9s %9s %7s %11s %9s\n", "", "", "cpu ms", "cpu ms", "cpu ms",
              "cpu ms", "plain", "");
  const struct {
    int mm_x, mm_y;
  } sizes[] = {{102, 76}, {204, 153}, {409, 307}};
  for (const auto& s : sizes) {
    const Figures f = measure(dir, s.mm_x, s.mm_y, 5);
    const double both = f.segmentation + f.simulation;
    char name[40];
    std::snprintf(name, sizeof name, "%d x %d (%dx%d mm)", s.mm_x * 5, s.mm_y * 5, s.mm_x, s.mm_y);
    std::printf("%-22s %9d %9.1f %9.1f %9.1f %7.1f %11.1f %9d\n", name, s.mm_x * s.mm_y * 25,
                f.segmentation, f.simulation, both, f.labelling, both / f.labelling, f.segments);
  }
  const struct {
    const char* name;
    uint8_t (*picture)(double, double);
    bool vertical;
  } extremes[] = {{"2045 x 1535, one area", plain_area, false},
                  {"2045 x 1535, bars", bars, true}};
  for (const auto& x : extremes) {
    const Figures f = measure(dir, 409, 307, 3, x.picture, x.vertical);
    std::printf("%-22s %9d %9.1f %9.1f %9.1f %7.1f %11.1f %9d\n", x.name, 3139075, f.segmentation,
                f.simulation, f.segmentation + f.simulation, f.labelling,
                (f.segmentation + f.simulation) / f.labelling, f.segments);
  }
  rmdir(dir.c_str());
  return 0;
}
