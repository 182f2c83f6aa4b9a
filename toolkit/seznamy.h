// Seznam: the one list of the desktop programs — up to 4096 entries of a name and a string of
// code-0-terminated fields — with folder listing, sorting, paging navigation and its drawing as a
// scrolling box with one highlighted row.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "images/obrazky.h"
#include "toolkit/draw/graph.h"
#include "toolkit/texty.h"

namespace ksv::toolkit {

constexpr int kListSize = 4096;
constexpr size_t kNameLength = 32;

constexpr uint8_t kListFull = 40;
constexpr uint8_t kListEmpty = 41;
constexpr uint8_t kEmptyField = 42;
constexpr uint8_t kNoEntry = 43;

struct TPrvek {
  std::string NAZEV;  // at most 32 characters; a leading code 0 marks a folder
  std::string SPEC;   // fields, each ended by code 0; at most 255 characters
};

// Where the columns of a logo segment row (mode 3) stand, from the left of the box: the number
// (the entry's name) at 10, then the colour box, the stitch type, light or strong, the
// direction and the hole count. Each column is as wide as its widest text in the wider of the
// list's two fonts, so a number up to 4095 or the longest stitch name never runs under the next.
struct SegmentRowLayout {
  int colour = 0, type = 0, style = 0, direction = 0, holes = 0;
  static constexpr int kColourWidth = 10;
  static constexpr int kHoleMark = 5;  // the small square before the hole count
  static constexpr int kHoleGap = 2;
};
SegmentRowLayout segment_row_layout(draw::Graph& g, int font_size, int offset);

class Seznam {
 public:
  Seznam(draw::Graph& graph, images::Obrazky& images, Texty& texty);

  void SMAZSEZNAM();
  uint8_t PRIDEJPRVEK(const std::string& name, const std::string& spec, bool upper);
  uint8_t VYTVORSEZNAM(std::string folder, const std::string& mask);
  std::string VRATSPECPARAM(int entry, int parameter) const;
  uint8_t ZMENSPECPAR(int entry, int parameter, const std::string& text);
  uint8_t SETRIDSEZNAM(int parameter, int order, bool without_extension);
  uint8_t PRVNIVYPISSEZ(int32_t x, int32_t y, int32_t width, int32_t height, int32_t rows,
                        int32_t mode);
  uint8_t VYPISSEZNAM(int32_t x, int32_t y, int32_t width, int32_t height, int32_t rows,
                      int32_t mode);
  void SEZNAMDOLU();
  void SEZNAMNAHORU();
  void STRANKADOLU();
  void STRANKANAHORU();
  void SEZNAMZACATEK();
  void SEZNAMKONEC();

  int highlighted() const { return AKTSTRANKA + AKTPRVEK; }

  std::vector<TPrvek> SEZNAM;  // PRVKU = SEZNAM.size(), never above 4096
  uint16_t PRVKU() const { return static_cast<uint16_t>(SEZNAM.size()); }
  uint16_t AKTSTRANKA = 0;
  uint16_t AKTPRVEK = 0;
  uint16_t VELSTRANKY = 10;
  uint16_t AKTMODSEZNAMU = 0;
  int32_t SEZX = 0, SEZY = 0, VELSEZX = 128, VELSEZY = 0;

  // Columns of the record lists of the desktop client (modes 4 to 6) are drawn by the client:
  // called with the mode, the entry, the column offset and the row's top inside the box.
  std::function<void(int mode, const TPrvek& entry, int offset, int row_top)> client_columns;

 private:
  void redraw();
  void draw_columns(int mode, const TPrvek& e, int offset, int row, int row_top);

  draw::Graph& g_;
  images::Obrazky& img_;
  Texty& texty_;
};

}  // namespace ksv::toolkit
