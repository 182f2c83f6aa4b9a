// The screen-free rules of the calculator's desktop screens (see names.h).
#include "calculator/workflow/names.h"

#include <algorithm>

#include "toolkit/seznamy.h"
#include "toolkit/texty.h"

namespace ksv::calculator::ui {

std::string parent_folder(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  const size_t slash = f.rfind('/');
  if (slash == std::string::npos) {
    if (f == "..") return "../../";
    return f.empty() || f == "." ? "../" : "./";
  }
  if (slash == 0) return "/";
  // A relative path made only of ".." goes one more level up.
  const std::string last = f.substr(slash + 1);
  if (last == "..") return f + "/../";
  return f.substr(0, slash + 1);
}

std::string child_folder(const std::string& folder, const std::string& name) {
  if (name == "..") return parent_folder(folder);
  std::string f = folder;
  if (!f.empty() && f.back() != '/') f += '/';
  return f + name + "/";
}

Size fit_into(int32_t w, int32_t h, int32_t box) {
  if (w <= 0 || h <= 0) return {};
  if (w <= box && h <= box) return {w, h};
  const int64_t longer = std::max(w, h);
  return {static_cast<int32_t>(std::max<int64_t>(1, int64_t{w} * box / longer)),
          static_cast<int32_t>(std::max<int64_t>(1, int64_t{h} * box / longer))};
}

std::string last_folder_name(const std::string& folder) {
  std::string f = folder;
  while (!f.empty() && f.back() == '/') f.pop_back();
  return f.substr(f.rfind('/') + 1);
}

std::string edited_save_name(const std::string& previous, int32_t number, const std::string& text) {
  std::string name = previous;
  if (!text.empty() && text != std::string(1, '\0'))
    name = text;
  else if (number != 0)
    name = toolkit::INT2STR(number);
  const size_t dot = name.find('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

bool is_safe_save_name(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name)
    if (c == '/' || c == '\\' || c < 32 || c == 127) return false;
  return true;
}

int holes_of(const TSEGMENT& s) {
  int n = 0;
  for (const auto& v : s.VYREZ) n += v.X != 65535;
  return n;
}

std::string segment_spec(const TSEGMENT& s) {
  using toolkit::INT2STR;
  std::string spec;
  for (int v : {int(s.BARVA), int(s.TYP), int(s.SMER), holes_of(s)}) {
    spec += INT2STR(v);
    spec += '\0';
  }
  return spec;
}

uint16_t page_count(int32_t active_segments) {
  if (active_segments <= 0) return 0;
  return static_cast<uint16_t>((active_segments + kMaxSegments - 1) / kMaxSegments);
}

}  // namespace ksv::calculator::ui
