// Button pictures: reads the list of pictures the screens name (data/buttons.txt) and renders
// each as an 8-bit BMP in the fixed palette — a button face with a bold label or a simple drawn
// symbol — so no binary artwork lives in the repository.
#pragma once
#include <string>
#include <vector>

namespace ksv::guidata {

struct PictureSpec {
  std::string file;  // a plain file name ending in ".bmp"
  int width = 50;
  int height = 20;
  bool icon = false;
  std::string look;  // the label, or the icon's name
};

// Parses the list; false with "line N: reason" in error for the first bad line. File names must
// be plain names (letters, digits, "_", "-", "."; no directories, no leading dot), since they are
// written into the output directory.
bool parse_list(const std::string& text, std::vector<PictureSpec>& out, std::string& error);

bool known_icon(const std::string& name);

// The face and size of the labels of one picture size: all buttons of a size stand together
// in the same windows, so their labels share one size — the largest at which every label fits,
// bold before regular, but never below kLegible; a label still too long is abbreviated.
struct CaptionStyle {
  int font = 20;  // 20 bold, 4 regular
  int size = 16;
};
constexpr int kLegible = 12;
CaptionStyle caption_style(const std::vector<PictureSpec>& list, int width, int height);

// Renders one picture into dir (which must exist); false with a reason when it cannot be
// written. A label is set in `style`, or alone as large as it fits when none is given.
bool render_picture(const PictureSpec& spec, const std::string& dir, std::string& error,
                    const CaptionStyle* style = nullptr);

}  // namespace ksv::guidata
