// What the devices need from the attendance records: who is in the building now, and recording
// an arrival or departure keyed in at the terminal. The server wires it to the data store; tests
// give a table of their own.
#pragma once
#include <cstdint>

namespace ksv::server {

class AttendanceLink {
 public:
  virtual ~AttendanceLink() = default;
  // Today's file of the user has an arrival without a departure in its last used stay.
  virtual bool user_present(int32_t user_id) = 0;
  // Somebody is present today.
  virtual bool anybody_present() = 0;
  // Records an arrival (true) or departure (false) of the user at the current time.
  virtual bool record_event(int32_t user_id, bool arrival) = 0;
};

}  // namespace ksv::server
