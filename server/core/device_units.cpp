// ServerUnits: creating the units beside the core, the loop's calls into them, the message
// delivery of the maintenance pass and the camera-failure reactions.
#include "protocol/commands.h"
#include "protocol/records/users.h"
#include "server/core/device_handlers.h"
#include "server/core/server.h"
#include "server/store/attendance.h"

namespace ksv::server {

namespace {

// The attendance files of the data store, as the devices see them. One object serves all
// terminal events, so they are serialised by its lock.
class StoreAttendance final : public AttendanceLink {
 public:
  StoreAttendance(const std::string& base, Clock& clock) : a_(base, clock) {}
  bool user_present(int32_t id) override { return a_.user_present(id); }
  bool anybody_present() override { return a_.anybody_present(); }
  bool record_event(int32_t id, bool arrival) override {
    return a_.record_event(id, arrival ? TerminalEvent::kArrival : TerminalEvent::kDeparture);
  }

 private:
  Attendance a_;
};

std::unique_ptr<FrameGrabber> grabber_from(const ServerConfig& c) {
  if (c.grabber_command.empty()) return std::make_unique<OutsideGrabber>();
  return std::make_unique<CommandGrabber>(c.grabber_command);
}

}  // namespace

ServerUnits::ServerUnits(Server& srv, ServerConfig cfg, std::unique_ptr<AttendanceLink> att,
                         std::unique_ptr<FrameGrabber> grab, std::unique_ptr<ModemLines> ml)
    : server(srv),
      config(std::move(cfg)),
      messages(srv.tree().path("zpravy/")),
      mailer(srv.tree().base(), config, srv.log(), srv.clock()),
      attendance(att ? std::move(att)
                     : std::make_unique<StoreAttendance>(srv.tree().base(), srv.clock())),
      grabber(grab ? std::move(grab) : grabber_from(config)),
      cameras(srv.clock(), srv.log(), srv.tree().base(), srv.tree().kamery, srv.tree().kalendar,
              *attendance, *grabber),
      alarm(srv.clock(), srv.log(), srv.tree().path("alarm.dat"), srv.tree().alarm, *attendance,
            srv.users(), mailer),
      lines(std::move(ml)) {
  for (const std::string& p : config.problems) server.log().line(kConfigFile + (": " + p));
  server.attach_units(this);
}

ServerUnits::~ServerUnits() {
  if (link) link->stop();
  server.attach_units(nullptr);
}

void ServerUnits::start_cameras() { cameras.start(); }

void ServerUnits::poll() {
  alarm.poll();
  cameras.capture();
  answer_shot();
  mailer.reap();
}

void ServerUnits::await_shot(int slot, int socket, const std::string& name) {
  shot_waiter_ = {slot, socket, name};
}

void ServerUnits::answer_shot() {
  std::optional<int> r = cameras.shot_result();
  if (!r) return;
  const ShotWaiter w = shot_waiter_;
  shot_waiter_ = ShotWaiter{};
  if (w.slot < 0) return;
  TKlient& k = server.session(w.slot);
  if (!k.in_use || k.socket != w.socket) return;
  Packet& b = server.buffer();
  b.clear();
  if (*r == kShotStored) {
    b.ULOZRETEZEC(camera_slot::kFileName, false, w.name);
    b.NASTAVPRIKAZ(rep::kFrame, 0, true);
  } else {
    b.NASTAVPRIKAZ(rep::kFailed, 0, true);
  }
  server.serve(w.slot);
}

void ServerUnits::new_day() { cameras.new_day(); }

void ServerUnits::start_link() {
  if (!lines) {
    // Without a configured port the link does not run, and no terminal event arrives.
    if (config.serial_port.empty()) return;
    auto port = std::make_unique<SerialPortLines>();
    if (!port->open(config.serial_port)) {
      server.log().line("Nelze otevrit seriovy port " + config.serial_port);
      return;
    }
    lines = std::move(port);
  }
  link = std::make_unique<TerminalLink>(*lines, alarm);
  link->start();
}

std::string ServerUnits::store_message(int32_t to, const std::string& text, int32_t from,
                                       bool receipt) {
  return messages.store(make_message(to, text, from, receipt)).value_or("");
}

void ServerUnits::offer_message(int slot) {
  TKlient& k = server.session(slot);
  for (const std::string& name : messages.waiting_for(k.user_id)) {
    // A user logged in twice gets each message once, in the session that was offered it first.
    bool elsewhere = false;
    for (int other = 0; other < kMaxSessions; ++other)
      if (other != slot && server.session(other).in_use &&
          server.session(other).message_in_delivery == name)
        elsewhere = true;
    if (elsewhere) continue;
    std::optional<TZprava> m = messages.read(name);
    if (!m || m->KOMU != k.user_id) continue;

    k.message_in_delivery = name;
    const std::string recipient = server.users().name_by_id(k.user_id);
    Packet& b = server.buffer();
    b.clear();
    b.ULOZRETEZEC(ksv::slot::kText2, true, m->OBSAH.view());
    b.ULOZRETEZEC(ksv::slot::kData, true,
                  m->ODKOHO == -1 ? std::string("SERVER") : server.users().name_by_id(m->ODKOHO));
    b.NASTAVPRIKAZ(rep::kMessage, 0, true);
    // The first step sends the message, the second takes the confirmation if it is already in.
    server.serve(slot);
    server.serve(slot);
    server.log().line("Odesilam kratkou zpravu uzivateli " + recipient);
    return;
  }
}

void ServerUnits::camera_maintenance() {
  const DateTime now = server.clock().now();
  if (cameras.failure_detected() && server.session_count() == 0) {
    if (!camera_failure_reported) {
      int32_t admin = server.users().id_by_name(kAdminName);
      if (admin >= 0)
        store_message(admin, kCameraFailureText + format_moment(now) + ")", -1, false);
      server.log().line("Selhani kameroveho systemu!");
      camera_failure_reported = true;
    } else if (now.minute == 0 &&
               (now.hour == 5 || now.hour == 12 || now.hour == 17 || now.hour == 23)) {
      // The supervisor starts the server again, and the restart brings the cameras up.
      server.log().line("Probiha restart kameroveho systemu ...");
      server.request_restart();
    }
  }
  cameras.apply_plans();
}

}  // namespace ksv::server
