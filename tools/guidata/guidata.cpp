// Button pictures: list parsing and rendering through the drawing layer (without a display) and
// the image slots' BMP writer.
#include "tools/guidata/guidata.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <sstream>

#include "images/obrazky.h"
#include "toolkit/draw/graph.h"
#include "toolkit/draw/headless.h"

namespace ksv::guidata {
namespace {

constexpr int kMaxSide = 320;

bool plain_name(const std::string& n) {
  if (n.size() < 5 || n.size() > 64 || n[0] == '.') return false;
  for (char c : n)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'))
      return false;
  return n.compare(n.size() - 4, 4, ".bmp") == 0;
}

const char* const kIcons[] = {"up",   "down",   "left",  "right",  "pageup", "pagedown",
                              "prev", "next",   "tick",  "cross",  "plus",   "pencil",
                              "line", "light",  "dark",  "curves", "gradients", "photo"};

}  // namespace

bool known_icon(const std::string& name) {
  for (const char* i : kIcons)
    if (name == i) return true;
  return false;
}

bool parse_list(const std::string& text, std::vector<PictureSpec>& out, std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  out.clear();
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    std::istringstream words(line);
    PictureSpec p;
    std::string size, kind;
    words >> p.file >> size >> kind;
    std::getline(words, p.look);
    size_t a = p.look.find_first_not_of(" \t");
    p.look = a == std::string::npos ? "" : p.look.substr(a);
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    if (!plain_name(p.file)) return fail("'" + p.file + "' is not a plain .bmp file name");
    char x = 0;
    std::istringstream sz(size);
    if (!(sz >> p.width >> x >> p.height) || x != 'x' || p.width < 4 || p.height < 4 ||
        p.width > kMaxSide || p.height > kMaxSide)
      return fail("size '" + size + "' is not WIDTHxHEIGHT between 4 and 320");
    if (kind == "icon") {
      p.icon = true;
      if (!known_icon(p.look)) return fail("unknown icon '" + p.look + "'");
    } else if (kind != "text" || p.look.empty()) {
      return fail("expected 'text WORDS' or 'icon NAME'");
    }
    out.push_back(p);
  }
  return true;
}

