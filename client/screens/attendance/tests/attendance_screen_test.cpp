// The attendance screen driven with keys against a real server: a month and a year from the
// server's day files, another user's attendance only with right 57, vacation marks kept through
// a saved sheet, an attendance file imported, and the report written and handed to the desktop.
#include <cstring>

#include "client/screens/attendance/day_lines.h"
#include "client/screens/attendance/local_files.h"
#include "client/screens/attendance/sheet_file.h"
#include "client/screens/attendance/tests/records.h"
#include "client/tests/fixture.h"
#include "protocol/record_file.h"
#include "protocol/rights.h"

namespace ksv::client::testing {
namespace {

using attendance::test_records::day;

constexpr int kAttendance = 6, kOtherUsers = 57;
constexpr int32_t kScreen = 4;

class AttendanceScreen : public ClientTest {
 protected:
  void start(int64_t novak_rights, const TKalendar& calendar = {}) {
    dir.write_file("server/kalendar.dat",
                   std::string(reinterpret_cast<const char*>(&calendar), sizeof calendar));
    start_server();
    novak = add_user("novak", "n", novak_rights);
    sefova = add_user("sefova", "s", int64_t(1) << kAttendance);
    open_client();
    login_directly();
    info().MOJEPRAVA = novak_rights;
    f().request_screen(kScreen);
  }

  // One user's day as the terminal leaves it on the server.
  void seed(int32_t user, const TDoch& d) {
    char name[64];
    std::snprintf(name, sizeof name, "server/dochazka/%04u-%02u-%02u", unsigned(d.DEN.ROK),
                  unsigned(d.DEN.MES), unsigned(d.DEN.DEN));
    ::mkdir((dir.path() + "server/dochazka").c_str(), 0755);
    ::mkdir((dir.path() + name).c_str(), 0755);
    dir.write_file(std::string(name) + "/" + std::to_string(user),
                   std::string(reinterpret_cast<const char*>(&d.CASY), sizeof d.CASY));
  }

  bool on_screen() {
    return f().AKTUALNIOBRAZOVKA == kScreen && f().modal.kind == Modal::kNone && settled();
  }
  // When the screen stands idle and the condition holds, the action.
  void then(std::function<bool()> condition, std::function<void()> action) {
    when([this, condition] { return on_screen() && condition(); }, std::move(action));
  }
  void input(const std::string& key_expected, const std::string& typed) {
    when(
        [this, key_expected] {
          return f().modal.kind == Modal::kInput && f().modal.key == key_expected && settled();
        },
        [this, typed] {
          type(typed);
          key(13);
        });
  }
  void fetch_month(std::function<bool()> after, const std::string& month, const std::string& year) {
    then(std::move(after), [this] { key('m'); });
    input("mesic", month);
    input("rok", year);
  }
  // The browser shows its folder in the one list, "." or ".." first.
  void in_browser(std::function<void()> action) {
    when(
        [this] {
          const auto& l = app->tk.seznam.SEZNAM;
          return settled() && !l.empty() && (l[0].NAZEV == "." || l[0].NAZEV == "..");
        },
        std::move(action));
  }
  void choose_last_file() {
    in_browser([this] {
      hb().extended_key(79);  // End: the one file is the last entry
      key(13);
    });
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const auto& e : app->tk.seznam.SEZNAM) out.push_back(e.NAZEV);
    return out;
  }
  std::string columns(size_t i) { return app->tk.seznam.SEZNAM.at(i).SPEC; }
  std::string column(int entry, int n) { return app->tk.seznam.VRATSPECPARAM(entry, n); }
  // Runs the script to its end and until the screen stands idle with the condition met.
  bool finish(std::function<bool()> also = [] { return true; }) {
    return run_until([this, also] { return script.empty() && on_screen() && also(); });
  }
  bool status_is(const std::string& text) { return f().status_text == text; }

