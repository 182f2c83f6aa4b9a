// ListGuard: the one list saved around a picker (see list_guard.h).
#include "toolkit/kit/list_guard.h"

namespace ksv::toolkit {

ListGuard::ListGuard(Seznam& list)
    : list_(list),
      entries_(list.SEZNAM),
      page_(list.AKTSTRANKA),
      row_(list.AKTPRVEK),
      rows_(list.VELSTRANKY),
      mode_(list.AKTMODSEZNAMU),
      x_(list.SEZX),
      y_(list.SEZY),
      width_(list.VELSEZX),
      height_(list.VELSEZY) {}

ListGuard::~ListGuard() {
  list_.SEZNAM = std::move(entries_);
  list_.AKTSTRANKA = page_;
  list_.AKTPRVEK = row_;
  list_.VELSTRANKY = rows_;
  list_.AKTMODSEZNAMU = mode_;
  list_.SEZX = x_;
  list_.SEZY = y_;
  list_.VELSEZX = width_;
  list_.VELSEZY = height_;
}

}  // namespace ksv::toolkit
