// Seznam: entries, folder listing, sorting by character position, drawing of the list box in its
// display modes, and the cursor movements of the navigation buttons.
//
// Sections: entries · folder listing · sorting · drawing · navigation
#include "toolkit/seznamy.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <span>

#include "toolkit/kit/style_guard.h"

namespace ksv::toolkit {

Seznam::Seznam(draw::Graph& graph, images::Obrazky& images, Texty& texty)
    : g_(graph), img_(images), texty_(texty) {
  SEZNAM.reserve(kListSize);
  VELSEZY = 11 * texty_.AKTVELFONTU;
}

// ---------------------------------------------------------------- entries

void Seznam::SMAZSEZNAM() {
  SEZNAM.clear();
  AKTSTRANKA = 0;
  AKTPRVEK = 0;
}

uint8_t Seznam::PRIDEJPRVEK(const std::string& name, const std::string& spec, bool upper) {
  if (name.empty()) return kEmptyField;
  if (SEZNAM.size() >= kListSize) return kListFull;
  TPrvek e{name.substr(0, kNameLength), spec.substr(0, kMaxString)};
  if (upper) {
    e.NAZEV = UPSTRING(e.NAZEV);
    e.SPEC = UPSTRING(e.SPEC);
  }
  SEZNAM.push_back(std::move(e));
  return 0;
}

// The n-th code-0-ended field (1-based); a last field without its end still counts.
static bool field_bounds(const std::string& spec, int n, size_t& begin, size_t& end) {
  size_t pos = 0;
  for (int i = 1; pos < spec.size(); ++i) {
    size_t stop = spec.find('\0', pos);
    if (stop == std::string::npos) stop = spec.size();
    if (i == n) {
      begin = pos;
      end = stop;
      return true;
    }
    pos = stop + 1;
  }
  return false;
}

std::string Seznam::VRATSPECPARAM(int entry, int parameter) const {
  if (entry < 0 || entry >= PRVKU() || parameter < 0) return "";
  const TPrvek& e = SEZNAM[entry];
  if (parameter == 0) return e.NAZEV;
  size_t b, en;
  if (!field_bounds(e.SPEC, parameter, b, en)) return "";
  return e.SPEC.substr(b, std::min(en - b, kNameLength));
}

uint8_t Seznam::ZMENSPECPAR(int entry, int parameter, const std::string& text) {
  if (entry < 0 || entry >= PRVKU()) return kNoEntry;
  TPrvek& e = SEZNAM[entry];
  size_t b, en;
  if (e.SPEC.empty() || parameter < 1 || !field_bounds(e.SPEC, parameter, b, en))
    return kEmptyField;
  e.SPEC.replace(b, en - b, text);
  if (e.SPEC.size() > kMaxString) e.SPEC.resize(kMaxString);
  return 0;
}

// ---------------------------------------------------------------- folder listing

uint8_t Seznam::VYTVORSEZNAM(std::string folder, const std::string& mask) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  DIR* d = opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return static_cast<uint8_t>(errno ? errno : 1);
  const bool folders = mask.size() == 1 && mask[0] == '\0';
  std::vector<std::string> names;
  while (dirent* de = readdir(d)) names.emplace_back(de->d_name);
  closedir(d);
  // Directory order is whatever the file system keeps; a name order makes every listing alike.
  std::sort(names.begin(), names.end());

  for (const std::string& name : names) {
    std::string path = (folder.empty() ? "." : folder) + "/" + name;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) continue;
    bool is_dir = S_ISDIR(st.st_mode);
    std::string entry;
    if (folders) {
      if (!is_dir || name == ".") continue;
      entry = std::string(1, '\0') + name;
    } else {
      // Masks match as the workshop's users expect them to: "*.bmp" also finds LOGO.BMP.
      if (!S_ISREG(st.st_mode) || fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
      entry = name;
    }
    std::tm tm{};
    localtime_r(&st.st_mtime, &tm);
    std::string spec = std::to_string(static_cast<long long>(st.st_size)) + '\0' +
                       ZAROVNEJ(INT2STR(tm.tm_hour), '0', 2) + ":" +
                       ZAROVNEJ(INT2STR(tm.tm_min), '0', 2) + ":" +
                       ZAROVNEJ(INT2STR(tm.tm_sec), '0', 2) + '\0' +
                       ZAROVNEJ(INT2STR(tm.tm_mday), '0', 2) + "." +
                       ZAROVNEJ(INT2STR(tm.tm_mon + 1), '0', 2) + "." +
                       ZAROVNEJ(INT2STR(tm.tm_year + 1900), '0', 4) + '\0';
    // Names keep their case: on this file system an upper-cased name would no longer open.
    if (PRIDEJPRVEK(entry, spec, false) != 0) break;
  }
  return 0;
}

