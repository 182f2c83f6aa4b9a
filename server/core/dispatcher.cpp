// The command catalogue and the front of the dispatcher: liveness, admission (login, signature,
// rights, the program lock), the handler, and the end of execution.
#include "server/core/dispatcher.h"

#include <array>
#include <cstring>

#include "protocol/commands.h"
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

constexpr CommandInfo row(Rule rule, Handler h) {
  CommandInfo c;
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

// The whole protocol on one screen. Columns: code, rights rule, handler; wrappers mark the
// commands accepted before a login, those carrying the client signature, and those refused
// while the open program is open in another session. The replies and status keys of the codes
// are in protocol/commands.h; every row here has its request there and the other way round.
// clang-format off
constexpr Row kRows[] = {
  {req::kProbe,             login_free(row(no_rule(),                cmd_probe))},
  {req::kRestart,           row(no_rule(),                           cmd_restart)},
  {req::kUserId,            row(no_rule(),                           cmd_user_id)},
  {req::kUserName,          row(no_rule(),                           cmd_user_name)},
  {req::kUserListIds,       login_free(with_signature(row(no_rule(), cmd_user_list_ids)))},
  {req::kCalcGet,           row(no_rule(),                           cmd_calc_get)},
  {req::kCalcSet,           row(bit(49),                             cmd_calc_set)},
  {req::kUserList,          login_free(with_signature(row(no_rule(), cmd_user_list)))},
  {req::kLogin,             login_free(with_signature(row(no_rule(), cmd_login)))},
  {req::kTime,              row(no_rule(),                           cmd_time)},
  {req::kDeleteOrder,       locked(row(bit(60),                      cmd_delete_order))},
  {req::kSendMessage,       row(bit(63),                             cmd_send_message)},
  {req::kCopyOrder,         locked(row(bit(9),                       cmd_copy_order))},
  {req::kOpenOrder,         row(bit(8),                              cmd_open_order)},
  {req::kCloseOrder,        row(no_rule(),                           cmd_close_order)},
  {req::kCreateOrder,       row(bit(9),                              cmd_create_order)},
  {req::kDisconnect,        login_free(row(no_rule(),                cmd_disconnect))},
  {req::kCalendarGet,       row(no_rule(),                           cmd_calendar_get)},
  {req::kCalendarSet,       row(no_rule(),                           cmd_calendar_set)},
  {req::kCreateUser,        row(bit(20),                             cmd_create_user)},
  {req::kDeleteUser,        row(bit(21),                             cmd_delete_user)},
  {req::kUserDetails,       row(other_needs_both(18, 22),            cmd_user_details)},
  {req::kSaveUser,          row(other_only(23),                      cmd_save_user)},
  {req::kUploadStart,       locked(row(no_rule(),                    cmd_upload_start))},
  {req::kDownloadStart,     row(no_rule(),                           cmd_download_start)},
  {req::kAbortTransfer,     row(no_rule(),                           cmd_abort_transfer)},
  {req::kStitchData,        row(no_rule(),                           cmd_stitch_data)},
  {req::kAttendanceMonth,   row(bit(6),                              cmd_attendance_month)},
  {req::kPlacementPicture,  row(no_rule(),                           cmd_placement_picture)},
  {req::kPictureUploadName, row(no_rule(),                           cmd_picture_upload_name)},
  {req::kOpenProgram,       row(bit(0),                              cmd_open_program)},
  {req::kCloseProgram,      row(no_rule(),                           cmd_close_program)},
  {req::kCreateProgram,     locked(row(bit(1),                       cmd_create_program))},
  {req::kAlarmSet,          row(bit(53),                             cmd_alarm_set)},
  {req::kAlarmGet,          row(bit(53),                             cmd_alarm_get)},
  {req::kCameraFrames,      row(bit(24),                             cmd_camera_frames)},
  {req::kCameraFrame,       row(bit(24),                             cmd_camera_frame)},
  {req::kCameraShot,        row(bit(24),                             cmd_camera_shot)},
  {req::kCameraPlanGet,     row(bit(24),                             cmd_camera_plan_get)},
  {req::kCameraPlanSet,     row(bit(25),                             cmd_camera_plan_set)},
  {req::kSaveThread,        row(bit(10),                             cmd_save_thread)},
  {req::kDeleteThread,      row(bit(11),                             cmd_delete_thread)},
  {req::kSaveMaterial,      row(bit(12),                             cmd_save_material)},
  {req::kDeleteMaterial,    row(bit(13),                             cmd_delete_material)},
  {req::kSavePlacement,     row(bit(14),                             cmd_save_placement)},
  {req::kDeletePlacement,   row(bit(15),                             cmd_delete_placement)},
  {req::kThreadList,        row(no_rule(),                           cmd_thread_list)},
  {req::kMaterialList,      row(no_rule(),                           cmd_material_list)},
  {req::kPlacementList,     row(no_rule(),                           cmd_placement_list)},
  {req::kOwnRights,         row(bit(16),                             cmd_own_rights)},
  {req::kSetRights,         row(own_or_other(17, 19),                cmd_set_rights)},
  {req::kDelegate,          row(bit(62),                             cmd_delegate)},
  {req::kList,              row(no_rule(),                           cmd_list)},
  {req::kProbeAnswer,       login_free(row(no_rule(),                cmd_probe_answer))},
  {req::kMessageReceived,   login_free(row(no_rule(),                cmd_message_received))},
  {req::kUploadBlock,       row(no_rule(),                           cmd_upload_block)},
  {req::kDownloadAck,       login_free(row(no_rule(),                cmd_download_block))},
};
// clang-format on

// The dispatcher and the protocol's table list the same requests.
constexpr bool rows_match_protocol() {
  for (const Row& r : kRows)
    if (!find_command(r.code)) return false;
  for (const CommandRow& c : kCommands) {
    bool found = false;
    for (const Row& r : kRows) found = found || r.code == c.request;
    if (!found) return false;
  }
  return std::size(kRows) == std::size(kCommands);
}
static_assert(rows_match_protocol(), "a request without a dispatcher row, or the reverse");

std::array<CommandInfo, 256> build_table() {
  std::array<CommandInfo, 256> t{};
  for (const Row& r : kRows) {
    t[r.code] = r.info;
    t[r.code].status_key = find_command(r.code)->status_key;
  }
  return t;
}

const std::array<CommandInfo, 256>& table() {
  static const std::array<CommandInfo, 256> t = build_table();
  return t;
}

// The session's side of a rule: rules about a user record compare the user named at offset 4
// with the session's own user.
bool session_allowed(Server& s, int slot, const Rule& rule) {
  const TKlient& k = s.session(slot);
  bool named_is_own = false;
  if (rule.about_named_user()) {
    std::string name;
    named_is_own =
        s.buffer().ZISKEJRETEZEC(4, true, name) && s.users().id_by_name(name) == k.user_id;
  }
  return rule_allows(rule, k.rights, named_is_own);
}

}  // namespace

