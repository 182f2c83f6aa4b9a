// The camera screen against a real server with frames placed in its tree: the day's list, a
// frame fetched and shown through the JPG converter, a missing frame refused with the picture on
// show kept, camera states with the supervising user, and the frame list's own rules.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "client/screens/devices/frame_list.h"
#include "client/screens/devices/frame_picture.h"
#include "client/tests/fixture.h"
#include "protocol/commands.h"
#include "protocol/record_file.h"

namespace ksv::client::testing {
namespace {

constexpr int kCameraRight = 24, kPlanRight = 25;
constexpr int32_t kScreen = 6;

TEST(FrameList, SinglesByTimeThenSeriesFramesMarked) {
  const auto l = devices::parse_frame_list(
      "12-00-01.jpg\n2026-03-10 08:15:31.jpg\r\n\n08-15-30.jpg\n24-00-00.jpg\n08-61-00.jpg\n");
  ASSERT_EQ(l.size(), 5u);
  EXPECT_EQ(devices::frame_label(l[0]), "08:15:30");
  EXPECT_TRUE(l[0].single);
  EXPECT_EQ(l[0].time.HOD, 8);
  EXPECT_EQ(l[0].time.SEC, 30);
  EXPECT_EQ(devices::frame_label(l[1]), "12:00:01");
  // Out of range or another shape: listed, but not fetchable by a time.
  EXPECT_FALSE(l[2].single);
  EXPECT_EQ(devices::frame_label(l[2]), "08-61-00");
  EXPECT_EQ(devices::frame_label(l[3]), "2026-03-10 08:15:31");
  EXPECT_FALSE(l[4].single);
}

TEST(FrameList, PagesAndDays) {
  EXPECT_EQ(devices::page_count(0), 1u);
  EXPECT_EQ(devices::page_count(4096), 1u);
  EXPECT_EQ(devices::page_count(4097), 2u);
  const TDatum last{31, 12, 2026}, leap{28, 2, 2028}, first{1, 3, 2026};
  const TDatum next = devices::step_day(last, 1);
  EXPECT_EQ(next.DEN * 10000 + next.MES * 100 + next.ROK % 100, 10127);
  EXPECT_EQ(devices::step_day(leap, 1).DEN, 29);
  const TDatum before = devices::step_day(first, -1);
  EXPECT_EQ(before.DEN * 100 + before.MES, 2802);
  EXPECT_EQ(devices::step_day(devices::step_day(last, 1), -1).DEN, 31);
}

// A small 24-bit BMP, bottom-up rows padded to four bytes.
std::string bmp(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  const int row = (w * 3 + 3) / 4 * 4;
  const uint32_t size = 54 + uint32_t(row * h);
  std::string out(size, '\0');
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&out[at], &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&out[at], &v, 2); };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  put16(26, 1);
  put16(28, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      char* p = &out[54 + size_t(y * row + x * 3)];
      p[0] = char(b);
      p[1] = char(g);
      p[2] = char(r);
    }
  return out;
}

class CameraScreen : public ClientTest {
 protected:
  CameraScreen() {
    std::string support = KSV_GUIDATA_DIR;
    support.replace(support.rfind("guidata"), 7, "SUPPORT");
    [[maybe_unused]] int r = ::symlink(support.c_str(), (cdir + "SUPPORT").c_str());
  }
  // A JPEG frame of camera 0 on the test's day (10 March 2026), made with the converter.
  void place_frame(const std::string& name, uint8_t grey) {
    const std::string day = sdir + "kamery/0/2026-03-10/";
    ::mkdir((sdir + "kamery").c_str(), 0755);
    ::mkdir((sdir + "kamery/0").c_str(), 0755);
    ::mkdir(day.c_str(), 0755);
    dir.write_file("src.bmp", bmp(64, 48, grey, grey, grey));
    const std::string cmd = "'" + cdir + "SUPPORT/bmp2jpg' '" + dir.path() + "src.bmp' '" + day +
                            name + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }
  void start(int64_t rights, const TKamery& kamery = {}) {
    dir.write_file("server/kamery.dat",
                   std::string(reinterpret_cast<const char*>(&kamery), sizeof kamery));
    with_units = true;
    start_server();
    add_user("novak", "n", rights);
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
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const auto& e : app->tk.seznam.SEZNAM) out.push_back(e.NAZEV);
    return out;
  }
  bool listed() { return f().requests_sent[req::kCameraPlanGet] >= 2 && !names().empty(); }
  const images::TOBRAZEK& slot() { return app->images.OBRAZKY[devices::kFrameSlot]; }
  std::string pixels() {
    const images::TOBRAZEK& o = slot();
    return o.BUFFER ? std::string(reinterpret_cast<const char*>(o.BUFFER), size_t(o.MAXX) * o.VELY)
                    : "";
  }
  bool picture_open() { return f().modal.kind == Modal::kNotice && f().modal.key == "snimek" && settled(); }
};

