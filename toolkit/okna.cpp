// Okna: opening and closing windows, placing their buttons, the input and value fields, the
// colour picker, the painting area and the window-relative shortcuts.
//
// Sections: windows · buttons in windows · fields · colour picker and painting · shortcuts
#include "toolkit/okna.h"

#include <algorithm>

#include "toolkit/kit/style_guard.h"

namespace ksv::toolkit {

Okna::Okna(draw::Graph& graph, images::Obrazky& images, Texty& texty, Tlacitka& buttons,
           Seznam& list)
    : g_(graph), img_(images), texty_(texty), buttons_(buttons), list_(list) {
  for (TOkno& o : OKNO) o.TLAC.fill(kNoHandle);
  texty_.window_width = [this](int index) {
    return index >= 0 && index < kWindowCount ? OKNO[index].VX : 0;
  };
  buttons_.close_windows = [this] { SMAZOKNA(); };
}

// ---------------------------------------------------------------- windows

int32_t Okna::VYTVOROKNO(int32_t x, int32_t y, int32_t width, int32_t height, bool popup,
                         const std::string& title_key, const std::string& body_key) {
  int index = -1;
  for (int i = 0; i < kWindowCount && index < 0; ++i)
    if (OKNO[i].VX == 0) index = i;
  if (index < 0) return kNoFreeWindow;
  if (x == -1) x = 320 - width / 2;
  if (y == -1) y = 240 - height / 2;

  TOkno& o = OKNO[index];
  o = TOkno{};
  o.TLAC.fill(kNoHandle);
  o.X = x;
  o.Y = y;
  o.VX = width;
  o.VY = height;
  o.HORNI = popup;
  ++generation_[index];

  const draw::ViewPortType view = g_.GETVIEWSETTINGS();
  StyleGuard style(g_);
  g_.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
  int ox = x, oy = y;
  if (popup) {
    o.POZADI.resize(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0));
    for (int r = 0; r < height; ++r)
      for (int c = 0; c < width; ++c)
        o.POZADI[static_cast<size_t>(r) * width + c] = g_.GETPIXEL(x + c, y + r);
    g_.SETVIEWPORT(x, y, x + width - 1, y + height - 1, true);
    for (int i = 0; i < kButtonCount; ++i) {
      TTLAC& b = buttons_.TLACITKO[i];
      o.silenced[i] = b.OBRAZEK != kFreeButton && b.AKTIVNI;
      if (b.OBRAZEK != kFreeButton) b.AKTIVNI = false;
    }
    ox = oy = 0;
  }

  g_.SETWRITEMODE(0);
  g_.SETFILLSTYLE(1, img_.NAJDIBARVU(0, 0, 128));
  g_.BAR(ox, oy, ox + width - 1, oy + 19);
  g_.SETFILLSTYLE(1, popup ? img_.NAJDIBARVU(92, 92, 92) : img_.NAJDIBARVU(64, 64, 64));
  g_.BAR(ox, oy + 20, ox + width - 1, oy + height - 1);

  std::string title = texty_.text(title_key);
  if (!title.empty()) {
    g_.SETCOLOR(255);
    g_.SETTEXTSTYLE(20, 0, 2);
    g_.SETTEXTJUSTIFY(1, 2);
    g_.OUTTEXTXY(ox + width / 2, oy + 18, title);
  }

  std::string main_text = texty_.text(body_key);
  g_.SETCOLOR(img_.NAJDIBARVU(255, 255, 255));
  g_.SETTEXTSTYLE(4, 0, texty_.AKTVELFONTU);
  g_.SETTEXTJUSTIFY(1, 1);
  texty_.VYPISTEXT(ox + width / 2, oy + 40, main_text);
  texty_.OFFSETTEXTUX = 0;
  texty_.OFFSETTEXTUY = 0;
  texty_.OKNOPROVYPIS = static_cast<int16_t>(index);
  const int line = texty_.AKTVELFONTU + 1;
  for (int i = 0; i < texty_.RADKU; ++i) {
    if (texty_.TEXTBUFFER[i] == ">>>") continue;  // marks a further help page, not shown
    texty_.VYPISTEXT(ox + width / 2 + texty_.OFFSETTEXTUX,
                     oy + 40 + (i + 1) * line + texty_.OFFSETTEXTUY, texty_.TEXTBUFFER[i]);
  }

