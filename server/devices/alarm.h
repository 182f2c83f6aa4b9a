// The alarm: the settings and sensor state TAlarm kept in memory, the arming rules run on every
// pass, the arming mask for the board, and the frames exchanged with the attendance terminal
// and alarm board (attendance codes, sensor states, polls, time requests).
//
// The terminal link thread only moves words: it puts received words into the ring here and
// sends the reply and the mask waiting here. Frames are handled on the main thread (poll), so
// attendance records, user lookups and mails happen where all other file work happens.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/clock.h"
#include "protocol/records/devices.h"
#include "server/devices/attendance_link.h"
#include "server/store/users.h"
#include "server/util/log.h"
#include "server/util/mail.h"

namespace ksv::server {

constexpr int kFrameSize = 12;
constexpr int kRingSize = 256;

// Frame types from the board, and reply types to it.
constexpr uint8_t kFramePoll = 0;
constexpr uint8_t kFrameSensors = 64;
constexpr uint8_t kFrameTime = 130;
constexpr uint8_t kReplyAccepted = 255;
constexpr uint8_t kReplyUnknownCode = 254;
constexpr uint8_t kReplyTime = 230;
constexpr uint8_t kReplyMask = 192;
// Words of a code frame on the line.
constexpr uint8_t kWordDigitFirst = 11;
constexpr uint8_t kWordDigitLast = 21;
constexpr uint8_t kWordCodeEnd = 32;

inline constexpr const char* kAlarmSubject = "Detekovan pohyb ve firme KSV";

// The mask of monitored sensors of armed circuits: bit 0 A1, 1 A2, 2 B1, 3 B2.
uint8_t arming_mask(const TAlarm& a);
// The mail text for the four sensor states.
std::string alarm_mail_text(bool a1, bool a2, bool b1, bool b2);

class Alarm {
 public:
  Alarm(Clock& clock, Log& log, std::string alarm_file, TAlarm& record,
        AttendanceLink& attendance, UserStore& users, Mailer& mailer);

  // Every pass: the arming rules, then the frames that have arrived.
  void poll();
  void apply_arming_rules();
  void handle_frames();

  // Command 43: the client's 266 setting bytes replace the settings; the state bytes stay. The
  // file is written first; memory changes only when it was stored.
  bool save_settings(const uint8_t* settings);
  // Command 44.
  TAlarm record() const;
  uint8_t mask() const;

  // ---- the link's side --------------------------------------------------------------------
  // A word received from the board.
  void receive_word(uint16_t word);
  // The mask word to send when the mask changed since the last call (the flag is cleared).
  bool take_mask_word(uint16_t& word);
  // The words of the pending reply frame (empty when none); the reply is no longer pending.
  std::vector<uint16_t> take_reply_words();
  bool mask_changed() const { return mask_changed_; }

  // Tests put whole frames in directly.
  void put_frame(const uint8_t frame[kFrameSize]);

 private:
  void handle_frame(const uint8_t* frame);
  void set_reply(uint8_t type, const uint8_t* data, int count);

  Clock& clock_;
  Log& log_;
  std::string file_;
  TAlarm& rec_;
  AttendanceLink& attendance_;
  UserStore& users_;
  Mailer& mailer_;

  mutable std::mutex mu_;  // the record, the ring and the reply: shared with the link thread
  std::atomic<bool> mask_changed_{false};
  uint8_t ring_[kRingSize] = {};
  uint8_t read_ = 0, write_ = 0;
  bool in_code_frame_ = false;
  uint8_t frame_start_ = 0;
  uint8_t reply_[kFrameSize] = {};
  int reply_length_ = 0;
};

}  // namespace ksv::server