const CommandInfo& command_info(uint8_t code) { return table()[code]; }

bool rule_allows(const Rule& rule, int64_t rights, bool named_is_own) {
  auto has = [&](int n) { return TESTBIT(rights, n); };
  switch (rule.kind) {
    case Rule::Kind::kNone: return true;
    case Rule::Kind::kBit: return has(rule.a);
    case Rule::Kind::kOwnOrOther: return named_is_own ? has(rule.a) : has(rule.b);
    case Rule::Kind::kOtherNeedsBoth: return named_is_own || (has(rule.a) && has(rule.b));
    case Rule::Kind::kOtherOnly: return named_is_own || has(rule.a);
  }
  return false;
}

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
      buf_.NASTAVPRIKAZ(rep::kProbe, 0, true);
      TPosledni p = to_posledni(now);
      k.probe = {true, p.DEN, p.MES, p.ROK, p.H, p.M, p.S};
      return rep::kProbe;
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
    bool own_list =
        code == 31 && buf_.ZISKEJRETEZEC(4, true, name) && name == "sezn" + std::to_string(slot);
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
  if (k.logged_in() && !session_allowed(*this, slot, cmd.rule)) allowed = false;
  // Changes to a program that another session has open wait until it is closed there.
  if (cmd.program_lock && k.program_in_use_elsewhere) {
    reply(*this, rep::kProgramBusy);
    k.last_activity = to_posledni(now);
    k.last_reply = rep::kProgramBusy;
    return rep::kProgramBusy;
  }

  if (allowed && cmd.handler) {
    Context context{*this, units_, buf_, slot, k};
    cmd.handler(context);
  }
  if (!k.in_use) return 0;  // the handler ended the session

  // End of execution.
  k.last_activity = to_posledni(now);
  if (!allowed) reply(*this, rep::kNotPermitted);
  k.last_reply = buf_.code();
  if (k.last_reply == k.last_request) buf_.bytes[0] = 0;
  return buf_.code();
}

}  // namespace ksv::server
