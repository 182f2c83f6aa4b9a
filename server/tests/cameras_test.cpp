// The camera system on a fake clock: decoding of plan values, the hourly plan with its arrival,
// supervisor and holiday rules, zero divisors, shots and the capture loop, series renaming.
#include <gtest/gtest.h>

#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "server/devices/cameras.h"
#include "server/tests/device_fakes.h"

namespace ksv::server::testing {
namespace {

TEST(SeriesValues, DecodeAsXYZ) {
  SeriesPlan a = decode_series(-20130);
  EXPECT_EQ(a.X, 2);
  EXPECT_EQ(a.Y, 1);
  EXPECT_EQ(a.Z, 30);
  SeriesPlan b = decode_series(-7);  // one digit: only the pause's default
  EXPECT_EQ(b.X, 1);
  EXPECT_EQ(b.Y, 1);
  EXPECT_EQ(b.Z, 5);
  SeriesPlan c = decode_series(-30);
  EXPECT_EQ(c.X, 1);
  EXPECT_EQ(c.Y, 1);
  EXPECT_EQ(c.Z, 30);
  SeriesPlan d = decode_series(-1210545);  // X 121, Y 5, Z 45
  EXPECT_EQ(d.X, 121);
  EXPECT_EQ(d.Y, 5);
  EXPECT_EQ(d.Z, 45);
  SeriesPlan e = decode_series(INT32_MIN);  // must not overflow
  EXPECT_EQ(e.X, 214748);
  EXPECT_EQ(e.Y, 36);
  EXPECT_EQ(e.Z, 48);
}

TEST(SeriesValues, GrabberNamesBecomeTimeNames) {
  EXPECT_EQ(series_frame_name("2026-03-10_10:15:42-00001.jpg"), "10-15-42.jpg");
  EXPECT_EQ(series_frame_name(kGrabberPicture), std::nullopt);
  EXPECT_EQ(series_frame_name("short.jpg"), std::nullopt);
}

class Cameras : public ::testing::Test {
 protected:
  Cameras() : clock(2026, 3, 10, 10, 0, 0), log(clock, "", false) {  // a Tuesday
    log.keep_lines(true);
    kamery.POUZIVAT = 1;
    cams.pause = [this](int ms) { clock.advance_ms(ms); };
    cams.start();
  }

  // Camera n's plan in use, with value v for every hour of every day.
  void plan_everywhere(int n, int32_t v) {
    TPlanKamer& p = kamery.PLAN[n];
    p.POUZIVAT = 1;
    for (auto& day : p.TYDEN)
      for (int32_t& hour : day) hour = v;
  }
  std::string day_dir(int n) const { return dir / camera_day_dir(n, 2026, 3, 10); }