  if (popup)
    g_.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
  else
    g_.SETVIEWPORT(view.x1, view.y1, view.x2, view.y2, view.clip);
  buttons_.NUTNOVYKRESLIT = true;
  return index * 256;
}

void Okna::SMAZOKNO(int index) {
  if (!is_open(index)) return;
  TOkno& o = OKNO[index];
  for (uint16_t& h : o.TLAC)
    if (h != kNoHandle) {
      buttons_.ZRUSTLAC(h);
      h = kNoHandle;
    }
  {
    ViewportGuard view(g_);
    StyleGuard style(g_);
    g_.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
    restore_under(o);
  }
  o = TOkno{};
  o.TLAC.fill(kNoHandle);
  ++generation_[index];
  buttons_.NUTNOVYKRESLIT = true;
}

void Okna::restore_under(const TOkno& o) {
  if (o.HORNI) {
    for (int r = 0; r < o.VY; ++r)
      for (int c = 0; c < o.VX; ++c)
        g_.PUTPIXEL(o.X + c, o.Y + r, o.POZADI[static_cast<size_t>(r) * o.VX + c]);
    for (int i = 0; i < kButtonCount; ++i)
      if (o.silenced[i] && buttons_.TLACITKO[i].OBRAZEK != kFreeButton)
        buttons_.TLACITKO[i].AKTIVNI = true;
  } else {
    g_.SETFILLSTYLE(1, 0);
    g_.BAR(o.X, o.Y, o.X + o.VX - 1, o.Y + o.VY - 1);
  }
}

void Okna::SMAZOKNA() {
  for (int i = 0; i < kWindowCount; ++i) SMAZOKNO(i);
}

int16_t Okna::MISTOX(int index, int16_t fallback) const {
  return is_open(index) ? static_cast<int16_t>(OKNO[index].X) : fallback;
}

int16_t Okna::MISTOY(int index, int16_t fallback) const {
  return is_open(index) ? static_cast<int16_t>(OKNO[index].Y) : fallback;
}

// ---------------------------------------------------------------- buttons in windows

void Okna::button_origin(int index, int32_t x, int32_t y, int32_t w, int32_t h, bool text,
                         int32_t& screen_x, int32_t& screen_y) const {
  const TOkno& o = OKNO[index];
  if (text) {
    w = kTextButtonW;
    h = kTextButtonH;
  }
  screen_y = y >= 0 ? o.Y + y : o.Y + o.VY - (-y) - (text ? 33 : h + 1);
  if (x > 0)
    screen_x = o.X + x;
  else if (x < 0)
    screen_x = o.X + o.VX - (-x) - (text ? 65 : w + 1);
  else
    screen_x = o.X + o.VX / 2 - w / 2;
}

int32_t Okna::PRIPRAVTLACPROOKNO(int index, const std::string& label,
                                 std::function<void()> action, int32_t x, int32_t y,
                                 int32_t width, int32_t height, uint8_t key) {
  if (!is_open(index)) return kWindowNotOpen;
  if (label.empty()) return kEmptyLabel;
  int32_t bx, by;
  button_origin(index, x, y, width, height, label[0] == '&', bx, by);
  return button_at(index, label, std::move(action), bx, by, width, height, key);
}

int32_t Okna::button_at(int index, const std::string& label, std::function<void()> action,
                        int32_t x, int32_t y, int32_t width, int32_t height, uint8_t key) {
  if (!is_open(index)) return kWindowNotOpen;
  if (label.empty()) return kEmptyLabel;
  TOkno& o = OKNO[index];
  auto place = std::find(o.TLAC.begin(), o.TLAC.end(), kNoHandle);
  if (place == o.TLAC.end()) return kWindowFull;

  ViewportGuard view(g_);
  g_.SETVIEWPORT(0, 0, draw::kScreenW - 1, draw::kScreenH - 1, false);
  int32_t r = label[0] == '&'
                  ? buttons_.VYTVORTXTTLAC(label.substr(1), std::move(action), x, y, key)
                  : buttons_.VYTVORTLAC(label, std::move(action), x, y, width, height, key);
  if ((r & 0xFFFF) != 0) return r & 0xFFFF;
  *place = static_cast<uint16_t>(r >> 16);
  return 0;
}

