// The camera plan and the holiday calendar against a real server: a plan edited and stored
// reads back the same, a plan the server could not run is not stored, the administrator is no
// supervisor, and one calendar day toggled changes that byte alone.
#include <cstring>

#include "client/tests/fixture.h"
#include "protocol/commands.h"
#include "protocol/record_file.h"

namespace ksv::client::testing {
namespace {

constexpr int kCameraRight = 24, kPlanRight = 25;
constexpr int32_t kScreen = 61;

class PlanScreen : public ClientTest {
 protected:
  void start(const TKamery& k = {}, const TKalendar& cal = {}) {
    dir.write_file("server/kamery.dat", std::string(reinterpret_cast<const char*>(&k), sizeof k));
    dir.write_file("server/kalendar.dat",
                   std::string(reinterpret_cast<const char*>(&cal), sizeof cal));
    with_units = true;
    start_server();
    const int64_t rights = (int64_t(1) << kCameraRight) | (int64_t(1) << kPlanRight);
    add_user("novak", "n", rights);
    sefova = add_user("sefova", "s", 0);
    open_client();
    login_directly();
    info().MOJEPRAVA = rights;
    f().request_screen(kScreen);
  }
  bool on_screen() {
    return f().AKTUALNIOBRAZOVKA == kScreen && f().modal.kind == Modal::kNone && settled();
  }
  void then(std::function<bool()> condition, std::function<void()> action) {
    when([this, condition] { return on_screen() && condition(); }, std::move(action));
  }
  void input(const std::string& typed) {
    when_modal(Modal::kInput, [this, typed] {
      type(typed);
      key(13);
    });
  }
  bool status_is(const std::string& key) { return f().status_text == f().text(key); }
  TPlanKamer stored(int camera) {
    auto r = read_records<TKamery>(sdir + "kamery.dat").value_or(std::vector<TKamery>{});
    return r.empty() ? TPlanKamer{} : r[0].PLAN[camera];
  }
  int32_t sefova = -1;
};

auto loaded = [] { return true; };

TEST_F(PlanScreen, EditedPlanStoredAndReadBackUnchanged) {
  start();
  then([this] { return f().requests_sent[req::kCameraPlanGet] == 1; }, [this] { key('1'); });
  then(loaded, [this] { key('3'); });  // random
  then(loaded, [this] { key('4'); });  // holiday
  then(loaded, [this] { key('5'); });
  input("24");
  then(loaded, [this] { key('6'); });
  input("15");
  then(loaded, [this] { key('8'); });
  input("600");
  // Monday 8:00 a series of 2 frames in 1 minute, then 30 minutes pause; copied to Tuesday.
  then(loaded, [this] {
    hb().extended_key(80);
    for (int i = 0; i < 8; ++i) hb().extended_key(77);
    key(13);
  });
  input("2/1/30");
  then(loaded, [this] { key('p'); });
  input("3");
  then(loaded, [this] { key('u'); });
  when_modal(Modal::kUserList, [this] { choose_user("sefova"); });
  // Keys pressed while the screen still asks the server for the id would be dropped.
  then([this] { return app->workspace.users.find(sefova).has_value(); }, [this] { key('n'); });
  then([this] { return status_is("planulozen"); }, [this] {
    f().status_text.clear();
    key('o');
  });
  then([this] { return f().requests_sent[req::kCameraPlanGet] == 2 && status_is("wait"); },
       [this] { key('n'); });
  ASSERT_TRUE(run_until([this] { return script.empty() && on_screen() && status_is("planulozen"); }));
  EXPECT_EQ(f().requests_sent[req::kCameraPlanSet], 2);
  const TPlanKamer p = stored(0);
  EXPECT_EQ(p.POUZIVAT, 1);
  EXPECT_EQ(p.NAHODNE, 1);
  EXPECT_EQ(p.SVATEK, 1);
  EXPECT_EQ(p.SVATEKINTERVAL, 24);
  EXPECT_EQ(p.POPRICHODU.MINUT, 15);
  EXPECT_EQ(p.POPRICHODU.INTERVAL, 600);
  EXPECT_EQ(p.TYDEN[1][8], -20130);
  EXPECT_EQ(p.TYDEN[2][8], -20130);
  EXPECT_EQ(p.TYDEN[1][7], 0);
  EXPECT_EQ(p.VYPINATDOHLED[0], sefova);
  EXPECT_EQ(stored(1).POUZIVAT, 0);
  // Stored, read again and stored once more: the record did not move.
  TPlanKamer again = server->tree().kamery.PLAN[0];
  EXPECT_EQ(std::memcmp(&again, &p, sizeof p), 0);
}

TEST_F(PlanScreen, PlansTheServerCannotRunAndTheAdministratorAreRefused) {
  start();
  then([this] { return f().requests_sent[req::kCameraPlanGet] == 1; }, [this] { key('4'); });
  then(loaded, [this] { key('n'); });  // holiday on with ratio 0
  then([this] { return status_is("planpomer"); }, [this] { key('u'); });
  when_modal(Modal::kUserList, [this] { choose_user("admin"); });
  ASSERT_TRUE(run_until([this] { return script.empty() && on_screen() && status_is("dohledadmin"); }));
  EXPECT_EQ(f().requests_sent[req::kCameraPlanSet], 0);
}

TEST_F(PlanScreen, CalendarDayToggledAloneAndStored) {
  TKalendar cal{};
  cal.days[0][0] = 1;
  cal.days[4][7] = 1;
  start({}, cal);
  then([this] { return f().requests_sent[req::kCameraPlanGet] == 1; }, [this] { key('a'); });
  when([this] { return f().modal.key == "kalendar" && settled(); }, [this] {
    for (int i = 0; i < 9; ++i) key('.');  // March to December
  });
  when([this] { return f().modal.key == "kalendar" && settled(); }, [this] {
    for (int i = 0; i < 3; ++i) hb().extended_key(80);
    for (int i = 0; i < 2; ++i) hb().extended_key(77);
    key(13);  // the 24th
    key('s');
  });
  when([this] { return f().modal.key == "kalendar" && status_is("kalulozen"); },
       [this] { key(27); });
  ASSERT_TRUE(run_until([this] { return script.empty() && on_screen(); }));
  auto r = read_records<TKalendar>(sdir + "kalendar.dat");
  ASSERT_TRUE(r && r->size() == 1);
  TKalendar expected = cal;
  expected.days[11][23] = 1;
  EXPECT_EQ(std::memcmp(&(*r)[0], &expected, sizeof expected), 0);
}

}  // namespace
}  // namespace ksv::client::testing
