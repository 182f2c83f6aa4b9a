// Attendance: one day file per user under "dochazka/yyyy-mm-dd/<user id>" holding a TDochazka,
// the terminal events that fill it, the presence queries of the camera and alarm rules, and the
// month list a client asks for.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>

#include "protocol/clock.h"
#include "protocol/records/attendance.h"

namespace ksv::server {

enum class TerminalEvent { kArrival, kDeparture };

// Works on the data tree at `base` (ending in "/") and reads "today" from `clock`.
//
// Threads: the terminal link records events from its own thread while the main thread asks
// about presence and builds month lists. Every day file is replaced atomically, so a reader sees
// the record before or after an event, never half of one; events are serialised by the object's
// lock, so the terminal unit should keep one object for all its events.
class Attendance {
 public:
  Attendance(std::string base, Clock& clock);

  // Stores the current time in the user's day file: an arrival in the first stay whose arrival
  // and departure are both free, a departure in the first free departure. Creates the day
  // directory and the file (all slots free) when missing. With all slots used the file stays as
  // it was. False when the file cannot be written or the user ID is negative.
  bool record_event(int32_t user_id, TerminalEvent event);

  // The user's last stay today has an arrival and no departure. A missing or unreadable file
  // means absent.
  bool user_present(int32_t user_id) const;

  // Somebody with a file in today's directory is present.
  bool anybody_present() const;

  // Writes one TDoch per day of the month on which the user has a file, in the order the
  // directory listing gives the days, to `out_path` (an empty file when there are none).
  // False when the list file cannot be written.
  bool write_month(int32_t user_id, int month, int year, const std::string& out_path) const;

  // "dochazka/yyyy-mm-dd/" for a date, relative to the data tree.
  static std::string day_dir(int year, int month, int day);

  // The day file of a user for a date, as a full path.
  std::string day_file(int32_t user_id, int year, int month, int day) const;

 private:
  std::string base_;
  Clock& clock_;
  std::mutex mu_;
};

// The presence rule on one day record: walk the stays up to the first one that is wholly free;
// the user is present when the last stay visited has an arrival but no departure.
bool present_in(const TDochazka& day);

}  // namespace ksv::server