// ---------------------------------------------------------------- fields

void Okna::VYPISUDAJ(int32_t x, int32_t y, int32_t text_colour, int32_t background,
                     uint8_t length, const std::string& text) {
  const int f = texty_.AKTVELFONTU;
  ViewportGuard guard(g_);
  const draw::ViewPortType& view = guard.saved();
  StyleGuard style(g_);
  g_.SETFILLSTYLE(1, background);
  g_.BAR(x, y, x + length * (f / 2), y + f);
  // The text stays inside its box: wide letters must not spill over the neighbouring fields.
  g_.SETVIEWPORT(view.x1 + x, view.y1 + y, view.x1 + x + length * (f / 2), view.y1 + y + f, true);
  g_.SETCOLOR(text_colour);
  g_.SETTEXTSTYLE(4, 0, f);
  g_.SETTEXTJUSTIFY(0, 0);
  g_.OUTTEXTXY(1, 1, text.substr(0, length));
}

void Okna::ZISKEJUDAJ(int32_t x, int32_t y, int32_t text_colour, int32_t background,
                      uint8_t length, int32_t& number, std::string& text, std::string& result) {
  if (length == 0) length = 32;
  KONECZADAVANI = 0;
  const bool masked = text == "*secret*";
  std::string edit = masked ? "" : text.substr(0, length);
  auto show = [&] {
    VYPISUDAJ(x, y, text_colour, background, length, masked ? std::string(edit.size(), '*') : edit);
    buttons_.NUTNOVYKRESLIT = true;
  };
  show();

  buttons_.VYMAZFRONTU();
  while (waiting()) {
    OBSLUHAKOMUNIKACE();
    buttons_.OBSLUHATLAC();
    if (buttons_.ended()) break;
    if (buttons_.JEKLAV()) {
      uint8_t k = buttons_.ZISKKLAV();
      if (k == 8) {
        if (!edit.empty()) edit.pop_back();
      } else if (k != 0 && edit.size() < length) {
        edit.push_back(static_cast<char>(k));
      }
      show();
    }
  }

  if (KONECZADAVANI == 1 || KONECZADAVANI == 4) {
    if (edit == std::string(1, '\0')) edit.clear();
    if (edit.empty()) {
      number = 0;
    } else if (is_whole_number(edit)) {
      number = STR2INT(edit);
      text.clear();
      result.clear();
    } else {
      number = 0;
      text = edit;
      result = edit;
    }
  } else {
    result = std::string(1, '\0');  // the cancel marker
    number = 0;
  }
}

// ---------------------------------------------------------------- colour picker and painting

int16_t Okna::VYBERBARVU(int16_t x, int16_t y, uint8_t scale, bool remember) {
  const int s = scale == 0 ? 1 : std::min<int>(scale, 2);
  {
    StyleGuard style(g_);
    g_.SETFILLSTYLE(1, 128);
  g_.BAR(x + 1 - s, y + 1 - s, x + 1 - s + 160 * s - 1, y + 1 - s + 160 * s - 1);
    for (int row = 0; row < 16; ++row)
      for (int col = 0; col < 16; ++col) {
        g_.SETFILLSTYLE(1, row * 16 + col);
        g_.BAR(x + col * 10 * s, y + row * 10 * s, x + col * 10 * s + 8 * s - 1,
               y + row * 10 * s + 8 * s - 1);
      }
  }
  buttons_.NUTNOVYKRESLIT = true;

  int selected = g_.GETCOLOR();
  KONECZADAVANI = 0;
  while (waiting()) {
    OBSLUHAKOMUNIKACE();
    buttons_.OBSLUHATLAC();
    if (buttons_.ended()) break;
    int mx = buttons_.MYSX - x, my = buttons_.MYSY - y;
    if ((buttons_.TLACM & 1) && mx >= 0 && my >= 0 && mx < 160 * s && my < 160 * s) {
      selected = mx / (10 * s) + 16 * (my / (10 * s));
      if (remember) g_.SETCOLOR(selected);
    }
  }
  return KONECZADAVANI == 1 || KONECZADAVANI == 4 ? static_cast<int16_t>(selected) : -1;
}

