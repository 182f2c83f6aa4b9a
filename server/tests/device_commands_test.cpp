// The alarm and camera commands over loopback, and the camera work the server's passes do:
// the plan from the loop, the failure message to the administrator and the restart it leads to.
#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "server/core/device_handlers.h"
#include "server/tests/device_fakes.h"
#include "server/tests/rig.h"

namespace ksv::server::testing {
namespace {

namespace cs = camera_slot;

class DeviceCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    auto g = std::make_unique<FakeGrabber>();
    grabber = g.get();
    auto a = std::make_unique<FakeAttendance>();
    attendance = a.get();
    units = std::make_unique<ServerUnits>(*rig.server, ServerConfig{}, std::move(a), std::move(g));
    units->cameras.pause = [this](int ms) { rig.clock.advance_ms(ms); };
    ASSERT_EQ(rig.start(), 0);
    rig.add_user("vedouci", "v", -1);
    c = rig.connect("vedouci");
    ASSERT_EQ(rig.login(*c, "vedouci", "v"), 194);
    slot = rig.slot_of_last();
  }
  int camera_request(uint8_t code, int32_t camera, const TDatum& day = {}, const TCas& time = {}) {
    return rig.request(*c, code, [&](Packet& b) {
      b.ULOZCISLO(cs::kCamera, camera);
      b.put_raw(cs::kDay, &day, sizeof day);
      b.put_raw(cs::kTime, &time, sizeof time);
    });
  }
  std::string reply_name() { return c->conn.BUFFERPACKET.ZISKEJRETEZEC(cs::kFileName, false); }

  Rig rig;
  FakeGrabber* grabber = nullptr;
  FakeAttendance* attendance = nullptr;
  std::unique_ptr<ServerUnits> units;
  std::unique_ptr<Client> c;
  int slot = -1;
};

TEST_F(DeviceCommands, CameraNumbersOtherThanZeroAndOneAreRefused) {
  for (int32_t camera : {2, -1}) {
    for (uint8_t code : {45, 46, 47, 48}) EXPECT_EQ(camera_request(code, camera), 254) << int(code);
    EXPECT_EQ(rig.request(*c, 49, [&](Packet& b) { b.ULOZCISLO(cs::kCamera, camera); }), 254);
  }
}

TEST_F(DeviceCommands, FramesOfADayAreListedAndFetched) {
  const std::string day_dir = camera_day_dir(1, 2026, 3, 9);
  rig.dir.write_file(day_dir + "/08-00-00.jpg", "rano");
  rig.dir.write_file(day_dir + "/17-30-05.jpg", "vecer");
  rig.dir.write_file(day_dir + "/poznamka.txt", "-");
  const TDatum day{9, 3, 2026};

  EXPECT_EQ(camera_request(45, 1, day), 215);
  EXPECT_EQ(reply_name(), "sezns" + std::to_string(slot));
  std::string list = rig.dir.read_file("temp/sezns" + std::to_string(slot));
  EXPECT_EQ(list.size(), std::string("08-00-00.jpg\n17-30-05.jpg\n").size());
  EXPECT_NE(list.find("08-00-00.jpg\n"), std::string::npos);
  EXPECT_NE(list.find("17-30-05.jpg\n"), std::string::npos);

  EXPECT_EQ(camera_request(45, 0, day), 215);  // the other camera has nothing that day
  EXPECT_EQ(rig.dir.read_file("temp/sezns" + std::to_string(slot)), "");

  EXPECT_EQ(camera_request(46, 1, day, TCas{17, 30, 5}), 216);
  EXPECT_EQ(reply_name(), "frame" + std::to_string(slot) + ".jpg");
  EXPECT_EQ(rig.dir.read_file("temp/frame" + std::to_string(slot) + ".jpg"), "vecer");
  EXPECT_EQ(camera_request(46, 1, day, TCas{17, 30, 6}), 254);
}

TEST_F(DeviceCommands, FreshFrameWaitsForTheGrabberWhileOthersAreServed) {
  EXPECT_EQ(camera_request(47, 0), 254);  // camera 0 is off
  rig.add_user("druhy", "d", -1);
  auto other = rig.connect("druhy");
  ASSERT_EQ(rig.login(*other, "druhy", "d"), 194);
  units->cameras.start_camera(0, 1);

  Packet& b = Rig::compose(*c, 47);
  b.ULOZCISLO(cs::kCamera, 0);
  c->conn.INFOKLIENT.POSLAKCE = 0;  // the refusal above is not this request's answer
  const int64_t before = rig.clock.epoch_seconds();
  int served_meanwhile = 0;
  while (!c->answered(47) && rig.clock.epoch_seconds() - before < 60) {
    c->OBSLUHAKOMUNIKACE();
    rig.wait_io(c.get());
    rig.server->pass();
    // While the request waits for the grabber, the other user is served at once, and the
    // capture loop does not store the waiting picture into the day's folder.
    if (!c->answered(47) && rig.request(*other, 13) == 203) ++served_meanwhile;
    rig.clock.advance(1);
  }
  ASSERT_EQ(c->conn.INFOKLIENT.POSLAKCE, 216);
  EXPECT_GT(rig.clock.epoch_seconds() - before, kShotWaitSeconds);
  EXPECT_GE(served_meanwhile, kShotWaitSeconds);
  EXPECT_EQ(reply_name(), "pracf" + std::to_string(slot));
  EXPECT_EQ(rig.dir.read_file("temp/pracf" + std::to_string(slot)), "picture 1");
  EXPECT_FALSE(rig.dir.exists(camera_day_dir(0, 2026, 3, 10) + "/10-00-00.jpg"));
}

