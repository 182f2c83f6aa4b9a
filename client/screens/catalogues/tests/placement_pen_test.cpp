// The pen of the placement editor on a picture in memory: strokes without gaps, the line that
// follows the mouse and leaves only itself, nothing drawn outside the picture or before a press.
#include "client/screens/catalogues/placement_pen.h"

#include <gtest/gtest.h>

#include <vector>

namespace ksv::client::catalogues {
namespace {

constexpr uint8_t kWhite = 0xFF, kInk = 0xE0, kGuard = 0x5A;

// A picture w × h of white inside rows of `stride` bytes; the bytes past the width hold a guard
// value that no drawing may touch.
struct Picture {
  Picture(int32_t w, int32_t h, int32_t stride) : w(w), h(h), stride(stride), bytes(size_t(stride) * h, kGuard) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) bytes[size_t(y) * stride + x] = kWhite;
  }
  PixelView view() { return {bytes.data(), w, h, stride}; }
  uint8_t at(int32_t x, int32_t y) const { return bytes[size_t(y) * stride + x]; }
  int inked() const {
    int n = 0;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) n += at(x, y) == kInk;
    return n;
  }
  bool guards_intact() const {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = w; x < stride; ++x)
        if (at(x, y) != kGuard) return false;
    return true;
  }
  int32_t w, h, stride;
  std::vector<uint8_t> bytes;
};

Pen pen_with(Tool tool) {
  Pen p;
  p.set_tool(tool);
  p.set_colour(kInk);
  return p;
}

TEST(PlacementPen, APencilStrokeHasNoGapsHoweverFastTheMouseMoves) {
  Picture pic(230, 150, 240);
  Pen pen = pen_with(Tool::kPencil);
  EXPECT_FALSE(pen.feed(pic.view(), {10, 10}, false));
  EXPECT_TRUE(pen.feed(pic.view(), {10, 10}, true));
  // Two samples far apart, as from one quick movement between two passes.
  EXPECT_TRUE(pen.feed(pic.view(), {200, 100}, true));
  EXPECT_TRUE(pen.feed(pic.view(), {200, 140}, true));
  for (int32_t x = 10; x <= 200; ++x) {
    bool any = false;
    for (int32_t y = 0; y < pic.h; ++y) any |= pic.at(x, y) == kInk;
    EXPECT_TRUE(any) << "gap in column " << x;
  }
  for (int32_t y = 100; y <= 140; ++y) EXPECT_EQ(pic.at(200, y), kInk) << y;
  // The tip is kPenWidth wide.
  EXPECT_EQ(pic.at(201, 120), kInk);
  EXPECT_EQ(pic.at(202, 120), kWhite);
  const int inked = pic.inked();

  // Letting go ends the stroke: moving afterwards draws nothing, and the next press starts anew
  // instead of joining the old stroke's end.
  EXPECT_FALSE(pen.feed(pic.view(), {200, 140}, false));
  EXPECT_FALSE(pen.feed(pic.view(), {20, 140}, false));
  EXPECT_EQ(pic.inked(), inked);
  EXPECT_TRUE(pen.feed(pic.view(), {20, 140}, true));
  EXPECT_EQ(pic.at(100, 140), kWhite);
  EXPECT_TRUE(pic.guards_intact());
}

TEST(PlacementPen, ALineFollowsTheMouseAndOnlyTheLastOneStays) {
  Picture pic(100, 80, 100);
  pic.bytes[size_t(70) * 100 + 5] = 0x1C;  // something already drawn stays where the line passed
  Pen pen = pen_with(Tool::kLine);
  pen.feed(pic.view(), {0, 0}, false);
  EXPECT_TRUE(pen.feed(pic.view(), {5, 10}, true));
  EXPECT_TRUE(pen.feed(pic.view(), {5, 70}, true));  // straight down, over the old pixel
  EXPECT_EQ(pic.at(5, 40), kInk);
  EXPECT_TRUE(pen.feed(pic.view(), {90, 10}, true));  // now to the right
  EXPECT_FALSE(pen.feed(pic.view(), {90, 10}, false));
  EXPECT_EQ(pic.at(5, 40), kWhite) << "the line's earlier position was put back";
  EXPECT_EQ(pic.at(5, 70), 0x1C) << "and what was there before it";
  for (int32_t x = 5; x <= 90; ++x) EXPECT_EQ(pic.at(x, 10), kInk) << x;
  EXPECT_EQ(pic.inked(), 87 * 2);  // x 5..91 with the tip, two rows

  // The next line starts from its own press; the first one stays.
  EXPECT_TRUE(pen.feed(pic.view(), {50, 60}, true));
  EXPECT_TRUE(pen.feed(pic.view(), {50, 75}, true));
  pen.feed(pic.view(), {50, 75}, false);
  for (int32_t x = 5; x <= 90; ++x) EXPECT_EQ(pic.at(x, 10), kInk) << x;
  EXPECT_EQ(pic.at(50, 68), kInk);
}

