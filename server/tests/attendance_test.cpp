// Attendance day files (the slot rules of arrivals and departures, presence), the month list of
// command 35 with its rights, and the round trips of the calendar and calculation settings.
#include <sys/stat.h>

#include <cstring>

#include "protocol/records/attendance.h"
#include "protocol/records/settings.h"
#include "protocol/testsupport/temp_dir.h"
#include "server/store/attendance.h"
#include "server/tests/store_rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

class Days : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(::mkdir((dir.path() + "dochazka").c_str(), 0755) == 0); }
  TDochazka day(int32_t user) {
    return read_record<TDochazka>(att.day_file(user, 2026, 3, 10), 0).value_or(TDochazka{});
  }
  ksv::testing::TempDir dir;
  FakeClock clock{2026, 3, 10, 7, 58, 12};
  Attendance att{dir.path(), clock};
};

TEST_F(Days, FirstArrivalMakesTheDayAndTheUserIsPresent) {
  EXPECT_FALSE(att.user_present(5));
  EXPECT_FALSE(att.anybody_present());
  ASSERT_TRUE(att.record_event(5, TerminalEvent::kArrival));
  EXPECT_TRUE(dir.exists("dochazka/2026-03-10/5"));
  TDochazka d = day(5);
  EXPECT_EQ(d.PRICHODY[0].HOD, 7);
  EXPECT_EQ(d.PRICHODY[0].MIN, 58);
  EXPECT_EQ(d.PRICHODY[0].SEC, 12);
  TDochazka rest = d;
  rest.PRICHODY[0] = TCas{0xFFFF, 0xFFFF, 0xFFFF};
  TDochazka empty = empty_dochazka();
  EXPECT_EQ(std::memcmp(&rest, &empty, sizeof rest), 0) << "everything else still free";
  EXPECT_TRUE(att.user_present(5));
  EXPECT_FALSE(att.user_present(6));
  EXPECT_TRUE(att.anybody_present());
}

TEST_F(Days, ArrivalDepartureArrivalUsesTwoStays) {
  ASSERT_TRUE(att.record_event(5, TerminalEvent::kArrival));
  clock.advance(3600);
  ASSERT_TRUE(att.record_event(5, TerminalEvent::kDeparture));
  EXPECT_FALSE(att.user_present(5));
  EXPECT_FALSE(att.anybody_present());
  clock.advance(1800);
  ASSERT_TRUE(att.record_event(5, TerminalEvent::kArrival));
  TDochazka d = day(5);
  EXPECT_EQ(d.PRICHODY[0].HOD, 7);
  EXPECT_EQ(d.ODCHODY[0].HOD, 8);
  EXPECT_EQ(d.PRICHODY[1].HOD, 9);
  EXPECT_EQ(d.PRICHODY[1].MIN, 28);
  EXPECT_TRUE(is_free_slot(d.ODCHODY[1]));
  EXPECT_TRUE(att.user_present(5));
}

TEST_F(Days, DepartureWithoutArrivalLeavesTheUserAbsent) {
  ASSERT_TRUE(att.record_event(5, TerminalEvent::kDeparture));
  TDochazka d = day(5);
  EXPECT_TRUE(is_free_slot(d.PRICHODY[0]));
  EXPECT_EQ(d.ODCHODY[0].HOD, 7);
  EXPECT_FALSE(att.user_present(5));
  // The next arrival takes the next stay, and the user is in again.
  ASSERT_TRUE(att.record_event(5, TerminalEvent::kArrival));
  EXPECT_EQ(day(5).PRICHODY[1].HOD, 7);
  EXPECT_TRUE(att.user_present(5));
}