TEST_F(CameraScreen, DayListedAndAFrameShownThenBrightened) {
  place_frame("08-15-30.jpg", 60);
  place_frame("07-00-00.jpg", 200);
  start(int64_t(1) << kCameraRight);
  std::string before, normalised, brighter;
  then([this] { return listed(); }, [this] { key(13); });  // the first frame: 07:00:00
  when([this] { return picture_open(); }, [this] { key(27); });
  then([] { return true; }, [this] {
    hb().extended_key(80);
    key(13);
  });
  when([this] { return picture_open(); }, [this, &before] {
    before = pixels();
    key('n');
  });
  when([this] { return picture_open(); }, [this, &normalised] {
    normalised = pixels();
    key('z');
  });
  when([this] { return picture_open(); }, [this, &brighter] {
    brighter = pixels();
    hb().screenshot(dir.path() + "snimek.png");
    key(27);
  });
  ASSERT_TRUE(run_until([this, &brighter] { return script.empty() && on_screen() && !brighter.empty(); }));
  EXPECT_EQ(names(), (std::vector<std::string>{"07:00:00", "08:15:30"}));
  EXPECT_EQ(f().requests_sent[req::kCameraFrame], 2);
  EXPECT_EQ(slot().VELX, 64);  // a small frame keeps its size
  EXPECT_EQ(slot().BPP, 0);
  // The dark frame: stretched to full scale, then doubled where still dark.
  ASSERT_FALSE(before.empty());
  EXPECT_NE(before, normalised);
  const auto& pal = app->images.PALETA;
  EXPECT_LT(pal[uint8_t(before[0])].R, 100);
  EXPECT_GT(pal[uint8_t(normalised[0])].R, 200);
  if (const char* keep = std::getenv("KSV_KEEP_SHOTS")) {
    const std::string cmd = std::string("cp '") + dir.path() + "snimek.png' '" + keep + "'";
    [[maybe_unused]] int r = std::system(cmd.c_str());
  }
}

TEST_F(CameraScreen, MissingFrameShowsTheErrorAndKeepsThePicture) {
  place_frame("08-15-30.jpg", 120);
  place_frame("09-00-00.jpg", 120);
  start(int64_t(1) << kCameraRight);
  std::string shown;
  then([this] { return listed(); }, [this] { key(13); });
  when([this] { return picture_open(); }, [this, &shown] {
    shown = pixels();
    key(27);
  });
  // The second frame goes from the server's tree before it is asked for.
  then([this] { return f().requests_sent[req::kCameraFrame] == 1; }, [this] {
    ::unlink((sdir + "kamery/0/2026-03-10/09-00-00.jpg").c_str());
    hb().extended_key(80);
    key(13);
  });
  when_modal(Modal::kError, [this] { key(13); });
  ASSERT_TRUE(run_until([this] { return script.empty() && on_screen(); }));
  EXPECT_EQ(f().requests_sent[req::kCameraFrame], 2);
  EXPECT_FALSE(shown.empty());
  EXPECT_EQ(pixels(), shown);
}

TEST_F(CameraScreen, StatesNameTheSupervisorAndASwitchNeedsThePlanRight) {
  TKamery k{};
  k.POUZIVAT = 1;
  k.PLAN[0].POUZIVAT = 1;
  start((int64_t(1) << kCameraRight) | (int64_t(1) << kPlanRight), k);
  const int32_t sefova = add_user("sefova", "s", 0);
  // The supervisor is set on the server after start: the screen reads it with the states.
  units->cameras.save_plan(1, true, [&] {
    TPlanKamer p{};
    p.VYPINATDOHLED[2] = sefova;
    return p;
  }());
  then([this] { return f().requests_sent[req::kCameraPlanGet] >= 2; }, [this] { key('1'); });
  ASSERT_TRUE(run_until([this] { return script.empty() && on_screen() && f().requests_sent[req::kCameraPlanSet] == 1 && f().requests_sent[req::kCameraPlanGet] >= 5; }));
  EXPECT_EQ(f().requests_sent[6], 1);  // the name of the supervisor, once: then from the cache
  const TKamery& now = server->tree().kamery;
  EXPECT_EQ(now.PLAN[1].POUZIVAT, 1);
  EXPECT_EQ(now.PLAN[1].VYPINATDOHLED[2], sefova);
  EXPECT_EQ(now.POUZIVAT, 1);
  EXPECT_EQ(now.PLAN[0].POUZIVAT, 1);
}

}  // namespace
}  // namespace ksv::client::testing
