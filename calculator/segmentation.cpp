// Colour segmentation: preparing the working picture at 5 pixels per millimetre, splitting it
// into four-connected areas of one palette index, classifying them by size, and deleting
// segments (one, or a whole small-segment group) from the working picture.
#include <algorithm>
#include <cstring>

#include "calculator/engine.h"

namespace ksv::calculator {

Engine::Engine(images::Obrazky& obrazky, EngineHooks h)
    : obr(obrazky), hooks(std::move(h)), SEGMENT(kMaxSegments), CARASEG(kMaxPieces) {
  std::memset(SEGMENT.data(), 255, SEGMENT.size() * sizeof(TSEGMENT));
}

Engine::~Engine() { free_slots(); }

uint16_t Engine::first_free_slot() const {
  for (uint16_t i = 0; i < images::kSlotCount; ++i)
    if (obr.OBRAZKY[i].VEL == 0) return i;
  return kNoSlot;
}

void Engine::free_slots() {
  for (uint16_t* slot : {&HANDLENAHLEDU, &PODKLADOVELOGO, &PODKLADOVELOGO2, &ZALOHAPODKLADU}) {
    if (*slot != kNoSlot) obr.ZRUSOBRAZEK(*slot);
    *slot = kNoSlot;
  }
  work_ = result_ = nullptr;
}

void Engine::refresh_picture_pointers() {
  work_ = result_ = nullptr;
  if (PODKLADOVELOGO != kNoSlot && obr.OBRAZKY[PODKLADOVELOGO].VEL > 0) {
    work_ = obr.OBRAZKY[PODKLADOVELOGO].BUFFER;
    work_stride_ = obr.OBRAZKY[PODKLADOVELOGO].MAXX;
  }
  if (PODKLADOVELOGO2 != kNoSlot && obr.OBRAZKY[PODKLADOVELOGO2].VEL > 0) {
    result_ = obr.OBRAZKY[PODKLADOVELOGO2].BUFFER;
    result_stride_ = obr.OBRAZKY[PODKLADOVELOGO2].MAXX;
  }
}

void Engine::attach_pictures(uint16_t working, uint16_t result, uint8_t marker) {
  PODKLADOVELOGO = working;
  PODKLADOVELOGO2 = result;
  BARVAPOZADI = marker;
  NOVAX = obr.OBRAZKY[working].VELX;
  NOVAY = obr.OBRAZKY[working].VELY;
  refresh_picture_pointers();
}

uint8_t Engine::result_pixel(int32_t x, int32_t y) const {
  return result_[int64_t{y} * result_stride_ + x];
}

void Engine::paint_preview(int32_t x, int32_t y, uint8_t index) {
  if (HANDLENAHLEDU == kNoSlot) return;
  images::TOBRAZEK& p = obr.OBRAZKY[HANDLENAHLEDU];
  const auto px = static_cast<int32_t>(x * POMERNAHL), py = static_cast<int32_t>(y * POMERNAHL);
  // The preview is a fitted copy; rounding may put the last row or column just outside it.
  if (px < 0 || py < 0 || px >= p.VELX || py >= p.VELY || px >= p.MAXX || py >= p.MAXY) return;
  p.BUFFER[int64_t{py} * p.MAXX + px] = index;
}

// The fill keeps every pending point on a stack that grows as needed: a fixed stack that
// refused pushes would leave part of a large area unfilled and split it into several segments.
// The push order (right, down, left, up) decides the order the preview is painted in, and a
// popped point that is already filled still has its neighbours pushed again.
int32_t Engine::fill_component(int32_t x, int32_t y, uint8_t index, bool paint) {
  const uint8_t marker = BARVAPOZADI;
  const int32_t w = NOVAX, h = NOVAY;
  uint8_t* const pic = work_;
  const int64_t stride = work_stride_;
  const uint8_t colour = static_cast<uint8_t>(240 + fill_colour_);
  int32_t count = 0;
  fill_stack_.clear();
  pic[int64_t{y} * stride + x] = marker;
  if (paint) paint_preview(x, y, colour);
  for (;;) {
    uint8_t* row = pic + int64_t{y} * stride;
    // Points are packed as (y << 16) | x: a working picture is at most 2048 x 1535.
    const uint32_t at = (uint32_t(y) << 16) | uint32_t(x);
    if (x + 1 < w && row[x + 1] == index) fill_stack_.push_back(at + 1);
    if (y + 1 < h && row[x + stride] == index) fill_stack_.push_back(at + 0x10000);
    if (x > 0 && row[x - 1] == index) fill_stack_.push_back(at - 1);
    if (y > 0 && row[x - stride] == index) fill_stack_.push_back(at - 0x10000);
    if (fill_stack_.empty()) break;
    x = static_cast<int32_t>(fill_stack_.back() & 0xFFFF);
    y = static_cast<int32_t>(fill_stack_.back() >> 16);
    fill_stack_.pop_back();
    uint8_t& p = pic[int64_t{y} * stride + x];
    if (p == index) {
      p = marker;
      ++count;
      if (paint) paint_preview(x, y, colour);
    }
  }
  return count;
}

int Engine::TRASUJSEGMENTY(const SegmentationInput& in) {
  free_slots();
  // 1. Preview and working picture, each in the first free slot.
  HANDLENAHLEDU = first_free_slot();
  if (HANDLENAHLEDU == kNoSlot || obr.ZALOZOBRAZEK(HANDLENAHLEDU, 640, 480, 1) != 0) {
    HANDLENAHLEDU = kNoSlot;
    return kErrLoad;
  }
  PODKLADOVELOGO = first_free_slot();
  if (PODKLADOVELOGO == kNoSlot ||
      obr.ZALOZOBRAZEK(PODKLADOVELOGO, kWorkMaxX, kWorkMaxY, 4) != 0) {
    PODKLADOVELOGO = kNoSlot;
    return kErrLoad;
  }
  // 2. Load with the chosen colour reduction.
  obr.NORMALIZACE = in.HODNNORM;
  const uint8_t loaded = obr.NAHRAJOBRAZEK(PODKLADOVELOGO, in.SOUBORKALK);
  obr.NORMALIZACE = 0;
  if (loaded != 0) return kErrLoad;
  return segment_loaded_picture(in);
}

int Engine::segment_loaded_picture(const SegmentationInput& in) {
  if (HANDLENAHLEDU == kNoSlot || PODKLADOVELOGO == kNoSlot) return kErrLoad;
  images::TOBRAZEK& work = obr.OBRAZKY[PODKLADOVELOGO];
  if (work.VEL <= 0 || work.BPP != 0 || work.VELX <= 0 || work.VELY <= 0) return kErrLoad;
  // 3. Working size.
  ROZMERX = in.ROZMERX;
  ROZMERY = in.ROZMERY;
  NOVAX = kPixelsPerMm * in.ROZMERX;
  NOVAY = kPixelsPerMm * in.ROZMERY;
  if (NOVAX <= 0 || NOVAY <= 0) return kErrSizeLimit;
  if (NOVAX > kWorkMaxX || NOVAY > kWorkMaxY) return kErrSizeLimit;
  if (NOVAX > work.MAXX || NOVAY > work.MAXY) return kErrSizeLimit;
  BARVAPOZADI = in.BARVAPOZADI;
  // 4. Crop to the chosen area; an empty area leaves nothing to segment.
  obr.ORIZNIOBRAZEK(PODKLADOVELOGO, in.X1, in.Y1, in.X2, in.Y2);
  if (work.VELX <= 0 || work.VELY <= 0) return kErrLoad;
  // 5. Free the reserved indices: the marker and the visited index never occur in a prepared
  // picture. A declared background colour that is itself one of them would be shifted away
  // before step 8 could find it and the background would be stitched (black on the default
  // marker 0, for one); such pixels become the marker here instead.
  bool is_bg[256] = {};
  bool any_bg = false;
  for (uint16_t c : in.BARVAPODKL) {
    if (c < 256) is_bg[c] = any_bg = true;
  }
  {
    const uint8_t marker = BARVAPOZADI;
    const uint8_t shifted = marker == 255 ? 254 : static_cast<uint8_t>(marker + 1);
    const uint8_t one_to = marker == 0 ? 2 : 0;
    uint8_t map[256];
    for (int i = 0; i < 256; ++i) {
      uint8_t p = static_cast<uint8_t>(i);
      if (p == marker) p = shifted;
      if (p == kVisited) p = one_to;
      if (is_bg[i] && (i == marker || i == kVisited)) p = marker;
      map[i] = p;
    }
    for (int32_t yy = 0; yy < work.VELY; ++yy) {
      uint8_t* row = work.BUFFER + int64_t{yy} * work.MAXX;
      for (int32_t xx = 0; xx < work.VELX; ++xx) row[xx] = map[row[xx]];
    }
  }
  // 6. The untouched copy at working size, and the working picture at exactly that size.
  PODKLADOVELOGO2 = first_free_slot();
  if (PODKLADOVELOGO2 == kNoSlot || obr.ZALOZOBRAZEK(PODKLADOVELOGO2, NOVAX, NOVAY, 1) != 0) {
    PODKLADOVELOGO2 = kNoSlot;
    return kErrLoad;
  }
  const bool resized = work.VELX != NOVAX || work.VELY != NOVAY;
  obr.ZMVELIKOSTI(PODKLADOVELOGO, PODKLADOVELOGO2, NOVAX, NOVAY, 0);
  if (resized) obr.ZMVELIKOSTI(PODKLADOVELOGO2, PODKLADOVELOGO, NOVAX, NOVAY, 0);
  if (work.VELX != NOVAX || work.VELY != NOVAY) return kErrLoad;
  refresh_picture_pointers();
  // 7. Preview.
  obr.ZMENSIPOMVEL(PODKLADOVELOGO2, HANDLENAHLEDU);
  call(hooks.show_preview);
  call(hooks.run_queued_actions);
  POMERNAHL = double(obr.OBRAZKY[HANDLENAHLEDU].VELX) / double(NOVAX);
  // 8. Colours the user declared as background become the marker.
  if (any_bg) {
    for (int32_t yy = 0; yy < NOVAY; ++yy) {
      uint8_t* row = work_ + yy * work_stride_;
      for (int32_t xx = 0; xx < NOVAX; ++xx)
        if (is_bg[row[xx]]) row[xx] = BARVAPOZADI;
    }
    obr.ZMENSIPOMVEL(PODKLADOVELOGO, HANDLENAHLEDU);
    call(hooks.show_preview);
    obr.ZMVELIKOSTI(PODKLADOVELOGO, PODKLADOVELOGO2, NOVAX, NOVAY, 0);
  }
  // 9. Empty table.
  std::memset(SEGMENT.data(), 255, SEGMENT.size() * sizeof(TSEGMENT));
  POCETSEGMENTU = 0;
  POCETSMAZSEG = 0;
  fill_colour_ = 0;
  POC16 = POC32 = POC64 = 0;
  fill_stack_.clear();

  // Discovery: row by row, every pixel that is not the marker starts a segment.
  const int32_t t = static_cast<int32_t>((int64_t{NOVAX} * NOVAY) / 256);
  for (int32_t y = 0; y < NOVAY; ++y) {
    for (int32_t x = 0; x < NOVAX; ++x) {
      const uint8_t index = work_[y * work_stride_ + x];
      if (index == BARVAPOZADI) continue;
      if (POCETSEGMENTU == kMaxSegments) return kErrTooMany;
      TSEGMENT& s = SEGMENT[POCETSEGMENTU];
      s.X = x;
      s.Y = y;
      s.TYP = kTypeSaten;
      s.AKTIVNI = 255;
      s.SMER = 0;
      s.BARVA = index;
      ++POCETSEGMENTU;
      // The fill paints the preview only for a screen that shows it.
      const int32_t c = fill_component(x, y, index, static_cast<bool>(hooks.show_preview));
      if (c < MINPIXELUNASEG) {
        --POCETSEGMENTU;  // its pixels stay erased until the picture is restored
        continue;
      }
      if (c < 16) {
        s.AKTIVNI = 32;
        s.TYP |= kLightBit;
        ++POC16;
      } else {
        call(hooks.show_preview);
        fill_colour_ = static_cast<uint8_t>((fill_colour_ + 1) % 16);
        if (c < 32) {
          s.AKTIVNI = 64;
          s.TYP |= kLightBit;
          ++POC32;
        } else if (c < 64) {
          s.AKTIVNI = 128;
          s.TYP |= kLightBit;
          ++POC64;
        }
      }
      if (t > c)
        s.TYP = kTypeRovny;
      else if (int64_t{12} * t < c)
        s.TYP = kTypeTatami;
      call(hooks.run_queued_actions);
    }
  }
  // The fill erased the picture; it comes back whole, dropped areas included.
  obr.ZMVELIKOSTI(PODKLADOVELOGO2, PODKLADOVELOGO, NOVAX, NOVAY, 0);
  POCETSMAZSEG = 0;
  if (POC16 > 0 && hooks.ask_delete_small && hooks.ask_delete_small()) {
    KTEREZRUSIT = 32;
    ZRUSITSEGMENTY();
  }
  if (active_segments() <= 0) return kErrNoSegment;
  ZALOHAPODKLADU = first_free_slot();
  if (ZALOHAPODKLADU == kNoSlot || obr.ZALOZOBRAZEK(ZALOHAPODKLADU, NOVAX, NOVAY, 1) != 0) {
    ZALOHAPODKLADU = kNoSlot;
    return kErrLoad;
  }
  return 0;
}

void Engine::SMAZSEGMENT(int32_t n) {
  if (n < 0 || n >= POCETSEGMENTU || SEGMENT[n].AKTIVNI == 0) return;
  if (POCETSEGMENTU - POCETSMAZSEG <= 1) return;
  TSEGMENT& s = SEGMENT[n];
  const uint8_t index = work_pixel(s.X, s.Y);
  if (index == BARVAPOZADI) return;
  fill_component(s.X, s.Y, index, false);
  s.AKTIVNI = 0;
  ++POCETSMAZSEG;
}

void Engine::ZRUSITSEGMENTY() {
  for (int32_t i = 0; i < POCETSEGMENTU; ++i)
    if (SEGMENT[i].AKTIVNI == KTEREZRUSIT) SMAZSEGMENT(i);
}

void Engine::restore_working_from_backup() {
  if (ZALOHAPODKLADU == kNoSlot || PODKLADOVELOGO == kNoSlot) return;
  obr.ZMVELIKOSTI(ZALOHAPODKLADU, PODKLADOVELOGO, NOVAX, NOVAY, 0);
  refresh_picture_pointers();
}

// ----------------------------------------------------------------------- segment page edits

void Engine::next_type(int32_t n) {
  if (n < 0 || n >= POCETSEGMENTU) return;
  // Counting on the whole byte: a light type runs past 10 and starts again at strong 1.
  int t = SEGMENT[n].TYP + 1;
  if (t > kTypeSatenSteil) t = kTypeTatami;
  SEGMENT[n].TYP = static_cast<uint8_t>(t);
}

void Engine::next_style(int32_t n) {
  if (n < 0 || n >= POCETSEGMENTU) return;
  TSEGMENT& s = SEGMENT[n];
  if ((s.TYP & kLightBit) == 0) {
    s.TYP |= kLightBit;
  } else {
    s.TYP &= static_cast<uint8_t>(~kLightBit);
    s.SMER = s.SMER == 0 ? 1 : 0;
  }
}

bool Engine::add_hole(int32_t n, int32_t x, int32_t y) {
  if (n < 0 || n >= POCETSEGMENTU || work_ == nullptr) return false;
  if (x < 0 || y < 0 || x >= NOVAX || y >= NOVAY) return false;
  if (work_pixel(x, y) != BARVAPOZADI) return false;
  // Walk up to the last background pixel, then left the same way: the hole's seed sits on its
  // upper left edge, where the outline tracer can start.
  while (y >= 0 && work_pixel(x, y) == BARVAPOZADI) --y;
  ++y;
  while (x >= 0 && work_pixel(x, y) == BARVAPOZADI) --x;
  ++x;
  if (x <= 0 || y <= 0) return false;
  TSEGMENT& s = SEGMENT[n];
  for (const auto& v : s.VYREZ)
    if (v.X == x && v.Y == y) return false;
  for (auto& v : s.VYREZ) {
    if (v.X == 65535) {
      v.X = static_cast<uint16_t>(x);
      v.Y = static_cast<uint16_t>(y);
      return true;
    }
  }
  return false;
}

void Engine::clear_holes(int32_t n) {
  if (n < 0 || n >= POCETSEGMENTU) return;
  for (auto& v : SEGMENT[n].VYREZ) v = {65535, 65535};
}

}  // namespace ksv::calculator
