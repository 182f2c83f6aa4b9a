// The frame's transfers against a real server: uploads land byte for byte whatever their size
// (nothing, exactly one block, a block and a bit over two), a refusal ends an upload at once
// with the error dialog, downloads come by an explicit name and by the name a reply carries,
// and an aborted transfer leaves no partial file.
#include "client/tests/fixture.h"
#include "server/devices/cameras.h"

namespace ksv::client::testing {
namespace {

// Every byte value, so a lost, doubled or moved block shows.
std::string pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char((i * 7 + i / 256) & 0xFF);
  return s;
}

class Exchange : public ClientTest {
 protected:
  void SetUp() override {
    start_server();
    add_user("novak", "n", int64_t(1) << 24);
    open_client();
    login_directly();
    ::mkdir((cdir + "temp").c_str(), 0755);
  }
};

TEST_F(Exchange, UploadsLandByteForByte) {
  // A stale copy on the server: an empty upload must empty it, not leave it.
  dir.write_file("server/temp/prazdny.dat", "stary obsah");
  for (size_t size : {size_t(0), size_t(1016), size_t(2033)}) {
    const std::string local = "client/temp/mistni" + std::to_string(size);
    const std::string remote = size == 0 ? "prazdny.dat" : "soubor" + std::to_string(size) + ".dat";
    const std::string content = pattern(size);
    dir.write_file(local, content);
    const int sent_before = f().requests_sent[30];
    EXPECT_TRUE(f().upload(dir / local, remote, "savezak")) << size;
    EXPECT_EQ(f().requests_sent[30], sent_before + 1) << size;
    EXPECT_TRUE(dir.exists("server/temp/" + remote)) << size;
    EXPECT_EQ(dir.read_file("server/temp/" + remote), content) << size;
    EXPECT_FALSE(app->client.transfer_active());
    EXPECT_EQ(f().status_text, f().text("wait"));
  }
  // The blocks of the last upload: 1016 + 1016 + 1.
  EXPECT_EQ(info().BLOKDAT, 3);
  EXPECT_TRUE(seen.empty());  // no error dialog on the way
  EXPECT_FALSE(timed_out);
}

TEST_F(Exchange, RefusedUploadEndsWithTheErrorDialog) {
  dir.write_file("client/temp/odkazy", pattern(3000));
  // The server keeps a program's link table for itself and refuses it at the first packet.
  when_modal(Modal::kError, [this] { key(13); });
  EXPECT_FALSE(f().upload(cdir + "temp/odkazy", "proglnk.dat", "savezak"));
  EXPECT_EQ(seen, (std::vector<std::string>{"error254"}));
  EXPECT_FALSE(app->client.transfer_active());
  EXPECT_EQ(info().DATSOUB, nullptr);
  EXPECT_FALSE(dir.exists("server/temp/proglnk.dat"));
  // A missing local file or a name that climbs out never reaches the server.
  const int sent = f().requests_sent[30];
  EXPECT_FALSE(f().upload(cdir + "temp/nic", "nic.dat", "savezak"));
  EXPECT_FALSE(f().upload(cdir + "temp/odkazy", "../odkazy", "savezak"));
  EXPECT_EQ(f().requests_sent[30], sent);
  EXPECT_TRUE(info().SPOJENO);
  EXPECT_FALSE(timed_out);
}

TEST_F(Exchange, UploadCutOffByTheServerEndsOnTheConnectionScreen) {
  dir.write_file("client/temp/velky", pattern(20000));
  // The server drops the session once a few blocks have gone.
  app->frame.idle = [this] {
    tick();
    if (info().BLOKDAT == 3 && session_slot() >= 0) server->disconnect(session_slot());
  };
  EXPECT_FALSE(f().upload(cdir + "temp/velky", "velky.dat", "savezak"));
  EXPECT_FALSE(app->client.transfer_active());
  EXPECT_EQ(info().DATSOUB, nullptr);
  EXPECT_FALSE(info().SPOJENO);
  EXPECT_EQ(f().POZADOVANAOBRAZOVKA, kScreenConnect);
  EXPECT_FALSE(timed_out);
}

TEST_F(Exchange, DownloadsByNameAndUnderAnotherName) {
  const std::string content = pattern(5000);
  dir.write_file("server/temp/velky.dat", content);
  EXPECT_TRUE(f().download("velky.dat"));
  EXPECT_EQ(dir.read_file("client/temp/velky.dat"), content);
  EXPECT_TRUE(f().download("velky.dat", "kopie.dat"));
  EXPECT_EQ(dir.read_file("client/temp/kopie.dat"), content);
  // The transfer light in the status field is out once the file is in.
  f().event_step();
  EXPECT_EQ(app->graph.screen_pixel(482, 465), app->images.NAJDIBARVU(192, 192, 255));

  // A file the server does not have: the refusal is reported, and nothing is left behind.
  when_modal(Modal::kError, [this] { key(13); });
  EXPECT_FALSE(f().download("neni.dat"));
  EXPECT_EQ(seen, (std::vector<std::string>{"error254"}));
  EXPECT_FALSE(dir.exists("client/temp/neni.dat"));
  EXPECT_FALSE(f().download("../velky.dat"));
  EXPECT_FALSE(timed_out);
}

TEST_F(Exchange, AbortedDownloadLeavesNoPartFileAndTheServerFree) {
  // Longer than the blocks the server sends ahead, so that some are still to come.
  dir.write_file("server/temp/velky.dat", pattern(size_t(3 * server::kDownloadWindow) * 1016));
  // Aborted from a button while the blocks come in, as a cancel button would.
  app->frame.idle = [this] {
    tick();
    if (info().BLOKDAT >= 3 && app->client.transfer_active()) f().abort_transfer();
  };
  EXPECT_FALSE(f().download("velky.dat"));
  EXPECT_FALSE(dir.exists("client/temp/velky.dat"));
  EXPECT_FALSE(app->client.transfer_active());
  EXPECT_EQ(f().requests_sent[32], 1);
  app->frame.idle = [this] { tick(); };
  // The server's side was dropped too: the next transfer goes through.
  dir.write_file("server/temp/maly.dat", "maly");
  EXPECT_TRUE(f().download("maly.dat"));
  EXPECT_EQ(dir.read_file("client/temp/maly.dat"), "maly");
  EXPECT_FALSE(timed_out);
}

// A block that cannot be written stops the download; the blocks the server sent ahead and its
// confirmation are taken before the next exchange, which gets only its own file.
TEST_F(Exchange, DownloadStoppedByALocalWriteFailureLeavesNothingForTheNext) {
  dir.write_file("server/temp/velky.dat", pattern(size_t(3 * server::kDownloadWindow) * 1016));
  bool broken = false;
  app->frame.idle = [&] {
    tick();
    TInfoKlient& k = info();
    if (!broken && k.BLOKDAT >= 3 && app->client.transfer_active()) {
      // The disk refuses further writes: the transfer's file can no longer take a block.
      broken = true;
      std::fclose(k.DATSOUB);
      k.DATSOUB = std::fopen("/dev/null", "rb");
    }
  };
  EXPECT_FALSE(f().download("velky.dat"));
  EXPECT_TRUE(broken);
  EXPECT_EQ(info().POSLAKCE, 201) << "the server's confirmation was waited for";
  EXPECT_FALSE(dir.exists("client/temp/velky.dat"));
  app->frame.idle = [this] { tick(); };
  dir.write_file("server/temp/maly.dat", "maly");
  EXPECT_TRUE(f().download("maly.dat"));
  EXPECT_EQ(dir.read_file("client/temp/maly.dat"), "maly");
  EXPECT_FALSE(timed_out);
}

TEST_F(Exchange, AButtonPressedDuringATransferRunsItsActionAfterwards) {
  // A menu or help button pressed while a file comes in: its action has to wait for the
  // transfer, not run inside its wait (where its own request could not be sent at all).
  dir.write_file("server/temp/velky.dat", pattern(size_t(3 * server::kDownloadWindow) * 1016));
  int32_t deferred_reply = -1;
  bool ran_during = false;
  bool deferred = false;
  app->frame.idle = [&] {
    tick();
    if (info().BLOKDAT >= 3 && app->client.transfer_active() && !deferred) {
      deferred = true;
      f().defer([&] {
        ran_during = app->client.transfer_active();
        f().compose();
        deferred_reply = f().send_and_wait(13, "wait");
      });
    }
  };
  EXPECT_TRUE(f().download("velky.dat"));
  EXPECT_TRUE(deferred);
  EXPECT_EQ(deferred_reply, -1);  // not yet: the transfer's wait does not run it
  const int sent = f().requests_sent[13];
  f().event_step();
  EXPECT_FALSE(ran_during);
  EXPECT_EQ(f().requests_sent[13], sent + 1);
  EXPECT_EQ(deferred_reply, 203);
  EXPECT_FALSE(timed_out);
}

// The camera list reply carries its file name as a plain string at 32, not counted at 4.
class CameraExchange : public Exchange {
 protected:
  void SetUp() override {
    with_units = true;
    Exchange::SetUp();
  }
};

TEST_F(CameraExchange, DownloadOfTheFileNamedAt32) {
  dir.write_file("server/" + server::camera_day_dir(1, 2026, 3, 9) + "/08-00-00.jpg", "rano");
  Packet& b = f().compose();
  b.ULOZCISLO(slot::kText, 1);
  const TDatum day{9, 3, 2026};
  b.put_raw(slot::kData, &day, sizeof day);
  ASSERT_EQ(f().request(45, "loadcam"), 215);
  const std::string expected = "sezns" + std::to_string(session_slot());
  EXPECT_EQ(f().reply_file_name(), expected);
  EXPECT_EQ(f().download_named_in_reply(), expected);
  EXPECT_EQ(dir.read_file("client/temp/" + expected), "08-00-00.jpg\n");
  EXPECT_FALSE(timed_out);
}

}  // namespace
}  // namespace ksv::client::testing
