// The data tree beside the server: its directories, the default record files created at start,
// the in-memory copies of the single-record files, and the retention rules of nightly cleaning.
#pragma once
#include <string>

#include "protocol/clock.h"
#include "protocol/records/attendance.h"
#include "protocol/records/devices.h"
#include "protocol/records/settings.h"

namespace ksv::server {

// Exit codes of a data tree that cannot be created.
constexpr int kExitDatabaze = 10;
constexpr int kExitUmisten = 11;
constexpr int kExitDochazka = 12;
constexpr int kExitZpravy = 13;
constexpr int kExitLog = 14;
constexpr int kExitAlarm = 15;

class DataTree {
 public:
  // base ends with "/" (added when missing).
  explicit DataTree(std::string base);

  const std::string& base() const { return base_; }
  std::string path(const std::string& relative) const { return base_ + relative; }

  // Creates the directories and default files that are missing and loads the single-record
  // files. 0 on success, else the exit code of the directory that could not be made.
  int create();
  // The camera and transfer directories, and an empty "temp" (done at every start).
  bool prepare_transfer_dirs();
  // Removes what a crash left of unfinished writes: files and directories named with the
  // temporary prefix anywhere in the data tree (record rewrites, uploads, orders and programs
  // being built or deleted). Done at start, before anybody is served. The number removed.
  int remove_leftovers();

  // Nightly cleaning; each returns false when something could not be removed (and goes on).
  bool clean_camera_days(const DateTime& now);
  bool clean_logs(const DateTime& now);
  bool clean_attendance(const DateTime& now);
  bool clean_temp();

  // In-memory copies of the single-record files; a save writes the file first.
  TAlarm alarm{};
  TKalkulace kalkulace{};
  TKamery kamery{};
  TKalendar kalendar{};

 private:
  std::string base_;
};

// "yyyy-mm" of this month and of the previous one (January's previous month is December).
std::string month_prefix(int year, int month);
std::string previous_month_prefix(int year, int month);


}  // namespace ksv::server