TEST_F(DeviceCommands, PlansGoRoundTrip) {
  TPlanKamer plan{};
  plan.POUZIVAT = 1;
  plan.POPRICHODU.MINUT = 1;
  plan.VYPINATDOHLED[0] = 42;
  plan.TYDEN[6][23] = -20130;
  plan.AKTZMENA.TYDEN = 1;
  EXPECT_EQ(rig.request(*c, 49, [&](Packet& b) {
              b.ULOZCISLO(cs::kCamera, 1);
              b.ULOZCISLO(cs::kSystemOn, 1);
              b.put_raw(cs::kPlan, &plan, sizeof plan);
            }),
            217);
  EXPECT_EQ(rig.server->tree().kamery.POUZIVAT, 1);
  std::optional<TKamery> file = read_record<TKamery>(rig.dir / "kamery.dat", 0);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->PLAN[1].TYDEN[6][23], -20130);

  EXPECT_EQ(camera_request(48, 1), 218);
  const Packet& b = c->conn.BUFFERPACKET;
  EXPECT_EQ(b.ZISKEJCISLO(cs::kSystemOn), 1);
  TPlanKamer got{};
  b.get_raw(cs::kPlan, &got, sizeof got);
  EXPECT_EQ(got.VYPINATDOHLED[0], 42);
  EXPECT_EQ(got.TYDEN[6][23], -20130);
  EXPECT_EQ(got.AKTZMENA.TYDEN, 0);  // a client's change starts without run-time marks
  EXPECT_EQ(camera_request(48, 0), 218);
  b.get_raw(cs::kPlan, &got, sizeof got);
  EXPECT_EQ(got.POUZIVAT, 0);
}

TEST_F(DeviceCommands, AlarmSettingsKeepTheStateBytes) {
  TAlarm& mem = rig.server->tree().alarm;
  mem.STAVA2 = 1;
  mem.ZAPNUTOB = 1;
  TAlarm sent{};
  sent.TESTOVATCIDLO1 = 1;
  sent.EMAIL.assign("hlidac@dilna.example");
  sent.STAVA2 = 0;  // a client's copy of the state bytes is not taken
  sent.ZAPNUTOB = 0;
  EXPECT_EQ(rig.request(*c, 43, [&](Packet& b) { b.put_raw(ksv::slot::kText, &sent, sizeof sent); }),
            208);
  std::optional<TAlarm> file = read_record<TAlarm>(rig.dir / "alarm.dat", 0);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->TESTOVATCIDLO1, 1);
  EXPECT_EQ(file->STAVA2, 1);
  EXPECT_EQ(file->ZAPNUTOB, 1);

  EXPECT_EQ(rig.request(*c, 44), 208);
  TAlarm got{};
  c->conn.BUFFERPACKET.get_raw(ksv::slot::kText, &got, sizeof got);
  EXPECT_EQ(got.EMAIL.str(), "hlidac@dilna.example");
  EXPECT_EQ(got.STAVA2, 1);
  EXPECT_EQ(got.ZAPNUTOB, 1);
}

TEST_F(DeviceCommands, PassesRunThePlanAndStoreFrames) {
  TKamery& k = rig.server->tree().kamery;
  k.POUZIVAT = 1;
  k.PLAN[0].POUZIVAT = 1;
  for (auto& day : k.PLAN[0].TYDEN)
    for (int32_t& v : day) v = 300;
  rig.settle(c.get(), 3);
  EXPECT_TRUE(units->cameras.camera(0).AKTIVNI);
  EXPECT_TRUE(rig.server->log().contains("Nastavuji kameru cislo 0, interval: 300"));
  EXPECT_TRUE(rig.dir.exists(camera_day_dir(0, 2026, 3, 10) + "/10-00-00.jpg"));
}

TEST_F(DeviceCommands, CameraFailureIsReportedToTheAdministratorThenRestarts) {
  grabber->silent = true;
  units->cameras.start_camera(0, 1);
  for (int i = 0; i < 2 * kMissedPicturesForFailure; ++i) {
    rig.clock.advance(2);
    rig.server->pass();
  }
  ASSERT_TRUE(units->cameras.failure_detected());
  EXPECT_TRUE(units->messages.names().empty());  // not while somebody is connected

  c.reset();  // logs off
  rig.settle();
  ASSERT_EQ(rig.server->session_count(), 0);
  ASSERT_EQ(units->messages.names().size(), 1u);
  std::optional<TZprava> m = units->messages.read(units->messages.names()[0]);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->KOMU, 0);  // the administrator
  EXPECT_EQ(m->ODKOHO, -1);
  EXPECT_EQ(m->OBSAH.str().rfind(kCameraFailureText, 0), 0u);
  EXPECT_TRUE(rig.server->log().contains("Selhani kameroveho systemu!"));
  rig.settle();
  EXPECT_EQ(units->messages.names().size(), 1u);  // once
  EXPECT_FALSE(rig.server->stop_requested());

  rig.clock.set(2026, 3, 10, 12, 0, 0);
  rig.settle();
  EXPECT_TRUE(rig.server->stop_requested());
  EXPECT_TRUE(rig.server->log().contains("Probiha restart kameroveho systemu ..."));
}

}  // namespace
}  // namespace ksv::server::testing
