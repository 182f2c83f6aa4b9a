// Session and server commands: liveness probe and its answer, restart, server time, log-off.
#include "protocol/commands.h"
#include "server/core/handlers.h"
#include "server/core/server.h"

namespace ksv::server {

void reply(Server& s, uint8_t code) { s.buffer().NASTAVPRIKAZ(code, 0, true); }

void cmd_probe(Server& s, int slot) {
  if (s.session(slot).logged_in()) reply(s, rep::kAlive);
}

void cmd_probe_answer(Server& s, int slot) { s.session(slot).probe.ANO = false; }

void cmd_restart(Server& s, int slot) {
  if (s.users().name_by_id(s.session(slot).user_id) != kAdminName) {
    reply(s, rep::kNotPermitted);
    return;
  }
  s.log().line("Pozadavek na okamzity restart systemu KSV!");
  s.request_restart();
  reply(s, rep::kSessionEnded);
}

void cmd_time(Server& s, int) {
  DateTime now = s.clock().now();
  Packet& b = s.buffer();
  b.put_word(ksv::slot::kDate, uint16_t(now.second));
  b.put_word(ksv::slot::kDate + 2, uint16_t(now.minute));
  b.put_word(ksv::slot::kDate + 4, uint16_t(now.hour));
  reply(s, rep::kTime);
}

void cmd_disconnect(Server& s, int slot) {
  s.log().line("Klient cislo " + std::to_string(slot) + " se odpojil");
  reply(s, rep::kSessionEnded);
}

}  // namespace ksv::server
