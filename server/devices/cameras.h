// The camera system: the run-time state of cameras 0 and 1 (TKamera), the hourly application
// of the weekly plans with the arrival, supervisor and holiday rules, the shots and the capture
// loop that moves the grabber's pictures into "kamery/<n>/yyyy-mm-dd", and the files the camera
// commands hand to clients.
//
// Sections of cameras.cpp: plan values · start and stop · shots · capture loop · plans ·
// client files.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "protocol/clock.h"
#include "protocol/records/attendance.h"
#include "protocol/records/devices.h"
#include "server/devices/attendance_link.h"
#include "server/devices/grabber.h"
#include "server/util/log.h"

namespace ksv::server {

constexpr int kCameras = 2;
// Shot results.
constexpr int kShotStored = 0;
constexpr int kShotNoCamera = 50;
constexpr int kShotGrabberLate = 51;
constexpr int kShotBusy = 52;
constexpr int kShotNotMoved = 53;
// How long a shot waits for the grabber before its picture counts as taken.
constexpr int kShotWaitSeconds = 15;
// Stored pictures that went missing in a row before the camera system counts as failed.
constexpr int kMissedPicturesForFailure = 5;

// A negative weekly value: a series of X frames spread over Y minutes, then Z minutes of pause.
struct SeriesPlan {
  int64_t X = 1, Y = 1, Z = 5;
};
SeriesPlan decode_series(int32_t value);

// The stored name of a series frame written by the grabber ("yyyy-mm-dd_HH:MM:SS" + six
// characters + ".jpg" becomes "HH-MM-SS.jpg"); nullopt for names too short to be series frames,
// among them the grabber's own "SpcaPict.jpg".
std::optional<std::string> series_frame_name(const std::string& name);

// "kamery/<n>/yyyy-mm-dd" (relative to the data directory) and "HH-MM-SS.jpg".
std::string camera_day_dir(int camera, int year, int month, int day);
std::string frame_file_name(int hour, int minute, int second);

class CameraSystem {
 public:
  CameraSystem(Clock& clock, Log& log, std::string base_dir, TKamery& kamery,
               const TKalendar& kalendar, AttendanceLink& attendance, FrameGrabber& grabber);

  // Start of the system: both cameras off, the plan bookkeeping forgotten.
  void start();
  void start_camera(int n, int32_t interval);
  void stop_camera(int n);

  // One shot of camera n. Without a wait name the capture loop stores the picture later; with
  // one, the call waits for the grabber and moves the picture to "temp/" + wait_name.
  int shot(int n, const std::string& wait_name = "");
  // The same shot with a wait name, without waiting: the picture is handed over by a later
  // shot_result(). kShotStored when the shot has started; another code when it was refused.
  // While it waits, the capture loop and the plans stand still, as during a waiting shot()
  // (the grabber's next picture is the one the request gets), but the server goes on serving.
  int start_shot(int n, const std::string& wait_name);
  // The result of the started shot once it is due (the picture moved or not); nothing while
  // it still waits or when none was started.
  std::optional<int> shot_result();
  bool shot_waiting() const { return waiting_.has_value(); }
  // Every pass: store what the shots produced and take the shots that are due.
  void capture();
  // Every pass: the plans, each camera once per hour.
  void apply_plans();
  // The nightly cleaning: yesterday's first arrival is forgotten, so the arrival rule starts
  // the camera again for the first person of the new day.
  void new_day() { first_arrival_.reset(); }

  // Command 49: the new plan goes to "kamery.dat" first; memory changes only when it is stored.
  bool save_plan(int camera, bool system_in_use, const TPlanKamer& plan);
  // Command 45: the ".jpg" names of the camera's day, one per line, into out_path.
  bool write_day_list(int camera, const TDatum& day, const std::string& out_path) const;
  // Command 46: the path of a stored frame, if it exists.
  std::optional<std::string> frame_path(int camera, const TDatum& day, const TCas& time) const;

  const TKamera& camera(int n) const { return cams_[n]; }
  bool shot_in_progress() const { return shot_flag_; }
  // Pictures stopped arriving from the grabber.
  bool failure_detected() const { return failure_; }

  // The wait of a shot with a wait name; tests move a fake clock instead of sleeping.
  std::function<void(int ms)> pause;
  // A number in 0 .. n-1 (0 when n <= 0), for randomised plans.
  std::function<int64_t(int64_t n)> random_below;

 private:
  int64_t elapsed(int n, const DateTime& now) const;
  void store_single(int n);
  void store_series(int n);
  void picture_missed();
  void apply_plan(int n, const DateTime& now);
  void apply_week(int n, const DateTime& now);

  struct WaitingShot {
    int n;
    std::string name;
    int64_t started;
    TKamera remembered;
  };

  Clock& clock_;
  Log& log_;
  std::string base_;
  TKamery& kamery_;
  const TKalendar& kalendar_;
  AttendanceLink& attendance_;
  FrameGrabber& grabber_;

  TKamera cams_[kCameras]{};
  bool shot_flag_ = false;
  int last_hour_[kCameras] = {-1, -1};
  int all_off_hour_ = -1;
  std::optional<DateTime> first_arrival_;
  int missed_ = 0;
  bool failure_ = false;
  std::optional<WaitingShot> waiting_;
};

}  // namespace ksv::server
