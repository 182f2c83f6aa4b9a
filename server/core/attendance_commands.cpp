// Attendance month lists, the holiday calendar and the calculation settings: the commands that
// hand records between the packet and the data store.
#include <vector>

#include "protocol/commands.h"
#include "protocol/record_file.h"
#include "protocol/rights.h"
#include "server/core/handlers.h"
#include "server/core/server.h"
#include "server/core/store_handlers.h"
#include "server/store/attendance.h"

namespace ksv::server {

namespace {

namespace sl = ksv::slot;

constexpr int kOtherUserRight = 57;
constexpr int kMonthSlot = 300, kYearSlot = 304;

}  // namespace

void cmd_attendance_month(Server& s, int slot) {
  const TKlient& k = s.session(slot);
  Packet& b = s.buffer();
  std::string user;
  if (!b.ZISKEJRETEZEC(sl::kText, true, user)) {
    reply(s, rep::kFailed);
    return;
  }
  const int32_t id = s.users().id_by_name(user);
  if (id == -1) {
    reply(s, rep::kFailed);
    return;
  }
  if (id != k.user_id && !TESTBIT(k.rights, kOtherUserRight)) {
    reply(s, rep::kNeedsRight);
    return;
  }
  // Only the low Word of month and year counts.
  const int month = b.ZISKEJCISLO(kMonthSlot) & 0xFFFF;
  const int year = b.ZISKEJCISLO(kYearSlot) & 0xFFFF;
  const std::string name = "doch" + std::to_string(slot);
  Attendance att(s.tree().base(), s.clock());
  if (!att.write_month(id, month, year, s.tree().path("temp/" + name))) {
    reply(s, rep::kFailed);
    return;
  }
  b.ULOZRETEZEC(sl::kText, true, name);
  reply(s, rep::kAttendanceFile);
}

void cmd_calendar_get(Server& s, int) {
  s.buffer().put_raw(sl::kText, &s.tree().kalendar, sizeof(TKalendar));
  reply(s, rep::kCalendar);
}

void cmd_calendar_set(Server& s, int) {
  TKalendar k{};
  s.buffer().get_raw(sl::kText, &k, sizeof k);
  // The file first; the memory copy is the record just written.
  if (!write_records<TKalendar>(s.tree().path("kalendar.dat"), std::vector<TKalendar>{k})) {
    reply(s, rep::kFailed);
    return;
  }
  s.tree().kalendar = k;
  reply(s, rep::kCalendar);
}

void cmd_calc_get(Server& s, int) {
  s.buffer().put_raw(sl::kText, &s.tree().kalkulace, sizeof(TKalkulace));
  reply(s, rep::kCalc);
}

void cmd_calc_set(Server& s, int) {
  TKalkulace k{};
  s.buffer().get_raw(sl::kText, &k, sizeof k);
  s.tree().kalkulace = k;
  // A failed write is passed over: every client already gets the new block from memory, and
  // the next successful save brings the file up to date.
  write_records<TKalkulace>(s.tree().path("kalkul.dat"), std::vector<TKalkulace>{k});
  reply(s, rep::kCalc);
}

}  // namespace ksv::server
