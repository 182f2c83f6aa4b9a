// Commands 43-49: alarm settings, camera frames, a fresh frame and the camera plans.
#include "protocol/commands.h"
#include "protocol/file_util.h"
#include "server/core/device_handlers.h"
#include "server/core/handlers.h"
#include "server/core/server.h"

namespace ksv::server {

namespace {

// The camera number of the request, when it names camera 0 or 1.
bool camera_of(Server& s, int& camera) {
  int32_t n = -1;
  if (!s.buffer().get_number(camera_slot::kCamera, n) || n < 0 || n >= kCameras) return false;
  camera = n;
  return true;
}

// Replies `code` naming a file of temp in the plain string at 32.
void reply_file(Server& s, uint8_t code, const std::string& name) {
  s.buffer().ULOZRETEZEC(camera_slot::kFileName, false, name);
  reply(s, code);
}

}  // namespace

void cmd_alarm_set(Context& c) {
  ServerUnits* u = c.units;
  uint8_t settings[kAlarmSettingsBytes];
  if (!u || !c.packet.get_raw(ksv::slot::kText, settings, sizeof settings) ||
      !u->alarm.save_settings(settings)) {
    reply(c, rep::kFailed);
    return;
  }
  reply(c, rep::kAlarm);
}

void cmd_alarm_get(Context& c) {
  ServerUnits* u = c.units;
  if (!u) {
    reply(c, rep::kFailed);
    return;
  }
  TAlarm rec = u->alarm.record();
  c.packet.put_raw(ksv::slot::kText, &rec, sizeof rec);
  reply(c, rep::kAlarm);
}

void cmd_camera_frames(Context& c) {
  ServerUnits* u = c.units;
  int camera = 0;
  TDatum day{};
  if (!u || !camera_of(c.server, camera) ||
      !c.packet.get_raw(camera_slot::kDay, &day, sizeof day)) {
    reply(c, rep::kFailed);
    return;
  }
  const std::string name = "sezns" + std::to_string(c.slot);
  if (!u->cameras.write_day_list(camera, day, c.server.tree().path("temp/" + name))) {
    reply(c, rep::kFailed);
    return;
  }
  reply_file(c.server, rep::kFrameList, name);
}

void cmd_camera_frame(Context& c) {
  ServerUnits* u = c.units;
  int camera = 0;
  TDatum day{};
  TCas time{};
  if (!u || !camera_of(c.server, camera) ||
      !c.packet.get_raw(camera_slot::kDay, &day, sizeof day) ||
      !c.packet.get_raw(camera_slot::kTime, &time, sizeof time)) {
    reply(c, rep::kFailed);
    return;
  }
  const std::string name = "frame" + std::to_string(c.slot) + ".jpg";
  std::optional<std::string> from = u->cameras.frame_path(camera, day, time);
  if (!from || !copy_file(*from, c.server.tree().path("temp/" + name))) {
    reply(c, rep::kFailed);
    return;
  }
  reply_file(c.server, rep::kFrame, name);
}

void cmd_camera_shot(Context& c) {
  ServerUnits* u = c.units;
  int camera = 0;
  if (!u || !camera_of(c.server, camera)) {
    reply(c, rep::kFailed);
    return;
  }
  const std::string name = "pracf" + std::to_string(c.slot);
  if (u->cameras.start_shot(camera, name) != kShotStored) {
    reply(c, rep::kFailed);
    return;
  }
  // No reply now: the answer follows once the grabber's picture is due (ServerUnits::poll).
  u->await_shot(c.slot, c.session.socket, name);
}

void cmd_camera_plan_get(Context& c) {
  int camera = 0;
  if (!camera_of(c.server, camera)) {
    reply(c, rep::kFailed);
    return;
  }
  const TKamery& k = c.server.tree().kamery;
  c.packet.ULOZCISLO(camera_slot::kSystemOn, k.POUZIVAT ? 1 : 0);
  c.packet.put_raw(camera_slot::kPlan, &k.PLAN[camera], sizeof(TPlanKamer));
  reply(c, rep::kCameraPlan);
}

void cmd_camera_plan_set(Context& c) {
  ServerUnits* u = c.units;
  int camera = 0;
  TPlanKamer plan{};
  if (!u || !camera_of(c.server, camera) ||
      !c.packet.get_raw(camera_slot::kPlan, &plan, sizeof plan) ||
      !u->cameras.save_plan(camera, c.packet.ZISKEJCISLO(camera_slot::kSystemOn) == 1, plan)) {
    reply(c, rep::kFailed);
    return;
  }
  reply(c, rep::kCameraPlanSaved);
}

}  // namespace ksv::server
