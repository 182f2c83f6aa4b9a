// Graph: the framebuffer, drawing state and operations of the drawing layer, and the hand-over of
// finished frames and polled input to the backend.
//
// Sections: set-up and display · drawing state · pixels and shapes · text · input
#include "toolkit/draw/graph.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "toolkit/draw/headless.h"

namespace ksv::draw {

// ---------------------------------------------------------------- set-up and display

Graph::Graph(std::unique_ptr<Backend> backend)
    : backend_(std::move(backend)), fb_(static_cast<size_t>(kScreenW) * kScreenH, 0) {
  // Until the program loads its own, the fixed RRRGGGBB palette is in force, so early frames
  // and screenshots already show sensible colours.
  for (int i = 0; i < 256; ++i)
    palette_[i] = Rgb{static_cast<uint8_t>((i >> 5) * 32), static_cast<uint8_t>(((i >> 2) & 7) * 32),
                      static_cast<uint8_t>((i & 3) * 64)};
}

Graph::~Graph() { CLOSEGRAPH(); }

void Graph::INITGRAPH(int /*driver*/, int /*mode*/, const std::string& title) {
  if (open_) return;
  open_ = backend_ && backend_->open(title);
  result_ = open_ ? 0 : -1;
  if (open_) present();
}

int Graph::GRAPHRESULT() {
  int r = result_;
  result_ = 0;
  return r;
}

void Graph::CLOSEGRAPH() {
  if (open_) backend_->close();
  open_ = false;
}

// The request arrives with the input of a poll (KEYPRESSED); reading it does not poll again, so
// a wait loop polls its display exactly once per pass.
bool Graph::CLOSEGRAPHREQUEST() { return input_.close_requested; }

void Graph::CLEARDEVICE() {
  std::fill(fb_.begin(), fb_.end(), 0);
  dirty_ = true;
}

void Graph::UPDATEGRAPH(int mode) {
  if (mode == 2) {
    present();
    return;
  }
  update_mode_ = mode == 1 ? 1 : 0;
}

void Graph::DELAY(int ms) {
  if (backend_) backend_->delay(ms);
}

void Graph::present() {
  if (!open_) return;
  backend_->present(fb_.data(), palette_);
  dirty_ = false;
  ++presents_;
}

HeadlessBackend* Graph::headless() { return dynamic_cast<HeadlessBackend*>(backend_.get()); }

bool Graph::write_png(const std::string& path) const {
  return write_png_file(path, fb_.data(), palette_);
}

// ---------------------------------------------------------------- drawing state

void Graph::SETVIEWPORT(int x1, int y1, int x2, int y2, bool clip) {
  view_ = ViewPortType{x1, y1, x2, y2, clip};
}

void Graph::SETFILLSTYLE(int /*pattern*/, int index) { fill_color_ = static_cast<uint8_t>(index); }

void Graph::SETRGBPALETTE(int index, int r, int g, int b) {
  if (index < 0 || index > 255) return;
  palette_[index] = Rgb{static_cast<uint8_t>(std::clamp(r, 0, 255)),
                        static_cast<uint8_t>(std::clamp(g, 0, 255)),
                        static_cast<uint8_t>(std::clamp(b, 0, 255))};
  dirty_ = true;
}

void Graph::SETTEXTSTYLE(int font, int direction, int size) {
  font_ = font;
  direction_ = direction;
  text_size_ = size;
}

void Graph::SETTEXTJUSTIFY(int horizontal, int vertical) {
  justify_h_ = horizontal;
  justify_v_ = vertical;
}

Graph::Style Graph::style() const {
  return Style{color_, fill_color_, write_mode_, font_, direction_, text_size_, justify_h_, justify_v_};
}

void Graph::set_style(const Style& s) {
  color_ = s.color;
  fill_color_ = s.fill;
  write_mode_ = s.write_mode;
  font_ = s.font;
  direction_ = s.direction;
  text_size_ = s.size;
  justify_h_ = s.justify_h;
  justify_v_ = s.justify_v;
}

// ---------------------------------------------------------------- pixels and shapes

void Graph::plot(int x, int y, uint8_t c) {
  int sx = x + view_.x1, sy = y + view_.y1;
  if (view_.clip && (sx < view_.x1 || sx > view_.x2 || sy < view_.y1 || sy > view_.y2)) return;
  if (sx < 0 || sy < 0 || sx >= kScreenW || sy >= kScreenH) return;
  fb_[static_cast<size_t>(sy) * kScreenW + sx] = c;
  dirty_ = true;
}

void Graph::PUTPIXEL(int x, int y, uint8_t index) { plot(x, y, index); }

uint8_t Graph::GETPIXEL(int x, int y) const {
  int sx = x + view_.x1, sy = y + view_.y1;
  if (view_.clip && (sx < view_.x1 || sx > view_.x2 || sy < view_.y1 || sy > view_.y2)) return 0;
  return screen_pixel(sx, sy);
}

uint8_t Graph::screen_pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= kScreenW || y >= kScreenH) return 0;
  return fb_[static_cast<size_t>(y) * kScreenW + x];
}

