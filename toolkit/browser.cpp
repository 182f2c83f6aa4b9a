// The file browser: names and folders, the listing, the browser's moves, and its window.
//
// Sections: names and folders · listing · state · screen
#include "toolkit/browser.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "toolkit/cp1250.h"
#include "toolkit/kit/list_guard.h"
#include "toolkit/kit/style_guard.h"
#include "toolkit/kit/window.h"

namespace ksv::toolkit {

// ---------------------------------------------------------------- names and folders

namespace {

// Stands between the two ends of a name too long for the list.
constexpr char kCut = '~';

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

bool is_folder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

namespace {

// A name or path in the code page the list draws. A control character in a name (Linux allows
// even a line break) would draw as nothing, so it becomes a visible stand-in too.
std::string decoded(std::string_view name) {
  std::string shown = utf8_to_cp1250(name);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return shown;
}

// A folder as a line of the window shows it: its end, where the folders differ.
std::string shown_folder(const std::string& folder, size_t width) {
  const std::string shown = decoded(folder);
  if (shown.size() <= width) return shown;
  return kCut + shown.substr(shown.size() - (width - 1));
}

}  // namespace

std::string shown_name(std::string_view name, size_t width) {
  std::string shown = decoded(name);
  if (shown.size() <= width || width < 3) return shown.substr(0, width);
  size_t tail = (width - 1) / 2;
  const size_t dot = shown.rfind('.');
  if (dot != std::string::npos && dot > 0 && shown.size() - dot > tail)
    tail = std::min(shown.size() - dot, width - 2);  // the whole extension, one letter before
  const size_t head = width - 1 - tail;
  return shown.substr(0, head) + kCut + shown.substr(shown.size() - tail);
}

std::string clean_folder(std::string_view path) {
  std::string full;
  if (path.empty() || path[0] != '/') {
    char cwd[PATH_MAX];
    full = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
    full += '/';
  }
  full.append(path);
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= full.size()) {
    size_t end = full.find('/', pos);
    if (end == std::string::npos) end = full.size();
    const std::string part = full.substr(pos, end - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = end + 1;
  }
  std::string out = "/";
  for (const std::string& p : parts) out += p + "/";
  return out;
}

std::string folder_above(const std::string& folder) { return clean_folder(folder + "/.."); }

bool filter_takes(const BrowserFilter& filter, std::string_view name) {
  const size_t dot = name.rfind('.');
  const size_t n = std::min(filter.extensions.size(), kFilterExtensions);
  for (size_t i = 0; i < n; ++i) {
    const std::string& ext = filter.extensions[i];
    if (ext == "*") return true;
    if (dot != std::string::npos && same_ignoring_case(name.substr(dot + 1), ext)) return true;
  }
  return false;
}

// ---------------------------------------------------------------- listing

std::optional<std::vector<BrowserEntry>> list_folder(const std::string& path,
                                                     const BrowserFilter& filter) {
  const std::string folder = path.empty() || path.back() != '/' ? path + "/" : path;
  DIR* d = ::opendir(folder.c_str());
  if (!d) return std::nullopt;
  std::vector<BrowserEntry> folders, files;
  while (const dirent* de = ::readdir(d)) {
    const std::string name = de->d_name;
    if (name.empty() || name[0] == '.') continue;
    // stat, not the entry's own type: a link to a folder is entered like the folder.
    struct stat st {};
    if (::stat((folder + name).c_str(), &st) != 0) continue;  // a dangling link
    if (S_ISDIR(st.st_mode))
      folders.push_back({BrowserEntry::kFolder, name, "[" + shown_name(name, kNameLength - 2) + "]"});
    else if (S_ISREG(st.st_mode) && filter_takes(filter, name))
      files.push_back({BrowserEntry::kFile, name, shown_name(name, kNameLength)});
  }
  ::closedir(d);

  // By name as the user reads it (a before B), the bytes deciding between names that differ
  // only in case, so the order never depends on the directory's own.
  auto by_name = [](const BrowserEntry& a, const BrowserEntry& b) {
    auto folded_less = [](char x, char y) {
      return static_cast<unsigned char>(fold(x)) < static_cast<unsigned char>(fold(y));
    };
    if (std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                     folded_less))
      return true;
    if (std::lexicographical_compare(b.name.begin(), b.name.end(), a.name.begin(), a.name.end(),
                                     folded_less))
      return false;
    return a.name < b.name;
  };
  std::sort(folders.begin(), folders.end(), by_name);
  std::sort(files.begin(), files.end(), by_name);

