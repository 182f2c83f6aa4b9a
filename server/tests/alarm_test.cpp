// The alarm and the terminal link: the mask and the arming rules, the frames of the board
// (codes, sensor states, polls, time) with the alarm mail, and the word protocol on the modem
// lines against a simulated board that keeps its own time.
#include <gtest/gtest.h>

#include <deque>

#include "server/devices/alarm.h"
#include "server/devices/terminal_link.h"
#include "server/tests/device_fakes.h"

namespace ksv::server::testing {
namespace {

// The board's end of the line. Time passes only in pause_ms, one millisecond at a time, and the
// board reacts to the lines as a real one would: it samples a bit 30 ms after the clock line
// reached the level it waits for, and shows its own bits 30 ms apart.
class SimulatedBoard final : public ModemLines {
 public:
  bool set_lines(bool dtr, bool rts) override {
    dtr_ = dtr;
    rts_ = rts;
    return true;
  }
  bool get_lines(bool& cts, bool& dsr) override {
    cts = !dead && cts_;
    dsr = !dead && dsr_;
    return true;
  }
  void pause_ms(int ms) override {
    for (int i = 0; i < ms; ++i) {
      ++now_;
      if (!dead) tick();
    }
  }

  std::vector<uint16_t> received;  // words from the server
  std::vector<int> sampled_bits;   // every bit read off DTR, in order
  std::deque<uint16_t> outbox;     // words for the server
  bool dead = false;

 private:
  enum class State { kIdle, kReady, kRxBit, kRxDone, kRequest, kAckWait, kTxBit };
  static constexpr int kDelay = 30;

  void tick() {
    switch (state_) {
      case State::kIdle:
        if (dtr_ && rts_) {
          cts_ = dsr_ = true;  // ready to listen
          state_ = State::kReady;
        } else if (!dtr_ && !outbox.empty()) {
          cts_ = dsr_ = true;  // asks to send
          state_ = State::kRequest;
        }
        break;
      case State::kReady:
        if (!rts_) {
          state_ = State::kRxBit;
          bit_ = 0;
          word_ = 0;
          since_ = now_;
        }
        break;
      case State::kRxBit: {
        const bool level = bit_ % 2;
        if (rts_ != level) {
          since_ = -1;
          break;
        }
        if (since_ < 0) since_ = now_;
        if (now_ - since_ < kDelay) break;
        sampled_bits.push_back(dtr_);
        if (dtr_) word_ = uint16_t(word_ | 1u << bit_);
        cts_ = level;
        since_ = -1;
        if (++bit_ == 16) {
          received.push_back(word_);
          state_ = State::kRxDone;
          since_ = now_;
        }
        break;
      }
      case State::kRxDone:
        // The last clock edge stays answered for a while, then the board rests.
        if (now_ - since_ >= kDelay) {
          cts_ = dsr_ = false;
          state_ = State::kIdle;
        }
        break;
      case State::kRequest:
        if (dtr_ && rts_) {
          cts_ = false;  // seen: go ahead
          state_ = State::kAckWait;
        }
        break;
      case State::kAckWait:
        if (!dtr_) {
          word_ = outbox.front();
          bit_ = 0;
          show_bit();
          state_ = State::kTxBit;
        }
        break;
      case State::kTxBit:
        if (rts_ == !(bit_ % 2) && now_ - since_ >= kDelay) {
          if (++bit_ == 16) {
            outbox.pop_front();
            cts_ = dsr_ = false;
            state_ = State::kIdle;
          } else {
            show_bit();
          }
        }
        break;
    }
  }
  void show_bit() {
    dsr_ = (word_ >> bit_) & 1;
    cts_ = !(bit_ % 2);
    since_ = now_;
  }

  bool dtr_ = false, rts_ = false, cts_ = false, dsr_ = false;
  int64_t now_ = 0;
  State state_ = State::kIdle;
  int bit_ = 0;
  uint16_t word_ = 0;
  int64_t since_ = -1;
};

class AlarmTest : public ::testing::Test {
 protected:
  AlarmTest() : clock(2026, 3, 10, 7, 58, 12), log(clock, "", false) {
    log.keep_lines(true);
    dir.write_file("temp/.keep", "");
    users.create_default();
    EXPECT_EQ(users.create("jana", "x", "4711", 0, &jana), UserResult::kOk);
  }

  std::vector<uint16_t> frame_reply(std::initializer_list<uint8_t> bytes) {
    uint8_t f[kFrameSize] = {};
    int i = 0;
    for (uint8_t b : bytes) f[i++] = b;
    alarm.put_frame(f);
    alarm.handle_frames();
    mailer.wait_all();  // the mail program runs on its own; its output is checked below
    return alarm.take_reply_words();
  }

