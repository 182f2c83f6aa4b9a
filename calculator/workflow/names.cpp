// The screen-free rules of the calculator's desktop screens (see names.h).
#include "calculator/workflow/names.h"

#include <dirent.h>

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

std::string full_listed_name(const std::string& folder, const std::string& listed) {
  if (listed.size() < toolkit::kNameLength) return listed;
  DIR* d = opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return listed;
  std::string found;
  int matches = 0;
  while (dirent* de = readdir(d)) {
    const std::string name = de->d_name;
    if (name.compare(0, listed.size(), listed) == 0) {
      found = name;
      ++matches;
    }
  }
  closedir(d);
  return matches == 1 ? found : listed;
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