// ---------------------------------------------------------------- sorting

uint8_t Seznam::SETRIDSEZNAM(int parameter, int order, bool without_extension) {
  if (SEZNAM.empty()) return kListEmpty;
  struct Item {
    std::string key;
    TPrvek entry;
  };
  std::vector<Item> items;
  items.reserve(SEZNAM.size());
  for (size_t i = 0; i < SEZNAM.size(); ++i) {
    std::string k = VRATSPECPARAM(static_cast<int>(i), parameter).substr(0, kNameLength);
    if (without_extension) k = k.substr(0, k.find('.'));
    items.push_back(Item{std::move(k), std::move(SEZNAM[i])});
  }
  // Position by position, neighbours that both reach position k and agree before it are put in
  // order by their k-th byte. Such neighbours form runs that no swap can leave, so ordering each
  // run stably gives exactly what repeated neighbour swapping gives, without its n² passes.
  for (size_t k = 0; k < kNameLength; ++k) {
    size_t i = 0;
    while (i < items.size()) {
      auto joins = [&](size_t a, size_t b) {
        const std::string& x = items[a].key;
        const std::string& y = items[b].key;
        return x.size() > k && y.size() > k && x.compare(0, k, y, 0, k) == 0;
      };
      size_t j = i + 1;
      while (j < items.size() && joins(j - 1, j)) ++j;
      if (j - i > 1)
        std::stable_sort(items.begin() + static_cast<long>(i), items.begin() + static_cast<long>(j),
                         [k, order](const Item& a, const Item& b) {
                           auto ca = static_cast<uint8_t>(a.key[k]);
                           auto cb = static_cast<uint8_t>(b.key[k]);
                           return order == 1 ? ca > cb : ca < cb;
                         });
      i = j;
    }
  }
  for (size_t i = 0; i < items.size(); ++i) SEZNAM[i] = std::move(items[i].entry);
  return 0;
}

// ---------------------------------------------------------------- drawing

uint8_t Seznam::PRVNIVYPISSEZ(int32_t x, int32_t y, int32_t width, int32_t height, int32_t rows,
                              int32_t mode) {
  SEZX = x;
  SEZY = y;
  VELSEZX = width;
  VELSEZY = height;
  VELSTRANKY = static_cast<uint16_t>(std::max(rows, 0));
  AKTMODSEZNAMU = static_cast<uint16_t>(mode);
  AKTSTRANKA = 0;
  AKTPRVEK = 0;
  return VYPISSEZNAM(x, y, width, height, rows, mode);
}

static const char* const kStitchNames[] = {"---",   "Tatami",       "Tatami+Steil", "Aplikace",
                                           "Aplikace+Steil", "Rovny steh", "Saten",
                                           "Dvojity steh", "Trojity steh", "Steil", "Saten+Steil"};

SegmentRowLayout segment_row_layout(draw::Graph& g, int font_size, int offset) {
  constexpr int kGap = 4;
  StyleGuard style(g);
  auto widest = [&](std::span<const char* const> texts) {
    int w = 0;
    for (int font : {4, 20}) {  // plain rows and the highlighted one
      g.SETTEXTSTYLE(font, 0, font_size);
      for (const char* t : texts) w = std::max(w, g.TEXTWIDTH(t));
    }
    return w;
  };
  static const char* const kNumber[] = {"4095"}, *const kStyles[] = {"slaba", "silna"},
                           *const kDirections[] = {"horiz.", "svisle"};
  SegmentRowLayout at;
  at.colour = offset + 10 + widest(kNumber) + kGap;
  at.type = at.colour + SegmentRowLayout::kColourWidth + kGap;
  at.style = at.type + widest(kStitchNames) + kGap;
  at.direction = at.style + widest(kStyles) + kGap;
  at.holes = at.direction + widest(kDirections) + kGap;
  return at;
}