TEST_F(Days, TwelveStaysFillTheDayAndFurtherEventsChangeNothing) {
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(att.record_event(5, TerminalEvent::kArrival));
    ASSERT_TRUE(att.record_event(5, TerminalEvent::kDeparture));
    clock.advance(60);
  }
  const std::string full = dir.read_file("dochazka/2026-03-10/5");
  EXPECT_FALSE(att.user_present(5));
  EXPECT_TRUE(att.record_event(5, TerminalEvent::kArrival));
  EXPECT_TRUE(att.record_event(5, TerminalEvent::kDeparture));
  EXPECT_EQ(dir.read_file("dochazka/2026-03-10/5"), full);
  EXPECT_EQ(day(5).PRICHODY[11].MIN, 58 + 11 - 60);
}

TEST_F(Days, PresenceIsAboutTodayAndUnreadableFilesCountAsAbsent) {
  ASSERT_TRUE(att.record_event(5, TerminalEvent::kArrival));
  dir.write_file("dochazka/2026-03-10/7", "short");
  EXPECT_FALSE(att.user_present(7));
  clock.advance(86400);
  EXPECT_FALSE(att.user_present(5)) << "yesterday's stay does not make anyone present today";
  EXPECT_FALSE(att.anybody_present());
  EXPECT_FALSE(att.record_event(-1, TerminalEvent::kArrival));
}

class Month : public ::testing::Test {
 protected:
  void SetUp() override {
    mistr = st.seat(0, "mistr", (int64_t(1) << 6));
    sef = st.seat(1, "sef", -1);
  }
  int request(int slot, const std::string& user, int32_t month, int32_t year) {
    Packet& b = st.compose(35);
    b.ULOZRETEZEC(sl::kText, true, user);
    b.ULOZCISLO(300, month);
    b.ULOZCISLO(304, year);
    return st.run(slot);
  }
  StoreRig st;
  int32_t mistr = -1, sef = -1;
};

TEST_F(Month, OwnMonthOtherUsersNeedRight57) {
  Attendance att(st.base(), st.rig.clock);
  ASSERT_TRUE(att.record_event(mistr, TerminalEvent::kArrival));  // 10 March 2026
  st.rig.clock.set(2026, 3, 2, 6, 0, 0);
  ASSERT_TRUE(att.record_event(mistr, TerminalEvent::kArrival));
  ASSERT_TRUE(att.record_event(sef, TerminalEvent::kArrival));
  st.rig.clock.set(2026, 4, 1, 6, 0, 0);
  ASSERT_TRUE(att.record_event(mistr, TerminalEvent::kArrival));

  ASSERT_EQ(request(0, "mistr", 3, 2026), 250);
  EXPECT_EQ(st.reply_text(), "doch0");
  auto lines = st.read_all<TDoch>("temp/doch0");
  ASSERT_EQ(lines.size(), 2u);
  std::set<int> days;
  for (const TDoch& l : lines) {
    days.insert(l.DEN.DEN);
    EXPECT_EQ(l.DEN.MES, 3);
    EXPECT_EQ(l.DEN.ROK, 2026);
    EXPECT_EQ(l.CASY.PRICHODY[0].HOD, l.DEN.DEN == 2 ? 6 : 10);
  }
  EXPECT_EQ(days, (std::set<int>{2, 10}));

  // Only the low Word of month and year counts.
  ASSERT_EQ(request(0, "mistr", 0x10004, 2026 + 0x70000), 250);
  EXPECT_EQ(st.read_all<TDoch>("temp/doch0").size(), 1u);

  EXPECT_EQ(request(0, "sef", 3, 2026), 237);
  ASSERT_EQ(request(1, "mistr", 3, 2026), 250);
  EXPECT_EQ(st.read_all<TDoch>("temp/doch1").size(), 2u);
  EXPECT_EQ(request(1, "nikdo", 3, 2026), 254);
}

