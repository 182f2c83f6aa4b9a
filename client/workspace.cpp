// The shared state of the working screens.
#include "client/workspace.h"

namespace ksv::client {

std::optional<std::string> NameCache::find(int32_t id) const {
  auto it = names_.find(id);
  if (it == names_.end()) return std::nullopt;
  return it->second;
}

std::string NameCache::name_or_unknown(int32_t id) const {
  auto it = names_.find(id);
  return it == names_.end() ? std::string("???") : it->second;
}

void Workspace::on_menu() {
  AKTZAKAZKA = TPolozkaDatabanky{};
  NACISTZNOVU = true;
  PONECHATKRITERIA = false;
  // Whatever chain of screens led here is over: the menu is the root of every one.
  returns_.clear();
}

int32_t Workspace::pop_return(int32_t fallback) {
  if (returns_.empty()) return fallback;
  int32_t screen = returns_.back();
  returns_.pop_back();
  return screen;
}

}  // namespace ksv::client