void Seznam::draw_columns(int mode, const TPrvek& e, int offset, int row, int row_top) {
  const int line = texty_.AKTVELFONTU + 1;
  const int base = 25 + row * line;
  auto param = [&](int n) { return VRATSPECPARAM(static_cast<int>(&e - SEZNAM.data()), n); };
  switch (mode & 0x3F) {
    case 1: {
      std::string spec = e.SPEC;
      std::replace(spec.begin(), spec.end(), '\0', ' ');
      g_.OUTTEXTXY(offset + 10, base, spec);
      break;
    }
    case 2:
      for (int n = 1; n <= 3; ++n) g_.OUTTEXTXY(offset + 62 + 70 * n, base, param(n));
      break;
    case 3: {
      uint8_t colour = static_cast<uint8_t>(STR2INT(param(1)));
      int type = STR2INT(param(2));
      const SegmentRowLayout at = segment_row_layout(g_, texty_.AKTVELFONTU, offset);
      {
        StyleGuard style(g_);
        g_.SETFILLSTYLE(1, colour);
        g_.BAR(at.colour, row_top + 2, at.colour + SegmentRowLayout::kColourWidth - 1,
               row_top + line - 3);
      }
      int name = type & 0x7F;
      g_.OUTTEXTXY(at.type, base, name < 11 ? kStitchNames[name] : "---");
      g_.OUTTEXTXY(at.style, base, type >= 128 ? "slaba" : "silna");
      g_.OUTTEXTXY(at.direction, base, param(3) == "0" ? "horiz." : "svisle");
      // Holes as a count beside a small square in the segment's colour: a row of 2 x 2 dots
      // could not be counted and ran into the direction.
      const int holes = STR2INT(param(4));
      if (holes > 0) {
        const int mark_top = row_top + (line - SegmentRowLayout::kHoleMark) / 2;
        {
          StyleGuard style(g_);
          g_.SETCOLOR(colour);
          g_.RECTANGLE(at.holes, mark_top, at.holes + SegmentRowLayout::kHoleMark - 1,
                       mark_top + SegmentRowLayout::kHoleMark - 1);
        }
        g_.OUTTEXTXY(at.holes + SegmentRowLayout::kHoleMark + SegmentRowLayout::kHoleGap, base,
                     INT2STR(holes));
      }
      break;
    }
    case 4:
    case 5:
    case 6:
      if (client_columns) client_columns(mode & 0x3F, e, offset, row_top);
      break;
    case 7: {
      if (STR2INT(param(1)) == 1) g_.OUTTEXTXY(offset + 20, base, "Dovolena");
      if (STR2INT(param(2)) == 1) g_.OUTTEXTXY(offset + 60, base, "Svatek (8h)");
      int plus = STR2INT(param(3)), minus = STR2INT(param(4)), total = STR2INT(param(5));
      if (plus != 0) g_.OUTTEXTXY(offset + 130, base, "+" + INT2STR(plus) + " min.");
      if (minus != 0) g_.OUTTEXTXY(offset + 195, base, "-" + INT2STR(std::abs(minus)) + " min.");
      g_.OUTTEXTXY(offset + 280, base, INT2STR(std::abs(total)) + " min.");
      break;
    }
    default: break;
  }
}

