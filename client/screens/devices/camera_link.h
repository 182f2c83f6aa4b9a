// The camera requests of the client: a day's frame list (45), one frame (46), and a camera's
// plan with the camera system's switch (48, 49). The camera replies name their file as a plain
// string at 32, which the frame's download helper knows.
#pragma once
#include <optional>
#include <string>

#include "protocol/records/devices.h"

namespace ksv::client {
class Frame;
}

namespace ksv::client::devices {

constexpr int kCameraCount = 2;

struct CameraPlan {
  bool system_on = false;  // the whole camera system, not only this camera
  TPlanKamer plan{};
};

// The list file's text; nullopt when refused (the error dialog said why) or not received.
std::optional<std::string> fetch_frame_list(Frame& f, int camera, const TDatum& day);
// The frame received into temp/; its local path, or nullopt.
std::optional<std::string> fetch_frame(Frame& f, int camera, const TDatum& day, const TCas& time);
std::optional<CameraPlan> fetch_plan(Frame& f, int camera);
bool store_plan(Frame& f, int camera, const CameraPlan& p);

}  // namespace ksv::client::devices
