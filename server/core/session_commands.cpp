// Session and server commands: liveness probe and its answer, restart, server time, log-off.
#include "protocol/commands.h"
#include "server/core/handlers.h"
#include "server/core/server.h"

namespace ksv::server {

void reply(Server& s, uint8_t code) { s.buffer().NASTAVPRIKAZ(code, 0, true); }
void reply(Context& c, uint8_t code) { c.packet.NASTAVPRIKAZ(code, 0, true); }

void cmd_probe(Context& c) {
  if (c.session.logged_in()) reply(c, rep::kAlive);
}

void cmd_probe_answer(Context& c) { c.session.probe.ANO = false; }

void cmd_restart(Context& c) {
  if (c.server.users().name_by_id(c.session.user_id) != kAdminName) {
    reply(c, rep::kNotPermitted);
    return;
  }
  c.server.log().line("Pozadavek na okamzity restart systemu KSV!");
  c.server.request_restart();
  reply(c, rep::kSessionEnded);
}

void cmd_time(Context& c) {
  DateTime now = c.server.clock().now();
  Packet& b = c.packet;
  b.put_word(ksv::slot::kDate, uint16_t(now.second));
  b.put_word(ksv::slot::kDate + 2, uint16_t(now.minute));
  b.put_word(ksv::slot::kDate + 4, uint16_t(now.hour));
  reply(c, rep::kTime);
}

void cmd_disconnect(Context& c) {
  c.server.log().line("Klient cislo " + std::to_string(c.slot) + " se odpojil");
  reply(c, rep::kSessionEnded);
}

}  // namespace ksv::server
