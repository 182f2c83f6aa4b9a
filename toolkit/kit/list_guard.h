// ListGuard: there is one list, and a screen that shows one (orders, users, files) may open a
// picker that fills the same list with something else. The guard keeps a copy of the entries,
// the view (page, highlight, rows, mode) and the box geometry, and puts them all back when the
// picker's scope ends; the screen then redraws its list as it was.
#pragma once
#include <vector>

#include "toolkit/seznamy.h"

namespace ksv::toolkit {

class ListGuard {
 public:
  explicit ListGuard(Seznam& list);
  ~ListGuard();
  ListGuard(const ListGuard&) = delete;
  ListGuard& operator=(const ListGuard&) = delete;

 private:
  Seznam& list_;
  std::vector<TPrvek> entries_;
  uint16_t page_, row_, rows_, mode_;
  int32_t x_, y_, width_, height_;
};

}  // namespace ksv::toolkit
