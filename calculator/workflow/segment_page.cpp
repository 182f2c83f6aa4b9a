// Segmentation from the dialogs' answers and the segment page: the preview (or mini preview),
// the list of active segments in pages of 4096, the buttons that edit, delete and show
// segments, hole points by mouse, and the refresh requests the edits leave behind.
//
// Sections: segmentation · page · preview and list · edits by mouse · flashing a segment
#include <vector>

#include "calculator/workflow/names.h"
#include "calculator/workflow/workflow.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::calculator::ui {

namespace {
constexpr int32_t kPreviewX = 5, kPreviewY = 25;  // the page's preview origin
constexpr int32_t kMiniW = 320, kMiniH = 240;
constexpr uint8_t kRefreshAll = 1, kRefreshList = 3;
}  // namespace

// ---------------------------------------------------------------- segmentation

bool Workflow::segment() {
  tk_.okna.SMAZOKNA();
  tk_.graph.CLEARDEVICE();
  tk_.tlacitka.NUTNOVYKRESLIT = true;
  SegmentationInput in;
  in.SOUBORKALK = SOUBORKALK;
  in.HODNNORM = HODNNORM;
  in.X1 = X1;
  in.Y1 = Y1;
  in.X2 = X2;
  in.Y2 = Y2;
  in.ROZMERX = ROZMERX;
  in.ROZMERY = ROZMERY;
  in.BARVAPODKL = BARVAPODKL;
  in.BARVAPOZADI = BARVAPOZADI;
  ++segmentations;
  const int e = engine.TRASUJSEGMENTY(in);
  if (!running()) return false;
  if (e != 0) {
    fatal(e);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------- page

int Workflow::highlighted_segment() const {
  const toolkit::Seznam& l = tk_.seznam;
  const int e = l.highlighted();
  if (e >= l.PRVKU()) return -1;
  const int n = toolkit::STR2INT(l.SEZNAM[e].NAZEV);
  return n >= 0 && n < engine.POCETSEGMENTU ? n : -1;
}

void Workflow::show_page_caption() {
  text_at(10, 296, "Stranka: " + toolkit::INT2STR(STRANKASEG + 1) + " / " +
                       toolkit::INT2STR(POCETSTRANEKS),
          255, tk_.images.NAJDIBARVU(64, 64, 64), 200);
}

void Workflow::show_garment() {
  text_at(480, 440, std::string(kGarmentNames[MATERIAL % 8]), tk_.images.NAJDIBARVU(255, 255, 0),
          tk_.images.NAJDIBARVU(64, 64, 64), 150);
}

void Workflow::segment_page() {
  tk_.okna.SMAZOKNA();
  tk_.graph.CLEARDEVICE();
  page_window_ = open_window(0, 0, 640, 275, false, "segmenty");
  buttons_window_ = open_window(0, 275, 640, 205, false, "segtlac");
  const int w = buttons_window_;
  STRANKASEG = 0;
  KTEREZRUSIT = 0;
  rebuild_preview();
  rebuild_list(false);
  show_garment();

  bool stitch = false, flash = false, colour = false;
  auto nav = [this](void (toolkit::Seznam::*move)()) {
    return [this, move] {
      (tk_.seznam.*move)();
      tk_.tlacitka.NUTNOVYKRESLIT = true;
    };
  };
  auto segment_edit = [this](auto edit) {
    return [this, edit] {
      const int n = highlighted_segment();
      if (n < 0) return;
      edit(n);
    };
  };
  // Row 1: what happens next, group deletion, help.
  text_button(w, "Stehuj", [&] { stitch = true; }, 10, 40, 13);
  text_button(w, "Trasuj", [this] { SKOCIT = kBackToSegments; }, 88, 40, 116);
  text_button(w, "Rozmer", [this] { SKOCIT = kNewSize; }, 166, 40, 114);
  text_button(w, "Nove", [this] { SKOCIT = kNewPicture; }, 244, 40, 110);
  text_button(w, "Zrus 16", [this] { KTEREZRUSIT = 32; }, 322, 40, 63);
  text_button(w, "Zrus 32", [this] { KTEREZRUSIT = 64; }, 400, 40, 65);
  text_button(w, "Zrus 64", [this] { KTEREZRUSIT = 128; }, 478, 40, 66);
  text_button(w, "Pomoc", [this] { help({"helpspravaseg", "helpspravaseg2", "helpspravaseg3"}); },
              556, 40, 59);
  // Row 2: moving in the list and between pages.
  text_button(w, "Nahoru", nav(&toolkit::Seznam::SEZNAMNAHORU), 10, 80, 72);
  text_button(w, "Dolu", nav(&toolkit::Seznam::SEZNAMDOLU), 88, 80, 80);
  text_button(w, "PgUp", nav(&toolkit::Seznam::STRANKANAHORU), 166, 80, 73);
  text_button(w, "PDown", nav(&toolkit::Seznam::STRANKADOLU), 244, 80, 81);
  text_button(w, "Home", nav(&toolkit::Seznam::SEZNAMZACATEK), 322, 80, 71);
  text_button(w, "End", nav(&toolkit::Seznam::SEZNAMKONEC), 400, 80, 79);
  text_button(w, "<<<", [this] {
    if (STRANKASEG > 0) {
      --STRANKASEG;
      KTEREZRUSIT = kRefreshAll;
    }
  }, 478, 80, 45);
  text_button(w, ">>>", [this] {
    if (STRANKASEG + 1 < POCETSTRANEKS) {
      ++STRANKASEG;
      KTEREZRUSIT = kRefreshAll;
    }
  }, 556, 80, 43);
  // Row 3: the highlighted segment.
  text_button(w, "Ukaz", [&] { flash = true; }, 10, 120, 67);
  text_button(w, "Zbozi", [this] {
    MATERIAL = next_garment(MATERIAL);
    show_garment();
  }, 88, 120, 62);
  text_button(w, "Typ", segment_edit([this](int n) {
    engine.next_type(n);
    KTEREZRUSIT = kRefreshList;
  }), 166, 120, 32);
  text_button(w, "Styl", segment_edit([this](int n) {
    engine.next_style(n);
    KTEREZRUSIT = kRefreshList;
  }), 244, 120, 9);
  text_button(w, "Barva", [&] { colour = true; }, 322, 120, 8);
  text_button(w, "Smazat", segment_edit([this](int n) {
    engine.SMAZSEGMENT(n);
    KTEREZRUSIT = kRefreshAll;
  }), 400, 120, 83);

  last_mouse_buttons_ = tk_.tlacitka.TLACM;
  while (running() && SKOCIT == kStay) {
    pass();
    mouse_on_page();
    if (KTEREZRUSIT != 0) refresh();
    if (flash) {
      flash = false;
      flash_segment();
    }
    if (colour) {
      colour = false;
      const int n = highlighted_segment();
      if (n >= 0) {
        engine.SEGMENT[n].BARVA = static_cast<uint8_t>(pick_colour(engine.SEGMENT[n].BARVA));
        KTEREZRUSIT = kRefreshList;
        refresh();
      }
    }
    if (stitch) {
      stitch = false;
      if (!result_screen()) return;
    }
  }
}

void Workflow::refresh() {
  switch (KTEREZRUSIT) {
    case kRefreshAll:
      rebuild_preview();
      rebuild_list(true);
      break;
    case kRefreshList:
      rebuild_list(true);
      break;
    case 32:
    case 64:
    case 128:
      engine.KTEREZRUSIT = KTEREZRUSIT;
      engine.ZRUSITSEGMENTY();
      rebuild_preview();
      rebuild_list(false);
      break;
    default:
      break;
  }
  KTEREZRUSIT = 0;
}

// ---------------------------------------------------------------- preview and list

void Workflow::rebuild_preview() {
  images::Obrazky& img = tk_.images;
  img.ZMENSIPOMVEL(engine.PODKLADOVELOGO, engine.HANDLENAHLEDU);
  const images::TOBRAZEK& p = img.OBRAZKY[engine.HANDLENAHLEDU];
  shown_slot_ = engine.HANDLENAHLEDU;
  if (p.VELX > kMiniW || p.VELY > kMiniH) {
    if (mini_slot_ == kNoSlot) {
      mini_slot_ = tk_.tlacitka.NAJDIOBR();
      if (mini_slot_ != kNoSlot && img.ZALOZOBRAZEK(mini_slot_, kMiniW, kMiniH, 1) != 0)
        mini_slot_ = kNoSlot;
    }
    if (mini_slot_ != kNoSlot) {
      img.ZMENSIPOMVEL(engine.HANDLENAHLEDU, mini_slot_);
      shown_slot_ = mini_slot_;
    }
  }
  draw::Graph& g = tk_.graph;
  {
    toolkit::StyleGuard style(g);
    g.SETFILLSTYLE(1, img.NAJDIBARVU(64, 64, 64));
    g.BAR(kPreviewX, kPreviewY, kPreviewX + kMiniW - 1, kPreviewY + kMiniH - 1);
  }
  // A preview wider than the page's left half is drawn only as far as the list.
  const images::TOBRAZEK& s = img.OBRAZKY[shown_slot_];
  img.ZOBRAZVYREZ(shown_slot_, kPreviewX, kPreviewY, 0, 0, std::min(s.VELX, kMiniW),
                  std::min(s.VELY, kMiniH));
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void Workflow::rebuild_list(bool keep_position) {
  toolkit::Seznam& l = tk_.seznam;
  POCETSTRANEKS = page_count(engine.active_segments());
  if (POCETSTRANEKS == 0)
    STRANKASEG = 0;
  else if (STRANKASEG >= POCETSTRANEKS)
    STRANKASEG = static_cast<uint16_t>(POCETSTRANEKS - 1);
  show_page_caption();
  const uint16_t top = l.AKTSTRANKA, row = l.AKTPRVEK;
  l.SMAZSEZNAM();
  int32_t k = 0;
  for (int32_t i = 0; i < engine.POCETSEGMENTU; ++i) {
    const TSEGMENT& s = engine.SEGMENT[i];
    if (s.AKTIVNI == 0) continue;
    if (k / kMaxSegments == STRANKASEG) l.PRIDEJPRVEK(toolkit::INT2STR(i), segment_spec(s), false);
    ++k;
  }
  if (!keep_position) {
    // To the screen's right edge: a row with a four-digit number, the longest stitch name and
    // the hole count needs every pixel of it.
    l.PRVNIVYPISSEZ(327, 30, 312, 200, 9, 3);
  } else {
    l.AKTSTRANKA = top;
    l.AKTPRVEK = row;
    // A deletion may have left the highlight past the end: it moves up to the last entry.
    while (l.highlighted() >= l.PRVKU() && (l.AKTPRVEK > 0 || l.AKTSTRANKA > 0)) {
      if (l.AKTPRVEK > 0)
        --l.AKTPRVEK;
      else
        --l.AKTSTRANKA;
    }
    l.VYPISSEZNAM(l.SEZX, l.SEZY, l.VELSEZX, l.VELSEZY, l.VELSTRANKY, l.AKTMODSEZNAMU);
  }
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// ---------------------------------------------------------------- edits by mouse

void Workflow::mouse_on_page() {
  toolkit::Tlacitka& b = tk_.tlacitka;
  const int pressed = b.TLACM & ~last_mouse_buttons_;
  last_mouse_buttons_ = b.TLACM;
  if (!pressed) return;
  const int n = highlighted_segment();
  if (n < 0) return;
  if (pressed & 2) {
    engine.clear_holes(n);
    KTEREZRUSIT = kRefreshAll;
    return;
  }
  if (!(pressed & 1) || shown_slot_ == kNoSlot) return;
  const images::TOBRAZEK& s = tk_.images.OBRAZKY[shown_slot_];
  const int32_t sw = std::min(s.VELX, kMiniW), sh = std::min(s.VELY, kMiniH);
  const int32_t px = b.MYSX - kPreviewX, py = b.MYSY - kPreviewY;
  if (px < 0 || py < 0 || px >= sw || py >= sh || s.VELX <= 0 || s.VELY <= 0) return;
  // The point the user sees: preview pixels map back onto the working picture by its scale.
  const int32_t wx = static_cast<int32_t>(int64_t{px} * engine.NOVAX / s.VELX);
  const int32_t wy = static_cast<int32_t>(int64_t{py} * engine.NOVAY / s.VELY);
  if (engine.add_hole(n, wx, wy)) KTEREZRUSIT = kRefreshList;
}

// ---------------------------------------------------------------- flashing a segment

void Workflow::flash_segment() {
  const int n = highlighted_segment();
  if (n < 0 || shown_slot_ == kNoSlot) return;
  const TSEGMENT& seg = engine.SEGMENT[n];
  const int32_t W = engine.NOVAX, H = engine.NOVAY;
  const uint8_t index = engine.work_pixel(seg.X, seg.Y);
  if (index == engine.BARVAPOZADI) return;  // deleted: nothing of it is left to show
  // The segment's pixels: its four-connected area of one index around the seed.
  std::vector<uint8_t> member(static_cast<size_t>(W) * H, 0);
  std::vector<int32_t> stack{seg.Y * W + seg.X};
  member[stack.back()] = 1;
  while (!stack.empty()) {
    const int32_t at = stack.back();
    stack.pop_back();
    const int32_t x = at % W, y = at / W;
    const int32_t next[4][2] = {{x + 1, y}, {x, y + 1}, {x - 1, y}, {x, y - 1}};
    for (const auto& p : next) {
      if (p[0] < 0 || p[1] < 0 || p[0] >= W || p[1] >= H) continue;
      const int32_t i = p[1] * W + p[0];
      if (!member[i] && engine.work_pixel(p[0], p[1]) == index) {
        member[i] = 1;
        stack.push_back(i);
      }
    }
  }
  const images::TOBRAZEK& s = tk_.images.OBRAZKY[shown_slot_];
  const int32_t sw = std::min(s.VELX, kMiniW), sh = std::min(s.VELY, kMiniH);
  std::vector<std::pair<int32_t, int32_t>> points;
  for (int32_t py = 0; py < sh; ++py)
    for (int32_t px = 0; px < sw; ++px) {
      const auto wx = static_cast<int32_t>(int64_t{px} * W / s.VELX);
      const auto wy = static_cast<int32_t>(int64_t{py} * H / s.VELY);
      if (member[static_cast<size_t>(wy) * W + wx]) points.emplace_back(kPreviewX + px, kPreviewY + py);
    }
  draw::Graph& g = tk_.graph;
  for (int step = 0; step < 4; ++step) {
    // Inverting twice gives the picture back: inverted, normal, inverted, normal.
    for (const auto& [x, y] : points)
      g.PUTPIXEL(x, y, static_cast<uint8_t>(255 - g.screen_pixel(x, y)));
    g.UPDATEGRAPH(2);
    if (!g.KEYPRESSED()) g.DELAY(500);
  }
}

}  // namespace ksv::calculator::ui
