// Users and rights over the wire: lookups, the user lists, login, and the administration
// commands. The file rules live in the user store; here are the packet slots and the session.
#include <cstring>

#include "protocol/commands.h"
#include "server/core/handlers.h"
#include "server/core/server.h"

namespace ksv::server {

namespace {

namespace sl = ksv::slot;

// Clears everything after the header, so a reply carries only what it is meant to carry.
void clear_payload(Packet& b) { std::memset(b.bytes + 4, 0, kPacketSize - 4); }

// A counted string from the request; a length running past the packet refuses the command.
bool text_arg(Server& s, int p, std::string& out) {
  if (s.buffer().ZISKEJRETEZEC(p, true, out)) return true;
  reply(s, rep::kFailed);
  return false;
}

void reply_result(Server& s, UserResult r, uint8_t ok_code) {
  reply(s, r == UserResult::kOk ? ok_code : rep::kFailed);
}

void user_list(Server& s, int slot, bool with_ids) {
  std::string name = "sezn" + std::to_string(slot);
  if (!s.users().write_list(s.tree().path("temp/" + name), with_ids)) {
    reply(s, rep::kFailed);
    return;
  }
  Packet& b = s.buffer();
  clear_payload(b);
  b.ULOZRETEZEC(sl::kText, true, name);
  reply(s, rep::kUserListFile);
}

}  // namespace

void cmd_user_id(Context& c) {
  std::string name;
  if (!text_arg(c.server, sl::kText, name)) return;
  c.packet.ULOZCISLO(sl::kNumber, c.server.users().id_by_name(name));
  reply(c, rep::kUser);
}

void cmd_user_name(Context& c) {
  std::string name = c.server.users().name_by_id(c.packet.ZISKEJCISLO(sl::kNumber));
  c.packet.ULOZRETEZEC(sl::kText, true, name);
  reply(c, rep::kUser);
}

void cmd_user_list_ids(Context& c) { user_list(c.server, c.slot, true); }
void cmd_user_list(Context& c) { user_list(c.server, c.slot, false); }

void cmd_login(Context& c) {
  TKlient& k = c.session;
  Packet& b = c.packet;
  std::string name;
  if (!text_arg(c.server, sl::kText, name)) return;
  // The administrator works only from the workshop's own network.
  if (name == kAdminName && net::first_octet(k.address) != 192) {
    reply(c, rep::kLoginRefused);
    return;
  }
  // An empty name would match the file's header record, which is nobody.
  std::optional<TPrava> user = name.empty() ? std::nullopt : c.server.users().find(name);
  if (!user) {
    reply(c, rep::kLoginRefused);
    return;
  }
  b.DESIFRUJHESLO();
  std::string password;
  if (!text_arg(c.server, sl::kText2, password)) return;
  if (!(user->HESLO == password)) {
    k.failed_logins++;
    if (k.failed_logins < 3) {
      reply(c, rep::kWrongPassword);
      return;
    }
    // The third wrong password in a row: the serve step ends the session after the 195.
    c.server.blocked().block(k.address, c.server.clock().now());
    reply(c, rep::kLoginRefused);
    return;
  }
  DateTime now = c.server.clock().now();
  // The stamp is a record of the login, not a condition for it: with the disk full nobody could
  // log in at all, not even to clean up.
  TPrava before = *user;
  if (c.server.users().stamp_login(name, now, before) != UserResult::kOk) {
    c.server.log().line("Nelze zapsat cas prihlaseni uzivatele " + name);
    before = *user;
  }
  k.user_id = before.ID;
  k.failed_logins = 0;
  // An expired delegation grants nothing, not even for this one session.
  if (delegation_expired(before.PLATIDO, now)) {
    k.rights = before.PRAVA;
    k.delegated_rights = 0;
    k.delegation_until = TDatum{};
  } else {
    k.rights = before.PRAVA | before.PREDANAPRAVA;
    k.delegated_rights = before.PREDANAPRAVA;
    k.delegation_until = before.PLATIDO;
  }
  clear_payload(b);
  b.put_raw(sl::kDateTime, &before.NAPOSLEDY, sizeof before.NAPOSLEDY);
  reply(c, rep::kLoggedIn);
}

void cmd_create_user(Context& c) {
  Packet& b = c.packet;
  std::string name, password, code;
  if (!text_arg(c.server, sl::kText, name)) return;
  b.DESIFRUJHESLO();
  if (!text_arg(c.server, sl::kText2, password) || !text_arg(c.server, sl::kText3, code)) return;
  int32_t id = -1;
  UserResult r = c.server.users().create(name, password, code, b.get_int64(sl::kInt64), &id);
  if (r != UserResult::kOk) {
    reply(c, rep::kFailed);
    return;
  }
  b.ULOZCISLO(sl::kNumber, id);
  reply(c, rep::kUserChanged);
}

void cmd_delete_user(Context& c) {
  std::string name;
  if (!text_arg(c.server, sl::kText, name)) return;
  reply_result(c.server, c.server.users().remove(name), rep::kUserChanged);
}

void cmd_user_details(Context& c) {
  Packet& b = c.packet;
  std::string name;
  if (!text_arg(c.server, sl::kText, name)) return;
  std::optional<TPrava> u = c.server.users().find(name);
  if (!u) {
    reply(c, rep::kFailed);
    return;
  }
  clear_payload(b);
  b.ULOZRETEZEC(sl::kText, true, u->UZIVATEL.view());
  b.ULOZRETEZEC(sl::kText2, true, u->HESLO.view());
  b.SIFRUJHESLO();
  b.ULOZRETEZEC(sl::kText3, true, u->KODDOCHAZKY.view());
  b.put_int64(sl::kInt64, u->PRAVA);
  b.ULOZCISLO(sl::kNumber, u->ID);
  b.put_int64(sl::kRights, u->PREDANAPRAVA);
  b.put_raw(sl::kDate, &u->PLATIDO, sizeof u->PLATIDO);
  b.put_raw(sl::kDateTime, &u->NAPOSLEDY, sizeof u->NAPOSLEDY);
  reply(c, rep::kUser);
}

void cmd_save_user(Context& c) {
  Packet& b = c.packet;
  std::string name, password, code;
  if (!text_arg(c.server, sl::kText, name)) return;
  b.DESIFRUJHESLO();
  if (!text_arg(c.server, sl::kText2, password) || !text_arg(c.server, sl::kText3, code)) return;
  reply_result(c.server, c.server.users().save(name, password, code, b.get_int64(sl::kInt64)),
               rep::kUserSaved);
}

void cmd_own_rights(Context& c) {
  std::optional<TPrava> u = c.server.users().find(c.server.users().name_by_id(c.session.user_id));
  if (!u) {
    reply(c, rep::kFailed);
    return;
  }
  c.packet.put_int64(sl::kInt64, u->PRAVA);
  reply(c, rep::kOwnRights);
}

void cmd_set_rights(Context& c) {
  std::string name;
  if (!text_arg(c.server, sl::kText, name)) return;
  reply_result(c.server, c.server.users().set_rights(name, c.packet.get_int64(sl::kInt64)),
               rep::kRightsSet);
}

void cmd_delegate(Context& c) {
  Packet& b = c.packet;
  std::string name;
  if (!text_arg(c.server, sl::kText, name)) return;
  TDatum until{};
  b.get_raw(sl::kDate, &until, sizeof until);
  reply_result(c.server, c.server.users().delegate(name, b.get_int64(sl::kRights), until),
               rep::kDelegated);
}

}  // namespace ksv::server
