// The data store's in-memory state beside the files: the link table of the program each session
// has open, and the placement picture name each session was given for its next upload. (The
// single-record files — calendar, calculation settings — live in DataTree.)
#pragma once
#include <string>

#include "protocol/records/orders.h"

namespace ksv::server {

class DataStore {
 public:
  static constexpr int kSlots = 8;

  // The link table loaded when the session opened its program; all empty otherwise. Each
  // session keeps its own, so that one session's stitch data never reaches the programs linked
  // to another session's program.
  TLinkovani& links(int slot) {
    if (!valid(slot)) {
      scratch_ = TLinkovani{};  // no session there: an empty table that nobody keeps
      return scratch_;
    }
    return links_[slot];
  }
  void clear_links(int slot) {
    if (valid(slot)) links_[slot] = TLinkovani{};
  }

  // The upload name "prepare picture upload" gave the session; only an upload under exactly
  // this name becomes a placement picture, and only once. Empty = none expected.
  const std::string& picture_name(int slot) const {
    static const std::string kNone;
    return valid(slot) ? picture_names_[slot] : kNone;
  }
  void expect_picture(int slot, std::string name) {
    if (valid(slot)) picture_names_[slot] = std::move(name);
  }

 private:
  static bool valid(int slot) { return slot >= 0 && slot < kSlots; }
  TLinkovani links_[kSlots]{};
  std::string picture_names_[kSlots];
  TLinkovani scratch_{};
};

}  // namespace ksv::server
