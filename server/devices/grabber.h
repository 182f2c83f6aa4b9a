// The frame grabber: whatever produces the camera picture "SpcaPict.jpg" (and, for series,
// time-stamped ".jpg" files) in the data directory. The server only asks for a shot and then
// moves the files; the pictures themselves come from outside.
#pragma once
#include <string>

namespace ksv::server {

inline constexpr const char* kGrabberPicture = "SpcaPict.jpg";

class FrameGrabber {
 public:
  virtual ~FrameGrabber() = default;
  // Called when camera `camera` takes a shot; base_dir is the data directory ("/" at the end).
  // False when the grabber knows the shot failed.
  virtual bool grab(int camera, const std::string& base_dir) = 0;
};

// An outside program keeps the picture fresh on its own: a shot only takes what is there.
class OutsideGrabber final : public FrameGrabber {
 public:
  bool grab(int, const std::string&) override { return true; }
};

// Runs a shell command per shot in the data directory, "%d" replaced by the camera number
// (for example "fswebcam -q -d /dev/video%d SpcaPict.jpg"), and waits for it.
class CommandGrabber final : public FrameGrabber {
 public:
  explicit CommandGrabber(std::string command) : command_(std::move(command)) {}
  bool grab(int camera, const std::string& base_dir) override;

 private:
  std::string command_;
};

}  // namespace ksv::server
