// The units beside the server core — messages and e-mail, the cameras, the alarm with the
// terminal link — and their command handlers (rows 15, 43-49 and 80 of the catalogue).
//
// ServerUnits owns the units of one server and attaches itself to it: the server's loop calls
// them in a fixed order, and the dispatcher hands them to the handlers in their context.
#pragma once
#include <memory>
#include <string>

#include "server/core/context.h"
#include "server/devices/alarm.h"
#include "server/devices/attendance_link.h"
#include "server/devices/cameras.h"
#include "server/devices/grabber.h"
#include "server/devices/terminal_link.h"
#include "server/messages/message_store.h"
#include "server/util/config.h"
#include "server/util/mail.h"

namespace ksv::server {

class Server;

// Messages (message_handlers.cpp).
void cmd_send_message(Context& c);      // 15
void cmd_message_received(Context& c);  // 80

// Alarm and cameras (device_handlers.cpp).
void cmd_alarm_set(Context& c);         // 43
void cmd_alarm_get(Context& c);         // 44
void cmd_camera_frames(Context& c);     // 45
void cmd_camera_frame(Context& c);      // 46
void cmd_camera_shot(Context& c);       // 47
void cmd_camera_plan_get(Context& c);   // 48
void cmd_camera_plan_set(Context& c);   // 49

// Packet offsets of the camera commands.
namespace camera_slot {
constexpr int kCamera = 4;      // LongInt camera number
constexpr int kDay = 8;         // TDatum
constexpr int kTime = 16;       // TCas
constexpr int kFileName = 32;   // plain string: the file to fetch
constexpr int kSystemOn = 60;   // LongInt: the camera system is in use
constexpr int kPlan = 64;       // TPlanKamer, 728 bytes
}  // namespace camera_slot

// The text of the camera-failure message to the administrator.
inline constexpr const char* kCameraFailureText = "Selhal kamerovy system !!! (";

class ServerUnits {
 public:
  // attendance and grabber default to the data store's attendance files and to the grabber
  // the configuration names. The terminal link starts only with a serial port configured (or
  // `lines` given, as tests do).
  ServerUnits(Server& server, ServerConfig config,
              std::unique_ptr<AttendanceLink> attendance = nullptr,
              std::unique_ptr<FrameGrabber> grabber = nullptr,
              std::unique_ptr<ModemLines> lines = nullptr);
  ~ServerUnits();
  ServerUnits(const ServerUnits&) = delete;
  ServerUnits& operator=(const ServerUnits&) = delete;

  // The loop's calls, in the order a pass makes them.
  // At start-up: the cameras after the data tree, the terminal link after the socket.
  void start_cameras();
  void start_link();
  // Every pass: the alarm sensors, the cameras' capture loop, finished mail programs.
  void poll();
  // The nightly cleaning clears the plans' run-time marks.
  void new_day();

  // Stores a message; the file name, or "" on a file error.
  std::string store_message(int32_t to, const std::string& text, int32_t from, bool receipt);
  // The delivery step of the maintenance pass for one idle logged-in slot.
  void offer_message(int slot);
  // The camera-failure reactions, then the plans (last step of every maintenance pass).
  void camera_maintenance();

  Server& server;
  ServerConfig config;
  MessageStore messages;
  Mailer mailer;
  std::unique_ptr<AttendanceLink> attendance;
  std::unique_ptr<FrameGrabber> grabber;
  CameraSystem cameras;
  Alarm alarm;
  std::unique_ptr<ModemLines> lines;
  std::unique_ptr<TerminalLink> link;

  // The camera-failure bookkeeping: the failure was reported to the administrator.
  bool camera_failure_reported = false;

  // A fresh frame (47) waits for the grabber while the loop serves everyone else; the session
  // that asked is answered once the picture is due. It is identified by slot and socket, so a
  // session that ended meanwhile (and a new one in its slot) gets nothing.
  void await_shot(int slot, int socket, const std::string& name);

 private:
  void answer_shot();
  struct ShotWaiter {
    int slot = -1;
    int socket = -1;
    std::string name;
  };
  ShotWaiter shot_waiter_;

};

}  // namespace ksv::server