uint8_t Seznam::VYPISSEZNAM(int32_t x, int32_t y, int32_t width, int32_t height, int32_t rows,
                            int32_t mode) {
  ViewportGuard guard(g_);
  const draw::ViewPortType& view = guard.saved();
  StyleGuard style(g_);
  const int line = texty_.AKTVELFONTU + 1;
  const int n = PRVKU();

  g_.SETFILLSTYLE(1, img_.NAJDIBARVU(64, 64, 64));
  g_.BAR(x, y, x + width - 5, y + height);
  g_.SETCOLOR(222);
  g_.RECTANGLE(x - 1, y - 1, x + width - 4, y + height + 1);
  if (n > 0) {
    g_.SETFILLSTYLE(1, img_.NAJDIBARVU(192, 192, 192));
    g_.BAR(x + width - 4, y, x + width, y + height);
    if (n >= 2) {
      int marker = y + (highlighted() * (height - 4)) / (n - 1);
      g_.SETFILLSTYLE(1, img_.NAJDIBARVU(194, 128, 64));
      g_.BAR(x + width - 4, marker, x + width, marker + 3);
    }
  }

  g_.SETVIEWPORT(view.x1 + x, view.y1 + y, view.x1 + x + width - 5, view.y1 + y + height, true);
  g_.SETTEXTJUSTIFY(0, 2);
  // The low byte holds the column layout and two flags (0x80 no name, 0x40 full names).
  const int offset = (mode >> 8) & 0xFF;
  const int low = mode & 0x3F;
  for (int r = 0; r <= rows && AKTSTRANKA + r < n; ++r) {
    const TPrvek& e = SEZNAM[AKTSTRANKA + r];
    const int row_top = 9 + r * line;
    if (r == AKTPRVEK) {
      g_.SETCOLOR(191);
      g_.RECTANGLE(5, row_top, width - 10, 7 + (r + 1) * line);
      g_.SETCOLOR(img_.NAJDIBARVU(255, 255, 0));
      g_.SETTEXTSTYLE(20, 0, texty_.AKTVELFONTU);
    } else {
      g_.SETCOLOR(255);
      g_.SETTEXTSTYLE(4, 0, texty_.AKTVELFONTU);
    }
    if (!(mode & 0x80)) {
      std::string name = low == 10 ? e.SPEC : e.NAZEV;
      if (low == 10) std::replace(name.begin(), name.end(), '\0', ' ');
      if (!name.empty() && name[0] == '\0') name.erase(0, 1);
      if (low == 2 && !(mode & 0x40)) name = name.substr(0, 14);
      g_.OUTTEXTXY(10, 25 + r * line, name);
    }
    draw_columns(mode, e, offset, r, row_top);
  }
  return 0;
}

// ---------------------------------------------------------------- navigation

void Seznam::redraw() {
  uint8_t r = VYPISSEZNAM(SEZX, SEZY, VELSEZX, VELSEZY, VELSTRANKY, AKTMODSEZNAMU);
  if (r != 0) texty_.POSLCHYBA = r;
}

void Seznam::SEZNAMDOLU() {
  if (highlighted() + 1 >= PRVKU()) return;
  if (AKTPRVEK < VELSTRANKY)
    ++AKTPRVEK;
  else
    ++AKTSTRANKA;
  redraw();
}

void Seznam::SEZNAMNAHORU() {
  if (AKTPRVEK > 0)
    --AKTPRVEK;
  else if (AKTSTRANKA > 0)
    --AKTSTRANKA;
  else
    return;
  redraw();
}

void Seznam::STRANKADOLU() {
  const int n = PRVKU();
  if (n > VELSTRANKY && AKTSTRANKA + 2 * VELSTRANKY <= n - 1) {
    AKTSTRANKA = static_cast<uint16_t>(AKTSTRANKA + VELSTRANKY);
    redraw();
  } else {
    SEZNAMKONEC();
  }
}

void Seznam::STRANKANAHORU() {
  if (AKTSTRANKA > VELSTRANKY) {
    AKTSTRANKA = static_cast<uint16_t>(AKTSTRANKA - VELSTRANKY);
  } else {
    AKTSTRANKA = 0;
    AKTPRVEK = 0;
  }
  redraw();
}

void Seznam::SEZNAMZACATEK() {
  if (AKTSTRANKA == 0 && AKTPRVEK == 0) return;
  AKTSTRANKA = 0;
  AKTPRVEK = 0;
  redraw();
}

void Seznam::SEZNAMKONEC() {
  const int n = PRVKU();
  if (n == 0) return;
  if (n <= VELSTRANKY + 1) {
    // Everything fits in the box (it shows VELSTRANKY + 1 rows): highlight the last entry. The
    // paging formula below would put the view before the first entry for such a list.
    AKTSTRANKA = 0;
    AKTPRVEK = static_cast<uint16_t>(n - 1);
  } else {
    AKTSTRANKA = static_cast<uint16_t>(n - VELSTRANKY - 1);
    AKTPRVEK = VELSTRANKY;
  }
  redraw();
}

}  // namespace ksv::toolkit
