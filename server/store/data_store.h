// The data store's in-memory state beside the files: the link table of the program each session
// has open. (The single-record files — calendar, calculation settings — live in DataTree.)
#pragma once
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

 private:
  static bool valid(int slot) { return slot >= 0 && slot < kSlots; }
  TLinkovani links_[kSlots]{};
  TLinkovani scratch_{};
};

}  // namespace ksv::server
