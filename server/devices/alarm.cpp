// The alarm: arming rules, mask, frames and the ring of received bytes.
#include "server/devices/alarm.h"

#include <cstring>

#include "protocol/record_file.h"

namespace ksv::server {

uint8_t arming_mask(const TAlarm& a) {
  uint8_t m = uint8_t((a.TESTOVATOKNO1 ? 1 : 0) | (a.TESTOVATOKNO2 ? 2 : 0) |
                      (a.TESTOVATCIDLO1 ? 4 : 0) | (a.TESTOVATCIDLO2 ? 8 : 0));
  if (!a.ZAPNUTOA) m &= uint8_t(~3u);
  if (!a.ZAPNUTOB) m &= uint8_t(~12u);
  return m;
}

std::string alarm_mail_text(bool a1, bool a2, bool b1, bool b2) {
  auto d = [](bool b) { return std::string(b ? "1" : "0"); };
  return "Alarm detekoval tyto aktivni cidla: A1=" + d(a1) + ";" + "A2=" + d(a2) + "; B1=" +
         d(b1) + "; B2=" + d(b2) + " !!!";
}

Alarm::Alarm(Clock& clock, Log& log, std::string alarm_file, TAlarm& record,
             AttendanceLink& attendance, UserStore& users, Mailer& mailer)
    : clock_(clock),
      log_(log),
      file_(std::move(alarm_file)),
      rec_(record),
      attendance_(attendance),
      users_(users),
      mailer_(mailer) {}

void Alarm::poll() {
  apply_arming_rules();
  handle_frames();
}

void Alarm::apply_arming_rules() {
  std::lock_guard<std::mutex> lock(mu_);
  // Presence is a directory scan: ask at most once per pass, and only when a rule needs it.
  int present = -1;
  auto anybody = [&] {
    if (present < 0) present = attendance_.anybody_present() ? 1 : 0;
    return present == 1;
  };
  struct Circuit {
    bool monitored, off_at_arrival, on_at_departure;
    uint8_t& armed;
  } circuits[] = {
      {rec_.TESTOVATOKNO1 || rec_.TESTOVATOKNO2, rec_.PRIPRICHODUVYPNOUTA != 0,
       rec_.PRIODCHODUZAPNOUTA != 0, rec_.ZAPNUTOA},
      {rec_.TESTOVATCIDLO1 || rec_.TESTOVATCIDLO2, rec_.PRIPRICHODUVYPNOUTB != 0,
       rec_.PRIODCHODUZAPNOUTB != 0, rec_.ZAPNUTOB},
  };
  for (Circuit& c : circuits) {
    if (!c.monitored) {
      if (c.armed) {
        c.armed = 0;
        mask_changed_ = true;
      }
      continue;
    }
    if (c.off_at_arrival && c.armed && anybody()) {
      c.armed = 0;
      mask_changed_ = true;
    }
    if (c.on_at_departure && !c.armed && !anybody()) {
      c.armed = 1;
      mask_changed_ = true;
    }
  }
}

bool Alarm::save_settings(const uint8_t* settings) {
  std::lock_guard<std::mutex> lock(mu_);
  TAlarm next = rec_;
  std::memcpy(static_cast<void*>(&next), settings, kAlarmSettingsBytes);
  if (!write_records<TAlarm>(file_, std::vector<TAlarm>{next})) return false;
  rec_ = next;
  mask_changed_ = true;
  return true;
}

TAlarm Alarm::record() const {
  std::lock_guard<std::mutex> lock(mu_);
  return rec_;
}

uint8_t Alarm::mask() const {
  std::lock_guard<std::mutex> lock(mu_);
  return arming_mask(rec_);
}

// ---- frames ------------------------------------------------------------------------------------

void Alarm::receive_word(uint16_t word) {
  std::lock_guard<std::mutex> lock(mu_);
  const uint8_t low = uint8_t(word & 0xFF), high = uint8_t(word >> 8);
  // A board that keeps talking while nothing is read must not overrun unread frames.
  if (uint8_t(write_ - read_) > kRingSize - 2 * kFrameSize) return;
  // A code frame cut short (by a new frame, or an end before all its digits) is dropped: with
  // digits missing it could name somebody else.
  auto drop_code_frame = [&] {
    if (in_code_frame_) write_ = frame_start_;
    in_code_frame_ = false;
  };
  auto open_frame = [&] {
    frame_start_ = write_;
    for (int i = 0; i < kFrameSize; ++i) ring_[uint8_t(write_ + i)] = 0;
  };
  if (low >= 1 && low <= 10) {
    drop_code_frame();
    open_frame();
    ring_[write_++] = low;
    in_code_frame_ = true;
  } else if (low >= kWordDigitFirst && low <= kWordDigitLast) {
    if (in_code_frame_ && uint8_t(write_ - frame_start_) < kFrameSize) ring_[write_++] = high;
  } else if (low == kWordCodeEnd) {
    if (!in_code_frame_) return;
    const int digits = uint8_t(write_ - frame_start_) - 1;
    if (digits < ring_[frame_start_]) {
      drop_code_frame();
      return;
    }
    write_ = uint8_t(frame_start_ + kFrameSize);
    in_code_frame_ = false;
  } else if (low == kFrameSensors || low == kFrameTime || low == kFramePoll) {
    drop_code_frame();
    open_frame();
    ring_[write_] = low;
    ring_[uint8_t(write_ + 1)] = high;
    write_ = uint8_t(write_ + kFrameSize);
  }
}

void Alarm::put_frame(const uint8_t frame[kFrameSize]) {
  std::lock_guard<std::mutex> lock(mu_);
  for (int i = 0; i < kFrameSize; ++i) ring_[write_++] = frame[i];
}

void Alarm::handle_frames() {
  for (;;) {
    uint8_t frame[kFrameSize];
    {
      std::lock_guard<std::mutex> lock(mu_);
      // A code frame still being received is not whole yet.
      uint8_t ready = uint8_t((in_code_frame_ ? frame_start_ : write_) - read_);
      if (ready < kFrameSize) return;
      for (int i = 0; i < kFrameSize; ++i) frame[i] = ring_[uint8_t(read_ + i)];
      read_ = uint8_t(read_ + kFrameSize);
    }
    handle_frame(frame);
  }
}

void Alarm::set_reply(uint8_t type, const uint8_t* data, int count) {
  std::lock_guard<std::mutex> lock(mu_);
  std::memset(reply_, 0, sizeof reply_);
  reply_[0] = type;
  if (count) std::memcpy(reply_ + 1, data, size_t(count));
  reply_length_ = 1 + count;
}

void Alarm::handle_frame(const uint8_t* frame) {
  const uint8_t type = frame[0];
  if (type == kFramePoll) {
    uint8_t m = mask();
    set_reply(kReplyMask, &m, 1);
    return;
  }
  if (type >= 1 && type <= 10) {
    std::string code;
    bool digits = true;
    for (int i = 1; i <= type; ++i) {
      if (frame[i] > 9) digits = false;
      code += char('0' + frame[i] % 10);
    }
    const bool arrival = frame[type + 1] == 0;
    int32_t id = digits ? users_.id_by_code(code) : -1;
    if (id < 0) {
      set_reply(kReplyUnknownCode, nullptr, 0);
      return;
    }
    // The terminal tells the person the stay was recorded only when it really was.
    if (!attendance_.record_event(id, arrival)) {
      log_.line("Nelze zapsat dochazku uzivatele cislo " + std::to_string(id));
      set_reply(kReplyUnknownCode, nullptr, 0);
      return;
    }
    set_reply(kReplyAccepted, nullptr, 0);
    return;
  }
  if (type == kFrameSensors) {
    const uint8_t s = frame[1];
    const bool a1 = s & 0x08, a2 = s & 0x10, b1 = s & 0x20, b2 = s & 0x40;
    bool changed;
    std::string address;
    {
      std::lock_guard<std::mutex> lock(mu_);
      changed = rec_.STAVA1 != a1 || rec_.STAVA2 != a2 || rec_.STAVB1 != b1 || rec_.STAVB2 != b2;
      rec_.STAVA1 = a1;
      rec_.STAVA2 = a2;
      rec_.STAVB1 = b1;
      rec_.STAVB2 = b2;
      address = rec_.EMAIL.str();
    }
    if (changed && !address.empty())
      mailer_.send(address, kAlarmSubject, alarm_mail_text(a1, a2, b1, b2));
    return;
  }
  if (type == kFrameTime) {
    DateTime now = clock_.now();
    uint8_t data[6] = {uint8_t(now.day),  uint8_t(now.month),  uint8_t(now.year - 1900),
                       uint8_t(now.hour), uint8_t(now.minute), uint8_t(now.second)};
    set_reply(kReplyTime, data, 6);
  }
  // Any other type is skipped.
}

// ---- the link's side ---------------------------------------------------------------------------

bool Alarm::take_mask_word(uint16_t& word) {
  if (!mask_changed_.exchange(false)) return false;
  word = uint16_t(kReplyMask | mask() << 8);
  return true;
}

std::vector<uint16_t> Alarm::take_reply_words() {
  std::lock_guard<std::mutex> lock(mu_);
  std::vector<uint16_t> words;
  if (reply_length_ == 0) return words;
  if (reply_[0] == kReplyTime) {
    for (int i = 0; i < 6; ++i) words.push_back(uint16_t((kReplyTime + i) | reply_[1 + i] << 8));
  } else {
    words.push_back(uint16_t(reply_[0] | reply_[1] << 8));
  }
  reply_length_ = 0;
  return words;
}

}  // namespace ksv::server
