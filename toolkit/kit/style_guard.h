// Drawing-state guards: a widget that changes the colour, fill, write mode or text style (or the
// viewport) to draw itself puts them back when it leaves, on every path out. Declare the guard
// first thing in the block that draws:
//
//   StyleGuard style(g);      // colours, write mode, text font/size/justification
//   ViewportGuard view(g);    // viewport and clipping
//
// Both depend only on the drawing layer, so the toolkit's own units use them as well.
#pragma once
#include "toolkit/draw/graph.h"

namespace ksv::toolkit {

class StyleGuard {
 public:
  explicit StyleGuard(draw::Graph& g) : g_(g), saved_(g.style()) {}
  ~StyleGuard() { g_.set_style(saved_); }
  StyleGuard(const StyleGuard&) = delete;
  StyleGuard& operator=(const StyleGuard&) = delete;

 private:
  draw::Graph& g_;
  draw::Graph::Style saved_;
};

class ViewportGuard {
 public:
  explicit ViewportGuard(draw::Graph& g) : g_(g), saved_(g.GETVIEWSETTINGS()) {}
  ~ViewportGuard() { g_.SETVIEWPORT(saved_.x1, saved_.y1, saved_.x2, saved_.y2, saved_.clip); }
  ViewportGuard(const ViewportGuard&) = delete;
  ViewportGuard& operator=(const ViewportGuard&) = delete;

  // The viewport in force when the guard was made (for drawing relative to it).
  const draw::ViewPortType& saved() const { return saved_; }

 private:
  draw::Graph& g_;
  draw::ViewPortType saved_;
};

}  // namespace ksv::toolkit
