// Graph: the drawing layer every screen draws through — a 640 × 480 indexed framebuffer with a
// 256-entry palette, the drawing state (colours, write mode, text style and justification,
// viewport with clipping, update mode) and the polled keyboard and mouse of one display backend.
//
// Sections: set-up and display · drawing state · pixels and shapes · text · input · test access
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/draw/backend.h"
#include "toolkit/draw/font.h"
#include "toolkit/draw/surface.h"

namespace ksv::draw {

struct ViewPortType {
  int x1 = 0, y1 = 0, x2 = kScreenW - 1, y2 = kScreenH - 1;
  bool clip = false;
};

class HeadlessBackend;

class Graph final : public PixelSurface {
 public:
  explicit Graph(std::unique_ptr<Backend> backend);
  ~Graph() override;
  Graph(const Graph&) = delete;
  Graph& operator=(const Graph&) = delete;

  // --- set-up and display ---
  // Opens the display (driver 3 and mode 4 are the only ones: 256 colours, 640 × 480).
  void INITGRAPH(int driver, int mode, const std::string& title);
  int GRAPHRESULT();  // 0 after success, -1 when opening failed; reading resets it
  void CLOSEGRAPH();
  bool CLOSEGRAPHREQUEST();
  void CLEARDEVICE();
  // 0 deferred (shown on request), 1 immediate (shown at each input poll when changed),
  // 2 show the drawing now (a one-off: the mode in force is kept).
  void UPDATEGRAPH(int mode);
  int GETMAXX() const { return kScreenW - 1; }
  int GETMAXY() const { return kScreenH - 1; }
  void DELAY(int ms);

  // --- drawing state ---
  void SETVIEWPORT(int x1, int y1, int x2, int y2, bool clip);
  ViewPortType GETVIEWSETTINGS() const { return view_; }
  void SETCOLOR(int index) { color_ = static_cast<uint8_t>(index); }
  int GETCOLOR() const { return color_; }
  void SETFILLSTYLE(int pattern, int index);
  void SETWRITEMODE(int mode) { write_mode_ = mode; }
  int write_mode() const { return write_mode_; }
  void SETRGBPALETTE(int index, int r, int g, int b) override;
  void SETTEXTSTYLE(int font, int direction, int size);
  void SETTEXTJUSTIFY(int horizontal, int vertical);

  // --- pixels and shapes (coordinates relative to the viewport) ---
  void PUTPIXEL(int x, int y, uint8_t index) override;
  uint8_t GETPIXEL(int x, int y) const override;
  void LINE(int x1, int y1, int x2, int y2);
  void RECTANGLE(int x1, int y1, int x2, int y2);
  void BAR(int x1, int y1, int x2, int y2);
  void FILLRECT(int x1, int y1, int x2, int y2);

  // --- text ---
  int TEXTWIDTH(const std::string& text);
  void OUTTEXTXY(int x, int y, const std::string& text);
  int text_font() const { return font_; }
  int text_size() const { return text_size_; }

  // Colours, write mode and text settings together, so a widget can draw and put them back.
  struct Style {
    uint8_t color, fill;
    int write_mode, font, direction, size, justify_h, justify_v;
  };
  Style style() const;
  void set_style(const Style& s);

  // --- input ---
  bool KEYPRESSED();
  uint8_t READKEY();  // 0 when nothing is waiting
  int GETMOUSEX();
  int GETMOUSEY();
  int GETMOUSEBUTTONS();

  // --- test access ---
  const uint8_t* pixels() const { return fb_.data(); }
  uint8_t screen_pixel(int x, int y) const;  // absolute, ignores the viewport
  const Palette& palette() const { return palette_; }
  Backend& backend() { return *backend_; }
  // The headless backend when that is what drives this graph, else nullptr.
  HeadlessBackend* headless();
  bool write_png(const std::string& path) const;  // the current drawing, not the shown frame
  long presents() const { return presents_; }

 private:
  void pump();
  void present();
  void plot(int x, int y, uint8_t c);  // viewport-relative, clipped, honours nothing else
  void line_pixel(int x, int y);       // current colour and write mode
  bool clip_rect(int& x1, int& y1, int& x2, int& y2) const;  // to absolute, clipped

  std::unique_ptr<Backend> backend_;
  std::vector<uint8_t> fb_;
  Palette palette_{};
  InputState input_;
  FontCache fonts_;
  ViewPortType view_;
  uint8_t color_ = 15;
  uint8_t fill_color_ = 15;
  int write_mode_ = 0;
  int font_ = 4, direction_ = 0, text_size_ = 16;
  int justify_h_ = 0, justify_v_ = 0;
  int update_mode_ = 1;
  int result_ = 0;
  bool open_ = false;
  bool dirty_ = false;
  long presents_ = 0;
};

// A button caption that fits `width` pixels in the current font: as it stands when it fits,
// otherwise cut from the end with a full stop marking the cut ("Dochazka" -> "Doch."), at
// least one letter kept.
std::string abbreviated(Graph& g, const std::string& caption, int width);

// Writes 640 × 480 indexed pixels as a palette PNG; false when the file cannot be written.
bool write_png_file(const std::string& path, const uint8_t* pixels, const Palette& palette);

}  // namespace ksv::draw