  ksv::testing::TempDir dir;
  FakeClock clock;
  Log log;
  ServerConfig cfg = [this] {
    ServerConfig c;
    c.mail_command = make_mail_recorder(dir);
    return c;
  }();
  UserStore users{dir / "uzivatel.dat"};
  int32_t jana = -1;
  FakeAttendance attendance;
  TAlarm rec{};
  Mailer mailer{dir.path(), cfg, log, clock};
  Alarm alarm{clock, log, dir / "alarm.dat", rec, attendance, users, mailer};
};

TEST_F(AlarmTest, MaskShowsMonitoredSensorsOfArmedCircuits) {
  TAlarm a{};
  a.TESTOVATOKNO1 = 1;
  a.ZAPNUTOA = 1;
  EXPECT_EQ(arming_mask(a), 1);
  a.ZAPNUTOA = 0;
  EXPECT_EQ(arming_mask(a), 0);
  a.TESTOVATOKNO2 = a.TESTOVATCIDLO1 = a.TESTOVATCIDLO2 = 1;
  a.ZAPNUTOB = 1;
  EXPECT_EQ(arming_mask(a), 0x0C);
  a.ZAPNUTOA = 1;
  EXPECT_EQ(arming_mask(a), 0x0F);
}

TEST_F(AlarmTest, CircuitsFollowPresenceAndMonitoring) {
  rec.TESTOVATOKNO1 = 1;
  rec.PRIODCHODUZAPNOUTA = 1;
  rec.PRIPRICHODUVYPNOUTA = 1;
  alarm.apply_arming_rules();  // nobody in: armed
  EXPECT_TRUE(rec.ZAPNUTOA);
  EXPECT_FALSE(rec.ZAPNUTOB);  // circuit B is not monitored
  uint16_t word = 0;
  ASSERT_TRUE(alarm.take_mask_word(word));
  EXPECT_EQ(word, 192 + 256 * 1);
  alarm.apply_arming_rules();
  EXPECT_FALSE(alarm.take_mask_word(word));  // no change, nothing to send

  attendance.present = {jana};
  alarm.apply_arming_rules();
  EXPECT_FALSE(rec.ZAPNUTOA);
  ASSERT_TRUE(alarm.take_mask_word(word));
  EXPECT_EQ(word, 192);

  // Armed, then all monitoring cleared: disarmed and the mask 0 goes out.
  attendance.present.clear();
  alarm.apply_arming_rules();
  rec.TESTOVATOKNO1 = 0;
  alarm.take_mask_word(word);
  alarm.apply_arming_rules();
  EXPECT_FALSE(rec.ZAPNUTOA);
  ASSERT_TRUE(alarm.take_mask_word(word));
  EXPECT_EQ(word, 192);
}

TEST_F(AlarmTest, SensorFrameMailsChangesOnly) {
  rec.EMAIL.assign("hlidac@dilna.example");
  EXPECT_TRUE(frame_reply({kFrameSensors, 0x18}).empty());
  EXPECT_TRUE(rec.STAVA1);
  EXPECT_TRUE(rec.STAVA2);
  EXPECT_FALSE(rec.STAVB1);
  EXPECT_FALSE(rec.STAVB2);
  EXPECT_EQ(dir.read_file("mail.txt"),
            "TO:hlidac@dilna.example\n"
            "Reply-To: KSV <ksv@localhost>\n"
            "From: Databazovy system <ksv@localhost>\n"
            "Subject: Detekovan pohyb ve firme KSV\n"
            "\n"
            "Alarm detekoval tyto aktivni cidla: A1=1;A2=1; B1=0; B2=0 !!!\n"
            "\n");
  EXPECT_FALSE(dir.exists("temp/e-mail.txt"));
  EXPECT_TRUE(log.contains("Odesilam e-mail uzivateli: hlidac@dilna.example"));

  frame_reply({kFrameSensors, 0x18});  // same states: no second mail
  EXPECT_EQ(mail_count(dir), 1);
  frame_reply({kFrameSensors, 0x40});
  EXPECT_EQ(mail_count(dir), 2);
  EXPECT_NE(dir.read_file("mail.txt").find("A1=0;A2=0; B1=0; B2=1 !!!"), std::string::npos);
}

TEST_F(AlarmTest, AddressesThatWouldReachTheShellAreRefused) {
  EXPECT_EQ(mailer.send("x@y.cz; touch " + dir.path() + "owned", "s", "b"), kMailNotWritten);
  EXPECT_EQ(mailer.send("-oProxy=x", "s", "b"), kMailNotWritten);
  EXPECT_FALSE(dir.exists("owned"));
  EXPECT_EQ(mail_count(dir), 0);
  EXPECT_EQ(mailer.send("a.b+c@d-e.cz", "s", "b"), kMailHandedOver);
  mailer.wait_all();
  EXPECT_EQ(mail_count(dir), 1);

  // No "temp" to write the text into: nothing is run.
  Mailer homeless(dir / "nowhere/", cfg, log, clock);
  EXPECT_EQ(homeless.send("a@b.cz", "s", "b"), kMailNotWritten);
  EXPECT_EQ(mail_count(dir), 1);
}

TEST_F(AlarmTest, MailProgramsRunWithoutTheLoopWaiting) {
  // A mail program that hangs: the notice is handed over at once, the program keeps running
  // beside the loop until its minute is up, and is then killed and logged.
  dir.write_file("hang.sh", "#!/bin/sh\ncat > /dev/null\nexec sleep 1000\n");
  ::chmod((dir / "hang.sh").c_str(), 0755);
  ServerConfig hanging;
  hanging.mail_command = dir / "hang.sh";
  Mailer slow(dir.path(), hanging, log, clock);
  EXPECT_EQ(slow.send("a@b.cz", "s", "b"), kMailHandedOver);
  EXPECT_FALSE(dir.exists("temp/e-mail.txt"));
  EXPECT_EQ(slow.send("c@d.cz", "s", "b"), kMailHandedOver);
  slow.reap();
  EXPECT_EQ(slow.running(), 2);
  clock.advance(kMailSeconds + 1);
  slow.reap();
  EXPECT_EQ(slow.running(), 0);
  EXPECT_TRUE(log.contains("Postovni program neodpovida, ukoncuji ho: a@b.cz"));
  EXPECT_TRUE(log.contains("Postovni program neodpovida, ukoncuji ho: c@d.cz"));

  // A mail program that fails is logged with its exit code.
  dir.write_file("fail.sh", "#!/bin/sh\ncat > /dev/null\nexit 3\n");
  ::chmod((dir / "fail.sh").c_str(), 0755);
  ServerConfig failing;
  failing.mail_command = dir / "fail.sh";
  Mailer broken(dir.path(), failing, log, clock);
  EXPECT_EQ(broken.send("e@f.cz", "s", "b"), kMailHandedOver);
  broken.wait_all();
  EXPECT_TRUE(log.contains("Postovni program selhal (kod 3) pro e@f.cz"));
}

TEST_F(AlarmTest, CodeFramesRecordArrivalsAndDepartures) {
  EXPECT_EQ(frame_reply({4, 4, 7, 1, 1, 0}), std::vector<uint16_t>{kReplyAccepted});
  EXPECT_EQ(frame_reply({4, 4, 7, 1, 1, 1}), std::vector<uint16_t>{kReplyAccepted});
  ASSERT_EQ(attendance.events.size(), 2u);
  EXPECT_EQ(attendance.events[0], (FakeAttendance::Event{jana, true}));
  EXPECT_EQ(attendance.events[1], (FakeAttendance::Event{jana, false}));

  EXPECT_EQ(frame_reply({4, 4, 7, 1, 2, 0}), std::vector<uint16_t>{kReplyUnknownCode});
  EXPECT_EQ(frame_reply({3, 4, 7, 1, 0}), std::vector<uint16_t>{kReplyUnknownCode});
  EXPECT_EQ(attendance.events.size(), 2u);

  // A stay that cannot be written is not confirmed to the person at the terminal.
  attendance.writable = false;
  EXPECT_EQ(frame_reply({4, 4, 7, 1, 1, 0}), std::vector<uint16_t>{kReplyUnknownCode});
}

TEST_F(AlarmTest, CodeWordsMakeFramesAndCutFramesAreDropped) {
  auto words = [&](std::initializer_list<uint16_t> ws) {
    for (uint16_t w : ws) alarm.receive_word(w);
    alarm.handle_frames();
  };
  // Code 4711 with its direction 1: a departure.
  words({4, 11 + 256 * 4, 12 + 256 * 7, 13 + 256 * 1, 14 + 256 * 1, 15 + 256 * 1, 32});
  ASSERT_EQ(attendance.events.size(), 1u);
  EXPECT_EQ(attendance.events[0], (FakeAttendance::Event{jana, false}));
  EXPECT_EQ(alarm.take_reply_words(), std::vector<uint16_t>{kReplyAccepted});

  // Two digits of four, then the end; then a frame interrupted by a poll.
  users.create("ota", "x", "4700", 0);
  words({4, 11 + 256 * 4, 12 + 256 * 7, 32});
  words({4, 11 + 256 * 4, 12 + 256 * 7, 0, 13 + 256 * 0, 14 + 256 * 0, 32});
  EXPECT_EQ(attendance.events.size(), 1u);
  EXPECT_EQ(alarm.take_reply_words(), std::vector<uint16_t>{192});  // only the poll's answer

  // Many frames in a row wrap the ring without losing one.
  for (int i = 1; i <= 40; ++i) words({uint16_t(kFrameSensors + 256 * (i % 2 ? 0x08 : 0))});
  EXPECT_EQ(mail_count(dir), 0);  // no address set
  EXPECT_FALSE(rec.STAVA1);
  words({uint16_t(kFrameSensors + 256 * 0x08)});
  EXPECT_TRUE(rec.STAVA1);
}

TEST_F(AlarmTest, PollTimeAndUnknownFrames) {
  rec.TESTOVATCIDLO2 = 1;
  rec.ZAPNUTOB = 1;
  EXPECT_EQ(frame_reply({kFramePoll}), std::vector<uint16_t>{192 + 256 * 8});
  EXPECT_EQ(frame_reply({kFrameTime}),
            (std::vector<uint16_t>{230 + 256 * 10, 231 + 256 * 3, 232 + 256 * 126, 233 + 256 * 7,
                                   234 + 256 * 58, 235 + 256 * 12}));
  EXPECT_TRUE(frame_reply({99, 1, 2}).empty());
}

TEST_F(AlarmTest, SettingsKeepTheServersStateBytes) {
  rec.STAVB2 = 1;
  rec.ZAPNUTOA = 1;
  uint8_t settings[kAlarmSettingsBytes] = {};
  settings[0] = 1;  // A1 monitored
  settings[10] = 3;
  settings[11] = 'a';
  settings[12] = '@';
  settings[13] = 'b';
  ASSERT_TRUE(alarm.save_settings(settings));
  EXPECT_EQ(rec.TESTOVATOKNO1, 1);
  EXPECT_EQ(rec.EMAIL.str(), "a@b");
  EXPECT_EQ(rec.STAVB2, 1);
  EXPECT_EQ(rec.ZAPNUTOA, 1);
  EXPECT_TRUE(alarm.mask_changed());
  EXPECT_EQ(dir.file_size("alarm.dat"), long(sizeof(TAlarm)));
  EXPECT_EQ(uint8_t(dir.read_file("alarm.dat")[271 - 1]), 1);  // ZAPNUTOA stored with it
}

TEST_F(AlarmTest, WordsGoOutLeastSignificantBitFirst) {
  SimulatedBoard board;
  TerminalLink link(board, alarm);
  ASSERT_TRUE(link.send_word(0x00C1));
  ASSERT_EQ(board.received, std::vector<uint16_t>{0x00C1});
  EXPECT_EQ(board.sampled_bits,
            (std::vector<int>{1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(link.send_word(0xBEEF));
  EXPECT_EQ(board.received.back(), 0xBEEF);

  // Between two looks at the line the link thread rests a cycle; the board asks meanwhile.
  board.outbox = {0x1234, 0x0040};
  board.pause_ms(kLinkCycleMs);
  EXPECT_EQ(link.receive_word(), 0x1234);
  board.pause_ms(kLinkCycleMs);
  EXPECT_EQ(link.receive_word(), 0x0040);
  board.pause_ms(kLinkCycleMs);
  EXPECT_EQ(link.receive_word(), std::nullopt);  // nothing more to say

  board.dead = true;
  EXPECT_FALSE(link.send_word(0x00FF));
  EXPECT_EQ(board.received.size(), 2u);
}

TEST_F(AlarmTest, TerminalCodeTravelsTheLineAndIsAnswered) {
  SimulatedBoard board;
  TerminalLink link(board, alarm);
  // Code 4711, arrival: the start word, four digits, the direction, the end.
  board.outbox = {4, 11 + 256 * 4, 12 + 256 * 7, 13 + 256 * 1, 14 + 256 * 1, 15 + 256 * 0, 32};
  for (int i = 0; i < 7; ++i) {
    board.pause_ms(kLinkCycleMs);
    link.step();
    if (i < 6) {
      alarm.handle_frames();  // an unfinished code frame is not taken
      EXPECT_TRUE(attendance.events.empty());
    }
  }
  alarm.poll();
  ASSERT_EQ(attendance.events.size(), 1u);
  EXPECT_EQ(attendance.events[0], (FakeAttendance::Event{jana, true}));
  board.pause_ms(kLinkCycleMs);
  link.step();
  EXPECT_EQ(board.received, std::vector<uint16_t>{kReplyAccepted});
  EXPECT_TRUE(board.outbox.empty());

  // A sensor word is a whole frame by itself.
  rec.EMAIL.assign("hlidac@dilna.example");
  board.outbox = {uint16_t(kFrameSensors + 256 * 0x20)};
  board.pause_ms(kLinkCycleMs);
  link.step();
  alarm.poll();
  EXPECT_TRUE(rec.STAVB1);
  mailer.wait_all();
  EXPECT_EQ(mail_count(dir), 1);
}

}  // namespace
}  // namespace ksv::server::testing