  ksv::testing::TempDir dir;
  FakeClock clock;
  Log log;
  TKamery kamery{};
  TKalendar kalendar{};
  FakeAttendance attendance;
  FakeGrabber grabber;
  CameraSystem cams{clock, log, dir.path(), kamery, kalendar, attendance, grabber};
};

TEST_F(Cameras, SeriesPlanSetsCycleFramesAndSpacing) {
  plan_everywhere(0, -20130);
  cams.apply_plans();
  const TKamera& c = cams.camera(0);
  EXPECT_TRUE(c.AKTIVNI);
  EXPECT_EQ(c.INTERVAL, -31 * 60);
  EXPECT_EQ(c.SNIMKU, 2);
  EXPECT_EQ(c.PRODLEVA, 30000);
  EXPECT_TRUE(log.contains("Nastavuji cyklus u kamery cislo 0, interval: 1860, snimku: 2"));
  EXPECT_TRUE(kamery.PLAN[0].AKTZMENA.TYDEN);
  EXPECT_TRUE(kamery.PLAN[0].AKTZMENA.ZMENA);
}

TEST_F(Cameras, PlanIsAppliedOncePerHour) {
  plan_everywhere(0, 60);
  cams.apply_plans();
  cams.stop_camera(0);
  clock.advance(30 * 60);
  cams.apply_plans();  // same hour: left alone
  EXPECT_FALSE(cams.camera(0).AKTIVNI);
  clock.advance(30 * 60);
  cams.apply_plans();  // 11:00
  EXPECT_TRUE(cams.camera(0).AKTIVNI);
}

TEST_F(Cameras, HolidayFactorAndRandomisedIntervals) {
  plan_everywhere(0, 60);
  kamery.PLAN[0].SVATEK = 1;
  kamery.PLAN[0].SVATEKINTERVAL = 32;
  kalendar.days[2][9] = 1;  // 10 March
  cams.apply_plans();
  EXPECT_EQ(cams.camera(0).INTERVAL, 120);
  EXPECT_TRUE(log.contains("Menim nastaveni kvuli svatku u kamery cislo 0"));

  kalendar.days[2][9] = 0;
  kamery.PLAN[0].NAHODNE = 1;
  int lowest = 1000, highest = -1;
  for (int hour = 0; hour < 200; ++hour) {
    clock.advance(3600);
    cams.apply_plans();
    lowest = std::min(lowest, cams.camera(0).INTERVAL);
    highest = std::max(highest, cams.camera(0).INTERVAL);
  }
  EXPECT_GE(lowest, 30);
  EXPECT_LE(highest, 59);
  EXPECT_LT(lowest, highest);  // it does vary

  // The ends of the range, with a chosen random source.
  cams.random_below = [](int64_t) { return 0; };
  clock.advance(3600);
  cams.apply_plans();
  EXPECT_EQ(cams.camera(0).INTERVAL, 30);
  cams.random_below = [](int64_t n) { return n - 1; };
  clock.advance(3600);
  cams.apply_plans();
  EXPECT_EQ(cams.camera(0).INTERVAL, 59);
}

TEST_F(Cameras, ZeroDivisorsKeepTheCameraOffForTheHour) {
  // A series on a holiday with a factor of 0.
  plan_everywhere(0, -20130);
  kamery.PLAN[0].SVATEK = 1;
  kamery.PLAN[0].SVATEKINTERVAL = 0;
  kalendar.days[2][9] = 1;
  // A one-frame series halved by the randomising.
  plan_everywhere(1, -130);
  kamery.PLAN[1].NAHODNE = 1;
  cams.apply_plans();
  EXPECT_FALSE(cams.camera(0).AKTIVNI);
  EXPECT_FALSE(cams.camera(1).AKTIVNI);
  EXPECT_TRUE(log.contains("Vypinam dle planu kameru cislo 0"));
  EXPECT_TRUE(log.contains("Vypinam dle planu kameru cislo 1"));
  cams.capture();  // and nothing divides later either
}

TEST_F(Cameras, SupervisorKeepsTheCameraOffForTheHour) {
  plan_everywhere(0, 60);
  kamery.PLAN[0].VYPINATDOHLED[3] = 17;
  attendance.present = {17};
  cams.apply_plans();
  EXPECT_FALSE(cams.camera(0).AKTIVNI);
  EXPECT_TRUE(log.contains("Prisel dohlizejici uzivatel, vypinam kameru cislo 0"));
  EXPECT_TRUE(kamery.PLAN[0].AKTZMENA.DOHLED);
  // He leaves: the rest of the hour stays off, the next hour follows the plan again.
  attendance.present.clear();
  clock.advance(20 * 60);
  cams.apply_plans();
  EXPECT_FALSE(cams.camera(0).AKTIVNI);
  clock.advance(40 * 60);
  cams.apply_plans();
  EXPECT_TRUE(cams.camera(0).AKTIVNI);
  EXPECT_EQ(cams.camera(0).INTERVAL, 60);
}

TEST_F(Cameras, FirstArrivalStartsTheCameraAndItsIntervalEndsIt) {
  TPlanKamer& p = kamery.PLAN[0];
  p.POUZIVAT = 1;  // the weekly plan keeps it off
  p.POPRICHODU.MINUT = 1;
  p.POPRICHODU.INTERVAL = 1800;
  cams.apply_plans();
  EXPECT_FALSE(cams.camera(0).AKTIVNI);  // nobody in yet

  attendance.present = {5};
  clock.advance(3600);  // 11:00
  cams.apply_plans();
  EXPECT_TRUE(cams.camera(0).AKTIVNI);
  EXPECT_EQ(cams.camera(0).INTERVAL, 1800);
  EXPECT_TRUE(log.contains("Prisel prvni uzivatel - zapinam kameru cislo 0"));
  EXPECT_TRUE(p.AKTZMENA.PRICHOD);

  clock.advance(3600);  // 12:00, more than 1800 s after the arrival
  cams.apply_plans();
  EXPECT_FALSE(cams.camera(0).AKTIVNI);
  EXPECT_TRUE(log.contains("Vypinam kameru po prichodu uzivatele cislo 0"));
  EXPECT_FALSE(p.AKTZMENA.PRICHOD);

  // The next morning, after the nightly cleaning, the first person starts it again.
  attendance.present.clear();
  clock.set(2026, 3, 11, 0, 30, 0);
  cams.new_day();
  cams.apply_plans();
  attendance.present = {6};
  clock.set(2026, 3, 11, 7, 0, 0);
  cams.apply_plans();
  EXPECT_TRUE(cams.camera(0).AKTIVNI);
  EXPECT_EQ(cams.camera(0).INTERVAL, 1800);
}

TEST_F(Cameras, SwitchedOffSystemStopsBothCamerasOncePerHour) {
  plan_everywhere(0, 60);
  cams.apply_plans();
  kamery.POUZIVAT = 0;
  cams.apply_plans();
  cams.apply_plans();
  EXPECT_FALSE(cams.camera(0).AKTIVNI);
  auto count = [&] {
    int n = 0;
    for (const std::string& l : log.lines()) n += l.find("Vypinam vsechny kamery") != std::string::npos;
    return n;
  };
  EXPECT_EQ(count(), 1);
  clock.advance(3600);
  cams.apply_plans();
  EXPECT_EQ(count(), 2);
}

TEST_F(Cameras, SingleFramesAreStoredUnderTheirTimeAtTheInterval) {
  cams.start_camera(0, 60);
  cams.capture();  // a fresh camera shoots at once
  EXPECT_EQ(grabber.shots, 1);
  cams.capture();  // the next pass stores the picture
  EXPECT_EQ(dir.read_file(camera_day_dir(0, 2026, 3, 10) + "/10-00-00.jpg"), "picture 1");
  EXPECT_FALSE(dir.exists(kGrabberPicture));

  clock.advance(60);
  cams.capture();
  EXPECT_EQ(grabber.shots, 1);  // 60 s is not more than the interval
  clock.advance(1);
  cams.capture();
  cams.capture();
  EXPECT_EQ(grabber.shots, 2);
  EXPECT_EQ(dir.read_file(camera_day_dir(0, 2026, 3, 10) + "/10-01-01.jpg"), "picture 2");

  // After midnight the frames go into the new day's directory.
  clock.set(2026, 3, 11, 0, 0, 5);
  cams.capture();
  cams.capture();
  EXPECT_TRUE(dir.exists(camera_day_dir(0, 2026, 3, 11) + "/00-00-05.jpg"));
}

TEST_F(Cameras, SeriesFramesAreRenamedIntoTheDay) {
  plan_everywhere(1, -20130);
  cams.apply_plans();
  dir.write_file("2026-03-10_10:00:01-00001.jpg", "a");
  dir.write_file("2026-03-10_10:00:31-00002.jpg", "b");
  cams.capture();  // the shot
  cams.capture();  // the series is stored
  EXPECT_EQ(dir.read_file(camera_day_dir(1, 2026, 3, 10) + "/10-00-01.jpg"), "a");
  EXPECT_EQ(dir.read_file(camera_day_dir(1, 2026, 3, 10) + "/10-00-31.jpg"), "b");
  EXPECT_TRUE(dir.exists(kGrabberPicture));  // the grabber's own picture is not a series frame
  EXPECT_TRUE(log.contains("Ukladam serii snimku z kamery cislo 1"));
}

TEST_F(Cameras, ShotWithWaitNameHandsThePictureOverAndKeepsTheRhythm) {
  cams.start_camera(0, 600);
  cams.capture();
  cams.capture();
  const int64_t before = clock.epoch_seconds();
  EXPECT_EQ(cams.shot(0, "pracf3"), kShotStored);
  EXPECT_GT(clock.epoch_seconds() - before, kShotWaitSeconds);  // it waited for the grabber
  EXPECT_EQ(dir.read_file("temp/pracf3"), "picture 2");
  EXPECT_EQ(cams.camera(0).S, 0);  // the camera's last frame is still the 10:00:00 one
  EXPECT_EQ(cams.camera(0).M, 0);
  EXPECT_FALSE(cams.camera(0).ULOZEN);

  EXPECT_EQ(cams.shot(1, "pracf3"), kShotNoCamera);  // camera 1 is off
  EXPECT_EQ(cams.shot(2), kShotNoCamera);
  EXPECT_EQ(cams.shot(-1), kShotNoCamera);
  grabber.silent = true;
  dir.write_file("temp/.keep", "");
  EXPECT_EQ(cams.shot(0, "pracf4"), kShotNotMoved);
}

TEST_F(Cameras, MissingPicturesAreTakenAsAFailedCameraSystem) {
  grabber.silent = true;
  cams.start_camera(0, 1);
  // Each pass stores the previous shot's picture (missing) and shoots again.
  for (int i = 0; i < kMissedPicturesForFailure; ++i) {
    cams.capture();
    clock.advance(2);
  }
  EXPECT_FALSE(cams.failure_detected());
  cams.capture();
  EXPECT_TRUE(cams.failure_detected());
}

TEST_F(Cameras, SavedPlanGoesToTheFileAndClearsItsMarks) {
  dir.write_file("kamery.dat", std::string(sizeof(TKamery), '\0'));
  TPlanKamer plan{};
  plan.POUZIVAT = 1;
  plan.TYDEN[2][10] = 45;
  plan.AKTZMENA.ZMENA = 1;
  ASSERT_TRUE(cams.save_plan(1, true, plan));
  std::optional<TKamery> stored = read_record<TKamery>(dir / "kamery.dat", 0);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->POUZIVAT, 1);
  EXPECT_EQ(stored->PLAN[1].TYDEN[2][10], 45);
  EXPECT_EQ(stored->PLAN[1].AKTZMENA.ZMENA, 0);
  EXPECT_EQ(kamery.PLAN[1].TYDEN[2][10], 45);
  EXPECT_FALSE(cams.save_plan(2, true, plan));
}

}  // namespace
}  // namespace ksv::server::testing
