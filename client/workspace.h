// Workspace: the state the working screens of the client share between them — the open order and
// program, the search criteria and the flags around the order and production lists, the list
// file on show with its page and sort column, the screens to return to, and the names already
// looked up by id. One object, owned by the application and handed to every screen builder; the
// frame knows nothing of it.
#pragma once
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "protocol/records/catalogues.h"
#include "protocol/records/criteria.h"
#include "protocol/records/orders.h"
#include "protocol/records/users.h"

namespace ksv::client {

// The record list a browser shows: the file received from the server, its size in records, the
// page on show (4096 records each) and the sort column (-1 before the first sort).
struct ListState {
  std::string file;      // name in the client's temp directory; empty before the first list
  int32_t records = 0;
  uint16_t page = 0;
  uint16_t pages = 1;    // at least 1, also for an empty list
  int32_t sort_column = -1;

  void reset() { *this = ListState{}; }
};

// Names by id, as the server's lists give them. An id that is not known shows as "???".
class NameCache {
 public:
  void put(int32_t id, std::string name) { names_[id] = std::move(name); }
  std::optional<std::string> find(int32_t id) const;
  // The name, or "???" for an id the list did not hold.
  std::string name_or_unknown(int32_t id) const;
  void clear() { names_.clear(); }
  void erase(int32_t id) { names_.erase(id); }
  bool empty() const { return names_.empty(); }
  const std::map<int32_t, std::string>& entries() const { return names_; }

 private:
  std::map<int32_t, std::string> names_;
};

// A thread is its code together with its weight: a thin and a strong thread may share a code
// and are two entries of the catalogue.
struct ThreadKey {
  std::string code;
  bool thin = false;
  auto operator<=>(const ThreadKey&) const = default;
};
inline ThreadKey thread_key(const TBarva& b) { return {b.KOD.str(), b.SLABA != 0}; }

class Workspace {
 public:
  // What the main menu does to the shared state each time it is built: the current order is
  // forgotten, the browsers fetch their list anew and reset their criteria on entry.
  void on_menu();

  // The return-screen stack: a screen that leads to another one it expects back pushes itself
  // first; the one it led to pops the number it is to return to (fallback when nobody pushed).
  void push_return(int32_t screen) { returns_.push_back(screen); }
  int32_t pop_return(int32_t fallback);
  size_t return_depth() const { return returns_.size(); }
  void clear_returns() { returns_.clear(); }

  TPolozkaDatabanky AKTZAKAZKA{};  // the order open in the editor
  TProgramZak AKTPROGRAM{};        // the program open in the program editor or production card
  TPrava UZIVATEL{};               // the user shown in user administration
  TKriteria KRITERIA{};            // the list criteria, kept between visits of the browsers
  TPrava rights_source{};          // the user whose rights are being copied to UZIVATEL
  bool NACISTZNOVU = true;         // the list must be fetched anew
  bool PONECHATKRITERIA = false;   // keep the criteria on entering a browser
  bool JENCIST = false;            // the open order is held by someone else: read only
  bool JENDNES = true;             // the production list: only the work due today
  bool VSECHNY = true;             // the production list: every operator's work
  ListState list;
  int camera = 0;                  // the camera the camera screens stand on

  // Names by id, filled by the pickers' lists and the single look-ups (commands 6, 57–59).
  NameCache users, materials, placements;
  std::map<ThreadKey, TBarva> threads;  // the thread catalogue by code and weight

 private:
  std::vector<int32_t> returns_;
};

}  // namespace ksv::client