  std::vector<BrowserEntry> out;
  if (filter.folder_choice) out.push_back({BrowserEntry::kCurrent, ".", "."});
  if (folder != "/") out.push_back({BrowserEntry::kParent, "..", ".."});
  for (auto* group : {&folders, &files})
    for (BrowserEntry& e : *group) {
      if (out.size() >= static_cast<size_t>(kListSize)) return out;  // what the list holds
      out.push_back(std::move(e));
    }
  return out;
}

// ---------------------------------------------------------------- state

BrowserState::BrowserState(BrowserFilter filter, BrowserPlaces& places)
    : filter_(std::move(filter)), places_(places) {
  // The folder remembered may have gone since; the nearest one above it that is still there
  // is where the user was.
  std::string start = clean_folder(places_.POSLEDNIADRESAR.empty() ? "." : places_.POSLEDNIADRESAR);
  while (!open(start) && start != "/") start = folder_above(start);
  if (folder_.empty()) folder_ = start;
}

bool BrowserState::open(const std::string& folder) {
  const std::string clean = clean_folder(folder);
  std::optional<std::vector<BrowserEntry>> listed = list_folder(clean, filter_);
  if (!listed) return false;
  folder_ = clean;
  entries_ = std::move(*listed);
  places_.POSLEDNIADRESAR = folder_;
  return true;
}

std::optional<BrowserChoice> BrowserState::confirm(size_t entry) {
  if (entry >= entries_.size()) return std::nullopt;
  const BrowserEntry e = entries_[entry];
  switch (e.kind) {
    case BrowserEntry::kCurrent:
      if (filter_.folder_choice) return BrowserChoice{folder_, ""};
      return std::nullopt;
    case BrowserEntry::kParent:
      open(folder_above(folder_));
      return std::nullopt;
    case BrowserEntry::kFolder:
      open(folder_ + e.name + "/");
      return std::nullopt;
    case BrowserEntry::kFile:
      return BrowserChoice{folder_, e.name};
  }
  return std::nullopt;
}

bool BrowserState::go_favourite(int slot) {
  if (slot < 0 || slot >= kFavourites) return false;
  const std::string& f = places_.OBLIBENE[static_cast<size_t>(slot)];
  if (f.empty() || f == ".." || !is_folder(f)) return false;
  return open(f);
}

void BrowserState::store_favourite(int slot) {
  if (slot >= 0 && slot < kFavourites) places_.OBLIBENE[static_cast<size_t>(slot)] = folder_;
}

// ---------------------------------------------------------------- screen

namespace {

// The window and what sits in it, relative to its corner.
constexpr int32_t kWinX = 10, kWinY = 10, kWinW = 620, kWinH = 460;
constexpr int32_t kListX = 10, kListY = 50, kListW = 390, kListH = 300, kListRows = 16;
constexpr int32_t kColumn1 = 420, kColumn2 = 500;
constexpr int32_t kFolderLineY = 26, kFavouritesY = 362, kLineH = 20;
constexpr size_t kFolderChars = 70, kFavouriteChars = 45;

}  // namespace

Browser::Browser(Toolkit& tk, std::function<void()> pass) : tk_(tk), pass_(std::move(pass)) {
  if (!pass_)
    pass_ = [this] {
      tk_.okna.OBSLUHAKOMUNIKACE();
      tk_.tlacitka.OBSLUHATLAC();
    };
}

std::optional<BrowserChoice> Browser::run(const BrowserFilter& filter, BrowserPlaces& places,
                                          const std::string& window_key) {
  Okna& okna = tk_.okna;
  Seznam& list = tk_.seznam;
  draw::Graph& g = tk_.graph;
  // The one list belongs to the screen that called the browser; it gets it back as it was.
  ListGuard saved_list(list);
  BrowserState state(filter, places);

  Window window(tk_, kWinX, kWinY, kWinW, kWinH, true, window_key);
  if (!window) {
    std::fprintf(stderr, "browser: no free window\n");
    return std::nullopt;
  }
  const int win = window.index();
  const uint8_t body = tk_.images.NAJDIBARVU(92, 92, 92);

  // A line of text at y, over a cleared stretch `width` pixels long.
  auto line = [&](int32_t y, int32_t width, const std::string& text) {
    StyleGuard style(g);
    g.SETFILLSTYLE(1, body);
    g.BAR(kWinX + 10, kWinY + y, kWinX + 10 + width - 1, kWinY + y + kLineH - 2);
    g.SETCOLOR(255);
    g.SETTEXTSTYLE(4, 0, 16);
    g.SETTEXTJUSTIFY(0, 0);
    g.OUTTEXTXY(kWinX + 10, kWinY + y + 1, text);
  };
  auto show_favourites = [&] {
    for (int i = 0; i < kFavourites; ++i) {
      const std::string& f = places.OBLIBENE[static_cast<size_t>(i)];
      line(kFavouritesY + i * kLineH, kListW,
           INT2STR(i + 1) + ": " + (f.empty() ? std::string("-") : shown_folder(f, kFavouriteChars)));
    }
  };
  auto show_folder = [&] {
    list.SMAZSEZNAM();
    for (const BrowserEntry& e : state.entries()) list.PRIDEJPRVEK(e.shown, "", false);
    okna.PRVNISEZNAMVOKNE(win, kListX, kListY, kListW, kListH, kListRows, 0);
    line(kFolderLineY, kWinW - 20, shown_folder(state.folder(), kFolderChars));
    tk_.tlacitka.NUTNOVYKRESLIT = true;
  };

  // Buttons only note what was asked; the loop below does it, outside the button poll.
  enum Ask { kNothing, kConfirm, kCancel, kGo, kStore };
  Ask ask = kNothing;
  int slot = 0;
  auto button = [&](const std::string& caption, std::function<void()> action, int32_t x,
                    int32_t y, uint8_t key) {
    okna.PRIPRAVTLACPROOKNO(win, "&" + caption, std::move(action), x, y, 0, 0, key);
  };
  button("Nahoru", [&] { list.SEZNAMNAHORU(); }, kColumn1, 50, 72);
  button("Dolu", [&] { list.SEZNAMDOLU(); }, kColumn2, 50, 80);
  button("PgUp", [&] { list.STRANKANAHORU(); }, kColumn1, 90, 73);
  button("PDown", [&] { list.STRANKADOLU(); }, kColumn2, 90, 81);
  button("Home", [&] { list.SEZNAMZACATEK(); }, kColumn1, 130, 71);
  button("End", [&] { list.SEZNAMKONEC(); }, kColumn2, 130, 79);
  for (int i = 0; i < kFavourites; ++i) {
    const int32_t y = 190 + 40 * i;
    button(INT2STR(i + 1), [&ask, &slot, i] { ask = kGo, slot = i; }, kColumn1, y,
           static_cast<uint8_t>('1' + i));
    button("+" + INT2STR(i + 1), [&ask, &slot, i] { ask = kStore, slot = i; }, kColumn2, y, 0);
  }
  button("Budiz", [&] { ask = kConfirm; }, kColumn1, 410, 13);
  button("Zrusit", [&] { ask = kCancel; }, kColumn2, 410, 27);
  show_folder();
  show_favourites();

  std::optional<BrowserChoice> choice;
  tk_.tlacitka.VYMAZFRONTU();
  // A window closed under the browser (a new screen built by a handler of the pass) leaves
  // nothing to choose from.
  while (window.is_open() && !tk_.tlacitka.ended()) {
    pass_();
    // Keys no button took mean nothing here; they must not fill the queue.
    tk_.tlacitka.VYMAZFRONTU();
    const Ask now = ask;
    ask = kNothing;
    if (now == kCancel) break;
    if (now == kConfirm) {
      const std::string before = state.folder();
      choice = state.confirm(static_cast<size_t>(list.highlighted()));
      if (choice) break;
      if (state.folder() != before) show_folder();
    } else if (now == kGo) {
      if (state.go_favourite(slot)) show_folder();
    } else if (now == kStore) {
      state.store_favourite(slot);
      show_favourites();
      tk_.tlacitka.NUTNOVYKRESLIT = true;
    }
  }
  return choice;
}

}  // namespace ksv::toolkit