int32_t Okna::KRESLI(uint16_t x, uint16_t y, uint16_t width, uint16_t height, uint16_t slot,
                     uint8_t mode) {
  if (slot == 65535) {
    slot = buttons_.NAJDIOBR();
    if (slot == 65535 || img_.ZALOZOBRAZEK(slot, width, height, 1) != 0) return kNoFreeSlot;
    StyleGuard style(g_);
    g_.SETFILLSTYLE(1, 0);
    g_.BAR(x, y, x + width - 1, y + height - 1);
  } else {
    if (slot > 63) return images::VELKECISLO;
    if (img_.OBRAZKY[slot].VEL == 0) return images::OBRAZEKNEALOK;
    if (img_.OBRAZKY[slot].BPP != 0) return images::OBRAZEKNENINULA;
    img_.ZOBRAZOBRAZEK(slot, x, y);
  }
  buttons_.NUTNOVYKRESLIT = true;

  // Mode 0 paints points where the left button is held; any other mode draws lines: the right
  // button sets where a line starts, and while the left button is held the line follows the mouse.
  const bool lines = mode != 0;
  int last_x = -1, last_y = -1;
  bool drawing = false;
  KONECZADAVANI = 0;
  while (waiting()) {
    OBSLUHAKOMUNIKACE();
    buttons_.OBSLUHATLAC();
    if (buttons_.ended()) break;
    const int mx = buttons_.MYSX, my = buttons_.MYSY;
    const bool inside = mx >= x && my >= y && mx < x + width && my < y + height;
    ViewportGuard view(g_);
    g_.SETVIEWPORT(x, y, x + width - 1, y + height - 1, true);
    if (!lines) {
      if ((buttons_.TLACM & 1) && inside) {
        g_.PUTPIXEL(mx - x, my - y, static_cast<uint8_t>(g_.GETCOLOR()));
        buttons_.NUTNOVYKRESLIT = true;
      }
    } else {
      if ((buttons_.TLACM & 2) && inside) {
        last_x = mx;
        last_y = my;
        drawing = true;
      } else if ((buttons_.TLACM & 1) && drawing) {
        g_.SETWRITEMODE(0);
        g_.LINE(last_x - x, last_y - y, mx - x, my - y);
        last_x = mx;
        last_y = my;
        buttons_.NUTNOVYKRESLIT = true;
      }
    }
  }
  if (KONECZADAVANI == 1) img_.KOPIRUJOBRAZEK(slot, x, y, width, height);
  return static_cast<int32_t>(slot) << 8;
}

// ---------------------------------------------------------------- shortcuts

void Okna::VLOZOBRAZEKDOOKNA(int index, uint16_t slot, int32_t x, int32_t y) {
  if (is_open(index)) img_.ZOBRAZOBRAZEK(slot, OKNO[index].X + x, OKNO[index].Y + y);
}

uint8_t Okna::PRVNISEZNAMVOKNE(int index, int32_t x, int32_t y, int32_t width, int32_t height,
                               int32_t rows, int32_t mode) {
  if (!is_open(index)) return 0;
  return list_.PRVNIVYPISSEZ(OKNO[index].X + x, OKNO[index].Y + y, width, height, rows, mode);
}

void Okna::ZISKEJUDAJOKNO(int index, int32_t x, int32_t y, int32_t text_colour,
                          int32_t background, uint8_t length, int32_t& number, std::string& text,
                          std::string& result) {
  if (is_open(index))
    ZISKEJUDAJ(OKNO[index].X + x, OKNO[index].Y + y, text_colour, background, length, number,
               text, result);
}

void Okna::VYPISUDAJOKNO(int index, int32_t x, int32_t y, int32_t text_colour,
                         int32_t background, uint8_t length, const std::string& text) {
  if (is_open(index))
    VYPISUDAJ(OKNO[index].X + x, OKNO[index].Y + y, text_colour, background, length, text);
}

void Okna::VYPISTEXTOKNO(int index, int32_t x, int32_t y, const std::string& text) {
  if (is_open(index)) texty_.VYPISTEXT(OKNO[index].X + x, OKNO[index].Y + y, text);
}

}  // namespace ksv::toolkit