TEST_F(Month, DaysComeInDateOrder) {
  Attendance att(st.base(), st.rig.clock);
  for (int d : {17, 3, 28, 9, 1, 22, 14, 30, 6, 11, 25, 19}) {
    st.rig.clock.set(2026, 4, d, 7, 0, 0);
    ASSERT_TRUE(att.record_event(mistr, TerminalEvent::kArrival));
  }
  ASSERT_EQ(request(0, "mistr", 4, 2026), 250);
  std::vector<int> days;
  for (const TDoch& l : st.read_all<TDoch>("temp/doch0")) days.push_back(l.DEN.DEN);
  EXPECT_EQ(days, (std::vector<int>{1, 3, 6, 9, 11, 14, 17, 19, 22, 25, 28, 30}));
}

TEST_F(Month, AnEmptyMonthIsAnEmptyFile) {
  st.rig.dir.write_file("temp/doch0", "old list");
  ASSERT_EQ(request(0, "mistr", 2, 2020), 250);
  EXPECT_TRUE(st.rig.dir.exists("temp/doch0"));
  EXPECT_EQ(st.rig.dir.file_size("temp/doch0"), 0);
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override { st.seat(0, "mistr"); }
  StoreRig st;
};

TEST_F(Settings, CalculationBlockRoundTripsAllItsBytes) {
  st.compose(8);
  ASSERT_EQ(st.run(0), 209);
  for (int i = 4; i < 4 + 1016; ++i) ASSERT_EQ(st.server().buffer().bytes[i], 0) << i;
  EXPECT_EQ(st.rig.dir.read_file("kalkul.dat"), std::string(1016, '\0'));

  std::string block(1016, '\0');
  for (int i = 0; i < 1016; ++i) block[size_t(i)] = char(i * 13 + 1);
  st.compose(9).put_raw(4, block.data(), block.size());
  ASSERT_EQ(st.run(0), 209);
  EXPECT_EQ(st.rig.dir.read_file("kalkul.dat"), block);
  st.compose(8);
  ASSERT_EQ(st.run(0), 209);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(st.server().buffer().bytes + 4), 1016), block);

  // A file that cannot be written: the save is refused and the old block stays in force.
  ::unlink(st.path("kalkul.dat").c_str());
  ASSERT_EQ(::mkdir(st.path("kalkul.dat").c_str(), 0755), 0);
  std::string refused = block;
  refused[1015] = 'Z';
  st.compose(9).put_raw(4, refused.data(), refused.size());
  EXPECT_EQ(st.run(0), 254);
  st.compose(8);
  ASSERT_EQ(st.run(0), 209);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(st.server().buffer().bytes + 4), 1016), block);

  // Saving needs bit 49; reading does not.
  st.seat(2, "bez", ~(int64_t(1) << 49));
  st.compose(9);
  EXPECT_EQ(st.run(2), 231);
  st.compose(8);
  EXPECT_EQ(st.run(2), 209);
}

TEST_F(Settings, CalendarRoundTripsThroughMemoryAndFile) {
  TKalendar k{};
  k.days[11][23] = 1;  // 24 December
  k.days[0][0] = 1;
  st.record(0, 23, k);
  ASSERT_EQ(st.server().buffer().code(), 238);
  EXPECT_TRUE(st.server().tree().kalendar.is_holiday(12, 24));
  EXPECT_FALSE(st.server().tree().kalendar.is_holiday(12, 23));
  auto disk = st.read<TKalendar>("kalendar.dat");
  EXPECT_EQ(std::memcmp(&disk, &k, sizeof k), 0);

  st.compose(22);
  ASSERT_EQ(st.run(0), 238);
  TKalendar back{};
  st.server().buffer().get_raw(4, &back, sizeof back);
  EXPECT_EQ(std::memcmp(&back, &k, sizeof k), 0);

  // When the file cannot be written the calendar stays as it was.
  ::unlink(st.path("kalendar.dat").c_str());
  ASSERT_EQ(::mkdir(st.path("kalendar.dat").c_str(), 0755), 0);
  TKalendar other{};
  EXPECT_EQ(st.record(0, 23, other), 254);
  EXPECT_TRUE(st.server().tree().kalendar.is_holiday(12, 24));
}

}  // namespace
}  // namespace ksv::server::testing
