// The builders of the alarm screen (5), the camera screen (6) and the camera plan (61).
#pragma once

namespace ksv::client {
class Frame;
class Workspace;
}  // namespace ksv::client

namespace ksv::client::devices {

void build_alarm(Frame& f, Workspace& ws);
void build_cameras(Frame& f, Workspace& ws);
void build_camera_plan(Frame& f, Workspace& ws);

}  // namespace ksv::client::devices
