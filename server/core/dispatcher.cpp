// The command catalogue and the front of the dispatcher: liveness, admission (login, signature,
// rights, the program lock), the handler, and the end of execution.
#include "server/core/dispatcher.h"

#include <array>
#include <cstring>

#include "protocol/rights.h"
#include "server/core/device_handlers.h"
#include "server/core/handlers.h"
#include "server/core/server.h"
#include "server/core/store_handlers.h"

namespace ksv::server {

namespace {

struct Row {
  uint8_t code;
  CommandInfo info;
};

constexpr CommandInfo row(const char* key, Rule rule, Handler h) {
  CommandInfo c;
  c.status_key = key;
  c.rule = rule;
  c.handler = h;
  c.known = true;
  return c;
}
constexpr CommandInfo login_free(CommandInfo c) {
  c.login_free = true;
  return c;
}
constexpr CommandInfo with_signature(CommandInfo c) {
  c.signature = true;
  return c;
}
constexpr CommandInfo locked(CommandInfo c) {
  c.program_lock = true;
  return c;
}

// The whole protocol on one screen. Columns: code, status key, rights rule, handler; wrappers
// mark the commands accepted before a login, those carrying the client signature, and those
// refused while the open program is open in another session. A null handler means the command
// has no effect and no answer yet.
// clang-format off
const Row kRows[] = {
  {  1, login_free(row("",           no_rule(),               cmd_probe))},
  {  2, row("rest",                  no_rule(),               cmd_restart)},
  {  5, row("readid",                no_rule(),               cmd_user_id)},
  {  6, row("readname",              no_rule(),               cmd_user_name)},
  {  7, login_free(with_signature(row("", no_rule(),          cmd_user_list_ids)))},
  {  8, row("getkalkul",             no_rule(),               cmd_calc_get)},
  {  9, row("setkalkul",             bit(49),                 cmd_calc_set)},
  { 10, login_free(with_signature(row("getlist", no_rule(),   cmd_user_list)))},
  { 11, login_free(with_signature(row("login", no_rule(),     cmd_login)))},
  { 13, row("time",                  no_rule(),               cmd_time)},
  { 14, locked(row("delzak",         bit(60),                 cmd_delete_order))},
  { 15, row("sendmes",               bit(63),                 cmd_send_message)},
  { 16, locked(row("dupl",           bit(9),                  cmd_copy_order))},
  { 17, row("openzak",               bit(8),                  cmd_open_order)},
  { 18, row("closezak",              no_rule(),               cmd_close_order)},
  { 19, row("newzak",                bit(9),                  cmd_create_order)},
  { 20, login_free(row("disconnect", no_rule(),               cmd_disconnect))},
  { 22, row("readkalend",            no_rule(),               cmd_calendar_get)},
  { 23, row("setkalend",             no_rule(),               cmd_calendar_set)},
  { 25, row("create",                bit(20),                 cmd_create_user)},
  { 26, row("delete",                bit(21),                 cmd_delete_user)},
  { 27, row("info",                  other_needs_both(18, 22), cmd_user_details)},
  { 28, row("save",                  other_only(23),          cmd_save_user)},
  { 30, locked(row("",               no_rule(),               cmd_upload_start))},
  { 31, row("",                      no_rule(),               cmd_download_start)},
  { 32, row("",                      no_rule(),               cmd_abort_transfer)},
  { 33, row("aktual",                no_rule(),               cmd_stitch_data)},
  { 35, row("getdoch",               bit(6),                  cmd_attendance_month)},
  { 37, row("recvobrum",             no_rule(),               cmd_placement_picture)},
  { 38, row("addobrum",              no_rule(),               cmd_picture_upload_name)},
  { 40, row("openpzak",              bit(0),                  cmd_open_program)},
  { 41, row("closepzak",             no_rule(),               cmd_close_program)},
  { 42, locked(row("newpzak",        bit(1),                  cmd_create_program))},
  { 43, row("setalarm",              bit(53),                 cmd_alarm_set)},
  { 44, row("getalarm",              bit(53),                 cmd_alarm_get)},
  { 45, row("loadcam",               bit(24),                 cmd_camera_frames)},
  { 46, row("loadobr",               bit(24),                 cmd_camera_frame)},
  { 47, row("",                      bit(24),                 cmd_camera_shot)},
  { 48, row("readcam",               bit(24),                 cmd_camera_plan_get)},
  { 49, row("setcam",                bit(25),                 cmd_camera_plan_set)},
  { 51, row("addnit",                bit(10),                 cmd_save_thread)},
  { 52, row("delnit",                bit(11),                 cmd_delete_thread)},
  { 53, row("addmat",                bit(12),                 cmd_save_material)},
  { 54, row("delmat",                bit(13),                 cmd_delete_material)},
  { 55, row("addumist",              bit(14),                 cmd_save_placement)},
  { 56, row("delumist",              bit(15),                 cmd_delete_placement)},
  { 57, row("readnit",               no_rule(),               cmd_thread_list)},
  { 58, row("readmat",               no_rule(),               cmd_material_list)},
  { 59, row("readmist",              no_rule(),               cmd_placement_list)},
  { 60, row("",                      bit(16),                 cmd_own_rights)},
  { 61, row("rights",                own_or_other(17, 19),    cmd_set_rights)},
  { 62, row("copy",                  bit(62),                 cmd_delegate)},
  { 63, row("listzak",               no_rule(),               cmd_list)},
  { 64, login_free(row("",           no_rule(),               cmd_probe_answer))},
  { 80, login_free(row("",           no_rule(),               cmd_message_received))},
  {120, row("",                      no_rule(),               cmd_upload_block)},
  {121, login_free(row("",           no_rule(),               cmd_download_block))},
};
// clang-format on

std::array<CommandInfo, 256> build_table() {
  std::array<CommandInfo, 256> t{};
  for (const Row& r : kRows) t[r.code] = r.info;
  return t;
}

const std::array<CommandInfo, 256>& table() {
  static const std::array<CommandInfo, 256> t = build_table();
  return t;
}

// Does the rule let this session run the command? Rules about a user record compare the user
// named at offset 4 with the session's own user.
bool rule_allows(Server& s, int slot, const Rule& rule) {
  const TKlient& k = s.session(slot);
  auto has = [&](int n) { return TESTBIT(k.rights, n); };
  auto named_is_own = [&] {
    std::string name;
    if (!s.buffer().ZISKEJRETEZEC(4, true, name)) return false;
    return s.users().id_by_name(name) == k.user_id;
  };
  switch (rule.kind) {
    case Rule::Kind::kNone: return true;
    case Rule::Kind::kBit: return has(rule.a);
    case Rule::Kind::kOwnOrOther: return named_is_own() ? has(rule.a) : has(rule.b);
    case Rule::Kind::kOtherNeedsBoth: return named_is_own() || (has(rule.a) && has(rule.b));
    case Rule::Kind::kOtherOnly: return named_is_own() || has(rule.a);
  }
  return false;
}

}  // namespace

const CommandInfo& command_info(uint8_t code) { return table()[code]; }

uint8_t Server::execute(int slot) {
  TKlient& k = sessions_[slot];
  uint8_t code = 0;
  uint16_t block = 0;
  buf_.ZJISTIPRIKAZ(code, block);
  k.last_request = code;
  DateTime now = clock_.now();

  if (code == 0) {
    // Liveness: probe after a minute of silence; end the session half a minute after an
    // unanswered probe.
    if (!k.probe.ANO && seconds_between(k.last_activity, now) > kIdleProbeSeconds) {
      buf_.clear();
      buf_.NASTAVPRIKAZ(128, 0, true);
      TPosledni p = to_posledni(now);
      k.probe = {true, p.DEN, p.MES, p.ROK, p.H, p.M, p.S};
      return 128;
    }
    if (k.probe.ANO) {
      TPosledni sent{k.probe.DEN, k.probe.MES, k.probe.ROK, k.probe.H, k.probe.M, k.probe.S};
      if (seconds_between(sent, now) > kProbeTimeoutSeconds) {
        disconnect(slot);
        log_.line("Klient cislo " + std::to_string(slot) + " byl odpojen - timeout");
      }
    }
    return 0;
  }

  const CommandInfo& cmd = command_info(code);
  bool allowed = true;

  // Before a login only the login-free commands pass; the session's own user list may be
  // fetched too. Anything else is a foreign program probing the server: block it.
  if (!k.logged_in() && !cmd.login_free) {
    std::string name;
    bool own_list = code == 31 && buf_.ZISKEJRETEZEC(4, true, name) &&
                    name == "sezn" + std::to_string(slot);
    if (!own_list) {
      block_and_close(slot, "Blokuji pocitac (CMD) z IP ");
      return 0;
    }
  }
  // A signature that differs in any byte means a foreign program: block it.
  if (cmd.signature &&
      std::memcmp(buf_.bytes + ksv::slot::kSignature, signature_, kSignatureSize) != 0) {
    block_and_close(slot, "Blokuji pocitac (SIGN) z IP ");
    return 0;
  }
  // The rights table, for a logged-in session.
  if (k.logged_in() && !rule_allows(*this, slot, cmd.rule)) allowed = false;
  // Changes to a program that another session has open wait until it is closed there.
  if (cmd.program_lock && k.program_in_use_elsewhere) {
    reply(*this, 253);
    k.last_activity = to_posledni(now);
    k.last_reply = 253;
    return 253;
  }

  if (allowed && cmd.handler) cmd.handler(*this, slot);
  if (!k.in_use) return 0;  // the handler ended the session

  // End of execution.
  k.last_activity = to_posledni(now);
  if (!allowed) reply(*this, 231);
  k.last_reply = buf_.code();
  if (k.last_reply == k.last_request) buf_.bytes[0] = 0;
  return buf_.code();
}

}  // namespace ksv::server