  int32_t novak = -1, sefova = -1;
};

// A literal with its embedded code-0 separators.
template <size_t N>
std::string cols(const char (&text)[N]) {
  return std::string(text, N - 1);
}
auto now = [] { return true; };

TEST_F(AttendanceScreen, MonthFromTheServerInDateOrderWithHolidays) {
  TKalendar cal{};
  cal.days[4][3] = 1;  // 4 May
  start(int64_t(1) << kAttendance, cal);
  seed(sefova, day(14, 5, 2026, {{"8:00", "16:30"}}));  // somebody else's day: not shown
  seed(novak, day(12, 5, 2026, {{"", "6:00"}, {"8:00", "12:00"}}));
  seed(novak, day(11, 5, 2026, {{"22:00", ""}}));
  seed(novak, day(4, 5, 2026, {{"8:00", "12:00"}, {"12:30", "16:30"}}));
  seed(novak, day(3, 6, 2026, {{"8:00", "12:00"}}));  // another month
  fetch_month(now, "5", "2026");
  ASSERT_TRUE(finish([this] { return names().size() == 3; }));
  EXPECT_EQ(f().requests_sent[35], 1);
  EXPECT_EQ(names(), (std::vector<std::string>{"04.05.2026", "11.05.2026", "12.05.2026"}));
  EXPECT_EQ(columns(0), cols("0\0"
                             "1\0"
                             "0\0"
                             "-30\0"
                             "510\0"
                             "08:00\0"
                             "16:30\0"));
  // The night takes the morning's departure; the rest of the morning's day is its own.
  EXPECT_EQ(columns(1), cols("0\0"
                             "0\0"
                             "0\0"
                             "-0\0"
                             "479\0"
                             "22:00\0"
                             "06:00\0"));
  EXPECT_EQ(columns(2), cols("0\0"
                             "0\0"
                             "0\0"
                             "-0\0"
                             "240\0"
                             "08:00\0"
                             "12:00\0"));
  EXPECT_EQ(f().requests_sent[22], 1);
}

TEST_F(AttendanceScreen, YearIsTwelveMonthsJoinedInOrder) {
  start(int64_t(1) << kAttendance);
  seed(novak, day(24, 12, 2026, {{"8:00", "9:00"}}));
  seed(novak, day(1, 2, 2026, {{"", "6:00"}}));
  seed(novak, day(31, 1, 2026, {{"22:00", ""}}));
  then(now, [this] { key('r'); });
  input("rok", "2026");
  // Twelve exchanges take more client passes than the step limit meant to catch a hang allows
  // one screen action; each quarter of the year gets the whole allowance.
  for (int sent : {3, 6, 9})
    when([this, sent] { return f().requests_sent[35] == sent; }, [this] { steps = 0; });
  ASSERT_TRUE(finish([this] { return !names().empty(); }));
  EXPECT_EQ(f().requests_sent[35], 12);
  EXPECT_EQ(names(), (std::vector<std::string>{"31.01.2026", "24.12.2026"}));
  EXPECT_EQ(column(0, 5), "479");  // the night crossed into February's list
  EXPECT_EQ(f().requests_sent[22], 1);
}

TEST_F(AttendanceScreen, MonthAndYearOutsideTheirRangeAskNothing) {
  start(int64_t(1) << kAttendance);
  then(now, [this] { key('m'); });
  input("mesic", "13");
  then([this] { return status_is(f().text("dochmesic")); }, [this] { key('r'); });
  input("rok", "1999");
  ASSERT_TRUE(finish([this] { return status_is(f().text("dochrok")); }));
  EXPECT_EQ(f().requests_sent[22] + f().requests_sent[35], 0);
}

TEST_F(AttendanceScreen, NoOtherUserWithoutRight57) {
  start(int64_t(1) << kAttendance);
  long pressed = 0;
  then(now, [this, &pressed] {
    key('u');
    pressed = steps;
  });
  ASSERT_TRUE(finish([this, &pressed] { return pressed && steps > pressed + 300; }));
  EXPECT_EQ(f().requests_sent[10], 0);
  EXPECT_TRUE(seen.empty());
}

TEST_F(AttendanceScreen, ChiefSeesAnotherUsersMonth) {
  start((int64_t(1) << kAttendance) | (int64_t(1) << kOtherUsers));
  seed(sefova, day(5, 5, 2026, {{"7:00", "15:00"}}));
  seed(novak, day(6, 5, 2026, {{"7:00", "15:00"}}));
  then(now, [this] { key('u'); });
  when_modal(Modal::kUserList, [this] { choose_user("sefova"); });
  fetch_month(now, "5", "2026");
  ASSERT_TRUE(finish([this] { return !names().empty(); }));
  EXPECT_EQ(names(), std::vector<std::string>{"05.05.2026"});
  EXPECT_EQ(column(0, 5), "480");
}

TEST_F(AttendanceScreen, VacationKeptThroughASavedSheet) {
  start(int64_t(1) << kAttendance);
  seed(novak, day(4, 5, 2026, {{"8:00", "16:00"}}));
  seed(novak, day(5, 5, 2026, {{"8:00", "16:00"}}));
  const std::string saved =
      "DCH1\tnovak\t1.5.2026 - 31.5.2026\n"
      "04.05.2026\t0\t0\t0\t-0\t480\t08:00\t16:00\n"
      "05.05.2026\t1\t0\t0\t-0\t480\t08:00\t16:00\n";

  fetch_month(now, "5", "2026");
  then([this] { return names().size() == 2; },
       [this] {
         hb().extended_key(80);  // Down: the second day
         key('v');
         key('s');
       });
  in_browser([this] { key(13); });  // "." : into the folder shown
  input("jmsoub", "kveten");
  // Fetched again the vacation mark is gone; the sheet brings it back.
  fetch_month([this] { return status_is("Ulozeno: kveten.dch"); }, "5", "2026");
  then([this] { return f().requests_sent[35] == 2 && names().size() == 2; },
       [this, saved] {
         EXPECT_EQ(dir.read_file("client/kveten.dch"), saved);
         EXPECT_EQ(column(1, 1), "0");
         key('o');
       });
  choose_last_file();
  // Saving over a sheet asks first; "no" leaves the file as it was.
  then([this] { return status_is("Otevreno: kveten.dch"); },
       [this] {
         EXPECT_EQ(column(0, 1), "0");
         EXPECT_EQ(column(1, 1), "1");
         dir.write_file("client/kveten.dch", "jine");
         key('s');
       });
  choose_last_file();
  when_modal(Modal::kConfirm, [this] { key(27); });
  ASSERT_TRUE(finish());
  EXPECT_EQ(dir.read_file("client/kveten.dch"), "jine");
}

TEST_F(AttendanceScreen, SheetNameThatLeavesTheFolderIsRefused) {
  start(int64_t(1) << kAttendance);
  then(now, [this] { key('s'); });
  in_browser([this] { key(13); });
  input("jmsoub", "../venku");
  ASSERT_TRUE(finish([this] { return status_is("Spatne jmeno souboru: ../venku"); }));
  EXPECT_FALSE(dir.exists("venku.dch"));
  EXPECT_FALSE(dir.exists("venku"));
}

TEST_F(AttendanceScreen, ImportedAttendanceFile) {
  start(int64_t(1) << kAttendance);
  std::vector<TDoch> recs = {day(3, 6, 2026, {{"7:00", "15:30"}}),
                             day(2, 6, 2026, {{"7:10", "15:00"}})};
  std::string bytes(reinterpret_cast<const char*>(recs.data()), recs.size() * sizeof(TDoch));
  dir.write_file("client/terminal.adc", bytes + std::string(40, '\x01'));
  then(now, [this] { key('i'); });
  choose_last_file();
  ASSERT_TRUE(finish([this] { return status_is("Nacteno: terminal.adc"); }));
  EXPECT_EQ(names(), (std::vector<std::string>{"02.06.2026", "03.06.2026"}));
  EXPECT_EQ(column(0, 5), "470");
}

TEST_F(AttendanceScreen, ReportWrittenAndOpened) {
  start(int64_t(1) << kAttendance);
  seed(novak, day(4, 5, 2026, {{"8:00", "12:00"}, {"12:30", "16:30"}}));
  std::vector<std::string> opened;
  app->tk.opener.launcher = [&opened](const std::string& path) {
    opened.push_back(path);
    return toolkit::OpenResult::kStarted;
  };
  fetch_month(now, "5", "2026");
  then([this] { return names().size() == 1; }, [this] { key('e'); });
  ASSERT_TRUE(finish([&opened] { return !opened.empty(); }));
  EXPECT_EQ(opened, std::vector<std::string>{cdir + "temp/dochazka.txt"});
  const std::string report = dir.read_file("client/temp/dochazka.txt");
  EXPECT_NE(report.find("*** novak ***\n"), std::string::npos);
  EXPECT_NE(report.find("* KVETEN 2026 *\n04.05.2026             480 min.  08:00 - 16:30\n"),
            std::string::npos);
  EXPECT_NE(report.find("===============================\n\n\nCELKEM:  480 minut (8 hodin)\n"),
            std::string::npos);
}

TEST(SheetNames, PlainNamesOnly) {
  using attendance::sheet_file_name;
  EXPECT_EQ(sheet_file_name("kveten"), "kveten.dch");
  EXPECT_EQ(sheet_file_name("KVETEN.DCH"), "KVETEN.DCH");
  EXPECT_EQ(sheet_file_name("leto.2026 "), "leto.2026.dch");
  for (const char* bad : {"", " ", ".", "..", "../kveten", "a/b", "/etc/passwd"})
    EXPECT_FALSE(sheet_file_name(bad)) << bad;
  EXPECT_EQ(attendance::report_file_name("vypis.txt"), "vypis.txt");
  EXPECT_EQ(attendance::report_file_name("../../vypis.txt"), "dochazka.txt");
  EXPECT_EQ(attendance::report_file_name(""), "dochazka.txt");
}

}  // namespace
}  // namespace ksv::client::testing