void Graph::line_pixel(int x, int y) {
  if (write_mode_ == 1)
    plot(x, y, static_cast<uint8_t>(GETPIXEL(x, y) ^ color_));
  else
    plot(x, y, color_);
}

void Graph::LINE(int x1, int y1, int x2, int y2) {
  int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    line_pixel(x1, y1);
    if (x1 == x2 && y1 == y2) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y1 += sy;
    }
  }
}

void Graph::RECTANGLE(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  // Each corner once, so an exclusive-or rectangle drawn twice leaves the screen as it was.
  for (int x = x1; x <= x2; ++x) line_pixel(x, y1);
  if (y2 != y1)
    for (int x = x1; x <= x2; ++x) line_pixel(x, y2);
  for (int y = y1 + 1; y < y2; ++y) {
    line_pixel(x1, y);
    if (x2 != x1) line_pixel(x2, y);
  }
}

bool Graph::clip_rect(int& x1, int& y1, int& x2, int& y2) const {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 += view_.x1;
  x2 += view_.x1;
  y1 += view_.y1;
  y2 += view_.y1;
  int lx = 0, ly = 0, hx = kScreenW - 1, hy = kScreenH - 1;
  if (view_.clip) {
    lx = std::max(lx, view_.x1);
    ly = std::max(ly, view_.y1);
    hx = std::min(hx, view_.x2);
    hy = std::min(hy, view_.y2);
  }
  x1 = std::max(x1, lx);
  y1 = std::max(y1, ly);
  x2 = std::min(x2, hx);
  y2 = std::min(y2, hy);
  return x1 <= x2 && y1 <= y2;
}

void Graph::BAR(int x1, int y1, int x2, int y2) {
  if (!clip_rect(x1, y1, x2, y2)) return;
  for (int y = y1; y <= y2; ++y)
    std::memset(&fb_[static_cast<size_t>(y) * kScreenW + x1], fill_color_,
                static_cast<size_t>(x2 - x1 + 1));
  dirty_ = true;
}

void Graph::FILLRECT(int x1, int y1, int x2, int y2) {
  BAR(x1, y1, x2, y2);
  int mode = write_mode_;
  write_mode_ = 0;
  RECTANGLE(x1, y1, x2, y2);
  write_mode_ = mode;
}

// ---------------------------------------------------------------- text

int Graph::TEXTWIDTH(const std::string& text) { return fonts_.text_width(font_, text_size_, text); }

std::string abbreviated(Graph& g, const std::string& caption, int width) {
  if (g.TEXTWIDTH(caption) <= width) return caption;
  std::string stem = caption;
  if (!stem.empty() && stem.back() == '.') stem.pop_back();
  while (stem.size() > 1) {
    stem.pop_back();
    while (stem.size() > 1 && stem.back() == ' ') stem.pop_back();
    if (g.TEXTWIDTH(stem + ".") <= width) break;
  }
  return stem + ".";
}

void Graph::OUTTEXTXY(int x, int y, const std::string& text) {
  if (text.empty()) return;
  int w = TEXTWIDTH(text);
  FaceMetrics m = fonts_.metrics(font_, text_size_);
  int pen = x - (justify_h_ == 1 ? w / 2 : justify_h_ == 2 ? w : 0);
  // Vertical: 0 puts the top of the text at y, 1 its middle, 2 its bottom (below descenders).
  int baseline = justify_v_ == 0 ? y + m.ascent
               : justify_v_ == 1 ? y + (m.ascent - m.descent) / 2
                                 : y - m.descent;
  for (unsigned char c : text) {
    const Glyph* g = fonts_.glyph(font_, text_size_, c);
    if (!g) return;
    int gx = pen + g->left, gy = baseline - g->top;
    for (int r = 0; r < g->rows; ++r) {
      const uint8_t* row = &g->bits[static_cast<size_t>(r) * g->width];
      for (int col = 0; col < g->width; ++col)
        if (row[col]) plot(gx + col, gy + r, color_);
    }
    pen += g->advance;
  }
}

// ---------------------------------------------------------------- input

void Graph::pump() {
  if (!backend_) return;
  // In immediate mode what was drawn since the last poll becomes visible now.
  if (update_mode_ == 1 && dirty_) present();
  backend_->pump(input_);
}

bool Graph::KEYPRESSED() {
  pump();
  return !input_.keys.empty();
}

uint8_t Graph::READKEY() {
  if (input_.keys.empty()) pump();
  if (input_.keys.empty()) return 0;
  uint8_t k = input_.keys.front();
  input_.keys.pop_front();
  return k;
}

int Graph::GETMOUSEX() { return input_.mouse_x; }
int Graph::GETMOUSEY() { return input_.mouse_y; }
int Graph::GETMOUSEBUTTONS() { return input_.buttons; }

}  // namespace ksv::draw
