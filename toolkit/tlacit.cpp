// Tlacitka: picture and text buttons, the poll that drives them, and the 255-key queue.
//
// Sections: start-up · creating and freeing · the poll · keyboard queue · closing
#include "toolkit/tlacit.h"

#include <cstdlib>

#include "toolkit/kit/style_guard.h"

namespace ksv::toolkit {

// ---------------------------------------------------------------- start-up

Tlacitka::Tlacitka(draw::Graph& graph, images::Obrazky& images, Texty& texty)
    : exit_program([](int code) { std::exit(code); }), g_(graph), img_(images), texty_(texty) {
  img_.ZRUSOBRAZKY();
  img_.ZALOZOBRAZEK(kLoadSlot, draw::kScreenW, draw::kScreenH, 4);
  BARVYT = {img_.NAJDIBARVU(0, 0, 255), img_.NAJDIBARVU(255, 0, 0), img_.NAJDIBARVU(255, 255, 0)};
}

// ---------------------------------------------------------------- creating and freeing

uint16_t Tlacitka::NAJDIOBR() const {
  for (uint16_t s = 0; s < images::kSlotCount; ++s)
    if (img_.OBRAZKY[s].VEL == 0) return s;
  return 65535;
}

static int free_entry(const std::array<TTLAC, kButtonCount>& t) {
  for (int i = 0; i < kUsableButtons; ++i)
    if (t[i].OBRAZEK == kFreeButton) return i;
  return -1;
}

int32_t Tlacitka::VYTVORTLAC(const std::string& picture, std::function<void()> action, int32_t x,
                             int32_t y, int32_t width, int32_t height, uint8_t key) {
  if (width <= 0 || height <= 0) return kBadSize;
  int index = free_entry(TLACITKO);
  if (index < 0) return kNoFreeButton;

  std::string path = picture;
  for (char& c : path)
    if (c == '\\') c = '/';  // names are written with either separator
  const bool reference = !picture.empty() && picture[0] == '#';
  const std::string shared = reference ? std::string()
                                       : path + '|' + std::to_string(width) + 'x' +
                                             std::to_string(height);
  if (!reference)
    for (const TTLAC& b : TLACITKO)
      if (b.OBRAZEK != kFreeButton && b.GRAFICKE && !b.INTERNI && b.picture == shared) {
        occupy(index, b.OBRAZEK, std::move(action), x, y, key, false, true);
        TLACITKO[index].picture = shared;
        return index * 65536;
      }
  if (NAJDIOBR() == 65535) return kNoFreeSlot;

  uint16_t slot;
  bool internal;
  if (reference) {
    // "#n": a picture the program already holds in slot n (0-9); the button only borrows it.
    if (picture.size() != 2 || picture[1] < '0' || picture[1] > '9') return kBadSlotRef;
    slot = static_cast<uint16_t>(picture[1] - '0');
    if (img_.OBRAZKY[slot].VEL == 0) return kBadSlotRef;
    internal = true;
  } else {
    uint8_t r = img_.NAHRAJOBRAZEK(kLoadSlot, path);
    if (r != 0) return r;
    slot = NAJDIOBR();
    if (slot == 65535 || img_.ZALOZOBRAZEK(slot, width, height, 1) != 0) return kNoFreeSlot;
    img_.ZMVELIKOSTI(kLoadSlot, slot, width, height, 2);
    internal = false;
  }
  occupy(index, slot, std::move(action), x, y, key, internal, true);
  TLACITKO[index].picture = shared;
  return index * 65536;
}

void Tlacitka::occupy(int index, uint16_t picture, std::function<void()> action, int32_t x,
                      int32_t y, uint8_t key, bool internal, bool graphic) {
  TTLAC& b = TLACITKO[index];
  b = TTLAC{};
  b.OBRAZEK = picture;
  b.FUNKCE = std::move(action);
  b.X = x;
  b.Y = y;
  b.KLAV = key;
  b.INTERNI = internal;
  b.AKTIVNI = true;
  b.GRAFICKE = graphic;
  b.STAV = 255;
  ++AKTIVNICHTLAC;
}

int32_t Tlacitka::VYTVORTXTTLAC(const std::string& caption, std::function<void()> action,
                                int32_t x, int32_t y, uint8_t key) {
  int index = free_entry(TLACITKO);
  if (index < 0) return kNoFreeButton;
  occupy(index, kTextButton, std::move(action), x, y, key, true, false);

  StyleGuard style(g_);
  g_.SETFILLSTYLE(1, img_.NAJDIBARVU(192, 192, 192));
  g_.SETCOLOR(img_.NAJDIBARVU(64, 64, 64));
  g_.FILLRECT(x, y, x + kTextButtonW, y + kTextButtonH);
  g_.SETCOLOR(0);
  g_.SETTEXTJUSTIFY(1, 2);
  // Every text button's caption is set in one bold size, so the buttons of a window read
  // alike (a caption shrunk to fit stood tiny beside its neighbours); the size holds all the
  // programs' captions, and a longer one is abbreviated rather than shrunk or spilled over.
  g_.SETTEXTSTYLE(20, 0, kCaptionSize);
  g_.OUTTEXTXY(x + 32, y + 26, draw::abbreviated(g_, caption, kTextButtonW - 4));
  return index * 65536;
}

void Tlacitka::ZRUSTLAC(int index) {
  if (index < 0 || index >= kButtonCount) return;
  TTLAC& b = TLACITKO[index];
  if (b.OBRAZEK == kFreeButton) return;
  const uint16_t slot = b.OBRAZEK;
  const bool owned = b.GRAFICKE && !b.INTERNI;
  b = TTLAC{};
  if (owned && slot_users(slot) == 0) img_.ZRUSOBRAZEK(slot);
  --AKTIVNICHTLAC;
  if (AKTTLAC == index) AKTTLAC = kNoButton;
}

void Tlacitka::ZRUSTLACITKA() {
  for (int i = 0; i < kButtonCount; ++i) ZRUSTLAC(i);
}

int Tlacitka::slot_users(uint16_t slot) const {
  int n = 0;
  for (const TTLAC& b : TLACITKO)
    if (b.OBRAZEK == slot && b.GRAFICKE && !b.INTERNI) ++n;
  return n;
}

int Tlacitka::width(int index) const {
  const TTLAC& b = TLACITKO[index];
  return b.GRAFICKE ? img_.OBRAZKY[b.OBRAZEK].VELX : kTextButtonW;
}

int Tlacitka::height(int index) const {
  const TTLAC& b = TLACITKO[index];
  return b.GRAFICKE ? img_.OBRAZKY[b.OBRAZEK].VELY : kTextButtonH;
}

// ---------------------------------------------------------------- the poll

void Tlacitka::frame(int index, int colour_slot) {
  const TTLAC& b = TLACITKO[index];
  g_.SETCOLOR(BARVYT[colour_slot]);
  g_.RECTANGLE(b.X - 1, b.Y - 1, b.X + width(index), b.Y + height(index));
}

void Tlacitka::OBSLUHATLAC() {
  if (g_.CLOSEGRAPHREQUEST()) {
    KONEC();
    return;
  }
  ViewportGuard view(g_);
  StyleGuard style(g_);
  g_.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
  g_.SETWRITEMODE(0);

  int key = -1;
  bool extended = false;
  if (g_.KEYPRESSED()) {
    key = g_.READKEY();
    if (key == 0) {
      key = g_.READKEY();
      extended = true;
    }
  }
  MYSX = g_.GETMOUSEX();
  MYSY = g_.GETMOUSEY();
  TLACM = g_.GETMOUSEBUTTONS();
  NOVAMYS = true;

  // Hot keys in ';'..'Z' are the second codes of extended keys (F1 = 59, Up = 72, Insert = 82):
  // the same number typed as a character ("R", "H", ";") goes to the input, never to a button.
  const bool shadow_of_extended = !extended && key >= ';' && key <= 'Z';
  bool drawn = false;
  for (int i = 0; i < kButtonCount; ++i) {
    TTLAC& b = TLACITKO[i];
    if (b.OBRAZEK == kFreeButton || !b.AKTIVNI) continue;
    if (b.KLAV != 0 && key == b.KLAV && !shadow_of_extended) {
      // A key fires one button only: the action may build the next screen, whose buttons
      // must not see the same key press again.
      key = -1;
      if (b.FUNKCE) {
        auto action = b.FUNKCE;  // the action may free this very entry
        action();
      }
      if (ended_) return;
      if (b.OBRAZEK == kFreeButton || !b.AKTIVNI) continue;  // the action removed it
    }
    if (b.STAV == 255) {
      if (b.GRAFICKE) img_.ZOBRAZOBRAZEK(b.OBRAZEK, b.X, b.Y);
      b.STAV = 0;
      frame(i, 0);
      drawn = true;
      break;
    }
    bool inside = MYSX >= b.X && MYSX <= b.X + width(i) && MYSY >= b.Y && MYSY <= b.Y + height(i);
    if (inside) {
      if (b.STAV == 0) {
        frame(i, 1);
        b.STAV = 1;
        AKTTLAC = static_cast<uint16_t>(i);
        drawn = true;
        break;
      }
      if (b.STAV == 1 && (TLACM & 1)) {
        frame(i, 2);
        b.STAV = 2;
        drawn = true;
        break;
      }
      if (b.STAV == 2 && !(TLACM & 1)) {
        frame(i, 1);
        b.STAV = 1;
        drawn = true;
        if (b.FUNKCE) {
          auto action = b.FUNKCE;  // the action may free this very entry
          action();
        }
        break;
      }
    } else if (b.STAV != 0) {
      frame(i, 0);
      b.STAV = 0;
      AKTTLAC = kNoButton;
      drawn = true;
      break;
    }
  }
  if (ended_) return;

  if (key > 0) {
    const uint8_t at = FZAPIS;
    if (PRIDEJKLAV(static_cast<uint8_t>(key)))
      extended_[at] = extended;
    else
      texty_.POSLCHYBA = kQueueFull;
  }
  if (drawn || NUTNOVYKRESLIT) g_.UPDATEGRAPH(2);
  NUTNOVYKRESLIT = false;
}

// ---------------------------------------------------------------- keyboard queue

bool Tlacitka::PRIDEJKLAV(uint8_t key) {
  if (static_cast<uint8_t>(FZAPIS + 1) == FCTENI) return false;
  extended_[FZAPIS] = false;
  FRONTA[FZAPIS++] = key;
  return true;
}

int Tlacitka::take_key() {
  if (FZAPIS == FCTENI) return -1;
  const bool extended = extended_[FCTENI];
  return FRONTA[FCTENI++] + (extended ? kExtendedKey : 0);
}

uint8_t Tlacitka::ZISKKLAV() {
  if (FZAPIS == FCTENI) return 0;
  return FRONTA[FCTENI++];
}

// ---------------------------------------------------------------- closing

void Tlacitka::KONEC() {
  if (!g_.CLOSEGRAPHREQUEST()) return;
  ZRUSTLACITKA();
  close_windows();
  img_.ZRUSOBRAZKY();
  g_.CLOSEGRAPH();
  ended_ = true;
  exit_program(0);
}

}  // namespace ksv::toolkit
