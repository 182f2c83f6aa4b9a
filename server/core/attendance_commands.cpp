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

void cmd_attendance_month(Context& c) {
  const TKlient& k = c.session;
  Packet& b = c.packet;
  std::string user;
  if (!b.ZISKEJRETEZEC(sl::kText, true, user)) {
    reply(c, rep::kFailed);
    return;
  }
  const int32_t id = c.server.users().id_by_name(user);
  if (id == -1) {
    reply(c, rep::kFailed);
    return;
  }
  if (id != k.user_id && !TESTBIT(k.rights, kOtherUserRight)) {
    reply(c, rep::kNeedsRight);
    return;
  }
  // Only the low Word of month and year counts.
  const int month = b.ZISKEJCISLO(kMonthSlot) & 0xFFFF;
  const int year = b.ZISKEJCISLO(kYearSlot) & 0xFFFF;
  const std::string name = "doch" + std::to_string(c.slot);
  Attendance att(c.server.tree().base(), c.server.clock());
  if (!att.write_month(id, month, year, c.server.tree().path("temp/" + name))) {
    reply(c, rep::kFailed);
    return;
  }
  b.ULOZRETEZEC(sl::kText, true, name);
  reply(c, rep::kAttendanceFile);
}

void cmd_calendar_get(Context& c) {
  c.packet.put_raw(sl::kText, &c.server.tree().kalendar, sizeof(TKalendar));
  reply(c, rep::kCalendar);
}

void cmd_calendar_set(Context& c) {
  TKalendar k{};
  c.packet.get_raw(sl::kText, &k, sizeof k);
  // The file first; the memory copy is the record just written.
  if (!write_records<TKalendar>(c.server.tree().path("kalendar.dat"), std::vector<TKalendar>{k})) {
    reply(c, rep::kFailed);
    return;
  }
  c.server.tree().kalendar = k;
  reply(c, rep::kCalendar);
}

void cmd_calc_get(Context& c) {
  c.packet.put_raw(sl::kText, &c.server.tree().kalkulace, sizeof(TKalkulace));
  reply(c, rep::kCalc);
}

void cmd_calc_set(Context& c) {
  TKalkulace k{};
  c.packet.get_raw(sl::kText, &k, sizeof k);
  // The prices count as saved only once they are on disk; otherwise they would vanish at the
  // next restart while the user believes them kept. Memory keeps the old block then, like the
  // calendar.
  if (!write_records<TKalkulace>(c.server.tree().path("kalkul.dat"), std::vector<TKalkulace>{k})) {
    c.server.log().line("Nelze zapsat kalkul.dat");
    reply(c, rep::kFailed);
    return;
  }
  c.server.tree().kalkulace = k;
  reply(c, rep::kCalc);
}

}  // namespace ksv::server
