// The alarm screen against a real server: a setting toggled and saved reaches alarm.dat while the
// server's own state bytes stay as they were; the rows show the circuits from the server's state.
#include <cstring>

#include "client/screens/devices/alarm_rows.h"
#include "client/tests/fixture.h"
#include "protocol/commands.h"
#include "protocol/record_file.h"

namespace ksv::client::testing {
namespace {

constexpr int kAlarmRight = 53;
constexpr int32_t kScreen = 5;

TEST(AlarmRows, CircuitStateComesFromTheServersArmingBytes) {
  TAlarm a{};
  a.OKRUHA = 1;    // what some client once wrote: not the state
  a.ZAPNUTOB = 1;  // what the server says
  a.STAVA2 = 1;
  a.TESTOVATCIDLO1 = 1;
  const auto rows = devices::alarm_rows(a);
  EXPECT_EQ(rows[2].value_key, "alarmano");
  EXPECT_EQ(rows[3].value_key, "alarmne");
  EXPECT_EQ(rows[8].value_key, "vyp");
  EXPECT_EQ(rows[9].value_key, "zap");
  EXPECT_EQ(rows[10].value_key, "");
  EXPECT_EQ(rows[11].value_key, "ano!");
  EXPECT_EQ(rows[13].label_key, "alarmr13");
}

TEST(AlarmRows, TogglesTouchOnlyTheEightSettings) {
  TAlarm a{};
  a.OKRUHA = 1;
  a.ZAPNUTOA = 1;
  TAlarm before = a;
  devices::toggle_alarm_setting(a, 8);
  devices::toggle_alarm_setting(a, -1);
  EXPECT_EQ(std::memcmp(&a, &before, sizeof a), 0);
  devices::toggle_alarm_setting(a, 7);
  EXPECT_EQ(a.PRIODCHODUZAPNOUTB, 1);
  devices::toggle_alarm_setting(a, 7);
  EXPECT_EQ(a.PRIODCHODUZAPNOUTB, 0);
}

TEST(AlarmRows, EmailKeptWhenEmptyAndCutAt35) {
  TAlarm a{};
  a.EMAIL.assign("dilna@example.org");
  devices::set_alarm_email(a, "");
  EXPECT_EQ(a.EMAIL.str(), "dilna@example.org");
  devices::set_alarm_email(a, std::string(40, 'x'));
  EXPECT_EQ(a.EMAIL.str(), std::string(35, 'x'));
}

class AlarmScreen : public ClientTest {
 protected:
  void start(const TAlarm& stored) {
    dir.write_file("server/alarm.dat",
                   std::string(reinterpret_cast<const char*>(&stored), sizeof stored));
    with_units = true;
    start_server();
    add_user("novak", "n", int64_t(1) << kAlarmRight);
    open_client();
    login_directly();
    info().MOJEPRAVA = int64_t(1) << kAlarmRight;
    f().request_screen(kScreen);
  }
  bool on_screen() {
    return f().AKTUALNIOBRAZOVKA == kScreen && f().modal.kind == Modal::kNone && settled();
  }
  void then(std::function<bool()> condition, std::function<void()> action) {
    when([this, condition] { return on_screen() && condition(); }, std::move(action));
  }
  bool saved() { return on_screen() && f().status_text == f().text("alarmulozen"); }
  TAlarm on_disk() {
    std::vector<TAlarm> r = read_records<TAlarm>(sdir + "alarm.dat").value_or(std::vector<TAlarm>{});
    return r.empty() ? TAlarm{} : r[0];
  }
};

TEST_F(AlarmScreen, ToggleSaveAndReadBackKeepsTheServersState) {
  TAlarm stored{};
  stored.OKRUHA = 1;
  stored.TESTOVATOKNO1 = 1;  // circuit A watched, so the server keeps it armed
  stored.EMAIL.assign("alarm@dilna.cz");
  stored.STAVA1 = 1;
  stored.STAVB2 = 1;
  stored.ZAPNUTOA = 1;
  start(stored);
  then([this] { return f().requests_sent[req::kAlarmGet] == 1; }, [this] { key('3'); });
  then([] { return true; }, [this] { key('s'); });
  ASSERT_TRUE(run_until([this] { return script.empty() && saved(); }));
  TAlarm got = on_disk();
  EXPECT_EQ(got.TESTOVATCIDLO1, 1);
  EXPECT_EQ(got.TESTOVATOKNO1, 1);
  EXPECT_EQ(got.TESTOVATCIDLO2, 0);
  EXPECT_EQ(got.OKRUHA, 1);  // sent back as it came
  EXPECT_EQ(got.OKRUHB, 0);
  EXPECT_EQ(got.EMAIL.str(), "alarm@dilna.cz");
  EXPECT_EQ(std::memcmp(&got.STAVA1, &stored.STAVA1, 6), 0);
}

TEST_F(AlarmScreen, EmailEditedThroughTheDialogAndEmptyInputKeepsIt) {
  TAlarm stored{};
  stored.EMAIL.assign("stara@dilna.cz");
  start(stored);
  then([this] { return f().requests_sent[req::kAlarmGet] == 1; }, [this] { key('e'); });
  when_modal(Modal::kInput, [this] { key(13); });  // nothing typed: unchanged
  then([] { return true; }, [this] { key('e'); });
  when_modal(Modal::kInput, [this] {
    type("nova@dilna.cz");
    key(13);
  });
  then([] { return true; }, [this] { key('s'); });
  ASSERT_TRUE(run_until([this] { return script.empty() && saved(); }));
  EXPECT_EQ(on_disk().EMAIL.str(), "nova@dilna.cz");
}

}  // namespace
}  // namespace ksv::client::testing
