// Browser: the file browser of the desktop client (stitch files to upload, attachments, saved
// lists, placement pictures, the folder a report is copied to). It lists the folders and the
// files of the kinds asked for, enters folders, goes up with "..", keeps three favourite folders
// and remembers the last folder shown.
//
// File names on Linux are UTF-8 bytes. The list shows them in the workshop's code page, so
// Czech letters are drawn with their glyphs and any other character as a visible stand-in; the
// bytes that open the file are kept apart, exactly as the folder listed them.
//
// BrowserState is the browser without a screen (listing, moves, favourites, the choice);
// Browser puts it in a window with the list and the buttons.
#pragma once
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/toolkit.h"

namespace ksv::toolkit {

constexpr size_t kFilterExtensions = 8;
constexpr int kFavourites = 3;

// What the browser offers to choose.
struct BrowserFilter {
  // Up to eight extensions without "*." ("DST", "bmp"), matched whatever their case; "*" takes
  // every file. Without any, only folders are listed.
  std::vector<std::string> extensions;
  // "." is listed, and confirming it chooses the folder shown (where a report is copied to).
  bool folder_choice = false;
};

// The places the browser keeps between runs; the client reads and writes them with its
// configuration. Folders end with "/".
struct BrowserPlaces {
  std::string POSLEDNIADRESAR;                      // the last folder shown
  std::array<std::string, kFavourites> OBLIBENE{};  // empty: a free slot
};

struct BrowserEntry {
  enum Kind { kCurrent, kParent, kFolder, kFile };
  Kind kind = kFile;
  std::string name;   // as the folder lists it: the bytes that open it
  std::string shown;  // as the list shows it: code page 1250, folders in brackets, ≤ 32 characters
};

struct BrowserChoice {
  std::string folder;  // ends with "/"
  std::string name;    // empty when a folder was chosen
  std::string path() const { return folder + name; }
};

// --- the pieces, for the screens that show names and folders themselves ---

// The name as a list shows it: decoded to code page 1250 and, when longer than `width`,
// shortened in the middle so its beginning and its extension stay in sight.
std::string shown_name(std::string_view name, size_t width);
// An absolute folder ending with "/", without "." and ".." steps or doubled slashes; a relative
// one is taken from the working directory.
std::string clean_folder(std::string_view path);
// One step up; the root stays the root.
std::string folder_above(const std::string& folder);
// True when the file's extension is one the filter takes.
bool filter_takes(const BrowserFilter& filter, std::string_view name);
// The entries of a folder in the order the list shows them: ".", "..", the folders, the files,
// each group by name. Hidden entries (names beginning with ".") are left out, as Linux file
// choosers do. Empty optional when the folder cannot be read.
std::optional<std::vector<BrowserEntry>> list_folder(const std::string& folder,
                                                     const BrowserFilter& filter);

class BrowserState {
 public:
  // Starts in POSLEDNIADRESAR, or the nearest folder above it that can be read.
  BrowserState(BrowserFilter filter, BrowserPlaces& places);

  const std::string& folder() const { return folder_; }
  const std::vector<BrowserEntry>& entries() const { return entries_; }

  // Lists another folder; false, with the listing unchanged, when it cannot be read. The folder
  // shown becomes POSLEDNIADRESAR.
  bool open(const std::string& folder);
  // Confirms an entry: a folder (or "..") is entered and nothing is chosen; a file, or "."
  // where the filter lets a folder be chosen, is the choice.
  std::optional<BrowserChoice> confirm(size_t entry);
  // Goes to a favourite folder, when the slot holds one that still exists.
  bool go_favourite(int slot);
  // Keeps the folder shown in a favourite slot.
  void store_favourite(int slot);

 private:
  BrowserFilter filter_;
  BrowserPlaces& places_;
  std::string folder_;
  std::vector<BrowserEntry> entries_;
};

// The browser on the screen: a pop-up window with the list, the moves, the favourites,
// "&Budiz" and "&Zrusit".
class Browser {
 public:
  // `pass` is one pass of the program's wait loop (its communication step and the button
  // poll); by default the input field's: OBSLUHAKOMUNIKACE, then OBSLUHATLAC.
  explicit Browser(Toolkit& tk, std::function<void()> pass = {});

  // Runs until a choice or "&Zrusit"; the window key is "pruzkum" or the second form's
  // "pruzkum2". The one list of the toolkit is given back as it was.
  std::optional<BrowserChoice> run(const BrowserFilter& filter, BrowserPlaces& places,
                                   const std::string& window_key = "pruzkum");

 private:
  Toolkit& tk_;
  std::function<void()> pass_;
};

}  // namespace ksv::toolkit