namespace {

// Draws a filled triangle by rows (the drawing layer has lines and bars only).
void triangle(draw::Graph& g, int x1, int y1, int x2, int y2, int x3, int y3) {
  int top = std::min({y1, y2, y3}), bottom = std::max({y1, y2, y3});
  for (int y = top; y <= bottom; ++y) {
    int lo = 10000, hi = -10000;
    auto edge = [&](int ax, int ay, int bx, int by) {
      if ((y < ay && y < by) || (y > ay && y > by)) return;
      if (ay == by) {
        lo = std::min({lo, ax, bx});
        hi = std::max({hi, ax, bx});
        return;
      }
      int x = ax + (bx - ax) * (y - ay) / (by - ay);
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    };
    edge(x1, y1, x2, y2);
    edge(x2, y2, x3, y3);
    edge(x3, y3, x1, y1);
    if (lo <= hi) g.LINE(lo, y, hi, y);
  }
}

void draw_icon(draw::Graph& g, images::Obrazky& img, const std::string& name, int w, int h) {
  const int cx = w / 2, cy = h / 2, s = std::min(w, h) / 2 - 3;
  g.SETCOLOR(0);
  if (name == "up") triangle(g, cx - s, cy + s / 2, cx + s, cy + s / 2, cx, cy - s / 2 - 1);
  if (name == "down") triangle(g, cx - s, cy - s / 2, cx + s, cy - s / 2, cx, cy + s / 2 + 1);
  if (name == "left" || name == "prev") triangle(g, cx + s / 2, cy - s, cx + s / 2, cy + s, cx - s / 2, cy);
  if (name == "right" || name == "next") triangle(g, cx - s / 2, cy - s, cx - s / 2, cy + s, cx + s / 2, cy);
  if (name == "pageup") {
    triangle(g, cx - 4, cy - s, cx - 4, cy + s, cx - 4 - s, cy);
    triangle(g, cx + s, cy - s, cx + s, cy + s, cx, cy);
  }
  if (name == "pagedown") {
    triangle(g, cx - s, cy - s, cx - s, cy + s, cx, cy);
    triangle(g, cx + 4, cy - s, cx + 4, cy + s, cx + 4 + s, cy);
  }
  if (name == "tick") {
    g.SETCOLOR(img.NAJDIBARVU(0, 128, 0));
    for (int d = 0; d < 3; ++d) {
      g.LINE(cx - s, cy + d - 1, cx - s / 3, cy + s - 1 + d - 1);
      g.LINE(cx - s / 3, cy + s - 1 + d - 1, cx + s, cy - s + d);
    }
  }
  if (name == "cross") {
    g.SETCOLOR(img.NAJDIBARVU(192, 0, 0));
    for (int d = -1; d <= 1; ++d) {
      g.LINE(cx - s + d, cy - s, cx + s + d, cy + s);
      g.LINE(cx - s + d, cy + s, cx + s + d, cy - s);
    }
  }
  if (name == "plus") {
    g.SETFILLSTYLE(1, img.NAJDIBARVU(0, 128, 0));
    g.BAR(cx - s, cy - 1, cx + s, cy + 1);
    g.BAR(cx - 1, cy - s, cx + 1, cy + s);
  }
  if (name == "pencil") {
    g.SETCOLOR(img.NAJDIBARVU(192, 128, 0));
    for (int d = -1; d <= 1; ++d) g.LINE(cx - s + 3, cy + s - 3 + d, cx + s, cy - s + d);
    g.SETCOLOR(0);
    g.LINE(cx - s, cy + s, cx - s + 3, cy + s - 3);
  }
  if (name == "line") {
    g.LINE(cx - s * 2, cy + s, cx + s * 2, cy - s);
    g.LINE(cx - s * 2, cy + s - 1, cx + s * 2, cy - s - 1);
  }
  if (name == "light" || name == "dark") {
    // A sun on a light sky, or a moon on a dark one: the picture is light or dark.
    bool light = name == "light";
    g.SETFILLSTYLE(1, light ? img.NAJDIBARVU(160, 224, 255) : img.NAJDIBARVU(0, 0, 64));
    g.BAR(3, 3, w - 4, h - 4);
    g.SETCOLOR(light ? img.NAJDIBARVU(255, 224, 0) : img.NAJDIBARVU(224, 224, 192));
    int r = s / 2;
    for (int y = -r; y <= r; ++y)
      for (int x = -r; x <= r; ++x)
        if (x * x + y * y <= r * r && (light || (x - r / 2) * (x - r / 2) + y * y > r * r / 2))
          g.PUTPIXEL(cx + x, cy + y, static_cast<uint8_t>(g.GETCOLOR()));
    if (light)
      for (int a = 0; a < 8; ++a) {
        static const int dx[] = {1, 1, 0, -1, -1, -1, 0, 1}, dy[] = {0, 1, 1, 1, 0, -1, -1, -1};
        g.LINE(cx + dx[a] * (r + 3), cy + dy[a] * (r + 3), cx + dx[a] * (r + 8), cy + dy[a] * (r + 8));
      }
  }
  if (name == "curves") {
    // Flat areas with sharp edges: a logo of few colours.
    g.SETFILLSTYLE(1, img.NAJDIBARVU(255, 255, 255));
    g.BAR(3, 3, w - 4, h - 4);
    g.SETFILLSTYLE(1, img.NAJDIBARVU(224, 0, 0));
    g.BAR(10, 10, w / 2, h - 12);
    g.SETFILLSTYLE(1, img.NAJDIBARVU(0, 0, 192));
    g.BAR(w / 2 - 8, h / 2 - 6, w - 10, h - 8);
  }
  if (name == "gradients") {
    for (int x = 3; x < w - 3; ++x) {
      g.SETCOLOR(img.NAJDIBARVU(static_cast<uint8_t>(x * 255 / w), 64,
                                static_cast<uint8_t>(255 - x * 255 / w)));
      g.LINE(x, 3, x, h - 4);
    }
  }
  if (name == "photo") {
    for (int y = 3; y < h - 3; ++y)
      for (int x = 3; x < w - 3; ++x)
        g.PUTPIXEL(x, y, img.NAJDIBARVU(static_cast<uint8_t>((x * 37 + y * 11) % 200 + 40),
                                        static_cast<uint8_t>(y * 255 / h),
                                        static_cast<uint8_t>((x * y) % 160 + 60)));
  }
}

}  // namespace

