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

void cmd_alarm_set(Server& s, int) {
  ServerUnits* u = ServerUnits::of(s);
  uint8_t settings[kAlarmSettingsBytes];
  if (!u || !s.buffer().get_raw(ksv::slot::kText, settings, sizeof settings) ||
      !u->alarm.save_settings(settings)) {
    reply(s, rep::kFailed);
    return;
  }
  reply(s, rep::kAlarm);
}

void cmd_alarm_get(Server& s, int) {
  ServerUnits* u = ServerUnits::of(s);
  if (!u) {
    reply(s, rep::kFailed);
    return;
  }
  TAlarm rec = u->alarm.record();
  s.buffer().put_raw(ksv::slot::kText, &rec, sizeof rec);
  reply(s, rep::kAlarm);
}

void cmd_camera_frames(Server& s, int slot) {
  ServerUnits* u = ServerUnits::of(s);
  int camera = 0;
  TDatum day{};
  if (!u || !camera_of(s, camera) || !s.buffer().get_raw(camera_slot::kDay, &day, sizeof day)) {
    reply(s, rep::kFailed);
    return;
  }
  const std::string name = "sezns" + std::to_string(slot);
  if (!u->cameras.write_day_list(camera, day, s.tree().path("temp/" + name))) {
    reply(s, rep::kFailed);
    return;
  }
  reply_file(s, rep::kFrameList, name);
}

void cmd_camera_frame(Server& s, int slot) {
  ServerUnits* u = ServerUnits::of(s);
  int camera = 0;
  TDatum day{};
  TCas time{};
  if (!u || !camera_of(s, camera) || !s.buffer().get_raw(camera_slot::kDay, &day, sizeof day) ||
      !s.buffer().get_raw(camera_slot::kTime, &time, sizeof time)) {
    reply(s, rep::kFailed);
    return;
  }
  const std::string name = "frame" + std::to_string(slot) + ".jpg";
  std::optional<std::string> from = u->cameras.frame_path(camera, day, time);
  if (!from || !copy_file(*from, s.tree().path("temp/" + name))) {
    reply(s, rep::kFailed);
    return;
  }
  reply_file(s, rep::kFrame, name);
}

void cmd_camera_shot(Server& s, int slot) {
  ServerUnits* u = ServerUnits::of(s);
  int camera = 0;
  if (!u || !camera_of(s, camera)) {
    reply(s, rep::kFailed);
    return;
  }
  const std::string name = "pracf" + std::to_string(slot);
  if (u->cameras.shot(camera, name) != kShotStored) {
    reply(s, rep::kFailed);
    return;
  }
  reply_file(s, rep::kFrame, name);
}

void cmd_camera_plan_get(Server& s, int) {
  int camera = 0;
  if (!camera_of(s, camera)) {
    reply(s, rep::kFailed);
    return;
  }
  const TKamery& k = s.tree().kamery;
  s.buffer().ULOZCISLO(camera_slot::kSystemOn, k.POUZIVAT ? 1 : 0);
  s.buffer().put_raw(camera_slot::kPlan, &k.PLAN[camera], sizeof(TPlanKamer));
  reply(s, rep::kCameraPlan);
}

void cmd_camera_plan_set(Server& s, int) {
  ServerUnits* u = ServerUnits::of(s);
  int camera = 0;
  TPlanKamer plan{};
  if (!u || !camera_of(s, camera) ||
      !s.buffer().get_raw(camera_slot::kPlan, &plan, sizeof plan) ||
      !u->cameras.save_plan(camera, s.buffer().ZISKEJCISLO(camera_slot::kSystemOn) == 1, plan)) {
    reply(s, rep::kFailed);
    return;
  }
  reply(s, rep::kCameraPlanSaved);
}

}  // namespace ksv::server
