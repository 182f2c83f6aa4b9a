// Stand-ins for what the devices reach outside the server: the attendance records (a table of
// who is in), a frame grabber that writes numbered pictures, and a mail program that records
// each mail into a directory.
#pragma once
#include <sys/stat.h>

#include <set>
#include <string>
#include <vector>

#include "protocol/testsupport/temp_dir.h"
#include "server/devices/attendance_link.h"
#include "server/devices/grabber.h"

namespace ksv::server::testing {

class FakeAttendance final : public AttendanceLink {
 public:
  bool user_present(int32_t id) override { return present.count(id) != 0; }
  bool anybody_present() override { return !present.empty(); }
  bool record_event(int32_t id, bool arrival) override {
    if (!writable) return false;
    events.push_back({id, arrival});
    if (arrival) present.insert(id);
    else present.erase(id);
    return true;
  }

  struct Event {
    int32_t id;
    bool arrival;
    bool operator==(const Event&) const = default;
  };
  std::set<int32_t> present;
  std::vector<Event> events;
  bool writable = true;
};

// Writes "SpcaPict.jpg" holding "picture <n>" on every shot, unless told to stay silent.
class FakeGrabber final : public FrameGrabber {
 public:
  bool grab(int camera, const std::string& base_dir) override {
    ++shots;
    last_camera = camera;
    if (silent) return true;
    std::string text = "picture " + std::to_string(shots);
    if (std::FILE* f = std::fopen((base_dir + kGrabberPicture).c_str(), "wb")) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
    }
    return true;
  }
  int shots = 0;
  int last_camera = -1;
  bool silent = false;
};

// A mail program: a script writing its argument and the piped text to <dir>/mail.txt (each
// mail replaces the previous one) and counting mails in <dir>/count.
inline std::string make_mail_recorder(const ksv::testing::TempDir& dir) {
  std::string script = dir / "record-mail.sh";
  dir.write_file("record-mail.sh", "#!/bin/sh\n{ echo \"TO:$1\"; cat; } > '" + dir.path() +
                                       "mail.txt'\necho x >> '" + dir.path() + "count'\n");
  ::chmod(script.c_str(), 0755);
  return script;
}

inline int mail_count(const ksv::testing::TempDir& dir) {
  std::string c = dir.read_file("count");
  int n = 0;
  for (char ch : c) n += ch == '\n';
  return n;
}

}  // namespace ksv::server::testing
