// Commands 15 (send a message) and 80 (a message was received).
#include "protocol/commands.h"
#include "protocol/rights.h"
#include "server/core/device_handlers.h"
#include "server/core/handlers.h"
#include "server/core/server.h"

namespace ksv::server {

constexpr int kRightReceivesMessages = 54;

void cmd_send_message(Context& c) {
  ServerUnits* u = c.units;
  Packet& b = c.packet;
  std::string to_name, text;
  if (!u || !b.ZISKEJRETEZEC(ksv::slot::kData, true, to_name) ||
      !b.ZISKEJRETEZEC(ksv::slot::kText2, true, text)) {
    reply(c, rep::kFailed);
    return;
  }
  bool receipt = b.bytes[4] == 1;
  const int32_t from = c.session.user_id;
  const int32_t to = c.server.users().id_by_name(to_name);

  // The administrator's note to himself starting with "$" is a command; its answer comes back
  // as the message.
  if (to == from && c.server.session_count() > 0 && !text.empty() && text[0] == '$' &&
      c.server.users().name_by_id(from) == kAdminName) {
    text = run_admin_command(text.substr(1), c.server.tree().base(), u->messages);
    receipt = false;
  }
  std::optional<TPrava> recipient = c.server.users().find(to_name);
  if (to == -1 || !recipient || !TESTBIT(recipient->PRAVA, kRightReceivesMessages)) {
    reply(c, rep::kFailed);
    return;
  }
  reply(c, u->store_message(to, text, from, receipt).empty() ? rep::kFailed : rep::kMessageStored);
}

void cmd_message_received(Context& c) {
  ServerUnits* u = c.units;
  TKlient& k = c.session;
  if (!u || k.message_in_delivery.empty()) return;
  const std::string name = k.message_in_delivery;
  if (std::optional<TZprava> m = u->messages.read(name); m && m->DORUCENKA)
    u->store_message(m->ODKOHO,
                     "Zprava pro " + c.server.users().name_by_id(m->KOMU) + " byla dorucena",
                     -1, false);
  u->messages.erase(name);
  k.message_in_delivery.clear();
}

}  // namespace ksv::server