CaptionStyle caption_style(const std::vector<PictureSpec>& list, int width, int height) {
  draw::Graph g(std::make_unique<draw::HeadlessBackend>());
  std::vector<std::string> labels;
  for (const PictureSpec& p : list)
    if (!p.icon && p.width == width && p.height == height) labels.push_back(p.look);
  // How many labels fit, and by how many pixels the others overflow in all.
  auto measure = [&](const CaptionStyle& c, int& overflow) {
    g.SETTEXTSTYLE(c.font, 0, c.size);
    int n = 0;
    overflow = 0;
    for (const std::string& l : labels) {
      const int over = g.TEXTWIDTH(l) - (width - 4);
      if (over <= 0)
        ++n;
      else
        overflow += over;
    }
    return n;
  };
  const int largest = std::max(kLegible, height - 4);
  // When no size holds them all, the one that cuts least: the font shrinks as far as it helps,
  // down to the legible size, and what is still too long gets abbreviated.
  CaptionStyle best{4, kLegible};
  int best_fit = -1, best_overflow = 0;
  for (int font : {20, 4})
    for (int size = largest; size >= kLegible; --size) {
      int overflow = 0;
      const int n = measure({font, size}, overflow);
      if (n == int(labels.size())) return {font, size};
      if (n > best_fit || (n == best_fit && overflow < best_overflow))
        best = {font, size}, best_fit = n, best_overflow = overflow;
    }
  return best;
}

bool render_picture(const PictureSpec& spec, const std::string& dir, std::string& error,
                    const CaptionStyle* style) {
  draw::Graph g(std::make_unique<draw::HeadlessBackend>());
  images::Obrazky img(&g);
  img.NASTAVPALETU();
  const int w = spec.width, h = spec.height;

  // Face with a raised edge: light top-left, dark bottom-right.
  g.SETFILLSTYLE(1, img.NAJDIBARVU(192, 192, 192));
  g.BAR(0, 0, w - 1, h - 1);
  g.SETCOLOR(255);
  g.LINE(0, 0, w - 1, 0);
  g.LINE(0, 0, 0, h - 1);
  g.SETCOLOR(img.NAJDIBARVU(96, 96, 96));
  g.LINE(1, h - 1, w - 1, h - 1);
  g.LINE(w - 1, 1, w - 1, h - 1);

  if (spec.icon) {
    draw_icon(g, img, spec.look, w, h);
  } else {
    g.SETCOLOR(0);
    g.SETTEXTJUSTIFY(1, 1);
    // As large as fits with a pixel of margin, bold while it stays at 10 pixels or more; a long
    // label falls back to the narrower regular face before it gets smaller still.
    auto fit = [&](int font, int smallest) {
      int size = h - 4;
      g.SETTEXTSTYLE(font, 0, size);
      while (size > smallest && g.TEXTWIDTH(spec.look) > w - 4) g.SETTEXTSTYLE(font, 0, --size);
      return g.TEXTWIDTH(spec.look) <= w - 4;
    };
    if (style)
      g.SETTEXTSTYLE(style->font, 0, style->size);
    else if (!fit(20, kLegible))
      fit(4, kLegible);
    g.OUTTEXTXY(w / 2, h / 2, draw::abbreviated(g, spec.look, w - 4));
  }

  if (img.ZALOZOBRAZEK(0, w, h, 1) != 0) {
    error = "no image slot";
    return false;
  }
  img.KOPIRUJOBRAZEK(0, 0, 0, w, h);
  std::string path = dir;
  if (!path.empty() && path.back() != '/') path += '/';
  path += spec.file;
  if (img.ULOZBMP(0, path) != 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace ksv::guidata
