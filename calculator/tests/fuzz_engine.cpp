// Fuzzes the calculator engine with small hostile pictures and segment tables: any shape, any
// marker, any area, holes anywhere, every stitch type and garment. The engine must neither
// read nor write outside its pictures nor run forever, and the fill's remembered stretches
// must give the same count as sliding pixel by pixel.
#include <cstddef>
#include <cstdint>

#include "calculator/engine.h"
#include "images/obrazky.h"

namespace {

// Bytes taken one at a time; 0 when the input is used up.
struct Input {
  const uint8_t* data;
  size_t size;
  uint8_t next() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
};

}  // namespace

namespace {

// One whole run; returns the total, or -1 when the segmentation refuses the input.
double run(const uint8_t* data, size_t size, bool run_cache) {
  using namespace ksv::calculator;
  Input in{data, size};
  const int w = 1 + in.next() % 48, h = 1 + in.next() % 48;
  ksv::images::Obrazky obr;
  Engine engine(obr);
  engine.use_run_cache = run_cache;
  engine.HANDLENAHLEDU = 0;
  engine.PODKLADOVELOGO = 1;
  obr.ZALOZOBRAZEK(0, 640, 480, 1);
  obr.ZALOZOBRAZEK(1, 64, 64, 1);
  ksv::images::TOBRAZEK& work = obr.OBRAZKY[1];
  work.VELX = w;
  work.VELY = h;
  work.BPP = 0;
  // A few colours in blocks, so areas of every size and shape appear.
  static constexpr uint8_t kColours[8] = {0, 1, 2, 200, 201, 255, 254, 77};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) work.BUFFER[y * work.MAXX + x] = kColours[in.next() % 8];

  SegmentationInput s;
  s.X1 = in.next() % (w + 1);
  s.Y1 = in.next() % (h + 1);
  s.X2 = in.next() % (w + 1);
  s.Y2 = in.next() % (h + 1);
  s.ROZMERX = 1 + in.next() % 12;
  s.ROZMERY = 1 + in.next() % 12;
  s.BARVAPOZADI = kColours[in.next() % 8];
  for (auto& c : s.BARVAPODKL) {
    const uint8_t b = in.next();
    c = b < 128 ? kNoColour : kColours[b % 8];
  }
  if (engine.segment_loaded_picture(s) != 0) return -1;

  engine.MATERIAL = in.next() % 8;
  for (int i = 0; i < engine.POCETSEGMENTU && in.size > 0; ++i) {
    TSEGMENT& seg = engine.SEGMENT[i];
    const uint8_t t = in.next();
    seg.TYP = static_cast<uint8_t>((t & 0x80) | ((t & 0x7F) % kTypeCount));
    seg.SMER = in.next() & 1;
    const uint8_t action = in.next();
    if (action & 1) engine.add_hole(i, in.next() % engine.NOVAX, in.next() % engine.NOVAY);
    if (action & 2) engine.SMAZSEGMENT(i);
    if (action & 4) engine.next_style(i);
  }
  engine.estimate();
  return engine.POCETSTEHU;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The fill's remembered stretches must not change the count.
  if (run(data, size, true) != run(data, size, false)) __builtin_trap();
  return 0;
}