TEST(PlacementPen, NothingIsDrawnOutsideThePictureOrWithoutAPress) {
  Picture pic(50, 40, 64);
  Pen pen = pen_with(Tool::kPencil);
  // A press outside the picture (on a button beside it) starts no stroke, even when the mouse
  // is then dragged over the picture.
  pen.feed(pic.view(), {-30, 5}, false);
  EXPECT_FALSE(pen.feed(pic.view(), {-30, 5}, true));
  EXPECT_FALSE(pen.feed(pic.view(), {25, 20}, true));
  EXPECT_EQ(pic.inked(), 0);
  // A button already held when the tool is taken up is no press either.
  Pen held = pen_with(Tool::kPencil);
  EXPECT_FALSE(held.feed(pic.view(), {25, 20}, true));
  EXPECT_EQ(pic.inked(), 0);
  // No tool, no drawing.
  Pen none = pen_with(Tool::kNone);
  none.feed(pic.view(), {25, 20}, false);
  EXPECT_FALSE(none.feed(pic.view(), {25, 20}, true));
  EXPECT_EQ(pic.inked(), 0);

  // A stroke that runs out of the picture and back is cut at the edges; the tip at the last
  // column and row is cut too.
  pen.feed(pic.view(), {0, 0}, false);
  EXPECT_TRUE(pen.feed(pic.view(), {49, 39}, true));
  EXPECT_TRUE(pen.feed(pic.view(), {400, 39}, true));
  EXPECT_TRUE(pen.feed(pic.view(), {-400, -300}, true));
  EXPECT_TRUE(pen.feed(pic.view(), {10, 20}, true));
  EXPECT_EQ(pic.at(49, 39), kInk);
  EXPECT_TRUE(pic.guards_intact());

  // A segment crossing the picture from far outside is drawn where it crosses.
  Picture other(50, 40, 64);
  draw_segment(other.view(), {-100, 20}, {200, 20}, kInk);
  for (int32_t x = 0; x < 50; ++x) EXPECT_EQ(other.at(x, 20), kInk) << x;
  EXPECT_TRUE(other.guards_intact());
}

TEST(PlacementPen, PuttingTheToolDownOrADialogEndsTheStroke) {
  Picture pic(60, 60, 60);
  Pen pen = pen_with(Tool::kPencil);
  pen.feed(pic.view(), {10, 10}, false);
  pen.feed(pic.view(), {10, 10}, true);
  EXPECT_TRUE(pen.stroking());
  pen.reset();  // a dialog came up with the button still held
  EXPECT_FALSE(pen.stroking());
  EXPECT_FALSE(pen.feed(pic.view(), {50, 50}, true)) << "no line from the old stroke's end";
  EXPECT_EQ(pic.at(30, 30), kWhite);

  // A line under way when the tool changes stays as it was shown.
  Pen line = pen_with(Tool::kLine);
  line.feed(pic.view(), {0, 0}, false);
  line.feed(pic.view(), {0, 30}, true);
  line.feed(pic.view(), {58, 30}, true);
  line.set_tool(Tool::kPencil);
  EXPECT_EQ(pic.at(30, 30), kInk);
  EXPECT_FALSE(line.feed(pic.view(), {30, 50}, true));
  EXPECT_EQ(pic.at(30, 50), kWhite);
}

}  // namespace
}  // namespace ksv::client::catalogues
