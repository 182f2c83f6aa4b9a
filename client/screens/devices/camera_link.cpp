#include "client/screens/devices/camera_link.h"

#include "client/frame.h"
#include "protocol/commands.h"
#include "protocol/record_file.h"

namespace ksv::client::devices {

namespace {

// Offsets of the camera requests and replies.
constexpr int kCamera = 4, kDay = 8, kTime = 16, kSystemOn = 60, kPlan = 64;

}  // namespace

std::optional<std::string> fetch_frame_list(Frame& f, int camera, const TDatum& day) {
  Packet& b = f.compose();
  b.ULOZCISLO(kCamera, camera);
  b.put_raw(kDay, &day, sizeof day);
  if (f.request(req::kCameraFrames, "loadcam") != rep::kFrameList) return std::nullopt;
  f.status("recvfile");
  const std::string name = f.download_named_in_reply();
  f.status("wait");
  if (name.empty()) return std::nullopt;
  return read_whole_file(f.temp_path(name));
}

std::optional<std::string> fetch_frame(Frame& f, int camera, const TDatum& day, const TCas& time) {
  Packet& b = f.compose();
  b.ULOZCISLO(kCamera, camera);
  b.put_raw(kDay, &day, sizeof day);
  b.put_raw(kTime, &time, sizeof time);
  if (f.request(req::kCameraFrame, "loadobr") != rep::kFrame) return std::nullopt;
  f.status("recvfile");
  const std::string name = f.download_named_in_reply();
  f.status("wait");
  if (name.empty()) return std::nullopt;
  return f.temp_path(name);
}

std::optional<CameraPlan> fetch_plan(Frame& f, int camera) {
  f.compose().ULOZCISLO(kCamera, camera);
  if (f.request(req::kCameraPlanGet, "readcam") != rep::kCameraPlan) return std::nullopt;
  const Packet& r = f.client().conn.BUFFERPACKET;
  CameraPlan p;
  p.system_on = r.ZISKEJCISLO(kSystemOn) == 1;
  if (!r.get_raw(kPlan, &p.plan, sizeof p.plan)) return std::nullopt;
  return p;
}

bool store_plan(Frame& f, int camera, const CameraPlan& p) {
  Packet& b = f.compose();
  b.ULOZCISLO(kCamera, camera);
  b.ULOZCISLO(kSystemOn, p.system_on ? 1 : 0);
  b.put_raw(kPlan, &p.plan, sizeof p.plan);
  return f.request(req::kCameraPlanSet, "setcam") == rep::kCameraPlanSaved;
}

}  // namespace ksv::client::devices
