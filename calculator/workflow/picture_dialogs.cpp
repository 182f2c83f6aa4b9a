// The picture dialogs: the loga folder, the file chooser with thumbnails, the preview with the
// brightness, quality and approval choices, the area with its cross-hairs, the background
// colours, the size in millimetres and the background marker.
//
// Sections: sequence · file chooser · preview and choices · area · background colours · size ·
//           background marker
#include <sys/stat.h>

#include <optional>

#include "calculator/workflow/names.h"
#include "calculator/workflow/workflow.h"
#include "toolkit/kit/style_guard.h"

namespace ksv::calculator::ui {

namespace {
constexpr int32_t kPictureX = 30, kPictureY = 50;  // where the dialogs show the picture
constexpr int32_t kChooserRows = 17;               // the chooser's list shows one row more
constexpr int32_t kThumbX = 445, kThumbY = 280, kThumbSize = 128;
}  // namespace

// ---------------------------------------------------------------- sequence

bool Workflow::ensure_loga() {
  const std::string loga = dir_ + "loga";
  struct stat st {};
  if (stat(loga.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  return mkdir(loga.c_str(), 0755) == 0;
}

bool Workflow::picture_dialogs(bool size_only) {
  if (!size_only) {
    ++picture_dialog_runs;
    if (!ensure_loga()) {
      fatal_key("chybaloga");
      return false;
    }
    for (;;) {
      if (!file_chooser()) return false;
      bool again = false;
      if (!preview_and_choices(again)) return false;
      if (!again) break;
    }
    if (!area_dialog() || !background_dialog()) return false;
  } else {
    tk_.okna.SMAZOKNA();
    tk_.graph.CLEARDEVICE();
  }
  // The proposal always comes from the area as chosen on the preview: after a new size the
  // area in picture pixels must not be converted a second time.
  const SizeMm proposal = propose_size(preview_area_, picture_w_, picture_h_, preview_w_, preview_h_);
  ROZMERX = proposal.ROZMERX;
  ROZMERY = proposal.ROZMERY;
  for (;;) {
    if (!size_dialog()) return false;
    // A size of 0 mm leaves nothing to stitch; it is refused like one that is too large.
    if (ROZMERX > 0 && ROZMERY > 0 && size_within_limit(ROZMERX, ROZMERY)) break;
    error_window("chyba" + toolkit::INT2STR(kErrSizeLimit));
    if (!running()) return false;
  }
  if (!marker_dialog()) return false;
  const Area a = preview_area_to_picture(preview_area_, picture_w_, picture_h_, preview_w_, preview_h_);
  X1 = a.X1;
  Y1 = a.Y1;
  X2 = a.X2;
  Y2 = a.Y2;
  free_slot(preview_slot_);
  tk_.okna.SMAZOKNA();
  return running();
}

// ---------------------------------------------------------------- file chooser

void Workflow::fill_chooser_list() {
  toolkit::Seznam& list = tk_.seznam;
  list.SMAZSEZNAM();
  // The toolkit browser's listing: names decoded for the list (Czech letters with their glyphs,
  // long names cut in the middle, folders in brackets) while each entry keeps the bytes that
  // open it. The mask "*.jpg" takes the extension jpg in any case, as the workshop expects.
  const toolkit::BrowserFilter filter{{AKTPRIP.substr(AKTPRIP.find('.') + 1)}, false};
  std::optional<std::vector<toolkit::BrowserEntry>> listed = toolkit::list_folder(AKTUALNIADR, filter);
  chooser_entries_ = listed ? std::move(*listed) : std::vector<toolkit::BrowserEntry>{};
  for (const toolkit::BrowserEntry& e : chooser_entries_) list.PRIDEJPRVEK(e.shown, "", false);
  tk_.okna.PRVNISEZNAMVOKNE(chooser_window_, 10, 30, 350, 340, kChooserRows, 0);
  // Back in a folder, the highlight returns to the entry chosen or left last time.
  for (size_t i = 0; i < chooser_entries_.size(); ++i) {
    if (chooser_entries_[i].name != chooser_mark_) continue;
    const auto at = static_cast<uint16_t>(i);
    list.AKTSTRANKA = at > kChooserRows ? static_cast<uint16_t>(at - kChooserRows) : 0;
    list.AKTPRVEK = static_cast<uint16_t>(at - list.AKTSTRANKA);
    list.VYPISSEZNAM(list.SEZX, list.SEZY, list.VELSEZX, list.VELSEZY, list.VELSTRANKY,
                     list.AKTMODSEZNAMU);
    break;
  }
  // The folder shown, under the thumbnail: its end, where the names differ.
  std::string shown = toolkit::shown_name(AKTUALNIADR, 1000);
  if (shown.size() > 17) shown = "..." + shown.substr(shown.size() - 14);
  text_at(445, 410, shown, 255, tk_.images.NAJDIBARVU(64, 64, 64), 140);
  last_thumb_entry_ = -1;
  show_thumbnail();
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

void Workflow::show_thumbnail() {
  const int entry = tk_.seznam.highlighted();
  if (entry == last_thumb_entry_) return;
  last_thumb_entry_ = entry;
  if (!NAHLEDY) return;
  draw::Graph& g = tk_.graph;
  {
    toolkit::StyleGuard style(g);
    g.SETFILLSTYLE(1, 0);
    g.BAR(kThumbX, kThumbY, kThumbX + kThumbSize - 1, kThumbY + kThumbSize - 1);
  }
  tk_.tlacitka.NUTNOVYKRESLIT = true;
  if (entry < 0 || size_t(entry) >= chooser_entries_.size() || thumb_slot_ == kNoSlot) return;
  const toolkit::BrowserEntry& e = chooser_entries_[size_t(entry)];
  if (e.kind != toolkit::BrowserEntry::kFile) return;
  images::Obrazky& img = tk_.images;
  if (img.NAHRAJOBRAZEK(thumb_slot_, AKTUALNIADR + e.name) != 0 || img.OBRAZKY[thumb_slot_].BPP != 0)
    return;
  // The loader squeezes width and height into the square each on its own; the picture is
  // brought back to its own shape and centred in the square.
  const images::TOBRAZEK& t = img.OBRAZKY[thumb_slot_];
  const Size fit = fit_into(img.ORIGX, img.ORIGY, kThumbSize);
  uint16_t shown = thumb_slot_;
  if ((fit.w != t.VELX || fit.h != t.VELY) && thumb_fit_slot_ != kNoSlot) {
    img.ZMVELIKOSTI(thumb_slot_, thumb_fit_slot_, fit.w, fit.h, 0);
    shown = thumb_fit_slot_;
  }
  const images::TOBRAZEK& f = img.OBRAZKY[shown];
  img.ZOBRAZOBRAZEK(shown, kThumbX + (kThumbSize - f.VELX) / 2, kThumbY + (kThumbSize - f.VELY) / 2);
}

bool Workflow::file_chooser() {
  tk_.okna.SMAZOKNA();
  tk_.graph.CLEARDEVICE();
  chooser_window_ = open_window(50, 50, 540, 380, false, "vybersoub");
  if (chooser_window_ < 0) return false;
  const int w = chooser_window_;
  toolkit::Seznam& list = tk_.seznam;
  bool mask = false, ok = false, toggle = false;
  text_button(w, "Nahoru", [&] { list.SEZNAMNAHORU(); }, 390, 32, 72);
  text_button(w, "Dolu", [&] { list.SEZNAMDOLU(); }, 465, 32, 80);
  text_button(w, "PgUp", [&] { list.STRANKANAHORU(); }, 390, 70, 73);
  text_button(w, "PDown", [&] { list.STRANKADOLU(); }, 465, 70, 81);
  text_button(w, "Home", [&] { list.SEZNAMZACATEK(); }, 390, 108, 71);
  text_button(w, "End", [&] { list.SEZNAMKONEC(); }, 465, 108, 79);
  text_button(w, "Nahled", [&] { toggle = true; }, 390, 146, 110);
  text_button(w, "OK", [&] { ok = true; }, 390, 184, 13);
  text_button(w, "Pomoc", [&] { help({"helpvyber", "helpvyber2"}); }, 465, 184, 59);
  // The mask button is the last one placed: its caption follows the mask.
  auto place_mask_button = [&] {
    text_button(w, AKTPRIP, [&] { mask = true; }, 465, 146, 32);
  };
  place_mask_button();

  free_slot(thumb_slot_);
  free_slot(thumb_fit_slot_);
  thumb_slot_ = tk_.tlacitka.NAJDIOBR();
  if (thumb_slot_ != kNoSlot && tk_.images.ZALOZOBRAZEK(thumb_slot_, kThumbSize, kThumbSize, 4) != 0)
    thumb_slot_ = kNoSlot;
  thumb_fit_slot_ = tk_.tlacitka.NAJDIOBR();
  if (thumb_fit_slot_ != kNoSlot &&
      tk_.images.ZALOZOBRAZEK(thumb_fit_slot_, kThumbSize, kThumbSize, 1) != 0)
    thumb_fit_slot_ = kNoSlot;
  fill_chooser_list();

  bool chosen = false;
  while (running() && !chosen) {
    pass();
    if (mask) {
      mask = false;
      CISLOPRIP = next_mask(CISLOPRIP);
      AKTPRIP = std::string(kMasks[CISLOPRIP]);
      auto& handles = tk_.okna.OKNO[w].TLAC;
      for (int i = toolkit::kWindowButtons - 1; i >= 0; --i)
        if (handles[i] != toolkit::kNoHandle) {
          tk_.tlacitka.ZRUSTLAC(handles[i]);
          handles[i] = toolkit::kNoHandle;
          break;
        }
      place_mask_button();
      fill_chooser_list();
    }
    if (toggle) {
      toggle = false;
      NAHLEDY = !NAHLEDY;
      last_thumb_entry_ = -1;
      if (!NAHLEDY) {
        tk_.graph.SETFILLSTYLE(1, tk_.images.NAJDIBARVU(64, 64, 64));
        tk_.graph.BAR(445, 280, 572, 407);
        tk_.tlacitka.NUTNOVYKRESLIT = true;
      }
    }
    if (ok) {
      ok = false;
      const int at = list.highlighted();
      if (at >= 0 && size_t(at) < chooser_entries_.size()) {
        const toolkit::BrowserEntry e = chooser_entries_[size_t(at)];
        if (e.kind == toolkit::BrowserEntry::kFile) {
          SOUBORKALK = AKTUALNIADR + e.name;
          chooser_mark_ = e.name;
          chosen = true;
        } else {
          // Up: the folder just left is highlighted in its parent.
          chooser_mark_ = e.kind == toolkit::BrowserEntry::kParent ? last_folder_name(AKTUALNIADR) : "";
          AKTUALNIADR = child_folder(AKTUALNIADR, e.name);
          fill_chooser_list();
        }
      }
    }
    show_thumbnail();
  }
  free_slot(thumb_slot_);
  free_slot(thumb_fit_slot_);
  tk_.okna.SMAZOKNO(w);
  chooser_window_ = -1;
  return chosen && running();
}

// ---------------------------------------------------------------- preview and choices

void Workflow::show_preview_picture(uint16_t slot) {
  tk_.images.ZOBRAZOBRAZEK(slot, kPictureX, kPictureY);
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

bool Workflow::preview_and_choices(bool& again) {
  images::Obrazky& img = tk_.images;
  again = false;
  free_slot(preview_slot_);
  preview_slot_ = tk_.tlacitka.NAJDIOBR();
  if (preview_slot_ == kNoSlot || img.ZALOZOBRAZEK(preview_slot_, kPreviewW, kPreviewH, 4) != 0) {
    preview_slot_ = kNoSlot;
    fatal(kErrLoad);
    return false;
  }
  img.NORMALIZACE = 0;
  const uint8_t loaded = img.NAHRAJOBRAZEK(preview_slot_, SOUBORKALK);
  const images::TOBRAZEK& p = img.OBRAZKY[preview_slot_];
  if (loaded != 0 || p.BPP != 0 || p.VELX <= 0 || p.VELY <= 0) {
    fatal(kErrLoad);
    return false;
  }
  if (img.ORIGX > kPictureMaxW || img.ORIGY > kPictureMaxH) {
    fatal(kErrTooLarge);
    return false;
  }
  picture_w_ = img.ORIGX;
  picture_h_ = img.ORIGY;
  preview_w_ = p.VELX;
  preview_h_ = p.VELY;

  tk_.graph.CLEARDEVICE();
  open_window(20, 20, 600, 300, false, "nahled");
  show_preview_picture(preview_slot_);

  // Brightness.
  int win = open_window(20, 330, 600, 140, false, "vyberjas", "vyberjast");
  bool chosen = false;
  picture_button(win, "_jasne.bmp", "Svetly", [&] { JASNYOBRAZEK = chosen = true; }, 140, 62, 100, 60, 56);
  picture_button(win, "_tmave.bmp", "Tmavy", [&] { JASNYOBRAZEK = false; chosen = true; }, 320, 62, 100, 60, 50);
  text_button(win, "Pomoc", [&] { help({"helpjas"}); }, -10, -8, 59);
  wait_for(chosen);
  tk_.okna.SMAZOKNO(win);
  if (!running()) return false;

  // Quality.
  win = open_window(20, 330, 600, 140, false, "vyberkval", "vyberkvalt");
  chosen = false;
  picture_button(win, "krivky.bmp", "Krivky", [&] { KVALITA = 1; chosen = true; }, 40, 62, 100, 60, 49);
  picture_button(win, "prelivy.bmp", "Prelivy", [&] { KVALITA = 2; chosen = true; }, 200, 62, 100, 60, 50);
  picture_button(win, "fotky.bmp", "Fotky", [&] { KVALITA = 3; chosen = true; }, 360, 62, 100, 60, 51);
  text_button(win, "Pomoc", [&] { help({"helpkval"}); }, -10, -8, 59);
  wait_for(chosen);
  tk_.okna.SMAZOKNA();
  if (!running()) return false;

  // The picture again with the colour reduction the answers give, so the user sees its effect.
  HODNNORM = colour_reduction(JASNYOBRAZEK, KVALITA);
  img.NORMALIZACE = HODNNORM;
  const uint8_t reloaded = img.NAHRAJOBRAZEK(preview_slot_, SOUBORKALK);
  img.NORMALIZACE = 0;
  if (reloaded != 0 || p.BPP != 0 || p.VELX <= 0 || p.VELY <= 0) {
    fatal(kErrLoad);
    return false;
  }
  tk_.graph.CLEARDEVICE();
  open_window(20, 20, 600, 300, false, "nahled2");
  show_preview_picture(preview_slot_);

  // Approval.
  win = open_window(20, 330, 600, 140, false, "schvaleni", "schvalenit");
  bool yes = false, no = false;
  text_button(win, "Ano", [&] { yes = true; }, 180, 70, 97);
  text_button(win, "Ne", [&] { no = true; }, 356, 70, 110);
  text_button(win, "Pomoc", [&] { help({"helpschval"}); }, -10, -8, 59);
  while (running() && !yes && !no) pass();
  tk_.okna.SMAZOKNA();
  if (!running()) return false;
  if (no) {
    free_slot(preview_slot_);
    again = true;
  }
  return true;
}

// ---------------------------------------------------------------- area

void Workflow::draw_cross_hairs() {
  draw::Graph& g = tk_.graph;
  toolkit::StyleGuard style(g);
  g.SETWRITEMODE(1);
  const Area& a = preview_area_;
  const int32_t right = kPictureX + preview_w_ - 1, bottom = kPictureY + preview_h_ - 1;
  g.SETCOLOR(255);
  g.LINE(kPictureX + a.X1, kPictureY, kPictureX + a.X1, bottom);
  g.LINE(kPictureX, kPictureY + a.Y1, right, kPictureY + a.Y1);
  g.SETCOLOR(191);
  g.LINE(kPictureX + a.X2, kPictureY, kPictureX + a.X2, bottom);
  g.LINE(kPictureX, kPictureY + a.Y2, right, kPictureY + a.Y2);
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

bool Workflow::area_dialog() {
  tk_.graph.CLEARDEVICE();
  open_window(20, 20, 600, 300, false, "rozmery");
  show_preview_picture(preview_slot_);
  const int win = open_window(20, 330, 600, 140, false, "rozmery2", "rozmery2t");
  bool ok = false, again = false;
  text_button(win, "Znovu", [&] { again = true; }, 150, 70, 32);
  text_button(win, "OK", [&] { ok = true; }, 268, 70, 13);
  text_button(win, "Pomoc", [&] { help({"helpoblast"}); }, -10, -8, 59);

  preview_area_ = initial_preview_area(preview_w_, preview_h_);
  int state = 0;
  draw_cross_hairs();
  toolkit::Tlacitka& b = tk_.tlacitka;
  int last_x = b.MYSX, last_y = b.MYSY, last_buttons = b.TLACM;
  while (running()) {
    pass();
    if (again) {
      again = false;
      draw_cross_hairs();
      preview_area_ = initial_preview_area(preview_w_, preview_h_);
      state = 0;
      draw_cross_hairs();
    }
    if (ok) {
      ok = false;
      // An area without width or height has nothing to embroider.
      if (preview_area_.X2 > preview_area_.X1 && preview_area_.Y2 > preview_area_.Y1) break;
    }
    const int mx = b.MYSX - kPictureX, my = b.MYSY - kPictureY;
    const bool inside = mx >= 0 && my >= 0 && mx < preview_w_ && my < preview_h_;
    const int pressed = b.TLACM & ~last_buttons;
    const bool moved = b.MYSX != last_x || b.MYSY != last_y;
    last_x = b.MYSX;
    last_y = b.MYSY;
    last_buttons = b.TLACM;
    if (pressed & 4) {
      draw_cross_hairs();
      preview_area_ = initial_preview_area(preview_w_, preview_h_);
      state = 0;
      draw_cross_hairs();
      continue;
    }
    if (!inside) continue;
    Area& a = preview_area_;
    if (state == 0 && ((pressed & 1) || moved)) {
      draw_cross_hairs();
      a.X1 = mx;
      a.Y1 = my;
      // The second corner stays below and to the right of the first.
      if (a.X2 <= a.X1) a.X2 = preview_w_ - 1;
      if (a.Y2 <= a.Y1) a.Y2 = preview_h_ - 1;
      draw_cross_hairs();
      if (pressed & 1) state = 1;
    } else if (state == 1 && ((pressed & 2) || moved) && mx > a.X1 && my > a.Y1) {
      draw_cross_hairs();
      a.X2 = mx;
      a.Y2 = my;
      draw_cross_hairs();
      if (pressed & 2) state = 2;
    }
  }
  if (!running()) return false;
  draw_cross_hairs();  // off again: the colour dialog reads the picture's own pixels
  tk_.okna.SMAZOKNO(win);
  return true;
}

// ---------------------------------------------------------------- background colours

bool Workflow::background_dialog() {
  const int win = open_window(20, 330, 600, 140, false, "barva");
  draw::Graph& g = tk_.graph;
  const uint8_t body = tk_.images.NAJDIBARVU(64, 64, 64), red = tk_.images.NAJDIBARVU(255, 0, 0);
  auto draw_box = [&](int i) {
    const int32_t x = 50 + 110 * i;
    toolkit::StyleGuard style(g);
    g.SETFILLSTYLE(1, BARVAPODKL[i] < 256 ? BARVAPODKL[i] : body);
    g.BAR(x, 360, x + 100, 460);
    g.SETCOLOR(red);
    g.RECTANGLE(x, 360, x + 100, 460);
    if (BARVAPODKL[i] >= 256) {
      g.SETCOLOR(255);
      g.SETTEXTSTYLE(4, 0, 16);
      g.SETTEXTJUSTIFY(1, 1);
      g.OUTTEXTXY(x + 50, 410, toolkit::INT2STR(i + 1));
    }
    tk_.tlacitka.NUTNOVYKRESLIT = true;
  };
  bool ok = false;
  for (int i = 0; i < 3; ++i) {
    text_button(win, ">" + toolkit::INT2STR(i + 1) + "<", [this, i, &draw_box] {
      BARVAPODKL[i] = kNoColour;
      draw_box(i);
    }, 380 + 72 * i, 32, static_cast<uint8_t>('1' + i));
    draw_box(i);
  }
  text_button(win, "OK", [&] { ok = true; }, 380, 80, 13);
  text_button(win, "Pomoc", [&] { help({"helpbarva"}); }, 524, 80, 59);
  toolkit::Tlacitka& b = tk_.tlacitka;
  int last_buttons = b.TLACM;
  while (running() && !ok) {
    pass();
    const int pressed = b.TLACM & ~last_buttons;
    last_buttons = b.TLACM;
    const int mx = b.MYSX - kPictureX, my = b.MYSY - kPictureY;
    if (!pressed || mx < 0 || my < 0 || mx >= preview_w_ || my >= preview_h_) continue;
    const int box = (pressed & 1) ? 0 : (pressed & 2) ? 1 : 2;
    BARVAPODKL[box] = g.screen_pixel(b.MYSX, b.MYSY);
    draw_box(box);
  }
  tk_.okna.SMAZOKNO(win);
  return running();
}

// ---------------------------------------------------------------- size

bool Workflow::size_dialog() {
  const int win = open_window(20, 330, 600, 140, false, "velik");
  if (win < 0) return false;
  toolkit::Okna& o = tk_.okna;
  bool ok = false, again = false;
  text_button(win, "Znovu", [&] {
    again = true;
    o.KONECZADAVANI = 2;
  }, 380, 40, 32);
  text_button(win, "OK", [&] {
    ok = true;
    o.KONECZADAVANI = 1;
  }, 452, 40, 13);
  text_button(win, "Pomoc", [&] { help({"helpvelik"}); }, 524, 40, 59);
  const uint8_t field_bg = tk_.images.NAJDIBARVU(0, 0, 64);
  const uint8_t body = tk_.images.NAJDIBARVU(64, 64, 64);
  text_at(60, 360, t("sirka"), 255, body, 85);
  text_at(60, 390, t("vyska"), 255, body, 85);
  text_at(200, 360, "mm", 255, body, 30);
  text_at(200, 390, "mm", 255, body, 30);
  auto show_fields = [&] {
    o.VYPISUDAJ(150, 360, 255, field_bg, 5, toolkit::INT2STR(ROZMERX));
    o.VYPISUDAJ(150, 390, 255, field_bg, 5, toolkit::INT2STR(ROZMERY));
    tk_.tlacitka.NUTNOVYKRESLIT = true;
  };
  // Edits one field; the other side follows in proportion when the value changed.
  auto edit = [&](int32_t y, int32_t& value, int32_t& other) {
    int32_t number = 0;
    std::string text = toolkit::INT2STR(value), result;
    o.ZISKEJUDAJ(150, y, 255, field_bg, 5, number, text, result);
    const bool confirmed = o.KONECZADAVANI == 1 || o.KONECZADAVANI == 4;
    if (confirmed && !again && number > 0 && number != value) {
      if (value > 0) other = static_cast<int32_t>(int64_t{other} * number / value);
      value = number;
    }
    show_fields();
  };
  for (;;) {
    again = ok = false;
    text_at(250, 375, "", 255, body, 110);
    show_fields();
    edit(360, ROZMERX, ROZMERY);
    if (!running()) return false;
    if (again) continue;
    edit(390, ROZMERY, ROZMERX);
    if (!running()) return false;
    if (again) continue;
    ok = false;
    text_at(250, 375, t("znovudotaz"), tk_.images.NAJDIBARVU(255, 255, 0), body, 110);
    while (running() && !ok && !again) pass();
    if (!running()) return false;
    if (ok) break;
  }
  VYBRANO = true;
  o.SMAZOKNO(win);
  return true;
}

// ---------------------------------------------------------------- background marker

bool Workflow::marker_dialog() {
  tk_.okna.SMAZOKNA();
  tk_.graph.CLEARDEVICE();
  const int win = open_window(50, 25, 540, 430, false, "pozadi", "pozadit");
  if (win < 0) return false;
  draw::Graph& g = tk_.graph;
  const uint8_t body = tk_.images.NAJDIBARVU(64, 64, 64);
  auto show = [&](const std::string& status) {
    {
      toolkit::StyleGuard style(g);
      g.SETFILLSTYLE(1, BARVAPOZADI);
      g.BAR(150, 100, 490, 350);
      g.SETCOLOR(255);
      g.RECTANGLE(149, 99, 491, 351);
    }
    text_at(150, 356, t("barvacislo") + toolkit::INT2STR(BARVAPOZADI), 255, body, 340);
    text_at(150, 376, status, tk_.images.NAJDIBARVU(255, 255, 0), body, 340);
  };
  bool ok = false, change = false;
  text_button(win, "Zmen", [&] { change = true; }, 120, -10, 32);
  text_button(win, "OK", [&] { ok = true; }, 238, -10, 13);
  text_button(win, "Pomoc", [&] { help({"helppozadi"}); }, 356, -10, 59);
  show("");
  while (running() && !ok) {
    pass();
    if (change) {
      change = false;
      const int16_t c = pick_colour(BARVAPOZADI);
      // Index 1 marks the pixels the estimate has used up; as the marker every fill would run
      // out into the background.
      if (c == kVisited) {
        show(t("barva1"));
      } else {
        BARVAPOZADI = static_cast<uint8_t>(c);
        show("");
      }
    }
  }
  tk_.okna.SMAZOKNO(win);
  return running();
}

}  // namespace ksv::calculator::ui
